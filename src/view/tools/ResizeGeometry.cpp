#include "view/tools/ResizeGeometry.h"

#include <algorithm>

#include "document/ViewTypes.h"

namespace vantrel {

namespace {

// a * b / c truncated toward zero, with no division by zero.
int MulDiv(int a, int b, int c) { return c == 0 ? 0 : int(static_cast<long long>(a) * b / c); }

// w / h in floating point; a zero height counts as the widest possible.
double Ratio(int w, int h) { return h == 0 ? (w == 0 ? 0.0 : 1e300) : double(w) / double(h); }

}  // namespace

HandleDrag BeginHandleDrag(const CanvasItem& item, int handle) {
    const Rect& start = item.Bounds();
    return {item.Uid(), handle, start, start.Height() != 0 ? double(start.Width()) / double(start.Height()) : 1.0};
}

Rect ResizeByHandle(Rect r, int handle, Point p, const Rect& start, double aspect) {
    const int w0 = start.Width();
    const int h0 = start.Height();
    const int x = p.x;
    const int y = p.y;
    switch (handle) {
        case kHandleTop: r.top = y; break;
        case kHandleRight: r.right = x; break;
        case kHandleBottom: r.bottom = y; break;
        case kHandleLeft: r.left = x; break;
        case kHandleTopLeft:
            r.left = x;
            r.top = y;
            if (Ratio(r.right - x, r.bottom - y) > aspect)
                r.left = r.right + MulDiv(y - r.bottom, w0, h0);
            else
                r.top = r.bottom + MulDiv(x - r.right, h0, w0);
            break;
        case kHandleTopRight:
            r.right = x;
            r.top = y;
            if (Ratio(x - r.left, r.bottom - y) > aspect)
                r.right = r.left + MulDiv(w0, r.bottom - y, h0);
            else
                r.top = r.bottom + MulDiv(h0, r.left - x, w0);
            break;
        case kHandleBottomRight:
            r.right = x;
            r.bottom = y;
            if (Ratio(x - r.left, y - r.top) > aspect)
                r.right = r.left + MulDiv(y - r.top, w0, h0);
            else
                r.bottom = r.top + MulDiv(x - r.left, h0, w0);
            break;
        case kHandleBottomLeft:
            r.left = x;
            r.bottom = y;
            if (Ratio(r.right - x, y - r.top) > aspect)
                r.left = r.right + MulDiv(w0, r.top - y, h0);
            else
                r.bottom = r.top + MulDiv(h0, r.right - x, w0);
            break;
        default: break;
    }
    return r;
}

Rect CropByHandle(Rect r, int handle, Point p, const Rect& start) {
    switch (handle) {
        case kHandleTopLeft: r.left = p.x, r.top = p.y; break;
        case kHandleTop: r.top = p.y; break;
        case kHandleTopRight: r.right = p.x, r.top = p.y; break;
        case kHandleRight: r.right = p.x; break;
        case kHandleBottomRight: r.right = p.x, r.bottom = p.y; break;
        case kHandleBottom: r.bottom = p.y; break;
        case kHandleBottomLeft: r.left = p.x, r.bottom = p.y; break;
        case kHandleLeft: r.left = p.x; break;
        default: break;
    }
    r.left = std::max(r.left, start.left);
    r.top = std::max(r.top, start.top);
    r.right = std::min(r.right, start.right);
    r.bottom = std::min(r.bottom, start.bottom);
    if (r.left >= start.right) r.left = start.right - 1;
    if (r.top >= start.bottom) r.top = start.bottom - 1;
    if (r.right <= start.left) r.right = start.left + 1;
    if (r.bottom <= start.top) r.bottom = start.top + 1;
    return r;
}

Rect FinishResize(const Rect& working) {
    Rect r = Normalized(working);
    if (r.right == r.left) ++r.right;
    if (r.bottom == r.top) ++r.bottom;
    return r;
}

}  // namespace vantrel
