// The colour commands: each is one undoable step; undo gives back the file
// bytes and rendered frames exactly, redo the state after.

#include "edit/ColorCommands.h"

#include <gtest/gtest.h>

#include "EditTestUtil.h"
#include "document/BoxItem.h"
#include "document/EllipseItem.h"
#include "document/LabelItem.h"

namespace vantrel {
namespace {

using test::Snapshot;
using test::Take;

struct Fixture {
    std::unique_ptr<CQVDoc> doc = std::make_unique<CQVDoc>();
    ObjectUid first = 0, second = 0, label = 0, box = 0, ellipse = 0;

    // The first frame holds a label, a box and an ellipse; the second lies
    // over the first and holds a half-transparent item that blends.
    Fixture() {
        Animation& a = doc->GetAnimation();
        AnimFrame& f = *a.FirstFrame();
        const Rect c = f.Canvas();
        auto text = test::TextLabel("Hi", 20, {c.left + 4, c.top + 4});
        auto rect = std::make_unique<BoxItem>();
        rect->SetBounds({c.left + 60, c.top + 5, c.left + 120, c.top + 45});
        auto oval = std::make_unique<EllipseItem>();
        oval->SetBounds({c.left + 130, c.top + 5, c.left + 170, c.top + 45});
        label = text->Uid();
        box = rect->Uid();
        ellipse = oval->Uid();
        f.AppendItem(std::move(text));
        f.AppendItem(std::move(rect));
        f.AppendItem(std::move(oval));
        AnimFrame* s = a.AppendFrame();
        s->SetBackgroundFrame(&f);
        s->AppendItem(test::SolidItem({c.left + 50, c.top, c.left + 140, c.top + 30}, 0x80FFFF00, true));
        first = f.Uid();
        second = s->Uid();
        a.RenderAll();
        doc->SetModifiedFlag(false);
    }
};

TEST(ColorCommands, EachChangeUndoesToTheBytesAndFramesAndRedoes) {
    using Make = std::unique_ptr<Command> (*)(const Fixture&);
    const Make makers[] = {
        [](const Fixture& f) { return MakeItemColorCommand(f.first, f.label, ItemColorRole::Text, 0x400000FF); },
        [](const Fixture& f) { return MakeItemColorCommand(f.first, f.box, ItemColorRole::Line, 0x00FF0000); },
        [](const Fixture& f) { return MakeItemColorCommand(f.first, f.box, ItemColorRole::Fill, 0x8000FF00); },
        [](const Fixture& f) { return MakeItemColorCommand(f.first, f.ellipse, ItemColorRole::Shape, 0x00FF8000); },
        [](const Fixture& f) -> std::unique_ptr<Command> {
            return std::make_unique<SetFrameBackgroundCommand>(f.first, 0x00102030);
        },
        [](const Fixture& f) -> std::unique_ptr<Command> {  // drops the background frame
            return std::make_unique<SetFrameBackgroundCommand>(f.second, kOpaqueWhite);
        },
    };
    for (std::size_t k = 0; k < std::size(makers); ++k) {
        Fixture f;
        const Snapshot before = Take(*f.doc);
        ASSERT_TRUE(f.doc->Execute(makers[k](f))) << k;
        const Snapshot after = Take(*f.doc);
        EXPECT_NE(before.bytes, after.bytes) << k;
        // The second frame shows the first beneath it, so every change shows there too.
        EXPECT_NE(before.frames[1], after.frames[1]) << k;
        EXPECT_TRUE(f.doc->IsModified()) << k;
        f.doc->History().Undo();
        EXPECT_EQ(Take(*f.doc), before) << k;
        EXPECT_FALSE(f.doc->IsModified()) << k;
        f.doc->History().Redo();
        EXPECT_EQ(Take(*f.doc), after) << k;
    }
}

TEST(ColorCommands, ReachTheRightColourAndTheFrameLosesItsBackgroundFrame) {
    Fixture f;
    AnimFrame& first = *f.doc->GetAnimation().FindFrameByUid(f.first);
    AnimFrame& second = *f.doc->GetAnimation().FindFrameByUid(f.second);
    ASSERT_TRUE(f.doc->Execute(MakeItemColorCommand(f.first, f.box, ItemColorRole::Fill, 0x8000FF00)));
    const CanvasItem& box = *first.FindItemByUid(f.box);
    EXPECT_EQ(ItemColor(box, ItemColorRole::Fill), 0x8000FF00u);
    EXPECT_EQ(ItemColor(box, ItemColorRole::Line), kOpaqueBlack);
    EXPECT_EQ(f.doc->History().UndoLabel(), "Fill Color");

    ASSERT_TRUE(f.doc->Execute(std::make_unique<SetFrameBackgroundCommand>(f.second, 0x00102030)));
    EXPECT_EQ(second.backgroundColor, 0x00102030u);
    EXPECT_EQ(second.BackgroundFrame(), nullptr);
    EXPECT_EQ(second.Image().GetPixel(second.Image().Width() - 1, 0), 0x00102030u);
    f.doc->History().Undo();
    EXPECT_EQ(second.BackgroundFrame(), &first);
    EXPECT_EQ(second.backgroundColor, kOpaqueWhite);
}

TEST(ColorCommands, NothingToChangeLeavesTheHistoryAlone) {
    Fixture f;
    // The colour it has already, a role the item lacks, an item that is gone,
    // and a frame already without background frame and with that colour.
    EXPECT_FALSE(f.doc->Execute(MakeItemColorCommand(f.first, f.label, ItemColorRole::Text, kOpaqueBlack)));
    EXPECT_FALSE(f.doc->Execute(MakeItemColorCommand(f.first, f.box, ItemColorRole::Text, 0x00FF0000)));
    EXPECT_FALSE(f.doc->Execute(MakeItemColorCommand(f.first, f.ellipse, ItemColorRole::Fill, 0x00FF0000)));
    EXPECT_FALSE(f.doc->Execute(MakeItemColorCommand(f.first, 0xFFFFFF, ItemColorRole::Line, 0x00FF0000)));
    EXPECT_FALSE(f.doc->Execute(std::make_unique<SetFrameBackgroundCommand>(f.first, kOpaqueWhite)));
    EXPECT_FALSE(f.doc->History().CanUndo());
    EXPECT_FALSE(f.doc->IsModified());
}

TEST(ColorCommands, RolesFollowTheItemKinds) {
    EXPECT_EQ(ForegroundRoleOf(ItemKind::Label), ItemColorRole::Text);
    EXPECT_EQ(ForegroundRoleOf(ItemKind::Box), ItemColorRole::Line);
    EXPECT_EQ(ForegroundRoleOf(ItemKind::Ellipse), ItemColorRole::Shape);
    EXPECT_EQ(ForegroundRoleOf(ItemKind::Bitmap), std::nullopt);
    EXPECT_EQ(BackgroundRoleOf(ItemKind::Box), ItemColorRole::Fill);
    EXPECT_EQ(BackgroundRoleOf(ItemKind::Label), std::nullopt);
    EXPECT_EQ(BackgroundRoleOf(ItemKind::Ellipse), std::nullopt);
}

}  // namespace
}  // namespace vantrel
