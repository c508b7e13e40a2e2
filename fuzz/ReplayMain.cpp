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
#include <string>
#include <system_error>
#include <vector>

#include "core/FileIO.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    LLVMFuzzerTestOneInput(nullptr, 0);
    std::size_t inputs = 1;
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.starts_with('-')) continue;
        std::vector<fs::path> files;
        if (std::error_code ec; fs::is_directory(arg, ec)) {
            // The folder and its sub-folders, as the fuzzer reads a corpus.
            for (const auto& entry : fs::recursive_directory_iterator(arg, ec))
                if (entry.is_regular_file(ec)) files.push_back(entry.path());
            if (ec) {
                std::fprintf(stderr, "cannot list %s: %s\n", arg.c_str(), ec.message().c_str());
                ++failures;
            }
            std::sort(files.begin(), files.end());
        } else {
            files.push_back(arg);  // a file; reading it says why when it is not one
        }
        for (const fs::path& file : files) {
            const auto bytes = vantrel::ReadFileBytes(file);
            if (!bytes) {
                std::fprintf(stderr, "%s\n", bytes.status().message().c_str());
                ++failures;
                continue;
            }
            LLVMFuzzerTestOneInput(bytes->data(), bytes->size());
            ++inputs;
        }
    }
    std::printf("replayed %zu inputs\n", inputs);
    return failures == 0 ? 0 : 1;
}
