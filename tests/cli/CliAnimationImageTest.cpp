// vantrel-cli export to animated WebP and animated PNG: the writer chosen by
// the extension, the frames as render shows them, and the GIF-only options
// refused.

#include <gtest/gtest.h>

#include "cli/CliSupport.h"
#include "core/FileIO.h"
#include "support/AnimationReadBack.h"

namespace {

using namespace vantrel::test::cli;
namespace fs = std::filesystem;

class CliAnimationImage : public ::testing::Test {
protected:
    void SetUp() override {
        dir = vantrel::test::ScratchDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    fs::path dir;
    const fs::path banner = vantrel::test::SourceDir() / "examples" / "banner.gif";
};

std::vector<unsigned char> RgbaOf(const vantrel::PackedDib& picture) {
    std::vector<unsigned char> rgba;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const vantrel::PixelValue p = picture.Row(y)[x];
            rgba.insert(rgba.end(), {vantrel::RedOf(p), vantrel::GreenOf(p), vantrel::BlueOf(p),
                                     static_cast<unsigned char>(255 - vantrel::TransparencyOf(p))});
        }
    }
    return rgba;
}

TEST_F(CliAnimationImage, TheExtensionChoosesTheFormatAndTheFramesAreTheRenderedOnes) {
    ASSERT_EQ(RunCli({"render", banner.string(), (dir / "frames").string()}).exitCode, 0);
    const auto gifInfo = RunCli({"info", "--json", banner.string()});
    for (const char* name : {"a.webp", "a.apng", "a.png", "A.WEBP"}) {
        SCOPED_TRACE(name);
        const auto r = RunCli({"export", banner.string(), (dir / name).string()});
        ASSERT_EQ(r.exitCode, 0);
        EXPECT_NE(r.out.find("3 frames as"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("(lossless)"), std::string::npos) << r.out;
        const auto bytes = vantrel::ReadFileBytes(dir / name);
        ASSERT_TRUE(bytes.ok());
        const bool webp = vantrel::LowerCaseExtension(name) == "webp";
        const auto read = webp ? vantrel::test::ReadWebpAnimation(*bytes) : vantrel::test::ReadApngByChunks(*bytes);
        ASSERT_TRUE(read.error.empty()) << read.error;
        ASSERT_EQ(read.frames.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            int w = 0, h = 0;
            std::vector<unsigned char> rendered;
            char frame[32];
            std::snprintf(frame, sizeof frame, "frame-%03zu.png", i + 1);
            ASSERT_TRUE(ReadPng(dir / "frames" / frame, w, h, rendered));
            EXPECT_EQ(RgbaOf(read.frames[i].image), rendered) << i;
        }
        // Each delay in milliseconds is the GIF's hundredths times ten.
        std::size_t at = 0;
        for (const auto& f : read.frames) {
            at = gifInfo.out.find("\"delay\":", at);
            ASSERT_NE(at, std::string::npos);
            at += 8;
            EXPECT_EQ(f.milliseconds, std::stoul(gifInfo.out.substr(at)) * 10) << gifInfo.out;
        }
    }
}

TEST_F(CliAnimationImage, QualityMakesALossyWebp) {
    const auto r = RunCli({"export", banner.string(), (dir / "q.webp").string(), "--quality", "40"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("(quality 40)"), std::string::npos) << r.out;
    const auto bytes = vantrel::ReadFileBytes(dir / "q.webp");
    ASSERT_TRUE(bytes.ok());
    EXPECT_EQ(vantrel::test::ReadWebpAnimation(*bytes).frames.size(), 3u);
}

TEST_F(CliAnimationImage, DryRunWritesNothing) {
    const auto r = RunCli({"export", banner.string(), (dir / "d.apng").string(), "--dry-run"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("bytes would be written"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(dir / "d.apng"));
}

TEST_F(CliAnimationImage, OptionsOfOtherFormatsAreRefused) {
    struct Case {
        const char* out;
        std::vector<std::string> options;
        const char* message;
    };
    const Case cases[] = {
        {"x.webp", {"--colors", "8"}, "--colors applies to GIF output only"},
        {"x.apng", {"--exact"}, "--exact applies to GIF output only"},
        {"x.png", {"--no-size-reduction"}, "--no-size-reduction applies to GIF output only"},
        {"x.webp", {"--dither"}, "--dither applies to GIF output only"},
        {"x.webp", {"--max-bytes", "1000"}, "--max-bytes applies to GIF output only"},
        {"x.apng", {"--quality", "50"}, "--quality applies to WebP output only"},
        {"x.gif", {"--quality", "50"}, "--quality applies to WebP output only"},
        {"x.webp", {"--quality", "101"}, "--quality takes a number from 0 to 100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out + (" " + c.options.front()));
        std::vector<std::string> args{"export", banner.string(), (dir / c.out).string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto r = RunCli(args, true);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.out.find(c.message), std::string::npos) << r.out;
        EXPECT_FALSE(fs::exists(dir / c.out));
    }
}

}  // namespace
