#pragma once
// The zoom ladder and the zooms chosen for the user: below 1:1 the view
// steps through a few fractions, above it the zoom doubles. Zoom to Fit
// and the zoom a document opens at are worked out here from the picture's
// size and the window's.

#include <array>

#include "document/ViewTypes.h"
#include "view/ViewHost.h"

namespace vantrel {

// The zooms below 1:1, smallest first: 25, 33, 50 and 66 percent.
inline constexpr std::array<ZoomFactor, 4> kZoomsBelowOne{{{1, 4}, {1, 3}, {1, 2}, {2, 3}}};
inline constexpr ZoomFactor kSmallestZoom = kZoomsBelowOne.front();
// Fitting and opening never enlarge more than this.
inline constexpr int kLargestFitZoom = 16;

// One step up: the next fraction below 1:1 (or 1:1 itself), else double.
ZoomFactor ZoomedIn(ZoomFactor zoom);
// One step down: halved (truncating) above 1:1, the next fraction at and
// below it; the smallest zoom stays.
ZoomFactor ZoomedOut(ZoomFactor zoom);
// The largest zoom of the ladder (whole zooms up to kLargestFitZoom) that
// shows a picture of this size whole within the client; the smallest zoom
// when none does.
ZoomFactor FitZoom(Size picture, Size client);
// The zoom a document opens at: 1:1 when the picture fits the client, the
// fitting zoom when it is larger, and for small pictures the largest whole
// zoom that keeps them within a third of the client.
ZoomFactor OpeningZoom(Size picture, Size client);

}  // namespace vantrel
