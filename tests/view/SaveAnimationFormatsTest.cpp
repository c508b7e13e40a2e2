// "Save Animation As" with the WebP and animated PNG types: the extension
// chooses the writer, the GIF options are not asked for, and the file is
// remembered so that "Save Animation" writes the same format again.

#include <gtest/gtest.h>

#include "core/FileIO.h"
#include "document/Animation.h"
#include "support/AnimationReadBack.h"
#include "support/TestPaths.h"
#include "view/SaveAnimation.h"

namespace vantrel {
namespace {

TEST(SaveAnimationFormats, TheExtensionChoosesTheWriterAndIsRemembered) {
    const std::filesystem::path dir = test::ScratchDir("save-animation-formats");
    Animation animation;
    animation.SetSize(20, 10);
    animation.FirstFrame()->backgroundColor = MakePixel(10, 20, 30);
    animation.AppendFrame()->backgroundColor = MakePixel(10, 20, 31);  // one channel of one colour differs
    animation.loopCount = 3;
    int gifAsked = 0;
    const GifOptionsChooser countGif = [&](const GifExportRequest& request) {
        ++gifAsked;
        return std::optional(DefaultGifExportOptions(request.distinctColors));
    };
    for (const char* name : {"a.webp", "b.apng", "c.png"}) {
        SCOPED_TRACE(name);
        int pathAsked = 0;
        const SavePathChooser ask = [&](const std::filesystem::path&) {
            ++pathAsked;
            return std::optional(dir / name);
        };
        const SaveOutcome saved = SaveAnimationFile(animation, true, ask, countGif);
        ASSERT_EQ(saved.kind, SaveOutcome::Kind::Saved) << saved.status.message();
        EXPECT_EQ(saved.path, dir / name);
        EXPECT_EQ(gifAsked, 0);
        const auto bytes = ReadFileBytes(dir / name);
        ASSERT_TRUE(bytes.ok());
        const auto read = std::string(name).ends_with(".webp") ? test::ReadWebpAnimation(*bytes)
                                                               : test::ReadApngByChunks(*bytes);
        ASSERT_TRUE(read.error.empty()) << read.error;
        EXPECT_EQ(read.plays, 3u);
        ASSERT_EQ(read.frames.size(), 2u);
        EXPECT_TRUE(test::SameShown(read.frames[1].image, animation.Frames()[1]->Image()));
        // "Save Animation" now writes the same file and format without asking.
        std::filesystem::remove(dir / name);
        EXPECT_EQ(SaveAnimationFile(animation, false, ask, countGif).kind, SaveOutcome::Kind::Saved);
        EXPECT_EQ(pathAsked, 1);
        EXPECT_TRUE(std::filesystem::exists(dir / name));
    }
    // A name without extension is still a GIF, with its options asked for.
    const SaveOutcome gif = SaveAnimationFile(
        animation, true, [&](const std::filesystem::path&) { return std::optional(dir / "d"); }, countGif);
    EXPECT_EQ(gif.kind, SaveOutcome::Kind::Saved);
    EXPECT_EQ(gif.path, dir / "d.gif");
    EXPECT_EQ(gifAsked, 1);
}

}  // namespace
}  // namespace vantrel
