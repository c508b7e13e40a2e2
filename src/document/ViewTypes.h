#pragma once
// What the editor view hands to frames and items: how work-area pixels map to
// the window, and where the pointer is.

namespace vantrel {

// A work-area point times zoom is a device point; a device point minus the
// scroll position is a window point.
struct ViewMapping {
    int centreX = 0;  // work-area pixels
    int centreY = 0;
    int zoom = 1;     // at least 1
    int scrollX = 0;  // device pixels
    int scrollY = 0;
};

// Handle codes of an item's eight resize handles, clockwise from the top-left
// corner; kNoHandle means none.
enum HandleCode : int {
    kNoHandle = 0,
    kHandleTopLeft = 1,
    kHandleTop = 2,
    kHandleTopRight = 3,
    kHandleRight = 4,
    kHandleBottomRight = 5,
    kHandleBottom = 6,
    kHandleBottomLeft = 7,
    kHandleLeft = 8,
};

// The pointer as the editor view sees it on every move.
struct PointerState {
    int windowX = 0;  // window pixels
    int windowY = 0;
    int deviceX = 0;  // window position plus scroll position
    int deviceY = 0;
    int frameX = 0;   // device position divided by the zoom (truncating): work-area pixels
    int frameY = 0;
    int zoom = 1;
    int handle = kNoHandle;  // found by the last hit test

    // The state for a device point at a zoom with no scrolling.
    static PointerState AtDevice(int deviceX, int deviceY, int zoom) {
        return {deviceX, deviceY, deviceX, deviceY, deviceX / zoom, deviceY / zoom, zoom, kNoHandle};
    }
    // The state for a work-area point at a zoom with no scrolling.
    static PointerState AtWorkArea(int x, int y, int zoom) { return AtDevice(x * zoom, y * zoom, zoom); }
};

}  // namespace vantrel
