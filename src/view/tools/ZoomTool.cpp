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

    DragMode Press(const ToolEvent& e) override {
        const ZoomFactor zoom = view_.Zoom();
        if (e.modifiers.shift)
            mode_ = zoom >= 2 ? DragMode::ZoomReset : DragMode::ZoomRefused;
        else if (e.modifiers.ctrl)
            mode_ = zoom >= 2 ? DragMode::ZoomOut : DragMode::ZoomRefused;
        else
            mode_ = zoom > kZoomInLimit ? DragMode::ZoomRefused : DragMode::ZoomIn;
        view_.Host().SetCursor(CursorFor(mode_));
        if (mode_ == DragMode::ZoomIn) band_.Show(view_, {e.frame.x, e.frame.y, e.frame.x, e.frame.y});
        return mode_;
    }

    void Move(const ToolEvent& e) override {
        view_.Host().SetCursor(CursorFor(mode_));
        if (mode_ == DragMode::ZoomIn) band_.DragCornerTo(view_, e.frame);
    }

    void Release(const ToolEvent& e) override {
        switch (mode_) {
            case DragMode::ZoomIn: {
                band_.Hide(view_);
                view_.SetCentre(e.frame);
                // A drag that is too small, or runs up or to the left, is a click.
                const Rect band = band_.Area();
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

private:
    DragMode mode_ = DragMode::None;  // which of the zoom drags is in progress
};

}  // namespace

std::unique_ptr<Tool> MakeZoomTool(EditorView& view) { return std::make_unique<ZoomTool>(view); }

}  // namespace vantrel
