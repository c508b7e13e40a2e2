// vantrel-cli transition and tween, run as a script would run them, with the
// documents they write read back.

#include <gtest/gtest.h>

#include <cmath>

#include "cli/CliSupport.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/BitmapItem.h"
#include "document/BoxItem.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"

namespace {

using namespace vantrel;
using namespace vantrel::test::cli;
namespace fs = std::filesystem;

constexpr PixelValue kRed = 0x00C81E1E;
constexpr PixelValue kBlue = 0x001E3CC8;

class CliInBetween : public ::testing::Test {
protected:
    // A 30 x 10 banner of three frames: a red slide holding a box, a blue
    // slide holding the box moved and grown, and an empty closing frame.
    void SetUp() override {
        dir = vantrel::test::ScratchDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        CQVDoc doc;
        Animation& a = doc.GetAnimation();
        a.SetSize(30, 10);
        const Rect c = a.Canvas();
        AnimFrame& first = *a.FirstFrame();
        first.backgroundColor = kRed;
        first.duration = 40;
        auto box = std::make_unique<BoxItem>();
        box->SetBounds({c.left, c.top, c.left + 4, c.top + 4});
        first.AppendItem(std::move(box));
        AnimFrame& second = *a.AppendFrame();
        second.backgroundColor = kBlue;
        auto moved = std::make_unique<BoxItem>();
        moved->SetBounds({c.left + 20, c.top + 2, c.left + 28, c.top + 10});
        second.AppendItem(std::move(moved));
        a.AppendFrame();
        a.RenderAll();
        banner = dir / "banner.qvd";
        ASSERT_TRUE(SaveDocument(doc, banner));
    }

    static std::unique_ptr<CQVDoc> Open(const fs::path& p) {
        auto doc = std::make_unique<CQVDoc>();
        EXPECT_TRUE(OpenDocument(*doc, p)) << p;
        return doc;
    }

    fs::path dir;
    fs::path banner;
};

TEST_F(CliInBetween, TransitionFadesBetweenFrameNAndTheNext) {
    const fs::path out = dir / "faded.qvd";
    const auto r = RunCli({"transition", banner.string(), out.string(), "--after", "1", "--kind", "fade", "--frames",
                           "3", "--duration", "0.2"});
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const auto doc = Open(out);
    const Animation& a = doc->GetAnimation();
    ASSERT_EQ(a.FrameCount(), 6u);
    const PixelValue corner = a.Frames()[4]->Image().GetPixel(29, 0);  // the second slide's background
    ASSERT_EQ(corner, kBlue);
    for (int step = 1; step <= 3; ++step) {
        const AnimFrame& frame = *a.Frames()[std::size_t(step)];
        EXPECT_EQ(frame.duration, 20u);
        // Away from the boxes only the two background colours mix.
        const PixelValue p = frame.Image().GetPixel(15, 0);
        auto mix = [step](int from, int to) { return std::lround(from + (to - from) * step / 4.0); };
        EXPECT_EQ(RedOf(p), mix(RedOf(kRed), RedOf(kBlue))) << step;
        EXPECT_EQ(GreenOf(p), mix(GreenOf(kRed), GreenOf(kBlue))) << step;
        EXPECT_EQ(BlueOf(p), mix(BlueOf(kRed), BlueOf(kBlue))) << step;
    }
}

TEST_F(CliInBetween, TransitionTakesTheFramesDurationAndFiveFramesUnlessTold) {
    const fs::path out = dir / "slid.qvd";
    ASSERT_EQ(RunCli({"transition", banner.string(), out.string(), "--after", "1", "--kind", "slide-left"}).exitCode, 0);
    const auto doc = Open(out);
    const Animation& a = doc->GetAnimation();
    ASSERT_EQ(a.FrameCount(), 8u);
    EXPECT_EQ(a.Frames()[3]->duration, 40u);
    // Step 3 of 5: the first slide has moved 15 pixels left; the second's left edge is at 15.
    EXPECT_EQ(a.Frames()[3]->Image().GetPixel(14, 9), kRed);
    EXPECT_EQ(a.Frames()[3]->Image().GetPixel(15, 9), kBlue);
}

TEST_F(CliInBetween, TweenMovesTheBoxPartOfTheWay) {
    const fs::path out = dir / "tweened.qvd";
    ASSERT_EQ(RunCli({"tween", banner.string(), out.string(), "--after", "1", "--frames", "1", "--ease", "in"}).exitCode, 0);
    const auto doc = Open(out);
    const Animation& a = doc->GetAnimation();
    ASSERT_EQ(a.FrameCount(), 4u);
    const Rect c = a.Canvas();
    const CanvasItem* box = a.Frames()[1]->Bottom();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Kind(), ItemKind::Box);
    // Ease in at half time: a quarter of the way (halves round up).
    EXPECT_EQ(box->Bounds(), (Rect{c.left + 5, c.top + 1, c.left + 10, c.top + 6}));
    EXPECT_EQ(a.Frames()[1]->backgroundColor, kRed);
}

TEST_F(CliInBetween, WrongArgumentsAreRefusedAndWriteNothing) {
    const fs::path out = dir / "never.qvd";
    const std::vector<std::vector<std::string>> wrong = {
        {"transition", banner.string(), out.string(), "--after", "3", "--kind", "fade"},   // the last frame
        {"transition", banner.string(), out.string(), "--after", "0", "--kind", "fade"},
        {"transition", banner.string(), out.string(), "--after", "1", "--kind", "spin"},
        {"transition", banner.string(), out.string(), "--kind", "fade"},
        {"transition", banner.string(), out.string(), "--after", "1", "--kind", "fade", "--frames", "61"},
        {"transition", banner.string(), out.string(), "--after", "1", "--kind", "fade", "--duration", "-1"},
        {"tween", banner.string(), out.string(), "--after", "1", "--ease", "bounce"},
        {"tween", banner.string(), out.string(), "--after", "1", "--frames", "0"},
        {"tween", banner.string(), "--after", "1"},
    };
    for (const auto& args : wrong) EXPECT_EQ(RunCli(args).exitCode, 1) << args[3];
    EXPECT_EQ(RunCli({"tween", (dir / "missing.qvd").string(), out.string(), "--after", "1"}).exitCode, 2);
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
