#pragma once
// PackedDib: the one picture type of the program. A 32-bit bottom-up
// device-independent bitmap whose header lives in the object and whose pixels
// (4 x width bytes per row, no padding) live in one block.
//
// A block may be shared by several buffers showing the same pixels (ShareFrom:
// an opaque item's composite is its image, a frame made of one such item is
// its composite, an export's copy for a worker thread is the frames). Sharing
// is invisible: every operation that may write gives the buffer a block of
// its own first. Each buffer object is used by one thread at a time. Pointers from the writing accessors
// (Row, Bits, Bytes) stay valid until the buffer is next shared or resized.
//
// Coordinates in every operation count rows from the top: pixel (x, y) is
// element x + (height - 1 - y) * width of the block.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "core/Geometry.h"
#include "core/Pixel.h"
#include "core/PixelBlocks.h"

namespace vantrel {

// The 40-byte bitmap information header, kept in the object so that the
// buffer can be handed to DIB consumers (clipboard, files) without conversion.
struct BitmapInfoHeader {
    std::uint32_t biSize = 40;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;  // positive: rows are bottom-up
    std::uint16_t biPlanes = 1;
    std::uint16_t biBitCount = 32;
    std::uint32_t biCompression = 0;  // BI_RGB
    std::uint32_t biSizeImage = 0;    // width * height * 4
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

inline constexpr std::size_t kBitmapInfoHeaderSize = 40;

class PackedDib {
public:
    // No buffer is ever made larger than this many pixels (1 GiB of pixels):
    // a size request above it leaves the buffer without a block, like a
    // failed allocation.
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;

    PackedDib() = default;
    ~PackedDib() = default;
    // Copies are explicit (CopyFrom); moves hand the block over.
    PackedDib(const PackedDib&) = delete;
    PackedDib& operator=(const PackedDib&) = delete;
    PackedDib(PackedDib&& other) noexcept;
    PackedDib& operator=(PackedDib&& other) noexcept;

    int Width() const { return header_.biWidth; }
    int Height() const { return header_.biHeight; }
    std::size_t SizeImage() const { return header_.biSizeImage; }
    bool HasBlock() const { return block_ != nullptr; }
    const BitmapInfoHeader& Header() const { return header_; }
    Rect Bounds() const { return {0, 0, Width(), Height()}; }

    // Records the size and gives a new zero-filled block (every pixel opaque
    // black); the same size keeps the pixels. Returns whether a block exists.
    // Negative sizes and sizes above kMaxPixels leave no block.
    bool SetSize(int width, int height);
    // SetSize for callers that write every pixel next: a new block is not
    // cleared first (its contents are unspecified until written).
    bool SetSizeForOverwrite(int width, int height);
    // SetSize, then every pixel 0xFFFFFFFF (white, fully transparent).
    bool CreateBlank(int width, int height);
    // Same size and contents as other; null does nothing.
    void CopyFrom(const PackedDib* other);
    // Same size and contents as other, sharing its block until either is
    // written (a locked buffer on either side is copied instead).
    void ShareFrom(const PackedDib& other);
    // Whether both show one block.
    bool SharesBlockWith(const PackedDib& other) const { return HasBlock() && block_ == other.block_; }
    // Gives the buffer a block of its own without keeping the pixels of a
    // shared one, for a caller about to write every pixel.
    void DetachForOverwrite() { Unshare(false); }
    // Copies all bytes when both buffers hold the same number of bytes.
    void CopyPixels(const PackedDib& other);
    // Converts a packed DIB (40-byte header, colour table, rows) of 1, 4, 8,
    // 16, 24 or 32 bits per pixel into this buffer. Never reads past the span:
    // a block too short for its header, colour table or rows loads nothing
    // and returns false.
    bool LoadPackedDib(std::span<const std::uint8_t> block);
    // Area-averaging resize; nothing when empty or when the new block cannot be made.
    void Resample(int width, int height);
    // Every byte of the block set to value.
    void FillBytes(std::uint8_t value);
    // Every pixel inside rect (clipped to the buffer), or the whole buffer with none.
    void FillRect(PixelValue value, const Rect* rect = nullptr);
    // Whether the buffer has a block and every pixel's transparency byte is 0.
    bool IsOpaque() const;
    // Whether the buffer has a block and every pixel inside r (clipped to the
    // buffer) has transparency byte 0.
    bool IsOpaqueIn(const Rect& r) const;
    // The pixel, or opaque white (0x00FFFFFF) without block or outside the buffer.
    PixelValue GetPixel(int x, int y) const;

    // Lock and Unlock nest: bits stay valid until the last Unlock.
    bool Lock();
    void Unlock();
    bool IsLocked() const { return bits_ != nullptr; }
    PixelValue* Bits() { return bits_; }
    // Reads through the locked pointer without checks.
    PixelValue PixelAt(int x, int y) const { return bits_[RowIndex(y) + x]; }
    // Writes through the locked pointer; nothing outside the buffer or when unlocked.
    void SetPixel(int x, int y, PixelValue value);

    // Copies this buffer into dest with its top-left corner at (x, y), all
    // four bytes of each pixel, clipped to dest.
    void BlitTo(PackedDib& dest, int x, int y) const;
    // Blends this buffer over dest with its top-left corner at (x, y), clipped.
    void BlendOnto(PackedDib& dest, int x, int y) const;

    // Row y counted from the top, for pixel loops that walk rows directly.
    // Valid while the buffer has a block, locked or not.
    PixelValue* Row(int y) {
        Unshare(true);
        return block_.get() + RowIndex(y);
    }
    const PixelValue* Row(int y) const { return block_.get() + RowIndex(y); }
    // The whole block in DIB order (bottom row first), for serialisation.
    std::span<std::uint8_t> Bytes();
    std::span<const std::uint8_t> Bytes() const;

private:
    std::size_t RowIndex(int y) const {
        return static_cast<std::size_t>(Height() - 1 - y) * static_cast<std::size_t>(Width());
    }
    // Frees a block where it came from.
    struct BlockFree {
        PixelBlockOrigin origin;
        void operator()(PixelValue* block) const;
    };
    using Block = std::shared_ptr<PixelValue[]>;
    // Before a write: a block shared with another buffer is replaced by one
    // of this buffer's own, holding the same pixels when keep is set. When
    // no block can be had the buffer is left without one.
    // A buffer on another thread may share the block (a copy taken for a
    // worker): seeing itself alone, this one also sees every read that
    // thread made before letting go of it.
    void Unshare(bool keep) {
        if (!block_) return;
        if (block_.use_count() > 1) {
            MakeOwnBlock(keep);
        } else {
            std::atomic_thread_fence(std::memory_order_acquire);
        }
    }
    void MakeOwnBlock(bool keep);
    // A block of count pixels, zero-filled when clear is set; null when it
    // cannot be had.
    static Block AllocateBlock(std::size_t count, bool clear);
    bool Resize(int width, int height, bool clear);
    void Reset(int width, int height, Block block);

    BitmapInfoHeader header_;
    Block block_;
    PixelValue* bits_ = nullptr;
    int lockCount_ = 0;
};

// The part of a width x height picture placed with its top-left corner at
// (x, y) that falls inside dest, and where that part starts in the picture.
struct BlitClip {
    Rect dest;  // in destination coordinates
    int srcX = 0;
    int srcY = 0;
};
// False, leaving out as it was, when nothing falls inside dest or dest has no block.
bool ClipBlit(int width, int height, const PackedDib& dest, int x, int y, BlitClip& out);

// One blend step of BlendOnto: source pixel s over destination pixel d.
PixelValue BlendPixel(PixelValue s, PixelValue d);

}  // namespace vantrel
