// Transitions and tweens: the frames they put between two frames, read back
// where it matters from the document's own file bytes, and undo giving back
// exactly the document there was.

#include <gtest/gtest.h>

#include <cmath>

#include "../document/DocTestUtil.h"
#include "EditTestUtil.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/BoxItem.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"
#include "document/EllipseItem.h"
#include "document/LabelItem.h"
#include "edit/InBetweenCommands.h"

namespace vantrel {
namespace {

using test::SolidItem;

// Two slides and a closing frame: a red and a blue slide with a few items.
std::unique_ptr<CQVDoc> TwoSlides() {
    auto doc = std::make_unique<CQVDoc>();
    Animation& a = doc->GetAnimation();
    a.SetSize(40, 20);
    AnimFrame& first = *a.FirstFrame();
    const Rect c = first.Canvas();
    first.duration = 30;
    first.AppendItem(SolidItem(c, 0x00CC2020));
    first.AppendItem(SolidItem({c.left + 3, c.top + 2, c.left + 9, c.top + 8}, 0x00FFFF00));
    AnimFrame* second = a.AppendFrame();
    second->AppendItem(SolidItem(c, 0x002040DD));
    second->AppendItem(SolidItem({c.left + 20, c.top + 5, c.left + 30, c.top + 15}, 0x0000FF00));
    a.AppendFrame();
    a.RenderAll();
    doc->SetModifiedFlag(false);
    return doc;
}

// The document as its file bytes read back into a new document.
std::unique_ptr<CQVDoc> Reopened(const CQVDoc& doc) {
    auto copy = std::make_unique<CQVDoc>();
    const auto bytes = DocumentBytes(doc);
    EXPECT_TRUE(bytes.has_value());
    EXPECT_TRUE(LoadDocumentBytes(*copy, *bytes));
    return copy;
}

TEST(TransitionCommand, PutsOneCanvasSizedPicturePerFrameBetweenTheTwoFrames) {
    for (const TransitionKind kind : kTransitionKinds) {
        auto doc = TwoSlides();
        Animation& a = doc->GetAnimation();
        const ObjectUid firstUid = a.FirstFrame()->Uid();
        const ObjectUid secondUid = a.Frames()[1]->Uid();
        PackedDib from;
        PackedDib to;
        from.CopyFrom(&a.FirstFrame()->Image());
        to.CopyFrom(&a.Frames()[1]->Image());

        ASSERT_TRUE(doc->Execute(std::make_unique<TransitionCommand>(firstUid, kind, 4, 12)));
        EXPECT_EQ(doc->History().UndoLabel(), TransitionTitle(kind));
        const auto reopened = Reopened(*doc);
        const Animation& r = reopened->GetAnimation();
        ASSERT_EQ(r.FrameCount(), 7u);
        for (int step = 1; step <= 4; ++step) {
            const AnimFrame& frame = *r.Frames()[std::size_t(step)];
            EXPECT_EQ(frame.duration, 12u);
            ASSERT_EQ(frame.CountItems(), 1);
            const CanvasItem& item = *frame.Bottom();
            EXPECT_EQ(item.Kind(), ItemKind::Bitmap);
            EXPECT_EQ(item.Bounds(), r.Canvas());
            PackedDib expected;
            ASSERT_TRUE(MakeTransitionPicture(from, to, kind, step, 4, expected));
            EXPECT_EQ(test::PixelsOf(item.Image()), test::PixelsOf(expected)) << TransitionTitle(kind) << " " << step;
            EXPECT_EQ(test::PixelsOf(frame.Image()), test::PixelsOf(expected)) << TransitionTitle(kind) << " " << step;
        }
        // The two frames it went between are where they were.
        EXPECT_EQ(a.Frames()[0]->Uid(), firstUid);
        EXPECT_EQ(a.Frames()[5]->Uid(), secondUid);
    }
}

TEST(InBetweenCommands, UndoGivesBackTheDocumentsBytesAndRedoTheSameFrames) {
    for (int which = 0; which < 2; ++which) {
        auto doc = TwoSlides();
        const ObjectUid first = doc->GetAnimation().FirstFrame()->Uid();
        const test::Snapshot before = test::Take(*doc);
        std::unique_ptr<InsertFramesCommand> command;
        if (which == 0)
            command = std::make_unique<TransitionCommand>(first, TransitionKind::Dissolve, 5, 10);
        else
            command = std::make_unique<TweenCommand>(first, 3, Easing::InOut);
        InsertFramesCommand& inserting = *command;
        ASSERT_TRUE(doc->Execute(std::move(command)));
        const test::Snapshot after = test::Take(*doc);
        const std::vector<ObjectUid> uids = inserting.FrameUids();
        EXPECT_NE(after, before);
        doc->History().Undo();
        EXPECT_EQ(test::Take(*doc), before);
        EXPECT_FALSE(doc->IsModified());
        EXPECT_GT(doc->History().MemoryBytes(), 0u);  // the frames are held
        doc->History().Redo();
        EXPECT_EQ(test::Take(*doc), after);
        for (std::size_t i = 0; i < uids.size(); ++i) EXPECT_EQ(doc->GetAnimation().Frames()[i + 1]->Uid(), uids[i]);
    }
}

TEST(InBetweenCommands, RefuseWhatTheDocumentCannotHoldAndTheLastFrame) {
    auto doc = TwoSlides();
    Animation& a = doc->GetAnimation();
    const test::Snapshot before = test::Take(*doc);
    doc->limits.memoryBudget = MemoryOf(a).Total() + FrameMemoryBytes(40, 20);  // room for one bare frame only
    TransitionCommand tooMany(a.FirstFrame()->Uid(), TransitionKind::Fade, 2, 10);
    const Status refusal = tooMany.Fits(*doc);
    EXPECT_FALSE(refusal);
    EXPECT_NE(refusal.message().find("more than the limit"), std::string::npos);
    EXPECT_FALSE(doc->Execute(std::make_unique<TransitionCommand>(a.FirstFrame()->Uid(), TransitionKind::Fade, 2, 10)));
    EXPECT_FALSE(doc->Execute(std::make_unique<TweenCommand>(a.FirstFrame()->Uid(), 60, Easing::Linear)));
    doc->limits.memoryBudget = kDocumentMemoryBudget;
    EXPECT_FALSE(TweenCommand(a.LastFrame()->Uid(), 2, Easing::Linear).Fits(*doc));
    EXPECT_FALSE(doc->Execute(std::make_unique<TweenCommand>(a.LastFrame()->Uid(), 2, Easing::Linear)));
    EXPECT_EQ(test::Take(*doc), before);
}

TEST(Easing, EveryCurveStartsAtZeroEndsAtOneAndNeverGoesBack) {
    for (const Easing e : {Easing::Linear, Easing::In, Easing::Out, Easing::InOut}) {
        EXPECT_DOUBLE_EQ(Ease(e, 0), 0) << EasingKeyword(e);
        EXPECT_DOUBLE_EQ(Ease(e, 1), 1) << EasingKeyword(e);
        EXPECT_EQ(EasingFromKeyword(EasingKeyword(e)), e);
        double last = 0;
        for (int i = 1; i <= 100; ++i) {
            const double now = Ease(e, i / 100.0);
            EXPECT_GE(now, last) << EasingKeyword(e) << " at " << i;
            last = now;
        }
    }
    // In starts slow, out starts fast, in-out is symmetric about the middle.
    EXPECT_LT(Ease(Easing::In, 0.25), 0.25);
    EXPECT_GT(Ease(Easing::Out, 0.25), 0.25);
    EXPECT_DOUBLE_EQ(Ease(Easing::InOut, 0.5), 0.5);
    EXPECT_DOUBLE_EQ(Ease(Easing::InOut, 0.2) + Ease(Easing::InOut, 0.8), 1.0);
}

// One item of each shape kind in two frames, on their way from one look to another.
std::unique_ptr<CQVDoc> ShapesOnTheirWay() {
    auto doc = std::make_unique<CQVDoc>();
    Animation& a = doc->GetAnimation();
    a.SetSize(200, 100);
    const Rect c = a.Canvas();
    AnimFrame& first = *a.FirstFrame();
    AnimFrame& second = *a.AppendFrame();
    auto box = [&](const Rect& r, PixelValue line, PixelValue fill) {
        auto item = std::make_unique<BoxItem>();
        BoxStyle style = item->Style();
        style.lineColor = line;
        style.fillColor = fill;
        item->SetStyle(style);
        item->SetBounds(r);
        return item;
    };
    auto ellipse = [&](const Rect& r, PixelValue color) {
        auto item = std::make_unique<EllipseItem>();
        item->SetColor(color);
        item->SetBounds(r);
        return item;
    };
    auto label = [&](Point anchor, PixelValue color) {
        auto item = std::make_unique<LabelItem>();
        EXPECT_TRUE(item->SetText("Sale"));
        EXPECT_TRUE(item->SetTextColor(color));
        item->MoveTo(anchor.x, anchor.y);
        return item;
    };
    first.AppendItem(box({c.left + 10, c.top + 10, c.left + 30, c.top + 20}, 0x00102030, 0x00FF8000));
    first.AppendItem(ellipse({c.left + 50, c.top + 50, c.left + 60, c.top + 60}, 0x00000000));
    first.AppendItem(label({c.left + 0, c.top + 40}, 0x00FFFFFF));
    second.AppendItem(box({c.left + 110, c.top + 30, c.left + 170, c.top + 90}, 0x40A0B0C0, 0x000080FF));
    second.AppendItem(ellipse({c.left + 70, c.top + 20, c.left + 100, c.top + 80}, 0x00FF0000));
    second.AppendItem(label({c.left + 120, c.top + 70}, 0x00000000));
    a.RenderAll();
    return doc;
}

TEST(TweenCommand, BoxesEllipsesAndLabelsGetTheInterpolatedRecords) {
    for (const Easing easing : {Easing::Linear, Easing::In}) {
        auto doc = ShapesOnTheirWay();
        Animation& a = doc->GetAnimation();
        const std::vector<CanvasItem*> from = a.Frames()[0]->Items();
        const std::vector<CanvasItem*> to = a.Frames()[1]->Items();
        const int steps = 3;
        ASSERT_TRUE(doc->Execute(std::make_unique<TweenCommand>(a.FirstFrame()->Uid(), steps, easing)));
        const auto reopened = Reopened(*doc);
        const Animation& r = reopened->GetAnimation();
        ASSERT_EQ(r.FrameCount(), 5u);
        for (int step = 1; step <= steps; ++step) {
            const double t = Ease(easing, double(step) / (steps + 1));
            auto mix = [t](int p, int q) { return int(std::lround(p + (q - p) * t)); };
            auto mixColor = [&](PixelValue p, PixelValue q) {
                return MakePixel(std::uint8_t(mix(RedOf(p), RedOf(q))), std::uint8_t(mix(GreenOf(p), GreenOf(q))),
                                 std::uint8_t(mix(BlueOf(p), BlueOf(q))),
                                 std::uint8_t(mix(TransparencyOf(p), TransparencyOf(q))));
            };
            auto mixRect = [&](const Rect& p, const Rect& q) {
                return Rect{mix(p.left, q.left), mix(p.top, q.top), mix(p.right, q.right), mix(p.bottom, q.bottom)};
            };
            const std::vector<CanvasItem*> items = r.Frames()[std::size_t(step)]->Items();
            ASSERT_EQ(items.size(), 3u);
            ASSERT_EQ(items[0]->Kind(), ItemKind::Box);
            const auto& box = static_cast<const BoxItem&>(*items[0]);
            const auto& boxA = static_cast<const BoxItem&>(*from[0]);
            const auto& boxB = static_cast<const BoxItem&>(*to[0]);
            EXPECT_EQ(box.Bounds(), mixRect(boxA.Bounds(), boxB.Bounds())) << step;
            EXPECT_EQ(box.Style().lineColor, mixColor(boxA.Style().lineColor, boxB.Style().lineColor)) << step;
            EXPECT_EQ(box.Style().fillColor, mixColor(boxA.Style().fillColor, boxB.Style().fillColor)) << step;
            EXPECT_EQ(box.Style().lineWidth, boxA.Style().lineWidth);

            ASSERT_EQ(items[1]->Kind(), ItemKind::Ellipse);
            const auto& ellipse = static_cast<const EllipseItem&>(*items[1]);
            EXPECT_EQ(ellipse.Bounds(), mixRect(from[1]->Bounds(), to[1]->Bounds())) << step;
            EXPECT_EQ(ellipse.Color(), mixColor(static_cast<const EllipseItem&>(*from[1]).Color(),
                                                static_cast<const EllipseItem&>(*to[1]).Color()));

            ASSERT_EQ(items[2]->Kind(), ItemKind::Label);
            const auto& label = static_cast<const LabelItem&>(*items[2]);
            EXPECT_EQ(label.Text(), "Sale");
            EXPECT_EQ(label.Position().x, mix(from[2]->Position().x, to[2]->Position().x)) << step;
            EXPECT_EQ(label.Position().y, mix(from[2]->Position().y, to[2]->Position().y)) << step;
            EXPECT_EQ(label.TextColor(), mixColor(0x00FFFFFF, 0x00000000)) << step;
            EXPECT_EQ(r.Frames()[std::size_t(step)]->duration, a.FirstFrame()->duration);
        }
    }
}

TEST(TweenCommand, AnItemInOneFrameOnlyFadesThroughItsTransparency) {
    auto doc = ShapesOnTheirWay();
    Animation& a = doc->GetAnimation();
    // The second frame loses its label: the first's fades out; and gains a
    // box on top, which fades in.
    AnimFrame& second = *a.Frames()[1];
    second.Unlink(second.Top());
    auto extra = std::make_unique<BoxItem>();
    extra->SetBounds({a.Canvas().left, a.Canvas().top, a.Canvas().left + 5, a.Canvas().top + 5});
    const BoxStyle extraStyle = extra->Style();
    second.AppendItem(std::move(extra));
    ASSERT_TRUE(doc->Execute(std::make_unique<TweenCommand>(a.FirstFrame()->Uid(), 1, Easing::Linear)));
    const auto reopened = Reopened(*doc);
    const std::vector<CanvasItem*> items = reopened->GetAnimation().Frames()[1]->Items();
    ASSERT_EQ(items.size(), 4u);
    ASSERT_EQ(items[2]->Kind(), ItemKind::Label);
    EXPECT_EQ(static_cast<const LabelItem&>(*items[2]).TextColor(), 0x80FFFFFFu);  // half way to gone
    ASSERT_EQ(items[3]->Kind(), ItemKind::Box);
    const BoxStyle& fading = static_cast<const BoxItem&>(*items[3]).Style();
    EXPECT_EQ(fading.lineColor, extraStyle.lineColor | 0x80000000);  // half way from gone
    EXPECT_EQ(fading.fillColor, extraStyle.fillColor | 0x80000000);
}

TEST(TweenCommand, ABitmapMovesAndAnUnmatchedOneFadesPixelByPixel) {
    auto doc = TwoSlides();
    Animation& a = doc->GetAnimation();
    const std::vector<CanvasItem*> from = a.Frames()[0]->Items();
    const std::vector<CanvasItem*> to = a.Frames()[1]->Items();
    ASSERT_TRUE(doc->Execute(std::make_unique<TweenCommand>(a.FirstFrame()->Uid(), 1, Easing::Linear)));
    const std::vector<CanvasItem*> items = a.Frames()[1]->Items();
    ASSERT_EQ(items.size(), 2u);
    // Small yellow square: same size, moved half way; pixels those of the first.
    EXPECT_EQ(items[1]->Bounds(), MixRect(from[1]->Bounds(), to[1]->Bounds(), 0.5));
    EXPECT_EQ(items[1]->Image().GetPixel(0, 0), 0x00FFFF00u);

    // Without its partner the yellow square fades: half way, half transparent, blending.
    auto lonely = TwoSlides();
    Animation& b = lonely->GetAnimation();
    b.Frames()[1]->Unlink(b.Frames()[1]->Top());
    ASSERT_TRUE(lonely->Execute(std::make_unique<TweenCommand>(b.FirstFrame()->Uid(), 1, Easing::Linear)));
    const std::vector<CanvasItem*> faded = b.Frames()[1]->Items();
    ASSERT_EQ(faded.size(), 2u);
    EXPECT_EQ(faded[1]->Image().GetPixel(2, 2), 0x80FFFF00u);
    EXPECT_TRUE(faded[1]->BlendWithBeneath());
    // MixRect rounds halves away from zero, like the formula.
    EXPECT_EQ(MixRect({0, 0, 1, 1}, {1, -1, 2, 4}, 0.5), (Rect{1, -1, 2, 3}));
    EXPECT_EQ(MixColor(0x00000000, 0xFF0000FF, 0.5), 0x80000080u);
}

}  // namespace
}  // namespace vantrel
