#include "view/tools/RubberBand.h"

#include "view/EditorView.h"

namespace vantrel {

void RubberBand::Show(EditorView& view, const Rect& area, RubberBandShape shape) {
    area_ = area;
    shape_ = shape;
    Toggle(view);
}

void RubberBand::Hide(EditorView& view) {
    if (shown_) Toggle(view);
}

void RubberBand::MoveTo(EditorView& view, const Rect& area) {
    Toggle(view);
    area_ = area;
    Toggle(view);
}

void RubberBand::Toggle(EditorView& view) {
    shown_ = !shown_;
    view.Host().DrawRubberBand(view.FrameToWindow(Normalized(area_)), shape_);
}

}  // namespace vantrel
