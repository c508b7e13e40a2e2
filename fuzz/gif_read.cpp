// Runs the three reading steps of a GIF on arbitrary bytes and touches every
// pixel they produce. Files whose images hold more than kMaxFuzzPixels in
// total are parsed but not decoded, so each input stays fast; the reader's
// own limits are tested elsewhere.

#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzPixels.h"
#include "codec/GifFile.h"

namespace {

constexpr std::uint64_t kMaxFuzzPixels = std::uint64_t{1} << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vantrel::GifFile gif;
    if (!gif.ReadGif(std::span<const std::uint8_t>(data, size))) return 0;

    std::uint64_t pixels = 0;
    for (const vantrel::GifImage& image : gif.images) pixels += std::uint64_t{image.width} * image.height;
    if (pixels > kMaxFuzzPixels) return 0;

    gif.DecodeImages();
    gif.BuildPixelBuffers();

    std::uint32_t sum = 0;
    for (const vantrel::GifImage& image : gif.images) {
        if (image.indices.size() != std::size_t{image.width} * image.height) __builtin_trap();
        if (!image.pixels) __builtin_trap();
        const vantrel::PackedDib& dib = *image.pixels;
        if (!dib.HasBlock()) continue;
        if (dib.Width() != image.width || dib.Height() != image.height) __builtin_trap();
        sum += vantrel::fuzz::SumOfPixels(dib);
    }
    vantrel::fuzz::Keep(sum);
    return 0;
}
