#include "support/TestPaths.h"

#include <fstream>
#include <iterator>

namespace vantrel::test {

std::filesystem::path CorporaDir() { return VANTREL_CORPORA_DIR; }
std::filesystem::path SourceDir() { return VANTREL_SOURCE_DIR; }
std::filesystem::path BinaryDir() { return VANTREL_BINARY_DIR; }

std::filesystem::path ScratchDir(const char* name) {
    auto dir = BinaryDir() / "scratch" / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace vantrel::test
