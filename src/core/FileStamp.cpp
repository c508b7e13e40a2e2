#include "core/FileStamp.h"

#include <chrono>
#include <string>
#include <system_error>

#include "core/FileIO.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

std::uint64_t Fnv1a(const std::vector<std::uint8_t>& bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const std::uint8_t byte : bytes) hash = (hash ^ byte) * 0x100000001b3ull;
    return hash;
}

// Size and time of a regular file; none otherwise.
std::optional<FileStamp> SizeAndTime(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return std::nullopt;
    FileStamp stamp;
    stamp.size = fs::file_size(path, ec);
    if (ec) return std::nullopt;
    const auto time = fs::last_write_time(path, ec);
    if (ec) return std::nullopt;
    stamp.modifiedNs = std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
    return stamp;
}

}  // namespace

std::optional<FileStamp> StampFile(const fs::path& path) {
    auto stamp = SizeAndTime(path);
    if (!stamp) return std::nullopt;
    const auto bytes = ReadFileBytes(path);
    if (!bytes) return std::nullopt;
    stamp->size = bytes->size();
    stamp->hash = Fnv1a(*bytes);
    return stamp;
}

bool ChangedSince(const FileStamp& stamp, const fs::path& path) {
    const auto now = SizeAndTime(path);
    if (!now) return false;
    if (now->size == stamp.size && now->modifiedNs == stamp.modifiedNs) return false;
    if (now->size != stamp.size) return true;
    const auto current = StampFile(path);
    return current && current->hash != stamp.hash;
}

}  // namespace vantrel
