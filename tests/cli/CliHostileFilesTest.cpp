// Every command that writes, given outputs it must not write: one of its own
// inputs, a pipe, a device, a read-only file; and given a symbolic link,
// which it saves through. Inputs that are pipes or devices are refused at
// once instead of being waited on or read without end.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <iterator>

#include "cli/CliSupport.h"

namespace {

using namespace vantrel::test::cli;
namespace fs = std::filesystem;

// A run that waits on a pipe would stop here instead of hanging the test.
constexpr int kTimeLimit = 20;

struct WritingCommand {
    const char* name;
    // Arguments after the command's name: IN stands for the input file, OUT
    // for the output folder and OUT/x for a file in it.
    std::vector<std::string> args;
    // The first file the command writes, relative to the output folder.
    std::string output;
};

const WritingCommand kCommands[] = {
    {"save", {"IN", "OUT/doc.qvd"}, "doc.qvd"},
    {"export", {"IN", "OUT/anim.gif"}, "anim.gif"},
    {"export", {"IN", "OUT/anim.gif", "--max-bytes", "100000"}, "anim.gif"},
    {"export-frame", {"IN", "2", "OUT/frame.gif"}, "frame.gif"},
    {"export-frame", {"IN", "1", "OUT/frame.jpg"}, "frame.jpg"},
    {"render", {"IN", "OUT"}, "frame-001.png"},
    {"decode", {"IN", "OUT"}, "image-001.png"},
    {"quick", {"OUT/quick.gif", "IN"}, "quick.gif"},
    {"quick", {"OUT/quick.qvd", "IN"}, "quick.qvd"},
};

std::size_t EntriesIn(const fs::path& dir) {
    return std::size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

std::vector<std::string> ArgsFor(const WritingCommand& command, const fs::path& input, const fs::path& out) {
    return CommandLine(command.name, command.args, input, out);
}

std::string Trace(const WritingCommand& command) { return command.name + std::string(" -> ") + command.output; }

class CliHostileFiles : public ScratchWithTwoGif {
protected:
    // A fresh, empty output folder.
    fs::path FreshOut() {
        const fs::path out = dir / "out";
        fs::remove_all(out);
        fs::create_directory(out);
        return out;
    }
};

// The output named as the input: refused with exit 1 before anything is
// written, the input unchanged. The input is what the command wrote in a
// first run (decode reads a GIF, so there it is the GIF under that name).
TEST_F(CliHostileFiles, OutputThatIsAnInputIsRefusedAndUntouched) {
    for (const WritingCommand& command : kCommands) {
        SCOPED_TRACE(Trace(command));
        const fs::path out = FreshOut();
        const fs::path self = out / command.output;
        ASSERT_EQ(RunCli(ArgsFor(command, two, out), false, kTimeLimit).exitCode, 0);
        if (command.name == std::string("decode")) fs::copy_file(two, self, fs::copy_options::overwrite_existing);
        for (const auto& entry : fs::directory_iterator(out))
            if (entry.path() != self) fs::remove(entry.path());
        const std::string before = vantrel::test::FileText(self);
        const CliResult result = RunCli(ArgsFor(command, self, out), true, kTimeLimit);
        EXPECT_EQ(result.exitCode, 1) << result.out;
        EXPECT_NE(result.out.find("is an input of the command"), std::string::npos) << result.out;
        EXPECT_EQ(vantrel::test::FileText(self), before);
        EXPECT_EQ(EntriesIn(out), 1u);
    }
    // The same file under another spelling, and through a link.
    const fs::path doc = dir / "doc.qvd";
    ASSERT_EQ(RunCli({"save", two.string(), doc.string()}).exitCode, 0);
    const std::string before = vantrel::test::FileText(doc);
    fs::create_symlink(doc, dir / "link.qvd");
    EXPECT_EQ(RunCli({"export", doc.string(), (dir / "." / "doc.qvd").string()}).exitCode, 1);
    EXPECT_EQ(RunCli({"save", (dir / "link.qvd").string(), (dir / "doc").string()}).exitCode, 1);
    EXPECT_EQ(vantrel::test::FileText(doc), before);
    EXPECT_TRUE(fs::is_symlink(dir / "link.qvd"));
}

// A pipe, a folder or a device where the output goes: exit 3, left as it was.
TEST_F(CliHostileFiles, OutputThatIsNoRegularFileIsRefusedWith3) {
    for (const WritingCommand& command : kCommands) {
        SCOPED_TRACE(Trace(command));
        const fs::path out = FreshOut();
        const fs::path fifo = out / command.output;
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
        const CliResult piped = RunCli(ArgsFor(command, two, out), true, kTimeLimit);
        EXPECT_EQ(piped.exitCode, 3) << piped.out;
        EXPECT_NE(piped.out.find(fifo.filename().string() + ": is not a regular file"), std::string::npos)
            << piped.out;
        EXPECT_TRUE(fs::is_fifo(fifo));

        fs::remove(fifo);
        fs::create_directory(fifo);
        const CliResult folder = RunCli(ArgsFor(command, two, out), true, kTimeLimit);
        EXPECT_EQ(folder.exitCode, 3) << folder.out;
        EXPECT_TRUE(fs::is_directory(fifo));
        EXPECT_EQ(EntriesIn(out), 1u);
    }
    for (const char* device : {"/dev/null", "/dev/full"}) {
        SCOPED_TRACE(device);
        EXPECT_EQ(RunCli({"export", two.string(), device}, false, kTimeLimit).exitCode, 3);
        EXPECT_TRUE(fs::is_character_file(device));
    }
}

// A read-only output is not replaced: exit 3, naming it.
TEST_F(CliHostileFiles, ReadOnlyOutputIsKept) {
    const std::string old = "the previous file";
    for (const WritingCommand& command : kCommands) {
        SCOPED_TRACE(Trace(command));
        const fs::path out = FreshOut();
        const fs::path target = out / command.output;
        std::ofstream(target, std::ios::binary) << old;
        fs::permissions(target, fs::perms(0444));
        const CliResult result = RunCli(ArgsFor(command, two, out), true, kTimeLimit);
        EXPECT_EQ(result.exitCode, 3) << result.out;
        EXPECT_NE(result.out.find(command.output + ": the file is read-only"), std::string::npos) << result.out;
        EXPECT_EQ(vantrel::test::FileText(target), old);
        EXPECT_EQ(EntriesIn(out), 1u);
    }
}

// Through a symbolic link the file it leads to is replaced, in its own
// folder; the link stays a link.
TEST_F(CliHostileFiles, SavingThroughALinkUpdatesItsTarget) {
    const std::string old = "the previous file";
    const fs::path real = dir / "real";
    for (const WritingCommand& command : kCommands) {
        SCOPED_TRACE(Trace(command));
        const fs::path out = FreshOut();
        fs::remove_all(real);
        fs::create_directory(real);
        const fs::path target = real / command.output;
        std::ofstream(target, std::ios::binary) << old;
        const fs::path link = out / command.output;
        fs::create_symlink(fs::path("..") / "real" / command.output, link);
        const CliResult result = RunCli(ArgsFor(command, two, out), true, kTimeLimit);
        EXPECT_EQ(result.exitCode, 0) << result.out;
        EXPECT_TRUE(fs::is_symlink(link));
        const std::string now = vantrel::test::FileText(target);
        EXPECT_NE(now, old);
        EXPECT_GT(now.size(), 16u);
        EXPECT_EQ(EntriesIn(real), 1u);  // no temporary file left beside it
    }
}

// A pipe or a device as input is refused at once (exit 2), never waited on
// and never read to the size limit.
TEST_F(CliHostileFiles, InputThatIsNoRegularFileIsRefusedAtOnce) {
    const fs::path fifo = dir / "pipe.gif";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    const fs::path fifoDocument = dir / "pipe.qvd";
    ASSERT_EQ(::mkfifo(fifoDocument.c_str(), 0666), 0);
    const fs::path fifoPicture = dir / "pipe.jpg";
    ASSERT_EQ(::mkfifo(fifoPicture.c_str(), 0666), 0);
    for (const fs::path& input : {fifo, fifoDocument, fifoPicture, fs::path("/dev/zero")}) {
        SCOPED_TRACE(input.string());
        for (const WritingCommand& command : kCommands) {
            SCOPED_TRACE(Trace(command));
            const fs::path out = FreshOut();
            const CliResult result = RunCli(ArgsFor(command, input, out), true, kTimeLimit);
            EXPECT_EQ(result.exitCode, 2) << result.out;
            // quick refuses a document or a device by its name before it looks.
            const bool named = command.name != std::string("quick") || input == fifo || input == fifoPicture;
            const std::string expected =
                named ? input.string() + ": is not a regular file" : input.filename().string();
            EXPECT_NE(result.out.find(expected), std::string::npos) << result.out;
            EXPECT_EQ(EntriesIn(out), 0u);
        }
        EXPECT_EQ(RunCli({"info", input.string()}, false, kTimeLimit).exitCode, 2);
        EXPECT_EQ(RunCli({"info", "--document", input.string()}, false, kTimeLimit).exitCode, 2);
    }
}

// With --max-bytes the file is said to fit only once it is written.
TEST_F(CliHostileFiles, MaxBytesSaysFitsOnlyAfterWriting) {
    const fs::path out = FreshOut();
    const fs::path target = out / "anim.gif";
    std::ofstream(target, std::ios::binary) << "old";
    fs::permissions(target, fs::perms(0444));
    const CliResult refused =
        RunCli({"export", two.string(), target.string(), "--max-bytes", "100000"}, true, kTimeLimit);
    EXPECT_EQ(refused.exitCode, 3);
    EXPECT_EQ(refused.out.find("fits"), std::string::npos) << refused.out;
    fs::permissions(target, fs::perms(0644));
    const CliResult written =
        RunCli({"export", two.string(), target.string(), "--max-bytes", "100000"}, true, kTimeLimit);
    EXPECT_EQ(written.exitCode, 0);
    EXPECT_NE(written.out.find("fits the limit of 100000 bytes"), std::string::npos) << written.out;
    EXPECT_NE(written.out.find("bytes written"), std::string::npos) << written.out;
}

}  // namespace
