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

    vantrel::CQVDoc doc;
    doc.limits.memoryBudget = vantrel::fuzz::kDocumentMemoryBudget;
    if (!vantrel::LoadDocumentBytes(doc, std::span(data, size)).ok()) return 0;
    std::uint32_t sum = 0;
    for (const auto& frame : doc.GetAnimation().Frames()) sum += vantrel::fuzz::SumOfPixels(frame->Image());
    vantrel::fuzz::Keep(sum);

    const auto saved = vantrel::DocumentBytes(doc);
    if (!saved) __builtin_trap();
    vantrel::CQVDoc again;
    again.limits = doc.limits;
    if (!vantrel::LoadDocumentBytes(again, *saved).ok()) __builtin_trap();
    if (vantrel::DocumentBytes(again) != saved) __builtin_trap();
    return 0;
}
