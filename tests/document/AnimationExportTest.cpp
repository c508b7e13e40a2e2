// Saving the animation as animated WebP and animated PNG: the frames written
// are the rendered frames the GIF export takes (master frames left out),
// with durations in milliseconds and the loop count as plays.

#include <gtest/gtest.h>

#include "DocTestUtil.h"
#include "core/FileIO.h"
#include "document/Animation.h"
#include "document/AnimationExport.h"
#include "document/FileFormats.h"
#include "support/AnimationReadBack.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

// 30 x 20: a red frame of 0.05 s with a small box, a master frame, then a
// frame of 0.07 s where only the box moved; plays twice.
void MakeAnimation(Animation& animation) {
    animation.SetSize(30, 20);
    animation.loopCount = 2;
    const Point origin = animation.Canvas().TopLeft();
    AnimFrame* first = animation.FirstFrame();
    first->backgroundColor = MakePixel(200, 0, 0);
    first->duration = 5;
    first->AppendItem(test::SolidItem(Rect{2, 3, 6, 7}.Offset(origin.x, origin.y), MakePixel(0, 0, 250)));
    AnimFrame* master = animation.AppendFrame();
    master->isMaster = true;
    master->backgroundColor = MakePixel(0, 250, 0);
    AnimFrame* last = animation.AppendFrame();
    last->backgroundColor = MakePixel(200, 0, 0);
    last->duration = 7;
    last->AppendItem(test::SolidItem(Rect{3, 3, 7, 7}.Offset(origin.x, origin.y), MakePixel(0, 0, 250)));
    animation.RenderAll();
}

TEST(AnimationExportTest, RenderedFramesLeaveOutMasterFrames) {
    Animation animation;
    MakeAnimation(animation);
    const AnimationFrames frames = RenderedAnimationFrames(animation);
    EXPECT_EQ(frames.width, 30);
    EXPECT_EQ(frames.height, 20);
    EXPECT_EQ(frames.plays, 2u);
    ASSERT_EQ(frames.frames.size(), 2u);
    EXPECT_EQ(frames.frames[0].image, &animation.Frames()[0]->Image());
    EXPECT_EQ(frames.frames[1].image, &animation.Frames()[2]->Image());
    EXPECT_EQ(frames.frames[0].milliseconds, 50u);
    EXPECT_EQ(frames.frames[1].milliseconds, 70u);
}

TEST(AnimationExportTest, TheExtensionChoosesTheWriter) {
    EXPECT_EQ(AnimationFormatFor("a.webp"), AnimationFormat::Webp);
    EXPECT_EQ(AnimationFormatFor("a.WebP"), AnimationFormat::Webp);
    EXPECT_EQ(AnimationFormatFor("a.apng"), AnimationFormat::Apng);
    EXPECT_EQ(AnimationFormatFor("a.PNG"), AnimationFormat::Apng);
    EXPECT_EQ(AnimationFormatFor("a.gif"), AnimationFormat::Gif);
    EXPECT_EQ(AnimationFormatFor("a.jpg"), AnimationFormat::Gif);
    EXPECT_EQ(AnimationFormatFor("a"), AnimationFormat::Gif);
    EXPECT_EQ(DialogFilters(FilePurpose::SaveAnimation),
              (std::vector<std::string>{"Compuserve GIF (*.gif)", "WebP (*.webp)", "Animated PNG (*.apng)"}));
    EXPECT_EQ(FormatNames(FilePurpose::SaveAnimation), "GIF, WebP and animated PNG");
    EXPECT_EQ(UsualExtension(FilePurpose::SaveAnimation, 0), "gif");
    EXPECT_EQ(UsualExtension(FilePurpose::SaveAnimation, 1), "webp");
    EXPECT_EQ(UsualExtension(FilePurpose::SaveAnimation, 2), "apng");
    EXPECT_EQ(UsualExtension(FilePurpose::SaveAnimation, 7), "apng");
    EXPECT_EQ(UsualExtension(FilePurpose::ExportFrame, 1), "jpg");
    // Written only: neither opens nor imports.
    EXPECT_FALSE(OpensAsDocument("a.webp"));
    EXPECT_FALSE(ImportsIntoFrame("a.apng"));
}

TEST(AnimationExportTest, SavedFilesShowTheRenderedFrames) {
    Animation animation;
    MakeAnimation(animation);
    const auto dir = test::ScratchDir("animation_export");
    for (const char* name : {"a.webp", "a.apng", "a.png"}) {
        SCOPED_TRACE(name);
        const Status saved = SaveAnimationAsImage(animation, dir / name);
        ASSERT_TRUE(saved) << saved.message();
        const auto bytes = ReadFileBytes(dir / name);
        ASSERT_TRUE(bytes.ok());
        const test::ReadBackAnimation read = AnimationFormatFor(name) == AnimationFormat::Webp
                                                 ? test::ReadWebpAnimation(*bytes)
                                                 : test::ReadApngByChunks(*bytes);
        ASSERT_TRUE(read.error.empty()) << read.error;
        EXPECT_EQ(read.plays, 2u);
        ASSERT_EQ(read.frames.size(), 2u);
        EXPECT_TRUE(test::SameShown(read.frames[0].image, animation.Frames()[0]->Image()));
        EXPECT_TRUE(test::SameShown(read.frames[1].image, animation.Frames()[2]->Image()));
        EXPECT_EQ(read.frames[0].milliseconds, 50u);
        EXPECT_EQ(read.frames[1].milliseconds, 70u);
        // Only the columns where the box moved are stored (WebP rounds to even offsets).
        EXPECT_LE(read.frames[1].stored.Width(), 6);
        EXPECT_LE(read.frames[1].stored.Height(), 6);
    }
}

TEST(AnimationExportTest, NothingToWriteLeavesTheOldFile) {
    Animation animation;
    MakeAnimation(animation);
    const auto dir = test::ScratchDir("animation_export_none");
    EXPECT_FALSE(SaveAnimationAsImage(animation, dir / "a.gif"));  // GIF has its own export
    EXPECT_FALSE(std::filesystem::exists(dir / "a.gif"));
    for (const auto& frame : animation.Frames()) frame->isMaster = true;
    const std::vector<std::uint8_t> old{'o', 'l', 'd'};
    ASSERT_TRUE(WriteFileAtomic(dir / "a.webp", old));
    EXPECT_FALSE(SaveAnimationAsImage(animation, dir / "a.webp"));
    EXPECT_EQ(ReadFileBytes(dir / "a.webp").ValueOr({}), old);
}

}  // namespace
}  // namespace vantrel
