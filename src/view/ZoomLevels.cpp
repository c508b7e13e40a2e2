#include "view/ZoomLevels.h"

#include <algorithm>

namespace vantrel {

namespace {

bool Fits(Size picture, Size client, ZoomFactor zoom) {
    return zoom.Scale(picture.width) <= client.width && zoom.Scale(picture.height) <= client.height;
}

// The largest whole zoom at which the picture fits in space; 0 when not even 1:1 does.
int WholeZoomWithin(Size picture, Size space) {
    if (picture.width <= 0 || picture.height <= 0) return 1;
    return std::min(space.width / picture.width, space.height / picture.height);
}

}  // namespace

ZoomFactor ZoomedIn(ZoomFactor zoom) {
    if (zoom >= 1) return zoom.num / zoom.den * 2;
    for (const ZoomFactor level : kZoomsBelowOne)
        if (level > zoom) return level;
    return 1;
}

ZoomFactor ZoomedOut(ZoomFactor zoom) {
    if (zoom >= 2) return zoom.num / zoom.den / 2;
    for (auto level = kZoomsBelowOne.rbegin(); level != kZoomsBelowOne.rend(); ++level)
        if (*level < zoom) return *level;
    return kSmallestZoom;
}

ZoomFactor FitZoom(Size picture, Size client) {
    const int whole = WholeZoomWithin(picture, client);
    if (whole >= 1) return std::min(whole, kLargestFitZoom);
    for (auto level = kZoomsBelowOne.rbegin(); level != kZoomsBelowOne.rend(); ++level)
        if (Fits(picture, client, *level)) return *level;
    return kSmallestZoom;
}

ZoomFactor OpeningZoom(Size picture, Size client) {
    if (!Fits(picture, client, 1)) return FitZoom(picture, client);
    const int whole = WholeZoomWithin(picture, {client.width / 3, client.height / 3});
    return std::clamp(whole, 1, kLargestFitZoom);
}

}  // namespace vantrel
