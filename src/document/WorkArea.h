#pragma once
// The work area: every model coordinate is an integer pixel in a square of
// kWorkAreaSize x kWorkAreaSize, with the canvas centred in it.

#include "core/Geometry.h"

namespace vantrel {

inline constexpr int kWorkAreaSize = 1200;
inline constexpr Rect kWorkAreaRect{0, 0, kWorkAreaSize, kWorkAreaSize};

// Canvas size of a new document.
inline constexpr int kDefaultCanvasWidth = 468;
inline constexpr int kDefaultCanvasHeight = 60;

// The canvas of a width x height frame centred in the work area (halves
// rounded down for the sizes the canvas can have, 1 to kWorkAreaSize).
constexpr Rect CanvasRectFor(int width, int height) {
    const int left = (kWorkAreaSize - width) / 2;
    const int top = (kWorkAreaSize - height) / 2;
    return {left, top, left + width, top + height};
}

}  // namespace vantrel
