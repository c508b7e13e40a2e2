#include "core/FileIO.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <string>

#include "support/TestPaths.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::span<const std::uint8_t> AsBytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST(FileIO, WriteReplacesAndReadsBack) {
    const auto dir = test::ScratchDir("fileio-replace");
    const auto target = dir / "out.bin";
    ASSERT_TRUE(WriteFileAtomic(target, AsBytes("first")).ok());
    ASSERT_TRUE(WriteFileAtomic(target, AsBytes("second version")).ok());
    EXPECT_EQ(test::FileText(target), "second version");
    auto bytes = ReadFileBytes(target);
    ASSERT_TRUE(bytes.ok()) << bytes.message();
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "second version");
    // Nothing but the target is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST(FileIO, FailedWriteKeepsTheOldFile) {
    const auto dir = test::ScratchDir("fileio-fail");
    const auto target = dir / "doc.qvd";
    ASSERT_TRUE(WriteFileAtomic(target, AsBytes("precious")).ok());
    // The writer produces part of its output, then fails.
    const Status status = WriteFileAtomic(target, [](const ByteSinkFn& sink) {
        return sink(AsBytes("half of the new")) && false;
    });
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(status.message().empty());
    EXPECT_EQ(test::FileText(target), "precious");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// Every way of flushing replaces the file whole or not at all: a failure at
// any step keeps the old file and leaves no temporary file. Only Each
// flushes the file's data (one step more than the others).
TEST(FileIO, EverySyncModeReplacesWholeOrNotAtAll) {
    const FileSync modes[] = {FileSync::Each, FileSync::Later, FileSync::None};
    int steps[std::size(modes)] = {};
    for (std::size_t m = 0; m < std::size(modes); ++m) {
        SCOPED_TRACE(m);
        const auto dir = test::ScratchDir(("fileio-sync-" + std::to_string(m)).c_str());
        const auto target = dir / "out.gif";
        ASSERT_TRUE(WriteFileAtomic(target, AsBytes("old")).ok());
        {
            ScopedFileFault counter(0, 0);
            ASSERT_TRUE(WriteFileAtomic(target, AsBytes("new picture"), modes[m]).ok());
            steps[m] = counter.Steps();
        }
        EXPECT_EQ(test::FileText(target), "new picture");
        for (int n = 1; n <= steps[m]; ++n) {
            ASSERT_TRUE(WriteFileAtomic(target, AsBytes("old")).ok());
            {
                ScopedFileFault fault(n, EIO);
                EXPECT_FALSE(WriteFileAtomic(target, AsBytes("new picture"), modes[m]).ok()) << "step " << n;
            }
            EXPECT_EQ(test::FileText(target), "old") << "step " << n;
            EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
        }
    }
    EXPECT_EQ(steps[0], steps[1] + 1);
    EXPECT_EQ(steps[1], steps[2]);
}

TEST(FileIO, ReportsUnwritableAndUnreadablePaths) {
    const auto dir = test::ScratchDir("fileio-errors");
    EXPECT_FALSE(WriteFileAtomic(dir / "missing-folder" / "x.gif", AsBytes("x")).ok());
    EXPECT_FALSE(WriteFileAtomic(dir, AsBytes("x")).ok());  // a folder is not a file
    const auto missing = ReadFileBytes(dir / "nothing.gif");
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.message().find("nothing.gif"), std::string::npos);
    EXPECT_FALSE(ReadFileBytes(dir).ok());

    const auto big = dir / "big.bin";
    ASSERT_TRUE(WriteFileAtomic(big, AsBytes(std::string(100, 'a'))).ok());
    EXPECT_FALSE(ReadFileBytes(big, 99).ok());
    EXPECT_TRUE(ReadFileBytes(big, 100).ok());
}

std::size_t EntriesIn(const fs::path& dir) {
    return std::size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

// Things in the way of a save that are not regular files are refused by name
// and left as they were; a pipe or a device is not read either, and is never
// waited on (a pipe without a writer would block a plain open for ever).
TEST(FileIO, OnlyRegularFilesAreReadOrWritten) {
    const auto dir = test::ScratchDir("fileio-special");
    const auto fifo = dir / "pipe.gif";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    const auto folder = dir / "folder.gif";
    fs::create_directory(folder);

    struct Case {
        fs::path path;
        const char* reason;
    };
    const Case cases[] = {
        {fifo, "is not a regular file"},
        {"/dev/null", "is not a regular file"},
        {"/dev/zero", "is not a regular file"},
        {folder, "is a folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.string());
        const Status written = WriteFileAtomic(c.path, AsBytes("GIF89a"));
        EXPECT_FALSE(written.ok());
        EXPECT_EQ(written.message(), c.path.string() + ": " + c.reason);
        EXPECT_FALSE(CheckWriteTarget(c.path).ok());
        const auto read = ReadFileBytes(c.path);
        EXPECT_FALSE(read.ok());
        EXPECT_EQ(read.message(), c.path.string() + ": " + c.reason);
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(EntriesIn(dir), 2u);  // no temporary file left behind
}

// A file larger than the limit is refused from its size, before reading.
TEST(FileIO, ReadRefusesAFileOverTheLimitByItsSize) {
    const auto dir = test::ScratchDir("fileio-limit");
    const auto sparse = dir / "sparse.bin";
    { std::ofstream(sparse) << 'x'; }
    fs::resize_file(sparse, std::uintmax_t{1} << 40);  // a terabyte of holes
    const auto read = ReadFileBytes(sparse, 1000);
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(read.message(), sparse.string() + ": file is larger than 1000 bytes");
}

// Saving through a symbolic link replaces the file the link leads to, in that
// file's folder, and keeps the link; the file keeps its permissions.
TEST(FileIO, SavingThroughALinkReplacesItsTarget) {
    const auto dir = test::ScratchDir("fileio-link");
    const auto real = dir / "real";
    const auto links = dir / "links";
    fs::create_directories(real);
    fs::create_directories(links);
    const auto target = real / "doc.qvd";
    ASSERT_TRUE(WriteFileAtomic(target, AsBytes("old")).ok());
    fs::permissions(target, fs::perms(0640));
    const auto link = links / "doc.qvd";
    fs::create_symlink("../real/doc.qvd", link);  // relative to the link's folder
    const auto chain = links / "chain.qvd";
    fs::create_symlink(link, chain);

    EXPECT_EQ(ResolveWriteTarget(chain), links / "../real/doc.qvd");
    EXPECT_EQ(ResolveWriteTarget(target), target);
    ASSERT_TRUE(WriteFileAtomic(chain, AsBytes("new")).ok());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_symlink(chain));
    EXPECT_EQ(test::FileText(target), "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms(0640));
    EXPECT_EQ(EntriesIn(real), 1u);
    EXPECT_EQ(EntriesIn(links), 2u);
    EXPECT_TRUE(IsSameFile(chain, target));
    EXPECT_TRUE(IsSameFile(dir / "real" / "." / "doc.qvd", target));
    EXPECT_FALSE(IsSameFile(links, target));
    EXPECT_FALSE(IsSameFile(dir / "missing", dir / "missing"));

    // A link to a file not yet made makes that file.
    const auto dangling = links / "new.gif";
    fs::create_symlink("../real/new.gif", dangling);
    ASSERT_TRUE(WriteFileAtomic(dangling, AsBytes("made")).ok());
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(test::FileText(real / "new.gif"), "made");

    // Links that lead round in a circle are refused.
    fs::create_symlink(links / "b", links / "a");
    fs::create_symlink(links / "a", links / "b");
    EXPECT_FALSE(WriteFileAtomic(links / "a", AsBytes("x")).ok());
    EXPECT_TRUE(fs::is_symlink(links / "a"));
}

// A read-only file is not replaced, even by the super user, and says so.
TEST(FileIO, ReadOnlyFileIsNotReplaced) {
    const auto dir = test::ScratchDir("fileio-readonly");
    const auto target = dir / "locked.gif";
    ASSERT_TRUE(WriteFileAtomic(target, AsBytes("kept")).ok());
    EXPECT_FALSE(IsReadOnlyFile(target));
    fs::permissions(target, fs::perms(0444));
    EXPECT_TRUE(IsReadOnlyFile(target));
    const Status written = WriteFileAtomic(target, AsBytes("lost"));
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(written.message(), target.string() + ": the file is read-only");
    EXPECT_EQ(test::FileText(target), "kept");
    EXPECT_EQ(EntriesIn(dir), 1u);

    // The same through a link.
    const auto link = dir / "link.gif";
    fs::create_symlink(target, link);
    EXPECT_TRUE(IsReadOnlyFile(link));
    EXPECT_FALSE(WriteFileAtomic(link, AsBytes("lost")).ok());
    EXPECT_EQ(test::FileText(target), "kept");
    EXPECT_FALSE(IsReadOnlyFile(dir / "missing.gif"));
}

}  // namespace
}  // namespace vantrel
