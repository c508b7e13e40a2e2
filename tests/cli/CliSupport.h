#pragma once
// Running vantrel-cli from tests, and small files for it to work on.

#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/TestPaths.h"

namespace vantrel::test::cli {

namespace fs = std::filesystem;

struct CliResult {
    int exitCode = -1;
    std::string out;
};

inline std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs the tool with args; standard error is discarded unless asked for.
// With a time limit in seconds a run that takes longer is stopped (exit 124).
inline CliResult RunCli(const std::vector<std::string>& args, bool mergeStderr = false, int timeLimit = 0) {
    std::string command = Quote(VANTREL_CLI_PATH);
    if (timeLimit > 0) command = "timeout " + std::to_string(timeLimit) + " " + command;
    for (const auto& a : args) command += " " + Quote(a);
    command += mergeStderr ? " 2>&1" : " 2>/dev/null";
    CliResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    std::array<char, 4096> buf{};
    std::size_t n = 0;
    while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) result.out.append(buf.data(), n);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// A command's arguments written with stand-ins: IN for the input file, OUT
// for the output folder and OUT/x for a file in it.
inline std::vector<std::string> CommandLine(const std::string& name, const std::vector<std::string>& args,
                                            const fs::path& input, const fs::path& out) {
    std::vector<std::string> line{name};
    for (const std::string& a : args) {
        if (a == "IN") line.push_back(input.string());
        else if (a == "OUT") line.push_back(out.string());
        else if (a.starts_with("OUT/")) line.push_back((out / a.substr(4)).string());
        else line.push_back(a);
    }
    return line;
}

inline void WriteBytes(const fs::path& p, const std::vector<unsigned char>& bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A two-image GIF89a by hand: 2 x 1 screen, global table of 4 colours
// (black, red, green, blue), a NETSCAPE2.0 loop count of 3, image 1 with delay
// 7 and transparent index 1, image 2 a 1 x 1 image at (1, 0) with a local table.
inline std::vector<unsigned char> TwoImageGif() {
    return {
        'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, 0x81, 0, 0,  // screen, global table of 4
        0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255,              // black red green blue
        0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 3, 0, 0,
        0x21, 0xF9, 4, 0x05, 7, 0, 1, 0,  // disposal 1, transparent, delay 7, index 1
        0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0,  // image 2 x 1 at 0,0
        2, 2, 0x8C, 0x0A, 0,              // codes clear, 1, 2, end
        0x2C, 1, 0, 0, 0, 1, 0, 1, 0, 0x80,  // image 1 x 1 at 1,0, local table of 2
        9, 9, 9, 200, 100, 50,               // local colours
        2, 2, 0x4C, 0x01, 0,                 // codes clear, 1, end
        0x3B,
    };
}

// A test's own fresh folder (named after the test) holding two.gif.
class ScratchWithTwoGif : public ::testing::Test {
protected:
    void SetUp() override {
        dir = ScratchDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        two = dir / "two.gif";
        WriteBytes(two, TwoImageGif());
    }
    fs::path dir;
    fs::path two;
};

// Reads a PNG as 8-bit RGBA rows.
inline bool ReadPng(const fs::path& p, int& w, int& h, std::vector<unsigned char>& rgba) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, p.c_str())) return false;
    image.format = PNG_FORMAT_RGBA;
    rgba.resize(PNG_IMAGE_SIZE(image));
    const bool ok = png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr) != 0;
    w = int(image.width);
    h = int(image.height);
    return ok;
}

}  // namespace vantrel::test::cli
