#pragma once
// The colour buttons of the Current Colors bar: what colours they stand for
// (the view's drawing colours, or the colours of the one selected label,
// box or ellipse), shown by the bar and changed through the colour picker.

#include "core/Pixel.h"

namespace vantrel {

class EditorView;

struct ColorTargets {
    PixelValue foreground = kOpaqueBlack;
    PixelValue background = kOpaqueWhite;
    friend bool operator==(const ColorTargets&, const ColorTargets&) = default;
};

// The view's foreground and background colours, except that with exactly
// one item selected the foreground is a label's text colour, an ellipse's
// colour or a box's line colour, and the background a box's fill colour.
ColorTargets CurrentColorTargets(const EditorView& view);

}  // namespace vantrel
