#pragma once
// A document as its file stores it, taken in a moment and written later,
// on another thread: the settings, and per frame its record fields and
// clones of its items. Clones share their pixel blocks with the document's
// items (a write to either gives it a block of its own first), so taking
// one copies no pixels; the document may be edited while the snapshot is
// written.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/Pixel.h"
#include "document/CanvasItem.h"
#include "text/LogFont.h"

namespace vantrel {

class CQVDoc;

struct DocumentSnapshot {
    struct Frame {
        std::uint32_t id = 0;            // list position from 1
        std::uint32_t backgroundId = 0;  // the background frame's id, or 0
        bool master = false;
        std::uint32_t duration = 0;
        PixelValue backgroundColor = 0;
        std::vector<std::unique_ptr<CanvasItem>> items;  // bottom to top
    };
    LogFont defaultFont;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t loopCount = 0;
    std::vector<Frame> frames;
};

// The snapshot of doc; none when doc breaks its own limits (its file would
// be refused by the reader, so it is not written).
std::optional<DocumentSnapshot> SnapshotDocument(const CQVDoc& doc);
// The document file's bytes of a snapshot; none when memory runs out.
std::optional<std::vector<std::uint8_t>> SnapshotBytes(const DocumentSnapshot& snapshot);

}  // namespace vantrel
