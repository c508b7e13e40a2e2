#include "core/FileStamp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/TestPaths.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

void Write(const fs::path& file, const std::string& text, std::chrono::seconds later) {
    const bool existed = fs::exists(file);
    const auto before = existed ? fs::last_write_time(file) : fs::file_time_type::clock::now();
    std::ofstream(file, std::ios::binary) << text;
    fs::last_write_time(file, before + later);
}

TEST(FileStamp, OnlyOtherBytesCountAsAChange) {
    const fs::path dir = test::ScratchDir("file-stamp");
    const fs::path file = dir / "doc.qvd";
    Write(file, "version one", 0s);
    const auto stamp = StampFile(file);
    ASSERT_TRUE(stamp.has_value());
    EXPECT_EQ(stamp->size, 11u);
    EXPECT_FALSE(ChangedSince(*stamp, file));

    const struct {
        const char* what;
        std::string text;
        std::chrono::seconds later;
        bool changed;
    } cases[] = {
        {"touched, same bytes", "version one", 3s, false},
        {"same size, other bytes", "version two", 3s, true},
        {"other size", "version three", 3s, true},
        {"back to the first bytes", "version one", 3s, false},
    };
    for (const auto& c : cases) {
        Write(file, c.text, c.later);
        EXPECT_EQ(ChangedSince(*stamp, file), c.changed) << c.what;
    }
    // A stamp taken now matches now.
    EXPECT_EQ(StampFile(file)->hash, stamp->hash);
    Write(file, "version two", 3s);
    EXPECT_NE(StampFile(file)->hash, stamp->hash);

    // Nothing to lose where nothing is; a folder is not stamped.
    fs::remove(file);
    EXPECT_FALSE(ChangedSince(*stamp, file));
    EXPECT_FALSE(StampFile(file).has_value());
    EXPECT_FALSE(StampFile(dir).has_value());
}

}  // namespace
}  // namespace vantrel
