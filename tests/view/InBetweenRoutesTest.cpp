// Transitions and tweens as the editor view runs them: what the dialog is
// asked, the frames that appear, the refusal shown when the document cannot
// take them, and their enable rule.

#include <gtest/gtest.h>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "document/DocumentMemory.h"
#include "ViewTestUtil.h"
#include "view/EditorView.h"

namespace vantrel {
namespace {

using C = CommandId;

struct Fixture {
    Fixture() : doc(test::DocWithFrames(3)), view(*doc, host) {
        A().FirstFrame()->duration = 25;
        A().FirstFrame()->backgroundColor = 0x00FF0000;
        A().RenderAll();
        view.OnInitialUpdate();
    }
    Animation& A() { return doc->GetAnimation(); }
    std::unique_ptr<CQVDoc> doc;
    test::RecordingHost host;
    EditorView view;
};

TEST(InBetweenRoutes, ATransitionAsksWithTheFramesDurationAndShowsTheFirstNewFrame) {
    Fixture f;
    const AnimFrame* second = f.A().Frames()[1].get();
    f.host.dialogs.transition = TransitionValues{3, 7};
    ASSERT_TRUE(f.view.ExecuteCommand(C::TransitionWipeUp));
    ASSERT_EQ(f.host.dialogs.transitionsAsked.size(), 1u);
    const TransitionRequest& request = f.host.dialogs.transitionsAsked[0];
    EXPECT_EQ(request.kind, TransitionKind::WipeUp);
    EXPECT_EQ(request.values.duration, 25u);
    EXPECT_EQ(request.values.frames, 5);
    ASSERT_EQ(f.A().FrameCount(), 6u);
    EXPECT_EQ(f.A().Frames()[4].get(), second);
    EXPECT_EQ(f.view.CurrentFrame(), f.A().Frames()[1].get());
    EXPECT_EQ(f.A().Frames()[2]->duration, 7u);
    EXPECT_EQ(f.doc->History().UndoLabel(), "Wipe Up");
    f.doc->History().Undo();
    EXPECT_EQ(f.A().FrameCount(), 3u);
}

TEST(InBetweenRoutes, CancelledDialogsChangeNothing) {
    Fixture f;
    f.view.ExecuteCommand(C::TransitionFade);
    f.view.ExecuteCommand(C::TweenToNextFrame);
    EXPECT_EQ(f.A().FrameCount(), 3u);
    EXPECT_FALSE(f.doc->IsModified());
}

TEST(InBetweenRoutes, ATweenMakesItsFramesAsOneStep) {
    Fixture f;
    f.host.dialogs.tween = TweenValues{4, Easing::Out};
    ASSERT_TRUE(f.view.ExecuteCommand(C::TweenToNextFrame));
    EXPECT_EQ(f.A().FrameCount(), 7u);
    f.doc->History().Undo();
    EXPECT_EQ(f.A().FrameCount(), 3u);
}

TEST(InBetweenRoutes, TooMuchForTheDocumentIsRefusedWithItsMessage) {
    Fixture f;
    f.doc->limits.memoryBudget = MemoryOf(f.A()).Total();
    f.host.dialogs.transition = TransitionValues{60, 10};
    f.view.ExecuteCommand(C::TransitionDissolve);
    EXPECT_EQ(f.A().FrameCount(), 3u);
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_NE(f.host.messages[0].find("more than the limit"), std::string::npos);
}

TEST(InBetweenRoutes, OnlyAFrameWithAFrameAfterItOffersThem) {
    Fixture f;
    for (const C id : {C::TransitionFade, C::TransitionZoomIn, C::TweenToNextFrame}) {
        CommandUi ui;
        f.view.UpdateCommand(id, ui);
        EXPECT_TRUE(ui.enabled);
        f.view.ShowFrame(f.A().LastFrame());
        f.view.UpdateCommand(id, ui);
        EXPECT_FALSE(ui.enabled);
        f.view.ShowFrame(f.A().FirstFrame());
    }
}

}  // namespace
}  // namespace vantrel
