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

    DragMode Press(const ToolEvent& /*e*/) override {
        const HitResult hot = view_.Hot();
        if (IsBitmap(hot.item) && hot.handle != kNoHandle) {
            crop_ = BeginHandleDrag(*hot.item, hot.handle);
            band_.Show(view_, crop_.start);
            return DragMode::ResizeItem;
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
        return DragMode::None;
    }

    void Move(const ToolEvent& e) override {
        band_.MoveTo(view_, CropByHandle(band_.Area(), crop_.handle, e.frame, crop_.start));
    }

    void Release(const ToolEvent& /*e*/) override {
        view_.Host().SetCursor(CursorRole::Select);
        band_.Hide(view_);
        AnimFrame* frame = view_.CurrentFrame();
        const Rect& kept = band_.Area();
        if (!frame || kept == crop_.start) return;
        if (CanvasItem* item = CurrentItem(view_, crop_.item)) view_.InvalidateHandles(*item);
        view_.Execute(std::make_unique<CropItemCommand>("Crop", frame->Uid(), crop_.item, kept, view_.BackgroundColor()));
        view_.Host().UpdateNow();
    }

    CursorRole Cursor(Modifiers) const override {
        const HitResult& hot = view_.Hot();
        if (!IsBitmap(hot.item)) return CursorRole::CropRefused;
        return hot.handle != kNoHandle ? CursorRole::Handle : CursorRole::Crop;
    }

private:
    HandleDrag crop_;
};

}  // namespace

std::unique_ptr<Tool> MakeCropTool(EditorView& view) { return std::make_unique<CropTool>(view); }

}  // namespace vantrel
