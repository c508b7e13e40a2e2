#include "text/LogFont.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace vantrel {
namespace {

using Record = std::array<std::uint8_t, LogFont::kRecordSize>;

// The record font appends after a byte already there, which it must leave alone.
Record Write(const LogFont& font) {
    std::vector<std::uint8_t> bytes{0xEE};
    ByteWriter writer(bytes);
    font.WriteTo(writer);
    Record record{};
    EXPECT_EQ(bytes.size(), 1 + record.size());
    EXPECT_EQ(bytes[0], 0xEE);
    std::copy_n(bytes.begin() + 1, std::min(bytes.size() - 1, record.size()), record.begin());
    return record;
}

Record FaceNameBytes(Record bytes, const char* name) {
    std::size_t i = 28;
    for (const char* p = name; *p != '\0'; ++p) bytes[i++] = static_cast<std::uint8_t>(*p);
    while (i < bytes.size()) bytes[i++] = 0;
    return bytes;
}

TEST(LogFontTest, DocumentDefaultIsArial24Regular) {
    const LogFont font = LogFont::DocumentDefault();
    EXPECT_EQ(font.FaceName(), "Arial");

    Record expected{
        24, 0, 0, 0,     // height
        0, 0, 0, 0,      // width
        0, 0, 0, 0,      // escapement
        0, 0, 0, 0,      // orientation
        0x90, 0x01, 0, 0,  // weight 400
        0, 0, 0,         // italic, underline, strike-out
        1,               // character set: default
        4,               // output precision: TrueType
        0,               // clip precision
        1,               // quality
        0,               // pitch and family
    };
    expected = FaceNameBytes(expected, "Arial");
    EXPECT_EQ(Write(font), expected);
}

TEST(LogFontTest, EveryFieldSitsAtItsOffset) {
    LogFont font;
    font.height = 0x01020304;
    font.width = -2;
    font.escapement = 0x0A0B0C0D;
    font.orientation = -900;  // 0xFFFFFC7C
    font.weight = 700;        // 0x02BC
    font.italic = 0x11;
    font.underline = 0x12;
    font.strikeOut = 0x13;
    font.charSet = 0x14;
    font.outPrecision = 0x15;
    font.clipPrecision = 0x16;
    font.quality = 0x17;
    font.pitchAndFamily = 0x18;
    font.SetFaceName("Liberation Sans");

    Record expected{
        0x04, 0x03, 0x02, 0x01,  // 0: height
        0xFE, 0xFF, 0xFF, 0xFF,  // 4: width
        0x0D, 0x0C, 0x0B, 0x0A,  // 8: escapement
        0x7C, 0xFC, 0xFF, 0xFF,  // 12: orientation
        0xBC, 0x02, 0x00, 0x00,  // 16: weight
        0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18,  // 20..27: the eight bytes
    };
    expected = FaceNameBytes(expected, "Liberation Sans");  // 28..59
    const Record written = Write(font);
    EXPECT_EQ(written, expected);

    // Reading the bytes gives every field back.
    EXPECT_EQ(LogFont::ReadFrom(written), font);
}

TEST(LogFontTest, FaceNameKeepsAtMost31Characters) {
    LogFont font;
    const std::string longName(40, 'x');
    font.SetFaceName(longName);
    EXPECT_EQ(font.FaceName(), std::string(31, 'x'));
    EXPECT_EQ(font.faceName.back(), '\0');

    // A shorter name clears what a longer one left behind.
    font.SetFaceName("Ab");
    EXPECT_EQ(font.FaceName(), "Ab");
    for (std::size_t i = 2; i < font.faceName.size(); ++i) EXPECT_EQ(font.faceName[i], '\0') << i;
}

TEST(LogFontTest, RecordWithoutTerminatorStillEndsInsideTheName) {
    Record bytes{};
    for (std::size_t i = 28; i < bytes.size(); ++i) bytes[i] = 'N';
    const LogFont font = LogFont::ReadFrom(bytes);
    EXPECT_EQ(font.FaceName(), std::string(31, 'N'));
    EXPECT_EQ(font.faceName.back(), '\0');
}

TEST(LogFontTest, BytesAfterTheNameTerminatorSurviveARoundTrip) {
    // Records written by other tools may carry leftovers after the NUL; they
    // are kept so that re-saving changes nothing.
    Record bytes = FaceNameBytes(Record{}, "Arial");
    bytes[40] = 'z';
    const LogFont font = LogFont::ReadFrom(bytes);
    EXPECT_EQ(font.FaceName(), "Arial");
    EXPECT_EQ(Write(font), bytes);
}

TEST(LogFontTest, AReaderGivesUpExactlyTheRecord) {
    LogFont font = LogFont::DocumentDefault();
    font.weight = 700;
    std::vector<std::uint8_t> bytes;
    ByteWriter writer(bytes);
    font.WriteTo(writer);
    writer.U8(0x42);

    ByteReader whole(bytes);
    EXPECT_EQ(LogFont::ReadFrom(whole), font);
    EXPECT_EQ(whole.Position(), LogFont::kRecordSize);
    EXPECT_EQ(whole.U8(), 0x42);
    EXPECT_FALSE(whole.Exhausted());

    // One byte short: the reader says so.
    ByteReader cut(std::span<const std::uint8_t>(bytes).first(LogFont::kRecordSize - 1));
    LogFont::ReadFrom(cut);
    EXPECT_TRUE(cut.Exhausted());
}

}  // namespace
}  // namespace vantrel
