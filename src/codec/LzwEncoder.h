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
//
// EncodeChoosing and EncodeLookingAhead make other streams of the same
// format: a full table may stay in use without a clear (LzwTableFull::Keep),
// the parse may take a shorter match, and lossy encodings may write a
// similar index in place of another. Any GIF decoder reads them all.

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

// What a stream does once its string table is full.
enum class LzwTableFull {
    // A clear code right after entry 4095 starts the table again.
    Restart,
    // The full table stays in use, without new entries, as long as the
    // stream compresses no worse than before; a clear comes once it does.
    Keep,
};

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

    // How a stream uses its string table once it is full.
    struct TableUse {
        LzwTableFull tableFull = LzwTableFull::Restart;
        // With Keep: input bytes between two looks at how well the table
        // compresses (0: at every code); a clear comes when the ratio of
        // input to bits since the last clear has fallen below the best seen.
        std::size_t checkInterval = SIZE_MAX;
    };

    // The same compression as Encode, except for the table once full (as
    // use says) and the parse: where the longest match is followed by a
    // short one, a shorter match may be taken when the next match from its
    // end reaches further. Any GIF decoder reads the result.
    int EncodeLookingAhead(std::span<const std::uint8_t> indices, int minimumCodeSize, const TableUse& use,
                           std::vector<std::uint8_t>& out);

    // What an encoding may choose besides the indices as given.
    struct Choices {
        // An index that may stand for another (lossy), with the squared
        // distance between their colours.
        struct Substitute {
            std::uint8_t index = 0;
            std::uint32_t error = 0;
            friend bool operator==(const Substitute&, const Substitute&) = default;
        };
        // For each index, the indices that may stand for it, best first; the
        // index itself is never listed.
        std::array<std::vector<Substitute>, 256> substitutes;
        // The most the errors of the substitutes in one string may add up
        // to, per index of the string: a few far substitutes among many
        // exact indices, or more near ones.
        std::uint32_t meanError = 0;
        // Positions (one flag per index of the input, or none) whose pixel
        // shows the same with freeIndex as with its colour: a transparent
        // index over pixels that show what the image before left there.
        std::span<const std::uint8_t> free;
        int freeIndex = -1;
        // The colour index of each free position, for those the input holds
        // as freeIndex (or none: such positions keep freeIndex).
        std::span<const std::uint8_t> colors;
        TableUse table;
    };
    // The same compression, except that where the longest match ends the
    // string may go on through another index that shows the same or nearly
    // the same: at a free position the other of its colour index and
    // freeIndex, then the substitutes of its colour index in order that keep
    // the string within meanError. The
    // index is then replaced in indices, which afterwards hold exactly what
    // the output decodes to. Any GIF decoder reads the result.
    int EncodeChoosing(std::span<std::uint8_t> indices, int minimumCodeSize, const Choices& choices,
                       std::vector<std::uint8_t>& out);

    // Whether the last stream made filled its string table (so that another
    // use of a full table could give other data).
    bool TableFilled() const { return tableFilled_; }

private:
    class BitPacker;
    class Stream;
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
    // The look-ahead parse: how many shorter matches it weighs against the
    // longest, and the longest match it looks behind at all (a longer one,
    // in a flat area, is taken whole).
    static constexpr std::size_t kLookaheadSpan = 8;
    static constexpr std::size_t kLookaheadLongest = 16;
    static constexpr std::uint16_t kNoCode = 0xFFFF;
    // The length to take of the longest match from i (codes, one per length,
    // whose end is followed by a match of nextLength).
    std::size_t LookAhead(std::span<const std::uint8_t> indices, std::size_t i, const std::uint16_t* codes,
                          std::size_t length, std::size_t nextLength);
    // Of a look-ahead parse: what is known of the code just made, from its
    // prefix and last byte (its suffix link, and whether it extends a run's
    // chain).
    void RecordCode(std::uint32_t made, std::uint32_t prefix, std::uint32_t byte, std::uint32_t clearCode);
    // Of a look-ahead parse: two matches' codes, and for each code the code
    // of its string less the first index (kNoCode: not known).
    std::vector<std::uint16_t> matchCodes_ = std::vector<std::uint16_t>(2 * kLzwTableSize);
    std::vector<std::uint16_t> suffixOfCode_ = std::vector<std::uint16_t>(kLzwTableSize);
    bool tableFilled_ = false;
};

}  // namespace vantrel
