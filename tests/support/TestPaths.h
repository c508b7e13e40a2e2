#pragma once
// Where tests find their files.

#include <filesystem>
#include <string>

namespace vantrel::test {

// The third-party corpora folder (beside the checkout); may not exist.
std::filesystem::path CorporaDir();
// The project's source and build folders.
std::filesystem::path SourceDir();
std::filesystem::path BinaryDir();
// A fresh empty folder under the build tree for one test's output.
std::filesystem::path ScratchDir(const char* name);
// The whole content of a file as bytes in a string (empty when it cannot be read).
std::string FileText(const std::filesystem::path& path);

}  // namespace vantrel::test

// Skips the current test when the third-party corpora are not beside the checkout.
#define VANTREL_REQUIRE_CORPORA()                                                   \
    do {                                                                             \
        if (!std::filesystem::exists(::vantrel::test::CorporaDir()))                 \
            GTEST_SKIP() << "corpora folder not found: " << ::vantrel::test::CorporaDir(); \
    } while (0)
