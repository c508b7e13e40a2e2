#include "view/PrintLayout.h"

#include <cstdio>

#include "document/AnimFrame.h"
#include "document/Animation.h"

namespace vantrel {

int PrintPageHeight(int paperWidth, int paperHeight) {
    if (paperWidth <= 0 || paperHeight <= 0) return 0;
    return static_cast<int>(static_cast<std::int64_t>(paperHeight) * kPrintPageWidth / paperWidth);
}

std::string FormatPrintDuration(std::uint32_t hundredths) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", hundredths * 0.01);
    return text;
}

PrintPageLayout LayoutPrintPage(const Animation& animation, const AnimFrame* first, int pageHeight,
                                int titleWidth) {
    PrintPageLayout page;
    page.pageHeight = pageHeight;
    page.titleTopLeft = {(kPrintPageWidth - titleWidth) / 2, kPrintTitleTop};

    const int width = animation.Width();
    const int height = animation.Height();
    const int left = (kPrintPageWidth - width) / 2;
    int top = kPrintFirstFrameTop;
    bool started = false;
    for (const auto& owned : animation.Frames()) {
        const AnimFrame* frame = owned.get();
        if (frame == first) started = true;
        if (!started || frame->isMaster) continue;
        // A frame is placed only while the gap below its top still lies on
        // the page; the first frame of a page always is, so that printing
        // ends even on paper too short for the gap.
        if (!page.frames.empty() && top + kPrintFrameGap > pageHeight) {
            page.next = frame;
            return page;
        }
        page.frames.push_back({frame, {left, top, left + width, top + height}, FormatPrintDuration(frame->duration)});
        top += height + kPrintFrameGap;
    }
    return page;
}

}  // namespace vantrel
