// Files written by giflib's encoder from seeded random and structured index
// images must read, image by image, as giflib's own decoder reads them.

#include <gtest/gtest.h>

#include <random>

#include "codec/GifDecoderFixtures.h"
#include "codec/GifFile.h"
#include "support/GiflibRef.h"

namespace vantrel {
namespace {

using test::RefGif;
using test::RefImage;

std::vector<RgbTriple> RandomPalette(std::mt19937& rng, std::size_t size) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<RgbTriple> colors(size);
    for (RgbTriple& c : colors) {
        c = RgbTriple{static_cast<std::uint8_t>(byte(rng)), static_cast<std::uint8_t>(byte(rng)),
                      static_cast<std::uint8_t>(byte(rng))};
    }
    return colors;
}

enum class Pattern { Noise, Flat, Stripes, Blocks, Gradient };

// Index images from below `colors`: noise, one colour, vertical stripes,
// flat blocks with noisy edges, and a diagonal gradient.
std::vector<std::uint8_t> MakeIndices(std::mt19937& rng, Pattern pattern, int width, int height, int colors) {
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(width) * height);
    std::uniform_int_distribution<int> any(0, colors - 1);
    const int flat = any(rng);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int k = 0;
            switch (pattern) {
                case Pattern::Noise: k = any(rng); break;
                case Pattern::Flat: k = flat; break;
                case Pattern::Stripes: k = (x / 3) % colors; break;
                case Pattern::Blocks: k = ((x / 16 + y / 16) % colors + (rng() % 17 == 0 ? any(rng) : 0)) % colors; break;
                case Pattern::Gradient: k = ((x + y) * colors / (width + height)) % colors; break;
            }
            indices[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(k);
        }
    }
    return indices;
}

// Reads bytes with our reader and with giflib and compares everything both report.
void ExpectSameAsGiflib(const std::vector<std::uint8_t>& bytes, const RefGif& written) {
    std::string error;
    const auto reference = test::DecodeWithGiflib(bytes, &error);
    ASSERT_TRUE(reference) << error;
    GifFile gif;
    const Status read = test::ReadAll(gif, bytes);
    ASSERT_TRUE(read.ok()) << read.message();

    EXPECT_EQ(gif.screenWidth, reference->screenWidth);
    EXPECT_EQ(gif.screenHeight, reference->screenHeight);
    EXPECT_EQ(gif.loopCount, reference->loopCount.value_or(1));
    EXPECT_EQ(gif.hasLoopExtension, reference->loopCount.has_value());
    EXPECT_EQ(gif.animated, reference->images.size() > 1);
    ASSERT_EQ(gif.images.size(), reference->images.size());
    for (std::size_t i = 0; i < gif.images.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "image " << i);
        const GifImage& ours = gif.images[i];
        const RefImage& theirs = reference->images[i];
        ASSERT_EQ(ours.width, theirs.width);
        ASSERT_EQ(ours.height, theirs.height);
        EXPECT_EQ(ours.left, theirs.left);
        EXPECT_EQ(ours.top, theirs.top);
        EXPECT_EQ(ours.interlaced, theirs.interlaced);
        EXPECT_EQ(ours.transparent, theirs.transparentIndex >= 0);
        if (theirs.transparentIndex >= 0) {
            EXPECT_EQ(ours.transparentIndex, theirs.transparentIndex);
        }
        EXPECT_EQ(ours.delay, theirs.delay);
        EXPECT_EQ(ours.disposal, theirs.disposal);
        // Our indices are in stream order, giflib's top-down.
        ASSERT_EQ(ours.indices, test::ToStreamRowOrder(theirs.indices, theirs.width, theirs.height, theirs.interlaced));
        // And both agree with what was written.
        ASSERT_EQ(theirs.indices, written.images[i].indices);

        const std::vector<RgbTriple>& palette =
            theirs.localColors.empty() ? reference->globalColors : theirs.localColors;
        const PackedDib& dib = *ours.pixels;
        ASSERT_EQ(dib.Width(), theirs.width);
        ASSERT_EQ(dib.Height(), theirs.height);
        for (int y = 0; y < theirs.height; ++y) {
            const PixelValue* row = dib.Row(y);
            for (int x = 0; x < theirs.width; ++x) {
                const std::uint8_t k = theirs.indices[static_cast<std::size_t>(y) * theirs.width + x];
                const RgbTriple& c = palette.at(k);
                const PixelValue expected =
                    MakePixel(c.red, c.green, c.blue, k == theirs.transparentIndex ? 0xFF : 0);
                if (row[x] != expected) {
                    FAIL() << "pixel " << x << "," << y << ": " << std::hex << row[x] << " != " << expected;
                }
            }
        }
    }
}

TEST(GiflibAgreement, SeededRandomAnimations) {
    std::mt19937 rng(20240611);
    const Pattern patterns[] = {Pattern::Noise, Pattern::Flat, Pattern::Stripes, Pattern::Blocks, Pattern::Gradient};
    std::size_t images = 0;
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        RefGif gif;
        // A few large images, mostly small ones: sizes 1 x 1 to 700 x 500.
        const bool large = round % 12 == 0;
        std::uniform_int_distribution<int> w(1, large ? 700 : 90);
        std::uniform_int_distribution<int> h(1, large ? 500 : 70);
        gif.screenWidth = w(rng);
        gif.screenHeight = h(rng);
        const bool global = round % 3 != 2;
        if (global) gif.globalColors = RandomPalette(rng, std::size_t{2} << (rng() % 8));
        if (round % 4 == 1) gif.loopCount = static_cast<int>(rng() % 5);

        const int count = 1 + static_cast<int>(rng() % 3);
        for (int i = 0; i < count; ++i) {
            RefImage& image = gif.images.emplace_back();
            image.width = round == 0 && i == 0 ? 1 : std::max(1, w(rng) * 3 / 4);
            image.height = round == 0 && i == 0 ? 1 : std::max(1, h(rng) * 3 / 4);
            image.left = static_cast<int>(rng() % 8);
            image.top = static_cast<int>(rng() % 8);
            image.interlaced = rng() % 2 == 0;
            // Table sizes 2 to 256: LZW code sizes 2 to 8.
            if (!global || rng() % 3 == 0) image.localColors = RandomPalette(rng, std::size_t{2} << (rng() % 8));
            const int colors = static_cast<int>(image.localColors.empty() ? gif.globalColors.size()
                                                                          : image.localColors.size());
            image.indices = MakeIndices(rng, patterns[(round + i) % 5], image.width, image.height, colors);
            if (rng() % 2 == 0) {
                image.hasControl = true;
                image.delay = static_cast<int>(rng() % 500);
                image.disposal = static_cast<int>(rng() % 4);
                image.transparentIndex = rng() % 2 == 0 ? static_cast<int>(rng() % colors) : -1;
            }
            ++images;
        }
        std::string error;
        const auto bytes = test::EncodeWithGiflib(gif, &error);
        ASSERT_TRUE(bytes) << error;
        ExpectSameAsGiflib(*bytes, gif);
    }
    EXPECT_GT(images, 100u);
}

TEST(GiflibAgreement, EveryCodeSizeWithLongRunsAndNoise) {
    // Long runs make long strings and full tables; noise makes a clear code
    // every few thousand pixels. Both at every code size.
    std::mt19937 rng(7);
    for (int bits = 1; bits <= 8; ++bits) {
        for (Pattern pattern : {Pattern::Flat, Pattern::Noise, Pattern::Gradient}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, pattern " << static_cast<int>(pattern));
            RefGif gif;
            gif.screenWidth = 300;
            gif.screenHeight = 200;
            gif.globalColors = RandomPalette(rng, std::size_t{1} << bits);
            RefImage& image = gif.images.emplace_back();
            image.width = 300;
            image.height = 200;
            image.interlaced = pattern == Pattern::Gradient;
            image.indices = MakeIndices(rng, pattern, image.width, image.height, 1 << bits);
            const auto bytes = test::EncodeWithGiflib(gif);
            ASSERT_TRUE(bytes);
            ExpectSameAsGiflib(*bytes, gif);
        }
    }
}

TEST(GiflibAgreement, FilesWithoutExtensionsAreGif87a) {
    RefGif gif;
    gif.screenWidth = 3;
    gif.screenHeight = 2;
    gif.globalColors = test::TestPalette(4);
    RefImage& image = gif.images.emplace_back();
    image.width = 3;
    image.height = 2;
    image.indices = {0, 1, 2, 3, 2, 1};
    const auto plain = test::EncodeWithGiflib(gif);
    ASSERT_TRUE(plain);
    GifFile read;
    ASSERT_TRUE(test::ReadAll(read, *plain).ok());
    EXPECT_EQ(std::string(read.version.data()), "87a");
    EXPECT_EQ(read.loopCount, 1);

    gif.loopCount = 0;
    const auto looping = test::EncodeWithGiflib(gif);
    ASSERT_TRUE(looping);
    ASSERT_TRUE(test::ReadAll(read, *looping).ok());
    EXPECT_EQ(std::string(read.version.data()), "89a");
    EXPECT_EQ(read.loopCount, 0);
    ExpectSameAsGiflib(*looping, gif);
}

TEST(GiflibAgreement, GiflibReturnsInterlacedRowsTopDown) {
    // The reference must hand back rows top-down; a hand-made interlaced file
    // whose stream row r holds index r shows it.
    std::vector<std::uint8_t> stream;
    for (std::uint8_t r = 0; r < 10; ++r) stream.insert(stream.end(), 2, r);
    test::GifBytes b;
    b.Header("89a", 2, 10, 0x87).Colors(test::TestPalette(256));
    b.Descriptor(0, 0, 2, 10, 0x40).Data(8, test::LiteralLzw(8, stream)).Trailer();
    const auto reference = test::DecodeWithGiflib(b.Bytes());
    ASSERT_TRUE(reference);
    ASSERT_EQ(reference->images.size(), 1u);
    std::vector<std::uint8_t> firstColumn;
    for (int y = 0; y < 10; ++y) firstColumn.push_back(reference->images[0].indices[static_cast<std::size_t>(y) * 2]);
    EXPECT_EQ(firstColumn, (std::vector<std::uint8_t>{0, 5, 3, 6, 2, 7, 4, 8, 1, 9}));
}

TEST(GiflibAgreement, HandMadeStreamWithFullTableAndDeferredClear) {
    // Literal codes only: the table fills to 4096 entries, codes then go on
    // at 12 bits without a clear code, as some encoders write them.
    std::vector<std::uint8_t> indices(64 * 100);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint8_t>((i * 31) ^ (i >> 5));
    test::GifBytes b;
    b.Header("89a", 64, 100, 0x87).Colors(test::TestPalette(256));
    b.Descriptor(0, 0, 64, 100, 0).Data(8, test::LiteralLzw(8, indices)).Trailer();
    const auto reference = test::DecodeWithGiflib(b.Bytes());
    ASSERT_TRUE(reference);
    EXPECT_EQ(reference->images[0].indices, indices);
    GifFile gif;
    ASSERT_TRUE(test::ReadAll(gif, b.Bytes()).ok());
    EXPECT_EQ(gif.images[0].indices, indices);
}

}  // namespace
}  // namespace vantrel
