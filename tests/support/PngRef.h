#pragma once
// Writing PNG files with libpng itself, as an independent source of PNG
// pictures for the tests of the importers and the command-line tool.

#include <filesystem>

#include "core/PackedDib.h"

namespace vantrel::test {

// Writes image as an 8-bit RGBA PNG (alpha = 255 - the transparency byte).
// Returns false when libpng or the file fails.
bool WritePngWithLibpng(const std::filesystem::path& path, const PackedDib& image);

}  // namespace vantrel::test
