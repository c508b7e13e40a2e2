#pragma once
// Writes a PackedDib as an 8-bit RGBA PNG.

#include <filesystem>

#include "core/PackedDib.h"
#include "core/Status.h"

namespace vantrel::cli {

// How the transparency byte T of each pixel becomes PNG alpha.
enum class AlphaMode {
    OnlyFullyTransparent,  // T = 255 gives alpha 0, every other pixel alpha 255
    Inverse,               // alpha = 255 - T
};

Status WritePng(const std::filesystem::path& path, const PackedDib& picture, AlphaMode mode);

}  // namespace vantrel::cli
