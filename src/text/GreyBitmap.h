#pragma once
// GreyBitmap: an 8-bit picture for text drawing, one byte per pixel (0 black,
// 255 white), rows stored top-down with no padding.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantrel {

class GreyBitmap {
public:
    // No bitmap is made larger than this many pixels (the pixel buffer's own bound).
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;

    GreyBitmap() = default;

    // Makes a width x height bitmap with every pixel set to fill. Negative
    // sizes and sizes above kMaxPixels leave an empty 0 x 0 bitmap and return false.
    bool Create(int width, int height, std::uint8_t fill = 255);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsEmpty() const { return pixels_.empty(); }

    void Fill(std::uint8_t value);

    // Row y counted from the top; valid for 0 <= y < Height().
    std::uint8_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * Stride(); }
    const std::uint8_t* Row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * Stride();
    }
    // The pixel, or white outside the bitmap.
    std::uint8_t At(int x, int y) const;

private:
    std::size_t Stride() const { return static_cast<std::size_t>(width_); }

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> pixels_;
};

}  // namespace vantrel
