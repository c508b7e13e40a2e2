#pragma once
// The preview player's model: the frames written into the animation, each
// shown for its duration the way browsers play a GIF, repeated as often as
// the loop count says. The window only draws what Current() names and arms
// its timer with Period(); Advance() moves on at each tick.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
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

    // ---- the controls ----
    // Paused, the player stays on its entry: Period() is none.
    bool IsPlaying() const { return playing_; }
    // Play/Pause; playing again after the end starts a new round of plays.
    void TogglePlaying();
    // The steps pause and move one entry (around the ends), to the first or the last.
    void StepForward();
    void StepBack();
    void GoToFirst();
    void GoToLast();
    // Off: one play, whatever the loop count; on: the loop count's plays.
    bool Looping() const { return looping_; }
    void SetLooping(bool on);
    // Playing speed in percent: 50, 100 or 200 (others are held to 25..400).
    int SpeedPercent() const { return speed_; }
    void SetSpeedPercent(int percent);
    // The time from the start of the list to the entry on screen, as played.
    std::chrono::milliseconds TimeAtCurrent() const;
    // "Frame 3 of 10   1.20 s" (the time as played at 1x).
    std::string PositionText() const;
    // The scale (at most 1) that fits the picture in the given box, and the
    // picture's size at it: large animations are shown smaller, never larger.
    static double FitScale(int width, int height, int boxWidth, int boxHeight);

private:
    std::vector<PreviewEntry> entries_;
    int width_;
    int height_;
    std::uint32_t loopCount_;
    std::size_t current_ = 0;
    int passes_ = 0;
    bool finished_ = false;
    bool playing_ = true;
    bool looping_ = true;
    int speed_ = 100;
};

}  // namespace vantrel
