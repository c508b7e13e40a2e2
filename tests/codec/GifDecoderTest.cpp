// The GIF reader on hand-made streams: blocks, extensions, tables,
// transparency, interlacing, truncation, hostile sizes and limits.

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "codec/GifFile.h"
#include "codec/GifDecoderFixtures.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

using test::GifBytes;
using test::LiteralLzw;
using test::PixelsOf;
using test::ReadAll;
using test::TestPalette;
using test::TestPixel;

constexpr std::uint8_t kGlobal4 = 0x81;    // global table of 4 entries
constexpr std::uint8_t kGlobal256 = 0x87;  // global table of 256 entries

// A 2 x 2 image with indices 0 1 / 2 3 as literal LZW codes of size 2.
GifBytes& TwoByTwo(GifBytes& b, std::uint8_t packed = 0, std::uint16_t left = 0, std::uint16_t top = 0) {
    static const std::uint8_t kIndices[] = {0, 1, 2, 3};
    return b.Descriptor(left, top, 2, 2, packed).Data(2, LiteralLzw(2, kIndices));
}

std::vector<PixelValue> Pixels(std::initializer_list<unsigned> indices) {
    std::vector<PixelValue> pixels;
    for (unsigned k : indices) pixels.push_back(TestPixel(k));
    return pixels;
}

TEST(GifReadSignature, RefusesStreamsThatDoNotStartWithGif) {
    const std::vector<std::string> cases = {"", "G", "GI", "gif89a", "GIT89a", "\xFF\xD8\xFF\xE0", "BM6"};
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        const std::vector<std::uint8_t> bytes(text.begin(), text.end());
        GifFile gif;
        const Status read = gif.ReadGif(bytes);
        EXPECT_FALSE(read.ok());
        EXPECT_EQ(read.message(), "No GIF Format");
        EXPECT_TRUE(gif.images.empty());
    }
}

TEST(GifReadSignature, SignatureAloneReadsAsEmptyFile) {
    const std::vector<std::uint8_t> bytes = {'G', 'I', 'F'};
    GifFile gif;
    const Status read = ReadAll(gif, bytes);
    EXPECT_TRUE(read.ok());
    EXPECT_EQ(read.message(), "");
    EXPECT_TRUE(gif.images.empty());
    EXPECT_FALSE(gif.animated);
    EXPECT_EQ(gif.loopCount, 1);
}

TEST(GifReadScreen, Gif87aWithOneImage) {
    // packed 0xB9: global table, colour resolution 3, sort flag, 4 entries.
    GifBytes b;
    b.Header("87a", 7, 5, 0xB9, 2).Colors(TestPalette(4));
    TwoByTwo(b, 0, 3, 1).Trailer();
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
    EXPECT_EQ(std::string(gif.version.data()), "87a");
    EXPECT_EQ(gif.screenWidth, 7);
    EXPECT_EQ(gif.screenHeight, 5);
    EXPECT_EQ(gif.colorResolution, 3);
    EXPECT_EQ(gif.sortFlag, 8);
    EXPECT_EQ(gif.backgroundColorIndex, 2);
    ASSERT_TRUE(gif.globalColorTable.has_value());
    EXPECT_EQ(gif.globalColorTableSize, 4);
    EXPECT_EQ((*gif.globalColorTable)[3], test::TestColor(3));
    EXPECT_EQ((*gif.globalColorTable)[4], RgbTriple{});  // beyond the table: zero
    EXPECT_EQ(gif.loopCount, 1);
    EXPECT_FALSE(gif.hasLoopExtension);
    EXPECT_FALSE(gif.animated);
    ASSERT_EQ(gif.images.size(), 1u);
    const GifImage& image = gif.images[0];
    EXPECT_EQ(image.left, 3);
    EXPECT_EQ(image.top, 1);
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.delay, 0);
    EXPECT_FALSE(image.transparent);
    EXPECT_FALSE(image.localColorTable.has_value());
    EXPECT_EQ(image.minimumCodeSize, 2);
    EXPECT_EQ(image.indices, (std::vector<std::uint8_t>{0, 1, 2, 3}));
    ASSERT_TRUE(image.pixels);
    EXPECT_EQ(PixelsOf(*image.pixels), Pixels({0, 1, 2, 3}));
    // The block is bottom-up: its first row is the bottom row (indices 2, 3),
    // its second the top row (indices 0, 1); each pixel is blue, green, red, T.
    const auto bytes = image.pixels->Bytes();
    ASSERT_EQ(bytes.size(), 16u);
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 4)),
              (std::vector<std::uint8_t>{14, 253, 2, 0}));  // TestColor(2)
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin() + 8, bytes.begin() + 12)),
              (std::vector<std::uint8_t>{0, 255, 0, 0}));  // TestColor(0)
}

TEST(GifReadScreen, TwoImagesWithoutLoopBlockAreAnimatedWithLoopCountOne) {
    GifBytes b;
    b.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4));
    TwoByTwo(b);
    TwoByTwo(b).Trailer();
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
    EXPECT_EQ(gif.images.size(), 2u);
    EXPECT_TRUE(gif.animated);
    EXPECT_EQ(gif.loopCount, 1);
}

TEST(GifReadScreen, FileWithoutImagesIsNotAnimated) {
    GifBytes b;
    b.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4)).Comment("nothing").Trailer();
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
    EXPECT_TRUE(gif.images.empty());
    EXPECT_FALSE(gif.animated);
}

TEST(GifReadScreen, ReadingAgainForgetsTheFirstFile) {
    GifBytes first;
    first.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4)).Loop(7);
    TwoByTwo(first);
    TwoByTwo(first).Trailer();
    GifBytes second;
    second.Header("87a", 9, 9, 0);
    TwoByTwo(second).Trailer();
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, first.Bytes()).ok());
    ASSERT_TRUE(ReadAll(gif, second.Bytes()).ok());
    EXPECT_EQ(gif.images.size(), 1u);
    EXPECT_FALSE(gif.animated);
    EXPECT_EQ(gif.loopCount, 1);
    EXPECT_FALSE(gif.hasLoopExtension);
    EXPECT_FALSE(gif.globalColorTable.has_value());
    EXPECT_EQ(gif.screenWidth, 9);
}

struct LoopCase {
    const char* name;
    std::string identifier;
    std::vector<std::uint8_t> data;
    std::int32_t loopCount;
    bool isLoopBlock;
};

TEST(GifReadExtensions, ApplicationExtensionsAndTheLoopCount) {
    const std::vector<LoopCase> cases = {
        {"loop 0", "NETSCAPE2.0", {1, 0, 0}, 0, true},
        {"loop 1", "NETSCAPE2.0", {1, 1, 0}, 1, true},
        {"loop 3", "NETSCAPE2.0", {1, 3, 0}, 3, true},
        {"loop 65535", "NETSCAPE2.0", {1, 0xFF, 0xFF}, 65535, true},
        {"sub-block id not looked at", "NETSCAPE2.0", {9, 5, 0}, 5, true},
        {"only NET is compared", "NETXYZAB1.0", {1, 4, 1}, 260, true},
        {"other identifier", "ANIMEXTS1.0", {1, 4, 0}, 1, false},
        {"net in lower case", "netscape2.0", {1, 4, 0}, 1, false},
        {"sub-block of 5 bytes", "NETSCAPE2.0", {1, 4, 0, 0, 0}, 1, false},
    };
    for (const LoopCase& c : cases) {
        SCOPED_TRACE(c.name);
        GifBytes b;
        b.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4)).Application(c.identifier, c.data);
        TwoByTwo(b).Trailer();
        GifFile gif;
        ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
        EXPECT_EQ(gif.loopCount, c.loopCount);
        EXPECT_EQ(gif.hasLoopExtension, c.isLoopBlock);
        // The block is skipped to its end either way: the image behind it is intact.
        ASSERT_EQ(gif.images.size(), 1u);
        EXPECT_EQ(gif.images[0].indices, (std::vector<std::uint8_t>{0, 1, 2, 3}));
    }
}

TEST(GifReadExtensions, LoopBlockWithMoreSubBlocksIsSkippedToItsEnd) {
    GifBytes b;
    b.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4));
    b.Byte(0x21).Byte(0xFF).Byte(11).Text("NETSCAPE2.0").Byte(3).Byte(1).Word(3);
    b.Byte(4).Text(",,,,").Byte(2).Text("!;").Byte(0);  // separators hidden inside sub-blocks
    TwoByTwo(b).Trailer();
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
    EXPECT_EQ(gif.loopCount, 3);
    EXPECT_EQ(gif.images.size(), 1u);
}

TEST(GifReadExtensions, ApplicationBlockOfOtherSizeIsSkipped) {
    GifBytes b;
    b.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4));
    b.Byte(0x21).Byte(0xFF).Byte(3).Text("NET").Byte(3).Byte(1).Word(9).Byte(0);
    TwoByTwo(b).Trailer();
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
    EXPECT_EQ(gif.loopCount, 1);
    EXPECT_EQ(gif.images.size(), 1u);
}

TEST(GifReadExtensions, CommentPlainTextAndUnknownExtensionsAreSkipped) {
    GifBytes b;
    b.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4)).Comment("a comment, with ; and !");
    b.Byte(0x21).Byte(0x01).Byte(12).Text("plain text..").Byte(1).Text(",").Byte(0);
    b.Byte(0x21).Byte(0x42).Byte(2).Text(";;").Byte(0);
    TwoByTwo(b).Trailer();
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
    ASSERT_EQ(gif.images.size(), 1u);
    EXPECT_EQ(PixelsOf(*gif.images[0].pixels), Pixels({0, 1, 2, 3}));
}

TEST(GifReadExtensions, LastLoopBlockWins) {
    GifBytes b;
    b.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4)).Loop(50);
    TwoByTwo(b).Loop(30);
    TwoByTwo(b).Loop(40).Trailer();
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
    EXPECT_EQ(gif.loopCount, 40);
}

TEST(GifReadControl, FieldsOfTheControlExtension) {
    // packed 0x0D: disposal 3, transparent flag.
    GifBytes b;
    b.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4)).Control(0x0D, 1234, 2);
    TwoByTwo(b).Trailer();
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
    ASSERT_EQ(gif.images.size(), 1u);
    const GifImage& image = gif.images[0];
    EXPECT_EQ(image.delay, 1234);
    EXPECT_EQ(image.disposal, 3);
    EXPECT_TRUE(image.transparent);
    EXPECT_EQ(image.transparentIndex, 2);
    EXPECT_EQ(PixelsOf(*image.pixels),
              (std::vector<PixelValue>{TestPixel(0), TestPixel(1), TestPixel(2) | 0xFF000000, TestPixel(3)}));
}

TEST(GifReadControl, SecondControlBeforeAnImageWinsAndOneAfterTheLastLeavesAnEmptyRecord) {
    GifBytes b;
    b.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4));
    b.Control(0x01, 200, 1).Control(0x08, 300, 3);  // the second: disposal 2, no transparency
    TwoByTwo(b).Control(0x04, 50, 0).Trailer();
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
    ASSERT_EQ(gif.images.size(), 2u);
    EXPECT_EQ(gif.images[0].delay, 300);
    EXPECT_EQ(gif.images[0].disposal, 2);
    EXPECT_FALSE(gif.images[0].transparent);
    EXPECT_EQ(gif.images[0].indices, (std::vector<std::uint8_t>{0, 1, 2, 3}));
    const GifImage& trailing = gif.images[1];
    EXPECT_EQ(trailing.delay, 50);
    EXPECT_EQ(trailing.disposal, 1);
    EXPECT_EQ(trailing.width, 0);
    EXPECT_EQ(trailing.height, 0);
    EXPECT_EQ(trailing.CompressedLength(), 0u);
    ASSERT_TRUE(trailing.pixels);
    EXPECT_FALSE(trailing.pixels->HasBlock());
    EXPECT_TRUE(gif.animated);  // two records, although one has no image
}

TEST(GifReadControl, TransparentIndex200MarksExactlyItsPixels) {
    const std::vector<std::uint8_t> indices = {200, 0, 199, 200, 201, 255};
    GifBytes b;
    b.Header("89a", 3, 2, kGlobal256).Colors(TestPalette(256)).Control(0x01, 0, 200);
    b.Descriptor(0, 0, 3, 2, 0).Data(8, LiteralLzw(8, indices)).Trailer();
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
    const std::vector<PixelValue> pixels = PixelsOf(*gif.images[0].pixels);
    ASSERT_EQ(pixels.size(), indices.size());
    for (std::size_t i = 0; i < indices.size(); ++i) {
        const PixelValue expected = TestPixel(indices[i]) | (indices[i] == 200 ? 0xFF000000 : 0);
        EXPECT_EQ(pixels[i], expected) << "pixel " << i;
    }
}

TEST(GifReadTables, LocalTableOverridesGlobalForItsImageOnly) {
    // Local table of 8 entries, interlaced and sorted: packed 0x80 | 0x40 | 0x20 | 2.
    std::vector<RgbTriple> local = TestPalette(8);
    std::reverse(local.begin(), local.end());
    GifBytes b;
    b.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4));
    TwoByTwo(b);
    b.Descriptor(0, 0, 2, 2, 0xE2).Colors(local).Data(2, LiteralLzw(2, std::vector<std::uint8_t>{0, 1, 2, 3}));
    TwoByTwo(b).Trailer();
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
    ASSERT_EQ(gif.images.size(), 3u);
    const GifImage& withLocal = gif.images[1];
    ASSERT_TRUE(withLocal.localColorTable.has_value());
    EXPECT_EQ(withLocal.colorTableSize, 8);
    EXPECT_TRUE(withLocal.interlaced);
    EXPECT_TRUE(withLocal.sorted);
    // Interlaced height 2: index row 0 is row 0, index row 1 is row 1.
    EXPECT_EQ(PixelsOf(*withLocal.pixels), Pixels({7, 6, 5, 4}));
    EXPECT_EQ(PixelsOf(*gif.images[0].pixels), Pixels({0, 1, 2, 3}));
    EXPECT_EQ(PixelsOf(*gif.images[2].pixels), Pixels({0, 1, 2, 3}));
}

TEST(GifReadTables, ImageWithoutAnyTableIsBlack) {
    GifBytes b;
    b.Header("89a", 2, 2, 0).Control(0x01, 0, 3);
    TwoByTwo(b).Trailer();
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
    EXPECT_EQ(PixelsOf(*gif.images[0].pixels),
              (std::vector<PixelValue>{0x00000000, 0x00000000, 0x00000000, 0xFF000000}));
}

TEST(GifReadTables, IndicesBeyondTheTableSizeAreBlack) {
    GifBytes b;
    b.Header("89a", 2, 1, 0x80).Colors(TestPalette(2));  // 2 entries
    b.Descriptor(0, 0, 2, 1, 0).Data(2, LiteralLzw(2, std::vector<std::uint8_t>{1, 3})).Trailer();
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
    EXPECT_EQ(PixelsOf(*gif.images[0].pixels), (std::vector<PixelValue>{TestPixel(1), 0x00000000}));
}

TEST(GifReadBlocks, BytesBetweenBlocksAreSkippedOneByOne) {
    GifBytes clean;
    clean.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4)).Loop(2);
    TwoByTwo(clean).Control(0x00, 9, 0);
    TwoByTwo(clean).Trailer();

    GifBytes junk;
    junk.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4)).Byte(0).Byte(1).Text(" junk").Byte(0xFF).Loop(2).Byte(0);
    TwoByTwo(junk).Text("zz").Byte(0xF9).Control(0x00, 9, 0).Byte(0x2B);
    TwoByTwo(junk).Byte(0x3A).Trailer();

    GifFile a;
    GifFile b;
    ASSERT_TRUE(ReadAll(a, clean.Bytes()).ok());
    ASSERT_TRUE(ReadAll(b, junk.Bytes()).ok());
    ASSERT_EQ(b.images.size(), a.images.size());
    EXPECT_EQ(b.loopCount, 2);
    for (std::size_t i = 0; i < a.images.size(); ++i) {
        EXPECT_EQ(b.images[i].delay, a.images[i].delay);
        EXPECT_EQ(b.images[i].indices, a.images[i].indices);
    }
}

TEST(GifReadBlocks, NothingAfterTheTrailerIsRead) {
    GifBytes b;
    b.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4));
    TwoByTwo(b).Trailer();
    TwoByTwo(b);
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
    EXPECT_EQ(gif.images.size(), 1u);
}

TEST(GifReadBlocks, DataSubBlocksOfAnySizeAreJoined) {
    std::vector<std::uint8_t> indices(300);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint8_t>(i * 37);
    const std::vector<std::uint8_t> lzw = LiteralLzw(8, indices);
    for (std::size_t chunk : {1u, 2u, 254u, 255u}) {
        SCOPED_TRACE(chunk);
        GifBytes b;
        b.Header("89a", 20, 15, kGlobal256).Colors(TestPalette(256));
        b.Descriptor(0, 0, 20, 15, 0).Data(8, lzw, chunk).Trailer();
        GifFile gif;
        ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
        EXPECT_EQ(gif.images[0].compressedData, lzw);
        EXPECT_EQ(gif.images[0].indices, indices);
    }
}

// Row of the index buffer that holds row y of an interlaced image, worked out
// by walking the four passes the way an encoder writes them.
std::vector<std::size_t> PassOrderSourceRows(std::size_t height) {
    std::vector<std::size_t> sourceOf(height);
    std::size_t next = 0;
    for (std::size_t y = 0; y < height; y += 8) sourceOf[y] = next++;
    for (std::size_t y = 4; y < height; y += 8) sourceOf[y] = next++;
    for (std::size_t y = 2; y < height; y += 4) sourceOf[y] = next++;
    for (std::size_t y = 1; y < height; y += 2) sourceOf[y] = next++;
    return sourceOf;
}

TEST(GifReadInterlace, HeightsOneToSeventeen) {
    constexpr std::uint16_t kWidth = 3;
    for (std::uint16_t height = 1; height <= 17; ++height) {
        SCOPED_TRACE(height);
        // Index row r holds index r in every column.
        std::vector<std::uint8_t> indices;
        for (std::uint16_t r = 0; r < height; ++r) indices.insert(indices.end(), kWidth, static_cast<std::uint8_t>(r));
        GifBytes b;
        b.Header("89a", kWidth, height, kGlobal256).Colors(TestPalette(256));
        b.Descriptor(0, 0, kWidth, height, 0x40).Data(8, LiteralLzw(8, indices)).Trailer();
        GifFile gif;
        ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
        const PackedDib& dib = *gif.images[0].pixels;
        const std::vector<std::size_t> sourceOf = PassOrderSourceRows(height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                EXPECT_EQ(dib.GetPixel(x, y), TestPixel(static_cast<unsigned>(sourceOf[y]))) << "row " << y;
            }
        }
    }
}

TEST(GifReadInterlace, HeightTenStartsItsPassesAtRowsZeroTwoThreeFive) {
    const std::vector<std::size_t> sourceOf = PassOrderSourceRows(10);
    EXPECT_EQ(sourceOf, (std::vector<std::size_t>{0, 5, 3, 6, 2, 7, 4, 8, 1, 9}));
}

TEST(GifReadGeometry, OddSizesAndPositionsDecodeWithoutFault) {
    struct Case {
        std::uint16_t screenWidth, screenHeight, left, top, width, height;
    };
    const std::vector<Case> cases = {
        {0, 0, 0, 0, 2, 2},            // 0 x 0 logical screen
        {4, 4, 3, 3, 2, 2},            // partly outside
        {4, 4, 100, 200, 2, 2},        // wholly outside
        {4, 4, 65535, 65535, 1, 1},    // at the far corner of the coordinate range
        {4, 4, 0, 0, 0, 5},            // width 0
        {4, 4, 0, 0, 5, 0},            // height 0
        {4, 4, 0, 0, 0, 0},            // both 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << "," << c.top << " " << c.width << "x" << c.height);
        std::vector<std::uint8_t> indices(std::size_t{c.width} * c.height, 1);
        GifBytes b;
        b.Header("89a", c.screenWidth, c.screenHeight, kGlobal4).Colors(TestPalette(4));
        b.Descriptor(c.left, c.top, c.width, c.height, 0).Data(2, LiteralLzw(2, indices)).Trailer();
        GifFile gif;
        ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
        const GifImage& image = gif.images[0];
        EXPECT_EQ(image.left, c.left);
        EXPECT_EQ(image.top, c.top);
        ASSERT_TRUE(image.pixels);
        EXPECT_EQ(image.indices.size(), indices.size());
        if (indices.empty()) {
            EXPECT_FALSE(image.pixels->HasBlock());
        } else {
            EXPECT_EQ(image.pixels->Width(), c.width);
            EXPECT_EQ(image.pixels->Height(), c.height);
            EXPECT_EQ(PixelsOf(*image.pixels), std::vector<PixelValue>(indices.size(), TestPixel(1)));
        }
    }
}

TEST(GifReadCodeSize, SizesOutsideTwoToElevenLeaveIndicesZero) {
    // The data would decode to index 1 everywhere with any size it could mean.
    for (unsigned size : {0u, 1u, 12u, 13u, 255u}) {
        SCOPED_TRACE(size);
        const unsigned usable = std::min(size, 8u);
        std::vector<std::uint8_t> lzw = LiteralLzw(std::max(usable, 2u), std::vector<std::uint8_t>(6, 1));
        GifBytes b;
        b.Header("89a", 3, 2, kGlobal4).Colors(TestPalette(4));
        b.Descriptor(0, 0, 3, 2, 0).Data(static_cast<std::uint8_t>(size), lzw).Trailer();
        GifFile gif;
        ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
        EXPECT_EQ(gif.images[0].minimumCodeSize, size);
        EXPECT_EQ(gif.images[0].indices, std::vector<std::uint8_t>(6, 0));
        EXPECT_EQ(PixelsOf(*gif.images[0].pixels), std::vector<PixelValue>(6, TestPixel(0)));
    }
}

TEST(GifReadCodeSize, SizesNineToElevenAreDecoded) {
    const std::vector<std::uint8_t> indices = {1, 2, 3, 0, 1, 2};
    for (unsigned size : {9u, 10u, 11u}) {
        SCOPED_TRACE(size);
        GifBytes b;
        b.Header("89a", 3, 2, kGlobal4).Colors(TestPalette(4));
        b.Descriptor(0, 0, 3, 2, 0).Data(static_cast<std::uint8_t>(size), LiteralLzw(size, indices)).Trailer();
        GifFile gif;
        ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
        EXPECT_EQ(gif.images[0].indices, indices);
        EXPECT_EQ(PixelsOf(*gif.images[0].pixels)[2], TestPixel(3));
    }
}

// A small animation with everything a cut can fall into: loop block, comment,
// control blocks, a local table and three images.
std::vector<std::uint8_t> SmallAnimation() {
    GifBytes b;
    b.Header("89a", 4, 3, kGlobal4).Colors(TestPalette(4)).Loop(0).Comment("cut me");
    const std::vector<std::uint8_t> first = {0, 1, 2, 3, 3, 2, 1, 0, 1, 1, 2, 2};
    const std::vector<std::uint8_t> second = {3, 3, 3, 3, 0, 0};
    b.Control(0x05, 10, 3).Descriptor(0, 0, 4, 3, 0).Data(2, LiteralLzw(2, first), 3);
    b.Control(0x08, 20, 0).Descriptor(1, 1, 3, 2, 0x81).Colors(TestPalette(4)).Data(2, LiteralLzw(2, second), 2);
    b.Control(0x00, 30, 0).Descriptor(0, 0, 4, 3, 0x40).Data(2, LiteralLzw(2, first));
    return b.Trailer().Bytes();
}

TEST(GifReadTruncation, EveryCutOfASmallAnimationReadsWhatIsThere) {
    const std::vector<std::uint8_t> whole = SmallAnimation();
    GifFile full;
    ASSERT_TRUE(ReadAll(full, whole).ok());
    ASSERT_EQ(full.images.size(), 3u);

    for (std::size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        // A copy of exactly this length, so that a read past it is a heap overflow.
        const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        GifFile gif;
        const Status result = ReadAll(gif, cut);
        if (length < 3) {
            EXPECT_FALSE(result.ok());
            continue;
        }
        ASSERT_TRUE(result.ok()) << result.message();
        ASSERT_LE(gif.images.size(), full.images.size());
        for (std::size_t i = 0; i < gif.images.size(); ++i) {
            const GifImage& image = gif.images[i];
            const GifImage& reference = full.images[i];
            ASSERT_TRUE(image.pixels);
            EXPECT_EQ(image.indices.size(), std::size_t{image.width} * image.height);
            if (image.width == 0) continue;  // control block read, descriptor not
            EXPECT_EQ(image.width, reference.width);
            EXPECT_EQ(image.delay, reference.delay);
            // What was decoded is the start of the full image; the rest is index 0.
            std::size_t same = 0;
            while (same < image.indices.size() && image.indices[same] == reference.indices[same]) ++same;
            for (std::size_t k = same; k < image.indices.size(); ++k) {
                ASSERT_EQ(image.indices[k], 0) << "image " << i << " index " << k;
            }
            if (i + 1 < gif.images.size()) {
                EXPECT_EQ(image.indices, reference.indices);  // complete images are whole
            }
        }
    }
}

TEST(GifReadTruncation, CutInsideADescriptorAddsNoImage) {
    GifBytes b;
    b.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4));
    TwoByTwo(b);
    b.Descriptor(0, 0, 2, 2, 0x81).Colors(TestPalette(2));  // local table cut after 2 of 4 entries
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
    EXPECT_EQ(gif.images.size(), 1u);
    EXPECT_FALSE(gif.animated);
}

TEST(GifReadTruncation, CutLoopBlockKeepsTheLoopCountOfOne) {
    GifBytes b;
    b.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4));
    b.Byte(0x21).Byte(0xFF).Byte(11).Text("NETSCAPE2.0").Byte(3).Byte(1).Byte(5);  // high byte missing
    GifFile gif;
    ASSERT_TRUE(ReadAll(gif, b.Bytes()).ok());
    EXPECT_EQ(gif.loopCount, 1);
    EXPECT_FALSE(gif.hasLoopExtension);
}

// Image descriptors without data, for the limits: nothing is decoded.
std::vector<std::uint8_t> DescriptorsOnly(std::size_t count, std::uint16_t width, std::uint16_t height) {
    GifBytes b;
    b.Header("89a", 1, 1, kGlobal4).Colors(TestPalette(4));
    for (std::size_t i = 0; i < count; ++i) b.Descriptor(0, 0, width, height, 0).Byte(2).Byte(0);
    return b.Trailer().Bytes();
}

TEST(GifReadLimits, ImageAboveThePixelLimitIsRefused) {
    GifFile gif;
    const Status read = gif.ReadGif(DescriptorsOnly(1, 65535, 65535));
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.message().starts_with("Image 1 is ")) << read.message();  // one image too large
    EXPECT_NE(read.message().find("65535 x 65535"), std::string::npos) << read.message();
    EXPECT_NE(read.message().find("4294836225"), std::string::npos) << read.message();
    EXPECT_NE(read.message().find(std::to_string(GifLimits::kMaxImagePixels)), std::string::npos);
}

TEST(GifReadLimits, ImageAtThePixelLimitIsAccepted) {
    static_assert(GifLimits::kMaxImagePixels == 8192u * 8192u, "the sizes below assume this limit");
    GifFile gif;
    EXPECT_TRUE(gif.ReadGif(DescriptorsOnly(1, 8192, 8192)).ok());
    const Status read = gif.ReadGif(DescriptorsOnly(1, 8193, 8192));
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.message().starts_with("Image 1 is 8193 x 8192")) << read.message();
}

TEST(GifReadLimits, FileAboveTheTotalPixelLimitIsRefused) {
    constexpr std::uint64_t kPerImage = 8192u * 8192u;
    constexpr std::size_t kFitting = GifLimits::kMaxTotalPixels / kPerImage;
    static_assert(kFitting * kPerImage == GifLimits::kMaxTotalPixels, "the images fill the total exactly");
    GifFile gif;
    EXPECT_TRUE(gif.ReadGif(DescriptorsOnly(kFitting, 8192, 8192)).ok());
    EXPECT_EQ(gif.images.size(), kFitting);

    const Status read = gif.ReadGif(DescriptorsOnly(kFitting + 1, 8192, 8192));
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.message().starts_with("The images up to image ")) << read.message();  // the total
    EXPECT_NE(read.message().find(std::to_string(GifLimits::kMaxTotalPixels)), std::string::npos) << read.message();
    EXPECT_NE(read.message().find(std::to_string((kFitting + 1) * kPerImage)), std::string::npos) << read.message();
}

TEST(GifReadLimits, FileWithTooManyImagesIsRefused) {
    GifFile gif;
    EXPECT_TRUE(gif.ReadGif(DescriptorsOnly(GifLimits::kMaxImages, 0, 0)).ok());
    EXPECT_EQ(gif.images.size(), GifLimits::kMaxImages);

    const Status read = gif.ReadGif(DescriptorsOnly(GifLimits::kMaxImages + 1, 0, 0));
    EXPECT_FALSE(read.ok());
    EXPECT_TRUE(read.message().starts_with("The file holds more than ")) << read.message();  // the count
    EXPECT_NE(read.message().find(std::to_string(GifLimits::kMaxImages)), std::string::npos) << read.message();
}

TEST(GifReadFile, ReadsAFileAndReportsAMissingOne) {
    GifBytes b;
    b.Header("89a", 2, 2, kGlobal4).Colors(TestPalette(4));
    TwoByTwo(b).Trailer();
    const auto dir = test::ScratchDir("gif_read_file");
    {
        std::ofstream out(dir / "small.gif", std::ios::binary);
        out.write(reinterpret_cast<const char*>(b.Bytes().data()), static_cast<std::streamsize>(b.Size()));
    }
    GifFile gif;
    ASSERT_TRUE(gif.ReadGifFile(dir / "small.gif").ok());
    EXPECT_EQ(gif.images.size(), 1u);

    const Status read = gif.ReadGifFile(dir / "missing.gif");
    EXPECT_FALSE(read.ok());
    // The file's own reason, naming it, not the reader's.
    EXPECT_TRUE(read.message().starts_with((dir / "missing.gif").string() + ": ")) << read.message();
    EXPECT_TRUE(gif.images.empty());
}

}  // namespace
}  // namespace vantrel
