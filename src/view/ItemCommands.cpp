// The commands on the items of the current frame: delete, select all,
// align, move by, z-order, image and canvas size, convert, combine, box
// style and import. Each change is one step of the document's history.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "document/AnimFrame.h"
#include "document/BitmapItem.h"
#include "document/BoxItem.h"
#include "document/CQVDoc.h"
#include "edit/ImportCommands.h"
#include "edit/ItemCommands.h"
#include "edit/ItemEditCommands.h"
#include "view/EditorView.h"
#include "view/ViewCommands.h"
#include "view/ViewDialogs.h"
#include "view/tools/ToolSupport.h"

namespace vantrel {

namespace {

using C = CommandId;

// An expanding side of "Canvas Size" stops this far inside the work area
// (a side already beyond it stays where it is).
constexpr int kCanvasMargin = 16;

int Selected(const EditorView& v) { return v.CurrentFrame() ? v.CurrentFrame()->CountSelected() : 0; }

// The one selected item, or null.
CanvasItem* OnlySelected(const EditorView& v) {
    return Selected(v) == 1 ? v.CurrentFrame()->NthSelected(0) : nullptr;
}

bool OneOf(const EditorView& v, std::initializer_list<ItemKind> kinds) {
    const CanvasItem* item = OnlySelected(v);
    return item && std::find(kinds.begin(), kinds.end(), item->Kind()) != kinds.end();
}

void AnySelected(const EditorView& v, CommandUi& ui) { ui.enabled = Selected(v) > 0; }
void OneSelected(const EditorView& v, CommandUi& ui) { ui.enabled = Selected(v) == 1; }
void SeveralSelected(const EditorView& v, CommandUi& ui) { ui.enabled = Selected(v) > 1; }
void HasItems(const EditorView& v, CommandUi& ui) { ui.enabled = v.CurrentFrame() && !v.CurrentFrame()->IsEmpty(); }
void OneBitmap(const EditorView& v, CommandUi& ui) { ui.enabled = OneOf(v, {ItemKind::Bitmap}); }
void OneBox(const EditorView& v, CommandUi& ui) { ui.enabled = OneOf(v, {ItemKind::Box}); }
void OneShapeOrLabel(const EditorView& v, CommandUi& ui) {
    ui.enabled = OneOf(v, {ItemKind::Label, ItemKind::Box, ItemKind::Ellipse});
}

std::string Format(const char* pattern, int a, int b) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

void Refuse(EditorView& v, const std::string& message) { v.Host().ShowMessage(message, MessageStyle::Information); }

// Runs an edit of one item and repaints.
void EditOne(EditorView& v, std::unique_ptr<Command> edit) {
    v.Execute(std::move(edit));
    v.Host().UpdateNow();
}

void MoveSelectionBy(EditorView& v, const char* label, Point offset) {
    if (offset == Point{}) return;
    v.InvalidateSelectionHandles();
    v.Execute(std::make_unique<MoveItemsCommand>(label, v.CurrentFrame()->Uid(), SelectedUids(v), offset));
    v.InvalidateSelectionHandles();
    v.Host().UpdateNow();
}

void Delete(EditorView& v) {
    v.InvalidateSelectionHandles();
    v.Execute(std::make_unique<RemoveItemsCommand>("Delete", v.CurrentFrame()->Uid(), SelectedUids(v)));
    v.Host().UpdateNow();
}

void SelectAll(EditorView& v) {
    v.CurrentFrame()->SelectAll();
    v.InvalidateSelectionHandles();
    v.Host().UpdateNow();
}

void AlignCenter(EditorView& v) {
    const Rect b = v.CurrentFrame()->ItemBounds(true);
    const Rect& c = v.CurrentFrame()->Canvas();
    MoveSelectionBy(v, "Align Center",
                    {(c.left + c.right) / 2 - (b.left + b.right) / 2, (c.top + c.bottom) / 2 - (b.top + b.bottom) / 2});
}

void MoveBy(EditorView& v) {
    const std::optional<MoveByValues> chosen = v.Host().Dialogs().MoveBy(v.Settings().LastMoveBy());
    if (!chosen) return;
    const MoveByValues& values = *chosen;
    v.Settings().SetLastMoveBy(values);
    const int d = values.distance;
    switch (values.direction) {
        case MoveDirection::Up: MoveSelectionBy(v, "Move By", {0, -d}); break;
        case MoveDirection::Right: MoveSelectionBy(v, "Move By", {d, 0}); break;
        case MoveDirection::Down: MoveSelectionBy(v, "Move By", {0, d}); break;
        case MoveDirection::Left: MoveSelectionBy(v, "Move By", {-d, 0}); break;
        case MoveDirection::None: break;  // no direction chosen: nothing moves
    }
}

template <ZOrderPlace Place>
void Reorder(EditorView& v) {
    v.Execute(std::make_unique<ZOrderCommand>(Place == ZOrderPlace::Front ? "Bring To Front" : "Send To Back",
                                              v.CurrentFrame()->Uid(), SelectedUids(v), Place));
    v.Host().UpdateNow();
}

void ImageSize(EditorView& v) {
    CanvasItem* item = OnlySelected(v);
    if (!item) return;
    const Rect old = item->Bounds();
    const std::optional<ImageSizeValues> chosen =
        v.Host().Dialogs().ImageSize({old.Width(), old.Height(), v.Settings().ResizeResampling()});
    if (!chosen) return;
    const ImageSizeValues& values = *chosen;
    v.Settings().SetResizeResampling(values.resampling);
    const int w = std::clamp(values.width, 1, kMaxItemSide);
    const int h = std::clamp(values.height, 1, kMaxItemSide);
    // The centre stays put.
    const int left = old.left + (old.Width() - w) / 2;
    const int top = old.top + (old.Height() - h) / 2;
    const Rect target{left, top, left + w, top + h};
    v.InvalidateHandles(*item);
    EditOne(v, std::make_unique<ResizeItemCommand>("Image Size", v.CurrentFrame()->Uid(), item->Uid(), target,
                                                 values.resampling));
}

// One side of "Canvas Size": the edge moved outward by amount (inward when
// negative); an expanding edge stops at limit unless it already lay beyond.
std::int64_t MoveEdge(int edge, std::int64_t amount, int limit, bool towardsLower) {
    if (towardsLower) {
        const std::int64_t moved = std::int64_t(edge) - amount;
        return amount > 0 ? std::max<std::int64_t>(moved, std::min(edge, limit)) : moved;
    }
    const std::int64_t moved = std::int64_t(edge) + amount;
    return amount > 0 ? std::min<std::int64_t>(moved, std::max(edge, limit)) : moved;
}

void CanvasSize(EditorView& v) {
    CanvasItem* item = OnlySelected(v);
    if (!item || item->Kind() != ItemKind::Bitmap) return;
    const Rect old = item->Bounds();
    const std::optional<CanvasSizeValues> chosen = v.Host().Dialogs().CanvasSize({old.Width(), old.Height(), 0, 0, 0, 0});
    if (!chosen) return;
    const CanvasSizeValues& values = *chosen;
    const std::int64_t left = MoveEdge(old.left, values.left, kCanvasMargin, true);
    const std::int64_t top = MoveEdge(old.top, values.top, kCanvasMargin, true);
    const std::int64_t right = MoveEdge(old.right, values.right, kWorkAreaSize - kCanvasMargin, false);
    const std::int64_t bottom = MoveEdge(old.bottom, values.bottom, kWorkAreaSize - kCanvasMargin, false);
    const std::int64_t w = right - left;
    const std::int64_t h = bottom - top;
    if (w < 1 || h < 1 || w > kMaxItemSide || h > kMaxItemSide) {
        Refuse(v, Format("The image would become %d x %d pixels. Each side must keep at least 1 pixel and "
                         "may have at most 1200.",
                         int(std::clamp<std::int64_t>(w, -99999, 99999)), int(std::clamp<std::int64_t>(h, -99999, 99999))));
        return;
    }
    const Rect target{int(left), int(top), int(right), int(bottom)};
    v.InvalidateHandles(*item);
    EditOne(v, std::make_unique<CropItemCommand>("Canvas Size", v.CurrentFrame()->Uid(), item->Uid(), target,
                                                 v.BackgroundColor()));
}

void ConvertToBitmap(EditorView& v) {
    CanvasItem* item = OnlySelected(v);
    if (!item) return;
    v.Execute(std::make_unique<ReplaceItemCommand>("Convert to Bitmap", v.CurrentFrame()->Uid(), item->Uid(),
                                                   BitmapItem::PictureOf(*item)));
    v.Host().UpdateNow();
}

void Combine(EditorView& v) {
    AnimFrame& frame = *v.CurrentFrame();
    const Rect area = frame.ItemBounds(true);
    if (area.Width() > kMaxItemSide || area.Height() > kMaxItemSide) {
        Refuse(v, Format("The combined image would be %d x %d pixels; an image can be at most 1200 x 1200.",
                         area.Width(), area.Height()));
        return;
    }
    std::unique_ptr<BitmapItem> combined = BitmapItem::Combining(frame.SelectedItems());
    if (!combined) return;
    combined->SetSelected(true);
    const std::vector<ObjectUid> parts = SelectedUids(v);
    v.InvalidateSelectionHandles();
    Transaction step(v.Document().History(), "Combine");
    step.Add(std::make_unique<AddItemCommand>("Combine", frame.Uid(), std::move(combined)));
    step.Add(std::make_unique<RemoveItemsCommand>("Combine", frame.Uid(), parts));
    v.Commit(step);
    v.InvalidateSelectionHandles();
    v.Host().UpdateNow();
}

void RectangleStyle(EditorView& v) {
    CanvasItem* item = OnlySelected(v);
    if (!item || item->Kind() != ItemKind::Box) return;
    const BoxStyle style = static_cast<BoxItem*>(item)->Style();
    const std::optional<RectStyleValues> chosen =
        v.Host().Dialogs().RectangleStyle({int(style.lineStyle), style.lineWidth, style.spaceWidth});
    if (!chosen) return;
    const RectStyleValues& values = *chosen;
    v.Settings().SetNewBox({values.fillStyle, values.lineWidth, values.spaceWidth});
    BoxStyle wanted = style;
    wanted.lineStyle = static_cast<BoxLineStyle>(std::clamp(values.fillStyle, 0, 3));
    wanted.lineWidth = values.lineWidth;
    wanted.spaceWidth = values.spaceWidth;
    EditOne(v, std::make_unique<SetBoxStyleCommand>("Rectangle Style", v.CurrentFrame()->Uid(), item->Uid(), wanted));
}

void ImportImage(EditorView& v) {
    const std::optional<std::string> path = v.Host().Dialogs().ImportImagePath();
    if (!path || !v.CurrentFrame()) return;
    v.DeselectAll();
    const ImportedStep imported = ImportFileStep(v.Document(), "Import Image", v.CurrentFrame()->Uid(), *path);
    v.TellRefusal(imported.step.refusal());
    if (AnimFrame* frame = v.CurrentFrame(); frame && frame->Top()) v.Select(*frame->Top(), true);
    v.Host().RedrawAll();
    if (!imported.read) v.Host().ShowMessage(imported.read.message(), MessageStyle::Error);
}

constexpr CommandRoute<EditorView> kRoutes[] = {
    {C::DeleteItems, AnySelected, Delete},
    {C::SelectAll, HasItems, SelectAll},
    {C::AlignCenter, AnySelected, AlignCenter},
    {C::MoveBy, AnySelected, MoveBy},
    {C::BringToFront, AnySelected, Reorder<ZOrderPlace::Front>},
    {C::SendToBack, AnySelected, Reorder<ZOrderPlace::Back>},
    {C::ImageSize, OneSelected, ImageSize},
    {C::CanvasSize, OneBitmap, CanvasSize},
    {C::ConvertToBitmap, OneShapeOrLabel, ConvertToBitmap},
    {C::Combine, SeveralSelected, Combine},
    {C::CombineFromContextMenu, SeveralSelected, Combine},
    {C::RectangleStyle, OneBox, RectangleStyle},
    {C::ImportImage, nullptr, ImportImage},
};

}  // namespace

ViewRoutes ItemRoutes() { return kRoutes; }

}  // namespace vantrel
