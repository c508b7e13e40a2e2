#pragma once
// The frames of an animation as the WebP and animated PNG writers take them:
// whole pictures of one size, each shown for a number of milliseconds, and
// how many times the animation plays.

#include <cstdint>
#include <vector>

#include "core/PackedDib.h"
#include "core/Status.h"

namespace vantrel {

// The longest a writer accepts for one frame: 655.35 s, the longest duration
// a frame of the program holds.
inline constexpr std::uint32_t kMaxFrameMilliseconds = 655350;
// The largest number of plays (0 plays without end).
inline constexpr std::uint32_t kMaxAnimationPlays = 65535;

struct AnimationFrame {
    const PackedDib* image = nullptr;  // not owned; width x height of the animation
    std::uint32_t milliseconds = 0;
};

struct AnimationFrames {
    int width = 0;
    int height = 0;
    std::uint32_t plays = 0;  // 0 without end
    std::vector<AnimationFrame> frames;
};

// Ok when there is at least one frame, every image has a block of the
// animation's size (1 to 16383 pixels each way), every duration is at most
// kMaxFrameMilliseconds and the plays at most kMaxAnimationPlays; otherwise
// the reason.
Status CheckAnimationFrames(const AnimationFrames& animation);

}  // namespace vantrel
