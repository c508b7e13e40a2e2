#pragma once
// Laying the frames of an animation out on printed pages: a title at the top,
// then the canvas-sized image of every frame that is not a master frame, one
// under the other and centred, each with its duration in seconds under its
// right edge. A page is 600 units wide; its height follows the paper's
// aspect. Positions here count downward from the top of the page.

#include <cstdint>
#include <string>
#include <vector>

#include "core/Geometry.h"

namespace vantrel {

class AnimFrame;
class Animation;

inline constexpr int kPrintPageWidth = 600;
// Distance of the title's top from the top of the page.
inline constexpr int kPrintTitleTop = 10;
// Distance of the first frame's top from the top of the page.
inline constexpr int kPrintFirstFrameTop = 80;
// Space between one frame's bottom and the next frame's top.
inline constexpr int kPrintFrameGap = 60;
// Font size of the printed texts, in points.
inline constexpr int kPrintFontPoints = 12;
inline constexpr const char* kPrintTitle = "Vantrel GIF Animator";

struct PrintedFrame {
    const AnimFrame* frame = nullptr;
    Rect rect;                 // where the frame image goes, page units
    std::string durationText;  // "%g s", right-aligned to rect.right, top at rect.bottom
};

struct PrintPageLayout {
    int pageHeight = 0;  // page units
    Point titleTopLeft;
    std::vector<PrintedFrame> frames;
    // The first frame that did not fit: the next page starts with it. Null
    // when every frame was placed.
    const AnimFrame* next = nullptr;
};

// The page height in units for paper of width x height (any unit): 600 units
// across, the height in proportion (integer).
int PrintPageHeight(int paperWidth, int paperHeight);

// Lays out one page starting with first (skipping master frames from there on).
// titleWidth is the width of the title text in page units.
PrintPageLayout LayoutPrintPage(const Animation& animation, const AnimFrame* first, int pageHeight,
                                int titleWidth);

// A duration in hundredths as seconds, "%g s" (100 gives "1 s", 7 gives "0.07 s").
std::string FormatPrintDuration(std::uint32_t hundredths);

}  // namespace vantrel
