#include "codec/SizeReduction.h"

#include <algorithm>
#include <array>
#include <memory>
#include <numeric>
#include <optional>

#include "codec/ColorQuantizer.h"
#include "codec/FrameChanges.h"
#include "codec/LzwEncoder.h"

namespace vantrel {

namespace {

constexpr std::size_t kIndexCount = 256;

// A record whose indices match its width and height.
bool HasIndicesOfItsSize(const GifImage& image) {
    return image.indices.size() == std::size_t{image.width} * image.height;
}

// Whether the record has unchanged pixels marks for each of its indices.
bool HasMarks(const GifImage& image) {
    return HasIndicesOfItsSize(image) && image.unchanged.size() == image.indices.size();
}

bool HasUnchangedPixel(const GifImage& image) {
    return HasMarks(image) && std::find(image.unchanged.begin(), image.unchanged.end(), 1) != image.unchanged.end();
}

// 1 for every index found at a changed pixel of one record, 0 for all others.
using IndexMarks = std::array<std::uint32_t, kIndexCount>;

// The marks of a record. A record without unchanged marks shows every
// pixel: all its indices count.
IndexMarks MarkShownIndices(const GifImage& image) {
    IndexMarks marks{};
    if (!HasMarks(image)) {
        for (std::uint8_t index : image.indices) marks[index] = 1;
        return marks;
    }
    for (std::size_t i = 0; i < image.indices.size(); ++i) marks[image.indices[i]] |= image.unchanged[i] ^ 1u;
    return marks;
}

struct Bounds {
    int left = 0;
    int top = 0;
    int right = -1;  // inclusive; right < left means no changed pixel
    int bottom = -1;
};

Bounds ChangedBounds(const GifImage& image) {
    Bounds bounds{image.width, image.height, -1, -1};
    for (int y = 0; y < image.height; ++y) {
        const ColumnSpan span = image.changedColumns[static_cast<std::size_t>(y)];
        if (span.Empty()) continue;
        bounds.left = std::min(bounds.left, int{span.first});
        bounds.right = std::max(bounds.right, span.end - 1);
        bounds.top = std::min(bounds.top, y);
        bounds.bottom = y;
    }
    return bounds;
}

// Cuts the record to b and marks the pixels there that show the colour of
// the previous record (whose pixels lie at the same place with the same size).
void CropAndMark(GifImage& image, const GifImage& previous, const Bounds& b) {
    const int width = b.right - b.left + 1;
    const int height = b.bottom - b.top + 1;
    const std::size_t oldWidth = image.width;
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    std::vector<std::uint8_t> unchanged(indices.size(), 1);
    for (int y = 0; y < height; ++y) {
        const auto row = static_cast<std::size_t>(b.top + y);
        const std::size_t out = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        std::copy_n(image.indices.begin() + static_cast<std::ptrdiff_t>(row * oldWidth + std::size_t(b.left)), width,
                    indices.begin() + static_cast<std::ptrdiff_t>(out));
        // Outside the row's changed columns every pixel is unchanged.
        const ColumnSpan span = image.changedColumns[row];
        if (span.Empty()) continue;
        const PixelValue* now = image.Pixels()->Row(b.top + y);
        const PixelValue* before = previous.Pixels()->Row(b.top + y);
        for (int x = span.first; x < span.end; ++x) {
            unchanged[out + static_cast<std::size_t>(x - b.left)] = SameColor(now[x], before[x]) ? 1 : 0;
        }
    }
    image.indices = std::move(indices);
    image.unchanged = std::move(unchanged);
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
    for (std::size_t i = 0; i < image.indices.size(); ++i) {
        const std::int64_t isTransparent = image.unchanged[i];
        ++total[image.indices[i]];
        transparent[image.indices[i]] += isTransparent;
        n += isTransparent;
    }
    for (std::size_t k = 0; k < kIndexCount; ++k) {
        if (total[k] > n) n -= transparent[k];
    }
    n = std::max<std::int64_t>(n, 0);

    for (std::size_t i = 0; i < image.indices.size(); ++i) {
        std::uint8_t& index = image.indices[i];
        const bool toT = image.unchanged[i] != 0 && total[index] < n;
        index = toT ? t : index;
    }
}

}  // namespace

void ReduceAnimationSize(GifFile& gif, const StopCheck& stopped) {
    for (void (*step)(GifFile&) : {CropToChangedPixels, OrderPaletteByUsage, SetTransparentIndices, SetMinimumCodeSizes}) {
        if (StopRequested(stopped)) return;
        step(gif);
    }
}

void CropToChangedPixels(GifFile& gif) {
    FindChangedColumns(gif);
    // From the last record back, so that each record's predecessor still
    // has its own pixels and size when it is compared.
    for (std::size_t i = gif.images.size(); i-- > 1;) {
        GifImage& image = gif.images[i];
        if (!HasChangedColumns(image) || !HasIndicesOfItsSize(image)) continue;
        const Bounds bounds = ChangedBounds(image);
        if (bounds.right < bounds.left) {
            // Nothing changed: the record keeps its size, every pixel unchanged.
            image.unchanged.assign(image.indices.size(), 1);
        } else {
            CropAndMark(image, gif.images[i - 1], bounds);
        }
        // The pixels no longer match the record; the marks stand for them.
        image.pixels.reset();
        image.borrowedPixels = nullptr;
        image.changedColumns.clear();
    }
}

void OrderPaletteByUsage(GifFile& gif) {
    std::array<std::uint32_t, kIndexCount> usage{};
    for (const GifImage& image : gif.images) {
        const IndexMarks marks = MarkShownIndices(image);
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
        if (!HasUnchangedPixel(image)) continue;
        const std::optional<std::uint8_t> t = LowestUnusedIndex(MarkShownIndices(image));
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
