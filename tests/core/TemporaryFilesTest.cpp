#include "core/TemporaryFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/FileIO.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

void Touch(const fs::path& file, std::chrono::seconds age) {
    std::ofstream(file) << "half a save";
    fs::last_write_time(file, fs::file_time_type::clock::now() - age);
}

// What WriteFileAtomic writes while it runs is what the pattern names.
TEST(TemporaryFiles, ASaveInProgressWritesATemporaryFileOfItsTarget) {
    const fs::path dir = test::ScratchDir("temporary-in-progress");
    const fs::path target = dir / "banner.qvd";
    std::vector<fs::path> seen;
    ASSERT_TRUE(WriteFileAtomic(target, [&](const ByteSinkFn&) {
                    for (const auto& entry : fs::directory_iterator(dir)) seen.push_back(entry.path());
                    return true;
                }).ok());
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(IsTemporaryFileOf(seen[0], target)) << seen[0];
    EXPECT_FALSE(IsTemporaryFileOf(seen[0], dir / "banner.gif"));
}

TEST(TemporaryFiles, OnlyOldFilesOfThePatternAreRemoved) {
    const fs::path dir = test::ScratchDir("temporary-leftovers");
    const fs::path target = dir / "my banner.qvd";
    std::ofstream(target) << "the document";
    const fs::path killed = TemporaryFileFor(target, 0xdeadbeef);
    const fs::path killedToo = TemporaryFileFor(target, 7);
    const fs::path running = TemporaryFileFor(target, 0x1234abcd);
    Touch(killed, 3600s);
    Touch(killedToo, 120s);
    Touch(running, 0s);
    // Names that only look alike, and what is not a regular file, stay.
    const std::vector<std::string> strangers = {
        ".my banner.qvd.1234567.tmp",   ".my banner.qvd.123456789.tmp", ".my banner.qvd.1234567g.tmp",
        ".my banner.qvd.1234ABCD.tmp",  "my banner.qvd.12345678.tmp",   ".my banner.qvd.12345678.bak",
        ".other.qvd.12345678.tmp",      ".my banner.qvd.12345678.tmp~"};
    for (const std::string& name : strangers) Touch(dir / name, 3600s);
    const fs::path folder = TemporaryFileFor(target, 0xfeedface);
    fs::create_directory(folder);
    const fs::path link = TemporaryFileFor(target, 0xcafef00d);
    fs::create_symlink(target, link);

    EXPECT_EQ(RemoveLeftoverTemporaries(target, 60s), 2);
    EXPECT_FALSE(fs::exists(killed));
    EXPECT_FALSE(fs::exists(killedToo));
    EXPECT_TRUE(fs::exists(running));
    for (const std::string& name : strangers) EXPECT_TRUE(fs::exists(dir / name)) << name;
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test::FileText(target), "the document");
    // A target whose folder is gone removes nothing and does not fail.
    EXPECT_EQ(RemoveLeftoverTemporaries(dir / "gone" / "x.qvd", 0s), 0);
}

}  // namespace
}  // namespace vantrel
