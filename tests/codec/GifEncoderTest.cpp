// The GIF89a writer: records made by AddImage, the exact bytes of every
// block, sub-block splitting, extensions of animated files, saving, and
// giflib decoding every file we write to the indices we encoded.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "codec/GifEncoderFixtures.h"
#include "codec/GifFile.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

using test::RefGif;
using test::writer::FilledDib;
using test::writer::MakeDib;
using test::writer::RandomIndices;
using test::writer::TopDownPixels;
using test::writer::WrittenBytes;

using Bytes = std::vector<std::uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes Text(std::string_view s) { return Bytes(s.begin(), s.end()); }

// A file of 1 x 1 images, each index 0, with a black-and-white global table.
void MakeTinyFile(GifFile& gif, int images) {
    gif.SetScreenSize(1, 1);
    ColorTable table{};
    table[1] = {255, 255, 255};
    gif.globalColorTable = table;
    gif.globalColorTableSize = 2;
    for (int i = 0; i < images; ++i) gif.AddImage(FilledDib(1, 1, 0)).minimumCodeSize = 2;
    gif.EncodeImages();
}

const Bytes kTinyScreen = Concat({Text("GIF89a"), {1, 0, 1, 0, 0x80, 0, 0}, {0, 0, 0, 255, 255, 255}});
const Bytes kTinyImage = {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00};
const Bytes kComment = Concat({{0x21, 0xFE, 20}, Text("Vantrel GIF Animator"), {0}});
const Bytes kNoDelayControl = {0x21, 0xF9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00};

TEST(GifWriter, SingleImageFileHasNoExtensions) {
    GifFile gif;
    MakeTinyFile(gif, 1);
    EXPECT_FALSE(gif.animated);
    EXPECT_EQ(WrittenBytes(gif), Concat({kTinyScreen, kTinyImage, {0x3B}}));
}

TEST(GifWriter, LoopExtensionFollowsTheLoopCountAndTheCommentComesBeforeTheFirstControlBlock) {
    auto loopBlock = [](std::uint8_t lo, std::uint8_t hi) {
        return Concat({{0x21, 0xFF, 0x0B}, Text("NETSCAPE2.0"), {0x03, 0x01, lo, hi, 0x00}});
    };
    struct Case {
        std::int32_t loopCount;
        Bytes loop;  // empty: no looping extension
    };
    const Case cases[] = {
        {0, loopBlock(0, 0)},       {1, {}}, {3, loopBlock(3, 0)}, {65535, loopBlock(0xFF, 0xFF)},
        {0x10002, loopBlock(2, 0)},  // the low 16 bits
    };
    for (const Case& c : cases) {
        GifFile gif;
        MakeTinyFile(gif, 2);
        gif.loopCount = c.loopCount;
        ASSERT_TRUE(gif.animated);
        const Bytes expected = Concat({kTinyScreen,
                                       c.loop,
                                       kComment,
                                       kNoDelayControl,
                                       kTinyImage,
                                       kNoDelayControl,
                                       kTinyImage,
                                       {0x3B}});
        EXPECT_EQ(WrittenBytes(gif), expected) << "loop count " << c.loopCount;
    }
}

TEST(GifWriter, ControlExtensionCarriesDisposalTransparencyAndDelay) {
    GifFile gif;
    MakeTinyFile(gif, 2);
    gif.loopCount = 1;
    GifImage& second = gif.images[1];
    second.delay = 0x1234;
    second.disposal = 2;
    second.transparent = true;
    second.transparentIndex = 1;
    const Bytes control = {0x21, 0xF9, 0x04, (2 << 2) | 1, 0x34, 0x12, 0x01, 0x00};
    EXPECT_EQ(WrittenBytes(gif),
              Concat({kTinyScreen, kComment, kNoDelayControl, kTinyImage, control, kTinyImage, {0x3B}}));
}

TEST(GifWriter, ScreenAndDescriptorFields) {
    GifFile gif;
    gif.SetScreenSize(0x0203, 0x0405);
    gif.backgroundColorIndex = 7;
    gif.sortFlag = 8;
    gif.globalColorTable = ColorTable{};
    gif.globalColorTableSize = 256;
    GifImage& image = gif.AddImage(FilledDib(3, 2, 0));
    image.left = 0x0102;
    image.top = 0x0304;
    gif.EncodeImages();
    const Bytes bytes = WrittenBytes(gif);
    ASSERT_GT(bytes.size(), 13u + 768u + 10u);
    EXPECT_EQ(Bytes(bytes.begin() + 6, bytes.begin() + 13),
              (Bytes{0x03, 0x02, 0x05, 0x04, 0x80 | 0x08 | 7, 7, 0}));
    const auto descriptor = bytes.begin() + 13 + 768;
    EXPECT_EQ(Bytes(descriptor, descriptor + 10), (Bytes{0x2C, 0x02, 0x01, 0x04, 0x03, 3, 0, 2, 0, 0x00}));
}

TEST(GifWriter, ScreenSizeIsClampedTo16Bits) {
    GifFile gif;
    gif.SetScreenSize(70000, -5);
    EXPECT_EQ(gif.screenWidth, 65535);
    EXPECT_EQ(gif.screenHeight, 0);
}

// The image data section after the minimum code size byte for n data bytes.
TEST(GifWriter, DataIsSplitIntoSubBlocksOf255) {
    struct Case {
        std::size_t length;
        std::vector<std::size_t> blocks;  // lengths of the data sub-blocks; then a 0 terminator
    };
    const Case cases[] = {
        {0, {}},         {1, {1}},          {254, {254}},          {255, {255}},
        {256, {255, 1}}, {510, {255, 255}}, {600, {255, 255, 90}},
    };
    for (const Case& c : cases) {
        GifFile gif;
        gif.SetScreenSize(1, 1);
        GifImage& image = gif.AddImage(FilledDib(1, 1, 0));
        image.minimumCodeSize = 2;
        for (std::size_t i = 0; i < c.length; ++i)
            image.compressedData.push_back(static_cast<std::uint8_t>(i * 7));
        const Bytes bytes = WrittenBytes(gif);

        Bytes expected{0x02};
        std::size_t next = 0;
        for (std::size_t block : c.blocks) {
            expected.push_back(static_cast<std::uint8_t>(block));
            expected.insert(expected.end(), image.compressedData.begin() + static_cast<std::ptrdiff_t>(next),
                            image.compressedData.begin() + static_cast<std::ptrdiff_t>(next + block));
            next += block;
        }
        expected.push_back(0x00);
        expected.push_back(0x3B);
        const std::size_t dataStart = 13 + 10;  // no global table
        ASSERT_EQ(bytes.size(), dataStart + expected.size()) << c.length;
        EXPECT_EQ(Bytes(bytes.begin() + dataStart, bytes.end()), expected) << c.length;
    }
}

TEST(GifWriter, AddImageCopiesPixelsAndMakesZeroedIndices) {
    GifFile gif;
    PackedDib source = MakeDib(3, 2, std::vector<PixelValue>{1, 2, 3, 4, 5, 6});
    GifImage& first = gif.AddImage(source);
    source.FillBytes(0xAB);  // the record holds its own copy
    EXPECT_EQ(TopDownPixels(*first.pixels), (std::vector<PixelValue>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(first.width, 3);
    EXPECT_EQ(first.height, 2);
    EXPECT_EQ(first.left, 0);
    EXPECT_EQ(first.top, 0);
    EXPECT_EQ(first.indices, Bytes(6, 0));
    EXPECT_EQ(first.delay, 0);
    EXPECT_FALSE(first.transparent);
    EXPECT_FALSE(gif.animated);
    gif.AddImage(source);
    EXPECT_TRUE(gif.animated);
    EXPECT_EQ(gif.images.size(), 2u);
}

TEST(GifWriter, EmptyImagesProduceNoData) {
    GifFile gif;
    gif.AddImage(PackedDib{});
    PackedDib zeroHigh;
    zeroHigh.SetSize(5, 0);
    gif.AddImage(zeroHigh);
    gif.EncodeImages();
    for (const GifImage& image : gif.images) {
        EXPECT_TRUE(image.compressedData.empty());
        EXPECT_EQ(image.minimumCodeSize, 2);
    }
}

TEST(GifWriter, EncodeImagesRaisesACodeSizeThatCannotHoldTheIndices) {
    GifFile gif;
    GifImage& image = gif.AddImage(FilledDib(2, 2, 0));
    image.indices = {0, 9, 3, 1};
    image.minimumCodeSize = 2;
    gif.EncodeImages();
    EXPECT_EQ(image.minimumCodeSize, 4);
}

TEST(GifWriter, LocalTableAndOddTableSizesAreWrittenCompletely) {
    GifFile gif;
    gif.SetScreenSize(2, 1);
    ColorTable global{};
    for (std::size_t i = 0; i < 5; ++i) global[i] = {static_cast<std::uint8_t>(10 * i), 1, 2};
    gif.globalColorTable = global;
    gif.globalColorTableSize = 5;  // not a power of two: written as the 8 entries its size code announces
    GifImage& image = gif.AddImage(FilledDib(2, 1, 0));
    image.indices = {3, 1};
    image.localColorTable = ColorTable{};
    (*image.localColorTable)[3] = {9, 8, 7};
    image.colorTableSize = 4;
    image.minimumCodeSize = 2;
    gif.EncodeImages();
    const RefGif decoded = test::writer::DecodeWritten(gif);
    ASSERT_EQ(decoded.globalColors.size(), 8u);
    EXPECT_EQ(decoded.globalColors[4], (RgbTriple{40, 1, 2}));
    ASSERT_EQ(decoded.images.size(), 1u);
    ASSERT_EQ(decoded.images[0].localColors.size(), 4u);
    EXPECT_EQ(decoded.images[0].localColors[3], (RgbTriple{9, 8, 7}));
    EXPECT_EQ(decoded.images[0].indices, (Bytes{3, 1}));
}

TEST(GifWriter, SaveGifWritesTheStreamAndReportsFailure) {
    const auto dir = test::ScratchDir("gif_writer_save");
    GifFile gif;
    MakeTinyFile(gif, 2);
    const auto path = dir / "out.gif";
    {
        std::ofstream old(path, std::ios::binary);
        old << "old contents";
    }
    ASSERT_TRUE(gif.SaveGif(path).ok());
    std::ifstream in(path, std::ios::binary);
    const Bytes saved{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(saved, WrittenBytes(gif));

    const Status failed = gif.SaveGif(dir / "missing-folder" / "out.gif");
    EXPECT_FALSE(failed.ok());
    EXPECT_FALSE(failed.message().empty());
}

// ---- giflib reads what we write ----

struct ImageLayout {
    int left, top, width, height;
};

// Builds a file whose images hold random indices below 2^codeSize, encodes
// and writes it, and checks giflib's reading of every field we set.
void CheckGiflibReadsBack(int codeSize, const std::vector<ImageLayout>& layouts, std::uint32_t seed) {
    GifFile gif;
    gif.SetScreenSize(320, 240);
    gif.loopCount = 4;
    ColorTable table{};
    const int colors = 1 << codeSize;
    for (int i = 0; i < colors; ++i) {
        table[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i),
                                              static_cast<std::uint8_t>(255 - i),
                                              static_cast<std::uint8_t>(i * 3)};
    }
    gif.globalColorTable = table;
    gif.globalColorTableSize = static_cast<std::uint16_t>(colors);
    std::uint32_t next = seed;
    for (const ImageLayout& s : layouts) {
        GifImage& image = gif.AddImage(FilledDib(s.width, s.height, 0));
        image.left = static_cast<std::uint16_t>(s.left);
        image.top = static_cast<std::uint16_t>(s.top);
        image.minimumCodeSize = static_cast<std::uint8_t>(codeSize);
        // Half random, half runs, so strings of every length occur.
        image.indices = RandomIndices(image.indices.size(), colors, next++);
        for (std::size_t i = image.indices.size() / 2; i < image.indices.size(); ++i) {
            image.indices[i] = static_cast<std::uint8_t>((i / 37) % static_cast<std::size_t>(colors));
        }
        image.delay = static_cast<std::uint16_t>(next * 3);
        image.transparent = (next % 2) == 0;
        image.transparentIndex = static_cast<std::uint8_t>(next % static_cast<std::uint32_t>(colors));
    }
    gif.EncodeImages();

    const RefGif decoded = test::writer::DecodeWritten(gif);
    ASSERT_EQ(decoded.images.size(), layouts.size());
    EXPECT_EQ(decoded.screenWidth, 320);
    EXPECT_EQ(decoded.screenHeight, 240);
    ASSERT_EQ(decoded.globalColors.size(), static_cast<std::size_t>(colors));
    for (int i = 0; i < colors; ++i)
        EXPECT_EQ(decoded.globalColors[static_cast<std::size_t>(i)], table[static_cast<std::size_t>(i)]);
    if (gif.animated) {
        EXPECT_EQ(decoded.loopCount, 4);
    } else {
        EXPECT_FALSE(decoded.loopCount.has_value());
    }
    for (std::size_t i = 0; i < layouts.size(); ++i) {
        const GifImage& ours = gif.images[i];
        const test::RefImage& theirs = decoded.images[i];
        EXPECT_EQ(ours.minimumCodeSize, codeSize);
        EXPECT_EQ(theirs.left, ours.left);
        EXPECT_EQ(theirs.top, ours.top);
        EXPECT_EQ(theirs.width, ours.width);
        EXPECT_EQ(theirs.height, ours.height);
        EXPECT_TRUE(theirs.indices == ours.indices) << "code size " << codeSize << ", image " << i;
        EXPECT_EQ(theirs.hasControl, gif.animated);
        if (gif.animated) {
            EXPECT_EQ(theirs.delay, ours.delay);
            EXPECT_EQ(theirs.transparentIndex, ours.transparent ? ours.transparentIndex : -1);
        }
    }
}

TEST(GifWriterGiflib, DecodesOneImageToTheEncodedIndicesAtEveryCodeSize) {
    for (int codeSize = 2; codeSize <= 8; ++codeSize) {
        SCOPED_TRACE(codeSize);
        CheckGiflibReadsBack(codeSize, {{0, 0, 1, 1}}, 1);
        CheckGiflibReadsBack(codeSize, {{0, 0, 320, 240}}, 2);
    }
}

TEST(GifWriterGiflib, DecodesManyImagesToTheEncodedIndicesAtEveryCodeSize) {
    const std::vector<ImageLayout> layouts = {
        {0, 0, 320, 240},   {5, 7, 1, 1},     {10, 3, 7, 3},
        {100, 50, 100, 37}, {0, 0, 320, 240}, {300, 200, 20, 40},
    };
    for (int codeSize = 2; codeSize <= 8; ++codeSize) {
        SCOPED_TRACE(codeSize);
        CheckGiflibReadsBack(codeSize, layouts, 100u * static_cast<std::uint32_t>(codeSize));
    }
}

TEST(GifWriter, RecordsSharedOutAmongThreadsAreEncodedAsEachAlone) {
    // Enough pixels for the records to be shared out among threads where the
    // machine has more than one core: each record's data and indices are
    // what encoding it in a file of its own gives, lossless and lossy.
    constexpr int kColors = 16;
    constexpr std::uint32_t kRecords = 7;
    ColorTable table{};
    for (int i = 0; i < kColors; ++i) {
        table[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i * 16), static_cast<std::uint8_t>(i * 9),
                                              static_cast<std::uint8_t>(255 - i * 16)};
    }
    // Record k of 480 x 400: random indices of its own range, then stripes
    // of its own width; every third one has a transparent index.
    const auto addRecord = [&](GifFile& gif, std::uint32_t k) {
        gif.globalColorTable = table;
        gif.globalColorTableSize = kColors;
        GifImage& image = gif.AddImage(FilledDib(480, 400, 0));
        image.minimumCodeSize = 4;
        image.indices = RandomIndices(image.indices.size(), 1 + static_cast<int>(k) * 2, 40u + k);
        for (std::size_t i = image.indices.size() / (k + 2); i < image.indices.size(); ++i) {
            image.indices[i] = static_cast<std::uint8_t>((i / (7 + k * 13)) % kColors);
        }
        image.transparent = k % 3 == 1;
        image.transparentIndex = 15;
    };
    for (int lossy : {0, 120}) {
        SCOPED_TRACE(lossy);
        GifFile all;
        for (std::uint32_t k = 0; k < kRecords; ++k) addRecord(all, k);
        all.EncodeImages({}, lossy);
        for (std::uint32_t k = 0; k < kRecords; ++k) {
            GifFile alone;
            addRecord(alone, k);
            alone.EncodeImages({}, lossy);
            EXPECT_EQ(alone.images[0].compressedData, all.images[k].compressedData) << "record " << k;
            EXPECT_TRUE(alone.images[0].indices == all.images[k].indices) << "record " << k;
        }
        EXPECT_EQ(test::writer::DecodeWritten(all).images.size(), all.images.size());
    }
}

}  // namespace
}  // namespace vantrel
