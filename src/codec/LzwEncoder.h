#pragma once
// LzwEncoder: the GIF variant of LZW compression (variable-width codes packed
// least significant bit first).
//
// The codes follow the usual GIF rules exactly: the longest string already in
// the table is emitted, every emitted code makes one table entry (that string
// plus the next byte), the code width grows right after the entry whose code
// is 2^width has been made, and right after entry 4095 has been made a clear
// code restarts the table, so code 4095 never appears in a stream.
//
// The longest match is found through a direct table indexed by (next byte,
// prefix code), so each input byte costs one table lookup. Codes made one
// after another for the same byte lie side by side, which keeps long runs in
// cache. Long runs of one byte value (flat areas) are walked along the chain
// of codes of that byte repeated 2, 3, 4, ... times, remembered until the
// next clear, so they cost a few steps rather than a lookup per byte. The
// object keeps its tables between calls; reuse one encoder for many images.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "codec/Lzw.h"

namespace vantrel {

// Smallest LZW minimum code size (2 to 8) whose code space holds indexCount
// distinct indices: 2 up to 4, 3 up to 8, ... 8 above 128.
int MinimumCodeSizeFor(int indexCount);

class LzwEncoder {
public:
    LzwEncoder() = default;
    LzwEncoder(const LzwEncoder&) = delete;
    LzwEncoder& operator=(const LzwEncoder&) = delete;

    // Compresses indices into out (replacing its contents) and returns the
    // minimum code size the data was written with: minimumCodeSize itself
    // when it lies in 2..8 and every index fits below 2^minimumCodeSize,
    // otherwise the smallest larger size that holds every index (a stream
    // whose indices reach the clear code would not decode). Empty input gives
    // no bytes at all.
    int Encode(std::span<const std::uint8_t> indices, int minimumCodeSize, std::vector<std::uint8_t>& out);

    // Which indices a lossy encoding may write in place of others.
    struct Substitutes {
        // For each index, the indices that may stand for it, best first;
        // the index itself is never listed.
        std::array<std::vector<std::uint8_t>, 256> of;
        // Positions (one flag per index of the input, or none) where any
        // pixel may be written as freeIndex instead: a transparent index
        // over pixels that show what the image before left there.
        std::span<const std::uint8_t> free;
        int freeIndex = -1;
    };
    // The same compression, except that where the longest match ends the
    // string may go on through a substitute of the next index (a free
    // position's freeIndex first, then the index's substitutes in order);
    // the index is then replaced in indices, which afterwards hold exactly
    // what the output decodes to. Any GIF decoder reads the result.
    int EncodeLossy(std::span<std::uint8_t> indices, int minimumCodeSize, const Substitutes& substitutes,
                    std::vector<std::uint8_t>& out);

private:
    class BitPacker;
    struct Codes;
    // Empties the string table by clearing exactly the slots that hold codes,
    // and forgets the chains of runs.
    void ClearTable(std::uint32_t firstCode, std::uint32_t endCode);
    void MakeEntry(BitPacker& bits, std::uint32_t& nextCode, int& width, std::uint32_t& widthLimit,
                   std::uint32_t prefix, std::uint32_t slot, std::uint32_t clearCode);
    Codes EncodeRun(Codes codes, const std::uint8_t* in, const std::uint8_t* end, std::uint32_t clearCode);
    // Writes the last match and the end code, copies the stream to out and
    // empties the table for the next call.
    void EndStream(BitPacker& bits, std::uint32_t prefix, int width, std::uint32_t clearCode, std::uint32_t nextCode,
                   std::vector<std::uint8_t>& out);
    // The code size for indices, the table grown and the output sized for them.
    int Prepare(std::span<const std::uint8_t> indices, int minimumCodeSize);

    // Slots per byte value: 4096 codes and one cache line more, so that the
    // rows of different bytes do not all start on the same cache sets (the
    // strings of the single-byte prefixes would evict one another).
    static constexpr std::uint32_t kRowStride = kLzwTableSize + 32;
    // code of the string (prefix, byte) at byte * kRowStride + prefix; 0
    // means absent (no string of two or more bytes has a code below 6).
    // Grows to kRowStride slots per possible byte value of the largest code
    // size used.
    std::vector<std::uint16_t> table_;
    // the table slot of each assigned code, so that a clear empties only those
    std::vector<std::uint32_t> slotOfCode_ = std::vector<std::uint32_t>(kLzwTableSize);
    // runCodes_[b * 4096 + k]: the code of byte b repeated k times, known
    // for k from 2 up to runKnown_[b] (1: none known yet)
    std::unique_ptr<std::uint16_t[]> runCodes_;
    std::vector<std::uint16_t> runKnown_ = std::vector<std::uint16_t>(256, 1);
    std::vector<std::uint8_t> scratch_;  // worst-case sized output, reused
};

}  // namespace vantrel
