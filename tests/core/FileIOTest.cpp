#include "core/FileIO.h"

#include <gtest/gtest.h>

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
    std::string error;
    auto bytes = ReadFileBytes(target, &error);
    ASSERT_TRUE(bytes.has_value()) << error;
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

TEST(FileIO, ReportsUnwritableAndUnreadablePaths) {
    const auto dir = test::ScratchDir("fileio-errors");
    EXPECT_FALSE(WriteFileAtomic(dir / "missing-folder" / "x.gif", AsBytes("x")).ok());
    EXPECT_FALSE(WriteFileAtomic(dir, AsBytes("x")).ok());  // a folder is not a file
    std::string error;
    EXPECT_FALSE(ReadFileBytes(dir / "nothing.gif", &error).has_value());
    EXPECT_NE(error.find("nothing.gif"), std::string::npos);
    EXPECT_FALSE(ReadFileBytes(dir, &error).has_value());

    const auto big = dir / "big.bin";
    ASSERT_TRUE(WriteFileAtomic(big, AsBytes(std::string(100, 'a'))).ok());
    EXPECT_FALSE(ReadFileBytes(big, &error, 99).has_value());
    EXPECT_TRUE(ReadFileBytes(big, &error, 100).has_value());
}

}  // namespace
}  // namespace vantrel
