#pragma once
// What the editor view hands to frames and items: how work-area pixels map to
// the window, and where the pointer is.

#include <compare>

namespace vantrel {

// How much the view enlarges: work-area pixels times num / den are device
// pixels. Whole zooms have den 1; the zooms below 1:1 are fractions such as
// 2/3. Both directions truncate toward zero, as integer division does.
struct ZoomFactor {
    int num = 1;
    int den = 1;

    constexpr ZoomFactor() = default;
    // A whole zoom.
    constexpr ZoomFactor(int whole) : num(whole) {}  // NOLINT(google-explicit-constructor): 2 means 2:1
    constexpr ZoomFactor(int numerator, int denominator) : num(numerator), den(denominator) {}

    // Work-area pixels to device pixels.
    constexpr int Scale(int v) const { return v * num / den; }
    // Device pixels to work-area pixels.
    constexpr int Unscale(int d) const { return d * den / num; }
    // The zoom in percent, rounded down: 66 for 2/3.
    constexpr int Percent() const { return num * 100 / den; }
    constexpr bool IsWhole() const { return den == 1; }

    friend constexpr bool operator==(ZoomFactor a, ZoomFactor b) { return a.num * b.den == b.num * a.den; }
    friend constexpr std::strong_ordering operator<=>(ZoomFactor a, ZoomFactor b) {
        return a.num * b.den <=> b.num * a.den;
    }
};

// A work-area point times zoom is a device point; a device point minus the
// scroll position is a window point.
struct ViewMapping {
    int centreX = 0;  // work-area pixels
    int centreY = 0;
    ZoomFactor zoom;  // from 1/4 to 32
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
    ZoomFactor zoom;
    int handle = kNoHandle;  // found by the last hit test

    // The state for a device point at a zoom with no scrolling.
    static PointerState AtDevice(int deviceX, int deviceY, ZoomFactor zoom) {
        return {deviceX, deviceY, deviceX, deviceY, zoom.Unscale(deviceX), zoom.Unscale(deviceY), zoom, kNoHandle};
    }
    // The state for a work-area point at a zoom with no scrolling.
    static PointerState AtWorkArea(int x, int y, ZoomFactor zoom) {
        return AtDevice(zoom.Scale(x), zoom.Scale(y), zoom);
    }
};

}  // namespace vantrel
