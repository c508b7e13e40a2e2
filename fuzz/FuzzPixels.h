#pragma once
// What the fuzz targets share: reading every pixel a run produced, so that
// the sanitizers see any pixel that lies outside its buffer.

#include <cstdint>

#include "core/PackedDib.h"

#if defined(__SANITIZE_ADDRESS__)  // gcc
#define VANTREL_FUZZ_ASAN 1
#elif defined(__has_feature)  // clang
#if __has_feature(address_sanitizer)
#define VANTREL_FUZZ_ASAN 1
#endif
#endif
#ifdef VANTREL_FUZZ_ASAN
#include <sanitizer/asan_interface.h>
#endif

// Coverage tracing exists only where clang builds the fuzzers.
#if defined(__clang__)
#define VANTREL_FUZZ_UNTRACED __attribute__((no_sanitize("coverage", "address")))
#else
#define VANTREL_FUZZ_UNTRACED __attribute__((no_sanitize("address")))
#endif

namespace vantrel::fuzz {

// Its loop is not traced for coverage: it decides nothing, and tracing its
// comparisons cost more than the code under test. Under the address
// sanitizer each row is checked as a whole rather than pixel by pixel, which
// finds the same rows outside their buffer at a fraction of the cost.
VANTREL_FUZZ_UNTRACED inline std::uint32_t SumOfPixels(const PackedDib& image) {
    std::uint32_t sum = 0;
    const int width = image.Width();
    for (int y = 0; y < image.Height(); ++y) {
        const PixelValue* row = image.Row(y);
#ifdef VANTREL_FUZZ_ASAN
        if (__asan_region_is_poisoned(const_cast<PixelValue*>(row), std::size_t(width) * sizeof(PixelValue)))
            __builtin_trap();
#endif
        for (int x = 0; x < width; ++x) sum += row[x];
    }
    return sum;
}

// Keeps value, and so the reads that made it, from being optimised away.
inline void Keep(std::uint32_t value) {
    volatile std::uint32_t sink = value;
    (void)sink;
}

}  // namespace vantrel::fuzz
