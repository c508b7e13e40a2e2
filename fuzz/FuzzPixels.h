#pragma once
// What the fuzz targets share: reading every pixel a run produced, so that
// the sanitizers see any pixel that lies outside its buffer.

#include <cstdint>

#include "core/PackedDib.h"

namespace vantrel::fuzz {

// Its loop is not traced for coverage: it decides nothing, and tracing its
// comparisons cost more than the code under test.
__attribute__((no_sanitize("coverage"))) inline std::uint32_t SumOfPixels(const PackedDib& image) {
    std::uint32_t sum = 0;
    for (int y = 0; y < image.Height(); ++y) {
        const PixelValue* row = image.Row(y);
        for (int x = 0; x < image.Width(); ++x) sum += row[x];
    }
    return sum;
}

// Keeps value, and so the reads that made it, from being optimised away.
inline void Keep(std::uint32_t value) {
    volatile std::uint32_t sink = value;
    (void)sink;
}

}  // namespace vantrel::fuzz
