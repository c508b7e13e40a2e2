#pragma once
// The temporary files a save writes beside its target before renaming them
// over it: ".NAME.XXXXXXXX.tmp" in the target's folder (XXXXXXXX eight
// hexadecimal digits). A save killed before its rename leaves one behind.

#include <chrono>
#include <cstdint>
#include <filesystem>

namespace vantrel {

// The temporary file of a save to target, told apart by number.
std::filesystem::path TemporaryFileFor(const std::filesystem::path& target, std::uint32_t number);

// Whether file is named as a temporary file of a save to target.
bool IsTemporaryFileOf(const std::filesystem::path& file, const std::filesystem::path& target);

// Removes the temporary files of saves to target that are older than minAge
// (younger ones may belong to a save still running, in this editor or
// another). Only regular files named by the pattern above go. Returns how
// many were removed.
int RemoveLeftoverTemporaries(const std::filesystem::path& target, std::chrono::seconds minAge);

}  // namespace vantrel
