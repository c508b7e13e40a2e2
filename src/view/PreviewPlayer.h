#pragma once
// The preview player's model: the frames written into the animation, each
// shown for its duration the way browsers play a GIF, repeated as often as
// the loop count says. The window only draws what Current() names and arms
// its timer with Period(); Advance() moves on at each tick.

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/Geometry.h"
#include "core/PackedDib.h"

namespace vantrel {

class Animation;

struct PreviewEntry {
    const PackedDib* image = nullptr;  // the frame's rendered image, not owned; may be null
    std::uint32_t duration = 0;        // hundredths of a second, as stored
};

// How long a frame of this duration is shown: browsers play delays of 0 and
// 1 hundredth as 10 hundredths (100 ms) and every other delay as it is.
std::chrono::milliseconds PlayedPeriod(std::uint32_t hundredths);

class PreviewPlayer {
public:
    PreviewPlayer(std::vector<PreviewEntry> entries, int width, int height, std::uint32_t loopCount);
    // Renders the animation and lists every frame that is not a master frame.
    static PreviewPlayer FromAnimation(Animation& animation);

    bool IsEmpty() const { return entries_.empty(); }
    std::size_t Size() const { return entries_.size(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The entry on screen (the first one at the start and after the end), or null when empty.
    const PreviewEntry* Current() const { return IsEmpty() ? nullptr : &entries_[current_]; }
    std::size_t CurrentIndex() const { return current_; }
    // How many times the end of the list was passed.
    int Passes() const { return passes_; }
    bool Finished() const { return finished_; }

    // The timer period for the entry on screen; none when nothing is to
    // play (no entries, or the playing is over).
    std::optional<std::chrono::milliseconds> Period() const;

    // Moves to the next entry and returns it; null when the playing is over
    // (loop count n > 0 plays the list n times; 0 plays without end). After
    // the end the first entry is current again.
    const PreviewEntry* Advance();

    // Where the image lies in a client area of this size: centred, possibly
    // starting at negative coordinates when the area is smaller.
    Rect ImageRect(int clientWidth, int clientHeight) const;

private:
    std::vector<PreviewEntry> entries_;
    int width_;
    int height_;
    std::uint32_t loopCount_;
    std::size_t current_ = 0;
    int passes_ = 0;
    bool finished_ = false;
};

}  // namespace vantrel
