// Bytes opened as a GIF document and rendered; every pixel of every frame is read.

#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzPixels.h"
#include "document/CQVDoc.h"
#include "document/Importers.h"

namespace {

// Far below the program's own budget, so that the fuzzer's memory limit is
// never what stops a run.
constexpr std::uint64_t kFuzzMemoryBudget = std::uint64_t{24} << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vantrel::CQVDoc doc;
    doc.limits.memoryBudget = kFuzzMemoryBudget;
    if (!vantrel::OpenGifDocument(doc, std::span(data, size), "fuzz.gif").ok()) return 0;
    vantrel::Animation& animation = doc.GetAnimation();
    animation.RenderAll();
    std::uint32_t sum = 0;
    for (const auto& frame : animation.Frames()) sum += vantrel::fuzz::SumOfPixels(frame->Image());
    vantrel::fuzz::Keep(sum);
    return 0;
}
