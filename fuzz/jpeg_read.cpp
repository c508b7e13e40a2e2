// Bytes read as a JPEG image from memory; every decoded pixel is read. Pixels
// are opaque, but for the rows a file cut short never held: transparent
// white from one row to the bottom, and only when the codec says so.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

#include "codec/JpegCodec.h"

namespace {

// Larger images only cost time per run; their handling is the same.
constexpr std::int64_t kFuzzMaxPixels = std::int64_t{1} << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vantrel::JpegCodec codec;
    codec.SetMaxPixels(kFuzzMaxPixels);
    if (!codec.ReadJpeg(std::span<const std::uint8_t>(data, size))) return 0;
    const std::unique_ptr<vantrel::PackedDib> image = codec.TakeImage();
    if (!image || image->Width() <= 0 || image->Height() <= 0) std::abort();
    bool missing = false;
    for (int y = 0; y < image->Height(); ++y) {
        const vantrel::PixelValue* row = image->Row(y);
        missing = missing || row[0] == vantrel::kTransparentWhite;
        for (int x = 0; x < image->Width(); ++x) {
            if (missing ? row[x] != vantrel::kTransparentWhite : !vantrel::IsOpaque(row[x])) std::abort();
        }
    }
    if (missing && !codec.cutShort()) std::abort();
    return 0;
}
