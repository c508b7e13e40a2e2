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

// The record's marks of unchanged pixels, one for each of its indices;
// null when it has none.
const std::uint8_t* MarksOf(const GifImage& image, const RecordChanges& changes) {
    return HasIndicesOfItsSize(image) && changes.unchanged.size() == image.indices.size() ? changes.unchanged.data()
                                                                                           : nullptr;
}

// How often each index occurs at shown pixels (entries 0 to 255) and at
// unchanged ones (256 to 511). Four partial tables counted in turn keep runs
// of one index from waiting on their own increments.
using IndexCounts = std::array<std::uint32_t, 2 * kIndexCount>;

IndexCounts CountIndices(const GifImage& image, const RecordChanges& changes) {
    std::array<IndexCounts, 4> parts{};
    const std::uint8_t* indices = image.indices.data();
    const std::size_t count = image.indices.size();
    const std::uint8_t* unchanged = MarksOf(image, changes);
    const auto key = [&](std::size_t i) {
        return unchanged ? std::size_t{indices[i]} | std::size_t{unchanged[i]} << 8 : std::size_t{indices[i]};
    };
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        ++parts[0][key(i)];
        ++parts[1][key(i + 1)];
        ++parts[2][key(i + 2)];
        ++parts[3][key(i + 3)];
    }
    for (; i < count; ++i) ++parts[0][key(i)];
    for (std::size_t k = 0; k < parts[0].size(); ++k) parts[0][k] += parts[1][k] + parts[2][k] + parts[3][k];
    return parts[0];
}

// 1 for every index found at a shown pixel of one record, 0 for all others.
using IndexMarks = std::array<std::uint32_t, kIndexCount>;

IndexMarks ShownIndices(const IndexCounts& counts) {
    IndexMarks marks{};
    for (std::size_t k = 0; k < kIndexCount; ++k) marks[k] = counts[k] > 0 ? 1 : 0;
    return marks;
}

struct Bounds {
    int left = 0;
    int top = 0;
    int right = -1;  // inclusive; right < left means no changed pixel
    int bottom = -1;
};

Bounds ChangedBounds(const GifImage& image, const RecordChanges& changes) {
    Bounds bounds{image.width, image.height, -1, -1};
    for (int y = 0; y < image.height; ++y) {
        const ColumnSpan span = changes.changedColumns[static_cast<std::size_t>(y)];
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
void CropAndMark(GifImage& image, const GifImage& previous, const Bounds& b, RecordChanges& changes) {
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
        const ColumnSpan span = changes.changedColumns[row];
        if (span.Empty()) continue;
        const PixelValue* now = image.Pixels()->Row(b.top + y);
        const PixelValue* before = previous.Pixels()->Row(b.top + y);
        for (int x = span.first; x < span.end; ++x) {
            unchanged[out + static_cast<std::size_t>(x - b.left)] = SameColor(now[x], before[x]) ? 1 : 0;
        }
    }
    image.indices = std::move(indices);
    changes.unchanged = std::move(unchanged);
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
void AssignTransparentPixels(GifImage& image, const std::uint8_t* unchanged, std::uint8_t t, IndexCounts& counts,
                             RecordChanges& changes) {
    std::int64_t n = 0;
    for (std::size_t k = 0; k < kIndexCount; ++k) n += counts[kIndexCount + k];
    for (std::size_t k = 0; k < kIndexCount; ++k) {
        if (std::int64_t{counts[k]} + counts[kIndexCount + k] > n) n -= counts[kIndexCount + k];
    }
    n = std::max<std::int64_t>(n, 0);
    // Unchanged pixels of the indices occurring less than n times take t.
    std::array<std::uint8_t, 2 * kIndexCount> after{};
    for (std::size_t k = 0; k < kIndexCount; ++k) {
        after[k] = static_cast<std::uint8_t>(k);
        const bool rare = std::int64_t{counts[k]} + counts[kIndexCount + k] < n;
        after[kIndexCount + k] = rare ? t : static_cast<std::uint8_t>(k);
    }
    // The encoder may still give a pixel that took t its colour back.
    changes.colors.assign(image.indices.begin(), image.indices.end());
    std::uint8_t* indices = image.indices.data();
    for (std::size_t i = 0; i < image.indices.size(); ++i)
        indices[i] = after[std::size_t{indices[i]} | std::size_t{unchanged[i]} << 8];
    // The counts follow the pixels that moved to t.
    for (std::size_t k = 0; k < kIndexCount; ++k) {
        if (after[kIndexCount + k] == k) continue;
        counts[kIndexCount + t] += counts[kIndexCount + k];
        counts[kIndexCount + k] = 0;
    }
}

// The counts of every record, in list order.
std::vector<IndexCounts> CountAllIndices(const GifFile& gif, const FrameChanges& changes) {
    std::vector<IndexCounts> counts;
    counts.reserve(gif.images.size());
    for (std::size_t r = 0; r < gif.images.size(); ++r) counts.push_back(CountIndices(gif.images[r], changes.Of(r)));
    return counts;
}

using IndexMap = std::array<std::uint8_t, kIndexCount>;

// Gives image's indices the new numbers of newIndex, in its pixels, its
// transparent index and its counts.
void Renumber(GifImage& image, IndexCounts& counts, const IndexMap& newIndex) {
    for (std::uint8_t& index : image.indices) index = newIndex[index];
    if (image.transparent) image.transparentIndex = newIndex[image.transparentIndex];
    IndexCounts renumbered{};
    for (std::size_t k = 0; k < kIndexCount; ++k) {
        renumbered[newIndex[k]] = counts[k];
        renumbered[kIndexCount + newIndex[k]] = counts[kIndexCount + k];
    }
    counts = renumbered;
}

// A record with a table of its own: the entries it refers to (shown or not)
// move to the front in their order, and the table shrinks to the smallest
// size that holds them, which may lower its code size.
void OrderLocalTable(GifImage& image, IndexCounts& counts) {
    IndexMap order{};
    std::size_t used = 0;
    for (std::size_t k = 0; k < kIndexCount; ++k)
        if (counts[k] + counts[kIndexCount + k] != 0) order[used++] = static_cast<std::uint8_t>(k);
    std::size_t next = used;
    for (std::size_t k = 0; k < kIndexCount; ++k)
        if (counts[k] + counts[kIndexCount + k] == 0) order[next++] = static_cast<std::uint8_t>(k);
    IndexMap newIndex{};
    for (std::size_t p = 0; p < kIndexCount; ++p) newIndex[order[p]] = static_cast<std::uint8_t>(p);
    Renumber(image, counts, newIndex);
    const ColorTable old = *image.localColorTable;
    for (std::size_t p = 0; p < kIndexCount; ++p) (*image.localColorTable)[p] = old[order[p]];
    image.colorTableSize = static_cast<std::uint16_t>(ColorTableSizeFor(static_cast<int>(used)));
}

void OrderPalette(GifFile& gif, std::vector<IndexCounts>& counts) {
    // Records with their own table are ordered alone; the others share
    // the global one.
    std::array<std::uint32_t, kIndexCount> usage{};
    for (std::size_t r = 0; r < gif.images.size(); ++r) {
        if (gif.images[r].localColorTable) {
            OrderLocalTable(gif.images[r], counts[r]);
            continue;
        }
        const IndexMarks marks = ShownIndices(counts[r]);
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

    IndexMap newIndex{};
    for (std::size_t p = 0; p < kIndexCount; ++p) newIndex[order[p]] = static_cast<std::uint8_t>(p);
    for (std::size_t r = 0; r < gif.images.size(); ++r) {
        if (!gif.images[r].localColorTable) Renumber(gif.images[r], counts[r], newIndex);
    }
    if (gif.globalColorTable) {
        const ColorTable old = *gif.globalColorTable;
        for (std::size_t p = 0; p < kIndexCount; ++p) (*gif.globalColorTable)[p] = old[order[p]];
    }
}

void SetTransparent(GifFile& gif, FrameChanges& changes, std::vector<IndexCounts>& counts) {
    for (std::size_t i = 1; i < gif.images.size(); ++i) {
        GifImage& image = gif.images[i];
        RecordChanges& record = changes.At(i);
        const std::uint8_t* unchanged = MarksOf(image, record);
        if (unchanged == nullptr) continue;
        IndexCounts& count = counts[i];
        const bool anyUnchanged =
            std::any_of(count.begin() + kIndexCount, count.end(), [](std::uint32_t c) { return c != 0; });
        if (!anyUnchanged) continue;
        const std::optional<std::uint8_t> t = LowestUnusedIndex(ShownIndices(count));
        if (!t) continue;
        image.transparent = true;
        image.transparentIndex = *t;
        AssignTransparentPixels(image, unchanged, *t, count, record);
        // When every palette colour is in use, t is the first index past the
        // palette; the table then grows so that no pixel refers to an entry
        // the file does not hold.
        const bool local = image.localColorTable.has_value();
        if (local || gif.globalColorTable) {
            std::uint16_t& size = local ? image.colorTableSize : gif.globalColorTableSize;
            if (*t >= size) size = static_cast<std::uint16_t>(ColorTableSizeFor(*t + 1));
        }
    }
}

// Each record's smallest code size, from its counts: the largest index
// found is the last one counted.
void SetCodeSizes(GifFile& gif, const std::vector<IndexCounts>& counts) {
    for (std::size_t r = 0; r < gif.images.size(); ++r) {
        int count = 0;
        for (std::size_t k = kIndexCount; k-- > 0;) {
            if (counts[r][k] + counts[r][kIndexCount + k] != 0) {
                count = static_cast<int>(k) + 1;
                break;
            }
        }
        gif.images[r].minimumCodeSize = static_cast<std::uint8_t>(MinimumCodeSizeFor(count));
    }
}

}  // namespace

void ReduceAnimationSize(GifFile& gif, FrameChanges& changes, const StopCheck& stopped) {
    // Each record's indices are counted once; the later steps keep the
    // counts up to date as they renumber and replace indices.
    if (StopRequested(stopped)) return;
    CropToChangedPixels(gif, changes);
    if (StopRequested(stopped)) return;
    std::vector<IndexCounts> counts = CountAllIndices(gif, changes);
    OrderPalette(gif, counts);
    if (StopRequested(stopped)) return;
    SetTransparent(gif, changes, counts);
    if (StopRequested(stopped)) return;
    SetCodeSizes(gif, counts);
}

void CropToChangedPixels(GifFile& gif, FrameChanges& changes) {
    FindChangedColumns(gif, changes);
    // From the last record back, so that each record's predecessor still
    // has its own pixels and size when it is compared.
    for (std::size_t i = gif.images.size(); i-- > 1;) {
        GifImage& image = gif.images[i];
        if (!changes.HasChangedColumns(gif, i) || !HasIndicesOfItsSize(image)) continue;
        RecordChanges& record = changes.At(i);
        const Bounds bounds = ChangedBounds(image, record);
        if (bounds.right < bounds.left) {
            // Nothing changed: the record keeps its size, every pixel unchanged.
            record.unchanged.assign(image.indices.size(), 1);
        } else {
            CropAndMark(image, gif.images[i - 1], bounds, record);
        }
        // The pixels no longer match the record; the marks stand for them.
        image.pixels.reset();
        image.borrowedPixels = nullptr;
        record.changedColumns.clear();
    }
}

void OrderPaletteByUsage(GifFile& gif, const FrameChanges& changes) {
    std::vector<IndexCounts> counts = CountAllIndices(gif, changes);
    OrderPalette(gif, counts);
}

void SetTransparentIndices(GifFile& gif, FrameChanges& changes) {
    std::vector<IndexCounts> counts = CountAllIndices(gif, changes);
    SetTransparent(gif, changes, counts);
}

}  // namespace vantrel
