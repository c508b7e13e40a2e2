#include "view/PrintLayout.h"

#include <gtest/gtest.h>

#include "ViewTestUtil.h"
#include "view/EditorView.h"

namespace vantrel {
namespace {

using test::DocWithFrames;

std::vector<int> Tops(const PrintPageLayout& page) {
    std::vector<int> tops;
    for (const PrintedFrame& f : page.frames) tops.push_back(f.rect.top);
    return tops;
}

TEST(PrintLayout, PageHeightFollowsThePaper) {
    EXPECT_EQ(PrintPageHeight(1000, 1414), 848);
    EXPECT_EQ(PrintPageHeight(2100, 2970), 848);
    EXPECT_EQ(PrintPageHeight(600, 300), 300);
    EXPECT_EQ(PrintPageHeight(0, 300), 0);
}

TEST(PrintLayout, FramesOfHeightSixtyOnAnA4Page) {
    auto doc = DocWithFrames(12);
    Animation& animation = doc->GetAnimation();
    ASSERT_EQ(animation.Height(), 60);
    const PrintPageLayout first = LayoutPrintPage(animation, animation.FirstFrame(), 848, 200);
    EXPECT_EQ(first.titleTopLeft, (Point{200, 10}));
    // Upper edges 80, 200, ... 680; the frame that would start at 800 goes to the next page.
    EXPECT_EQ(Tops(first), (std::vector<int>{80, 200, 320, 440, 560, 680}));
    ASSERT_EQ(first.next, animation.Frames()[6].get());
    EXPECT_EQ(first.frames[0].rect, (Rect{66, 80, 66 + 468, 140}));
    const PrintPageLayout second = LayoutPrintPage(animation, first.next, 848, 200);
    EXPECT_EQ(second.frames.size(), 6u);
    EXPECT_EQ(second.frames.front().frame, animation.Frames()[6].get());
    EXPECT_EQ(second.next, nullptr);
}

TEST(PrintLayout, MasterFramesAreNotPrinted) {
    auto doc = DocWithFrames(4, {true, false, true, false});
    Animation& animation = doc->GetAnimation();
    animation.Frames()[3]->duration = 250;
    const PrintPageLayout page = LayoutPrintPage(animation, animation.FirstFrame(), 848, 0);
    ASSERT_EQ(page.frames.size(), 2u);
    EXPECT_EQ(page.frames[0].frame, animation.Frames()[1].get());
    EXPECT_EQ(page.frames[1].frame, animation.Frames()[3].get());
    EXPECT_EQ(page.frames[1].durationText, "2.5 s");
    EXPECT_EQ(page.titleTopLeft.x, 300);
}

TEST(PrintLayout, EveryPageTakesAtLeastOneFrame) {
    // A canvas taller than the page, and a page shorter than the gap: printing still ends.
    auto doc = DocWithFrames(3);
    Animation& animation = doc->GetAnimation();
    animation.SetSize(100, 1200);
    int pages = 0;
    for (const AnimFrame* next = animation.FirstFrame(); next && pages < 10; ++pages)
        next = LayoutPrintPage(animation, next, 100, 0).next;
    EXPECT_EQ(pages, 3);
}

TEST(PrintLayout, DurationsAsSeconds) {
    EXPECT_EQ(FormatPrintDuration(100), "1 s");
    EXPECT_EQ(FormatPrintDuration(7), "0.07 s");
    EXPECT_EQ(FormatPrintDuration(250), "2.5 s");
    EXPECT_EQ(FormatPrintDuration(0), "0 s");
}

TEST(PrintLayout, TheViewPrintsPageAfterPageFromTheFirstFrame) {
    auto doc = DocWithFrames(12);
    test::RecordingHost host;
    EditorView view(*doc, host);
    view.OnInitialUpdate();
    view.BeginPrinting();
    int pages = 0;
    std::size_t frames = 0;
    while (view.HasPageToPrint() && pages < 10) {
        frames += view.LayoutNextPage(848, 100).frames.size();
        ++pages;
    }
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(frames, 12u);
}

}  // namespace
}  // namespace vantrel
