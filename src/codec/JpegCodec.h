#pragma once
// JpegCodec: reads JPEG files into a PackedDib and writes a PackedDib as a
// baseline JPEG, through libjpeg's scan-line interface.
//
// Every failure inside libjpeg ends the call with a failed Status holding a
// one-line reason; the library object, the file and the buffers are released
// and nothing is printed. Greyscale files are read as RGB, and CMYK
// and YCCK files are converted to RGB here.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/PackedDib.h"
#include "core/Status.h"

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

    // Decodes a JPEG file or JPEG bytes. On success the image is held by the
    // codec until TakeImage; on failure there is none and the status says
    // why. A damaged file that libjpeg can still decode succeeds with
    // warningCount() above 0 and the first warning in firstWarning(); a file
    // cut short also sets cutShort(), and the rows it never held are
    // transparent white. Messages about a file start with its path.
    Status ReadJpeg(const std::filesystem::path& path);
    Status ReadJpeg(std::span<const std::uint8_t> bytes);

    // The decoded image, handed over to the caller (null when there is none).
    std::unique_ptr<PackedDib> TakeImage() { return std::move(image_); }
    const PackedDib* image() const { return image_.get(); }

    // Encodes image as a baseline JPEG at the codec's quality, rows from the
    // top, the transparency byte ignored. The file is written to a temporary
    // file and renamed over path only when complete; on failure an existing
    // file at path is left as it was.
    Status WriteJpeg(const std::filesystem::path& path, const PackedDib& image);
    // The same into memory: out receives the JPEG stream (cleared on failure).
    Status WriteJpeg(std::vector<std::uint8_t>& out, const PackedDib& image);

    // The first libjpeg warning of the last call, prefixed like its
    // messages; empty when there was none.
    const std::string& firstWarning() const { return firstWarning_; }
    // libjpeg warnings (damaged data it repaired) during the last call.
    int warningCount() const { return warningCount_; }
    // Whether the last file read ended before its picture did.
    bool cutShort() const { return cutShort_; }

private:
    void ResetResult();
    // Takes a decoding result: the image (null on failure), the reason of the
    // failure or the first warning, prefixed with context, and the warning
    // count; returns the failure, or Ok.
    Status Adopt(std::unique_ptr<PackedDib> image, const std::string& message, int warnings,
                 const std::string& context);

    int quality_ = kDefaultQuality;
    std::int64_t maxPixels_ = kMaxJpegPixels;
    std::unique_ptr<PackedDib> image_;
    std::string firstWarning_;
    int warningCount_ = 0;
    bool cutShort_ = false;
};

}  // namespace vantrel
