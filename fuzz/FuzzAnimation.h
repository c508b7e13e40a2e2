#pragma once
// What the animation writer fuzz targets share: an animation made from the
// fuzzer's bytes. The first bytes give the size (1 to 32 each way), the
// number of frames (1 to 6) and the plays; each frame then takes a duration
// and a rectangle of the frame before that it repaints with pixels from the
// input (transparency byte included), so that frames differ in small areas,
// in transparency and not at all.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "codec/AnimationFrames.h"
#include "core/PackedDib.h"

namespace vantrel::fuzz {

class ByteSource {
public:
    explicit ByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    // The next byte; zeros once the input is used up.
    std::uint8_t Next() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }
    bool Empty() const { return at_ >= bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

struct FuzzAnimation {
    std::vector<PackedDib> images;
    AnimationFrames frames;
    std::uint8_t flags = 0;  // free for the target
};

inline PixelValue NextPixel(ByteSource& in) {
    const std::uint8_t r = in.Next(), g = in.Next(), b = in.Next(), t = in.Next();
    // Mostly opaque or fully transparent, as pictures are.
    const std::uint8_t transparency = t < 160 ? 0 : t < 224 ? 255 : t;
    return MakePixel(r, g, b, transparency);
}

inline FuzzAnimation MakeFuzzAnimation(std::span<const std::uint8_t> bytes) {
    ByteSource in(bytes);
    FuzzAnimation a;
    const int width = 1 + in.Next() % 32;
    const int height = 1 + in.Next() % 32;
    const int count = 1 + in.Next() % 6;
    a.frames.plays = in.Next();
    a.flags = in.Next();
    a.images.resize(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        PackedDib& image = a.images[std::size_t(i)];
        image.SetSize(width, height);
        if (i > 0) image.CopyPixels(a.images[std::size_t(i) - 1]);
        const int left = i == 0 ? 0 : in.Next() % width;
        const int top = i == 0 ? 0 : in.Next() % height;
        const int right = i == 0 ? width : left + in.Next() % (width - left + 1);
        const int bottom = i == 0 ? height : top + in.Next() % (height - top + 1);
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) image.Row(y)[x] = NextPixel(in);
    }
    a.frames.width = width;
    a.frames.height = height;
    for (const PackedDib& image : a.images) {
        const std::uint32_t hundredths = (std::uint32_t(in.Next()) << 8) | in.Next();
        a.frames.frames.push_back({&image, hundredths * 10});
    }
    return a;
}

// Whether two pixels show the same: equal, or both fully transparent.
inline bool SameShownPixel(PixelValue a, PixelValue b) {
    return a == b || (TransparencyOf(a) == 255 && TransparencyOf(b) == 255);
}

}  // namespace vantrel::fuzz
