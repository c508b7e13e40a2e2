#pragma once
// Small pictures the tests start from.

#include "core/PackedDib.h"
#include "core/Pixel.h"

namespace vantrel::test {

// A width x height picture of one pixel value.
inline PackedDib SolidImage(int width, int height, PixelValue value) {
    PackedDib p;
    p.SetSize(width, height);
    p.FillRect(value);
    return p;
}

}  // namespace vantrel::test
