// vantrel-cli frames, run as a user would: the saved document read back.

#include <gtest/gtest.h>

#include "cli/CliSupport.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"

namespace {

using namespace vantrel::test::cli;
namespace fs = std::filesystem;

class CliFrames : public ::testing::Test {
protected:
    // Six frames lasting 10, 20, ... 60 hundredths; frames 3 and 4 look alike
    // (empty, the same background), the others differ by background colour.
    void SetUp() override {
        dir = vantrel::test::ScratchDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        vantrel::CQVDoc doc;
        vantrel::Animation& a = doc.GetAnimation();
        for (int i = 1; i < 6; ++i) a.AppendFrame();
        const vantrel::PixelValue colors[] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FF0000, 0x00FFFF00, 0x0000FFFF};
        for (std::size_t i = 0; i < 6; ++i) {
            a.Frames()[i]->duration = std::uint32_t(10 * (i + 1));
            a.Frames()[i]->backgroundColor = colors[i];
        }
        a.RenderAll();
        source = dir / "six.qvd";
        ASSERT_TRUE(vantrel::SaveDocument(doc, source).ok());
    }

    // Runs frames with these arguments and reads the result: the durations
    // and background colours in list order.
    std::vector<std::pair<std::uint32_t, vantrel::PixelValue>> Run(std::vector<std::string> extra, int& code) {
        const fs::path out = dir / "out.qvd";
        fs::remove(out);
        std::vector<std::string> args{"frames", source.string(), out.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        const auto r = RunCli(args, true);
        code = r.exitCode;
        std::vector<std::pair<std::uint32_t, vantrel::PixelValue>> frames;
        if (code != 0) {
            EXPECT_FALSE(fs::exists(out)) << r.out;
            return frames;
        }
        vantrel::CQVDoc doc;
        EXPECT_TRUE(vantrel::OpenDocument(doc, out).ok());
        for (const auto& frame : doc.GetAnimation().Frames()) frames.emplace_back(frame->duration, frame->backgroundColor);
        return frames;
    }

    fs::path dir;
    fs::path source;
};

using Frames = std::vector<std::pair<std::uint32_t, vantrel::PixelValue>>;

TEST_F(CliFrames, EachEditOnARangeOrOnAllFrames) {
    int code = -1;
    EXPECT_EQ(Run({"--range", "2-5", "--duration", "0.5"}, code),
              (Frames{{10, 0x0000FF}, {50, 0x00FF00}, {50, 0xFF0000}, {50, 0xFF0000}, {50, 0xFFFF00}, {60, 0x00FFFF}}));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(Run({"--speed", "200"}, code),
              (Frames{{5, 0x0000FF}, {10, 0x00FF00}, {15, 0xFF0000}, {20, 0xFF0000}, {25, 0xFFFF00}, {30, 0x00FFFF}}));
    EXPECT_EQ(Run({"--range", "1-3", "--reverse"}, code),
              (Frames{{30, 0xFF0000}, {20, 0x00FF00}, {10, 0x0000FF}, {40, 0xFF0000}, {50, 0xFFFF00}, {60, 0x00FFFF}}));
    EXPECT_EQ(Run({"--drop-duplicates"}, code),
              (Frames{{10, 0x0000FF}, {20, 0x00FF00}, {70, 0xFF0000}, {50, 0xFFFF00}, {60, 0x00FFFF}}));
    // Frame 4 is in the range and repeats frame 3 (outside it): it goes; 5 and 6 repeat nothing.
    EXPECT_EQ(Run({"--range", "4-6", "--drop-duplicates"}, code).size(), 5u);
    EXPECT_EQ(Run({"--range", "5-6", "--drop-duplicates"}, code).size(), 6u);
    EXPECT_EQ(code, 0);
}

TEST_F(CliFrames, WrongArgumentsAreUsageErrorsAndWriteNothing) {
    const std::vector<std::vector<std::string>> wrong{
        {},                                         // no edit
        {"--reverse", "--speed", "50"},             // two edits
        {"--range", "0-2", "--reverse"},            // frames count from 1
        {"--range", "5-7", "--reverse"},            // past the last frame
        {"--range", "4-2", "--reverse"},            // backwards
        {"--range", "x", "--reverse"},
        {"--speed", "0"},
        {"--speed", "10001"},
        {"--duration", "-1"},
        {"--duration", "655.36"},
        {"--duration", "nan"},
        {"--duration", "1s"},
    };
    for (const auto& args : wrong) {
        int code = -1;
        Run(args, code);
        EXPECT_EQ(code, 1) << (args.empty() ? "" : args[0]) << (args.size() > 1 ? " " + args[1] : "");
    }
}

TEST_F(CliFrames, MissingInputIsBadInput) {
    const auto r = RunCli({"frames", (dir / "nope.qvd").string(), (dir / "out.qvd").string(), "--reverse"}, true);
    EXPECT_EQ(r.exitCode, 2) << r.out;
    EXPECT_FALSE(fs::exists(dir / "out.qvd"));
}

}  // namespace
