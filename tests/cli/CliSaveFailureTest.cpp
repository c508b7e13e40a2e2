// Every command that writes, failed at each system step of its files in turn
// (VANTREL_FAIL_FILE_STEP): exit status 3 with the system's reason, every old
// file either untouched or completely replaced, no temporary file left.

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>

#include "cli/CliSupport.h"

namespace {

using namespace vantrel::test::cli;
namespace fs = std::filesystem;

struct WritingCommand {
    const char* name;
    // Arguments after the command's name; IN and OUT stand for the input file
    // and the output folder.
    std::vector<std::string> args;
    // The files the command writes, relative to the output folder.
    std::vector<std::string> outputs;
};

const WritingCommand kCommands[] = {
    {"save", {"IN", "OUT/doc.qvd"}, {"doc.qvd"}},
    {"export", {"IN", "OUT/anim.gif"}, {"anim.gif"}},
    {"export-frame", {"IN", "2", "OUT/frame.gif"}, {"frame.gif"}},
    {"export-frame", {"IN", "1", "OUT/frame.jpg"}, {"frame.jpg"}},
    {"render", {"IN", "OUT"}, {"frame-001.png", "frame-002.png"}},
    {"decode", {"IN", "OUT"}, {"image-001.png", "image-002.png"}},
};

TEST(CliSaveFailure, EveryFailedStepExitsWith3AndKeepsEveryOldFile) {
    const fs::path dir = vantrel::test::ScratchDir("cli-save-failure");
    const fs::path input = dir / "two.gif";
    WriteBytes(input, TwoImageGif());
    const std::string old = "the previous file";
    for (const WritingCommand& command : kCommands) {
        SCOPED_TRACE(command.name + std::string(" ") + command.outputs[0]);
        const fs::path out = dir / "out";
        fs::remove_all(out);
        fs::create_directory(out);
        for (const std::string& name : command.outputs) std::ofstream(out / name, std::ios::binary) << old;
        const std::vector<std::string> args = CommandLine(command.name, command.args, input, out);

        int failures = 0;
        for (int n = 1; n < 1000; ++n) {
            setenv("VANTREL_FAIL_FILE_STEP", std::to_string(n).c_str(), 1);
            const CliResult result = RunCli(args, true);
            unsetenv("VANTREL_FAIL_FILE_STEP");
            // Each output is the old file or a complete new one.
            for (const std::string& name : command.outputs) {
                const std::string bytes = vantrel::test::FileText(out / name);
                if (bytes != old) {
                    EXPECT_GT(bytes.size(), 16u) << name;
                }
            }
            EXPECT_EQ(std::size_t(std::distance(fs::directory_iterator(out), fs::directory_iterator())),
                      command.outputs.size());
            if (result.exitCode == 0) break;  // the step number is past the last step
            ++failures;
            EXPECT_EQ(result.exitCode, 3) << result.out;
            EXPECT_NE(result.out.find("No space left on device"), std::string::npos) << result.out;
            // The first failure is at the very first step: nothing was replaced.
            if (n == 1) {
                for (const std::string& name : command.outputs) EXPECT_EQ(vantrel::test::FileText(out / name), old) << name;
            }
        }
        // Open, write, close and rename of every file at least (a folder of
        // frames is synced once at the end, single files each on their own).
        EXPECT_GE(failures, 4 * int(command.outputs.size()));
        for (const std::string& name : command.outputs) EXPECT_NE(vantrel::test::FileText(out / name), old) << name;
    }
}

}  // namespace
