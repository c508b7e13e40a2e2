// Bytes unpacked as an item pack into a frame, which is then rendered and
// every pixel read. Whatever was pasted must pack again and unpack into
// the same items.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "document/CQVDoc.h"
#include "document/ItemPack.h"
#include "text/Font.h"

namespace {

// Far below the program's own budget, so that the fuzzer's memory limit is
// never what stops a run.
constexpr std::uint64_t kFuzzMemoryBudget = std::uint64_t{256} << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Keeps the font system up between runs: labels would otherwise start
    // and stop fontconfig on every input.
    static const std::unique_ptr<vantrel::Font> keepFontsLoaded =
        vantrel::Font::Create(vantrel::LogFont::DocumentDefault());

    vantrel::CQVDoc doc;
    vantrel::AnimFrame& frame = *doc.GetAnimation().FirstFrame();
    (void)vantrel::PasteBlock(frame, std::span(data, size), kFuzzMemoryBudget);
    frame.UpdateAllComposites();
    frame.Render();
    std::uint32_t sum = 0;
    const vantrel::PackedDib& image = frame.Image();
    for (int y = 0; y < image.Height(); ++y) {
        const vantrel::PixelValue* row = image.Row(y);
        for (int x = 0; x < image.Width(); ++x) sum += row[x];
    }
    volatile std::uint32_t sink = sum;
    (void)sink;

    const int pasted = frame.CountSelected();
    const auto block = vantrel::CopySelectedToBlock(frame);
    if (block.has_value() != (pasted > 0)) __builtin_trap();
    if (!block) return 0;
    vantrel::ItemList copy;
    if (!vantrel::PasteBlock(copy, *block, kFuzzMemoryBudget).ok()) __builtin_trap();
    if (copy.CountItems() != pasted) __builtin_trap();
    for (int i = 0; i < pasted; ++i) {
        if (copy.NthSelected(i)->SaveRecord() != frame.NthSelected(i)->SaveRecord()) __builtin_trap();
    }
    return 0;
}
