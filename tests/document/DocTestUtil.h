#pragma once
// Small fixtures shared by the document tests.

#include <cstdint>
#include <memory>
#include <vector>

#include "../imaging/PictureUtil.h"
#include "core/PackedDib.h"
#include "document/BitmapItem.h"

namespace vantrel::test {

// The stored bytes of an image: equal for two images of the same size and pixels.
inline std::vector<std::uint8_t> PixelsOf(const PackedDib& image) {
    const auto bytes = image.Bytes();
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

// A bitmap item covering r, filled with value.
inline std::unique_ptr<BitmapItem> SolidItem(const Rect& r, PixelValue value, bool blend = false) {
    auto item = BitmapItem::FromImage(SolidImage(r.Width(), r.Height(), value), blend);
    item->MoveTo(r.left, r.top);
    return item;
}

}  // namespace vantrel::test
