#pragma once
// CompactImage: a picture held in full (a PackedDib) or, when most of it is
// one value, as the runs of each row that differ from that value
// (SparseImage). The frames of an animation read from a GIF are such
// pictures: canvas-sized, nearly all transparent, a few pixels changed each.
//
// Reading never changes the form: rows, pixels, copies and blits read either.
// Writing (Row, FillRect, Edit), and Full for a caller that must keep a
// PackedDib, give the picture its full form first and for good; Compact goes
// back to runs when that holds at most half the bytes.
// Copies share what they hold until either side is written (runs are never
// written, so sharing them is free).

#include <cstddef>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/Geometry.h"
#include "core/PackedDib.h"
#include "core/Pixel.h"

namespace vantrel {

// A picture kept as one fill value plus, per row, the runs of pixels that
// differ from it. Made once from a full picture and never changed. The fill
// is always fully transparent (transparency byte 255).
class SparseImage {
public:
    // The runs of image, or null when image has no block, has no fully
    // transparent pixel to fill with (the first one met is the fill), or its
    // runs would take more than half its bytes.
    static std::shared_ptr<const SparseImage> Of(const PackedDib& image);

    int Width() const { return width_; }
    int Height() const { return height_; }
    PixelValue Fill() const { return fill_; }
    // Bytes held by the runs and their pixels.
    std::size_t HeldBytes() const;
    // Pixels left to right - 1 of row y (counted from the top) into out;
    // the range must lie inside the picture.
    void ReadRow(int y, int left, int right, PixelValue* out) const;
    // Walks pixels left to right - 1 of row y in order, stretch by stretch:
    // fill(from, to) for a stretch of the fill value, run(from, to, pixels)
    // for a stretch of other pixels (pixels[0] is pixel from).
    template <typename Fill, typename RunPixels>
    void VisitRow(int y, int left, int right, Fill fill, RunPixels run) const {
        const Run* r = runs_.data() + rowStarts_[std::size_t(y)];
        const Run* end = runs_.data() + rowStarts_[std::size_t(y) + 1];
        int x = left;
        for (; r != end && int(r->left) < right; ++r) {
            const int from = std::max(int(r->left), left);
            const int to = std::min(int(r->right), right);
            if (from >= to) continue;
            if (x < from) fill(x, from);
            run(from, to, pixels_.data() + r->pixels + (from - int(r->left)));
            x = to;
        }
        if (x < right) fill(x, right);
    }
    // The pixel, or opaque white outside the picture (as PackedDib::GetPixel).
    PixelValue GetPixel(int x, int y) const;

private:
    struct Run {
        std::uint32_t left = 0;
        std::uint32_t right = 0;   // exclusive
        std::uint32_t pixels = 0;  // index of the run's first pixel in pixels_
    };
    SparseImage() = default;

    int width_ = 0;
    int height_ = 0;
    PixelValue fill_ = 0;
    std::vector<std::uint32_t> rowStarts_;  // height + 1 entries: row y's runs are [rowStarts_[y], rowStarts_[y + 1])
    std::vector<Run> runs_;
    std::vector<PixelValue> pixels_;
};

class CompactImage {
public:
    CompactImage() = default;
    explicit CompactImage(PackedDib full) : full_(std::move(full)) {}
    CompactImage(CompactImage&&) noexcept = default;
    CompactImage& operator=(CompactImage&&) noexcept = default;
    CompactImage(const CompactImage&) = delete;
    CompactImage& operator=(const CompactImage&) = delete;
    // Takes full as the picture (full form).
    CompactImage& operator=(PackedDib&& full);

    int Width() const { return sparse_ ? sparse_->Width() : full_.Width(); }
    int Height() const { return sparse_ ? sparse_->Height() : full_.Height(); }
    Rect Bounds() const { return {0, 0, Width(), Height()}; }
    // The bytes of the full form (width x height x 4), whichever form is held.
    std::size_t SizeImage() const { return std::size_t(Width()) * std::size_t(Height()) * 4; }
    // Whether pixels are held, in either form.
    bool HasBlock() const { return sparse_ != nullptr || full_.HasBlock(); }
    bool IsSparse() const { return sparse_ != nullptr; }
    // Bytes the pixels take as held.
    std::size_t HeldBytes() const;

    // Keeps the picture as runs when SparseImage::Of makes them; nothing otherwise.
    void Compact();
    // Same size and contents as other, sharing what it holds.
    void ShareFrom(const CompactImage& other);
    // Whether the full form shows the block of other (runs never do).
    bool SharesBlockWith(const PackedDib& other) const { return !sparse_ && full_.SharesBlockWith(other); }

    // ---- reading ----
    // The runs, when the picture is held as runs; null otherwise.
    const SparseImage* Sparse() const { return sparse_.get(); }
    PixelValue GetPixel(int x, int y) const { return sparse_ ? sparse_->GetPixel(x, y) : full_.GetPixel(x, y); }
    // Whether pixels are held and every one has transparency byte 0 (runs
    // always fill with a transparent value, so they never are).
    bool IsOpaque() const { return !sparse_ && full_.IsOpaque(); }
    // Whether pixels are held and every pixel inside r (clipped) has transparency byte 0.
    bool IsOpaqueIn(const Rect& r) const;
    // As PackedDib::BlitTo and BlendOnto, from either form.
    void BlitTo(PackedDib& dest, int x, int y) const;
    void BlendOnto(PackedDib& dest, int x, int y) const;
    // The full form, sharing the block when held in full, else made from the
    // runs (without a block when that cannot be had). Changes nothing here.
    PackedDib Copy() const;
    // The full form, made from the runs for good when held as runs: for
    // callers that need a PackedDib to keep (costs the full bytes).
    const PackedDib& Full() const;

    // Walks rows of either form: in place when held in full, expanded into
    // one row of scratch when held as runs.
    class RowReader {
    public:
        explicit RowReader(const CompactImage& image);
        // The whole of row y (from the top), valid until the next call.
        const PixelValue* Row(int y);

    private:
        const CompactImage& image_;
        std::vector<PixelValue> row_;
    };

    // ---- writing (full form first) ----
    // SetSize of PackedDib: the same size keeps the pixels in either form.
    bool SetSize(int width, int height);
    PackedDib& Edit();
    PixelValue* Row(int y) { return Edit().Row(y); }
    void FillRect(PixelValue value, const Rect* rect = nullptr) { Edit().FillRect(value, rect); }

private:
    // Full() may give the full form to a const picture: both are mutable.
    mutable PackedDib full_;
    mutable std::shared_ptr<const SparseImage> sparse_;
};

}  // namespace vantrel
