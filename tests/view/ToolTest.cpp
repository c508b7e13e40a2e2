// The tools driven by pointer events through EditorView, without a display:
// each gesture must leave the document as a person expects and be one step
// of the history.

#include <gtest/gtest.h>

#include <initializer_list>

#include "ToolFixture.h"
#include "ViewTestUtil.h"
#include "document/LabelItem.h"
#include "view/EditorView.h"
#include "view/FramePainter.h"
#include "view/tools/ResizeGeometry.h"

namespace vantrel {
namespace {

using test::AddSolidItem;

using test::ToolFixture;

TEST(SelectTool, ShiftClickTogglesAndShiftDragStartsNoBand) {
    ToolFixture f;
    CanvasItem* a = AddSolidItem(f.Frame(), {100, 100, 150, 150}, 0);
    f.Click({120, 120}, {.shift = true});
    EXPECT_TRUE(a->IsSelected());
    f.Click({120, 120}, {.shift = true});
    EXPECT_FALSE(a->IsSelected());
    f.host.bands.clear();
    f.Drag({{10, 10}, {300, 300}}, {.shift = true});
    EXPECT_TRUE(f.host.bands.empty());
    EXPECT_EQ(f.Steps(), 0u);
}

TEST(SelectTool, AGroupMovesTogetherAsOneStepOnlyPastFourPixels) {
    ToolFixture f;
    CanvasItem* items[] = {AddSolidItem(f.Frame(), {100, 100, 150, 150}, 0),
                           AddSolidItem(f.Frame(), {200, 100, 250, 150}, 0),
                           AddSolidItem(f.Frame(), {300, 100, 350, 150}, 0)};
    f.Drag({{90, 90}, {400, 200}});  // rubber band around all three
    ASSERT_EQ(f.Frame().CountSelected(), 3);
    f.Drag({{120, 120}, {124, 116}});  // exactly 4 pixels: nothing moves
    EXPECT_EQ(items[0]->Bounds().left, 100);
    EXPECT_EQ(f.Steps(), 0u);
    f.Drag({{120, 120}, {125, 120}, {130, 125}, {140, 130}});
    for (int i = 0; i < 3; ++i) EXPECT_EQ(items[i]->Bounds().TopLeft(), (Point{100 * (i + 1) + 20, 110}));
    EXPECT_EQ(f.Steps(), 1u);
    EXPECT_EQ(f.doc->History().UndoLabel(), "Move");
    f.doc->History().Undo();
    EXPECT_EQ(items[2]->Bounds().TopLeft(), (Point{300, 100}));
}

// The view's painting, with the selection handles, over the work area's top-left corner.
PixelValue PaintedAt(const EditorView& view, Point p) {
    RasterPaintTarget target({0, 0, 400, 400});
    view.Paint(target);
    return target.PixelAtDevice(p.x, p.y);
}

TEST(SelectTool, TheHandlesAreHiddenOnlyWhileTheSelectionMoves) {
    ToolFixture f;
    CanvasItem* a = AddSolidItem(f.Frame(), {100, 100, 150, 150}, 0x00FF0000);
    f.view.Select(*a, true);
    const Point topLeftHandle{92, 92};  // handle 1 lies 8 pixels outside the corner
    ASSERT_EQ(PaintedAt(f.view, topLeftHandle), kOpaqueBlack);
    // Presses on the item and drags it, without letting go.
    const auto pressAndMove = [&f](std::initializer_list<Point> path) {
        f.view.OnPointerMove(*path.begin(), {});
        f.view.OnPrimaryDown(*path.begin(), {});
        for (auto it = path.begin() + 1; it != path.end(); ++it) f.view.OnPointerMove(*it, {});
    };
    pressAndMove({{120, 120}, {122, 120}});  // within the threshold: nothing moves yet
    EXPECT_EQ(PaintedAt(f.view, topLeftHandle), kOpaqueBlack);
    f.view.OnPointerMove({130, 120}, {});
    ASSERT_EQ(a->Bounds().left, 110);
    EXPECT_NE(PaintedAt(f.view, {102, 92}), kOpaqueBlack);  // the moved item's handle 1
    f.view.OnPrimaryUp({130, 120});
    EXPECT_EQ(PaintedAt(f.view, {102, 92}), kOpaqueBlack);
    // A move that is cancelled shows them again, and so does a change of tool
    // (the zoom tool keeps the selection).
    pressAndMove({{120, 120}, {140, 120}});
    ASSERT_EQ(a->Bounds().left, 130);
    EXPECT_NE(PaintedAt(f.view, {122, 92}), kOpaqueBlack);
    f.view.CancelDrag();
    EXPECT_EQ(PaintedAt(f.view, {122, 92}), kOpaqueBlack);
    pressAndMove({{140, 120}, {160, 120}});
    ASSERT_EQ(a->Bounds().left, 150);
    EXPECT_NE(PaintedAt(f.view, {142, 92}), kOpaqueBlack);
    f.Tool(CommandId::ToolZoom);
    EXPECT_EQ(f.view.Drag(), DragMode::None);
    EXPECT_EQ(PaintedAt(f.view, {142, 92}), kOpaqueBlack);
}

TEST(SelectTool, ItemsStopAtTheWorkAreaEdgeAndComeBackAtOnce) {
    ToolFixture f;
    CanvasItem* a = AddSolidItem(f.Frame(), {20, 20, 60, 60}, 0);
    f.view.OnPointerMove({30, 30}, {});
    f.view.OnPrimaryDown({30, 30}, {});
    f.view.OnPointerMove({10, 30}, {});
    f.view.OnPointerMove({-50, 30}, {});  // clamped to 0; the item stops at the edge
    EXPECT_EQ(a->Bounds().left, 0);
    f.view.OnPointerMove({5, 30}, {});  // 5 pixels back: the item follows at once
    EXPECT_EQ(a->Bounds().left, 5);
    f.view.OnPrimaryUp({5, 30});
    EXPECT_EQ(f.Steps(), 1u);
}

TEST(SelectTool, RubberBandDraggedUpLeftSelectsWhatLiesInside) {
    ToolFixture f;
    CanvasItem* inside = AddSolidItem(f.Frame(), {20, 20, 40, 40}, 0);
    CanvasItem* across = AddSolidItem(f.Frame(), {30, 55, 60, 70}, 0);
    f.Drag({{50, 50}, {30, 30}, {10, 10}});
    EXPECT_TRUE(inside->IsSelected());
    EXPECT_FALSE(across->IsSelected());
}

TEST(SelectTool, TheTopLeftHandleKeepsTheProportionsAnchoredAtTheOppositeCorner) {
    ToolFixture f;
    CanvasItem* a = AddSolidItem(f.Frame(), {200, 200, 300, 250}, 0);
    f.Click({250, 225});
    ASSERT_TRUE(a->IsSelected());
    // The top-left handle lies 1 to 7 pixels outside the corner.
    f.Drag({{196, 196}, {220, 170}});
    EXPECT_EQ(a->Bounds(), (Rect{220, 210, 300, 250}));
    EXPECT_EQ(f.doc->History().UndoLabel(), "Resize");
}

TEST(SelectTool, HandlesResampleBitmapsTheWayImageSizeLastChose) {
    for (const ResampleMode mode : {ResampleMode::Sharp, ResampleMode::Smooth}) {
        ToolFixture f;
        CanvasItem* a = AddSolidItem(f.Frame(), {200, 200, 300, 250}, 0x00FFFFFF);
        const Rect leftHalf{0, 0, 50, 50};
        static_cast<BitmapItem*>(a)->EditImage().FillRect(0x000000FF, &leftHalf);
        PackedDib source;
        source.CopyFrom(&a->Image());
        f.view.Settings().SetResizeResampling(mode);
        f.Click({250, 225});
        f.Drag({{196, 196}, {170, 150}});  // grows: the two ways differ where blue meets white
        const CanvasItem& resized = *f.Frame().Top();
        const Rect b = resized.Bounds();
        ASSERT_GT(b.Width(), 100);
        const std::optional<PackedDib> expected = Resampled(source, b.Width(), b.Height(), mode);
        const std::optional<PackedDib> other = Resampled(
            source, b.Width(), b.Height(), mode == ResampleMode::Sharp ? ResampleMode::Smooth : ResampleMode::Sharp);
        ASSERT_TRUE(expected && other);
        ASSERT_NE(test::PixelsOf(*expected), test::PixelsOf(*other));
        EXPECT_EQ(test::PixelsOf(resized.Image()), test::PixelsOf(*expected)) << ResampleTitle(mode);
    }
}

TEST(ResizeGeometry, HandlesTable) {
    const Rect start{200, 200, 300, 250};
    struct Case {
        int handle;
        Point to;
        Rect expected;
    } cases[] = {
        {kHandleTopLeft, {220, 170}, {220, 210, 300, 250}},     // 80 x 80 box gives 80 x 40
        {kHandleBottomRight, {400, 260}, {200, 200, 320, 260}},  // limited by the height
        {kHandleRight, {150, 230}, {200, 200, 150, 250}},        // past the opposite edge
        {kHandleTopLeft, {300, 250}, {300, 250, 300, 250}},      // onto the opposite corner: no division by 0
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResizeByHandle(start, c.handle, c.to, start, 2.0), c.expected) << c.handle;
    }
    EXPECT_EQ(FinishResize({200, 200, 150, 250}), (Rect{150, 200, 200, 250}));
    EXPECT_EQ(FinishResize({300, 250, 300, 250}), (Rect{300, 250, 301, 251}));
    // Crop: the left edge dragged past the right one stops one pixel short.
    EXPECT_EQ(CropByHandle(start, kHandleLeft, {350, 0}, start), (Rect{299, 200, 300, 250}));
    EXPECT_EQ(CropByHandle(start, kHandleBottomRight, {500, 500}, start), start);
}

TEST(CropTool, CutsTheBitmapToTheDraggedRectangleAndAnUnchangedOneCropsNothing) {
    ToolFixture f;
    CanvasItem* a = AddSolidItem(f.Frame(), {100, 100, 200, 150}, 0x00FF0000);
    f.Tool(CommandId::ToolCrop);
    f.Click({150, 120});
    ASSERT_TRUE(a->IsSelected());
    f.Drag({{96, 125}, {96, 125}});  // the left handle, not moved
    EXPECT_EQ(f.Steps(), 0u);
    f.Drag({{96, 125}, {300, 125}});  // past the right edge
    EXPECT_EQ(a->Bounds(), (Rect{199, 100, 200, 150}));
    EXPECT_EQ(f.doc->History().UndoLabel(), "Crop");
}

TEST(PenTool, AFastStrokeIsOneStepAndSetsEveryPixelOfTheLine) {
    ToolFixture f;
    CanvasItem* a = AddSolidItem(f.Frame(), {0, 0, 20, 20}, 0x00FFFFFF);
    f.Tool(CommandId::ToolPen);
    f.Drag({{0, 0}, {10, 3}});
    int painted = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) painted += a->PixelAt({x, y}) == kOpaqueBlack ? 1 : 0;
    EXPECT_EQ(painted, 11);
    EXPECT_EQ(a->PixelAt({10, 3}), kOpaqueBlack);
    EXPECT_EQ(f.Steps(), 1u);
    EXPECT_TRUE(f.doc->IsModified());
    f.doc->History().Undo();
    EXPECT_EQ(f.Frame().Top()->PixelAt({10, 3}), 0x00FFFFFFu);
}

TEST(BitmapItemLine, EveryLineEndsExactlyOnItsEndPoint) {
    for (int n = 1; n <= 200; ++n) {
        for (int k : {1, 3, 7, n / 3, n}) {
            auto item = BitmapItem::FromImage(test::SolidImage(201, 201, 0x00FFFFFF));
            item->DrawLine(0, 0, n, k, kOpaqueBlack);
            ASSERT_EQ(item->PixelAt({n, k}), kOpaqueBlack) << n << "," << k;
        }
    }
}

TEST(FillTool, FillsOnlyTheRegionPressedOnAcrossADiagonalGap) {
    ToolFixture f;
    // Two white regions touching only at a corner: the diagonal does not connect them.
    PackedDib image = test::SolidImage(4, 4, kOpaqueBlack);
    image.Row(0)[0] = image.Row(0)[1] = image.Row(1)[0] = image.Row(1)[1] = kOpaqueWhite;  // bottom-up rows
    image.Row(2)[2] = image.Row(2)[3] = image.Row(3)[2] = image.Row(3)[3] = kOpaqueWhite;
    CanvasItem* a = f.Frame().AppendItem(BitmapItem::FromImage(std::move(image)));
    f.Tool(CommandId::ToolFill);
    f.view.SetForegroundColor(0x00FF0000);
    f.view.OnPointerMove({0, 0}, {});
    const PixelValue pressed = a->PixelAt({0, 0});
    ASSERT_EQ(pressed, kOpaqueWhite);
    f.Click({0, 0});
    int red = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) red += a->PixelAt({x, y}) == 0x00FF0000 ? 1 : 0;
    EXPECT_EQ(red, 4);
    EXPECT_EQ(f.Steps(), 1u);
    f.Click({0, 0});  // already the colour: no step
    EXPECT_EQ(f.Steps(), 1u);
}

TEST(DrawTools, ShapesAreMadeSelectedAndUndoneAsOneStep) {
    struct Case {
        CommandId tool;
        ItemKind kind;
        CommandId toolAfter;
    } cases[] = {{CommandId::ToolRectangle, ItemKind::Box, CommandId::ToolRectangle},
                 {CommandId::ToolEllipse, ItemKind::Ellipse, CommandId::ToolEllipse},
                 {CommandId::ToolDrawBitmap, ItemKind::Bitmap, CommandId::ToolSelect}};
    for (const Case& c : cases) {
        ToolFixture f;
        f.Tool(c.tool);
        f.Click({50, 50});  // no size: nothing made
        EXPECT_TRUE(f.Frame().IsEmpty());
        f.Tool(c.tool);
        f.Drag({{80, 60}, {40, 30}});
        ASSERT_EQ(f.Frame().CountItems(), 1);
        EXPECT_EQ(f.Frame().Top()->Kind(), c.kind);
        EXPECT_EQ(f.Frame().Top()->Bounds(), (Rect{40, 30, 80, 60}));
        EXPECT_TRUE(f.Frame().Top()->IsSelected());
        EXPECT_EQ(f.view.CurrentTool(), c.toolAfter);
        f.doc->History().Undo();
        EXPECT_TRUE(f.Frame().IsEmpty());
        EXPECT_FALSE(f.doc->IsModified());
    }
}

TEST(DrawTools, ATransparentBitmapBlendsWithWhatLiesBeneath) {
    ToolFixture f;
    f.view.SetBackgroundColor(0x80FF0000);
    f.Tool(CommandId::ToolDrawBitmap);
    f.Drag({{10, 10}, {30, 30}});
    ASSERT_EQ(f.Frame().CountItems(), 1);
    EXPECT_TRUE(f.Frame().Top()->BlendWithBeneath());
}

TEST(DrawTextTool, MakesALabelAtTheBaselineAndNothingForCancelOrEmptyText) {
    ToolFixture f;
    f.Tool(CommandId::ToolText);
    f.Click({300, 300});  // the scripted dialog cancels
    EXPECT_TRUE(f.Frame().IsEmpty());
    f.Tool(CommandId::ToolText);
    f.host.dialogs.text = "Hi";
    f.Click({300, 300});
    ASSERT_EQ(f.Frame().CountItems(), 1);
    const auto& label = static_cast<const LabelItem&>(*f.Frame().Top());
    EXPECT_EQ(label.Text(), "Hi");
    EXPECT_EQ(label.Position(), (Point{300, 300}));
    EXPECT_EQ(f.view.CurrentTool(), CommandId::ToolSelect);
    EXPECT_EQ(f.doc->History().UndoLabel(), "Draw Text");
}

TEST(PickTool, ShiftPicksTheBackgroundColour) {
    ToolFixture f;
    AddSolidItem(f.Frame(), {10, 10, 20, 20}, 0x80123456);
    f.Tool(CommandId::ToolPick);
    f.Click({15, 15});
    EXPECT_EQ(f.view.ForegroundColor(), 0x80123456u);
    f.Click({15, 15}, {.shift = true});
    EXPECT_EQ(f.view.BackgroundColor(), 0x80123456u);
    EXPECT_EQ(f.Steps(), 0u);
}

}  // namespace
}  // namespace vantrel
