#include "view/tools/DrawShapeTool.h"

#include "document/AnimFrame.h"
#include "edit/ItemCommands.h"

namespace vantrel {

void DrawShapeTool::Press(const ToolEvent& /*e*/) {
    DragState& d = view_.DragInfo();
    d.mode = DragMode::DrawShape;
    d.bandShape = shape_;
    d.working = {d.press.x, d.press.y, d.press.x, d.press.y};
    view_.ToggleBand();
}

void DrawShapeTool::Move(const ToolEvent& e) {
    DragState& d = view_.DragInfo();
    view_.ToggleBand();
    d.working.right = e.frame.x;
    d.working.bottom = e.frame.y;
    view_.ToggleBand();
}

void DrawShapeTool::Release(const ToolEvent& /*e*/) {
    DragState& d = view_.DragInfo();
    view_.ToggleBandOff();
    const Rect r = Normalized(d.working);
    AnimFrame* frame = view_.CurrentFrame();
    if (r.IsEmpty() || !frame) return;
    std::unique_ptr<CanvasItem> item = MakeItem(r.Width(), r.Height());
    if (!item) return;
    item->MoveTo(r.left, r.top);
    const ObjectUid uid = item->Uid();
    view_.DeselectAll();
    if (!view_.Execute(std::make_unique<AddItemCommand>(label_, frame->Uid(), std::move(item)))) return;
    if (CanvasItem* added = frame->FindItemByUid(uid)) view_.Select(*added, true);
    view_.Host().UpdateNow();
    d.mode = DragMode::None;  // the gesture is over before Done may switch tools
    Done();
}

}  // namespace vantrel
