// Bytes unpacked as an item pack into a frame, which is then rendered and
// every pixel read. Whatever was pasted must pack again and unpack into
// the same items.

#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzDocument.h"
#include "FuzzPixels.h"
#include "document/CQVDoc.h"
#include "document/ItemPack.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vantrel::fuzz::KeepFontsLoaded();

    vantrel::CQVDoc doc;
    vantrel::AnimFrame& frame = *doc.GetAnimation().FirstFrame();
    (void)vantrel::PasteBlock(frame, std::span(data, size), vantrel::DocumentLimits{vantrel::fuzz::kDocumentMemoryBudget});
    frame.UpdateAllComposites();
    frame.Render();
    vantrel::fuzz::Keep(vantrel::fuzz::SumOfPixels(frame.Image()));

    const int pasted = frame.CountSelected();
    const auto block = vantrel::CopySelectedToBlock(frame);
    if (block.has_value() != (pasted > 0)) __builtin_trap();
    if (!block) return 0;
    vantrel::ItemList copy;
    if (!vantrel::PasteBlock(copy, *block, vantrel::DocumentLimits{vantrel::fuzz::kDocumentMemoryBudget}).ok()) __builtin_trap();
    if (copy.CountItems() != pasted) __builtin_trap();
    for (int i = 0; i < pasted; ++i) {
        if (copy.NthSelected(i)->SaveRecord() != frame.NthSelected(i)->SaveRecord()) __builtin_trap();
    }
    return 0;
}
