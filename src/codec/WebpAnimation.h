#pragma once
// Animated WebP through libwebp's animation encoder. Lossless unless a
// quality is given. The encoder stores each frame as the rectangle that
// changed since the frame before (with the format's dispose and blend
// operations) and merges a frame identical to the one before into that one's
// duration, so the file may hold fewer frames than it was given while it
// shows the same pictures for the same times. A single frame is written as a
// still WebP picture. Pixel transparency T becomes alpha 255 - T; a fully
// transparent pixel keeps no colour.

#include <cstdint>
#include <optional>
#include <vector>

#include "codec/AnimationFrames.h"
#include "core/Progress.h"
#include "core/Status.h"

namespace vantrel {

inline constexpr int kMaxWebpQuality = 100;

struct WebpOptions {
    // Lossy at this quality, 0 (smallest) to 100 (best); lossless when none.
    std::optional<int> quality;
};

// Replaces out with the WebP file of the animation; on failure out is empty
// and the status says why.
// With steps, one step per frame; when steps says stop, out is empty and the
// status says kStoppedByUser.
Status EncodeWebpAnimation(const AnimationFrames& animation, const WebpOptions& options,
                           std::vector<std::uint8_t>& out, ProgressSteps* steps = nullptr);

}  // namespace vantrel
