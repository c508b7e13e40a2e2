#include "cli/PngWriter.h"

namespace vantrel::cli {

Status PngFolderWriter::Write(const std::string& name, const PackedDib& picture, PngAlpha alpha) {
    const std::filesystem::path path = folder_ / name;
    if (!picture.HasBlock() || picture.Width() <= 0 || picture.Height() <= 0) {
        return Status::Error(path.string() + ": an empty picture cannot be written as PNG");
    }
    if (!encoder_.Encode(picture, alpha, encoded_)) {
        return Status::Error(path.string() + ": PNG encoding failed");
    }
    return WriteFileAtomic(path, encoded_, FileSync::Later);
}

}  // namespace vantrel::cli
