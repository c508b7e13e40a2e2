#include "view/FrameList.h"

#include <algorithm>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "edit/FrameCommands.h"

namespace vantrel {

namespace {

// Calls visit(frame, name) for the frames of animation in list order, up to
// (not including) stop when it is given.
template <typename Visit>
void NameFrames(const Animation& animation, const AnimFrame* stop, Visit visit) {
    int masters = 0;
    int others = 0;
    for (const auto& frame : animation.Frames()) {
        if (frame.get() == stop) return;
        const std::string name = frame->isMaster ? "Master Frame (" + std::to_string(++masters) + ")"
                                                 : "Frame " + std::to_string(++others);
        visit(*frame, name);
    }
}

FrameEntry EntryFor(const AnimFrame& frame, std::string name) {
    return {frame.Uid(), std::move(name), frame.duration, frame.isMaster};
}

}  // namespace

std::vector<FrameEntry> FrameEntries(const Animation& animation) {
    std::vector<FrameEntry> entries;
    entries.reserve(animation.FrameCount());
    NameFrames(animation, nullptr,
               [&](const AnimFrame& frame, const std::string& name) { entries.push_back(EntryFor(frame, name)); });
    return entries;
}

std::string FrameName(const Animation& animation, const AnimFrame& frame) {
    std::string found;
    NameFrames(animation, nullptr, [&](const AnimFrame& f, const std::string& name) {
        if (&f == &frame) found = name;
    });
    return found;
}

BackgroundChoices BackgroundChoicesFor(const Animation& animation, const AnimFrame& frame) {
    BackgroundChoices choices;
    choices.entries.push_back({0, "Solid", 0, false});
    NameFrames(animation, &frame, [&](const AnimFrame& f, const std::string& name) {
        if (&f == frame.BackgroundFrame()) choices.selected = int(choices.entries.size());
        choices.entries.push_back(EntryFor(f, name));
    });
    return choices;
}

std::string SecondsText(std::uint32_t hundredths) { return FormatG(hundredths * 0.01); }

FieldCheck<std::uint32_t> ParseDurationText(std::string_view text) {
    const FieldCheck<double> seconds = CheckDecimalField(text, 0.0, kMaxDurationSeconds);
    if (!seconds) return {std::nullopt, seconds.message};
    return {HundredthsFromSeconds(*seconds.value), {}};
}

std::size_t DropTarget(std::size_t from, std::size_t gap) { return gap > from ? gap - 1 : gap; }

ObjectUid CurrentAmongChosen(const std::vector<ObjectUid>& frames, const std::vector<ObjectUid>& chosen,
                             ObjectUid current) {
    const auto isChosen = [&chosen](ObjectUid uid) { return std::find(chosen.begin(), chosen.end(), uid) != chosen.end(); };
    if (chosen.empty() || isChosen(current)) return current;
    const auto at = std::find(frames.begin(), frames.end(), current);
    if (const auto after = std::find_if(at, frames.end(), isChosen); after != frames.end()) return *after;
    const auto before = std::find_if(std::make_reverse_iterator(at), frames.rend(), isChosen);
    return before != frames.rend() ? *before : current;
}

}  // namespace vantrel
