// Bytes read as a document file and rendered; every pixel of every frame is
// read. A document that reads must save to a file that reads back and saves
// to the same bytes again.

#include <cstddef>
#include <cstdint>
#include <span>

#include "FuzzDocument.h"
#include "FuzzPixels.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vantrel::fuzz::KeepFontsLoaded();

    const vantrel::DocumentReadLimits limits{vantrel::fuzz::kDocumentMemoryBudget};
    vantrel::CQVDoc doc;
    if (!vantrel::LoadDocumentBytes(doc, std::span(data, size), limits).ok()) return 0;
    std::uint32_t sum = 0;
    for (const auto& frame : doc.GetAnimation().Frames()) sum += vantrel::fuzz::SumOfPixels(frame->Image());
    vantrel::fuzz::Keep(sum);

    const auto saved = vantrel::DocumentBytes(doc);
    if (!saved) __builtin_trap();
    vantrel::CQVDoc again;
    if (!vantrel::LoadDocumentBytes(again, *saved, limits).ok()) __builtin_trap();
    if (vantrel::DocumentBytes(again) != saved) __builtin_trap();
    return 0;
}
