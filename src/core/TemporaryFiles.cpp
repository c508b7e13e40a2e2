#include "core/TemporaryFiles.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>

namespace vantrel {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kDigits = 8;

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

}  // namespace

fs::path TemporaryFileFor(const fs::path& target, std::uint32_t number) {
    char digits[kDigits + 1];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(number));
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    return folder / ("." + target.filename().string() + "." + digits + std::string(kSuffix));
}

bool IsTemporaryFileOf(const fs::path& file, const fs::path& target) {
    const std::string name = file.filename().string();
    const std::string stem = "." + target.filename().string() + ".";
    if (name.size() != stem.size() + kDigits + kSuffix.size()) return false;
    if (name.compare(0, stem.size(), stem) != 0) return false;
    if (name.compare(stem.size() + kDigits, kSuffix.size(), kSuffix) != 0) return false;
    for (std::size_t i = 0; i < kDigits; ++i) {
        if (!IsHexDigit(name[stem.size() + i])) return false;
    }
    return true;
}

int RemoveLeftoverTemporaries(const fs::path& target, std::chrono::seconds minAge) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    int removed = 0;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        if (!IsTemporaryFileOf(entry.path(), target)) continue;
        // Not through a link: only a file of our own making goes.
        if (!entry.is_regular_file(ec) || entry.is_symlink(ec)) continue;
        const auto written = entry.last_write_time(ec);
        if (ec || now - written < minAge) continue;
        if (fs::remove(entry.path(), ec)) ++removed;
    }
    return removed;
}

}  // namespace vantrel
