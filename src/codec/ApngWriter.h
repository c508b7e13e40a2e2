#pragma once
// Animated PNG: the first frame is the file's default image (IDAT), so a
// viewer that knows only PNG shows it; every later frame stores only the
// rectangle that changed since the frame before (fcTL + fdAT). No frame is
// disposed of, so each frame is drawn over the one before: with blending
// OVER when every changed pixel is opaque (the unchanged pixels inside the
// rectangle are then written fully transparent, which compresses well),
// otherwise replacing the rectangle (SOURCE). An animation of at most 256
// colours (transparency counted) is written with one palette (PLTE, tRNS),
// which then also holds the fully transparent entry OVER needs when there is
// room; otherwise the colour type is RGB when every frame is opaque and RGBA
// (alpha = 255 - T) when not. Durations are exact in milliseconds; the plays
// go into acTL (0 without end).

#include <cstdint>
#include <vector>

#include "codec/AnimationFrames.h"
#include "core/Progress.h"
#include "core/Status.h"

namespace vantrel {

// The image data of one frame is split into chunks of at most this many bytes.
inline constexpr std::size_t kMaxApngDataChunk = std::size_t{1} << 20;

// Replaces out with the animated PNG file of the animation; on failure out
// is empty and the status says why.
// With steps, one step per frame; when steps says stop, out is empty and the
// status says kStoppedByUser.
Status EncodeApng(const AnimationFrames& animation, std::vector<std::uint8_t>& out, ProgressSteps* steps = nullptr);

}  // namespace vantrel
