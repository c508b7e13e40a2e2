// Bytes unpacked as an item pack into a frame, which is then rendered and
// every pixel read. Whatever was pasted must pack again and unpack into
// the same items.

#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzDocument.h"
#include "FuzzPixels.h"
#include "document/AnimFrame.h"
#include "document/CQVDoc.h"
#include "document/ItemPack.h"

// A quarter of the document targets' budget: a pasted item is drawn (a
// label at sixteen times its pixels when smoothed) before the run ends, and
// larger items only take the same paths more slowly.
const vantrel::DocumentLimits kLimits{vantrel::fuzz::kDocumentMemoryBudget / 4};

namespace {

// One document for every run, on a small canvas: making and filling a
// document of the default size took a good part of each run. Every run
// pastes into its empty first frame and leaves it empty again.
vantrel::AnimFrame& EmptyFrame() {
    static vantrel::CQVDoc doc;
    static const bool sized = (doc.GetAnimation().SetSize(96, 32), true);
    (void)sized;
    return *doc.GetAnimation().FirstFrame();
}

// Deletes what a run pasted (pasted items are selected, and only they).
struct Emptied {
    vantrel::AnimFrame& frame;
    ~Emptied() { frame.DeleteSelected(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vantrel::fuzz::KeepFontsLoaded();

    vantrel::AnimFrame& frame = EmptyFrame();
    if (!frame.IsEmpty()) __builtin_trap();
    const Emptied emptied{frame};
    (void)vantrel::PasteBlock(frame, std::span(data, size), kLimits);
    frame.UpdateAllComposites();
    frame.Render();
    vantrel::fuzz::Keep(vantrel::fuzz::SumOfPixels(frame.Image()));

    const int pasted = frame.CountSelected();
    const auto block = vantrel::CopySelectedToBlock(frame);
    if (block.has_value() != (pasted > 0)) __builtin_trap();
    if (!block) return 0;
    vantrel::ItemList copy;
    if (!vantrel::PasteBlock(copy, *block, kLimits).ok()) __builtin_trap();
    if (copy.CountItems() != pasted) __builtin_trap();
    for (int i = 0; i < pasted; ++i) {
        if (copy.NthSelected(i)->SaveRecord() != frame.NthSelected(i)->SaveRecord()) __builtin_trap();
    }
    return 0;
}
