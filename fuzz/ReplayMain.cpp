// A stand-in for the fuzzer's driver, linked into the fuzz targets when they are
// built with the ordinary compiler (the sanitizer build): it feeds every file of
// the folders (and files) named on the command line to LLVMFuzzerTestOneInput
// once, the empty input first, as the fuzzer does when it only replays its
// corpus. Options starting with '-' are accepted and ignored, so one command
// line serves both drivers. Exits non-zero when a named path cannot be read;
// faults in the target are the sanitizers' to report.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool Replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    LLVMFuzzerTestOneInput(nullptr, 0);
    std::size_t inputs = 1;
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.starts_with('-')) continue;
        std::error_code ec;
        std::vector<fs::path> files;
        if (fs::is_directory(arg, ec)) {
            // The folder and its sub-folders, as the fuzzer reads a corpus.
            for (const auto& entry : fs::recursive_directory_iterator(arg, ec))
                if (entry.is_regular_file(ec)) files.push_back(entry.path());
            std::sort(files.begin(), files.end());
        } else {
            files.push_back(arg);
        }
        if (ec) {
            std::fprintf(stderr, "cannot list %s: %s\n", arg.c_str(), ec.message().c_str());
            ++failures;
        }
        for (const fs::path& file : files) {
            if (Replay(file)) {
                ++inputs;
            } else {
                std::fprintf(stderr, "cannot read %s\n", file.c_str());
                ++failures;
            }
        }
    }
    std::printf("replayed %zu inputs\n", inputs);
    return failures == 0 ? 0 : 1;
}
