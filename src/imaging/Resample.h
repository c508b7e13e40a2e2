#pragma once
// Resizing pictures. Two ways:
// - Sharp keeps pixels as squares: each new pixel is the area average of
//   the old pixels it covers, so growing by a whole factor repeats pixels
//   (PackedDib::Resample; pixel art stays crisp).
// - Smooth averages the covered area when an axis shrinks and interpolates
//   bilinearly between pixel centres when it grows (photographs and text
//   stay free of stair steps).
// Smooth weighs every colour by its pixel's opacity (premultiplied), so a
// transparent pixel's colour never bleeds into its opaque neighbours; where
// every contributing pixel is fully transparent the plain average colour is
// kept. Both axes are handled separately, one after the other.

#include <optional>
#include <string_view>

#include "core/PackedDib.h"

namespace vantrel {

enum class ResampleMode { Sharp, Smooth };

// "Sharp" or "Smooth".
std::string_view ResampleTitle(ResampleMode mode);

// The picture at width x height; none for a picture without pixels, a size
// below 1 or a block that cannot be made.
std::optional<PackedDib> Resampled(const PackedDib& picture, int width, int height, ResampleMode mode);

}  // namespace vantrel
