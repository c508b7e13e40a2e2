#include "codec/FrameChanges.h"

#include "codec/ColorQuantizer.h"

namespace vantrel {

namespace {

constexpr PixelValue kColorMask = 0x00FFFFFF;
// Pixels compared together before looking at single ones: rows of a frame
// are mostly unchanged, and a block without any difference costs a few
// branch-free instructions.
constexpr int kBlock = 16;

bool BlockDiffers(const PixelValue* a, const PixelValue* b) {
    PixelValue difference = 0;
    for (int k = 0; k < kBlock; ++k) difference |= a[k] ^ b[k];
    return (difference & kColorMask) != 0;
}

// The first column of [from, to) whose colours differ, or to.
int FirstDifference(const PixelValue* a, const PixelValue* b, int from, int to) {
    int x = from;
    while (x + kBlock <= to && !BlockDiffers(a + x, b + x)) x += kBlock;
    for (; x < to; ++x) {
        if (!SameColor(a[x], b[x])) return x;
    }
    return to;
}

// One past the last column of [from, to) whose colours differ; from when none does.
int EndOfDifferences(const PixelValue* a, const PixelValue* b, int from, int to) {
    int x = to;
    while (x - kBlock >= from && !BlockDiffers(a + x - kBlock, b + x - kBlock)) x -= kBlock;
    for (; x > from; --x) {
        if (!SameColor(a[x - 1], b[x - 1])) return x;
    }
    return from;
}

}  // namespace

bool SamePlace(const GifImage& a, const GifImage& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

const RecordChanges& FrameChanges::Of(std::size_t record) const {
    static const RecordChanges kNone;
    return record < records_.size() ? records_[record] : kNone;
}

RecordChanges& FrameChanges::At(std::size_t record) {
    if (record >= records_.size()) records_.resize(record + 1);
    return records_[record];
}

bool FrameChanges::HasChangedColumns(const GifFile& gif, std::size_t record) const {
    return record < gif.images.size() && gif.images[record].height > 0 &&
           Of(record).changedColumns.size() == gif.images[record].height;
}

void FindChangedColumns(const GifFile& gif, FrameChanges& changes) {
    for (std::size_t i = 1; i < gif.images.size(); ++i) {
        const GifImage& image = gif.images[i];
        const GifImage& previous = gif.images[i - 1];
        if (changes.HasChangedColumns(gif, i) || !HasPixelsOfItsSize(image) || !HasPixelsOfItsSize(previous) ||
            !SamePlace(image, previous) || image.height == 0) {
            continue;
        }
        const PackedDib& now = *image.Pixels();
        const PackedDib& before = *previous.Pixels();
        const int width = image.width;
        std::vector<ColumnSpan>& spans = changes.At(i).changedColumns;
        spans.resize(image.height);
        for (int y = 0; y < image.height; ++y) {
            const PixelValue* a = now.Row(y);
            const PixelValue* b = before.Row(y);
            const int first = FirstDifference(a, b, 0, width);
            const int end = first == width ? first : EndOfDifferences(a, b, first, width);
            spans[static_cast<std::size_t>(y)] = {static_cast<std::uint16_t>(first), static_cast<std::uint16_t>(end)};
        }
    }
}

}  // namespace vantrel
