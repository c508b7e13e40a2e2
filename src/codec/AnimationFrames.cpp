#include "codec/AnimationFrames.h"

#include <string>

namespace vantrel {

namespace {

// The largest width or height a WebP file can hold; animated PNG takes the same.
constexpr int kMaxAnimationSide = 16383;

}  // namespace

Status CheckAnimationFrames(const AnimationFrames& animation) {
    if (animation.frames.empty()) return Status::Error("There is no frame to write.");
    if (animation.width < 1 || animation.height < 1 || animation.width > kMaxAnimationSide ||
        animation.height > kMaxAnimationSide)
        return Status::Error("An animation of " + std::to_string(animation.width) + " x " +
                             std::to_string(animation.height) + " pixels cannot be written.");
    if (animation.plays > kMaxAnimationPlays)
        return Status::Error("The loop count is larger than " + std::to_string(kMaxAnimationPlays) + ".");
    for (const AnimationFrame& frame : animation.frames) {
        if (frame.image == nullptr || !frame.image->HasBlock() || frame.image->Width() != animation.width ||
            frame.image->Height() != animation.height)
            return Status::Error("A frame is not of the animation's size.");
        if (frame.milliseconds > kMaxFrameMilliseconds)
            return Status::Error("A frame lasts longer than 655.35 seconds.");
    }
    return Status::Ok();
}

}  // namespace vantrel
