#include "core/CompactImage.h"

#include <algorithm>
#include <new>
#include <utility>

#include "core/PixelLoop.h"

namespace vantrel {

// ---- SparseImage ----

namespace {

// The first fully transparent pixel of image, the value runs are cut from.
bool FirstTransparent(const PackedDib& image, PixelValue& fill) {
    for (int y = 0; y < image.Height(); ++y) {
        const PixelValue* row = image.Row(y);
        const PixelValue* end = row + image.Width();
        const PixelValue* found = std::find_if(row, end, [](PixelValue p) { return TransparencyOf(p) == 0xFF; });
        if (found != end) {
            fill = *found;
            return true;
        }
    }
    return false;
}

// The first pixel from p on that differs from fill, or end. Blocks of
// pixels are tested without a branch per pixel: a picture that is mostly
// fill is read at memory speed.
VANTREL_PIXEL_LOOP const PixelValue* SkipFill(const PixelValue* p, const PixelValue* end, PixelValue fill) {
    constexpr std::ptrdiff_t kBlock = 16;
    while (end - p >= kBlock) {
        PixelValue differs = 0;
        for (std::ptrdiff_t k = 0; k < kBlock; ++k) differs |= p[k] ^ fill;
        if (differs != 0) break;
        p += kBlock;
    }
    while (p != end && *p == fill) ++p;
    return p;
}

}  // namespace

std::shared_ptr<const SparseImage> SparseImage::Of(const PackedDib& image) {
    PixelValue fill = 0;
    if (!image.HasBlock() || image.Width() == 0 || image.Height() == 0 || !FirstTransparent(image, fill))
        return nullptr;
    const int width = image.Width();
    const int height = image.Height();
    // A picture the runs would not halve stays in full: the making stops
    // as soon as the runs pass half its bytes.
    const std::size_t budget = image.SizeImage() / 2;
    std::size_t held = (std::size_t(height) + 1) * sizeof(std::uint32_t);
    if (held > budget) return nullptr;
    try {
        std::shared_ptr<SparseImage> sparse(new SparseImage);
        sparse->width_ = width;
        sparse->height_ = height;
        sparse->fill_ = fill;
        sparse->rowStarts_.reserve(std::size_t(height) + 1);
        for (int y = 0; y < height; ++y) {
            sparse->rowStarts_.push_back(std::uint32_t(sparse->runs_.size()));
            const PixelValue* row = image.Row(y);
            const PixelValue* end = row + width;
            for (const PixelValue* p = SkipFill(row, end, fill); p != end; p = SkipFill(p, end, fill)) {
                const PixelValue* first = p;
                while (p != end && *p != fill) ++p;
                held += sizeof(Run) + std::size_t(p - first) * sizeof(PixelValue);
                if (held > budget) return nullptr;
                sparse->runs_.push_back(
                    {std::uint32_t(first - row), std::uint32_t(p - row), std::uint32_t(sparse->pixels_.size())});
                sparse->pixels_.insert(sparse->pixels_.end(), first, p);
            }
        }
        sparse->rowStarts_.push_back(std::uint32_t(sparse->runs_.size()));
        sparse->runs_.shrink_to_fit();
        sparse->pixels_.shrink_to_fit();
        return sparse;
    } catch (const std::bad_alloc&) {  // the full form stays
        return nullptr;
    }
}

std::size_t SparseImage::HeldBytes() const {
    return sizeof(SparseImage) + rowStarts_.size() * sizeof(std::uint32_t) + runs_.size() * sizeof(Run) +
           pixels_.size() * sizeof(PixelValue);
}

VANTREL_PIXEL_LOOP void SparseImage::ReadRow(int y, int left, int right, PixelValue* out) const {
    VisitRow(
        y, left, right, [&](int from, int to) { std::fill(out + (from - left), out + (to - left), fill_); },
        [&](int from, int to, const PixelValue* pixels) { std::copy(pixels, pixels + (to - from), out + (from - left)); });
}

PixelValue SparseImage::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kOpaqueWhite;
    const Run* first = runs_.data() + rowStarts_[std::size_t(y)];
    const Run* end = runs_.data() + rowStarts_[std::size_t(y) + 1];
    // The last run starting at or before x holds it, if any does.
    const Run* after = std::upper_bound(first, end, std::uint32_t(x),
                                        [](std::uint32_t value, const Run& run) { return value < run.left; });
    if (after == first) return fill_;
    const Run& run = after[-1];
    return std::uint32_t(x) < run.right ? pixels_[run.pixels + (std::uint32_t(x) - run.left)] : fill_;
}

// ---- CompactImage ----

CompactImage& CompactImage::operator=(PackedDib&& full) {
    full_ = std::move(full);
    sparse_.reset();
    return *this;
}

std::size_t CompactImage::HeldBytes() const {
    if (sparse_) return sparse_->HeldBytes();
    return full_.HasBlock() ? full_.SizeImage() : 0;
}

void CompactImage::Compact() {
    if (sparse_ || !full_.HasBlock()) return;
    if (std::shared_ptr<const SparseImage> sparse = SparseImage::Of(full_)) {
        sparse_ = std::move(sparse);
        full_ = PackedDib();
    }
}

void CompactImage::ShareFrom(const CompactImage& other) {
    if (&other == this) return;
    if (other.sparse_) {
        full_ = PackedDib();
        sparse_ = other.sparse_;
    } else {
        sparse_.reset();
        full_.ShareFrom(other.full_);
    }
}

bool CompactImage::IsOpaqueIn(const Rect& r) const {
    if (!sparse_) return full_.IsOpaqueIn(r);
    const Rect inside = Intersect(r, Bounds());
    RowReader rows(*this);
    for (int y = inside.top; y < inside.bottom; ++y) {
        const PixelValue* row = rows.Row(y);
        if (std::any_of(row + inside.left, row + inside.right, [](PixelValue p) { return TransparencyOf(p) != 0; }))
            return false;
    }
    return true;
}

void CompactImage::BlitTo(PackedDib& dest, int x, int y) const {
    if (!sparse_) {
        full_.BlitTo(dest, x, y);
        return;
    }
    BlitClip clip;
    if (!ClipBlit(Width(), Height(), dest, x, y, clip)) return;
    for (int row = clip.dest.top; row < clip.dest.bottom; ++row) {
        sparse_->ReadRow(clip.srcY + row - clip.dest.top, clip.srcX, clip.srcX + clip.dest.Width(),
                         dest.Row(row) + clip.dest.left);
    }
}

void CompactImage::BlendOnto(PackedDib& dest, int x, int y) const {
    if (!sparse_) {
        full_.BlendOnto(dest, x, y);
        return;
    }
    Copy().BlendOnto(dest, x, y);
}

PackedDib CompactImage::Copy() const {
    PackedDib copy;
    if (!sparse_) {
        copy.ShareFrom(full_);
    } else if (copy.SetSizeForOverwrite(Width(), Height())) {
        BlitTo(copy, 0, 0);
    }
    return copy;
}

const PackedDib& CompactImage::Full() const {
    if (sparse_) {
        // Without memory for the full form the picture is left without a
        // block, as a PackedDib whose write cannot get a block of its own.
        full_ = Copy();
        sparse_.reset();
    }
    return full_;
}

PackedDib& CompactImage::Edit() {
    Full();
    return full_;
}

bool CompactImage::SetSize(int width, int height) {
    if (sparse_ && width == Width() && height == Height()) return true;
    sparse_.reset();
    return full_.SetSize(width, height);
}

CompactImage::RowReader::RowReader(const CompactImage& image) : image_(image) {
    if (image.sparse_) row_.resize(std::size_t(image.Width()));
}

const PixelValue* CompactImage::RowReader::Row(int y) {
    if (!image_.sparse_) return image_.full_.Row(y);
    image_.sparse_->ReadRow(y, 0, image_.Width(), row_.data());
    return row_.data();
}

}  // namespace vantrel
