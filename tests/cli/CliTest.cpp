// Runs vantrel-cli as a user would and checks its output, files and exit codes.

#include <gtest/gtest.h>

#include <algorithm>

#include "cli/CliSupport.h"

namespace {

using namespace vantrel::test::cli;
namespace fs = std::filesystem;

TEST(Cli, UsageAndUnknownCommands) {
    EXPECT_EQ(RunCli({}).exitCode, 1);
    const auto help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("decode FILE.gif OUTDIR"), std::string::npos);
    EXPECT_EQ(RunCli({"frobnicate"}).exitCode, 1);
    EXPECT_EQ(RunCli({"info"}).exitCode, 1);
    EXPECT_EQ(RunCli({"info", "--bogus", "x.gif"}).exitCode, 1);
    EXPECT_EQ(RunCli({"decode", "only-one-arg.gif"}).exitCode, 1);
}

TEST(Cli, InfoJsonDescribesEveryImage) {
    const auto dir = vantrel::test::ScratchDir("cli-info");
    WriteBytes(dir / "two.gif", TwoImageGif());
    const auto r = RunCli({"info", "--json", (dir / "two.gif").string()});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out,
              "{\"screen\":{\"width\":2,\"height\":1},\"loopCount\":3,\"animated\":true,"
              "\"globalColors\":4,\"images\":["
              "{\"left\":0,\"top\":0,\"width\":2,\"height\":1,\"delay\":7,\"disposal\":1,"
              "\"transparent\":true,\"transparentIndex\":1,\"interlaced\":false,\"localColors\":0},"
              "{\"left\":1,\"top\":0,\"width\":1,\"height\":1,\"delay\":0,\"disposal\":0,"
              "\"transparent\":false,\"transparentIndex\":0,\"interlaced\":false,\"localColors\":2}]}\n");

    const auto text = RunCli({"info", (dir / "two.gif").string()});
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find("2 images"), std::string::npos);
}

TEST(Cli, DecodeWritesOnePngPerImage) {
    const auto dir = vantrel::test::ScratchDir("cli-decode");
    WriteBytes(dir / "two.gif", TwoImageGif());
    const auto out = dir / "out" / "nested";
    ASSERT_EQ(RunCli({"decode", (dir / "two.gif").string(), out.string()}).exitCode, 0);

    int w = 0, h = 0;
    std::vector<unsigned char> rgba;
    ASSERT_TRUE(ReadPng(out / "image-001.png", w, h, rgba));
    ASSERT_EQ(w, 2);
    ASSERT_EQ(h, 1);
    // Index 1 (red) is the transparent index: alpha 0, colour kept; index 2 green opaque.
    EXPECT_EQ(std::vector<unsigned char>(rgba.begin(), rgba.end()),
              (std::vector<unsigned char>{255, 0, 0, 0, 0, 255, 0, 255}));

    ASSERT_TRUE(ReadPng(out / "image-002.png", w, h, rgba));
    ASSERT_EQ(w, 1);
    EXPECT_EQ(std::vector<unsigned char>(rgba.begin(), rgba.end()),
              (std::vector<unsigned char>{200, 100, 50, 255}));
    EXPECT_FALSE(fs::exists(out / "image-003.png"));
}

TEST(Cli, ExitCodesForBadInputAndOutput) {
    const auto dir = vantrel::test::ScratchDir("cli-errors");
    WriteBytes(dir / "two.gif", TwoImageGif());
    WriteBytes(dir / "text.gif", {'h', 'e', 'l', 'l', 'o'});

    const auto missing = RunCli({"info", (dir / "missing.gif").string()}, true);
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.out.find("missing.gif"), std::string::npos);

    const auto notGif = RunCli({"info", (dir / "text.gif").string()}, true);
    EXPECT_EQ(notGif.exitCode, 2);
    EXPECT_NE(notGif.out.find("No GIF Format"), std::string::npos);
    EXPECT_EQ(RunCli({"decode", (dir / "text.gif").string(), (dir / "o").string()}).exitCode, 2);

    // An output folder that cannot be made: a file stands where it would go.
    WriteBytes(dir / "blocker", {1});
    EXPECT_EQ(RunCli({"decode", (dir / "two.gif").string(), (dir / "blocker" / "sub").string()}).exitCode, 3);
}

// Every check a command makes before its work ends it the same way: one
// line naming the reason, the exit code of its kind, and nothing written.
TEST(Cli, ARefusedStepEndsTheCommandWithOneLineAndItsCode) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* reason;
    };
    const Case cases[] = {
        {{"export", "IN", "IN"}, 1, "is an input of the command"},
        {{"export", "IN", "OUT/x.gif", "--bogus"}, 1, "unknown option --bogus"},
        {{"tween", "IN", "OUT/x.qvd", "--after"}, 1, "--after needs a value"},
        {{"save", "OUT/missing.gif", "OUT/x.qvd"}, 2, "missing.gif"},
        {{"export", "IN", "OUT/x.gif", "--colors", "900"}, 1, "--colors takes a number from 2 to 256"},
        {{"export", "IN", "OUT/x.gif", "--exact", "--colors", "8"}, 1, "exclude each other"},
        {{"export", "IN", "OUT/x.gif", "--lossy", "201"}, 1, "--lossy takes a number from 0 to 200"},
        {{"export", "IN", "OUT/x.gif", "--quantizer", "octree"}, 1, "--quantizer takes refined or median-cut"},
        {{"export-frame", "IN", "1", "OUT/x.gif", "--lossy", "-1"}, 1, "--lossy takes"},
        {{"export", "OUT/missing.gif", "OUT/x.gif"}, 2, "missing.gif"},
        {{"frames", "OUT/missing.gif", "OUT/x.qvd", "--reverse"}, 2, "missing.gif"},
        {{"decode", "OUT/missing.gif", "OUT/images"}, 2, "missing.gif"},
        {{"render", "IN", "OUT/blocker/sub"}, 3, "blocker"},
        {{"decode", "IN", "OUT/blocker/sub"}, 3, "blocker"},
        {{"tween", "IN", "OUT/x.qvd"}, 1, "--after N is needed"},
        {{"tween", "IN", "OUT/x.qvd", "--after", "3"}, 1, "--after takes a frame number from 1 to 2"},
        {{"transition", "IN", "OUT/x.qvd", "--kind", "fade", "--after", "2"}, 1, "is the last frame"},
        {{"transition", "IN", "OUT/x.qvd", "--kind", "fade", "--after", "1", "--frames", "61"}, 1,
         "--frames takes a number from 1 to 60"},
    };
    for (const Case& c : cases) {
        const auto dir = vantrel::test::ScratchDir("cli-refused");
        const fs::path input = dir / "two.gif";
        const fs::path out = dir / "out";
        fs::create_directories(out);
        WriteBytes(input, TwoImageGif());
        WriteBytes(out / "blocker", {1});
        const std::vector<std::string> line = CommandLine(c.args[0], {c.args.begin() + 1, c.args.end()}, input, out);
        SCOPED_TRACE(c.args[0] + " " + c.reason);
        const CliResult r = RunCli(line, true);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.out;
        EXPECT_NE(r.out.find(c.reason), std::string::npos) << r.out;
        EXPECT_EQ(r.out.rfind("vantrel-cli: ", 0), 0u) << r.out;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
        std::vector<fs::path> left;
        for (const auto& entry : fs::directory_iterator(out)) left.push_back(entry.path().filename());
        EXPECT_EQ(left, std::vector<fs::path>{"blocker"});
    }
}

TEST(Cli, ShipsAReadableSample) {
    const auto sample = vantrel::test::SourceDir() / "examples" / "banner.gif";
    const auto r = RunCli({"info", "--json", sample.string()});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("\"animated\":true"), std::string::npos);
}

}  // namespace
