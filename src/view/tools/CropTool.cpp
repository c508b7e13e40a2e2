// Crop: select a bitmap, then drag one of its handles; the rectangle stays
// inside the bitmap and the bitmap is cut to it on release (areas the crop
// uncovers would take the background colour).

#include "edit/ItemEditCommands.h"
#include "view/tools/ResizeGeometry.h"
#include "view/tools/Tool.h"
#include "view/tools/ToolSupport.h"
#include "view/tools/Tools.h"

namespace vantrel {

namespace {

bool IsBitmap(const CanvasItem* item) { return item && item->Kind() == ItemKind::Bitmap; }

class CropTool final : public Tool {
public:
    using Tool::Tool;

    void Press(const ToolEvent& /*e*/) override {
        DragState& d = view_.DragInfo();
        const HitResult hot = view_.Hot();
        if (IsBitmap(hot.item) && hot.handle != kNoHandle) {
            d.mode = DragMode::ResizeItem;
            d.item = hot.item->Uid();
            d.handle = hot.handle;
            d.working = d.start = hot.item->Bounds();
            view_.ToggleBand();
            return;
        }
        if (IsBitmap(hot.item)) {
            if (!hot.item->IsSelected()) {
                view_.DeselectAll();
                view_.Select(*hot.item, true);
            }
        } else {
            view_.DeselectAll();
        }
        view_.Host().UpdateNow();
    }

    void Move(const ToolEvent& e) override {
        DragState& d = view_.DragInfo();
        if (d.mode != DragMode::ResizeItem) return;
        view_.ToggleBand();
        d.working = CropByHandle(d.working, d.handle, e.frame, d.start);
        view_.ToggleBand();
    }

    void Release(const ToolEvent& /*e*/) override {
        DragState& d = view_.DragInfo();
        view_.Host().SetCursor(CursorRole::Select);
        view_.ToggleBandOff();
        AnimFrame* frame = view_.CurrentFrame();
        if (d.mode != DragMode::ResizeItem || !frame || d.working == d.start) return;
        if (CanvasItem* item = CurrentItem(view_, d.item)) view_.InvalidateHandles(*item);
        view_.Execute(std::make_unique<CropItemCommand>("Crop", frame->Uid(), d.item, d.working, view_.BackgroundColor()));
        view_.Host().UpdateNow();
    }

    CursorRole Cursor(Modifiers) const override {
        const HitResult& hot = view_.Hot();
        if (!IsBitmap(hot.item)) return CursorRole::CropRefused;
        return hot.handle != kNoHandle ? CursorRole::Handle : CursorRole::Crop;
    }
};

}  // namespace

std::unique_ptr<Tool> MakeCropTool(EditorView& view) { return std::make_unique<CropTool>(view); }

}  // namespace vantrel
