#pragma once
// ShapeItem: the common base of the items held as parameters and rasterised
// into their image (boxes and ellipses). A shape keeps no pixels of its own
// in its record: whenever its size or a parameter changes, and after it is
// read, its image is generated again.

#include <cstddef>
#include <optional>

#include "core/ByteReader.h"
#include "core/Geometry.h"
#include "document/CanvasItem.h"
#include "document/WorkArea.h"

namespace vantrel {

// No side of a shape exceeds the work area: shapes are drawn and sized inside
// it (sizes typed by the user go from 1 to 1200), so a record asking for more
// is damaged, and rasterising never allocates more than one work area.
inline constexpr int kMaxShapeSide = kWorkAreaSize;

class ShapeItem : public CanvasItem {
public:
    ~ShapeItem() override;

    // bounds := r with each side limited to 0..kMaxShapeSide, buffers sized
    // to it, image rasterised again; the anchor is the new top-left corner.
    void SetBounds(const Rect& r) override;
    // Also keeps the shape's parameters.
    void SaveUndoState() override;
    // Also puts the parameters back and rasterises the image again at the
    // restored size (the base leaves a resized buffer zero-filled).
    void RestoreUndoState() override;

    // Regenerates image from the parameters and the current size.
    virtual void Rasterize() = 0;

protected:
    explicit ShapeItem(ItemKind itemKind);

    // Reads the common header of a fixed-size shape record whose header size
    // must be at least recordSize. None for a record that is shorter, has
    // another tag, or asks for a side above kMaxShapeSide. The reader then
    // stands at the first field after the common header.
    static std::optional<Rect> ReadShapeHeader(ByteReader& reader, const RecordTag& tag,
                                               std::size_t recordSize);
    // Takes bounds read from a record: size, buffers, anchor at the top-left
    // corner; then rasterises.
    void TakeBoundsAndRasterize(const Rect& r);

    // The kind's parameters for the one-step undo state.
    virtual void KeepParametersForUndo() = 0;
    virtual void RestoreParametersFromUndo() = 0;
};

// A shape whose parameters are one style value, which the undo state keeps.
template <typename ShapeStyle>
class StyledShapeItem : public ShapeItem {
public:
    const ShapeStyle& Style() const { return style_; }
    // Takes the style, limited to the ranges the kind allows, and rasterises again.
    void SetStyle(const ShapeStyle& style) {
        style_ = LimitedStyle(style);
        Rasterize();
    }

protected:
    using ShapeItem::ShapeItem;

    // The kinds' one-field setters: the field takes value, then the image is
    // rasterised again.
    template <typename Field>
    void SetStyleField(Field ShapeStyle::*field, const Field& value) {
        style_.*field = value;
        Rasterize();
    }
    // The style with every field limited to its range; all are valid unless a kind says otherwise.
    virtual ShapeStyle LimitedStyle(const ShapeStyle& style) const { return style; }

    ShapeStyle style_;

private:
    void KeepParametersForUndo() final { undoStyle_ = style_; }
    void RestoreParametersFromUndo() final {
        if (undoStyle_) style_ = *undoStyle_;
        undoStyle_.reset();
    }

    std::optional<ShapeStyle> undoStyle_;
};

}  // namespace vantrel
