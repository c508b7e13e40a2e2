#include "view/tools/DrawShapeTool.h"

#include "document/AnimFrame.h"
#include "edit/ItemCommands.h"

namespace vantrel {

DragMode DrawShapeTool::Press(const ToolEvent& e) {
    band_.Show(view_, {e.frame.x, e.frame.y, e.frame.x, e.frame.y}, shape_);
    return DragMode::DrawShape;
}

void DrawShapeTool::Move(const ToolEvent& e) { band_.DragCornerTo(view_, e.frame); }

void DrawShapeTool::Release(const ToolEvent& /*e*/) {
    band_.Hide(view_);
    const Rect r = Normalized(band_.Area());
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
    Done();
}

}  // namespace vantrel
