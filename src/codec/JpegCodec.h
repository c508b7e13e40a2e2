#pragma once
// JpegCodec: reads JPEG files into a PackedDib and writes a PackedDib as a
// baseline JPEG, through libjpeg's scan-line interface.
//
// Every failure inside libjpeg ends the call with result 1 and a one-line
// reason in errorMessage(); the library object, the file and the buffers are
// released and nothing is printed. Greyscale files are read as RGB, and CMYK
// and YCCK files are converted to RGB here.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/PackedDib.h"

namespace vantrel {

// Images with more pixels than this are refused right after the header has
// been read, before anything is allocated for them (8192 x 8192: common
// camera pictures fit, and the decoded buffer stays at 256 MiB).
inline constexpr std::int64_t kMaxJpegPixels = std::int64_t{1} << 26;
// Working memory libjpeg may use for one image (the coefficient arrays of
// progressive files): a file needing more is refused.
inline constexpr long kMaxJpegWorkMemory = 512L << 20;
// Progressive files may hold this many scans at most; more is refused, so a
// small file cannot keep the decoder busy with thousands of tiny scans.
inline constexpr int kMaxJpegScans = 500;

class JpegCodec {
public:
    static constexpr int kMinQuality = 0;
    static constexpr int kMaxQuality = 10;
    // The middle of the scale.
    static constexpr int kDefaultQuality = 5;

    explicit JpegCodec(int quality = kDefaultQuality) { SetQuality(quality); }

    // Quality 0 to 10 (values outside are clamped); libjpeg quality is ten
    // times it, which libjpeg raises to at least 1.
    void SetQuality(int quality);
    int quality() const { return quality_; }

    // Largest image ReadJpeg accepts, in pixels (kMaxJpegPixels by default).
    void SetMaxPixels(std::int64_t maxPixels) { maxPixels_ = maxPixels; }
    std::int64_t maxPixels() const { return maxPixels_; }

    // Decodes a JPEG file or JPEG bytes. 0: success, the image is held by the
    // codec until TakeImage; 1: failure, no image. A damaged file that libjpeg
    // can still decode succeeds with warningCount() above 0 and the first
    // warning in errorMessage(); a file cut short also sets cutShort(), and
    // the rows it never held are transparent white. Messages about a file
    // start with its path.
    int ReadJpeg(const std::filesystem::path& path);
    int ReadJpeg(std::span<const std::uint8_t> bytes);

    // The decoded image, handed over to the caller (null when there is none).
    std::unique_ptr<PackedDib> TakeImage() { return std::move(image_); }
    const PackedDib* image() const { return image_.get(); }

    // Encodes image as a baseline JPEG at the codec's quality, rows from the
    // top, the transparency byte ignored. The file is written to a temporary
    // file and renamed over path only when complete; on failure (result 1)
    // an existing file at path is left as it was.
    int WriteJpeg(const std::filesystem::path& path, const PackedDib& image);
    // The same into memory: out receives the JPEG stream (cleared on failure).
    int WriteJpeg(std::vector<std::uint8_t>& out, const PackedDib& image);

    // Why the last call failed, or its first warning; empty after a clean success.
    const std::string& errorMessage() const { return errorMessage_; }
    // libjpeg warnings (damaged data it repaired) during the last call.
    int warningCount() const { return warningCount_; }
    // Whether the last file read ended before its picture did.
    bool cutShort() const { return cutShort_; }

private:
    void ResetResult();
    // Takes a decoding result: the image (null on failure), the reason of the
    // failure or the first warning, prefixed with context, and the warning count.
    int Adopt(std::unique_ptr<PackedDib> image, const std::string& message, int warnings,
              const std::string& context);

    int quality_ = kDefaultQuality;
    std::int64_t maxPixels_ = kMaxJpegPixels;
    std::unique_ptr<PackedDib> image_;
    std::string errorMessage_;
    int warningCount_ = 0;
    bool cutShort_ = false;
};

}  // namespace vantrel
