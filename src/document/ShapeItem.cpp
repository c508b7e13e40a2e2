#include "document/ShapeItem.h"

#include <algorithm>

#include "document/ItemRecordIO.h"

namespace vantrel {

ShapeItem::ShapeItem(ItemKind itemKind) : CanvasItem(itemKind) {}

ShapeItem::~ShapeItem() = default;

void ShapeItem::SetBounds(const Rect& r) {
    const int width = std::clamp(r.Width(), 0, kMaxShapeSide);
    const int height = std::clamp(r.Height(), 0, kMaxShapeSide);
    TakeBoundsAndRasterize({r.left, r.top, r.left + width, r.top + height});
}

void ShapeItem::SaveUndoState() {
    CanvasItem::SaveUndoState();
    KeepParametersForUndo();
}

void ShapeItem::RestoreUndoState() {
    if (!hasUndoState) return;
    CanvasItem::RestoreUndoState();
    RestoreParametersFromUndo();
    Rasterize();
}

std::optional<Rect> ShapeItem::ReadShapeHeader(ByteReader& reader, const RecordTag& tag,
                                                std::size_t recordSize) {
    const auto header = ReadRecordHeader(reader, tag, static_cast<std::uint32_t>(recordSize));
    if (!header) return std::nullopt;
    const Rect& b = header->bounds;
    if (b.Width() > kMaxShapeSide || b.Height() > kMaxShapeSide) return std::nullopt;
    return b;
}

void ShapeItem::TakeBoundsAndRasterize(const Rect& r) {
    bounds = r;
    SetSize(r.Width(), r.Height());
    Rasterize();
    MoveTo(r.left, r.top);
}

}  // namespace vantrel
