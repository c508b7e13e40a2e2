// Bytes read as a document file and rendered; every pixel of every frame is
// read. A document that reads must save to a file that reads back and saves
// to the same bytes again.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "document/CQVDoc.h"
#include "document/DocumentFile.h"
#include "text/Font.h"

namespace {

// Far below the program's own budget, so that the fuzzer's memory limit is
// never what stops a run.
constexpr std::uint64_t kFuzzMemoryBudget = std::uint64_t{256} << 20;

std::uint32_t SumOfPixels(const vantrel::Animation& animation) {
    std::uint32_t sum = 0;
    for (const auto& frame : animation.Frames()) {
        const vantrel::PackedDib& image = frame->Image();
        for (int y = 0; y < image.Height(); ++y) {
            const vantrel::PixelValue* row = image.Row(y);
            for (int x = 0; x < image.Width(); ++x) sum += row[x];
        }
    }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Keeps the font system up between runs: labels would otherwise start
    // and stop fontconfig on every input.
    static const std::unique_ptr<vantrel::Font> keepFontsLoaded =
        vantrel::Font::Create(vantrel::LogFont::DocumentDefault());

    const vantrel::DocumentReadLimits limits{kFuzzMemoryBudget};
    vantrel::CQVDoc doc;
    if (!vantrel::LoadDocumentBytes(doc, std::span(data, size), limits).ok()) return 0;
    volatile std::uint32_t sink = SumOfPixels(doc.GetAnimation());
    (void)sink;

    const auto saved = vantrel::DocumentBytes(doc);
    if (!saved) __builtin_trap();
    vantrel::CQVDoc again;
    if (!vantrel::LoadDocumentBytes(again, *saved, limits).ok()) __builtin_trap();
    if (vantrel::DocumentBytes(again) != saved) __builtin_trap();
    return 0;
}
