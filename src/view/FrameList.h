#pragma once
// What the Frame List and Background bars show, without any windowing
// system: one entry per frame named as the user sees it ("Frame %d" for the
// frames written into the animation, "Master Frame (%d)" for master frames,
// each kind counted from 1 in list order), the choices of background for a
// frame, and the duration as seconds.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/CanvasItem.h"
#include "view/FieldChecks.h"

namespace vantrel {

class AnimFrame;
class Animation;

struct FrameEntry {
    ObjectUid frame = 0;  // 0: no frame ("Solid")
    std::string text;
    std::uint32_t duration = 0;  // hundredths of a second
    bool isMaster = false;
    friend bool operator==(const FrameEntry&, const FrameEntry&) = default;
};

// Every frame in list order.
std::vector<FrameEntry> FrameEntries(const Animation& animation);
// The name of one frame ("Frame 2", "Master Frame (1)"); empty when it is not in the list.
std::string FrameName(const Animation& animation, const AnimFrame& frame);

// What may lie beneath frame: "Solid" (no frame), then every earlier frame;
// selected is the entry of its background frame (0 for "Solid").
struct BackgroundChoices {
    std::vector<FrameEntry> entries;
    int selected = 0;
};
BackgroundChoices BackgroundChoicesFor(const Animation& animation, const AnimFrame& frame);

// A duration as the duration box shows it: seconds in "%g" (100 is "1", 25 is "0.25").
std::string SecondsText(std::uint32_t hundredths);

// The duration box's text read back: a number of seconds from 0 to 655.35,
// as hundredths; text that is no such number fails with a message.
FieldCheck<std::uint32_t> ParseDurationText(std::string_view text);

// Largest duration a person may enter, in seconds (65535 hundredths).
inline constexpr double kMaxDurationSeconds = 655.35;

// Where a frame dragged from index from ends up when dropped into gap (0 is
// before the first entry, the entry count after the last).
std::size_t DropTarget(std::size_t from, std::size_t gap);

// The frame to show while frames are chosen together: current when it is
// among them (or none is chosen), else the chosen frame nearest after it in
// the list, else the nearest before it. frames is the whole list in order.
ObjectUid CurrentAmongChosen(const std::vector<ObjectUid>& frames, const std::vector<ObjectUid>& chosen,
                             ObjectUid current);

}  // namespace vantrel
