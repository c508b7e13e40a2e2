// Select: click to select (Shift toggles), drag items to move the
// selection, drag a handle to resize, drag on empty space for a rubber band.
// A double-click opens the dialog of the one selected item; the secondary
// button opens the context menu.

#include <cstdlib>

#include "document/CQVDoc.h"
#include "edit/ItemCommands.h"
#include "edit/ItemEditCommands.h"
#include "view/tools/ResizeGeometry.h"
#include "view/tools/Tool.h"
#include "view/tools/ToolSupport.h"
#include "view/tools/Tools.h"

namespace vantrel {

namespace {

class SelectTool final : public Tool {
public:
    using Tool::Tool;

    void Press(const ToolEvent& e) override {
        DragState& d = view_.DragInfo();
        const HitResult hot = view_.Hot();
        if (e.modifiers.shift) {
            if (hot.item) view_.Select(*hot.item, !hot.item->IsSelected());
            view_.Host().UpdateNow();
            return;
        }
        if (hot.item && hot.handle != kNoHandle) {
            d.mode = DragMode::ResizeItem;
            d.item = hot.item->Uid();
            d.handle = hot.handle;
            d.working = d.start = hot.item->Bounds();
            d.aspect = d.start.Height() != 0 ? double(d.start.Width()) / double(d.start.Height()) : 1.0;
            view_.ToggleBand();
            return;
        }
        if (hot.item) {
            d.mode = DragMode::MoveItems;
            d.item = hot.item->Uid();
            if (!hot.item->IsSelected()) {
                view_.DeselectAll();
                view_.Select(*hot.item, true);
            }
        } else {
            d.mode = DragMode::RubberBand;
            view_.Host().SetCursor(CursorRole::Select);
            d.working = {d.press.x, d.press.y, d.press.x, d.press.y};
            view_.DeselectAll();
            view_.ToggleBand();
        }
        view_.Host().UpdateNow();
    }

    void Move(const ToolEvent& e) override {
        DragState& d = view_.DragInfo();
        switch (d.mode) {
            case DragMode::RubberBand:
                view_.ToggleBand();
                d.working.right = e.frame.x;
                d.working.bottom = e.frame.y;
                view_.ToggleBand();
                break;
            case DragMode::MoveItems: MoveSelection(e); break;
            case DragMode::ResizeItem:
                view_.ToggleBand();
                d.working = ResizeByHandle(d.working, d.handle, e.frame, d.start, d.aspect);
                view_.ToggleBand();
                break;
            default: break;
        }
    }

    void Release(const ToolEvent& e) override {
        DragState& d = view_.DragInfo();
        AnimFrame* frame = view_.CurrentFrame();
        if (!frame) return;
        switch (d.mode) {
            case DragMode::RubberBand: {
                view_.ToggleBandOff();
                view_.DeselectAll();
                const Rect band = Normalized(d.working);
                for (CanvasItem* item : frame->BottomToTop()) {
                    const Rect& b = item->Bounds();
                    if (b.left >= band.left && b.top >= band.top && b.right <= band.right && b.bottom <= band.bottom)
                        view_.Select(*item, true);
                }
                view_.Host().UpdateNow();
                break;
            }
            case DragMode::MoveItems:
                if (d.moved) {
                    frame->hideHandles = false;
                    view_.InvalidateSelectionHandles();
                    view_.Host().UpdateNow();
                }
                break;
            case DragMode::ResizeItem: {
                view_.ToggleBandOff();
                if (e.frame == d.press) break;
                view_.Host().SetCursor(CursorRole::Busy);
                if (CanvasItem* item = CurrentItem(view_, d.item)) view_.InvalidateHandles(*item);
                view_.Execute(std::make_unique<ResizeItemCommand>("Resize", frame->Uid(), d.item, FinishResize(d.working),
                                                                  view_.resizeResampling));
                view_.Host().UpdateNow();
                break;
            }
            default: break;
        }
    }

    void Cancel() override {
        view_.ToggleBandOff();
        if (AnimFrame* frame = view_.CurrentFrame()) frame->hideHandles = false;
    }

    void DoubleClick(const ToolEvent& /*e*/) override {
        const AnimFrame* frame = view_.CurrentFrame();
        if (!frame || frame->CountSelected() != 1 || !view_.Hot().item) return;
        switch (frame->SelectedKind()) {
            case ItemKind::Label: view_.ExecuteCommand(CommandId::EditText); break;
            case ItemKind::Box: view_.ExecuteCommand(CommandId::RectangleStyle); break;
            case ItemKind::Bitmap:
            case ItemKind::Ellipse: view_.ExecuteCommand(CommandId::ImageSize); break;
            default: break;
        }
    }

    // The item under the pointer becomes the selection unless it is part of
    // it already; then the context menu for it opens.
    void SecondaryPress(const ToolEvent& e) override {
        if (CanvasItem* hot = view_.Hot().item; hot && !hot->IsSelected()) {
            view_.DeselectAll();
            view_.Select(*hot, true);
            view_.Host().UpdateNow();
        }
        view_.Host().ShowContextMenu(e.window);
    }

    CursorRole Cursor(Modifiers) const override {
        return view_.Hot().handle != kNoHandle ? CursorRole::Handle : CursorRole::Select;
    }

private:
    void MoveSelection(const ToolEvent& e) {
        DragState& d = view_.DragInfo();
        AnimFrame* frame = view_.CurrentFrame();
        if (!frame) return;
        if (!d.moved && (std::abs(e.window.x - d.pressWindow.x) > kMoveThreshold ||
                         std::abs(e.window.y - d.pressWindow.y) > kMoveThreshold))
            d.moved = true;
        if (!d.moved) return;
        view_.InvalidateSelectionHandles();
        frame->hideHandles = true;
        if (e.frame != d.last) {
            auto move = std::make_unique<MoveItemsCommand>("Move", frame->Uid(), SelectedUids(view_),
                                                           Point{e.frame.x - d.last.x, e.frame.y - d.last.y});
            move->SetMergeKey(d.gesture);
            view_.Execute(std::move(move));
            d.last = e.frame;
            view_.Host().UpdateNow();
        }
        view_.Host().SetCursor(CursorRole::Move);
    }
};

}  // namespace

std::unique_ptr<Tool> MakeSelectTool(EditorView& view) { return std::make_unique<SelectTool>(view); }

}  // namespace vantrel
