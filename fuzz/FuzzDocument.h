#pragma once
// What the fuzz targets that read documents and item packs share.

#include <cstdint>
#include <memory>

#include "text/Font.h"

namespace vantrel::fuzz {

// Far below the program's own budget, so that the fuzzer's memory limit is
// never what stops a run.
inline constexpr std::uint64_t kDocumentMemoryBudget = std::uint64_t{256} << 20;

// Keeps the font system up between runs: labels would otherwise start and
// stop fontconfig on every input.
inline void KeepFontsLoaded() {
    static const std::unique_ptr<Font> font = Font::Create(LogFont::DocumentDefault());
}

}  // namespace vantrel::fuzz
