#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace vantrel::test {

std::filesystem::path CorporaDir() { return VANTREL_CORPORA_DIR; }
std::filesystem::path SourceDir() { return VANTREL_SOURCE_DIR; }
std::filesystem::path BinaryDir() { return VANTREL_BINARY_DIR; }

// Each test gets its own folder under scratch/, named after the running test, so that
// tests run side by side (ctest -j) never wipe each other's files, even when they share
// a helper that asks for the same name.
std::filesystem::path ScratchDir(const char* name) {
    std::string test = "outside-a-test";
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
        test = std::string(info->test_suite_name()) + "." + info->name();
        for (char& c : test)
            if (c == '/') c = '_';
    }
    auto dir = BinaryDir() / "scratch" / test / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace vantrel::test
