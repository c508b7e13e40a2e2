// Image > Resize Animation as the editor view runs it: the dialog opens on
// the canvas and the last resampling, the chosen size is applied in one
// step, and a size the document cannot hold is refused with its reason.

#include <gtest/gtest.h>

#include "ViewTestUtil.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "view/EditorView.h"

namespace vantrel {
namespace {

struct Fixture {
    Fixture() : doc(test::DocWithFrames(2)), view(*doc, host) {
        doc->GetAnimation().SetSize(120, 80);
        test::AddSolidItem(*doc->GetAnimation().FirstFrame(), {540, 560, 600, 600}, 0x00FF0000);
        view.OnInitialUpdate();
    }
    std::unique_ptr<CQVDoc> doc;
    test::RecordingHost host;
    EditorView view;
};

TEST(ResizeAnimationRoute, AsksWithTheCanvasAndAppliesTheChoiceAsOneStep) {
    Fixture f;
    f.view.Settings().SetResizeResampling(ResampleMode::Smooth);
    f.host.dialogs.resizeAnimation = ResizeAnimationValues{{60, 40}, ResampleMode::Sharp};
    ASSERT_TRUE(f.view.ExecuteCommand(CommandId::ResizeAnimation));
    ASSERT_EQ(f.host.dialogs.resizesAsked.size(), 1u);
    EXPECT_EQ(f.host.dialogs.resizesAsked[0].size, (AnimationSize{120, 80}));
    EXPECT_EQ(f.host.dialogs.resizesAsked[0].resampling, ResampleMode::Smooth);
    EXPECT_EQ(f.doc->GetAnimation().Width(), 60);
    EXPECT_EQ(f.doc->GetAnimation().Height(), 40);
    EXPECT_EQ(f.doc->History().StepCount(), 1u);
    EXPECT_EQ(f.view.Settings().ResizeResampling(), ResampleMode::Sharp);  // remembered for the next time
    EXPECT_TRUE(f.host.messages.empty());
}

TEST(ResizeAnimationRoute, TooLargeIsRefusedWithItsReasonAndCancelChangesNothing) {
    Fixture f;
    f.host.dialogs.resizeAnimation = ResizeAnimationValues{{1500, 1000}, ResampleMode::Smooth};
    f.view.ExecuteCommand(CommandId::ResizeAnimation);
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0], "The canvas would be 1500 x 1000 pixels, more than the limit of 1200 x 1200.");
    EXPECT_EQ(f.doc->GetAnimation().Width(), 120);
    EXPECT_EQ(f.doc->History().StepCount(), 0u);

    f.host.dialogs.resizeAnimation.reset();
    f.view.ExecuteCommand(CommandId::ResizeAnimation);
    EXPECT_EQ(f.doc->GetAnimation().Width(), 120);
    EXPECT_EQ(f.doc->History().StepCount(), 0u);
}

}  // namespace
}  // namespace vantrel
