#pragma once
// What a file on disk was when a document was read from it or saved to it:
// its size, its modification time and a hash of its bytes, so that a later
// save can tell whether someone else wrote the file in between.

#include <cstdint>
#include <filesystem>
#include <optional>

namespace vantrel {

struct FileStamp {
    std::uintmax_t size = 0;
    std::int64_t modifiedNs = 0;  // nanoseconds of the file clock
    std::uint64_t hash = 0;       // FNV-1a of the bytes
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The file's stamp; none when it cannot be read (gone, not a regular file).
std::optional<FileStamp> StampFile(const std::filesystem::path& path);

// Whether the file at path holds other bytes than when it was stamped. The
// same size and time count as unchanged without reading; a new time with
// the same bytes (touched, or written back unchanged) does not count. A
// file that is gone has nothing to lose and does not count either.
bool ChangedSince(const FileStamp& stamp, const std::filesystem::path& path);

}  // namespace vantrel
