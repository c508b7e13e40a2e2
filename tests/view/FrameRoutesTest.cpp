// The frame commands as the editor view runs them: what they ask, what they
// show afterwards, and that each is one step of the history.

#include <gtest/gtest.h>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "support/TestPaths.h"
#include "ViewTestUtil.h"
#include "view/EditorView.h"

namespace vantrel {
namespace {

using C = CommandId;

struct Fixture {
    explicit Fixture(int frames) : doc(test::DocWithFrames(frames)), view(*doc, host) { view.OnInitialUpdate(); }
    Animation& A() { return doc->GetAnimation(); }
    bool Run(CommandId id) { return view.ExecuteCommand(id); }
    std::unique_ptr<CQVDoc> doc;
    test::RecordingHost host;
    EditorView view;
};

TEST(FrameRoutes, InsertedFramesAreShownAndUndoGoesBack) {
    Fixture f(2);
    AnimFrame* first = f.A().FirstFrame();
    ASSERT_TRUE(f.Run(C::InsertFrameBefore));
    EXPECT_EQ(f.A().FrameCount(), 3u);
    EXPECT_EQ(f.view.CurrentFrame(), f.A().FirstFrame());
    EXPECT_NE(f.view.CurrentFrame(), first);
    EXPECT_TRUE(f.doc->IsModified());
    // Previous stays disabled on the new first frame.
    CommandUi ui;
    f.view.UpdateCommand(C::PreviousFrame, ui);
    EXPECT_FALSE(ui.enabled);
    f.doc->History().Undo();
    EXPECT_EQ(f.A().FrameCount(), 2u);
    EXPECT_EQ(f.view.CurrentFrame(), first);

    ASSERT_TRUE(f.Run(C::InsertFrameAtEnd));
    EXPECT_EQ(f.view.CurrentFrame(), f.A().LastFrame());
    ASSERT_TRUE(f.Run(C::DuplicateFrame));
    EXPECT_EQ(f.A().FrameCount(), 4u);
    EXPECT_EQ(f.view.CurrentFrame(), f.A().LastFrame());
}

TEST(FrameRoutes, DeleteAsksOnlyForAFrameWithItemsAndShowsTheNeighbour) {
    Fixture f(3);
    AnimFrame* second = f.A().Frames()[1].get();
    AnimFrame* third = f.A().Frames()[2].get();
    f.view.ShowFrame(second);
    ASSERT_TRUE(f.Run(C::DeleteFrame));  // empty: no question
    EXPECT_TRUE(f.host.messages.empty());
    EXPECT_EQ(f.view.CurrentFrame(), third);

    test::AddSolidItem(*third, {600, 600, 610, 610}, 0);
    f.host.messageAnswer = MessageAnswer::No;
    f.Run(C::DeleteFrame);
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0], "Do you really want to delete this frame and all its contents?");
    EXPECT_EQ(f.A().FrameCount(), 2u);
    f.host.messageAnswer = MessageAnswer::Yes;
    ASSERT_TRUE(f.Run(C::DeleteFrame));
    EXPECT_EQ(f.A().FrameCount(), 1u);
    EXPECT_EQ(f.view.CurrentFrame(), f.A().FirstFrame());  // the last one deleted: the one before
}

TEST(FrameRoutes, DialogsDecideTheSettingsAndCancelChangesNothing) {
    Fixture f(2);
    AnimFrame* second = f.A().Frames()[1].get();
    f.view.ShowFrame(second);
    f.Run(C::FrameDuration);  // cancelled
    f.Run(C::LoopCount);
    f.Run(C::FrameSetup);
    EXPECT_EQ(f.doc->History().StepCount(), 0u);

    f.host.dialogs.duration = 7;
    f.host.dialogs.loopCount = 3;
    f.host.dialogs.setup = Size{200, 100};
    for (const CommandId id : {C::FrameDuration, C::LoopCount, C::FrameSetup})
        EXPECT_TRUE(f.Run(id)) << int(id);
    EXPECT_EQ(second->duration, 7u);
    EXPECT_EQ(f.A().loopCount, 3u);
    EXPECT_EQ(f.A().Width(), 200);
    EXPECT_EQ(f.doc->History().StepCount(), 3u);

    ASSERT_TRUE(f.Run(C::MasterFrame));
    EXPECT_TRUE(second->isMaster);
    f.host.dialogs.goTo = f.A().FirstFrame()->Uid();
    f.Run(C::GoToFrame);
    EXPECT_EQ(f.view.CurrentFrame(), f.A().FirstFrame());
    f.Run(C::PreviewAnimation);
    EXPECT_EQ(f.host.dialogs.previews, 1);
}

TEST(FrameRoutes, SaveAnimationAsksOnceThenSavesSilently) {
    Fixture f(2);
    const std::filesystem::path dir = test::ScratchDir("frame-routes-save");
    f.host.dialogs.savePath = dir / "banner";
    ASSERT_TRUE(f.Run(C::SaveAnimation));
    ASSERT_EQ(f.host.dialogs.pathTitles, (std::vector<std::string>{"Save Animation As"}));
    EXPECT_TRUE(std::filesystem::exists(dir / "banner.gif"));
    f.Run(C::SaveAnimation);
    f.Run(C::SaveAnimation);
    EXPECT_EQ(f.host.dialogs.pathTitles.size(), 1u);
    EXPECT_EQ(f.host.dialogs.optionsCurrentImages.size(), 3u);
    EXPECT_TRUE(f.host.messages.empty());
    // A write that fails says why.
    f.host.dialogs.savePath = dir / "no-such-folder" / "x.gif";
    f.Run(C::SaveAnimationAs);
    EXPECT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.A().animationPath, (dir / "banner.gif").string());  // the old file stays remembered
}

TEST(FrameRoutes, SaveOptionsShowTheImageOfTheCurrentFrame) {
    Fixture f(4);
    f.A().Frames()[1]->isMaster = true;  // writes no image: frame 3 makes image 2
    f.view.ShowFrame(f.A().Frames()[3].get());
    f.host.dialogs.savePath = test::ScratchDir("frame-routes-current") / "shown.gif";
    ASSERT_TRUE(f.Run(C::SaveAnimationAs));
    f.view.ShowFrame(f.A().Frames()[1].get());  // a master frame stands for the next frame written
    f.Run(C::SaveAnimationAs);
    EXPECT_EQ(f.host.dialogs.optionsCurrentImages, (std::vector<std::size_t>{2, 1}));
}

TEST(FrameRoutes, ChosenFramesAreEditedTogetherInOneStep) {
    Fixture f(6);
    std::vector<ObjectUid> u;
    for (const auto& frame : f.A().Frames()) u.push_back(frame->Uid());
    const auto order = [&f] {
        std::vector<ObjectUid> now;
        for (const auto& frame : f.A().Frames()) now.push_back(frame->Uid());
        return now;
    };
    CommandUi ui;
    f.view.UpdateCommand(C::ReverseFrames, ui);
    EXPECT_FALSE(ui.enabled);  // one frame is nothing to reverse
    // Frames 2-5 chosen, the third current.
    f.view.ShowFrame(f.A().Frames()[2].get());
    f.view.ChooseFrames({u[4], u[1], u[2], u[3]});
    f.view.UpdateCommand(C::ReverseFrames, ui);
    EXPECT_TRUE(ui.enabled);
    ASSERT_TRUE(f.Run(C::ReverseFrames));
    EXPECT_EQ(order(), (std::vector{u[0], u[4], u[3], u[2], u[1], u[5]}));
    EXPECT_EQ(f.doc->History().StepCount(), 1u);

    f.host.dialogs.speed = 50;  // half speed: twice as long
    const std::uint32_t before = f.A().Frames()[0]->duration;
    ASSERT_TRUE(f.Run(C::ChangeSpeed));
    EXPECT_EQ(f.A().Frames()[1]->duration, 2 * before);
    EXPECT_EQ(f.A().Frames()[0]->duration, before);  // not chosen
    EXPECT_EQ(f.doc->History().StepCount(), 2u);

    ASSERT_TRUE(f.Run(C::DeleteFrame));
    EXPECT_EQ(f.host.messages.back(), "Do you really want to delete these frames and all their contents?");
    EXPECT_EQ(order(), (std::vector{u[0], u[5]}));
    EXPECT_EQ(f.view.CurrentFrame(), f.A().Frames()[1].get());
    f.doc->History().Undo();
    EXPECT_EQ(order(), (std::vector{u[0], u[4], u[3], u[2], u[1], u[5]}));

    // Another frame shown alone: the commands act on it only.
    f.view.ShowFrame(f.A().Frames()[0].get());
    ASSERT_TRUE(f.Run(C::DuplicateFrame));
    EXPECT_EQ(f.A().FrameCount(), 7u);
}

}  // namespace
}  // namespace vantrel
