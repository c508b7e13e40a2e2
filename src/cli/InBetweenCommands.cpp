// In-between frames from the command line: transition and tween. Each opens
// a document, runs the same command the editor runs and saves the result.

#include <memory>

#include "cli/Cli.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "edit/InBetweenCommands.h"

namespace vantrel::cli {

namespace {

// The frame numbered by --after (from 1, every frame counted) that another
// frame follows, or null after printing why not.
const AnimFrame* FrameAfter(const Arguments& a, const Animation& animation, int& code) {
    const std::optional<std::string> after = a.Value("--after");
    if (!after) {
        code = Fail(kExitUsage, "--after N is needed");
        return nullptr;
    }
    const auto number = ParseInteger(*after, 1, long(animation.FrameCount()));
    if (!number) {
        code = Fail(kExitUsage, "--after takes a frame number from 1 to " + std::to_string(animation.FrameCount()));
        return nullptr;
    }
    if (std::size_t(*number) == animation.FrameCount()) {
        code = Fail(kExitUsage, "frame " + *after + " is the last frame: no frame follows it");
        return nullptr;
    }
    return animation.Frames()[std::size_t(*number - 1)].get();
}

// --frames K, 1 to limit, 5 when not given; none after printing why.
std::optional<int> FrameCount(const Arguments& a, int limit, int& code) {
    const std::optional<std::string> text = a.Value("--frames");
    if (!text) return 5;
    const auto count = ParseInteger(*text, 1, limit);
    if (!count) code = Fail(kExitUsage, "--frames takes a number from 1 to " + std::to_string(limit));
    return count ? std::optional<int>(int(*count)) : std::nullopt;
}

// Runs command on doc and saves it to out; the document's refusal is the
// input's fault.
int RunAndSave(CQVDoc& doc, std::unique_ptr<InsertFramesCommand> command, const std::string& out) {
    if (const Status fits = command->Fits(doc); !fits) return Fail(kExitBadInput, fits.message());
    if (!doc.Execute(std::move(command))) return Fail(kExitBadInput, "no frames could be made");
    return SaveAs(doc, out);
}

}  // namespace

int TransitionCommandLine(std::span<const std::string> args) {
    Arguments a(args, {"--after", "--kind", "--frames", "--duration"}, {});
    if (!a.ok()) return Fail(kExitUsage, a.error());
    if (a.Positionals().size() != 2) return Fail(kExitUsage, "transition takes DOC OUT.qvd");
    const std::optional<std::string> keyword = a.Value("--kind");
    const std::optional<TransitionKind> kind = keyword ? TransitionFromKeyword(*keyword) : std::nullopt;
    if (!kind)
        return Fail(kExitUsage, "--kind takes fade, slide-left, slide-right, slide-up, slide-down, wipe-left, "
                                "wipe-right, wipe-up, wipe-down, dissolve or zoom");
    CQVDoc doc;
    int code = kExitOk;
    if (!LoadDocument(a.Positionals()[0], doc, code)) return code;
    const AnimFrame* first = FrameAfter(a, doc.GetAnimation(), code);
    if (first == nullptr) return code;
    const std::optional<int> count = FrameCount(a, kMaxTransitionFrames, code);
    if (!count) return code;
    std::uint32_t duration = first->duration;
    if (const std::optional<std::string> seconds = a.Value("--duration")) {
        const std::optional<double> value = ParseNumber(*seconds, 0, kMaxFrameDuration / 100.0);
        if (!value) return Fail(kExitUsage, "--duration takes seconds from 0 to 655.35");
        duration = *HundredthsFromSeconds(*value);
    }
    return RunAndSave(doc, std::make_unique<TransitionCommand>(first->Uid(), *kind, *count, duration),
                      a.Positionals()[1]);
}

int TweenCommandLine(std::span<const std::string> args) {
    Arguments a(args, {"--after", "--frames", "--ease"}, {});
    if (!a.ok()) return Fail(kExitUsage, a.error());
    if (a.Positionals().size() != 2) return Fail(kExitUsage, "tween takes DOC OUT.qvd");
    const std::optional<std::string> keyword = a.Value("--ease");
    const std::optional<Easing> easing = keyword ? EasingFromKeyword(*keyword) : Easing::Linear;
    if (!easing) return Fail(kExitUsage, "--ease takes linear, in, out or in-out");
    CQVDoc doc;
    int code = kExitOk;
    if (!LoadDocument(a.Positionals()[0], doc, code)) return code;
    const AnimFrame* first = FrameAfter(a, doc.GetAnimation(), code);
    if (first == nullptr) return code;
    const std::optional<int> count = FrameCount(a, kMaxTweenFrames, code);
    if (!count) return code;
    return RunAndSave(doc, std::make_unique<TweenCommand>(first->Uid(), *count, *easing), a.Positionals()[1]);
}

}  // namespace vantrel::cli
