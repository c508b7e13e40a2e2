// The LZW encoder against a plain reference encoder written here from the
// algorithm's description (strings held as offset and length into the input,
// found by walking a hash chain and comparing whole strings), and the code
// sequence itself: widths, the clear code after entry 4095, tiny cases.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "codec/GifEncoderFixtures.h"
#include "codec/GifFile.h"
#include "codec/LzwEncoder.h"

namespace vantrel {
namespace {

struct EmittedCode {
    unsigned code;
    int width;
    friend bool operator==(const EmittedCode&, const EmittedCode&) = default;
};

struct ReferenceOutput {
    std::vector<std::uint8_t> bytes;
    std::vector<EmittedCode> codes;
};

// How many indices a parse takes from start, where the longest match in
// the table is longest indices long; longestFrom(p) gives the longest match
// from any position p against the table as it stands.
using ParseChoice =
    std::function<std::size_t(std::size_t start, std::size_t longest, const std::function<std::size_t(std::size_t)>&)>;

// The reference: a straightforward, slow rendering of the compression steps.
// Without choose it takes the longest match every time; a shorter match makes
// a string the table may hold already, which takes a code all the same but
// leaves the older one in use.
ReferenceOutput ReferenceEncode(std::span<const std::uint8_t> in, int minimum, const ParseChoice& choose = {}) {
    ReferenceOutput out;
    const std::size_t n = in.size();
    if (n == 0) return out;

    struct Entry {
        std::size_t offset = 0;
        std::size_t length = 0;
        int next = -1;
    };
    const unsigned clearCode = 1u << minimum;
    const unsigned endCode = clearCode + 1;
    std::vector<Entry> entries(4096);
    std::array<int, 4096> chainHeads{};
    unsigned lastCode = 0;
    unsigned nextCode = 0;
    int width = 0;
    unsigned widthLimit = 0;
    auto initialise = [&] {
        lastCode = clearCode + 1;
        nextCode = clearCode + 2;
        width = minimum + 1;
        widthLimit = 1u << width;
        chainHeads.fill(-1);
    };

    std::uint64_t bitBuffer = 0;
    int bitCount = 0;
    auto put = [&](unsigned code) {
        out.codes.push_back({code, width});
        bitBuffer |= std::uint64_t{code} << bitCount;
        bitCount += width;
        while (bitCount > 8) {
            out.bytes.push_back(static_cast<std::uint8_t>(bitBuffer));
            bitBuffer >>= 8;
            bitCount -= 8;
        }
    };
    auto lookup = [&](std::size_t start, std::size_t length, int hash) -> int {
        if (length == 1) return in[start];
        for (int e = chainHeads[static_cast<std::size_t>(hash)]; e != -1;
             e = entries[static_cast<std::size_t>(e)].next) {
            const Entry& entry = entries[static_cast<std::size_t>(e)];
            if (entry.length == length && std::memcmp(&in[entry.offset], &in[start], length) == 0) return e;
        }
        return -1;
    };

    initialise();
    put(clearCode);
    std::size_t start = 0;
    std::size_t length = 1;
    int hash = in[0];
    int lastMatch = -1;
    while (start + length <= n) {
        while (start + length <= n) {
            const int code = lookup(start, length, hash);
            if (code < 0) break;
            lastMatch = code;
            if (start + length < n) hash = (hash + in[start + length] + 1) % 4096;
            ++length;
        }
        if (start + length > n) {
            put(static_cast<unsigned>(lastMatch));
            put(endCode);
            while (bitCount > 0) {
                out.bytes.push_back(static_cast<std::uint8_t>(bitBuffer));
                bitBuffer >>= 8;
                bitCount -= 8;
            }
            return out;
        }
        if (choose) {
            const auto hashOf = [&](std::size_t from, std::size_t count) {
                int h = in[from];
                for (std::size_t k = 1; k < count; ++k) h = (h + in[from + k] + 1) % 4096;
                return h;
            };
            const auto longestFrom = [&](std::size_t from) {
                std::size_t count = 1;
                while (from + count < n && lookup(from, count + 1, hashOf(from, count + 1)) >= 0) ++count;
                return count;
            };
            if (const std::size_t taken = choose(start, length - 1, longestFrom); taken != length - 1) {
                length = taken + 1;
                lastMatch = lookup(start, taken, hashOf(start, taken));
                hash = hashOf(start, length);
            }
        }
        if (nextCode < 4096) {
            entries[nextCode] = {start, length, chainHeads[static_cast<std::size_t>(hash)]};
            if (lookup(start, length, hash) < 0) chainHeads[static_cast<std::size_t>(hash)] = static_cast<int>(nextCode);
            ++nextCode;
        }
        put(static_cast<unsigned>(lastMatch));
        ++lastCode;
        if (lastCode == widthLimit) {
            ++width;
            widthLimit *= 2;
        }
        if (lastCode == 4095) {
            put(clearCode);
            initialise();
        }
        start = start + length - 1;
        length = 1;
        hash = in[start];
    }
    return out;
}

std::vector<std::uint8_t> FastEncode(std::span<const std::uint8_t> in, int minimum) {
    LzwEncoder encoder;
    std::vector<std::uint8_t> out;
    EXPECT_EQ(encoder.Encode(in, minimum, out), minimum);
    return out;
}

// ---- inputs; every value lies below 2^codeSize ----
using Generator = std::function<std::vector<std::uint8_t>(int codeSize)>;

std::vector<std::uint8_t> Striped(int codeSize, std::size_t width, std::size_t height) {
    const int colors = 1 << codeSize;
    std::vector<std::uint8_t> out(width * height);
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x)
            out[y * width + x] = static_cast<std::uint8_t>((x / 3 + y / 5) % colors);
    }
    return out;
}

std::vector<std::uint8_t> Gradient(int codeSize, std::size_t width, std::size_t height) {
    const std::size_t colors = std::size_t{1} << codeSize;
    std::vector<std::uint8_t> out(width * height);
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            out[y * width + x] = static_cast<std::uint8_t>(((x + y) * colors) / (width + height));
        }
    }
    return out;
}

// Runs of random lengths (1 to maxRun) of random values, with single bytes
// of another value now and then: long runs walk the chains of repeated
// bytes, across many table restarts, and short ones leave them part way.
std::vector<std::uint8_t> Runs(int codeSize, std::size_t total, std::size_t maxRun, unsigned seed) {
    std::mt19937 rng(seed);
    const unsigned colors = 1u << codeSize;
    std::vector<std::uint8_t> out;
    while (out.size() < total) {
        const auto value = static_cast<std::uint8_t>(rng() % colors);
        out.insert(out.end(), 1 + rng() % maxRun, value);
        if (rng() % 4 == 0) out.push_back(static_cast<std::uint8_t>((value + 1) % colors));
    }
    return out;
}

struct NamedInput {
    std::string name;
    Generator make;
};

const std::vector<NamedInput>& Inputs() {
    static const std::vector<NamedInput> inputs = {
        {"single", [](int) { return std::vector<std::uint8_t>{1}; }},
        {"two",
         [](int) {
             return std::vector<std::uint8_t>{1, 1};
         }},
        {"random 100x100", [](int c) { return test::writer::RandomIndices(10000, 1 << c, 11u + c); }},
        {"random, few values",
         [](int c) { return test::writer::RandomIndices(20000, std::min(3, 1 << c), 7u + c); }},
        {"striped 64x64", [](int c) { return Striped(c, 64, 64); }},
        {"flat 300x200", [](int) { return std::vector<std::uint8_t>(60000, 2); }},
        {"gradient 400x300", [](int c) { return Gradient(c, 400, 300); }},
        {"large random 640x480",
         [](int c) { return test::writer::RandomIndices(640 * 480, 1 << c, 99u + c); }},
        {"large striped 1200x400", [](int c) { return Striped(c, 1200, 400); }},
        {"short runs", [](int c) { return Runs(c, 200000, 40, 5u + c); }},
        {"long runs", [](int c) { return Runs(c, 400000, 3000, 13u + c); }},
        {"one long run", [](int) { return std::vector<std::uint8_t>(3000000, 1); }},
    };
    return inputs;
}

TEST(LzwEncoder, MatchesReferenceEncoderOnEveryInputAndCodeSize) {
    LzwEncoder encoder;  // one encoder for all inputs: its tables must come back clean
    std::vector<std::uint8_t> fast;
    for (int codeSize = 2; codeSize <= 8; ++codeSize) {
        for (const NamedInput& input : Inputs()) {
            const std::vector<std::uint8_t> data = input.make(codeSize);
            const ReferenceOutput reference = ReferenceEncode(data, codeSize);
            ASSERT_EQ(encoder.Encode(data, codeSize, fast), codeSize);
            ASSERT_EQ(fast, reference.bytes) << input.name << ", code size " << codeSize;
        }
    }
}

TEST(LzwEncoder, OneByOneImageGivesClearZeroEndInThreeBits) {
    const std::vector<std::uint8_t> pixel{0};
    EXPECT_EQ(FastEncode(pixel, 2), (std::vector<std::uint8_t>{0x44, 0x01}));
    const std::vector<EmittedCode> expected{{4, 3}, {0, 3}, {5, 3}};
    EXPECT_EQ(ReferenceEncode(pixel, 2).codes, expected);
}

TEST(LzwEncoder, EmptyInputGivesNoBytes) {
    for (int codeSize = 2; codeSize <= 8; ++codeSize) {
        EXPECT_TRUE(FastEncode({}, codeSize).empty());
        EXPECT_TRUE(ReferenceEncode({}, codeSize).bytes.empty());
    }
}

TEST(LzwEncoder, RunsMakeEverLongerStringsAndWidenAfterEntryTwoToTheWidth) {
    // Ten zeros at code size 2: strings 0, 00, 000, 0000 (entries 6, 7, 8, 9).
    const std::vector<std::uint8_t> run(10, 0);
    const std::vector<EmittedCode> expected{
        {4, 3},  // clear
        {0, 3},  // "0", makes entry 6 = "00"
        {6, 3},  // "00", makes 7 = "000"
        {7, 3},  // "000", makes 8 = "0000": 8 = 2^3, so the next code is 4 bits wide
        {8, 4},  // "0000" (ten zeros used), then the end code
        {5, 4},
    };
    const ReferenceOutput reference = ReferenceEncode(run, 2);
    EXPECT_EQ(reference.codes, expected);
    EXPECT_EQ(FastEncode(run, 2), reference.bytes);
}

TEST(LzwEncoder, ClearCodeFollowsEntry4095AtWidth12) {
    for (int codeSize : {2, 5, 8}) {
        const std::vector<std::uint8_t> data = test::writer::RandomIndices(120000, 1 << codeSize, 5u);
        const ReferenceOutput reference = ReferenceEncode(data, codeSize);
        ASSERT_EQ(FastEncode(data, codeSize), reference.bytes);

        const unsigned clearCode = 1u << codeSize;
        std::vector<std::size_t> clears;
        for (std::size_t i = 0; i < reference.codes.size(); ++i) {
            EXPECT_LT(reference.codes[i].code, 4095u) << "code 4095 never appears";
            if (reference.codes[i].code == clearCode) clears.push_back(i);
        }
        ASSERT_GE(clears.size(), 3u) << "the input must fill the table more than once";
        EXPECT_EQ(clears[0], 0u);
        // Every emitted code makes an entry: entries clear + 2 ... 4095, then the clear.
        const std::size_t codesPerTable = 4095 - (clearCode + 2) + 1;
        for (std::size_t k = 1; k < clears.size(); ++k) {
            EXPECT_EQ(clears[k] - clears[k - 1] - 1, codesPerTable) << "code size " << codeSize;
            EXPECT_EQ(reference.codes[clears[k]].width, 12);
            EXPECT_EQ(reference.codes[clears[k] - 1].width, 12);
            EXPECT_EQ(reference.codes[clears[k] + 1].width, codeSize + 1) << "restarts at minimum + 1";
        }
    }
}

TEST(LzwEncoder, RaisesCodeSizeThatCannotHoldTheIndices) {
    struct Case {
        int requested;
        std::uint8_t largestIndex;
        int used;
    };
    const Case cases[] = {
        {2, 3, 2}, {2, 4, 3}, {2, 255, 8}, {0, 0, 2}, {1, 3, 2}, {9, 1, 8}, {5, 40, 6}, {8, 200, 8},
    };
    LzwEncoder encoder;
    std::vector<std::uint8_t> out;
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> data{0, c.largestIndex, 1, c.largestIndex};
        EXPECT_EQ(encoder.Encode(data, c.requested, out), c.used)
            << c.requested << " " << int{c.largestIndex};
        EXPECT_EQ(out, ReferenceEncode(data, c.used).bytes);
    }
}

// indices (values below 2^codeSize) in a one-image file with the given
// compressed data, read back by giflib.
std::vector<std::uint8_t> GiflibDecodes(std::span<const std::uint8_t> data, int codeSize, std::size_t count) {
    GifFile gif;
    gif.SetScreenSize(static_cast<int>(count), 1);
    gif.globalColorTable = ColorTable{};
    gif.globalColorTableSize = static_cast<std::uint16_t>(1 << codeSize);
    GifImage& image = gif.images.emplace_back();
    image.width = static_cast<std::uint16_t>(count);
    image.height = 1;
    image.minimumCodeSize = static_cast<std::uint8_t>(codeSize);
    image.compressedData.assign(data.begin(), data.end());
    const test::RefGif decoded = test::writer::DecodeWritten(gif);
    return decoded.images.empty() ? std::vector<std::uint8_t>{} : decoded.images[0].indices;
}

// The ways to use a full table: restart at once, keep it and look at every
// code, now and then, or never.
const LzwEncoder::TableUse kTableUses[] = {
    {LzwTableFull::Restart, SIZE_MAX},
    {LzwTableFull::Keep, 0},
    {LzwTableFull::Keep, 1024},
    {LzwTableFull::Keep, SIZE_MAX},
};

TEST(LzwEncoder, EveryParseAndTableUseDecodesToTheInput) {
    LzwEncoder encoder;  // one encoder for all: its tables must come back clean
    std::vector<std::uint8_t> out;
    for (int codeSize : {2, 4, 8}) {
        for (const NamedInput& input : Inputs()) {
            std::vector<std::uint8_t> data = input.make(codeSize);
            if (data.size() > 65535) data.resize(65535);  // one row of a GIF image
            for (const LzwEncoder::TableUse& use : kTableUses) {
                SCOPED_TRACE(input.name + ", code size " + std::to_string(codeSize) + ", check " +
                             std::to_string(use.checkInterval));
                ASSERT_EQ(encoder.EncodeLookingAhead(data, codeSize, use, out), codeSize);
                EXPECT_EQ(GiflibDecodes(out, codeSize, data.size()), data) << "looking ahead";
                LzwEncoder::Choices none;
                none.table = use;
                std::vector<std::uint8_t> copy = data;
                ASSERT_EQ(encoder.EncodeChoosing(copy, codeSize, none, out), codeSize);
                EXPECT_EQ(copy, data) << "nothing to choose";
                EXPECT_EQ(GiflibDecodes(out, codeSize, data.size()), data) << "longest match";
                if (use.tableFull == LzwTableFull::Restart) {
                    EXPECT_EQ(out, FastEncode(data, codeSize));
                }
            }
        }
    }
}

TEST(LzwEncoder, AKeptTableGoesOnWithoutClearAndTwelveBitCodes) {
    // Random bytes fill the table several times; kept without looking, the
    // stream has one clear only (the first) and still decodes to the input,
    // and it differs from the restarting one.
    const std::vector<std::uint8_t> data = test::writer::RandomIndices(60000, 4, 3u);
    LzwEncoder encoder;
    std::vector<std::uint8_t> kept;
    encoder.EncodeLookingAhead(data, 2, {LzwTableFull::Keep, SIZE_MAX}, kept);
    EXPECT_TRUE(encoder.TableFilled());
    std::vector<std::uint8_t> restarted;
    encoder.EncodeLookingAhead(data, 2, {LzwTableFull::Restart, SIZE_MAX}, restarted);
    EXPECT_TRUE(encoder.TableFilled());
    EXPECT_NE(kept, restarted);
    EXPECT_EQ(GiflibDecodes(kept, 2, data.size()), data);
    // A small input never fills it.
    encoder.EncodeLookingAhead(std::span(data).first(500), 2, {LzwTableFull::Keep, SIZE_MAX}, kept);
    EXPECT_FALSE(encoder.TableFilled());
}

TEST(LzwEncoder, MinimumCodeSizeForIndexCounts) {
    const std::pair<int, int> cases[] = {{0, 2},  {1, 2},  {4, 2},   {5, 3},   {8, 3},
                                         {9, 4},  {16, 4}, {17, 5},  {32, 5},  {33, 6},
                                         {64, 6}, {65, 7}, {128, 7}, {129, 8}, {256, 8}};
    for (auto [count, size] : cases) EXPECT_EQ(MinimumCodeSizeFor(count), size) << count;
}

// The look-ahead parse as the encoder defines it, written plainly: where the
// longest match (at most 16 long) is followed by a match of another length,
// the longest of the 8 shorter lengths whose next match reaches at least two
// indices further than every longer one's (each followed only that far).
std::size_t LookAheadChoice(std::size_t start, std::size_t longest,
                            const std::function<std::size_t(std::size_t)>& longestFrom) {
    const std::size_t next = longestFrom(start + longest);
    if (longest > 16 || next == longest) return longest;
    std::size_t taken = longest;
    std::size_t reach = longest + next;
    for (std::size_t back = 1; back <= std::min<std::size_t>(8, longest - 1); ++back) {
        const std::size_t l = longest - back;
        if (const std::size_t r = std::min(l + longestFrom(start + l), reach + 2); r > reach + 1) {
            reach = r;
            taken = l;
        }
    }
    return taken;
}

TEST(LzwEncoder, LookAheadParseMatchesAPlainRenderingOfIt) {
    // The encoder finds the rest of a match through links between codes,
    // walks runs along their chains and reuses the match after the one
    // taken; the plain rendering walks every string afresh. Runs long enough
    // for the chains, and inputs that fill the table and restart it.
    const std::vector<NamedInput> inputs = {
        {"random", [](int c) { return test::writer::RandomIndices(12000, 1 << c, 21u + c); }},
        {"random, few values", [](int c) { return test::writer::RandomIndices(12000, std::min(3, 1 << c), 3u + c); }},
        {"striped", [](int c) { return Striped(c, 64, 64); }},
        {"gradient", [](int c) { return Gradient(c, 120, 100); }},
        {"short runs", [](int c) { return Runs(c, 20000, 40, 8u + c); }},
        {"long runs", [](int c) { return Runs(c, 40000, 3000, 17u + c); }},
        {"flat", [](int) { return std::vector<std::uint8_t>(20000, 1); }},
    };
    LzwEncoder encoder;
    std::vector<std::uint8_t> out;
    for (int codeSize : {2, 4, 8}) {
        for (const NamedInput& input : inputs) {
            const std::vector<std::uint8_t> data = input.make(codeSize);
            encoder.EncodeLookingAhead(data, codeSize, {LzwTableFull::Restart, SIZE_MAX}, out);
            EXPECT_EQ(out, ReferenceEncode(data, codeSize, LookAheadChoice).bytes)
                << input.name << ", code size " << codeSize;
        }
    }
}

}  // namespace
}  // namespace vantrel
