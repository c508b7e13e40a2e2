#pragma once
// The numbers of GIF's LZW variant, shared by the encoder and the decoder.

namespace vantrel {

// Codes are at most 12 bits wide, so the string table has 4096 entries.
inline constexpr int kLzwMaxCodeBits = 12;
inline constexpr int kLzwTableSize = 1 << kLzwMaxCodeBits;
// The last code: making its entry fills the table.
inline constexpr int kLzwMaxCode = kLzwTableSize - 1;

// Minimum code sizes. The encoder writes 2 to 8 (colour indices are bytes);
// the decoder reads 2 to 11, which still leaves room in the 12-bit table for
// the clear and end codes and for strings.
inline constexpr int kLzwMinCodeSizeLow = 2;
inline constexpr int kLzwMinCodeSizeHighWritten = 8;
inline constexpr int kLzwMinCodeSizeHighRead = kLzwMaxCodeBits - 1;

}  // namespace vantrel
