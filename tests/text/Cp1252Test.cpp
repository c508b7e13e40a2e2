#include "text/Cp1252.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(Cp1252Test, CodesMapToTheirCodePoints) {
    struct Case {
        unsigned char code;
        char32_t codePoint;
    };
    const Case cases[] = {
        {0x00, 0x0000}, {0x41, 0x0041}, {0x7F, 0x007F},  // ASCII is itself
        {0x80, 0x20AC},                                  // euro sign
        {0x8C, 0x0152}, {0x91, 0x2018}, {0x99, 0x2122}, {0x9F, 0x0178},
        // the five undefined codes
        {0x81, 0x0081}, {0x8D, 0x008D}, {0x8F, 0x008F}, {0x90, 0x0090}, {0x9D, 0x009D},
        {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF},  // Latin-1 upper half
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp1252ToUnicode(c.code), c.codePoint) << int(c.code);
        EXPECT_EQ(UnicodeToCp1252(c.codePoint), c.code) << int(c.code);
    }
}

TEST(Cp1252Test, EveryCodeSurvivesTheRoundTripThroughUtf8) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
}

TEST(Cp1252Test, Utf8Encoding) {
    EXPECT_EQ(Cp1252ToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(Cp1252ToUtf8(""), "");
}

TEST(Cp1252Test, Utf8DecodingReplacesWhatHasNoCode) {
    struct Case {
        const char* utf8;
        const char* expected;
    };
    const Case cases[] = {
        {"\xE2\x82\xAC 5 \xC3\xBC", "\x80 5 \xFC"},
        {"\xE2\x9C\x93", "?"},          // U+2713 check mark: no code
        {"\xF0\x9F\x98\x80", "?"},      // four-byte sequence: one replacement
        {"a\xC3", "a?"},                // cut short
        {"\xC0\xAF", "??"},             // over-long form
        {"\xED\xA0\x80", "???"},        // surrogate
        {"\xFFx", "?x"},                // byte that starts nothing
        {"\xC3(", "?("},                // bad continuation byte is kept
    };
    for (const Case& c : cases) EXPECT_EQ(Utf8ToCp1252(c.utf8), c.expected) << c.utf8;
    EXPECT_EQ(Utf8ToCp1252("\xE2\x9C\x93", '#'), "#");
}

}  // namespace
}  // namespace vantrel
