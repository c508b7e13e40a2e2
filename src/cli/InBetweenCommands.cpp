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
// frame follows; a number that names none ends the command (kExitUsage).
const AnimFrame& FrameAfter(const Arguments& a, const Animation& animation) {
    const std::optional<std::string> after = a.Value("--after");
    if (!after) throw CommandFailure(kExitUsage, "--after N is needed");
    const auto number = ParseInteger(*after, 1, long(animation.FrameCount()));
    if (!number)
        throw CommandFailure(kExitUsage,
                             "--after takes a frame number from 1 to " + std::to_string(animation.FrameCount()));
    if (std::size_t(*number) == animation.FrameCount())
        throw CommandFailure(kExitUsage, "frame " + *after + " is the last frame: no frame follows it");
    return *animation.Frames()[std::size_t(*number - 1)];
}

// --frames K, 1 to limit, 5 when not given; another value ends the command.
int FrameCount(const Arguments& a, int limit) {
    const std::optional<std::string> text = a.Value("--frames");
    if (!text) return 5;
    const auto count = ParseInteger(*text, 1, limit);
    if (!count) throw CommandFailure(kExitUsage, "--frames takes a number from 1 to " + std::to_string(limit));
    return int(*count);
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
    if (a.Positionals().size() != 2) return Fail(kExitUsage, "transition takes DOC OUT.qvd");
    const std::optional<std::string> keyword = a.Value("--kind");
    const std::optional<TransitionKind> kind = keyword ? TransitionFromKeyword(*keyword) : std::nullopt;
    if (!kind)
        return Fail(kExitUsage, "--kind takes fade, slide-left, slide-right, slide-up, slide-down, wipe-left, "
                                "wipe-right, wipe-up, wipe-down, dissolve or zoom");
    CQVDoc doc;
    LoadDocument(a.Positionals()[0], doc);
    const AnimFrame& first = FrameAfter(a, doc.GetAnimation());
    const int count = FrameCount(a, kMaxTransitionFrames);
    std::uint32_t duration = first.duration;
    if (const std::optional<std::string> seconds = a.Value("--duration")) {
        const std::optional<double> value = ParseNumber(*seconds, 0, kMaxFrameDuration / 100.0);
        if (!value) return Fail(kExitUsage, "--duration takes seconds from 0 to 655.35");
        duration = *HundredthsFromSeconds(*value);
    }
    return RunAndSave(doc, std::make_unique<TransitionCommand>(first.Uid(), *kind, count, duration),
                      a.Positionals()[1]);
}

int TweenCommandLine(std::span<const std::string> args) {
    Arguments a(args, {"--after", "--frames", "--ease"}, {});
    if (a.Positionals().size() != 2) return Fail(kExitUsage, "tween takes DOC OUT.qvd");
    const std::optional<std::string> keyword = a.Value("--ease");
    const std::optional<Easing> easing = keyword ? EasingFromKeyword(*keyword) : Easing::Linear;
    if (!easing) return Fail(kExitUsage, "--ease takes linear, in, out or in-out");
    CQVDoc doc;
    LoadDocument(a.Positionals()[0], doc);
    const AnimFrame& first = FrameAfter(a, doc.GetAnimation());
    const int count = FrameCount(a, kMaxTweenFrames);
    return RunAndSave(doc, std::make_unique<TweenCommand>(first.Uid(), count, *easing), a.Positionals()[1]);
}

}  // namespace vantrel::cli
