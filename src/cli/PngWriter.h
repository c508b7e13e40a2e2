#pragma once
// Writes PackedDibs as PNG files into a folder.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "codec/PngCodec.h"
#include "core/FileIO.h"
#include "core/PackedDib.h"
#include "core/Status.h"

namespace vantrel::cli {

// Writes pictures one after another into a folder, keeping its buffers from
// picture to picture. Files are not flushed one by one: Finish flushes the
// folder once.
class PngFolderWriter {
public:
    explicit PngFolderWriter(std::filesystem::path folder) : folder_(std::move(folder)) {}
    // Writes picture as folder/name through a temporary file renamed into place.
    Status Write(const std::string& name, const PackedDib& picture, PngAlpha alpha);
    // Brings every file written to the disk.
    Status Finish() const { return SyncFolder(folder_); }

private:
    std::filesystem::path folder_;
    PngEncoder encoder_;
    std::vector<std::uint8_t> encoded_;
};

}  // namespace vantrel::cli
