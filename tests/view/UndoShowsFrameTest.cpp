// Undo and Redo show the frame their step changes before anything else:
// no change happens on a frame out of sight.

#include <gtest/gtest.h>

#include "edit/FrameCommands.h"
#include "edit/ItemCommands.h"
#include "ViewTestUtil.h"
#include "view/EditorView.h"

namespace vantrel {
namespace {

using C = CommandId;

struct Fixture {
    explicit Fixture(int frames) : doc(test::DocWithFrames(frames)), view(*doc, host) { view.OnInitialUpdate(); }
    AnimFrame* Frame(std::size_t i) const { return doc->GetAnimation().Frames()[i].get(); }
    void Show(std::size_t i) { view.ShowFrame(Frame(i)); }
    std::unique_ptr<CQVDoc> doc;
    test::RecordingHost host;
    EditorView view;
};

TEST(UndoShowsTheFrame, AnItemChangeOnAnotherFrameIsShownForUndoAndRedo) {
    Fixture f(4);
    AnimFrame* third = f.Frame(2);
    const Rect c = third->Canvas();
    ASSERT_TRUE(f.doc->Execute(std::make_unique<AddItemCommand>(
        "Paste", third->Uid(), test::SolidItem({c.left, c.top, c.left + 8, c.top + 8}, 0x00112233))));
    f.Show(0);
    ASSERT_TRUE(f.view.ExecuteCommand(C::EditUndo));
    EXPECT_EQ(f.view.CurrentFrame(), third);
    EXPECT_TRUE(third->IsEmpty());
    f.Show(3);
    ASSERT_TRUE(f.view.ExecuteCommand(C::EditRedo));
    EXPECT_EQ(f.view.CurrentFrame(), third);
    EXPECT_FALSE(third->IsEmpty());
}

TEST(UndoShowsTheFrame, ASettingOfAnotherFrameIsShown) {
    Fixture f(3);
    AnimFrame* second = f.Frame(1);
    ASSERT_TRUE(f.doc->Execute(MakeFrameDurationCommand(second->Uid(), 40)));
    f.Show(2);
    ASSERT_TRUE(f.view.ExecuteCommand(C::EditUndo));
    EXPECT_EQ(f.view.CurrentFrame(), second);
    EXPECT_NE(second->duration, 40u);
}

TEST(UndoShowsTheFrame, ADeletedFrameComesBackShownAndAnUndoneInsertLeavesAFrameShown) {
    Fixture f(3);
    const ObjectUid middle = f.Frame(1)->Uid();
    ASSERT_TRUE(f.doc->Execute(std::make_unique<DeleteFrameCommand>("Delete Frame", middle)));
    f.Show(0);
    ASSERT_TRUE(f.view.ExecuteCommand(C::EditUndo));
    ASSERT_NE(f.view.CurrentFrame(), nullptr);
    EXPECT_EQ(f.view.CurrentFrame()->Uid(), middle);

    // The frame inserted after the last one goes again; a frame of the list stays shown.
    ASSERT_TRUE(f.doc->Execute(
        std::make_unique<InsertFrameCommand>("Insert Frame", f.Frame(2)->Uid(), InsertPlace::After)));
    f.Show(3);
    ASSERT_TRUE(f.view.ExecuteCommand(C::EditUndo));
    ASSERT_EQ(f.doc->GetAnimation().FrameCount(), 3u);
    EXPECT_GE(f.doc->GetAnimation().IndexOf(f.view.CurrentFrame()), 0);
}

TEST(UndoShowsTheFrame, AChangeOfTheWholeAnimationKeepsTheFrameShown) {
    Fixture f(3);
    ASSERT_TRUE(f.doc->Execute(std::make_unique<LoopCountCommand>("Loop Count", 7)));
    f.Show(1);
    ASSERT_TRUE(f.view.ExecuteCommand(C::EditUndo));
    EXPECT_EQ(f.view.CurrentFrame(), f.Frame(1));
    EXPECT_EQ(f.doc->GetAnimation().loopCount, 0u);
}

}  // namespace
}  // namespace vantrel
