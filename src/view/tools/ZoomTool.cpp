// Zoom: a click doubles the zoom around the point, a drag zooms to the
// rectangle, Ctrl halves it, Shift (and the secondary button) go back to
// 1:1. No item is touched.

#include "view/tools/Tool.h"
#include "view/tools/Tools.h"
#include "view/ZoomLevels.h"

namespace vantrel {

namespace {

CursorRole CursorFor(DragMode mode) {
    switch (mode) {
        case DragMode::ZoomIn: return CursorRole::ZoomIn;
        case DragMode::ZoomOut: return CursorRole::ZoomOut;
        case DragMode::ZoomReset: return CursorRole::ZoomShift;
        default: return CursorRole::ZoomRefused;
    }
}

class ZoomTool final : public Tool {
public:
    using Tool::Tool;

    void Press(const ToolEvent& e) override {
        DragState& d = view_.DragInfo();
        const ZoomFactor zoom = view_.Zoom();
        if (e.modifiers.shift)
            d.mode = zoom >= 2 ? DragMode::ZoomReset : DragMode::ZoomRefused;
        else if (e.modifiers.ctrl)
            d.mode = zoom >= 2 ? DragMode::ZoomOut : DragMode::ZoomRefused;
        else
            d.mode = zoom > kZoomInLimit ? DragMode::ZoomRefused : DragMode::ZoomIn;
        view_.Host().SetCursor(CursorFor(d.mode));
        if (d.mode == DragMode::ZoomIn) {
            d.working = {d.press.x, d.press.y, d.press.x, d.press.y};
            view_.ToggleBand();
        }
    }

    void Move(const ToolEvent& e) override {
        DragState& d = view_.DragInfo();
        view_.Host().SetCursor(CursorFor(d.mode));
        if (d.mode != DragMode::ZoomIn) return;
        view_.ToggleBand();
        d.working.right = e.frame.x;
        d.working.bottom = e.frame.y;
        view_.ToggleBand();
    }

    void Release(const ToolEvent& e) override {
        DragState& d = view_.DragInfo();
        switch (d.mode) {
            case DragMode::ZoomIn: {
                view_.ToggleBandOff();
                view_.SetCentre(e.frame);
                // A drag that is too small, or runs up or to the left, is a click.
                const Rect band = d.working;
                if (band.right - band.left < kZoomDragMinimum || band.bottom - band.top < kZoomDragMinimum)
                    view_.SetZoom(ZoomedIn(view_.Zoom()));
                else
                    view_.ZoomToRect(band);
                break;
            }
            case DragMode::ZoomOut:
                view_.SetCentre(e.frame);
                view_.SetZoom(ZoomedOut(view_.Zoom()));
                break;
            case DragMode::ZoomReset: view_.ZoomOneToOne(); return;
            default: return;
        }
        view_.Host().RedrawAll();
    }

    void SecondaryPress(const ToolEvent& /*e*/) override { view_.ZoomOneToOne(); }

    CursorRole Cursor(Modifiers m) const override {
        if (m.shift) return CursorRole::ZoomShift;
        if (m.ctrl) return view_.Zoom() < 2 ? CursorRole::ZoomRefused : CursorRole::ZoomOut;
        return view_.Zoom() > kZoomInLimit ? CursorRole::ZoomRefused : CursorRole::ZoomIn;
    }
};

}  // namespace

std::unique_ptr<Tool> MakeZoomTool(EditorView& view) { return std::make_unique<ZoomTool>(view); }

}  // namespace vantrel
