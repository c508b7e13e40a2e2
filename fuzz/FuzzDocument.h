#pragma once
// What the fuzz targets that read documents and item packs share.

#include <cstdint>
#include <memory>

#include "text/Font.h"

namespace vantrel::fuzz {

// Far below the program's own budget (and below one frame of the largest
// canvas, 5.5 MiB): every limit is reached by small inputs, and each run
// stays fast, as the cost of a run grows with the pixels it may make.
inline constexpr std::uint64_t kDocumentMemoryBudget = std::uint64_t{1} << 20;

// Keeps the font system up between runs: labels would otherwise start and
// stop fontconfig on every input.
inline void KeepFontsLoaded() {
    static const std::unique_ptr<Font> font = Font::Create(LogFont::DocumentDefault());
}

}  // namespace vantrel::fuzz
