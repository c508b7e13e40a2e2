#include "core/PackedDib.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "core/ByteReader.h"
#include "core/PixelBlocks.h"

namespace vantrel {

namespace {

bool SizeAllowed(int width, int height) {
    return width >= 0 && height >= 0 &&
           std::int64_t{width} * std::int64_t{height} <= PackedDib::kMaxPixels;
}

}  // namespace

void PackedDib::BlockFree::operator()(PixelValue* block) const { FreePixelBlock(block, origin); }

PackedDib::Block PackedDib::AllocateBlock(std::size_t count, bool clear) {
    BlockFree free;
    void* block = AllocatePixelBlock(count * sizeof(PixelValue), clear, free.origin);
    if (block == nullptr) return Block{};
    try {
        return Block(static_cast<PixelValue*>(block), free);
    } catch (const std::bad_alloc&) {  // the shared count could not be made (the block is freed)
        return Block{};
    }
}

void PackedDib::MakeOwnBlock(bool keep) {
    Block own = AllocateBlock(std::size_t(Width()) * std::size_t(Height()), false);
    if (own && keep) std::memcpy(own.get(), block_.get(), SizeImage());
    block_ = std::move(own);
    if (bits_ != nullptr) bits_ = block_.get();
}

void PackedDib::ShareFrom(const PackedDib& other) {
    if (&other == this || block_ == other.block_) return;
    if (IsLocked() || other.IsLocked() || !other.HasBlock()) {
        CopyFrom(&other);
        return;
    }
    header_ = other.header_;
    block_ = other.block_;
}

PackedDib::PackedDib(PackedDib&& other) noexcept
    : header_(other.header_), block_(std::move(other.block_)), bits_(other.bits_),
      lockCount_(other.lockCount_) {
    other.header_ = BitmapInfoHeader{};
    other.bits_ = nullptr;
    other.lockCount_ = 0;
}

PackedDib& PackedDib::operator=(PackedDib&& other) noexcept {
    if (this != &other) {
        header_ = std::exchange(other.header_, BitmapInfoHeader{});
        block_ = std::move(other.block_);
        bits_ = std::exchange(other.bits_, nullptr);
        lockCount_ = std::exchange(other.lockCount_, 0);
    }
    return *this;
}

void PackedDib::Reset(int width, int height, Block block) {
    header_.biWidth = width;
    header_.biHeight = height;
    header_.biSizeImage = static_cast<std::uint32_t>(std::size_t(width) * std::size_t(height) * 4);
    block_ = std::move(block);
    bits_ = nullptr;
    lockCount_ = 0;
}

bool PackedDib::SetSize(int width, int height) { return Resize(width, height, true); }

bool PackedDib::SetSizeForOverwrite(int width, int height) { return Resize(width, height, false); }

bool PackedDib::Resize(int width, int height, bool clear) {
    if (width == Width() && height == Height()) return HasBlock();
    if (!SizeAllowed(width, height)) {
        Reset(0, 0, Block{});
        return false;
    }
    const std::size_t count = std::size_t(width) * std::size_t(height);
    Reset(width, height, Block{});  // the old block goes first
    if (count != 0) block_ = AllocateBlock(count, clear);
    return HasBlock();
}

bool PackedDib::CreateBlank(int width, int height) {
    SetSizeForOverwrite(width, height);
    FillBytes(0xFF);
    return HasBlock();
}

void PackedDib::CopyFrom(const PackedDib* other) {
    if (other == nullptr || other == this) return;
    if (!other->HasBlock()) {
        SetSize(other->Width(), other->Height());
        return;
    }
    SetSizeForOverwrite(other->Width(), other->Height());
    Unshare(false);
    if (HasBlock() && other->HasBlock()) std::memcpy(block_.get(), other->block_.get(), SizeImage());
}

void PackedDib::CopyPixels(const PackedDib& other) {
    if (&other == this || SizeImage() != other.SizeImage() || !HasBlock() || !other.HasBlock()) return;
    if (block_ == other.block_) return;
    Unshare(false);
    if (HasBlock()) std::memcpy(block_.get(), other.block_.get(), SizeImage());
}

void PackedDib::FillBytes(std::uint8_t value) {
    Unshare(false);
    if (HasBlock()) std::memset(block_.get(), value, SizeImage());
}

void PackedDib::FillRect(PixelValue value, const Rect* rect) {
    if (!HasBlock()) return;
    const Rect area = rect ? Intersect(*rect, Bounds()) : Bounds();
    if (area.IsEmpty()) return;
    Unshare(area != Bounds());
    for (int y = area.top; y < area.bottom; ++y) {
        PixelValue* row = Row(y);
        std::fill(row + area.left, row + area.right, value);
    }
}

bool PackedDib::IsOpaque() const {
    if (!HasBlock()) return false;
    const PixelValue* pixel = block_.get();
    const std::size_t count = std::size_t(Width()) * std::size_t(Height());
    // Blocks of pixels ORed without a branch, then one test: opaque pictures
    // are read at memory speed, the others stop at their first block with
    // a transparent pixel.
    constexpr std::size_t kBlock = 64;
    std::size_t i = 0;
    for (; i + kBlock <= count; i += kBlock) {
        PixelValue any = 0;
        for (std::size_t k = 0; k < kBlock; ++k) any |= pixel[i + k];
        if ((any & 0xFF000000) != 0) return false;
    }
    for (; i < count; ++i) {
        if ((pixel[i] & 0xFF000000) != 0) return false;
    }
    return true;
}

bool PackedDib::IsOpaqueIn(const Rect& r) const {
    if (!HasBlock()) return false;
    const Rect inside = Intersect(r, Bounds());
    for (int y = inside.top; y < inside.bottom; ++y) {
        const PixelValue* row = Row(y);
        PixelValue any = 0;
        for (int x = inside.left; x < inside.right; ++x) any |= row[x];
        if ((any & 0xFF000000) != 0) return false;
    }
    return true;
}

PixelValue PackedDib::GetPixel(int x, int y) const {
    if (!HasBlock() || x < 0 || y < 0 || x >= Width() || y >= Height()) return kOpaqueWhite;
    return Row(y)[x];
}

bool PackedDib::Lock() {
    Unshare(true);
    if (!HasBlock()) return false;
    ++lockCount_;
    bits_ = block_.get();
    return true;
}

void PackedDib::Unlock() {
    if (lockCount_ > 0 && --lockCount_ == 0) bits_ = nullptr;
}

void PackedDib::SetPixel(int x, int y, PixelValue value) {
    if (bits_ == nullptr || x < 0 || y < 0 || x >= Width() || y >= Height()) return;
    bits_[RowIndex(y) + x] = value;
}

std::span<std::uint8_t> PackedDib::Bytes() {
    Unshare(true);
    return {reinterpret_cast<std::uint8_t*>(block_.get()), HasBlock() ? SizeImage() : 0};
}

std::span<const std::uint8_t> PackedDib::Bytes() const {
    return {reinterpret_cast<const std::uint8_t*>(block_.get()), HasBlock() ? SizeImage() : 0};
}

bool ClipBlit(int width, int height, const PackedDib& dest, int x, int y, BlitClip& out) {
    if (!dest.HasBlock()) return false;
    // 64-bit edges so that offsets near the int limits cannot overflow.
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + width, dest.Width());
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + height, dest.Height());
    if (right <= left || bottom <= top) return false;
    out.dest = {int(left), int(top), int(right), int(bottom)};
    out.srcX = int(left - x);
    out.srcY = int(top - y);
    return true;
}

namespace {

bool ClipTo(const PackedDib& src, const PackedDib& dest, int x, int y, BlitClip& out) {
    return src.HasBlock() && ClipBlit(src.Width(), src.Height(), dest, x, y, out);
}

}  // namespace

void PackedDib::BlitTo(PackedDib& dest, int x, int y) const {
    if (&dest == this) return;
    BlitClip clip;
    if (!ClipTo(*this, dest, x, y, clip)) return;
    const std::size_t bytes = std::size_t(clip.dest.Width()) * sizeof(PixelValue);
    for (int row = clip.dest.top; row < clip.dest.bottom; ++row) {
        std::memcpy(dest.Row(row) + clip.dest.left, Row(clip.srcY + row - clip.dest.top) + clip.srcX,
                    bytes);
    }
}

PixelValue BlendPixel(PixelValue s, PixelValue d) {
    const std::uint32_t ts = TransparencyOf(s);
    if (ts == 0) return s;  // the same result as the general formula, taken often
    if (ts == 255) return d;
    const std::uint32_t td = TransparencyOf(d);
    const std::uint32_t ws = 255 - ts;
    const std::uint32_t wd = ((255 - td) * ts) / 255;
    const std::uint32_t sum = wd + ws;
    const std::uint32_t red = (RedOf(d) * wd + RedOf(s) * ws) / sum;
    const std::uint32_t green = (GreenOf(d) * wd + GreenOf(s) * ws) / sum;
    const std::uint32_t blue = (BlueOf(d) * wd + BlueOf(s) * ws) / sum;
    const std::uint32_t t = td - (ws * td) / 255;  // never negative: ws <= 255
    return (t << 24) | (red << 16) | (green << 8) | blue;
}

void PackedDib::BlendOnto(PackedDib& dest, int x, int y) const {
    if (&dest == this) return;
    BlitClip clip;
    if (!ClipTo(*this, dest, x, y, clip)) return;
    const int width = clip.dest.Width();
    for (int row = clip.dest.top; row < clip.dest.bottom; ++row) {
        const PixelValue* s = Row(clip.srcY + row - clip.dest.top) + clip.srcX;
        PixelValue* d = dest.Row(row) + clip.dest.left;
        for (int i = 0; i < width; ++i) d[i] = BlendPixel(s[i], d[i]);
    }
}

void PackedDib::Resample(int newWidth, int newHeight) {
    if (!HasBlock()) return;
    if (newWidth == Width() && newHeight == Height()) return;
    PackedDib old(std::move(*this));
    if (!SetSize(newWidth, newHeight)) {
        *this = std::move(old);  // no new block: the buffer stays as it was
        return;
    }
    const int srcW = old.Width();
    const int srcH = old.Height();
    const double sx = double(srcW) / newWidth;
    const double sy = double(srcH) / newHeight;

    // The horizontal spans and their overlap weights are the same for every
    // row: compute them once.
    struct Span {
        int first = 0;
        int last = 0;  // exclusive
        std::size_t weights = 0;  // index into weightsX
    };
    std::vector<Span> spansX(static_cast<std::size_t>(newWidth));
    std::vector<double> weightsX;
    for (int i = 0; i < newWidth; ++i) {
        const double x0 = i * sx;
        const double x1 = (i + 1) * sx;
        Span& span = spansX[std::size_t(i)];
        span.first = std::max(0, int(std::floor(x0)));
        span.last = std::min(int(std::ceil(x1)), srcW);
        span.weights = weightsX.size();
        for (int u = span.first; u < span.last; ++u)
            weightsX.push_back(std::min(x1, u + 1.0) - std::max(x0, double(u)));
    }

    for (int j = 0; j < newHeight; ++j) {
        const double y0 = j * sy;
        const double y1 = (j + 1) * sy;
        const int firstRow = std::max(0, int(std::floor(y0)));
        const int lastRow = std::min(int(std::ceil(y1)), srcH);
        PixelValue* out = Row(j);
        for (int i = 0; i < newWidth; ++i) {
            const Span& span = spansX[std::size_t(i)];
            double area = 0;
            double sum[4] = {0, 0, 0, 0};
            for (int v = firstRow; v < lastRow; ++v) {
                const double wy = std::min(y1, v + 1.0) - std::max(y0, double(v));
                const PixelValue* src = old.Row(v);
                for (int u = span.first; u < span.last; ++u) {
                    const double a = weightsX[span.weights + std::size_t(u - span.first)] * wy;
                    const PixelValue p = src[u];
                    area += a;
                    sum[0] += a * double(p & 0xFF);
                    sum[1] += a * double((p >> 8) & 0xFF);
                    sum[2] += a * double((p >> 16) & 0xFF);
                    sum[3] += a * double(p >> 24);
                }
            }
            PixelValue value = 0;
            if (area > 0) {
                for (int c = 0; c < 4; ++c) {
                    const auto byte = static_cast<PixelValue>(sum[c] / area + 0.49);
                    value |= std::min<PixelValue>(byte, 255) << (8 * c);
                }
            }
            out[i] = value;
        }
    }
}

namespace {

// Source row length in bytes of a packed DIB row, rounded up to 4 bytes.
std::size_t DibStride(std::int64_t width, int bitCount) {
    return std::size_t(((width * bitCount + 31) / 32) * 4);
}

// Channel value of a 16-bit pixel under a mask, scaled to 0..255.
struct MaskChannel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;
    explicit MaskChannel(std::uint32_t m) : mask(m & 0xFFFF) {
        if (mask == 0) return;
        while (((mask >> shift) & 1) == 0) ++shift;
        max = mask >> shift;
    }
    std::uint32_t Value(std::uint32_t pixel) const {
        return max == 0 ? 0 : ((pixel & mask) >> shift) * 255 / max;
    }
};

}  // namespace

bool PackedDib::LoadPackedDib(std::span<const std::uint8_t> block) {
    ByteReader reader(block);
    BitmapInfoHeader h;
    h.biSize = reader.U32();
    h.biWidth = reader.I32();
    h.biHeight = reader.I32();
    h.biPlanes = reader.U16();
    h.biBitCount = reader.U16();
    h.biCompression = reader.U32();
    h.biSizeImage = reader.U32();
    h.biXPelsPerMeter = reader.I32();
    h.biYPelsPerMeter = reader.I32();
    h.biClrUsed = reader.U32();
    h.biClrImportant = reader.U32();
    // Only plain 40-byte headers, bottom-up rows and uncompressed (or 16-bit
    // bit-field) pixels are read; everything else loads nothing.
    if (reader.Exhausted() || h.biSize != kBitmapInfoHeaderSize || h.biWidth <= 0 || h.biHeight <= 0)
        return false;
    const int bits = h.biBitCount;
    const bool bitFields = h.biCompression == 3 && bits == 16;
    if (h.biCompression != 0 && !bitFields) return false;
    if (!SizeAllowed(h.biWidth, h.biHeight)) return false;

    std::vector<PixelValue> palette;
    MaskChannel red(0x7C00), green(0x03E0), blue(0x001F);
    switch (bits) {
    case 1:
    case 4:
    case 8: {
        std::uint32_t entries = bits == 1 ? 2 : h.biClrUsed;
        if (entries == 0) entries = 1u << bits;
        if (entries > 256) return false;
        palette.resize(256, 0);  // indices past the table read black
        for (std::uint32_t i = 0; i < entries; ++i) {
            const std::uint8_t b = reader.U8(), g = reader.U8(), r = reader.U8();
            reader.U8();
            palette[i] = MakePixel(r, g, b);
        }
        break;
    }
    case 16:
        if (bitFields) {
            red = MaskChannel(reader.U32());
            green = MaskChannel(reader.U32());
            blue = MaskChannel(reader.U32());
        }
        break;
    case 24:
    case 32:
        break;
    default:
        return false;
    }
    const std::size_t stride = DibStride(h.biWidth, bits);
    const std::size_t rowsBytes = stride * std::size_t(h.biHeight);
    if (reader.Exhausted() || reader.Remaining() < rowsBytes) return false;
    const std::uint8_t* rows = block.data() + reader.Position();

    if (!SetSizeForOverwrite(h.biWidth, h.biHeight)) return false;
    Unshare(false);
    if (!HasBlock()) return false;
    const int width = Width();
    for (int r = 0; r < Height(); ++r) {
        // Both are bottom-up: source row r is block row r.
        const std::uint8_t* src = rows + std::size_t(r) * stride;
        PixelValue* out = block_.get() + std::size_t(r) * std::size_t(width);
        switch (bits) {
        case 1:
            for (int x = 0; x < width; ++x) out[x] = palette[(src[x / 8] >> (7 - x % 8)) & 1];
            break;
        case 4:
            for (int x = 0; x < width; ++x)
                out[x] = palette[x % 2 == 0 ? src[x / 2] >> 4 : src[x / 2] & 0x0F];
            break;
        case 8:
            for (int x = 0; x < width; ++x) out[x] = palette[src[x]];
            break;
        case 16:
            for (int x = 0; x < width; ++x) {
                const std::uint32_t p = std::uint32_t(src[2 * x]) | std::uint32_t(src[2 * x + 1]) << 8;
                out[x] = MakePixel(std::uint8_t(red.Value(p)), std::uint8_t(green.Value(p)),
                                   std::uint8_t(blue.Value(p)));
            }
            break;
        case 24:
            for (int x = 0; x < width; ++x)
                out[x] = MakePixel(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
            break;
        case 32:
            std::memcpy(out, src, std::size_t(width) * 4);
            break;
        }
    }
    return true;
}

}  // namespace vantrel
