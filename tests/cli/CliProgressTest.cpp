// The progress line of long commands: on a terminal standard error shows
// how far opening and writing have come; a pipe gets none of it.

#include <cstdlib>

#include <gtest/gtest.h>

#include "cli/CliSupport.h"

namespace {

using namespace vantrel::test::cli;

TEST(CliProgress, APipeGetsNoProgressLine) {
    const auto dir = vantrel::test::ScratchDir("cli-progress-pipe");
    WriteBytes(dir / "two.gif", TwoImageGif());
    const CliResult r = RunCli({"export", (dir / "two.gif").string(), (dir / "out.gif").string()}, true);
    ASSERT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(r.out.find('%'), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\r'), std::string::npos) << r.out;
}

TEST(CliProgress, ATerminalSeesOpeningAndWritingUpToTheEnd) {
    if (std::system("script --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no script(1) to make a terminal";
    const auto dir = vantrel::test::ScratchDir("cli-progress-tty");
    WriteBytes(dir / "two.gif", TwoImageGif());
    // script runs the tool on a terminal of its own and copies what it shows.
    const std::string inner = Quote(VANTREL_CLI_PATH) + " export " + Quote((dir / "two.gif").string()) + " " +
                              Quote((dir / "out.gif").string());
    const std::string command = "script -qec " + Quote(inner) + " /dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string shown;
    char buf[4096];
    std::size_t n = 0;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) shown.append(buf, n);
    ASSERT_EQ(pclose(pipe), 0) << shown;
    EXPECT_NE(shown.find("vantrel-cli: opening two.gif 100%"), std::string::npos) << shown;
    EXPECT_NE(shown.find("vantrel-cli: writing "), std::string::npos) << shown;
    // Each line is cleared before the next output, and the result is still printed.
    EXPECT_NE(shown.find('\r'), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir / "out.gif"));
}

}  // namespace
