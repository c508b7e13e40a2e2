// Effects on the items of a frame: one undo step for all, the pixels kept in
// place when the picture grows, other kinds left alone, refusals.

#include <gtest/gtest.h>

#include "../document/DocTestUtil.h"
#include "EditTestUtil.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/BoxItem.h"
#include "document/CQVDoc.h"
#include "edit/EffectCommands.h"

namespace vantrel {
namespace {

using test::SolidItem;

struct Doc {
    Doc() {
        AnimFrame& f = *doc.GetAnimation().FirstFrame();
        const Rect c = f.Canvas();
        red = f.AppendItem(SolidItem({c.left + 2, c.top + 2, c.left + 6, c.top + 5}, 0x00FF0000))->Uid();
        auto box = std::make_unique<BoxItem>();
        box->SetBounds({c.left + 10, c.top + 10, c.left + 20, c.top + 20});
        boxUid = f.AppendItem(std::move(box))->Uid();
        blue = f.AppendItem(SolidItem({c.left + 30, c.top + 2, c.left + 33, c.top + 4}, 0x000000FF))->Uid();
        doc.GetAnimation().RenderAll();
        doc.SetModifiedFlag(false);
    }
    AnimFrame& Frame() { return *doc.GetAnimation().FirstFrame(); }
    CQVDoc doc;
    ObjectUid red = 0;
    ObjectUid boxUid = 0;
    ObjectUid blue = 0;
};

TEST(EffectCommands, EveryPickedBitmapChangesInOneStepAndUndoGivesTheBytesBack) {
    Doc d;
    const test::Snapshot before = test::Take(d.doc);
    ASSERT_TRUE(ApplyEffectToItems(d.doc, d.Frame().Uid(), {d.red, d.boxUid, d.blue}, {.kind = EffectKind::Invert}));
    EXPECT_EQ(d.doc.History().UndoLabel(), "Invert");
    const std::vector<CanvasItem*> items = d.Frame().Items();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0]->Image().GetPixel(0, 0), 0x0000FFFFu);  // red inverted, in its place
    EXPECT_EQ(items[1]->Kind(), ItemKind::Box);                 // boxes are left alone
    EXPECT_EQ(items[2]->Image().GetPixel(0, 0), 0x00FFFF00u);
    const test::Snapshot after = test::Take(d.doc);
    d.doc.History().Undo();
    EXPECT_EQ(test::Take(d.doc), before);
    d.doc.History().Redo();
    EXPECT_EQ(test::Take(d.doc), after);
}

TEST(EffectCommands, WithConversionAShapeBecomesTheBitmapOfItsPictureInTheSameStep) {
    Doc d;
    const CanvasItem& box = *d.Frame().FindItemByUid(d.boxUid);
    const Rect bounds = box.Bounds();
    const PixelValue corner = box.Image().GetPixel(0, 0);
    ASSERT_TRUE(ApplyEffectToItems(d.doc, d.Frame().Uid(), {d.boxUid}, {.kind = EffectKind::Invert}, true));
    const CanvasItem& made = *d.Frame().Items()[1];
    EXPECT_EQ(made.Kind(), ItemKind::Bitmap);
    EXPECT_EQ(made.Bounds(), bounds);
    EXPECT_EQ(made.Image().GetPixel(0, 0), (corner & 0xFF000000) | (~corner & 0x00FFFFFF));
    d.doc.History().Undo();
    EXPECT_EQ(d.Frame().Items()[1]->Kind(), ItemKind::Box);
}

TEST(EffectCommands, AGrownPictureKeepsItsPixelsInPlace) {
    Doc d;
    const Rect old = d.Frame().FindItemByUid(d.red)->Bounds();
    ASSERT_TRUE(ApplyEffectToItems(d.doc, d.Frame().Uid(), {d.red},
                                   {.kind = EffectKind::Outline, .color = 0x0000FF00, .width = 2}));
    const CanvasItem& outlined = *d.Frame().Items()[0];
    EXPECT_EQ(outlined.Bounds(), old.Inflate(2, 2));
    const Point corner{old.left - d.Frame().Canvas().left, old.top - d.Frame().Canvas().top};
    EXPECT_EQ(d.Frame().Image().GetPixel(corner.x, corner.y), 0x00FF0000u);
    EXPECT_EQ(d.Frame().Image().GetPixel(corner.x - 1, corner.y - 1), 0x0000FF00u);
}

TEST(EffectCommands, RefusedWithoutBitmapsOrRoom) {
    Doc d;
    const test::Snapshot before = test::Take(d.doc);
    EXPECT_FALSE(ApplyEffectToItems(d.doc, d.Frame().Uid(), {d.boxUid}, {.kind = EffectKind::Grayscale}));
    EXPECT_FALSE(ApplyEffectToItems(d.doc, d.Frame().Uid(), {}, {.kind = EffectKind::Grayscale}));
    d.doc.limits.memoryBudget = MemoryOf(d.doc.GetAnimation()).Total();
    const Status refused = ApplyEffectToItems(d.doc, d.Frame().Uid(), {d.red},
                                              {.kind = EffectKind::DropShadow, .offset = {20, 20}, .softness = 5});
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.message().find("more than the limit"), std::string::npos);
    // A same-size effect fits where the old item was.
    EXPECT_TRUE(ApplyEffectToItems(d.doc, d.Frame().Uid(), {d.red}, {.kind = EffectKind::Grayscale}));
    d.doc.History().Undo();
    EXPECT_EQ(test::Take(d.doc), before);
}

}  // namespace
}  // namespace vantrel
