// Bytes opened as a GIF document, which renders every frame; every pixel of
// every frame is read.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzPixels.h"
#include "codec/GifFile.h"
#include "document/CQVDoc.h"
#include "document/Importers.h"

namespace {

// Far below the program's own budget, so that the fuzzer's memory limit is
// never what stops a run.
constexpr std::uint64_t kFuzzMemoryBudget = std::uint64_t{24} << 20;

// Files whose images and frames hold more pixels than this in all are read
// but not opened: larger pictures take the same paths, only more slowly,
// and the pixel loops would take most of the time of every run.
constexpr std::uint64_t kMaxFuzzPixels = std::uint64_t{1} << 14;

std::uint64_t PixelsToMake(std::span<const std::uint8_t> bytes) {
    vantrel::GifFile gif;
    if (gif.ReadGif(bytes) != 1) return 0;  // refused the same way by the opener
    // Every frame has the canvas's size, which the images' extent may give.
    const vantrel::GifScreenSize canvas = vantrel::EffectiveScreen(gif);
    const std::uint64_t screen = std::uint64_t(canvas.width) * std::uint64_t(canvas.height);
    std::uint64_t pixels = screen;  // the first frame is made before any image is read
    for (const vantrel::GifImage& image : gif.images)
        pixels += std::uint64_t{image.width} * image.height + std::max<std::uint64_t>(screen, 1);
    return pixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    if (PixelsToMake(bytes) > kMaxFuzzPixels) return 0;
    vantrel::CQVDoc doc;
    doc.limits.memoryBudget = kFuzzMemoryBudget;
    if (!vantrel::OpenGifDocument(doc, bytes, "fuzz.gif").ok()) return 0;
    const vantrel::Animation& animation = doc.GetAnimation();
    std::uint32_t sum = 0;
    for (const auto& frame : animation.Frames()) sum += vantrel::fuzz::SumOfPixels(frame->Image());
    vantrel::fuzz::Keep(sum);
    return 0;
}
