#pragma once
// The LZW decompressor of GIF image data: variable-width codes from 3 to 12
// bits, least significant bit first, with clear and end codes.
//
// Minimum code sizes 2 to 11 are read. Sizes 9 to 11 are valid streams that
// some encoders write (their literal codes above 255 stand for their low
// byte, as browsers read them); any other size is not decoded at all: the
// indices stay as they were.

#include <cstddef>
#include <cstdint>
#include <span>

#include "codec/Lzw.h"

namespace vantrel {

struct LzwResult {
    std::size_t written = 0;  // output position reached (bytes from the start of out)
    bool decoded = false;     // false when the minimum code size was refused
};

// Decodes data (the concatenated data sub-blocks of one image, without their
// length bytes) into out, which the caller has zero-filled.
//
// Damaged data is handled without reading or writing outside the spans:
// codes above the next free code are skipped; a code equal to the next free
// code right after a clear code is skipped too; a string that would run past
// the end of out is dropped whole (later, shorter strings may still fit);
// once the table holds 4096 entries nothing is added until a clear code.
// Bytes of out that no code reached keep their value (zero).
LzwResult DecodeLzw(int minimumCodeSize, std::span<const std::uint8_t> data,
                    std::span<std::uint8_t> out);

}  // namespace vantrel
