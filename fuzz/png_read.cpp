// Bytes read as a PNG image from memory; every decoded pixel is read.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

#include "FuzzPixels.h"
#include "codec/PngCodec.h"

namespace {

// Larger images only cost time per run; their handling is the same.
constexpr std::int64_t kFuzzMaxPixels = std::int64_t{1} << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vantrel::PngCodec codec;
    codec.SetMaxPixels(kFuzzMaxPixels);
    if (!codec.ReadPng(std::span<const std::uint8_t>(data, size))) {
        if (codec.image() != nullptr) std::abort();  // a failure holds no image
        return 0;
    }
    const std::unique_ptr<vantrel::PackedDib> image = codec.TakeImage();
    if (!image || image->Width() <= 0 || image->Height() <= 0 ||
        std::int64_t{image->Width()} * image->Height() > kFuzzMaxPixels)
        std::abort();
    vantrel::fuzz::Keep(vantrel::fuzz::SumOfPixels(*image));
    return 0;
}
