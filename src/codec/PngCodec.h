#pragma once
// PngCodec: reads PNG files into a PackedDib through libpng; PngEncoder
// writes pictures as PNG.
//
// Every bit depth and colour type is read: palettes, greyscale and depths
// below 8 are expanded, 16-bit samples are scaled to 8 bits, and interlaced
// files are de-interlaced. Alpha (from the alpha channel or a tRNS chunk)
// becomes the transparency byte as 255 - alpha; files without alpha give
// opaque pixels. Every libpng error ends the call with a failed Status and a
// one-line reason; the libpng objects are released and nothing is printed.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "core/PackedDib.h"
#include "core/Status.h"

namespace vantrel {

// Images with more pixels than this are refused right after the header has
// been read, before anything is allocated for them (the same bound as JPEG
// pictures: 8192 x 8192, a decoded buffer of 256 MiB).
inline constexpr std::int64_t kMaxPngPixels = std::int64_t{1} << 26;
// Memory libpng may give one ancillary chunk (text, colour profile); larger
// chunks are skipped with a warning.
inline constexpr std::size_t kMaxPngChunkBytes = std::size_t{8} << 20;

class PngCodec {
public:
    // Largest image ReadPng accepts, in pixels (kMaxPngPixels by default).
    void SetMaxPixels(std::int64_t maxPixels) { maxPixels_ = maxPixels; }
    std::int64_t maxPixels() const { return maxPixels_; }

    // Decodes a PNG file or PNG bytes. On success the image is held by the
    // codec until TakeImage; on failure there is no image and the status
    // says why (messages about a file start with its path).
    Status ReadPng(const std::filesystem::path& path);
    Status ReadPng(std::span<const std::uint8_t> bytes);

    // The decoded image, handed over to the caller (null when there is none).
    std::unique_ptr<PackedDib> TakeImage() { return std::move(image_); }
    const PackedDib* image() const { return image_.get(); }

    // libpng warnings (damaged ancillary data it skipped) during the last read.
    int warningCount() const { return warningCount_; }
    // Whether the last file read ended before its picture did. A file
    // without interlacing cut after whole rows is read with the rows it
    // never held transparent; other damage to the image data fails.
    bool cutShort() const { return cutShort_; }

private:
    std::int64_t maxPixels_ = kMaxPngPixels;
    std::unique_ptr<PackedDib> image_;
    int warningCount_ = 0;
    bool cutShort_ = false;
};

// How the transparency byte T of each pixel becomes PNG alpha.
enum class PngAlpha {
    OnlyFullyTransparent,  // T = 255 gives alpha 0, every other pixel alpha 255
    Inverse,               // alpha = 255 - T
};

// Writes pictures as 8-bit PNG, losslessly and fast: RGB when every pixel
// comes out opaque, RGBA otherwise; every row filtered with Sub (the
// difference to the pixel on its left) and compressed with zlib's fastest
// setting for such rows (level 1, runs only). Large pictures are compressed
// in two halves at once, on two threads, as one stream. The encoder keeps its
// buffers from picture to picture.
class PngEncoder {
public:
    PngEncoder();
    ~PngEncoder();
    PngEncoder(const PngEncoder&) = delete;
    PngEncoder& operator=(const PngEncoder&) = delete;

    // Replaces out with the PNG file of picture. False, with out empty, when
    // the picture is empty, its rows would take more than 1 GiB, or
    // compression fails.
    bool Encode(const PackedDib& picture, PngAlpha alpha, std::vector<std::uint8_t>& out);

private:
    class Compressor;
    std::unique_ptr<Compressor> head_;    // first half, or the whole
    std::unique_ptr<Compressor> second_;  // second half
    std::vector<std::uint8_t> filtered_;  // each row: filter type byte, then the filtered samples
    std::vector<std::uint8_t> tail_;      // compressed second half
};

}  // namespace vantrel
