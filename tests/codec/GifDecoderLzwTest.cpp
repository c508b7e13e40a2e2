// The LZW decompressor alone, on code streams packed by hand and on raw LZW
// streams from the corpora.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "codec/GifDecoderFixtures.h"
#include "codec/LzwDecoder.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

using test::LiteralCodes;
using test::PackCodes;
using test::SizedCode;

struct Decoded {
    std::vector<std::uint8_t> out;
    LzwResult result;
};

Decoded Decode(unsigned minimumCodeSize, const std::vector<SizedCode>& codes, std::size_t outputSize) {
    Decoded d;
    d.out.assign(outputSize, 0);
    d.result = DecodeLzw(static_cast<int>(minimumCodeSize), PackCodes(codes), d.out);
    return d;
}

// Code size 2: clear 4, end 5, first free entry 6, codes 3 bits wide until
// the next free code reaches 8.
struct HandCase {
    const char* name;
    std::vector<SizedCode> codes;
    std::size_t outputSize;
    std::vector<std::uint8_t> expected;
    std::size_t written;
};

TEST(LzwDecode, HandPackedStreams) {
    const std::vector<HandCase> cases = {
        {"literals", {{4, 3}, {1, 3}, {2, 3}, {3, 3}, {5, 3}}, 3, {1, 2, 3}, 3},
        {"string code", {{4, 3}, {1, 3}, {2, 3}, {6, 3}, {5, 4}}, 4, {1, 2, 1, 2}, 4},
        // KwKwK: code 6 is the code being defined: "1" + its own first byte.
        {"KwKwK", {{4, 3}, {1, 3}, {6, 3}, {5, 3}}, 3, {1, 1, 1}, 3},
        // Two in a row: "2", "22", "222"; the width grows to 4 once entry 7 exists.
        {"KwKwK twice", {{4, 3}, {2, 3}, {6, 3}, {7, 3}, {5, 4}}, 6, {2, 2, 2, 2, 2, 2}, 6},
        // After a clear code the old entry 6 is gone: code 6 is then the next
        // free code with no previous code, and skipped.
        {"clear forgets", {{4, 3}, {1, 3}, {2, 3}, {6, 3}, {4, 4}, {6, 3}, {3, 3}, {5, 3}}, 5, {1, 2, 1, 2, 3}, 5},
        // Code 7 is above the next free code (6): skipped, and the previous
        // code stays 1, so entry 6 becomes "12".
        {"code above next skipped", {{4, 3}, {1, 3}, {7, 3}, {2, 3}, {6, 3}, {5, 4}}, 4, {1, 2, 1, 2}, 4},
        // Entry 6 ("12") does not fit at position 3 of 4 and is dropped; the
        // literal after it still fits.
        {"string dropped", {{4, 3}, {1, 3}, {2, 3}, {1, 3}, {6, 4}, {3, 4}}, 4, {1, 2, 1, 3}, 4},
        // KwKwK at position 2 of 3: the previous string "12" does not fit and is
        // dropped, the extra byte (its first, 1) is still written.
        {"KwKwK extra byte only", {{4, 3}, {1, 3}, {2, 3}, {6, 3}, {8, 4}}, 3, {1, 2, 1}, 3},
        // KwKwK at position 3 of 4: the previous string "1" fits, the extra byte not.
        {"KwKwK without room for the extra byte", {{4, 3}, {1, 3}, {2, 3}, {1, 3}, {8, 4}}, 4, {1, 2, 1, 1}, 4},
        // Output full after two literals: the rest changes nothing.
        {"output full", {{4, 3}, {1, 3}, {2, 3}, {3, 3}, {6, 3}}, 2, {1, 2}, 2},
        // Data ending before the end code leaves the rest at 0.
        {"no end code", {{4, 3}, {3, 3}}, 4, {3, 0, 0, 0}, 1},
        // Nothing after the end code is decoded.
        {"end code stops", {{4, 3}, {1, 3}, {5, 3}, {2, 3}}, 3, {1, 0, 0}, 1},
        // A stream that does not start with a clear code.
        {"no clear code first", {{2, 3}, {3, 3}, {6, 3}}, 4, {2, 3, 2, 3}, 4},
    };
    for (const HandCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded d = Decode(2, c.codes, c.outputSize);
        EXPECT_TRUE(d.result.decoded);
        EXPECT_EQ(d.out, c.expected);
        EXPECT_EQ(d.result.written, c.written);
    }
}

TEST(LzwDecode, MinimumCodeSizesOutsideTwoToElevenDecodeNothing) {
    const std::vector<std::uint8_t> data = {0xFF, 0x00, 0x12, 0x34, 0xFF, 0xFF, 0x81};
    for (int size : {-1, 0, 1, 12, 13, 255, 1000}) {
        SCOPED_TRACE(size);
        std::vector<std::uint8_t> out(16, 0x77);
        const LzwResult result = DecodeLzw(size, data, out);
        EXPECT_FALSE(result.decoded);
        EXPECT_EQ(result.written, 0u);
        EXPECT_EQ(out, std::vector<std::uint8_t>(16, 0x77));
    }
}

TEST(LzwDecode, EveryMinimumCodeSizeDecodesItsLiterals) {
    for (unsigned size = 2; size <= 8; ++size) {
        SCOPED_TRACE(size);
        std::vector<std::uint8_t> indices;
        for (unsigned k = 0; k < 600; ++k) indices.push_back(static_cast<std::uint8_t>((k * 5 + k / 7) % (1u << size)));
        std::vector<std::uint8_t> out(indices.size());
        const LzwResult result = DecodeLzw(static_cast<int>(size), test::LiteralLzw(size, indices), out);
        EXPECT_EQ(out, indices);
        EXPECT_EQ(result.written, indices.size());
    }
}

// A plain GIF LZW encoder over a std::map, written apart from the
// program's encoder (which never writes sizes above 8): longest match,
// one entry per emitted code, width grown right after entry 2^width is made,
// a clear code right after entry 4095 is made. Any minimum code size 2 to 11.
std::vector<std::uint8_t> MapLzw(unsigned minimumCodeSize, std::span<const std::uint8_t> input) {
    const unsigned clear = 1u << minimumCodeSize;
    std::map<std::pair<unsigned, unsigned>, unsigned> strings;
    std::vector<SizedCode> codes;
    unsigned width = minimumCodeSize + 1;
    unsigned next = clear + 2;
    codes.push_back({clear, width});
    unsigned prefix = input[0];
    for (std::size_t i = 1; i < input.size(); ++i) {
        const auto found = strings.find({prefix, input[i]});
        if (found != strings.end()) {
            prefix = found->second;
            continue;
        }
        codes.push_back({prefix, width});
        strings[{prefix, input[i]}] = next;
        if (next == (1u << width)) ++width;
        if (next == 4095) {
            codes.push_back({clear, width});
            strings.clear();
            width = minimumCodeSize + 1;
            next = clear + 2;
        } else {
            ++next;
        }
        prefix = input[i];
    }
    codes.push_back({prefix, width});
    codes.push_back({clear + 1, width});
    return PackCodes(codes);
}

TEST(LzwDecode, MinimumCodeSizesNineToElevenDecodeStreamsOfAnotherEncoder) {
    // Runs and noise over all 256 byte values, long enough to fill the
    // table several times at every size.
    std::vector<std::uint8_t> indices;
    for (unsigned k = 0; k < 30000; ++k)
        indices.push_back(static_cast<std::uint8_t>((k / 9) % 5 == 0 ? (k * 2654435761u) >> 24 : (k / 40) & 0xFF));
    for (unsigned size = 2; size <= 11; ++size) {
        SCOPED_TRACE(size);
        std::vector<std::uint8_t> input = indices;
        if (size < 8) {
            for (std::uint8_t& v : input) v = static_cast<std::uint8_t>(v % (1u << size));
        }
        std::vector<std::uint8_t> out(input.size(), 0);
        const LzwResult result = DecodeLzw(static_cast<int>(size), MapLzw(size, input), out);
        EXPECT_TRUE(result.decoded);
        EXPECT_EQ(result.written, input.size());
        EXPECT_EQ(out, input);
    }
}

TEST(LzwDecode, FullTableWithDeferredClear) {
    // Code size 8: entries 258 to 4095 are made by 3839 literals; entry
    // 258 + k - 1 is literal k - 1 followed by literal k.
    constexpr unsigned kFill = 4096 - 258 + 1;
    std::vector<std::uint8_t> literals;
    for (unsigned k = 0; k < kFill; ++k) literals.push_back(static_cast<std::uint8_t>((k * 13 + k / 256) & 0xFF));
    const std::vector<std::uint8_t> tail = {9, 8, 7, 6, 5};

    LiteralCodes codes(8);
    codes.Clear().Literals(literals);
    std::vector<std::uint8_t> expected = literals;
    // Table full: entry 4095 is the last two literals; no clear code yet, so
    // later codes add nothing and stay 12 bits wide.
    codes.Code(4095);
    expected.insert(expected.end(), {literals[kFill - 2], literals[kFill - 1]});
    codes.Literals(tail);
    expected.insert(expected.end(), tail.begin(), tail.end());
    codes.Code(4095);
    expected.insert(expected.end(), {literals[kFill - 2], literals[kFill - 1]});
    // After the clear: 9-bit codes, and entry 258 is "5 6" again.
    codes.Clear().Code(5).Code(6).Code(258).End();
    expected.insert(expected.end(), {5, 6, 5, 6});

    std::vector<std::uint8_t> out(expected.size() + 3, 0);
    const LzwResult result = DecodeLzw(8, codes.Bytes(), out);
    EXPECT_EQ(result.written, expected.size());
    expected.insert(expected.end(), 3, 0);
    EXPECT_EQ(out, expected);
}

TEST(LzwDecode, CodesBeyondAFullTableAddNothing) {
    // With the table full, code 4095 followed by a literal must not create an
    // entry: a second 4095 still means the same two bytes, and widths stay 12.
    constexpr unsigned kFill = 4096 - 258 + 1;
    const std::vector<std::uint8_t> literals(kFill, 1);
    LiteralCodes codes(8);
    codes.Clear().Literals(literals).Code(4095).Code(3).Code(4095).End();
    std::vector<std::uint8_t> out(kFill + 5, 0xEE);
    DecodeLzw(8, codes.Bytes(), out);
    EXPECT_EQ(std::vector<std::uint8_t>(out.end() - 5, out.end()), (std::vector<std::uint8_t>{1, 1, 3, 1, 1}));
}

std::vector<std::uint8_t> ReadCorporaFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(LzwDecodeCorpora, RawStreamsGiveTheRecordedIndices) {
    VANTREL_REQUIRE_CORPORA();
    const auto dir = test::CorporaDir() / "gif" / "wuffs";
    for (const char* name : {"bricks-dither", "bricks-gray", "bricks-nodither"}) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> lzw = ReadCorporaFile(dir / (std::string(name) + ".indexes.giflzw"));
        const std::vector<std::uint8_t> expected = ReadCorporaFile(dir / (std::string(name) + ".indexes"));
        ASSERT_FALSE(lzw.empty());
        ASSERT_EQ(expected.size(), 160u * 120u);
        std::vector<std::uint8_t> out(expected.size(), 0);
        const LzwResult result = DecodeLzw(lzw[0], std::span(lzw).subspan(1), out);
        EXPECT_EQ(result.written, expected.size());
        EXPECT_EQ(out, expected);
    }
}

// Strings are copied from earlier output in whole blocks that may run past
// their end: a stream cut anywhere must still give exactly the leading part
// of the whole result and zeros after it.
TEST(LzwDecodeCorpora, CutStreamsGiveThePrefixThenZeros) {
    VANTREL_REQUIRE_CORPORA();
    const auto dir = test::CorporaDir() / "gif" / "wuffs";
    const std::vector<std::uint8_t> lzw = ReadCorporaFile(dir / "bricks-nodither.indexes.giflzw");
    const std::vector<std::uint8_t> whole = ReadCorporaFile(dir / "bricks-nodither.indexes");
    ASSERT_FALSE(lzw.empty());
    const std::span<const std::uint8_t> data = std::span(lzw).subspan(1);
    for (std::size_t cut = 0; cut <= data.size(); cut += 1 + cut / 8) {
        std::vector<std::uint8_t> out(whole.size(), 0);
        const LzwResult result = DecodeLzw(lzw[0], data.first(cut), out);
        ASSERT_LE(result.written, whole.size());
        ASSERT_TRUE(std::equal(out.begin(), out.begin() + std::ptrdiff_t(result.written), whole.begin())) << cut;
        ASSERT_TRUE(std::all_of(out.begin() + std::ptrdiff_t(result.written), out.end(), [](auto b) { return b == 0; }))
            << cut;
    }
}

TEST(LzwDecodeCorpora, TextStreamDecodesToTheDigitsOfPi) {
    VANTREL_REQUIRE_CORPORA();
    const std::vector<std::uint8_t> lzw = ReadCorporaFile(test::CorporaDir() / "gif" / "wuffs" / "pi.txt.giflzw");
    ASSERT_FALSE(lzw.empty());
    EXPECT_EQ(lzw[0], 8);
    std::vector<std::uint8_t> out(1 << 20, 0);
    const LzwResult result = DecodeLzw(lzw[0], std::span(lzw).subspan(1), out);
    ASSERT_GT(result.written, lzw.size());
    const std::string text(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(result.written));
    EXPECT_EQ(text.substr(0, 22), "3.14159265358979323846");
    EXPECT_EQ(text.find_first_not_of("0123456789.\n"), std::string::npos);
}

}  // namespace
}  // namespace vantrel
