#include "codec/SizeReduction.h"

#include <algorithm>
#include <array>
#include <memory>
#include <numeric>
#include <optional>

#include "codec/ColorQuantizer.h"
#include "codec/LzwEncoder.h"

namespace vantrel {

namespace {

constexpr PixelValue kTransparencyMask = 0xFF000000;
constexpr std::size_t kIndexCount = 256;

// A record whose pixels and indices both match its width and height.
bool HasPixelsAndIndices(const GifImage& image) {
    return HasPixelsOfItsSize(image) && image.indices.size() == std::size_t{image.width} * image.height;
}

bool SameGeometry(const GifImage& a, const GifImage& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

bool HasTransparentPixel(const GifImage& image) {
    for (int y = 0; y < image.height; ++y) {
        const PixelValue* row = image.pixels->Row(y);
        for (int x = 0; x < image.width; ++x) {
            if (!IsOpaque(row[x])) return true;
        }
    }
    return false;
}

// 1 for every index found at an opaque pixel of one record, 0 for all others.
using IndexMarks = std::array<std::uint32_t, kIndexCount>;

// The marks of a record. A record without pixels of its size has nothing
// transparent: all its indices count.
IndexMarks MarkOpaqueIndices(const GifImage& image) {
    IndexMarks marks{};
    if (!HasPixelsAndIndices(image)) {
        for (std::uint8_t index : image.indices) marks[index] = 1;
        return marks;
    }
    const std::size_t width = image.width;
    for (int y = 0; y < image.height; ++y) {
        const PixelValue* row = image.pixels->Row(y);
        const std::uint8_t* indices = image.indices.data() + static_cast<std::size_t>(y) * width;
        for (std::size_t x = 0; x < width; ++x) marks[indices[x]] |= IsOpaque(row[x]) ? 1u : 0u;
    }
    return marks;
}

struct Bounds {
    int left = 0;
    int top = 0;
    int right = -1;  // inclusive; right < left means no opaque pixel
    int bottom = -1;
};

Bounds OpaqueBounds(const GifImage& image) {
    Bounds bounds{image.width, image.height, -1, -1};
    for (int y = 0; y < image.height; ++y) {
        const PixelValue* row = image.pixels->Row(y);
        int first = 0;
        while (first < image.width && !IsOpaque(row[first])) ++first;
        if (first == image.width) continue;
        int last = image.width - 1;
        while (!IsOpaque(row[last])) --last;
        bounds.left = std::min(bounds.left, first);
        bounds.right = std::max(bounds.right, last);
        bounds.top = std::min(bounds.top, y);
        bounds.bottom = y;
    }
    return bounds;
}

void Crop(GifImage& image, const Bounds& b) {
    const int width = b.right - b.left + 1;
    const int height = b.bottom - b.top + 1;
    auto pixels = std::make_unique<PackedDib>();
    if (!pixels->SetSize(width, height)) return;
    image.pixels->BlitTo(*pixels, -b.left, -b.top);

    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const std::size_t oldWidth = image.width;
    for (int y = 0; y < height; ++y) {
        const auto from = image.indices.begin() +
                          static_cast<std::ptrdiff_t>(static_cast<std::size_t>(b.top + y) * oldWidth +
                                                      static_cast<std::size_t>(b.left));
        std::copy_n(from, width, indices.begin() + static_cast<std::ptrdiff_t>(y) * width);
    }

    image.pixels = std::move(pixels);
    image.indices = std::move(indices);
    image.left = static_cast<std::uint16_t>(image.left + b.left);
    image.top = static_cast<std::uint16_t>(image.top + b.top);
    image.width = static_cast<std::uint16_t>(width);
    image.height = static_cast<std::uint16_t>(height);
}

// The index given to transparent pixels: the lowest one no opaque pixel
// uses, or nothing when every index is used.
std::optional<std::uint8_t> LowestUnusedIndex(const IndexMarks& marks) {
    for (std::size_t k = 0; k < kIndexCount; ++k) {
        if (marks[k] == 0) return static_cast<std::uint8_t>(k);
    }
    return std::nullopt;
}

// Gives the transparent pixels index t, except those whose colour index is
// common enough to be kept: with n the number of transparent pixels, walk
// the indices upward and, whenever an index occurs more often than the
// current n, take its transparent pixels off n; afterwards a transparent
// pixel keeps its index k exactly when k occurs at least n times.
void AssignTransparentPixels(GifImage& image, std::uint8_t t) {
    std::array<std::int64_t, kIndexCount> total{};
    std::array<std::int64_t, kIndexCount> transparent{};
    std::int64_t n = 0;
    const std::size_t width = image.width;
    for (int y = 0; y < image.height; ++y) {
        const PixelValue* row = image.pixels->Row(y);
        const std::uint8_t* indices = image.indices.data() + static_cast<std::size_t>(y) * width;
        for (std::size_t x = 0; x < width; ++x) {
            const std::int64_t isTransparent = IsOpaque(row[x]) ? 0 : 1;
            ++total[indices[x]];
            transparent[indices[x]] += isTransparent;
            n += isTransparent;
        }
    }
    for (std::size_t k = 0; k < kIndexCount; ++k) {
        if (total[k] > n) n -= transparent[k];
    }
    n = std::max<std::int64_t>(n, 0);

    for (int y = 0; y < image.height; ++y) {
        const PixelValue* row = image.pixels->Row(y);
        std::uint8_t* indices = image.indices.data() + static_cast<std::size_t>(y) * width;
        for (std::size_t x = 0; x < width; ++x) {
            const bool toT = !IsOpaque(row[x]) && total[indices[x]] < n;
            indices[x] = toT ? t : indices[x];
        }
    }
}

}  // namespace

void ReduceAnimationSize(GifFile& gif, const StopCheck& stopped) {
    for (void (*pass)(GifFile&) : {MarkUnchangedPixels, CropToChangedPixels, OrderPaletteByUsage,
                                   SetTransparentIndices, SetMinimumCodeSizes}) {
        if (StopRequested(stopped)) return;
        pass(gif);
    }
}

void MarkUnchangedPixels(GifFile& gif) {
    for (std::size_t i = 0; i < gif.images.size(); ++i) {
        GifImage& current = gif.images[i];
        if (!HasPixelsOfItsSize(current)) continue;
        const GifImage* previous = i > 0 ? &gif.images[i - 1] : nullptr;
        const bool compare =
            previous != nullptr && HasPixelsOfItsSize(*previous) && SameGeometry(*previous, current);
        for (int y = 0; y < current.height; ++y) {
            PixelValue* row = current.pixels->Row(y);
            if (!compare) {
                for (int x = 0; x < current.width; ++x) row[x] &= ~kTransparencyMask;
                continue;
            }
            // The previous record's row is already opaque or marked; only
            // its colours are compared.
            const PixelValue* before = previous->pixels->Row(y);
            for (int x = 0; x < current.width; ++x) {
                const PixelValue color = row[x] & ~kTransparencyMask;
                row[x] = color | (SameColor(color, before[x]) ? kTransparencyMask : 0);
            }
        }
    }
}

void CropToChangedPixels(GifFile& gif) {
    for (std::size_t i = 1; i < gif.images.size(); ++i) {
        GifImage& image = gif.images[i];
        if (!HasPixelsAndIndices(image)) continue;
        const Bounds bounds = OpaqueBounds(image);
        if (bounds.right < bounds.left) continue;  // nothing changed: left as it is
        if (bounds.left == 0 && bounds.top == 0 && bounds.right == image.width - 1 &&
            bounds.bottom == image.height - 1) {
            continue;  // already the whole image
        }
        Crop(image, bounds);
    }
}

void OrderPaletteByUsage(GifFile& gif) {
    std::array<std::uint32_t, kIndexCount> usage{};
    for (const GifImage& image : gif.images) {
        const IndexMarks marks = MarkOpaqueIndices(image);
        for (std::size_t k = 0; k < kIndexCount; ++k) usage[k] += marks[k];
    }

    // An exchange sort, largest usage first. Its exact swaps decide the order
    // of indices with equal usage, so it is kept as it is.
    std::array<std::uint8_t, kIndexCount> order{};
    std::iota(order.begin(), order.end(), std::uint8_t{0});
    for (std::size_t i = 0; i < kIndexCount; ++i) {
        for (std::size_t j = i + 1; j < kIndexCount; ++j) {
            if (usage[i] < usage[j]) {
                std::swap(usage[i], usage[j]);
                std::swap(order[i], order[j]);
            }
        }
    }

    std::array<std::uint8_t, kIndexCount> newIndex{};
    for (std::size_t p = 0; p < kIndexCount; ++p) newIndex[order[p]] = static_cast<std::uint8_t>(p);
    for (GifImage& image : gif.images) {
        for (std::uint8_t& index : image.indices) index = newIndex[index];
        if (image.transparent) image.transparentIndex = newIndex[image.transparentIndex];
    }
    if (gif.globalColorTable) {
        const ColorTable old = *gif.globalColorTable;
        for (std::size_t p = 0; p < kIndexCount; ++p) (*gif.globalColorTable)[p] = old[order[p]];
    }
}

void SetTransparentIndices(GifFile& gif) {
    for (std::size_t i = 1; i < gif.images.size(); ++i) {
        GifImage& image = gif.images[i];
        if (!HasPixelsAndIndices(image) || !HasTransparentPixel(image)) continue;
        const std::optional<std::uint8_t> t = LowestUnusedIndex(MarkOpaqueIndices(image));
        if (!t) continue;
        image.transparent = true;
        image.transparentIndex = *t;
        AssignTransparentPixels(image, *t);
        // When every palette colour is in use, t is the first index past the
        // palette; the table then grows so that no pixel refers to an entry
        // the file does not hold.
        if (gif.globalColorTable && *t >= gif.globalColorTableSize) {
            gif.globalColorTableSize = static_cast<std::uint16_t>(ColorTableSizeFor(*t + 1));
        }
    }
}

void SetMinimumCodeSizes(GifFile& gif) {
    for (GifImage& image : gif.images) {
        const int count =
            image.indices.empty() ? 0 : *std::max_element(image.indices.begin(), image.indices.end()) + 1;
        image.minimumCodeSize = static_cast<std::uint8_t>(MinimumCodeSizeFor(count));
    }
}

}  // namespace vantrel
