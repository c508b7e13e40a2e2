#pragma once
// How a drag on a handle changes a rectangle: resizing (edges freely,
// corners keeping the start rectangle's proportions) and cropping (kept
// inside the start rectangle, at least one pixel wide and high).

#include "core/Geometry.h"
#include "document/CanvasItem.h"

namespace vantrel {

// What a drag on a handle of an item remembers from its press.
struct HandleDrag {
    ObjectUid item = 0;
    int handle = kNoHandle;
    Rect start;         // the item's bounds at the press
    double aspect = 1;  // start's width / height (1 for a zero height)
};
HandleDrag BeginHandleDrag(const CanvasItem& item, int handle);

// working changed by dragging handle (1 to 8) to p. Edge handles move their
// edge to p; a corner handle gives the largest rectangle of start's
// proportions that fits between p and the opposite corner, anchored there.
// aspect is start's width divided by its height.
Rect ResizeByHandle(Rect working, int handle, Point p, const Rect& start, double aspect);

// working changed by dragging handle to p, then kept inside start; an edge
// dragged across the opposite one stops one pixel short of it.
Rect CropByHandle(Rect working, int handle, Point p, const Rect& start);

// The rectangle a resize ends with: normalised, at least one pixel wide and high.
Rect FinishResize(const Rect& working);

}  // namespace vantrel
