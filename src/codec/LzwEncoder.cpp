#include "codec/LzwEncoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vantrel {

namespace {

// Packs codes least significant bit first. Whole 32-bit groups are stored as
// soon as they are complete; the byte sequence is the same as storing byte by byte.
class BitPacker {
public:
    explicit BitPacker(std::uint8_t* out) : out_(out) {}

    void Put(std::uint32_t code, int width) {
        bits_ |= std::uint64_t{code} << count_;
        count_ += width;
        if (count_ >= 32) {
            const auto word = static_cast<std::uint32_t>(bits_);
            out_[0] = static_cast<std::uint8_t>(word);
            out_[1] = static_cast<std::uint8_t>(word >> 8);
            out_[2] = static_cast<std::uint8_t>(word >> 16);
            out_[3] = static_cast<std::uint8_t>(word >> 24);
            out_ += 4;
            bits_ >>= 32;
            count_ -= 32;
        }
    }

    // Stores the remaining bits, the last byte padded with zero bits; returns
    // the end of the output.
    std::uint8_t* Finish() {
        while (count_ > 0) {
            *out_++ = static_cast<std::uint8_t>(bits_);
            bits_ >>= 8;
            count_ -= 8;
        }
        return out_;
    }

private:
    std::uint8_t* out_;
    std::uint64_t bits_ = 0;
    int count_ = 0;
};

// Bytes the output can need at most: every input byte its own 12-bit code,
// plus the first clear, the end code and one clear per table fill, plus room
// for the last whole-word store.
std::size_t WorstCaseBytes(std::size_t inputLength) {
    const std::size_t codes = inputLength + inputLength / 1024 + 4;
    return (codes * kLzwMaxCodeBits + 7) / 8 + 8;
}

// All bits set in any index: its bit width is the bit width of the largest
// index. Eight bytes at a time.
unsigned UnionOfBits(std::span<const std::uint8_t> indices) {
    std::uint64_t wide = 0;
    std::size_t i = 0;
    for (; i + 8 <= indices.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, indices.data() + i, sizeof word);
        wide |= word;
    }
    for (; i < indices.size(); ++i) wide |= indices[i];
    wide |= wide >> 32;
    wide |= wide >> 16;
    wide |= wide >> 8;
    return static_cast<unsigned>(wide & 0xFF);
}

}  // namespace

int MinimumCodeSizeFor(int indexCount) {
    int size = kLzwMinCodeSizeLow;
    while (size < kLzwMinCodeSizeHighWritten && indexCount > (1 << size)) ++size;
    return size;
}

void LzwEncoder::ClearTable(std::uint32_t firstCode, std::uint32_t endCode) {
    for (std::uint32_t code = firstCode; code < endCode; ++code) table_[slotOfCode_[code]] = 0;
}

int LzwEncoder::Encode(std::span<const std::uint8_t> indices, int minimumCodeSize,
                       std::vector<std::uint8_t>& out) {
    out.clear();
    // The code size must leave every index below the clear code.
    const int codeSize = std::max(std::clamp(minimumCodeSize, kLzwMinCodeSizeLow, kLzwMinCodeSizeHighWritten),
                                  static_cast<int>(std::bit_width(UnionOfBits(indices))));
    if (indices.empty()) return codeSize;

    const std::size_t slotsNeeded = std::size_t{kRowStride} << codeSize;
    if (table_.size() < slotsNeeded) table_.resize(slotsNeeded, 0);
    scratch_.resize(std::max(scratch_.size(), WorstCaseBytes(indices.size())));
    BitPacker bits(scratch_.data());

    const std::uint32_t clearCode = 1u << codeSize;
    const std::uint32_t endCode = clearCode + 1;
    const std::uint32_t firstCode = clearCode + 2;
    const int initialWidth = codeSize + 1;

    std::uint16_t* const table = table_.data();
    std::uint32_t* const slotOfCode = slotOfCode_.data();
    std::uint32_t nextCode = firstCode;
    int width = initialWidth;
    std::uint32_t widthLimit = 1u << width;

    bits.Put(clearCode, width);
    const std::uint8_t* in = indices.data();
    const std::uint8_t* const inEnd = in + indices.size();
    std::uint32_t prefix = *in++;  // code of the longest match so far
    while (in != inEnd) {
        const std::uint32_t byte = *in++;
        const std::uint32_t slot = byte * kRowStride + prefix;
        const std::uint32_t code = table[slot];
        if (code != 0) {
            prefix = code;
            continue;
        }
        // prefix + byte is new: emit the match and make its entry.
        bits.Put(prefix, width);
        table[slot] = static_cast<std::uint16_t>(nextCode);
        slotOfCode[nextCode] = slot;
        if (nextCode == widthLimit) {
            ++width;
            widthLimit <<= 1;
        }
        if (nextCode == static_cast<std::uint32_t>(kLzwMaxCode)) {
            bits.Put(clearCode, width);
            ClearTable(firstCode, kLzwTableSize);
            nextCode = firstCode;
            width = initialWidth;
            widthLimit = 1u << width;
        } else {
            ++nextCode;
        }
        prefix = byte;
    }
    bits.Put(prefix, width);
    bits.Put(endCode, width);
    const std::uint8_t* const written = bits.Finish();
    // Leave the table empty for the next call.
    ClearTable(firstCode, nextCode);

    out.assign(static_cast<const std::uint8_t*>(scratch_.data()), written);
    return codeSize;
}

}  // namespace vantrel
