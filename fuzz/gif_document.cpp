// Bytes opened as a GIF document and rendered; every pixel of every frame is read.

#include <cstddef>
#include <cstdint>
#include <span>

#include "document/CQVDoc.h"
#include "document/Importers.h"

namespace {

// Far below the program's own budget, so that the fuzzer's memory limit is
// never what stops a run.
constexpr std::uint64_t kFuzzMemoryBudget = std::uint64_t{24} << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vantrel::CQVDoc doc;
    if (!vantrel::OpenGifDocument(doc, std::span(data, size), "fuzz.gif", kFuzzMemoryBudget).ok()) return 0;
    vantrel::Animation& animation = doc.GetAnimation();
    animation.RenderAll();
    std::uint32_t sum = 0;
    for (const auto& frame : animation.Frames()) {
        const vantrel::PackedDib& image = frame->Image();
        for (int y = 0; y < image.Height(); ++y) {
            const vantrel::PixelValue* row = image.Row(y);
            for (int x = 0; x < image.Width(); ++x) sum += row[x];
        }
    }
    // Keeps the reads from being optimised away.
    volatile std::uint32_t sink = sum;
    (void)sink;
    return 0;
}
