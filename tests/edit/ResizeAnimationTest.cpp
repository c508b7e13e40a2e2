#include "edit/ResizeAnimation.h"

#include <gtest/gtest.h>

#include "EditTestUtil.h"
#include "document/BoxItem.h"
#include "document/EllipseItem.h"

namespace vantrel {
namespace {

using test::PixelsOf;
using test::SolidItem;
using test::Take;
using test::TextLabel;

TEST(ResizeAnimationSizes, PercentagesAndWidthsRoundToNearestAndKeepOnePixel) {
    struct Case {
        AnimationSize from;
        int percent;
        AnimationSize to;
    };
    const Case percents[] = {{{200, 100}, 50, {100, 50}}, {{3, 3}, 50, {2, 2}},     {{10, 10}, 1, {1, 1}},
                             {{120, 90}, 250, {300, 225}}, {{7, 5}, 110, {8, 6}}};
    for (const Case& c : percents)
        EXPECT_EQ(ScaledCanvas(c.from, c.percent), c.to) << c.from.width << "x" << c.from.height << " " << c.percent;
    EXPECT_EQ(CanvasAtWidth({200, 100}, 150), (AnimationSize{150, 75}));
    EXPECT_EQ(CanvasAtWidth({3, 7}, 2), (AnimationSize{2, 5}));  // 4.67 -> 5
    EXPECT_EQ(CanvasAtWidth({300, 2}, 100), (AnimationSize{100, 1}));  // 0.67 -> 1
}

// A 200 x 100 canvas: a bitmap, a box, an ellipse in the first frame and
// a label in the second.
struct Scene {
    Scene() {
        Animation& a = doc.GetAnimation();
        a.SetSize(200, 100);
        const Rect c = a.Canvas();
        AnimFrame& first = *a.FirstFrame();
        auto bitmap = SolidItem({c.left + 10, c.top + 20, c.left + 50, c.top + 40}, 0x00808080);
        const Rect leftHalf{0, 0, 20, 20};
        bitmap->EditImage().FillRect(0x00FF0000, &leftHalf);
        bitmapUid = first.AppendItem(std::move(bitmap))->Uid();
        auto box = std::make_unique<BoxItem>();
        box->SetBounds({c.left + 100, c.top, c.right, c.bottom});
        boxUid = first.AppendItem(std::move(box))->Uid();
        auto ellipse = std::make_unique<EllipseItem>();
        ellipse->SetBounds({c.left + 60, c.top + 10, c.left + 91, c.top + 61});
        ellipseUid = first.AppendItem(std::move(ellipse))->Uid();
        AnimFrame& second = *a.AppendFrame();
        labelUid = second.AppendItem(TextLabel("Sale", 24, {c.left + 40, c.top + 50}))->Uid();
        a.RenderAll();
        doc.SetModifiedFlag(false);
    }
    CanvasItem& Item(std::size_t frame, ObjectUid uid) {
        return *doc.GetAnimation().Frames()[frame]->FindItemByUid(uid);
    }
    CQVDoc doc;
    ObjectUid bitmapUid = 0, boxUid = 0, ellipseUid = 0, labelUid = 0;
};

TEST(ResizeAnimation, ScalesCanvasAndItemsInOneStepThatUndoGivesBackByteForByte) {
    Scene s;
    const test::Snapshot before = Take(s.doc);
    const Rect oldLabel = s.Item(1, s.labelUid).Bounds();
    const Rect oldCanvas = s.doc.GetAnimation().Canvas();
    auto command = std::make_unique<ResizeAnimationCommand>("Resize Animation", AnimationSize{100, 50}, ResampleMode::Sharp);
    ASSERT_TRUE(command->Fits(s.doc).ok());
    ASSERT_TRUE(s.doc.Execute(std::move(command)));
    const Rect c = s.doc.GetAnimation().Canvas();
    EXPECT_EQ(c.Width(), 100);
    EXPECT_EQ(c.Height(), 50);
    // Bounds halve from the canvas's top-left corner.
    EXPECT_EQ(s.Item(0, s.bitmapUid).Bounds(), (Rect{c.left + 5, c.top + 10, c.left + 25, c.top + 20}));
    EXPECT_EQ(s.Item(0, s.boxUid).Bounds(), (Rect{c.left + 50, c.top, c.right, c.bottom}));
    // Its lines halve too (2 -> 1); its spaces stay at their one-pixel least.
    const BoxStyle& halved = static_cast<const BoxItem&>(s.Item(0, s.boxUid)).Style();
    EXPECT_EQ(halved.lineWidth, 1);
    EXPECT_EQ(halved.spaceWidth, 1);
    EXPECT_EQ(s.Item(0, s.ellipseUid).Bounds(), (Rect{c.left + 30, c.top + 5, c.left + 46, c.top + 31}));  // 45.5, 30.5 round up
    // The label is still a label, its font half as high, its corner on the halved place.
    const CanvasItem& label = s.Item(1, s.labelUid);
    ASSERT_EQ(label.Kind(), ItemKind::Label);
    EXPECT_EQ(static_cast<const LabelItem&>(label).Params().font.height, 12);
    EXPECT_EQ(label.Bounds().left, c.left + (oldLabel.left - oldCanvas.left + 1) / 2);
    EXPECT_NEAR(label.Bounds().top, c.top + (oldLabel.top - oldCanvas.top) / 2.0, 0.5);
    EXPECT_LT(label.Bounds().Height(), oldLabel.Height() * 3 / 4);
    // The bitmap's pixels: its left half red, its right half grey, at 10 x 10 each.
    const PackedDib& pixels = s.Item(0, s.bitmapUid).Image();
    EXPECT_EQ(pixels.GetPixel(9, 5) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(pixels.GetPixel(10, 5) & 0xFFFFFF, 0x808080u);

    const test::Snapshot after = Take(s.doc);
    EXPECT_NE(after, before);
    EXPECT_EQ(s.doc.History().StepCount(), 1u);
    EXPECT_EQ(s.doc.History().UndoLabel(), "Resize Animation");
    s.doc.History().Undo();
    EXPECT_EQ(Take(s.doc), before);
    s.doc.History().Redo();
    EXPECT_EQ(Take(s.doc), after);
    s.doc.History().Undo();
    EXPECT_EQ(Take(s.doc), before);
}

TEST(ResizeAnimation, BitmapsAreResampledTheChosenWay) {
    for (const ResampleMode mode : {ResampleMode::Sharp, ResampleMode::Smooth}) {
        Scene s;
        PackedDib source;
        source.CopyFrom(&s.Item(0, s.bitmapUid).Image());
        ASSERT_TRUE(s.doc.Execute(std::make_unique<ResizeAnimationCommand>("Resize Animation", AnimationSize{300, 150}, mode)));
        const CanvasItem& bitmap = s.Item(0, s.bitmapUid);
        ASSERT_EQ(bitmap.Bounds().Width(), 60);
        ASSERT_EQ(bitmap.Bounds().Height(), 30);
        const std::optional<PackedDib> expected = Resampled(source, 60, 30, mode);
        ASSERT_TRUE(expected.has_value());
        EXPECT_EQ(PixelsOf(bitmap.Image()), PixelsOf(*expected)) << ResampleTitle(mode);
        // One and a half times: box lines 2 -> 3, spaces 1 -> 1.5 -> 2.
        const BoxStyle& grown = static_cast<const BoxItem&>(s.Item(0, s.boxUid)).Style();
        EXPECT_EQ(grown.lineWidth, 3);
        EXPECT_EQ(grown.spaceWidth, 2);
    }
}

TEST(ResizeAnimation, NegativeFontHeightsKeepTheirSign) {
    CQVDoc doc;
    doc.GetAnimation().SetSize(100, 100);
    const Rect c = doc.GetAnimation().Canvas();
    auto label = TextLabel("Go", 20, {c.left + 4, c.top + 30});
    LabelParams params = label->Params();
    params.font.height = -20;
    ASSERT_TRUE(label->SetParams(params));
    const ObjectUid uid = doc.GetAnimation().FirstFrame()->AppendItem(std::move(label))->Uid();
    ASSERT_TRUE(doc.Execute(std::make_unique<ResizeAnimationCommand>("Resize Animation", AnimationSize{150, 150}, ResampleMode::Sharp)));
    const auto& scaled = static_cast<const LabelItem&>(*doc.GetAnimation().FirstFrame()->FindItemByUid(uid));
    EXPECT_EQ(scaled.Params().font.height, -30);
}

TEST(ResizeAnimation, RefusedWhenTheCanvasOrAnItemWouldPassItsLimitLeavingTheDocumentAlone) {
    Scene s;
    const test::Snapshot before = Take(s.doc);
    ResizeAnimationCommand tooWide("Resize Animation", ScaledCanvas({200, 100}, 700), ResampleMode::Smooth);
    const Status refused = tooWide.Fits(s.doc);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(), "The canvas would be 1400 x 700 pixels, more than the limit of 1200 x 1200.");
    EXPECT_FALSE(s.doc.Execute(std::make_unique<ResizeAnimationCommand>("Resize Animation", AnimationSize{1400, 700},
                                                                        ResampleMode::Smooth)));
    EXPECT_EQ(Take(s.doc), before);
    EXPECT_EQ(s.doc.History().StepCount(), 0u);

    // An item reaching far past the canvas would grow past the work area.
    AnimFrame& first = *s.doc.GetAnimation().FirstFrame();
    const Rect c = first.Canvas();
    first.AppendItem(SolidItem({c.left - 300, c.top, c.right + 300, c.top + 10}, 0x00112233));
    const Status item = ResizeAnimationCommand("Resize Animation", {400, 200}, ResampleMode::Sharp).Fits(s.doc);
    ASSERT_FALSE(item.ok());
    EXPECT_EQ(item.message(), "An item would be 1600 x 20 pixels, more than the work area of 1200 x 1200.");

    // A smaller memory limit refuses a growth the canvas rule allows.
    Scene small;
    small.doc.limits.memoryBudget = MemoryOf(small.doc.GetAnimation()).Total() * 2;
    EXPECT_FALSE(ResizeAnimationCommand("Resize Animation", {600, 300}, ResampleMode::Sharp).Fits(small.doc).ok());
    EXPECT_TRUE(ResizeAnimationCommand("Resize Animation", {220, 110}, ResampleMode::Sharp).Fits(small.doc).ok());
}

TEST(ResizeAnimation, TheSameSizeChangesNothing) {
    Scene s;
    EXPECT_FALSE(s.doc.Execute(std::make_unique<ResizeAnimationCommand>("Resize Animation", AnimationSize{200, 100},
                                                                        ResampleMode::Smooth)));
    EXPECT_EQ(s.doc.History().StepCount(), 0u);
}

}  // namespace
}  // namespace vantrel
