#include "codec/Dither.h"

#include <algorithm>
#include <array>
#include <vector>

#include "codec/ColorQuantizer.h"
#include "codec/FrameChanges.h"

namespace vantrel {
namespace {

// Errors are kept in sixteenths, as the weights give them.
constexpr int kWeightRight = 7;
constexpr int kWeightBelowBehind = 3;
constexpr int kWeightBelow = 5;
constexpr int kWeightBelowAhead = 1;
constexpr int kWeightShift = 4;  // divide by 16

// The palette entry nearest to a colour (squared distance over red, green
// and blue, the first of equals), with a small cache: error diffusion asks
// for the same few colours again and again.
class NearestColor {
public:
    explicit NearestColor(std::span<const PixelValue> palette) : palette_(palette) {
        cache_.fill(Entry{~PixelValue{0}, 0});
    }

    std::uint8_t IndexOf(int red, int green, int blue) {
        const PixelValue color = MakePixel(std::uint8_t(red), std::uint8_t(green), std::uint8_t(blue));
        Entry& entry = cache_[(color ^ (color >> 11) ^ (color >> 19)) & (kCacheSize - 1)];
        if (entry.color != color) entry = {color, Search(red, green, blue)};
        return entry.index;
    }

private:
    static constexpr std::size_t kCacheSize = 4096;
    struct Entry {
        PixelValue color;
        std::uint8_t index;
    };

    std::uint8_t Search(int red, int green, int blue) const {
        int best = 0;
        int bestDistance = 1 << 30;
        for (std::size_t i = 0; i < palette_.size() && bestDistance > 0; ++i) {
            const int dr = red - RedOf(palette_[i]);
            const int dg = green - GreenOf(palette_[i]);
            const int db = blue - BlueOf(palette_[i]);
            const int distance = dr * dr + dg * dg + db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = static_cast<int>(i);
            }
        }
        return static_cast<std::uint8_t>(best);
    }

    std::span<const PixelValue> palette_;
    std::array<Entry, kCacheSize> cache_;
};

bool HasPixelsAndIndices(const GifImage& image) {
    return HasPixelsOfItsSize(image) && image.indices.size() == std::size_t{image.width} * image.height;
}

// Error rows: three channels per pixel, one pixel of margin on each side so
// that neighbours outside the row need no test.
struct ErrorRows {
    std::vector<int> storage;
    int* current = nullptr;
    int* next = nullptr;
    std::size_t rowLength = 0;

    explicit ErrorRows(int width) : storage((std::size_t(width) + 2) * 3 * 2, 0), rowLength((std::size_t(width) + 2) * 3) {
        current = storage.data();
        next = current + rowLength;
    }
    static int* At(int* row, int x) { return row + std::size_t(x + 1) * 3; }
    void Advance() {
        std::swap(current, next);
        std::fill(next, next + rowLength, 0);
    }
};

void Spread(int* target, const int (&error)[3], int weight) {
    for (int c = 0; c < 3; ++c) target[c] += error[c] * weight;
}

void DitherImage(GifImage& image, const GifImage* previous, std::span<const PixelValue> palette,
                 NearestColor& nearest) {
    const int width = image.width;
    ErrorRows errors(width);
    for (int y = 0; y < image.height; ++y) {
        const PixelValue* row = image.Pixels()->Row(y);
        std::uint8_t* out = image.indices.data() + std::size_t(y) * std::size_t(width);
        const PixelValue* before = previous ? previous->Pixels()->Row(y) : nullptr;
        const std::uint8_t* beforeIndices =
            previous ? previous->indices.data() + std::size_t(y) * std::size_t(width) : nullptr;
        const bool fromLeft = y % 2 == 0;
        const int step = fromLeft ? 1 : -1;
        for (int i = 0; i < width; ++i) {
            const int x = fromLeft ? i : width - 1 - i;
            if (before != nullptr && SameColor(row[x], before[x])) {
                out[x] = beforeIndices[x];
                continue;
            }
            const int* carried = ErrorRows::At(errors.current, x);
            const int wanted[3] = {
                std::clamp(RedOf(row[x]) + (carried[0] >> kWeightShift), 0, 255),
                std::clamp(GreenOf(row[x]) + (carried[1] >> kWeightShift), 0, 255),
                std::clamp(BlueOf(row[x]) + (carried[2] >> kWeightShift), 0, 255),
            };
            const std::uint8_t index = nearest.IndexOf(wanted[0], wanted[1], wanted[2]);
            out[x] = index;
            const PixelValue chosen = palette[index];
            const int error[3] = {wanted[0] - RedOf(chosen), wanted[1] - GreenOf(chosen), wanted[2] - BlueOf(chosen)};
            Spread(ErrorRows::At(errors.current, x + step), error, kWeightRight);
            Spread(ErrorRows::At(errors.next, x - step), error, kWeightBelowBehind);
            Spread(ErrorRows::At(errors.next, x), error, kWeightBelow);
            Spread(ErrorRows::At(errors.next, x + step), error, kWeightBelowAhead);
        }
        errors.Advance();
    }
}

}  // namespace

void DitherImages(GifFile& gif, std::span<const PixelValue> palette, const StopCheck& stopped) {
    if (palette.empty()) return;
    NearestColor nearest(palette);
    const GifImage* previous = nullptr;
    for (GifImage& image : gif.images) {
        if (StopRequested(stopped)) return;
        if (!HasPixelsAndIndices(image)) {
            previous = nullptr;
            continue;
        }
        DitherImage(image, previous != nullptr && SamePlace(*previous, image) ? previous : nullptr, palette, nearest);
        previous = &image;
    }
}

}  // namespace vantrel
