#include "text/GreyBitmap.h"

#include <algorithm>

namespace vantrel {

bool GreyBitmap::Create(int width, int height, std::uint8_t fill) {
    pixels_.clear();
    width_ = 0;
    height_ = 0;
    if (width < 0 || height < 0) return false;
    const std::int64_t count = std::int64_t{width} * std::int64_t{height};
    if (count > kMaxPixels) return false;
    pixels_.assign(static_cast<std::size_t>(count), fill);
    width_ = width;
    height_ = height;
    return true;
}

void GreyBitmap::Fill(std::uint8_t value) { std::fill(pixels_.begin(), pixels_.end(), value); }

std::uint8_t GreyBitmap::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 255;
    return Row(y)[x];
}

}  // namespace vantrel
