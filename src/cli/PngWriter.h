#pragma once
// Writes a PackedDib as an 8-bit RGBA PNG.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/FileIO.h"
#include "core/PackedDib.h"
#include "core/Status.h"

namespace vantrel::cli {

// How the transparency byte T of each pixel becomes PNG alpha.
enum class AlphaMode {
    OnlyFullyTransparent,  // T = 255 gives alpha 0, every other pixel alpha 255
    Inverse,               // alpha = 255 - T
};

// Writes pictures one after another into a folder, keeping its buffers from
// picture to picture. Files are not flushed one by one: Finish flushes the
// folder once.
class PngFolderWriter {
public:
    explicit PngFolderWriter(std::filesystem::path folder) : folder_(std::move(folder)) {}
    // Writes picture as folder/name through a temporary file renamed into place.
    Status Write(const std::string& name, const PackedDib& picture, AlphaMode mode);
    // Brings every file written to the disk.
    Status Finish() const { return SyncFolder(folder_); }

private:
    std::filesystem::path folder_;
    std::vector<std::uint8_t> rgba_;
    std::vector<std::uint8_t*> rows_;
    std::vector<std::uint8_t> encoded_;
};

}  // namespace vantrel::cli
