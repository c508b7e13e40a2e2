#pragma once
// The pieces of PNG writing shared by the still-picture encoder and the
// animated PNG writer: chunks with their lengths and CRCs, rows filtered with
// Sub, and zlib streams. Internal to the codec library.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/Pixel.h"

namespace vantrel::png {

inline constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
inline constexpr std::uint8_t kFilterSub = 1;
inline constexpr std::uint8_t kColorTypeRgb = 2;
inline constexpr std::uint8_t kColorTypeRgba = 6;

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value);
void PutBigEndian16(std::vector<std::uint8_t>& out, std::uint16_t value);

// A chunk is opened (space for its length and type left at the end of out),
// its data appended, then closed: length and type filled in, CRC added.
std::size_t OpenChunk(std::vector<std::uint8_t>& out);
void CloseChunk(std::vector<std::uint8_t>& out, std::size_t start, const char (&type)[5]);

// The 13 data bytes of IHDR for 8-bit samples of a colour type, no interlace.
void PutHeader(std::vector<std::uint8_t>& out, int width, int height, std::uint8_t colorType);

// Writes a row of width pixels as samples filtered with Sub (each byte minus
// the same channel of the pixel on its left, 0 left of the first pixel),
// after the filter type byte: 1 + 3 * width bytes for RGB, 1 + 4 * width for
// RGBA with alpha = 255 - T, or, with onlyFullyTransparent, alpha 0 for
// T = 255 and 255 for every other pixel.
void FilterRowRgb(const PixelValue* row, int width, std::uint8_t* out);
void FilterRowRgba(const PixelValue* row, int width, bool onlyFullyTransparent, std::uint8_t* out);

// Appends bytes compressed as one zlib stream at a level from 1 to 9 (zlib's
// default strategy). False when zlib fails or the input is too large for one
// call; out is then left as it was.
bool AppendZlib(std::span<const std::uint8_t> bytes, int level, std::vector<std::uint8_t>& out);

}  // namespace vantrel::png
