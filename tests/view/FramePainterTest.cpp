#include "view/FramePainter.h"

#include <gtest/gtest.h>

#include "ViewTestUtil.h"
#include "document/ItemList.h"

namespace vantrel {
namespace {

using test::AddSolidItem;
using test::SolidImage;

constexpr PixelValue kRed = 0x00FF0000;
constexpr PixelValue kBlue = 0x000000FF;
constexpr PixelValue kGreen = 0x0000FF00;
constexpr PixelValue kYellowBackground = 0x00FFFF80;

// A 10 x 6 canvas, centred in the work area at (595, 597) to (605, 603).
struct SmallCanvas {
    SmallCanvas() {
        doc.GetAnimation().SetSize(10, 6);
        frame().backgroundColor = kYellowBackground;
    }
    AnimFrame& frame() { return *doc.GetAnimation().FirstFrame(); }
    Rect Canvas() { return frame().Canvas(); }
    // Paints at zoom into a raster covering the zoomed canvas with a margin.
    RasterPaintTarget Paint(int zoom, int margin = 12) {
        doc.GetAnimation().RenderAll();
        RasterPaintTarget target(ZoomRect(Canvas(), zoom).Inflate(margin, margin));
        PaintInView(frame(), target, {600, 600, zoom, 0, 0});
        return target;
    }
    CQVDoc doc;
};

TEST(FramePainter, CanvasBorderShadowAndWorkAreaAtZoomOneAndTwo) {
    for (const int zoom : {1, 2}) {
        SmallCanvas s;
        ASSERT_EQ(s.Canvas(), (Rect{595, 597, 605, 603}));
        AddSolidItem(s.frame(), {597, 598, 600, 601}, kRed);
        const RasterPaintTarget t = s.Paint(zoom);
        const Rect canvas = ZoomRect(s.Canvas(), zoom);
        const Rect border = canvas.Inflate(1, 1);
        const PackedDib& image = s.frame().Image();
        for (int y = t.Area().top; y < t.Area().bottom; ++y) {
            for (int x = t.Area().left; x < t.Area().right; ++x) {
                PixelValue expected = kOpaqueWhite;
                if (canvas.Contains({x, y})) {
                    expected = image.GetPixel(x / zoom - s.Canvas().left, y / zoom - s.Canvas().top) & 0xFFFFFF;
                } else if (border.Contains({x, y})) {
                    expected = kOpaqueBlack;
                } else if ((y >= border.bottom && y < border.bottom + 2 && x >= border.left + 2 && x < border.right + 2) ||
                           (x >= border.right && x < border.right + 2 && y >= border.top + 2 && y < border.bottom + 2)) {
                    expected = kCanvasShadowColor;
                }
                ASSERT_EQ(t.PixelAtDevice(x, y), expected) << "zoom " << zoom << " at " << x << "," << y;
            }
        }
        // The fixture really shows the item and the background.
        EXPECT_EQ(t.PixelAtDevice(597 * zoom, 598 * zoom), kRed);
        EXPECT_EQ(t.PixelAtDevice(596 * zoom, 598 * zoom), kYellowBackground);
    }
}

TEST(FramePainter, UpperItemsCoverLowerOnesAndItemsOutsideTheCanvasCoverTheBorder) {
    for (const int zoom : {1, 3}) {
        SmallCanvas s;
        AddSolidItem(s.frame(), {590, 595, 598, 599}, kBlue);   // lower, crosses the border
        AddSolidItem(s.frame(), {596, 596, 600, 600}, kGreen);  // upper, overlaps it
        const RasterPaintTarget t = s.Paint(zoom);
        auto at = [&](int fx, int fy) { return t.PixelAtDevice(fx * zoom, fy * zoom); };
        EXPECT_EQ(at(597, 597), kGreen) << zoom;          // both items: the upper wins
        EXPECT_EQ(at(599, 599), kGreen) << zoom;
        EXPECT_EQ(at(595, 598), kBlue) << zoom;           // only the lower item
        EXPECT_EQ(at(591, 596), kBlue) << zoom;           // outside the canvas, over the white
        EXPECT_EQ(t.PixelAtDevice(595 * zoom - 1, 596 * zoom), kBlue) << zoom;  // over the border
        EXPECT_EQ(at(600, 601), kYellowBackground) << zoom;
        // The last device pixel of an item's zoomed bounds belongs to it, the next one not.
        EXPECT_EQ(t.PixelAtDevice(600 * zoom - 1, 597 * zoom), kGreen) << zoom;
        EXPECT_EQ(t.PixelAtDevice(600 * zoom, 597 * zoom), kYellowBackground) << zoom;
    }
}

TEST(FramePainter, BackgroundFrameImageFillsTheCanvas) {
    SmallCanvas s;
    Animation& animation = s.doc.GetAnimation();
    AnimFrame* second = animation.AppendFrame();
    AddSolidItem(s.frame(), s.Canvas(), kRed);
    second->SetBackgroundFrame(&s.frame());
    animation.RenderAll();
    RasterPaintTarget t(ZoomRect(s.Canvas(), 2));
    PaintInView(*second, t, {600, 600, 2, 0, 0});
    EXPECT_EQ(t.PixelAtDevice(595 * 2, 597 * 2), kRed);
    EXPECT_EQ(t.PixelAtDevice(605 * 2 - 1, 603 * 2 - 1), kRed);
}

TEST(FramePainter, SelectedItemsShowHandlesUnlessHidden) {
    SmallCanvas s;
    CanvasItem* item = AddSolidItem(s.frame(), {100, 50, 200, 100}, kRed);
    RasterPaintTarget unselected({80, 30, 220, 120});
    PaintInView(s.frame(), unselected, {600, 600, 1, 0, 0});
    EXPECT_EQ(unselected.PixelAtDevice(92, 42), kOpaqueWhite);

    item->SetSelected(true);
    RasterPaintTarget t({80, 30, 220, 120});
    PaintInView(s.frame(), t, {600, 600, 1, 0, 0});
    // Handle 1 covers x 92..98 and y 42..48: a black outline around white.
    EXPECT_EQ(t.PixelAtDevice(92, 42), kOpaqueBlack);
    EXPECT_EQ(t.PixelAtDevice(98, 48), kOpaqueBlack);
    EXPECT_EQ(t.PixelAtDevice(95, 45), kOpaqueWhite);
    EXPECT_EQ(t.PixelAtDevice(99, 49), kOpaqueWhite);
    // Handle 5 at (201, 101) to (208, 108).
    EXPECT_EQ(t.PixelAtDevice(201, 101), kOpaqueBlack);
    EXPECT_EQ(t.PixelAtDevice(207, 104), kOpaqueBlack);
    EXPECT_EQ(t.PixelAtDevice(204, 104), kOpaqueWhite);

    RasterPaintTarget hidden({80, 30, 220, 120});
    PaintInView(s.frame(), hidden, {600, 600, 1, 0, 0}, {}, HandleDrawing::Hidden);
    EXPECT_EQ(hidden.PixelAtDevice(92, 42), kOpaqueWhite);
}

TEST(FramePainter, HandlesStaySevenPixelsAtEveryZoom) {
    SmallCanvas s;
    CanvasItem* item = AddSolidItem(s.frame(), {100, 50, 200, 100}, kRed);
    item->SetSelected(true);
    for (const int zoom : {1, 4}) {
        const Rect handle = item->HandleRect(kHandleBottom, zoom);
        ASSERT_EQ(handle.Width(), 7);
        RasterPaintTarget t(handle.Inflate(2, 2));
        PaintHandles(s.frame(), t, zoom);
        int black = 0;
        for (int y = t.Area().top; y < t.Area().bottom; ++y)
            for (int x = t.Area().left; x < t.Area().right; ++x) black += t.PixelAtDevice(x, y) == kOpaqueBlack;
        EXPECT_EQ(black, 24) << zoom;  // the outline of a 7 x 7 square
    }
}

TEST(RasterPaintTarget, ExclusionLastsUntilTheClipIsRestored) {
    RasterPaintTarget t({0, 0, 4, 1});
    t.SaveClip();
    t.ExcludeRect({1, 0, 3, 1});
    t.FillRect({0, 0, 4, 1}, kRed);
    EXPECT_EQ(t.PixelAtDevice(0, 0), kRed);
    EXPECT_EQ(t.PixelAtDevice(1, 0), kOpaqueWhite);
    EXPECT_EQ(t.PixelAtDevice(2, 0), kOpaqueWhite);
    EXPECT_EQ(t.PixelAtDevice(3, 0), kRed);
    t.RestoreClip();
    t.FillRect({0, 0, 4, 1}, kBlue);
    EXPECT_EQ(t.PixelAtDevice(1, 0), kBlue);
}

TEST(RasterPaintTarget, ImagesStretchByNearestPixelAndIgnoreTransparency) {
    PackedDib image = SolidImage(2, 1, 0x80FF0000);  // half transparent red
    image.Lock();
    image.SetPixel(1, 0, kBlue);
    image.Unlock();
    RasterPaintTarget t({0, 0, 6, 2});
    t.DrawImage(image, {0, 0, 6, 2});
    const PixelValue expected[] = {kRed, kRed, kRed, kBlue, kBlue, kBlue};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(t.PixelAtDevice(x, 0), expected[x]) << x;
        EXPECT_EQ(t.PixelAtDevice(x, 1), expected[x]) << x;
    }
    EXPECT_EQ(t.Row(0)[0], 0xFFFF0000u);  // opaque on screen
}

TEST(RasterPaintTarget, LinesLeaveOutTheirEndPoint) {
    RasterPaintTarget t({0, 0, 6, 6});
    t.DrawLine({1, 1}, {5, 1}, kRed);
    t.DrawLine({1, 3}, {3, 5}, kBlue);
    EXPECT_EQ(t.PixelAtDevice(1, 1), kRed);
    EXPECT_EQ(t.PixelAtDevice(4, 1), kRed);
    EXPECT_EQ(t.PixelAtDevice(5, 1), kOpaqueWhite);
    EXPECT_EQ(t.PixelAtDevice(2, 4), kBlue);
    EXPECT_EQ(t.PixelAtDevice(3, 5), kOpaqueWhite);
}

}  // namespace
}  // namespace vantrel
