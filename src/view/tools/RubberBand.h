#pragma once
// The rubber band a tool shows during a drag: a rectangle or an ellipse
// over a rectangle of frame pixels, drawn by inverting, so drawing it a
// second time removes it.

#include "core/Geometry.h"
#include "view/ViewHost.h"

namespace vantrel {

class EditorView;

class RubberBand {
public:
    // The rectangle (frame pixels, as dragged: not normalised).
    const Rect& Area() const { return area_; }
    bool Shown() const { return shown_; }
    // Shows the band over area in shape.
    void Show(EditorView& view, const Rect& area, RubberBandShape shape = RubberBandShape::Rectangle);
    // Removes the band when it is shown.
    void Hide(EditorView& view);
    // Moves the shown band to area: the old band is erased, the new one drawn.
    void MoveTo(EditorView& view, const Rect& area);
    // The shown band's corner opposite the press moved to p.
    void DragCornerTo(EditorView& view, Point p) { MoveTo(view, {area_.left, area_.top, p.x, p.y}); }

private:
    void Toggle(EditorView& view);

    Rect area_;
    RubberBandShape shape_ = RubberBandShape::Rectangle;
    bool shown_ = false;
};

}  // namespace vantrel
