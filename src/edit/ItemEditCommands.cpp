#include "edit/ItemEditCommands.h"

#include <algorithm>
#include <utility>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"

namespace vantrel {

// ---- ItemEditCommand ----

bool ItemEditCommand::FirstRun(CQVDoc& doc, AnimFrame& frame, CanvasItem& item) {
    std::unique_ptr<CanvasItem> before = item.Clone();
    const Rect oldBounds = item.Bounds();
    if (!Apply(item)) return false;
    held_ = std::move(before);
    const Rect changed = Union(oldBounds, item.Bounds());
    frame.UpdateComposites(&item, changed);
    doc.ItemsChanged(frame, changed);
    return true;
}

// ---- ResizeItemCommand ----

ResizeItemCommand::ResizeItemCommand(std::string label, ObjectUid frame, ObjectUid item, const Rect& bounds,
                                     ResampleMode resampling)
    : ItemEditCommand(std::move(label), frame, item), bounds_(bounds), resampling_(resampling) {}

bool ResizeItemCommand::Apply(CanvasItem& item) {
    if (item.Bounds() == bounds_) return false;
    if (item.Kind() == ItemKind::Bitmap)
        static_cast<BitmapItem&>(item).ScaleTo(bounds_, resampling_);
    else
        item.SetBounds(bounds_);
    return true;
}

// ---- CropItemCommand ----

CropItemCommand::CropItemCommand(std::string label, ObjectUid frame, ObjectUid item, const Rect& bounds,
                                 PixelValue fill)
    : ItemEditCommand(std::move(label), frame, item), bounds_(bounds), fill_(fill) {}

bool CropItemCommand::Apply(CanvasItem& item) {
    if (item.Bounds() == bounds_) return false;
    item.CropTo(bounds_, fill_);
    return true;
}

// ---- SetBoxStyleCommand ----

SetBoxStyleCommand::SetBoxStyleCommand(std::string label, ObjectUid frame, ObjectUid item, const BoxStyle& style)
    : ItemEditCommand(std::move(label), frame, item), style_(style) {}

bool SetBoxStyleCommand::Apply(CanvasItem& item) {
    if (item.Kind() != ItemKind::Box) return false;
    auto& box = static_cast<BoxItem&>(item);
    if (box.Style() == style_) return false;
    box.SetStyle(style_);
    return true;
}

// ---- SetLabelParamsCommand ----

SetLabelParamsCommand::SetLabelParamsCommand(std::string label, ObjectUid frame, ObjectUid item, LabelParams params)
    : ItemEditCommand(std::move(label), frame, item), params_(std::move(params)) {}

bool SetLabelParamsCommand::Apply(CanvasItem& item) {
    if (item.Kind() != ItemKind::Label) return false;
    auto& label = static_cast<LabelItem&>(item);
    return label.Params() != params_ && label.SetParams(params_);
}

// ---- FillCommand ----

FillCommand::FillCommand(ObjectUid frame, ObjectUid item, Point at, PixelValue color)
    : ItemEditCommand("Fill", frame, item), at_(at), color_(color) {}

bool FillCommand::Apply(CanvasItem& item) {
    if (item.Kind() != ItemKind::Bitmap || !item.Bounds().Contains(at_) || item.PixelAt(at_) == color_) return false;
    static_cast<BitmapItem&>(item).FloodFill(at_.x, at_.y, color_);
    return true;
}

// ---- PaintLineCommand ----

PaintLineCommand::PaintLineCommand(ObjectUid frame, ObjectUid item, Point from, Point to, PixelValue color)
    : Command("Paint"), frame_(frame), item_(item), from_(from), to_(to), color_(color) {}

BitmapItem* PaintLineCommand::Find(CQVDoc& doc, AnimFrame*& frame) const {
    frame = doc.GetAnimation().FindFrameByUid(frame_);
    CanvasItem* item = frame ? frame->FindItemByUid(item_) : nullptr;
    return item && item->Kind() == ItemKind::Bitmap ? static_cast<BitmapItem*>(item) : nullptr;
}

bool PaintLineCommand::Execute(CQVDoc& doc) {
    if (ran_) {
        Swap(doc, false);
        return true;
    }
    AnimFrame* frame = nullptr;
    BitmapItem* bitmap = Find(doc, frame);
    if (!bitmap) return false;
    // Every point of the line lies in the rectangle of its ends.
    const Rect line{std::min(from_.x, to_.x), std::min(from_.y, to_.y), std::max(from_.x, to_.x) + 1,
                    std::max(from_.y, to_.y) + 1};
    const Rect& bounds = bitmap->Bounds();
    const Rect area = Intersect(line, bounds);
    if (area.IsEmpty()) return false;
    ran_ = true;
    patches_.push_back(bitmap->TakePatch(area.Offset(-bounds.left, -bounds.top)));
    const PixelWrite write = frame->BeginPixelWrite(*bitmap);
    bitmap->DrawLine(from_.x, from_.y, to_.x, to_.y, color_);
    doc.ItemsChanged(*frame, frame->EndPixelWrite(*bitmap, area, write));
    return true;
}

void PaintLineCommand::Undo(CQVDoc& doc) { Swap(doc, true); }

void PaintLineCommand::Swap(CQVDoc& doc, bool undo) {
    AnimFrame* frame = nullptr;
    BitmapItem* bitmap = Find(doc, frame);
    if (!bitmap || patches_.empty()) return;
    Rect area;
    for (const PixelPatch& patch : patches_) area = Union(area, patch.area);
    area = area.Offset(bitmap->Bounds().left, bitmap->Bounds().top);
    const PixelWrite write = frame->BeginPixelWrite(*bitmap);
    // Undone newest first, so that each patch finds the pixels it was taken from.
    if (undo) {
        for (auto it = patches_.rbegin(); it != patches_.rend(); ++it) bitmap->SwapPatch(*it);
    } else {
        for (PixelPatch& patch : patches_) bitmap->SwapPatch(patch);
    }
    doc.ItemsChanged(*frame, frame->EndPixelWrite(*bitmap, area, write));
}

bool PaintLineCommand::MergeWith(Command& next) {
    auto* other = dynamic_cast<PaintLineCommand*>(&next);
    if (!other || other->frame_ != frame_ || other->item_ != item_ || other->patches_.empty()) return false;
    for (PixelPatch& patch : other->patches_) {
        // Pixels inside an area this step holds already come back from its
        // patch; the line of the same colour changed nothing else.
        const bool known = other->color_ == color_ && !patch.source &&
                           std::any_of(patches_.begin(), patches_.end(), [&](const PixelPatch& mine) {
                               return Union(mine.area, patch.area) == mine.area;
                           });
        if (!known) patches_.push_back(std::move(patch));
    }
    return true;
}

std::size_t PaintLineCommand::MemoryBytes() const {
    std::size_t bytes = 0;
    for (const PixelPatch& patch : patches_)
        bytes += patch.pixels.SizeImage() + (patch.source ? patch.source->SizeImage() : 0);
    return bytes;
}

}  // namespace vantrel
