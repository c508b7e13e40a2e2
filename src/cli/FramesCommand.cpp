// vantrel-cli frames: the edits of several frames at once, on a range of
// frames or all of them, saved as a .qvd document.

#include <cstdlib>
#include <functional>
#include <optional>
#include <tuple>
#include <utility>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "edit/FrameRangeCommands.h"

namespace vantrel::cli {

namespace {

// "A-B" (or "A") counted from 1 within count frames; none for anything else.
std::optional<std::pair<std::size_t, std::size_t>> ParseRange(const std::string& text, std::size_t count) {
    const std::size_t dash = text.find('-');
    const auto first = ParseInteger(text.substr(0, dash), 1, long(count));
    const auto last = dash == std::string::npos ? first : ParseInteger(text.substr(dash + 1), 1, long(count));
    if (!first || !last || *last < *first) return std::nullopt;
    return std::pair{std::size_t(*first), std::size_t(*last)};
}

}  // namespace

int FramesCommand(std::span<const std::string> args) {
    Arguments a(args, {"--range", "--duration", "--speed"}, {"--reverse", "--drop-duplicates"});
    if (a.Positionals().size() != 2) return Fail(kExitUsage, "frames takes DOC OUT.qvd and one edit");
    const int edits = int(a.Has("--duration")) + int(a.Has("--speed")) + int(a.Has("--reverse")) +
                      int(a.Has("--drop-duplicates"));
    if (edits != 1)
        return Fail(kExitUsage, "frames takes one of --duration SECONDS, --speed PERCENT, --reverse, --drop-duplicates");

    // The edit, checked before the document is read.
    std::function<Status(CQVDoc&, std::span<const ObjectUid>)> edit;
    if (const auto text = a.Value("--duration")) {
        char* end = nullptr;
        const double seconds = std::strtod(text->c_str(), &end);
        const auto hundredths = end != text->c_str() && *end == '\0' && seconds <= kMaxFrameDuration / 100.0
                                    ? HundredthsFromSeconds(seconds)
                                    : std::nullopt;
        if (!hundredths) return Fail(kExitUsage, "--duration takes seconds from 0 to 655.35");
        edit = [h = *hundredths](CQVDoc& doc, std::span<const ObjectUid> f) { return SetFramesDuration(doc, f, h); };
    } else if (const auto speed = a.Value("--speed")) {
        const auto percent = ParseInteger(*speed, kMinSpeedPercent, kMaxSpeedPercent);
        if (!percent) return Fail(kExitUsage, "--speed takes a percent from 1 to 10000");
        edit = [p = int(*percent)](CQVDoc& doc, std::span<const ObjectUid> f) { return ChangeFramesSpeed(doc, f, p); };
    } else if (a.Has("--reverse")) {
        edit = ReverseFrames;
    } else {
        edit = RemoveDuplicateFrames;
    }

    CQVDoc doc;
    LoadDocument(a.Positionals()[0], doc);
    const auto& frames = doc.GetAnimation().Frames();
    std::size_t first = 1;
    std::size_t last = frames.size();
    if (const auto range = a.Value("--range")) {
        const auto parsed = ParseRange(*range, frames.size());
        if (!parsed) return Fail(kExitUsage, "--range takes A-B, frames counted from 1 to " + std::to_string(last));
        std::tie(first, last) = *parsed;
    }
    std::vector<ObjectUid> chosen;
    for (std::size_t n = first; n <= last; ++n) chosen.push_back(frames[n - 1]->Uid());
    if (const Status done = edit(doc, chosen); !done) return Fail(kExitBadInput, done.message());
    return SaveAs(doc, a.Positionals()[1]);
}

}  // namespace vantrel::cli
