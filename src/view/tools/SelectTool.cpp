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

    DragMode Press(const ToolEvent& e) override {
        const HitResult hot = view_.Hot();
        if (e.modifiers.shift) {
            if (hot.item) view_.Select(*hot.item, !hot.item->IsSelected());
            view_.Host().UpdateNow();
            return DragMode::None;
        }
        if (hot.item && hot.handle != kNoHandle) {
            resize_ = BeginHandleDrag(*hot.item, hot.handle);
            band_.Show(view_, resize_.start);
            return mode_ = DragMode::ResizeItem;
        }
        if (hot.item) {
            mode_ = DragMode::MoveItems;
            last_ = e.frame;
            moved_ = false;
            if (!hot.item->IsSelected()) {
                view_.DeselectAll();
                view_.Select(*hot.item, true);
            }
        } else {
            mode_ = DragMode::RubberBand;
            view_.Host().SetCursor(CursorRole::Select);
            view_.DeselectAll();
            band_.Show(view_, {e.frame.x, e.frame.y, e.frame.x, e.frame.y});
        }
        view_.Host().UpdateNow();
        return mode_;
    }

    void Move(const ToolEvent& e) override {
        switch (mode_) {
            case DragMode::RubberBand: band_.DragCornerTo(view_, e.frame); break;
            case DragMode::MoveItems: MoveSelection(e); break;
            case DragMode::ResizeItem:
                band_.MoveTo(view_, ResizeByHandle(band_.Area(), resize_.handle, e.frame, resize_.start, resize_.aspect));
                break;
            default: break;
        }
    }

    void Release(const ToolEvent& e) override {
        AnimFrame* frame = view_.CurrentFrame();
        if (!frame) return;
        switch (mode_) {
            case DragMode::RubberBand: {
                band_.Hide(view_);
                view_.DeselectAll();
                const Rect band = Normalized(band_.Area());
                for (CanvasItem* item : frame->BottomToTop()) {
                    const Rect& b = item->Bounds();
                    if (b.left >= band.left && b.top >= band.top && b.right <= band.right && b.bottom <= band.bottom)
                        view_.Select(*item, true);
                }
                view_.Host().UpdateNow();
                break;
            }
            case DragMode::MoveItems:
                if (moved_) {
                    handlesHidden_ = false;
                    view_.InvalidateSelectionHandles();
                    view_.Host().UpdateNow();
                }
                break;
            case DragMode::ResizeItem: {
                band_.Hide(view_);
                if (e.frame == view_.CurrentGesture().press) break;
                view_.Host().SetCursor(CursorRole::Busy);
                if (CanvasItem* item = CurrentItem(view_, resize_.item)) view_.InvalidateHandles(*item);
                view_.Execute(std::make_unique<ResizeItemCommand>("Resize", frame->Uid(), resize_.item,
                                                                  FinishResize(band_.Area()),
                                                                  view_.Settings().ResizeResampling()));
                view_.Host().UpdateNow();
                break;
            }
            default: break;
        }
    }

    void Cancel() override {
        band_.Hide(view_);
        handlesHidden_ = false;
    }

    bool HidesHandles() const override { return handlesHidden_; }

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
        AnimFrame* frame = view_.CurrentFrame();
        if (!frame) return;
        const Point pressWindow = view_.CurrentGesture().pressWindow;
        if (!moved_ && (std::abs(e.window.x - pressWindow.x) > kMoveThreshold ||
                        std::abs(e.window.y - pressWindow.y) > kMoveThreshold))
            moved_ = true;
        if (!moved_) return;
        view_.InvalidateSelectionHandles();
        handlesHidden_ = true;
        if (e.frame != last_) {
            auto move = std::make_unique<MoveItemsCommand>("Move", frame->Uid(), SelectedUids(view_),
                                                           Point{e.frame.x - last_.x, e.frame.y - last_.y});
            move->SetMergeKey(view_.CurrentGesture().key);
            view_.Execute(std::move(move));
            last_ = e.frame;
            view_.Host().UpdateNow();
        }
        view_.Host().SetCursor(CursorRole::Move);
    }

    DragMode mode_ = DragMode::None;  // the drag in progress
    HandleDrag resize_;
    Point last_;                // the point the last move acted on
    bool moved_ = false;        // a move drag has passed its threshold
    bool handlesHidden_ = false;  // while the selection moves
};

}  // namespace

std::unique_ptr<Tool> MakeSelectTool(EditorView& view) { return std::make_unique<SelectTool>(view); }

}  // namespace vantrel
