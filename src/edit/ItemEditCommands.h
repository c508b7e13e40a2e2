#pragma once
// The edits of one item in place: resize, crop, box style, label text and
// font, bucket fill and pen painting. Each command holds the ids of its
// frame and item and the values of its change; the view decides which edit
// a gesture or dialog means, the command carries it out and undoes it.

#include <memory>
#include <string>
#include <vector>

#include "core/Geometry.h"
#include "core/Pixel.h"
#include "document/BitmapItem.h"
#include "document/BoxItem.h"
#include "document/LabelItem.h"
#include "edit/ItemCommands.h"

namespace vantrel {

// An edit undone by putting the item's copy from before it back (the item
// is laid out or rasterised again from its new values): undo and redo
// exchange the two.
class ItemEditCommand : public SwapItemCommand {
protected:
    using SwapItemCommand::SwapItemCommand;
    // Changes the item; false when it changes nothing (or cannot).
    virtual bool Apply(CanvasItem& item) = 0;

private:
    bool FirstRun(CQVDoc& doc, AnimFrame& frame, CanvasItem& item) final;
};

// Gives an item new bounds: bitmaps scale (from their unscaled source, the
// way resampling says), shapes and labels lay out again. Nothing when the
// bounds are those already.
class ResizeItemCommand final : public ItemEditCommand {
public:
    ResizeItemCommand(std::string label, ObjectUid frame, ObjectUid item, const Rect& bounds,
                      ResampleMode resampling = ResampleMode::Sharp);

private:
    bool Apply(CanvasItem& item) override;
    Rect bounds_;
    ResampleMode resampling_;
};

// Cuts or extends an item's picture to new bounds, keeping every pixel's
// work-area place; uncovered area takes fill. Nothing when the bounds are
// those already.
class CropItemCommand final : public ItemEditCommand {
public:
    CropItemCommand(std::string label, ObjectUid frame, ObjectUid item, const Rect& bounds, PixelValue fill);

private:
    bool Apply(CanvasItem& item) override;
    Rect bounds_;
    PixelValue fill_;
};

// Gives a box a new style. Nothing for other kinds or the style it has.
class SetBoxStyleCommand final : public ItemEditCommand {
public:
    SetBoxStyleCommand(std::string label, ObjectUid frame, ObjectUid item, const BoxStyle& style);

private:
    bool Apply(CanvasItem& item) override;
    BoxStyle style_;
};

// Gives a label new text, font or anti-aliasing. Nothing for other kinds,
// the values it has, or values it refuses to lay out.
class SetLabelParamsCommand final : public ItemEditCommand {
public:
    SetLabelParamsCommand(std::string label, ObjectUid frame, ObjectUid item, LabelParams params);

private:
    bool Apply(CanvasItem& item) override;
    LabelParams params_;
};

// Bucket fill of a bitmap from a work-area point. Nothing for other kinds,
// a point off the picture, or a pixel that has the colour already.
class FillCommand final : public ItemEditCommand {
public:
    FillCommand(ObjectUid frame, ObjectUid item, Point at, PixelValue color);

private:
    bool Apply(CanvasItem& item) override;
    Point at_;
    PixelValue color_;
};

// One pen line on a bitmap (BitmapItem::DrawLine between two work-area
// points). It keeps only what the line's rectangle held before (pixels, and
// the blend flag and source image the painting drops), never a copy of the
// bitmap; the lines of one stroke (one merge key) merge into one step
// holding the rectangles of its lines, a rectangle inside one it holds
// already adding nothing. Nothing for other kinds or a line that misses the
// picture.
class PaintLineCommand final : public Command {
public:
    PaintLineCommand(ObjectUid frame, ObjectUid item, Point from, Point to, PixelValue color);

    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;
    bool MergeWith(Command& next) override;
    std::size_t MemoryBytes() const override;

private:
    // The bitmap painted on and its frame, or null.
    BitmapItem* Find(CQVDoc& doc, AnimFrame*& frame) const;
    // Exchanges the patches with the bitmap's state (newest first when
    // undoing) and rebuilds what shows it.
    void Swap(CQVDoc& doc, bool undo);

    ObjectUid frame_;
    ObjectUid item_;
    Point from_;
    Point to_;
    PixelValue color_;
    std::vector<PixelPatch> patches_;  // in the order taken
    bool ran_ = false;
};

}  // namespace vantrel
