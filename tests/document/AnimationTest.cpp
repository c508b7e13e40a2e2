// The document, the animation and its frame list.

#include <gtest/gtest.h>

#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "document/DocTestUtil.h"

namespace vantrel {
namespace {

using test::SolidItem;

TEST(DocumentTest, NewDocumentHasOneWhiteFrameOnTheDefaultCanvas) {
    CQVDoc doc;
    const Animation& animation = doc.GetAnimation();
    ASSERT_EQ(animation.FrameCount(), 1u);
    EXPECT_EQ(animation.Canvas(), (Rect{366, 570, 834, 630}));
    EXPECT_EQ(animation.SizeRect(), (Rect{0, 0, 468, 60}));
    EXPECT_EQ(animation.loopCount, 0u);
    EXPECT_FALSE(animation.hasAnimationFile);
    EXPECT_FALSE(animation.isNative);
    const AnimFrame& frame = *animation.FirstFrame();
    EXPECT_EQ(frame.duration, 100u);
    EXPECT_EQ(frame.backgroundColor, 0x00FFFFFFu);
    EXPECT_EQ(frame.BackgroundFrame(), nullptr);
    EXPECT_EQ(frame.Image().GetPixel(0, 0), 0x00FFFFFFu);  // rendered, not the zeroed buffer
    EXPECT_EQ(frame.Image().GetPixel(467, 59), 0x00FFFFFFu);
    EXPECT_EQ(doc.defaultFont.height, 24);
    EXPECT_EQ(doc.defaultFont.FaceName(), "Arial");
    EXPECT_FALSE(doc.IsModified());
}

TEST(AnimationTest, CanvasIsCentredForEverySize) {
    struct Case {
        int width, height;
        Rect canvas;
    };
    const Case cases[] = {
        {468, 60, {366, 570, 834, 630}},
        {1200, 1200, {0, 0, 1200, 1200}},
        {1, 1, {599, 599, 600, 600}},
        {3, 2, {598, 599, 601, 601}},
    };
    Animation animation;
    for (const Case& c : cases) {
        animation.SetSize(c.width, c.height);
        EXPECT_EQ(animation.Canvas(), c.canvas) << c.width << " x " << c.height;
        EXPECT_EQ(animation.FirstFrame()->Image().Width(), c.width);
        EXPECT_EQ(animation.FirstFrame()->Image().Height(), c.height);
    }
}

TEST(AnimationTest, SetSizeKeepsItemsInPlaceAndRendersThem) {
    Animation animation;
    AnimFrame& frame = *animation.FirstFrame();
    frame.AppendItem(SolidItem({600, 600, 602, 601}, 0x00112233));
    animation.SetSize(10, 10);  // canvas (595, 595) to (605, 605)
    EXPECT_EQ(frame.Top()->Bounds(), (Rect{600, 600, 602, 601}));
    EXPECT_EQ(frame.Image().GetPixel(5, 5), 0x00112233u);
    EXPECT_EQ(frame.Image().GetPixel(6, 5), 0x00112233u);
    EXPECT_EQ(frame.Image().GetPixel(7, 5), 0x00FFFFFFu);
    EXPECT_EQ(frame.Image().GetPixel(5, 6), 0x00FFFFFFu);
}

TEST(AnimationTest, NewFramesCopyDurationColourAndBackgroundOfTheirModel) {
    Animation animation;
    AnimFrame* first = animation.FirstFrame();
    first->duration = 7;
    first->backgroundColor = 0x000000FF;
    AnimFrame* second = animation.AppendFrame();
    second->SetBackgroundFrame(first);
    second->duration = 9;
    AnimFrame* third = animation.AppendFrame();  // copies the last frame
    EXPECT_EQ(third->duration, 9u);
    EXPECT_EQ(third->backgroundColor, 0x000000FFu);
    EXPECT_EQ(third->BackgroundFrame(), first);
    EXPECT_EQ(third->Image().GetPixel(0, 0), 0x000000FFu);  // rendered from first's picture

    AnimFrame* head = animation.InsertFrame(first, true);
    EXPECT_EQ(animation.FirstFrame(), head);
    EXPECT_EQ(head->duration, 7u);
    AnimFrame* afterFirst = animation.InsertFrame(first, false);
    EXPECT_EQ(animation.IndexOf(afterFirst), 2);
    EXPECT_EQ(animation.FrameCount(), 5u);
    EXPECT_EQ(animation.LastFrame(), third);
    EXPECT_EQ(animation.PreviousFrame(head), head);
    EXPECT_EQ(animation.PreviousFrame(afterFirst), first);
    EXPECT_EQ(animation.NextFrame(third), nullptr);
}

TEST(AnimationTest, DeletingABackgroundFrameFreesTheFramesOnItAndRerendersThem) {
    Animation animation;
    AnimFrame* first = animation.FirstFrame();
    first->AppendItem(SolidItem(animation.Canvas(), 0x00FF0000));
    AnimFrame* second = animation.AppendFrame();
    AnimFrame* third = animation.AppendFrame();
    second->backgroundColor = 0x0000FF00;
    second->SetBackgroundFrame(first);
    third->SetBackgroundFrame(second);
    ASSERT_EQ(third->Image().GetPixel(3, 3), 0x00FF0000u);

    AnimFrame* current = animation.DeleteFrame(first);
    EXPECT_EQ(current, second);  // the one that followed
    EXPECT_EQ(animation.FrameCount(), 2u);
    EXPECT_EQ(second->BackgroundFrame(), nullptr);
    EXPECT_EQ(second->Image().GetPixel(3, 3), 0x0000FF00u);
    // third still lies on second, whose picture changed
    EXPECT_EQ(third->BackgroundFrame(), second);
    EXPECT_EQ(third->Image().GetPixel(3, 3), 0x0000FF00u);

    EXPECT_EQ(animation.DeleteFrame(third), second);  // the last: the one before
    EXPECT_EQ(animation.DeleteFrame(second), second);  // the only frame stays
    EXPECT_EQ(animation.FrameCount(), 1u);
}

TEST(AnimationTest, CountsFindsAndBoundsOfAllFrames) {
    Animation animation;
    AnimFrame* first = animation.FirstFrame();
    AnimFrame* second = animation.AppendFrame();
    AnimFrame* third = animation.AppendFrame();
    second->isMaster = true;
    second->savedId = 42;
    third->savedId = 42;
    EXPECT_EQ(animation.CountFrames(false), 2);
    EXPECT_EQ(animation.CountFrames(true), 1);
    EXPECT_EQ(animation.FindFrameById(42), second);
    EXPECT_EQ(animation.FindFrameById(7), nullptr);
    EXPECT_EQ(animation.FindFrameByUid(third->Uid()), third);
    EXPECT_NE(first->Uid(), second->Uid());

    EXPECT_TRUE(animation.ItemBoundsOfAll().IsEmpty());
    first->AppendItem(SolidItem({10, 20, 30, 40}, 0));
    third->AppendItem(SolidItem({100, 5, 110, 25}, 0));
    EXPECT_EQ(animation.ItemBoundsOfAll(), (Rect{10, 5, 110, 40}));
}

TEST(AnimationTest, AutoFrameSizeCentresTheItemsAndFitsTheCanvas) {
    Animation animation;
    AnimFrame* first = animation.FirstFrame();
    AnimFrame* second = animation.AppendFrame();

    animation.AutoFrameSize(first);  // no items: nothing happens
    EXPECT_EQ(animation.Canvas(), (Rect{366, 570, 834, 630}));

    first->AppendItem(SolidItem({10, 20, 31, 40}, 0x00000001));  // 21 x 20
    second->AppendItem(SolidItem({0, 0, 5, 5}, 0x00000002));
    animation.AutoFrameSize(first);
    // dx = (10 - 31 + 1200) / 2 - 10 = 579, dy = (20 - 40 + 1200) / 2 - 20 = 570
    EXPECT_EQ(first->Top()->Bounds(), (Rect{589, 590, 610, 610}));
    EXPECT_EQ(second->Top()->Bounds(), (Rect{579, 570, 584, 575}));  // every frame moves
    EXPECT_EQ(animation.Canvas(), CanvasRectFor(21, 20));
    EXPECT_EQ(animation.Canvas(), (Rect{589, 590, 610, 610}));
    EXPECT_EQ(first->Image().GetPixel(0, 0), 0x00000001u);

    animation.AutoFrameSize(nullptr);  // all frames: union (579, 570) to (610, 610)
    EXPECT_EQ(animation.Canvas().Width(), 31);
    EXPECT_EQ(animation.Canvas().Height(), 40);
}

}  // namespace
}  // namespace vantrel
