// Commands that render every frame (Frame Setup, Auto Frame Size, Resize
// Animation) report a step per frame rendered, and a stop at any of those
// steps undoes the command: the document, every rendered frame and the
// history are as they were before it, and no refusal is told.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "EditTestUtil.h"
#include "edit/FrameCommands.h"
#include "edit/ResizeAnimation.h"

namespace vantrel {
namespace {

struct RenderingCase {
    const char* name;
    std::function<std::unique_ptr<Command>(const CQVDoc&)> make;
};

const RenderingCase kRendering[] = {
    {"FrameSetup", [](const CQVDoc&) { return std::make_unique<CanvasSizeCommand>("Frame Setup", 300, 90); }},
    {"AutoFrameSize",
     [](const CQVDoc& doc) {
         return std::make_unique<AutoFrameSizeCommand>("Auto Frame Size", doc.GetAnimation().FirstFrame()->Uid());
     }},
    {"ResizeAnimation",
     [](const CQVDoc&) {
         return std::make_unique<ResizeAnimationCommand>("Resize Animation", AnimationSize{234, 30},
                                                         ResampleMode::Smooth);
     }},
};

class RenderingProgress : public ::testing::TestWithParam<RenderingCase> {};

std::unique_ptr<CQVDoc> FourFrames() {
    auto doc = test::MakeTestDoc({.blendingMiddle = true, .masterThird = true});
    Animation& animation = doc->GetAnimation();
    animation.AppendFrame()->SetBackgroundFrame(animation.FirstFrame());
    animation.RenderAll();
    return doc;
}

TEST_P(RenderingProgress, CountsEveryFrameAndAStopAtAnyStepUndoesTheCommand) {
    auto doc = FourFrames();
    const std::size_t frames = doc->GetAnimation().FrameCount();
    ASSERT_EQ(frames, 4u);
    const test::Snapshot before = test::Take(*doc);

    std::vector<std::pair<std::size_t, std::size_t>> reports;
    const ProgressReport all = [&](std::size_t done, std::size_t total) {
        reports.emplace_back(done, total);
        return true;
    };
    ASSERT_TRUE(doc->Execute(GetParam().make(*doc), all));
    const test::Snapshot after = test::Take(*doc);
    ASSERT_NE(after, before);
    ASSERT_GE(reports.size(), frames);  // a step for each frame rendered
    EXPECT_EQ(reports.back().first, reports.back().second);
    doc->History().Undo();
    EXPECT_EQ(test::Take(*doc), before);
    const std::size_t steps = reports.size();

    for (std::size_t stop = 1; stop <= steps; ++stop) {
        auto fresh = FourFrames();
        std::size_t heard = 0;
        const ProgressReport stopping = [&](std::size_t, std::size_t) { return ++heard < stop; };
        const Pushed stopped = fresh->Execute(GetParam().make(*fresh), stopping);
        EXPECT_FALSE(stopped.recorded()) << stop;
        EXPECT_EQ(heard, stop) << "asked again after the stop";
        EXPECT_TRUE(stopped.refusal().ok()) << stop;
        EXPECT_FALSE(fresh->History().CanUndo()) << stop;
        EXPECT_FALSE(fresh->IsModified()) << stop;
        EXPECT_EQ(test::Take(*fresh), before) << stop;
        // and the same command without a stop still does the whole change
        ASSERT_TRUE(fresh->Execute(GetParam().make(*fresh)));
        EXPECT_EQ(test::Take(*fresh), after) << stop;
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, RenderingProgress, ::testing::ValuesIn(kRendering),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RenderingProgress, RendersOfOneFrameAndCommandsOutsideAScopeCountNothing) {
    auto doc = FourFrames();
    Animation& animation = doc->GetAnimation();
    ProgressSteps steps([](std::size_t, std::size_t) { return false; });
    {
        Animation::RenderStepsScope counted(animation, steps);
        // A render from the last frame counts only that frame, then stops.
        animation.RenderFrom(animation.LastFrame());
        EXPECT_EQ(steps.Total(), 1u);
        EXPECT_TRUE(steps.Stopped());
    }
    // Out of the scope the stopped steps no longer hold renders back.
    const std::vector<std::uint8_t> white = test::PixelsOf(animation.FirstFrame()->Image());
    animation.FirstFrame()->backgroundColor = MakePixel(0, 0, 0);
    animation.RenderAll();
    EXPECT_NE(test::PixelsOf(animation.FirstFrame()->Image()), white);
    EXPECT_EQ(steps.Total(), 1u);
}

}  // namespace
}  // namespace vantrel
