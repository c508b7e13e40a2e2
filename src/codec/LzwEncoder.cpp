#include "codec/LzwEncoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vantrel {

namespace {

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

// Runs shorter than this are encoded byte by byte through the table.
constexpr std::size_t kMinRun = 64;

// How many bytes from p on, before end, equal value; eight at a time.
std::size_t SameBytes(const std::uint8_t* p, const std::uint8_t* end, std::uint8_t value) {
    const std::uint64_t pattern = std::uint64_t{value} * 0x0101010101010101u;
    const std::size_t limit = static_cast<std::size_t>(end - p);
    std::size_t n = 0;
    for (; n + 8 <= limit; n += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + n, sizeof word);
        if (const std::uint64_t differ = word ^ pattern; differ != 0) {
            const int same = std::endian::native == std::endian::little ? std::countr_zero(differ)
                                                                        : std::countl_zero(differ);
            return n + static_cast<std::size_t>(same / 8);
        }
    }
    while (n < limit && p[n] == value) ++n;
    return n;
}

// The start of the first run of at least kMinRun equal bytes in [in, end),
// and its end; {end, end} when there is none. Looks at 32 bytes in 32 first:
// a run that long holds such a block of equal bytes.
struct Run {
    const std::uint8_t* begin;
    const std::uint8_t* end;
};
Run FindRun(const std::uint8_t* in, const std::uint8_t* end) {
    constexpr std::size_t kBlock = 32;
    static_assert(kMinRun >= 2 * kBlock - 1, "a run must hold a whole block");
    const std::uint8_t* p = in;
    while (static_cast<std::size_t>(end - p) >= kMinRun) {
        std::uint64_t words[kBlock / 8];
        std::memcpy(words, p, sizeof words);
        const std::uint64_t pattern = (words[0] & 0xFF) * 0x0101010101010101u;
        std::uint64_t differ = 0;
        for (const std::uint64_t word : words) differ |= word ^ pattern;
        if (differ != 0) {
            p += kBlock;
            continue;
        }
        const std::uint8_t value = *p;
        const std::uint8_t* begin = p;
        while (begin != in && begin[-1] == value) --begin;
        const std::uint8_t* last = p + kBlock + SameBytes(p + kBlock, end, value);
        if (static_cast<std::size_t>(last - begin) >= kMinRun) return {begin, last};
        p = last;
    }
    return {end, end};
}

}  // namespace

// Packs codes least significant bit first. Whole 32-bit groups are stored as
// soon as they are complete; the byte sequence is the same as storing byte by byte.
class LzwEncoder::BitPacker {
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

// Where a compression stands: the codes made so far and the bits written.
struct LzwEncoder::Codes {
    BitPacker bits;
    std::uint32_t nextCode;
    int width;
    std::uint32_t widthLimit;
    std::uint32_t prefix;  // code of the longest match so far
};

int MinimumCodeSizeFor(int indexCount) {
    int size = kLzwMinCodeSizeLow;
    while (size < kLzwMinCodeSizeHighWritten && indexCount > (1 << size)) ++size;
    return size;
}

void LzwEncoder::ClearTable(std::uint32_t firstCode, std::uint32_t endCode) {
    for (std::uint32_t code = firstCode; code < endCode; ++code) table_[slotOfCode_[code]] = 0;
    std::fill(runKnown_.begin(), runKnown_.end(), std::uint16_t{1});
}

// Emits prefix, whose string followed by the byte of slot is not in the
// table, and makes that string the next code. Right after entry 4095 a clear
// code follows and the table starts again.
inline void LzwEncoder::MakeEntry(BitPacker& bits, std::uint32_t& nextCode, int& width, std::uint32_t& widthLimit,
                                  std::uint32_t prefix, std::uint32_t slot, std::uint32_t clearCode) {
    bits.Put(prefix, width);
    table_[slot] = static_cast<std::uint16_t>(nextCode);
    slotOfCode_[nextCode] = slot;
    if (nextCode == widthLimit) {
        ++width;
        widthLimit <<= 1;
    }
    if (nextCode == static_cast<std::uint32_t>(kLzwMaxCode)) {
        tableFilled_ = true;
        bits.Put(clearCode, width);
        ClearTable(clearCode + 2, kLzwTableSize);
        nextCode = clearCode + 2;
        width = std::countr_zero(clearCode) + 1;
        widthLimit = 1u << width;
    } else {
        ++nextCode;
    }
}

// Encodes the run [in, end) of bytes equal to byte. Inside such a run the
// match walks the codes of byte repeated 2, 3, 4, ... times; the part of that
// chain walked since the last clear is kept in runCodes_, so a long run
// costs a few steps instead of one table lookup per byte.
LzwEncoder::Codes LzwEncoder::EncodeRun(Codes codes, const std::uint8_t* in, const std::uint8_t* end,
                                        std::uint32_t clearCode) {
    const std::uint32_t byte = *in;
    const std::uint16_t* const table = table_.data();
    // Until the first miss the match (some string ending in the run) goes
    // on through the table as anywhere else.
    for (;;) {
        if (in == end) return codes;
        ++in;
        const std::uint32_t slot = byte * kRowStride + codes.prefix;
        const std::uint32_t code = table[slot];
        if (code == 0) {
            MakeEntry(codes.bits, codes.nextCode, codes.width, codes.widthLimit, codes.prefix, slot, clearCode);
            break;
        }
        codes.prefix = code;
    }
    // From here on the match is byte repeated length times.
    // Made on the first long run only, and never cleared: an entry is read
    // only after it has been written since the last clear.
    if (!runCodes_) runCodes_ = std::make_unique_for_overwrite<std::uint16_t[]>(std::size_t{256} * kLzwTableSize);
    std::uint16_t* const chain = runCodes_.get() + std::size_t{byte} * kLzwTableSize;
    codes.prefix = byte;
    std::uint32_t length = 1;
    while (in != end) {
        const std::uint32_t known = runKnown_[byte];
        if (length < known) {
            const std::uint32_t step = std::min(known - length, static_cast<std::uint32_t>(end - in));
            in += step;
            length += step;
            codes.prefix = chain[length];
            continue;
        }
        ++in;
        const std::uint32_t slot = byte * kRowStride + codes.prefix;
        if (const std::uint32_t code = table[slot]; code != 0) {
            codes.prefix = code;
            chain[++length] = static_cast<std::uint16_t>(code);
            runKnown_[byte] = static_cast<std::uint16_t>(length);
            continue;
        }
        chain[length + 1] = static_cast<std::uint16_t>(codes.nextCode);
        runKnown_[byte] = static_cast<std::uint16_t>(length + 1);
        // A restart of the table forgets every chain.
        MakeEntry(codes.bits, codes.nextCode, codes.width, codes.widthLimit, codes.prefix, slot, clearCode);
        codes.prefix = byte;
        length = 1;
    }
    return codes;
}

int LzwEncoder::Prepare(std::span<const std::uint8_t> indices, int minimumCodeSize) {
    // The code size must leave every index below the clear code.
    const int codeSize = std::max(std::clamp(minimumCodeSize, kLzwMinCodeSizeLow, kLzwMinCodeSizeHighWritten),
                                  static_cast<int>(std::bit_width(UnionOfBits(indices))));
    const std::size_t slotsNeeded = std::size_t{kRowStride} << codeSize;
    if (table_.size() < slotsNeeded) table_.resize(slotsNeeded, 0);
    scratch_.resize(std::max(scratch_.size(), WorstCaseBytes(indices.size())));
    std::fill(runKnown_.begin(), runKnown_.end(), std::uint16_t{1});
    tableFilled_ = false;
    return codeSize;
}

void LzwEncoder::EndStream(BitPacker& bits, std::uint32_t prefix, int width, std::uint32_t clearCode,
                           std::uint32_t nextCode, std::vector<std::uint8_t>& out) {
    bits.Put(prefix, width);
    bits.Put(clearCode + 1, width);  // the end code
    const std::uint8_t* const written = bits.Finish();
    // Leave the table empty for the next call.
    ClearTable(clearCode + 2, nextCode);
    out.assign(static_cast<const std::uint8_t*>(scratch_.data()), written);
}

// One stream being written: the codes made since the last clear and the
// bits written, with what LzwTableFull asks once the table is full.
class LzwEncoder::Stream {
public:
    Stream(LzwEncoder& encoder, int codeSize, const TableUse& use)
        : encoder_(encoder), bits_(encoder.scratch_.data()), use_(use), clearCode_(1u << codeSize),
          codeSize_(codeSize) {
        Restart(0);
    }

    // Writes prefix, the match before position; while the table has room,
    // the match followed by the index at position (whose table slot is
    // slot) becomes the next code.
    void Emit(std::uint32_t prefix, std::uint32_t slot, std::size_t position) {
        bits_.Put(prefix, width_);
        written_ += static_cast<std::uint64_t>(width_);
        if (nextCode_ < kLzwTableSize) {
            MakeCode(slot);
            if (nextCode_ < kLzwTableSize) return;
            encoder_.tableFilled_ = true;
            if (use_.tableFull == LzwTableFull::Restart) {
                Restart(position);
                return;
            }
            Checked(position);
            return;
        }
        if (position < nextCheck_) return;
        // Worse than at the best check since the clear: start again.
        if ((position - start_) * bestBits_ < bestInput_ * written_) {
            Restart(position);
        } else {
            Checked(position);
        }
    }

    // Writes the last match and the end code; the stream is copied to out
    // and the table left empty.
    void End(std::uint32_t prefix, std::vector<std::uint8_t>& out) {
        encoder_.EndStream(bits_, prefix, width_, clearCode_, nextCode_, out);
    }

    // The code the next entry will get, and the clears written so far.
    std::uint32_t NextCode() const { return nextCode_; }
    std::uint64_t Clears() const { return clears_; }

private:
    void MakeCode(std::uint32_t slot) {
        // A parse that is not the longest match can make a string the table
        // holds already: the decoder gives it a code all the same, and the
        // lookup keeps the older one.
        if (encoder_.table_[slot] == 0) encoder_.table_[slot] = static_cast<std::uint16_t>(nextCode_);
        encoder_.slotOfCode_[nextCode_] = slot;
        if (nextCode_ == widthLimit_) {
            ++width_;
            widthLimit_ <<= 1;
        }
        ++nextCode_;
    }

    // A clear code (the first one at the start), the table emptied.
    void Restart(std::size_t position) {
        ++clears_;
        bits_.Put(clearCode_, width_ == 0 ? codeSize_ + 1 : width_);
        encoder_.ClearTable(clearCode_ + 2, nextCode_);
        nextCode_ = clearCode_ + 2;
        width_ = codeSize_ + 1;
        widthLimit_ = 1u << width_;
        start_ = position;
        written_ = 0;
    }

    void Checked(std::size_t position) {
        bestInput_ = position - start_;
        bestBits_ = std::max<std::uint64_t>(written_, 1);
        nextCheck_ = position + std::min(use_.checkInterval, SIZE_MAX - position);
    }

    LzwEncoder& encoder_;
    BitPacker bits_;
    const TableUse use_;
    const std::uint32_t clearCode_;
    const int codeSize_;
    std::uint32_t nextCode_ = 0;
    int width_ = 0;
    std::uint32_t widthLimit_ = 0;
    // Since the last clear: where it came and the bits written; once the
    // table is full, the ratio of input to bits at the best check.
    std::size_t start_ = 0;
    std::uint64_t written_ = 0;
    std::size_t nextCheck_ = 0;
    std::uint64_t bestInput_ = 0;
    std::uint64_t bestBits_ = 1;
    std::uint64_t clears_ = 0;
};

int LzwEncoder::EncodeChoosing(std::span<std::uint8_t> indices, int minimumCodeSize, const Choices& choices,
                               std::vector<std::uint8_t>& out) {
    out.clear();
    const int codeSize = Prepare(indices, minimumCodeSize);
    if (indices.empty()) return codeSize;
    const std::uint32_t clearCode = 1u << codeSize;
    const std::uint16_t* const table = table_.data();
    // The code of prefix followed by byte, 0 when there is none (or byte lies
    // past the code space).
    const auto codeOf = [&](std::uint32_t byte, std::uint32_t prefix) -> std::uint32_t {
        return byte < clearCode ? table[byte * kRowStride + prefix] : 0;
    };
    const bool anyFree = choices.freeIndex >= 0 && choices.free.size() == indices.size();
    const bool colorsGiven = anyFree && choices.colors.size() == indices.size();
    const auto freeIndex = static_cast<std::uint32_t>(std::max(choices.freeIndex, 0));

    Stream stream(*this, codeSize, choices.table);
    std::uint32_t prefix = indices[0];
    // The length of the string under way and the errors of its substitutes.
    std::uint64_t length = 1;
    std::uint64_t stringError = 0;
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const std::uint32_t byte = indices[i];
        if (const std::uint32_t code = codeOf(byte, prefix); code != 0) {
            prefix = code;
            ++length;
            continue;
        }
        std::uint32_t code = 0;
        std::uint32_t chosen = byte;
        std::uint32_t color = byte;
        if (anyFree && choices.free[i] != 0) {
            if (byte == freeIndex) {
                if (colorsGiven) color = choices.colors[i];
                chosen = color;
            } else {
                chosen = freeIndex;
            }
            code = chosen != byte ? codeOf(chosen, prefix) : 0;
        }
        std::uint32_t error = 0;
        if (color != freeIndex) {
            // What the string's substitutes may add up to with this index.
            const std::uint64_t allowed = std::uint64_t{choices.meanError} * (length + 1);
            for (const Choices::Substitute& near : choices.substitutes[color]) {
                if (code != 0 || stringError + near.error > allowed) break;
                chosen = near.index;
                error = near.error;
                code = codeOf(chosen, prefix);
            }
        }
        if (code != 0) {
            indices[i] = static_cast<std::uint8_t>(chosen);
            prefix = code;
            stringError += error;
            ++length;
            continue;
        }
        stream.Emit(prefix, byte * kRowStride + prefix, i);
        prefix = byte;
        stringError = 0;
        length = 1;
    }
    stream.End(prefix, out);
    return codeSize;
}

int LzwEncoder::EncodeLookingAhead(std::span<const std::uint8_t> indices, int minimumCodeSize, const TableUse& use,
                                   std::vector<std::uint8_t>& out) {
    out.clear();
    const int codeSize = Prepare(indices, minimumCodeSize);
    if (indices.empty()) return codeSize;
    const std::uint16_t* const table = table_.data();
    const std::size_t n = indices.size();
    const auto codeOf = [table](std::uint32_t byte, std::uint32_t prefix) -> std::uint32_t {
        return table[byte * kRowStride + prefix];
    };
    // Walks the longest match on from position end, whose string so far has
    // codes[0 .. count); returns the new count.
    const auto extend = [&](std::uint16_t* codes, std::size_t count, std::size_t end) {
        for (std::uint32_t code = codes[count - 1]; end < n; ++end) {
            code = codeOf(indices[end], code);
            if (code == 0) break;
            codes[count++] = static_cast<std::uint16_t>(code);
        }
        return count;
    };
    // The longest match from position on, into codes; returns its length.
    // Inside a run of one byte it is that byte repeated as often as the run
    // and the chain of such codes known since the last clear allow, found
    // without walking the table byte by byte.
    if (!runCodes_) runCodes_ = std::make_unique_for_overwrite<std::uint16_t[]>(std::size_t{256} * kLzwTableSize);
    const auto startMatch = [&](std::uint16_t* codes, std::size_t position) {
        const std::uint32_t byte = indices[position];
        codes[0] = static_cast<std::uint16_t>(byte);
        const std::size_t known = runKnown_[byte];
        if (known < kLookaheadLongest) return extend(codes, 1, position + 1);
        const std::uint8_t* const from = indices.data() + position;
        const std::size_t length = SameBytes(from, from + std::min(known, n - position), static_cast<std::uint8_t>(byte));
        // Only the codes of the last lengths are ever read.
        const std::uint16_t* const chain = runCodes_.get() + std::size_t{byte} * kLzwTableSize;
        for (std::size_t k = std::max<std::size_t>(length, kLookaheadSpan + 1) - kLookaheadSpan; k <= length; ++k) {
            codes[k - 1] = k == 1 ? static_cast<std::uint16_t>(byte) : chain[k];
        }
        return extend(codes, length, position + length);
    };
    // The longest match from i (codes, one per length) and the one from its
    // end, reused as the next match when the longest is taken.
    std::uint16_t* codes = matchCodes_.data();
    std::uint16_t* nextCodes = codes + kLzwTableSize;
    const std::uint32_t clearCode = 1u << codeSize;

    Stream stream(*this, codeSize, use);
    std::size_t i = 0;
    std::size_t length = startMatch(codes, 0);
    for (;;) {
        const std::size_t end = i + length;
        if (end == n) {
            stream.End(codes[length - 1], out);
            return codeSize;
        }
        const std::size_t nextLength = startMatch(nextCodes, end);
        // A match followed by one as long is most often a repeating pattern
        // already parsed in step: the longest is taken there too.
        const std::size_t taken = length <= kLookaheadLongest && nextLength != length
                                      ? LookAhead(indices, i, codes, length, nextLength)
                                      : length;

        const std::uint32_t prefix = codes[taken - 1];
        const std::uint32_t byte = indices[i + taken];
        const std::uint32_t made = stream.NextCode();
        const std::uint64_t clears = stream.Clears();
        stream.Emit(prefix, byte * kRowStride + prefix, i + taken);
        if (stream.NextCode() == made + 1 && codeOf(byte, prefix) == made) {
            RecordCode(made, prefix, byte, clearCode);
        }
        i += taken;
        if (taken == length && stream.Clears() == clears) {
            // The table only gained the new entry: the match from the end
            // goes on from where it stopped.
            std::swap(codes, nextCodes);
            length = extend(codes, nextLength, i + nextLength);
        } else {
            length = startMatch(codes, i);
        }
    }
}

void LzwEncoder::RecordCode(std::uint32_t made, std::uint32_t prefix, std::uint32_t byte, std::uint32_t clearCode) {
    // Its string less the first index, as the table holds it now.
    std::uint16_t* const suffix = suffixOfCode_.data();
    std::uint32_t down = kNoCode;
    if (prefix < clearCode) {
        down = byte;
    } else if (suffix[prefix] != kNoCode) {
        if (const std::uint32_t code = table_[byte * kRowStride + suffix[prefix]]; code != 0) down = code;
    }
    suffix[made] = static_cast<std::uint16_t>(down);
    // A byte repeated once more than the chain of its run knew.
    std::uint16_t* const chain = runCodes_.get() + std::size_t{byte} * kLzwTableSize;
    const std::uint32_t known = runKnown_[byte];
    if (known + 1 < kLzwTableSize && (known == 1 ? prefix == byte : chain[known] == prefix)) {
        chain[known + 1] = static_cast<std::uint16_t>(made);
        runKnown_[byte] = static_cast<std::uint16_t>(known + 1);
    }
}

std::size_t LzwEncoder::LookAhead(std::span<const std::uint8_t> indices, std::size_t i, const std::uint16_t* codes,
                                  std::size_t length, std::size_t nextLength) {
    const std::uint16_t* const table = table_.data();
    std::uint16_t* const suffix = suffixOfCode_.data();
    const std::size_t n = indices.size();
    const std::size_t end = i + length;
    // The code of the rest of the longest match from each i + l, for the
    // shorter lengths l (kNoCode where the table lacks that string: the
    // match from there ends before the longest's, and cannot reach
    // further). It is l suffix links down from the longest's code; a link
    // not known is found by walking and remembered.
    std::array<std::uint16_t, kLookaheadSpan + 1> rests;
    const std::size_t shortest = length > kLookaheadSpan ? length - kLookaheadSpan : 1;
    std::uint32_t code = codes[length - 1];
    for (std::size_t l = 1; l < length; ++l) {
        std::uint32_t down = code != kNoCode ? suffix[code] : kNoCode;
        if (down == kNoCode) {
            // (A one-index string's code is the index, 0 included; only a
            // lookup's 0 means absent.)
            down = indices[i + l];
            for (std::size_t e = i + l + 1; e < end; ++e) {
                down = table[std::size_t{indices[e]} * kRowStride + down];
                if (down == 0) {
                    down = kNoCode;
                    break;
                }
            }
            if (down != kNoCode && code != kNoCode) suffix[code] = static_cast<std::uint16_t>(down);
        }
        code = down;
        if (l >= shortest) rests[length - l] = static_cast<std::uint16_t>(code);
    }
    // The length whose next match reaches furthest, longest first. A shorter
    // match makes a string the table holds already, a code wasted: it must
    // reach at least two indices further than the longer to pay; each is
    // followed only that far.
    std::size_t taken = length;
    std::size_t reach = length + nextLength;
    for (std::size_t back = 1; back <= length - shortest; ++back) {
        if (rests[back] == kNoCode) continue;
        const std::size_t beyond = std::min(n, i + reach + 2);
        std::size_t e = end;
        for (std::uint32_t c = rests[back]; e < beyond; ++e) {
            c = table[std::size_t{indices[e]} * kRowStride + c];
            if (c == 0) break;
        }
        if (e - i > reach + 1) {
            reach = e - i;
            taken = length - back;
        }
    }
    return taken;
}

int LzwEncoder::Encode(std::span<const std::uint8_t> indices, int minimumCodeSize,
                       std::vector<std::uint8_t>& out) {
    out.clear();
    const int codeSize = Prepare(indices, minimumCodeSize);
    if (indices.empty()) return codeSize;
    BitPacker bits(scratch_.data());

    const std::uint32_t clearCode = 1u << codeSize;
    const std::uint32_t firstCode = clearCode + 2;
    const int initialWidth = codeSize + 1;

    const std::uint16_t* const table = table_.data();
    std::uint32_t nextCode = firstCode;
    int width = initialWidth;
    std::uint32_t widthLimit = 1u << width;

    bits.Put(clearCode, width);
    const std::uint8_t* in = indices.data();
    const std::uint8_t* const inEnd = in + indices.size();
    std::uint32_t prefix = *in++;  // code of the longest match so far
    for (;;) {
        // Byte by byte up to the next long run, which is walked along its chain.
        const Run run = FindRun(in, inEnd);
        while (in != run.begin) {
            const std::uint32_t byte = *in++;
            const std::uint32_t slot = byte * kRowStride + prefix;
            const std::uint32_t code = table[slot];
            if (code != 0) {
                prefix = code;
                continue;
            }
            // prefix + byte is new: emit the match and make its entry.
            MakeEntry(bits, nextCode, width, widthLimit, prefix, slot, clearCode);
            prefix = byte;
        }
        if (run.begin == inEnd) break;
        const Codes codes = EncodeRun({bits, nextCode, width, widthLimit, prefix}, run.begin, run.end, clearCode);
        bits = codes.bits;
        nextCode = codes.nextCode;
        width = codes.width;
        widthLimit = codes.widthLimit;
        prefix = codes.prefix;
        in = run.end;
    }
    EndStream(bits, prefix, width, clearCode, nextCode, out);
    return codeSize;
}

}  // namespace vantrel
