#include "codec/LzwDecoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace vantrel {

namespace {

// The string table. Every entry knows its length and its first byte, so a
// string can be written straight into the output, last byte first, by
// walking the prefix chain; no stack and no second copy. Faster still, every
// string of the table has been written out whole before (an entry is the
// previous string followed by the first byte of the next one), so it is
// copied from where it lies in the output.
struct LzwTable {
    std::array<std::uint16_t, kLzwTableSize> prefix;
    std::array<std::uint8_t, kLzwTableSize> suffix;
    std::array<std::uint8_t, kLzwTableSize> first;
    std::array<std::uint16_t, kLzwTableSize> length;
    std::array<std::uint32_t, kLzwTableSize> offset;  // where the string lies in the output
};

// Copies length bytes from src to dst, which lies at or after src + length,
// sixteen at a time: each step loads before it stores. Up to 15 bytes past
// both ends are read and written, so both must lie that far inside the buffer.
void CopyString(const std::uint8_t* src, std::uint8_t* dst, std::size_t length) {
    for (std::size_t done = 0; done < length; done += 16) {
        std::uint64_t words[2];
        std::memcpy(words, src + done, sizeof words);
        std::memcpy(dst + done, words, sizeof words);
    }
}

// Codes come least significant bit first. Up to 64 bits are held at a time;
// whole words are loaded while at least 8 bytes remain.
class CodeReader {
public:
    explicit CodeReader(std::span<const std::uint8_t> data)
        : in_(data.data()), end_(data.data() + data.size()) {}

    // Makes at least n bits available (n <= 12); false when the data holds fewer.
    bool Fill(unsigned n) {
        if (bits_ >= n) return true;
        if (end_ - in_ >= 8) {
            buffer_ |= LoadLittleEndian64(in_) << bits_;
            in_ += (63 - bits_) >> 3;
            bits_ |= 56;
            return true;
        }
        while (bits_ <= 56 && in_ < end_) {
            buffer_ |= std::uint64_t{*in_++} << bits_;
            bits_ += 8;
        }
        return bits_ >= n;
    }

    unsigned Take(unsigned n) {
        const auto code = static_cast<unsigned>(buffer_ & ((std::uint64_t{1} << n) - 1));
        buffer_ >>= n;
        bits_ -= n;
        return code;
    }

private:
    static std::uint64_t LoadLittleEndian64(const std::uint8_t* p) {
        if constexpr (std::endian::native == std::endian::little) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            return word;
        } else {
            std::uint64_t word = 0;
            for (int i = 7; i >= 0; --i) word = (word << 8) | p[i];
            return word;
        }
    }

    const std::uint8_t* in_;
    const std::uint8_t* end_;
    std::uint64_t buffer_ = 0;
    unsigned bits_ = 0;
};

}  // namespace

LzwResult DecodeLzw(int minimumCodeSize, std::span<const std::uint8_t> data,
                    std::span<std::uint8_t> out) {
    LzwResult result;
    if (minimumCodeSize < kLzwMinCodeSizeLow || minimumCodeSize > kLzwMinCodeSizeHighRead) return result;
    result.decoded = true;

    const auto minimum = static_cast<unsigned>(minimumCodeSize);
    const unsigned clearCode = 1u << minimum;
    const unsigned endCode = clearCode + 1;

    // Literal entries never change; a clear code only resets the counters.
    // Literals above 255 (minimum sizes 9 to 11) stand for their low byte.
    LzwTable table;
    for (unsigned k = 0; k < clearCode; ++k) {
        table.prefix[k] = 0;
        table.suffix[k] = static_cast<std::uint8_t>(k);
        table.first[k] = static_cast<std::uint8_t>(k);
        table.length[k] = 1;
    }
    unsigned nextCode = clearCode + 2;
    unsigned codeWidth = minimum + 1;
    unsigned widthLimit = 1u << codeWidth;
    int previousCode = -1;

    std::uint8_t* const output = out.data();
    const std::size_t outputSize = out.size();
    std::size_t position = 0;

    // Where the previous code's string was written; strings are copied from
    // the output only while every string has been written where its entry
    // says (a string refused for want of room breaks that for good).
    std::size_t previousStart = 0;
    bool copying = true;
    // The end of what copying may have written past the strings: cleared
    // again at the end where no code reached.
    std::size_t copiedEnd = 0;

    // Writes the string of code at the output position unless it would run
    // past the end, in which case nothing of it is written.
    auto writeString = [&](unsigned code) {
        const std::size_t length = table.length[code];
        if (length > outputSize - position) {
            copying = false;
            return;
        }
        std::uint8_t* const start = output + position;
        // Literals have no place in the output of their own: they are made, not copied.
        if (copying && code > endCode && outputSize - position >= length + 15) {
            CopyString(output + table.offset[code], start, length);
            copiedEnd = std::max(copiedEnd, position + (length + 15) / 16 * 16);
        } else {
            for (std::size_t i = length; i-- > 0;) {
                start[i] = table.suffix[code];
                code = table.prefix[code];
            }
        }
        position += length;
    };
    // The entry of the previous string followed by suffix, whose bytes lie
    // where the previous string was written.
    auto addEntry = [&](unsigned prefix, std::uint8_t suffix) {
        table.prefix[nextCode] = static_cast<std::uint16_t>(prefix);
        table.suffix[nextCode] = suffix;
        table.first[nextCode] = table.first[prefix];
        table.length[nextCode] = static_cast<std::uint16_t>(table.length[prefix] + 1);
        table.offset[nextCode] = static_cast<std::uint32_t>(previousStart);
        ++nextCode;
    };

    CodeReader reader(data);
    // Once the output is full nothing more can be written, so decoding stops
    // there without changing the result.
    while (position < outputSize && reader.Fill(codeWidth)) {
        const unsigned code = reader.Take(codeWidth);
        if (code == clearCode) {
            nextCode = clearCode + 2;
            codeWidth = minimum + 1;
            widthLimit = 1u << codeWidth;
            previousCode = -1;
            continue;
        }
        if (code == endCode) break;
        const std::size_t start = position;
        if (code < nextCode) {
            if (code < clearCode) {
                output[position++] = static_cast<std::uint8_t>(code);
            } else {
                writeString(code);
            }
            if (previousCode >= 0 && nextCode < kLzwTableSize) {
                addEntry(static_cast<unsigned>(previousCode), table.first[code]);
            }
        } else if (code == nextCode && previousCode >= 0) {
            // The string being defined: the previous string plus its own first byte.
            const auto previous = static_cast<unsigned>(previousCode);
            writeString(previous);
            addEntry(previous, table.first[previous]);
            if (position < outputSize) {
                output[position++] = table.first[previous];
            } else {
                copying = false;
            }
        } else {
            continue;  // a code the table does not hold yet: skipped, nothing changes
        }
        previousCode = static_cast<int>(code);
        previousStart = start;
        if (nextCode >= widthLimit && codeWidth < kLzwMaxCodeBits) {
            widthLimit <<= 1;
            ++codeWidth;
        }
    }
    if (copiedEnd > position) std::fill(output + position, output + copiedEnd, std::uint8_t{0});
    result.written = position;
    return result;
}

}  // namespace vantrel
