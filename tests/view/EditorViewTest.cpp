#include "view/EditorView.h"

#include <gtest/gtest.h>

#include "ViewTestUtil.h"
#include "view/FramePainter.h"

namespace vantrel {
namespace {

using test::AddSolidItem;
using test::DocWithFrames;
using test::RecordingHost;

struct ViewFixture {
    explicit ViewFixture(Size client = {400, 300}, int frames = 1, std::vector<bool> masters = {})
        : doc(DocWithFrames(frames, std::move(masters))), host(client), view(*doc, host) {
        view.OnInitialUpdate();
    }
    std::unique_ptr<CQVDoc> doc;
    RecordingHost host;
    EditorView view;
};

bool Enabled(const EditorView& view, CommandId id) {
    CommandUi ui;
    EXPECT_TRUE(view.UpdateCommand(id, ui)) << static_cast<int>(id);
    return ui.enabled;
}

// ---- window to frame pixels ----

TEST(EditorViewMapping, WindowPointsTruncateTowardZero) {
    ViewFixture f;
    f.view.SetZoom(4);
    f.view.OnScroll({40, 0});
    ASSERT_EQ(f.view.ScrollPosition(), (Point{40, 0}));
    EXPECT_EQ(f.view.WindowToFrame({10, 10}, false), (Point{12, 2}));
    const PointerState p = f.view.MapPointer({10, 10}, false);
    EXPECT_EQ(p.deviceX, 50);
    EXPECT_EQ(p.deviceY, 10);
    EXPECT_EQ(p.zoom, 4);

    f.view.SetZoom(2);
    f.view.OnScroll({0, 0});
    ASSERT_EQ(f.view.ScrollPosition(), (Point{0, 0}));
    // A captured pointer left of the window: truncation gives 0 where rounding down would give -1.
    EXPECT_EQ(f.view.WindowToFrame({-1, 5}, false), (Point{0, 2}));
    EXPECT_EQ(f.view.WindowToFrame({-3, 5}, false), (Point{-1, 2}));
}

TEST(EditorViewMapping, ClampingOnlyWhenAsked) {
    ViewFixture f;
    f.view.OnScroll({0, 0});
    EXPECT_EQ(f.view.WindowToFrame({-30, 5000}, false), (Point{-30, 5000}));
    EXPECT_EQ(f.view.WindowToFrame({-30, 5000}, true), (Point{0, 1199}));
    EXPECT_EQ(f.view.MapPointer({-30, 5000}, true).frameY, 1199);
}

TEST(EditorViewMapping, DragsSeeOnlyWorkAreaPixelsButPressAndReleaseAreNotClamped) {
    ViewFixture f;
    ASSERT_TRUE(f.view.ExecuteCommand(CommandId::ToolZoom));
    f.view.OnScroll({0, 0});
    f.view.OnPrimaryDown({20, 30}, {});
    ASSERT_EQ(f.view.Drag(), DragMode::ZoomIn);
    EXPECT_TRUE(f.host.capturing);
    f.view.OnPointerMove({-50, 5000}, {});
    // Each band change draws the old band (erasing it) and then the new one.
    ASSERT_GE(f.host.bands.size(), 3u);
    EXPECT_EQ(f.host.bands.back(), (Rect{0, 30, 20, 1199}));
    // Released left of the window: a drag up and to the left is a click, zoom doubles
    // around the (unclamped) release point.
    f.view.OnPrimaryUp({-50, 40});
    EXPECT_FALSE(f.host.capturing);
    EXPECT_EQ(f.view.Drag(), DragMode::None);
    EXPECT_EQ(f.view.Zoom(), 2);
    EXPECT_EQ(f.view.Centre(), (Point{-50, 40}));
}

// ---- zoom ----

TEST(EditorViewZoom, ZoomInStopsAfterSixteen) {
    ViewFixture f;
    // At 1:1 Zoom Out goes on to the zooms below it.
    EXPECT_TRUE(Enabled(f.view, CommandId::ZoomOut));
    EXPECT_FALSE(Enabled(f.view, CommandId::ZoomOneToOne));
    const int expected[] = {2, 4, 8, 16, 32};
    for (const int zoom : expected) {
        ASSERT_TRUE(Enabled(f.view, CommandId::ZoomIn)) << "at " << f.view.Zoom();
        ASSERT_TRUE(f.view.ExecuteCommand(CommandId::ZoomIn));
        EXPECT_EQ(f.view.Zoom(), zoom);
    }
    EXPECT_FALSE(Enabled(f.view, CommandId::ZoomIn));
    EXPECT_FALSE(f.view.ExecuteCommand(CommandId::ZoomIn));
    EXPECT_EQ(f.view.Zoom(), 32);
    EXPECT_EQ(f.host.geometry.total, (Size{38400, 38400}));
    EXPECT_TRUE(Enabled(f.view, CommandId::ZoomOut));
    EXPECT_TRUE(Enabled(f.view, CommandId::ZoomOneToOne));
}

TEST(EditorViewZoom, ZoomOutHalvesWithIntegerDivisionThenStepsBelowOneToOne) {
    ViewFixture f;
    f.view.SetZoom(3);
    ASSERT_TRUE(f.view.ExecuteCommand(CommandId::ZoomOut));
    EXPECT_EQ(f.view.Zoom(), 1);
    const ZoomFactor below[] = {{2, 3}, {1, 2}, {1, 3}, {1, 4}};
    for (const ZoomFactor zoom : below) {
        ASSERT_TRUE(f.view.ExecuteCommand(CommandId::ZoomOut));
        EXPECT_EQ(f.view.Zoom(), zoom);
        EXPECT_EQ(f.host.geometry.total, (Size{zoom.Scale(1200), zoom.Scale(1200)}));
    }
    EXPECT_FALSE(Enabled(f.view, CommandId::ZoomOut));
    EXPECT_FALSE(f.view.ExecuteCommand(CommandId::ZoomOut));
    EXPECT_EQ(f.view.Zoom(), (ZoomFactor{1, 4}));
    ASSERT_TRUE(f.view.ExecuteCommand(CommandId::ZoomIn));
    EXPECT_EQ(f.view.Zoom(), (ZoomFactor{1, 3}));
}

TEST(EditorViewZoom, BelowOneToOneWindowAndFramePixelsMapBothWays) {
    ViewFixture f;
    f.view.SetZoom(ZoomFactor{1, 2});
    f.view.OnScroll({0, 0});
    ASSERT_EQ(f.view.ScrollPosition(), (Point{0, 0}));
    EXPECT_EQ(f.view.WindowToFrame({101, 50}, false), (Point{202, 100}));
    EXPECT_EQ(f.view.FrameToWindow({202, 100, 402, 300}), (Rect{101, 50, 201, 150}));
    EXPECT_EQ(f.view.MapPointer({101, 50}, false).zoom, (ZoomFactor{1, 2}));
    // Scrolling keeps the frame point in the middle as the next centre.
    f.view.OnScroll({100, 50});
    EXPECT_EQ(f.view.Centre(), (Point{(100 + 200) * 2, (50 + 150) * 2}));
    // A work area smaller than the window lies in its middle.
    f.host.client = {1500, 1300};
    f.view.OnScroll({0, 0});
    EXPECT_EQ(f.view.ScrollPosition(), (Point{-450, -350}));
    EXPECT_EQ(f.view.FrameToWindow({0, 0, 1200, 1200}), (Rect{450, 350, 1050, 950}));
}

// A document whose canvas is width x height, shown in a client of the given size.
struct CanvasFixture {
    CanvasFixture(int width, int height, Size client) : doc(DocWithFrames(1, {})), host(client), view(*doc, host) {
        doc->GetAnimation().SetSize(width, height);
        view.OnInitialUpdate();
    }
    Rect CanvasInWindow() const { return view.FrameToWindow(view.CurrentFrame()->Canvas()); }
    std::unique_ptr<CQVDoc> doc;
    RecordingHost host;
    EditorView view;
};

TEST(EditorViewZoom, ZoomToFitShowsTheWholeCanvasWithItsShadow) {
    struct Case {
        int width, height;
        Size client;
        ZoomFactor zoom;
    };
    const Case cases[] = {
        {1200, 1200, {900, 700}, {1, 2}}, {1200, 1200, {1000, 900}, {2, 3}}, {600, 400, {900, 700}, 1},
        {100, 60, {900, 700}, 8},         {30, 20, {400, 300}, 13},
    };
    for (const Case& c : cases) {
        CanvasFixture f(c.width, c.height, c.client);
        const int redraws = f.host.redraws;
        ASSERT_TRUE(f.view.ExecuteCommand(CommandId::ZoomToFit));
        EXPECT_EQ(f.view.Zoom(), c.zoom) << c.width << "x" << c.height;
        EXPECT_EQ(f.host.redraws, redraws + 1);
        // Border and shadow included, all of it lies inside the window.
        const Rect shown = f.CanvasInWindow().Inflate(1 + kCanvasShadowWidth, 1 + kCanvasShadowWidth);
        EXPECT_GE(shown.left, 0) << c.width << "x" << c.height;
        EXPECT_GE(shown.top, 0);
        EXPECT_LE(shown.right, c.client.width);
        EXPECT_LE(shown.bottom, c.client.height);
    }
}

TEST(EditorViewZoom, OpeningZoomIsChosenForTheCanvas) {
    CanvasFixture large(1200, 1200, {900, 700});
    large.view.ZoomForOpening();
    EXPECT_EQ(large.view.Zoom(), (ZoomFactor{1, 2}));
    CanvasFixture speck(30, 20, {900, 700});
    speck.view.ZoomForOpening();
    EXPECT_EQ(speck.view.Zoom(), 9);  // within a third of 894 x 694
    const Rect shown = speck.CanvasInWindow();
    EXPECT_EQ(shown.Width(), 270);
    // Centred on the canvas.
    EXPECT_NEAR((shown.left + shown.right) / 2, 450, 5);
    EXPECT_NEAR((shown.top + shown.bottom) / 2, 350, 5);
}

TEST(EditorViewZoom, WheelZoomKeepsThePointUnderThePointer) {
    const Point pointers[] = {{100, 80}, {350, 20}, {200, 150}};
    for (const Point at : pointers) {
        ViewFixture f({400, 300});
        f.view.SetZoom(2);  // the middle of the work area: far from the scroll limits
        for (const bool in : {true, true, false, false, false, false}) {
            const Point before = f.view.WindowToFrame(at, false);
            ASSERT_TRUE(f.view.ZoomAround(at, in));
            const Point after = f.view.WindowToFrame(at, false);
            // One window pixel covers up to 1 / zoom frame pixels; rounding adds one more.
            const int slack = f.view.Zoom() >= 1 ? 1 : f.view.Zoom().Unscale(1) + 1;
            EXPECT_NEAR(after.x, before.x, slack) << "zoom " << f.view.Zoom();
            EXPECT_NEAR(after.y, before.y, slack) << "zoom " << f.view.Zoom();
        }
        EXPECT_EQ(f.view.Zoom(), (ZoomFactor{2, 3}));
    }
    ViewFixture top;
    top.view.SetZoom(32);
    EXPECT_FALSE(top.view.ZoomAround({10, 10}, true));
    top.view.SetZoom(ZoomFactor{1, 4});
    EXPECT_FALSE(top.view.ZoomAround({10, 10}, false));
    EXPECT_TRUE(top.view.ZoomAround({10, 10}, true));
}

TEST(EditorViewZoom, OneToOneCentresOnTheCanvas) {
    ViewFixture f;
    f.view.OnScroll({0, 0});
    f.view.SetZoom(8);
    const int redraws = f.host.redraws;
    ASSERT_TRUE(f.view.ExecuteCommand(CommandId::ZoomOneToOne));
    EXPECT_EQ(f.view.Zoom(), 1);
    // The new document's canvas is (366, 570) to (834, 630).
    EXPECT_EQ(f.view.Centre(), (Point{600, 600}));
    EXPECT_EQ(f.view.ScrollPosition(), (Point{600 - 200, 600 - 150}));
    EXPECT_EQ(f.host.redraws, redraws + 1);
}

TEST(EditorViewZoom, ZoomToRectangle) {
    struct Case {
        Rect rect;
        int zoom;
        Point centre;
    };
    const Case cases[] = {
        {{100, 100, 140, 130}, 10, {120, 115}},   // 400 / 40 and 300 / 30
        {{100, 100, 200, 110}, 4, {150, 105}},    // the narrower quotient wins
        {{0, 0, 1000, 1000}, 1, {500, 500}},      // larger than the window: stays 1
        {{10, 10, 15, 15}, 16, {12, 12}},         // never above 16
        {{50, 50, 10, 10}, 7, {30, 30}},          // reversed corners are put in order
    };
    for (const Case& c : cases) {
        ViewFixture f;
        f.view.ZoomToRect(c.rect);
        EXPECT_EQ(f.view.Zoom(), c.zoom);
        EXPECT_EQ(f.view.Centre(), c.centre);
    }
}

TEST(EditorViewZoom, SetZoomSizesPagesAndLines) {
    ViewFixture f({500, 400});
    // The first range uses the framework's defaults.
    EXPECT_EQ(f.host.geometry.total, (Size{1200, 1200}));
    EXPECT_EQ(f.host.geometry.page, (Size{120, 120}));
    EXPECT_EQ(f.host.geometry.line, (Size{12, 12}));
    f.view.SetZoom(2);
    EXPECT_EQ(f.host.geometry.total, (Size{2400, 2400}));
    EXPECT_EQ(f.host.geometry.page, (Size{400, 320}));
    EXPECT_EQ(f.host.geometry.line, (Size{40, 32}));
    f.view.SetZoom(0);
    EXPECT_EQ(f.view.Zoom(), 1);
}

// ---- centring ----

TEST(EditorViewCentring, InitialUpdateCentresTheWorkArea) {
    ViewFixture f;
    EXPECT_EQ(f.view.Centre(), (Point{600, 600}));
    EXPECT_EQ(f.host.scroll, (Point{400, 450}));
    EXPECT_EQ(f.view.ScrollPosition(), f.host.scroll);
}

TEST(EditorViewCentring, ResizeKeepsTheMiddlePixel) {
    ViewFixture f;
    f.view.SetZoom(2);
    EXPECT_EQ(f.view.ScrollPosition(), (Point{1200 - 200, 1200 - 150}));
    f.host.client = {600, 500};
    f.view.OnSize();
    EXPECT_EQ(f.view.ScrollPosition(), (Point{1200 - 300, 1200 - 250}));
    EXPECT_EQ(f.host.scroll, f.view.ScrollPosition());
    EXPECT_EQ(f.view.WindowToFrame({300, 250}, false), (Point{600, 600}));
}

TEST(EditorViewCentring, ZoomAfterScrollCentresOnWhatIsInTheMiddleNow) {
    ViewFixture f;
    f.view.SetZoom(2);
    f.view.OnScroll({100, 200});
    EXPECT_EQ(f.view.Centre(), (Point{(100 + 200) / 2, (200 + 150) / 2}));
    ASSERT_TRUE(f.view.ExecuteCommand(CommandId::ZoomIn));
    EXPECT_EQ(f.view.ScrollPosition(), (Point{150 * 4 - 200, 175 * 4 - 150}));
}

TEST(EditorViewCentring, ScrollStaysInsideTheRange) {
    ViewFixture f;
    f.view.SetZoom(2);
    f.view.OnScroll({-40, 99999});
    EXPECT_EQ(f.view.ScrollPosition(), (Point{0, 2400 - 300}));
    // Near the work area's corner the scroll position stops at 0.
    f.view.ZoomToRect({0, 0, 40, 30});
    EXPECT_EQ(f.view.Zoom(), 10);
    EXPECT_EQ(f.view.ScrollPosition(), (Point{0, 0}));
    // A window larger than the zoomed work area does not scroll at all.
    f.host.client = {1500, 1300};
    f.view.SetZoom(1);
    EXPECT_EQ(f.view.ScrollPosition(), (Point{0, 0}));
}

// ---- hit testing ----

TEST(EditorViewHitTest, HandlesAtZoomOneAndFourExcludeRightAndBottomEdges) {
    struct Case {
        int zoom;
        Point device;
        int handle;  // kNoHandle: the item itself or nothing, see hitsItem
        bool hitsItem;
    };
    // Item (100, 50) to (200, 100); at zoom 1 handle 1 covers x 92..98, y 42..48.
    const Case cases[] = {
        {1, {92, 42}, kHandleTopLeft, true},
        {1, {98, 48}, kHandleTopLeft, true},
        {1, {99, 48}, kNoHandle, false},
        {1, {98, 49}, kNoHandle, false},
        {1, {201, 101}, kHandleBottomRight, true},
        {1, {207, 107}, kHandleBottomRight, true},
        {1, {208, 107}, kNoHandle, false},
        {1, {150, 75}, kNoHandle, true},
        {4, {392, 192}, kHandleTopLeft, true},
        {4, {398, 198}, kHandleTopLeft, true},
        {4, {399, 198}, kNoHandle, false},
        {4, {801, 296}, kHandleRight, true},  // right middle: (801, 296) to (808, 303)
        {4, {807, 302}, kHandleRight, true},
        {4, {807, 303}, kNoHandle, false},
        {4, {400, 200}, kNoHandle, true},
    };
    for (const Case& c : cases) {
        ViewFixture f;
        CanvasItem* item = AddSolidItem(*f.view.CurrentFrame(), {100, 50, 200, 100}, 0x00FF0000);
        item->SetSelected(true);
        f.view.SetZoom(c.zoom);
        const Point scroll = f.view.ScrollPosition();
        f.view.OnPointerMove({c.device.x - scroll.x, c.device.y - scroll.y}, {});
        EXPECT_EQ(f.view.Hot().handle, c.handle) << "zoom " << c.zoom << " at " << c.device.x << "," << c.device.y;
        EXPECT_EQ(f.view.Hot().item, c.hitsItem ? item : nullptr)
            << "zoom " << c.zoom << " at " << c.device.x << "," << c.device.y;
        EXPECT_EQ(f.host.cursor, c.handle != kNoHandle ? CursorRole::Handle : CursorRole::Select);
    }
}

TEST(EditorViewHitTest, HandlesOfUnselectedItemsAreNotHit) {
    ViewFixture f;
    AddSolidItem(*f.view.CurrentFrame(), {100, 50, 200, 100}, 0x00FF0000);
    const HitResult hit = f.view.HitTestAt(f.view.MapPointer({92 - 400, 42 - 450}, false));
    EXPECT_EQ(hit.item, nullptr);
}

TEST(EditorViewHitTest, TopmostItemWins) {
    ViewFixture f;
    AnimFrame& frame = *f.view.CurrentFrame();
    CanvasItem* lower = AddSolidItem(frame, {100, 100, 200, 200}, 0x00FF0000);
    CanvasItem* upper = AddSolidItem(frame, {150, 150, 250, 250}, 0x0000FF00);
    EXPECT_EQ(f.view.HitTestAt(PointerState::AtWorkArea(160, 160, 1)).item, upper);
    EXPECT_EQ(f.view.HitTestAt(PointerState::AtWorkArea(110, 110, 1)).item, lower);
    // A handle of the selected lower item beats the upper item's body.
    lower->SetSelected(true);
    EXPECT_EQ(f.view.HitTestAt(PointerState::AtWorkArea(202, 202, 1)).handle, kHandleBottomRight);
}

// ---- frames ----

TEST(EditorViewFrames, FirstFrameShownIsTheFirstThatIsNotAMaster) {
    struct Case {
        std::vector<bool> masters;
        std::ptrdiff_t shown;
    };
    const Case cases[] = {
        {{false, false, false}, 0},
        {{true, true, false}, 2},
        {{true, false, true}, 1},
        {{true, true, true}, 2},  // only masters: the last one
    };
    for (const Case& c : cases) {
        ViewFixture f({400, 300}, static_cast<int>(c.masters.size()), c.masters);
        EXPECT_EQ(f.view.GetAnimation().IndexOf(f.view.CurrentFrame()), c.shown);
    }
}

TEST(EditorViewFrames, NavigationFollowsTheEnableRules) {
    ViewFixture f({400, 300}, 3);
    const Animation& animation = f.view.GetAnimation();
    auto at = [&] { return animation.IndexOf(f.view.CurrentFrame()); };
    EXPECT_FALSE(Enabled(f.view, CommandId::FirstFrame));
    EXPECT_FALSE(Enabled(f.view, CommandId::PreviousFrame));
    EXPECT_TRUE(Enabled(f.view, CommandId::NextFrame));
    EXPECT_TRUE(Enabled(f.view, CommandId::LastFrame));

    ASSERT_TRUE(f.view.ExecuteCommand(CommandId::NextFrame));
    EXPECT_EQ(at(), 1);
    ASSERT_TRUE(f.view.ExecuteCommand(CommandId::LastFrame));
    EXPECT_EQ(at(), 2);
    EXPECT_FALSE(Enabled(f.view, CommandId::NextFrame));
    EXPECT_FALSE(Enabled(f.view, CommandId::LastFrame));
    EXPECT_FALSE(f.view.ExecuteCommand(CommandId::NextFrame));
    EXPECT_EQ(at(), 2);
    ASSERT_TRUE(f.view.ExecuteCommand(CommandId::PreviousFrame));
    EXPECT_EQ(at(), 1);
    ASSERT_TRUE(f.view.ExecuteCommand(CommandId::FirstFrame));
    EXPECT_EQ(at(), 0);
}

TEST(EditorViewFrames, ShowingAnotherFrameClearsTheOldSelection) {
    ViewFixture f({400, 300}, 2);
    AnimFrame* first = f.view.CurrentFrame();
    CanvasItem* item = AddSolidItem(*first, {100, 50, 200, 100}, 0x00FF0000);
    item->SetSelected(true);
    f.host.invalidated.clear();
    const int redraws = f.host.redraws;
    ASSERT_TRUE(f.view.ExecuteCommand(CommandId::NextFrame));
    EXPECT_FALSE(item->IsSelected());
    EXPECT_EQ(f.host.invalidated.size(), 8u);  // its eight handles
    EXPECT_EQ(f.host.redraws, redraws + 1);
    EXPECT_EQ(f.view.CurrentFrame(), f.view.GetAnimation().NextFrame(first));
}

// ---- tools ----

TEST(EditorViewTools, ExactlyOneToolIsChecked) {
    ViewFixture f;
    const CommandId tools[] = {CommandId::ToolSelect, CommandId::ToolZoom, CommandId::ToolDrawBitmap,
                               CommandId::ToolCrop, CommandId::ToolRectangle, CommandId::ToolEllipse,
                               CommandId::ToolPen, CommandId::ToolText, CommandId::ToolPick,
                               CommandId::ToolFill};
    auto checkedCount = [&] {
        int n = 0;
        for (const CommandId id : tools) {
            CommandUi ui;
            f.view.UpdateCommand(id, ui);
            n += ui.checked ? 1 : 0;
        }
        return n;
    };
    EXPECT_EQ(f.view.CurrentTool(), CommandId::ToolSelect);
    EXPECT_EQ(checkedCount(), 1);
    ASSERT_TRUE(f.view.ExecuteCommand(CommandId::ToolZoom));
    EXPECT_EQ(f.view.CurrentTool(), CommandId::ToolZoom);
    EXPECT_EQ(checkedCount(), 1);
    ASSERT_TRUE(f.view.ExecuteCommand(CommandId::ToolPen));
    EXPECT_EQ(f.view.CurrentTool(), CommandId::ToolPen);
    EXPECT_EQ(checkedCount(), 1);
}

TEST(EditorViewTools, ZoomToolModesAndCursors) {
    struct Case {
        int zoom;
        Modifiers modifiers;
        CursorRole hover;
        int zoomAfterClick;
    };
    const Case cases[] = {
        {1, {}, CursorRole::ZoomIn, 2},
        {16, {}, CursorRole::ZoomIn, 32},
        {32, {}, CursorRole::ZoomRefused, 32},
        {1, {false, true}, CursorRole::ZoomRefused, 1},  // Ctrl-click at zoom 1 does nothing
        {4, {false, true}, CursorRole::ZoomOut, 2},
        {4, {true, false}, CursorRole::ZoomShift, 1},
        {1, {true, false}, CursorRole::ZoomShift, 1},
    };
    for (const Case& c : cases) {
        ViewFixture f;
        f.view.ExecuteCommand(CommandId::ToolZoom);
        f.view.SetZoom(c.zoom);
        f.view.OnPointerMove({200, 150}, c.modifiers);
        EXPECT_EQ(f.host.cursor, c.hover) << "zoom " << c.zoom;
        f.view.OnPrimaryDown({200, 150}, c.modifiers);
        f.view.OnPrimaryUp({200, 150});
        EXPECT_EQ(f.view.Zoom(), c.zoomAfterClick) << "zoom " << c.zoom;
    }
}

TEST(EditorViewTools, ZoomToolDragZoomsToTheRectangle) {
    // A drag of 40 x 30 frame pixels in a 400 x 300 window gives zoom 10.
    ViewFixture f;
    f.view.ExecuteCommand(CommandId::ToolZoom);
    f.view.OnScroll({0, 0});
    f.view.OnPrimaryDown({100, 100}, {});
    f.view.OnPointerMove({120, 115}, {});
    f.view.OnPointerMove({140, 130}, {});
    f.view.OnPrimaryUp({140, 130});
    EXPECT_EQ(f.view.Zoom(), 10);
    EXPECT_EQ(f.view.Centre(), (Point{120, 115}));
    // Every band drawn was erased again.
    EXPECT_EQ(f.host.bands.size() % 2, 0u);

    // A drag of 3 x 40 pixels doubles the zoom around the release point.
    ViewFixture g;
    g.view.ExecuteCommand(CommandId::ToolZoom);
    g.view.OnScroll({0, 0});
    g.view.OnPrimaryDown({100, 100}, {});
    g.view.OnPointerMove({103, 140}, {});
    g.view.OnPrimaryUp({103, 140});
    EXPECT_EQ(g.view.Zoom(), 2);
    EXPECT_EQ(g.view.Centre(), (Point{103, 140}));
}

TEST(EditorViewTools, SecondaryButtonWithZoomToolRestoresOneToOne) {
    ViewFixture f;
    f.view.ExecuteCommand(CommandId::ToolZoom);
    f.view.SetZoom(8);
    f.view.OnSecondaryDown({10, 10}, {});
    EXPECT_EQ(f.view.Zoom(), 1);
}

}  // namespace
}  // namespace vantrel
