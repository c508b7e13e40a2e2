// Animation size reduction: hand-made animations whose crops, palette order,
// transparent indices and code sizes follow by hand, and generated
// animations that giflib must show exactly like the unreduced frames.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "codec/ColorQuantizer.h"
#include "codec/GifEncoderFixtures.h"
#include "codec/SizeReduction.h"

namespace vantrel {
namespace {

using test::RefGif;
using test::writer::FilledDib;
using test::writer::MakeDib;
using Bytes = std::vector<std::uint8_t>;
using Pixels = std::vector<PixelValue>;

constexpr PixelValue kA = 0x00102030;
constexpr PixelValue kB = 0x00405060;
constexpr PixelValue kC = 0x00708090;
constexpr PixelValue kD = 0x00A0B0C0;
constexpr PixelValue kTransparent = 0xFF000000;

struct Frame {
    int width;
    int height;
    Pixels pixels;  // rows from the top
};

// Frames through exact (or reduced to `colors`) palette building and, when
// asked, size reduction: what the export does before encoding. Returns
// what size reduction learnt of each record.
FrameChanges Prepare(GifFile& gif, const std::vector<Frame>& frames, int colors, bool reduce) {
    gif.SetScreenSize(frames.front().width, frames.front().height);
    for (const Frame& f : frames) gif.AddImage(MakeDib(f.width, f.height, f.pixels));
    ColorQuantizer quantizer;
    quantizer.BuildPalette(gif, colors);
    FrameChanges changes;
    if (reduce) ReduceAnimationSize(gif, changes);
    return changes;
}

Bytes Repeat(std::uint8_t value, std::size_t count) { return Bytes(count, value); }

TEST(SizeReduction, IdenticalFramesWithSeveralColoursBecomeWhollyTransparentIndexZero) {
    const Frame f{4, 3, {kA, kB, kC, kA, kB, kC, kA, kB, kC, kA, kB, kC}};
    GifFile gif;
    Prepare(gif, {f, f}, 256, true);
    const GifImage& second = gif.images[1];
    EXPECT_EQ(second.left, 0);
    EXPECT_EQ(second.top, 0);
    EXPECT_EQ(second.width, 4) << "a record without opaque pixels is not cropped";
    EXPECT_EQ(second.height, 3);
    EXPECT_TRUE(second.transparent);
    EXPECT_EQ(second.transparentIndex, 0);
    EXPECT_EQ(second.indices, Repeat(0, 12));
    EXPECT_EQ(second.minimumCodeSize, 2);
    EXPECT_FALSE(gif.images[0].transparent);
}

TEST(SizeReduction, UnchangedSingleColourFrameKeepsItsColourIndex) {
    const Frame x{2, 2, Pixels(4, kA)};
    const Frame y{2, 2, Pixels(4, kB)};
    GifFile gif;
    Prepare(gif, {x, y, y}, 256, true);
    // Palette a, b (both used by one record each: the order stays). The last
    // record's transparent index is 0, but b's count (4) is not below the
    // number of transparent pixels (4), so the pixels keep b's index 1.
    const GifImage& last = gif.images[2];
    EXPECT_TRUE(last.transparent);
    EXPECT_EQ(last.transparentIndex, 0);
    EXPECT_EQ(last.indices, Repeat(1, 4));
    EXPECT_EQ(last.width, 2);
    EXPECT_FALSE(gif.images[1].transparent) << "every pixel of the middle record changed";
}

TEST(SizeReduction, ChangedBlockIsWrittenAloneAtItsPlace) {
    // 20 x 12 of background; the first frame has p at (0, 11) and q at (4, 3).
    // The second changes (4, 3) back to the background, (13, 7) to q and
    // (8, 5) to r: a 10 x 5 block from (4, 3).
    const PixelValue bg = kA, p = kB, q = kC, r = kD;
    Pixels first(20 * 12, bg);
    first[11 * 20 + 0] = p;
    first[3 * 20 + 4] = q;
    Pixels second(20 * 12, bg);
    second[11 * 20 + 0] = p;
    second[7 * 20 + 13] = q;
    second[5 * 20 + 8] = r;
    GifFile gif;
    const FrameChanges changes = Prepare(gif, {{20, 12, first}, {20, 12, second}}, 256, true);

    const GifImage& block = gif.images[1];
    EXPECT_EQ(block.left, 4);
    EXPECT_EQ(block.top, 3);
    EXPECT_EQ(block.width, 10);
    EXPECT_EQ(block.height, 5);
    // Every pixel of the block but the three that changed shows the first frame.
    const std::vector<std::uint8_t>& unchanged = changes.Of(1).unchanged;
    EXPECT_EQ(std::count(unchanged.begin(), unchanged.end(), 0), 3);
    // Colours in counting order bg, p, q, r; usage bg 2, p 1, q 2, r 1. The
    // exchange sort gives bg, q, p, r.
    EXPECT_EQ(test::writer::ToPixel((*gif.globalColorTable)[0]), bg);
    EXPECT_EQ(test::writer::ToPixel((*gif.globalColorTable)[1]), q);
    EXPECT_EQ(test::writer::ToPixel((*gif.globalColorTable)[2]), p);
    EXPECT_EQ(test::writer::ToPixel((*gif.globalColorTable)[3]), r);
    // The block's opaque pixels use 0 (bg), 1 (q), 3 (r): t = 2. bg occurs 48
    // times, more than the 47 transparent pixels, so those keep index 0.
    EXPECT_TRUE(block.transparent);
    EXPECT_EQ(block.transparentIndex, 2);
    Bytes expected(50, 0);
    expected[4 * 10 + 9] = 1;  // q at (13, 7)
    expected[2 * 10 + 4] = 3;  // r at (8, 5)
    EXPECT_EQ(block.indices, expected);
    EXPECT_EQ(block.minimumCodeSize, 2);

    const GifImage& full = gif.images[0];
    EXPECT_EQ(full.width, 20);
    EXPECT_EQ(full.height, 12);
    EXPECT_FALSE(full.transparent);
}

TEST(SizeReduction, FirstFrameIsNeverCroppedNorTransparent) {
    Pixels first(6 * 4, kA | kTransparent);  // transparency from rendering means nothing to the file
    first[7] = kB;
    GifFile gif;
    Prepare(gif, {{6, 4, first}, {6, 4, Pixels(6 * 4, kC)}}, 256, true);
    const GifImage& image = gif.images[0];
    EXPECT_EQ(image.left, 0);
    EXPECT_EQ(image.top, 0);
    EXPECT_EQ(image.width, 6);
    EXPECT_EQ(image.height, 4);
    EXPECT_FALSE(image.transparent);
}

TEST(SizeReduction, PixelsTransparentFromRenderingStillShowTheirColour) {
    // The second frame differs in one pixel whose transparency byte is set:
    // the file must still show that pixel's colour.
    Pixels second(4 * 4, kA);
    second[5] = kB | 0x80000000;
    GifFile gif;
    Prepare(gif, {{4, 4, Pixels(16, kA)}, {4, 4, second}}, 256, true);
    const GifImage& changed = gif.images[1];
    EXPECT_EQ(changed.left, 1);
    EXPECT_EQ(changed.top, 1);
    EXPECT_EQ(changed.width, 1);
    EXPECT_EQ(changed.height, 1);
    EXPECT_EQ(test::writer::ToPixel((*gif.globalColorTable)[changed.indices[0]]), kB);
}

TEST(SizeReduction, ImageUsingEveryPaletteIndexGetsTheFirstIndexPastThePalette) {
    // The top row changes and uses all four colours; the bottom row keeps
    // three pixels and changes its last one, so nothing is cropped.
    const Frame first{4, 2, {kA, kB, kC, kD, kA, kB, kC, kD}};
    const Frame second{4, 2, {kB, kC, kD, kA, kA, kB, kC, kA}};
    GifFile gif;
    Prepare(gif, {first, second}, 256, true);
    const GifImage& image = gif.images[1];
    EXPECT_TRUE(image.transparent);
    EXPECT_EQ(image.transparentIndex, 4);
    // Three transparent pixels: a (index 0) occurs 3 times and keeps its
    // index; b and c occur twice, fewer than 3, and take t.
    EXPECT_EQ(image.indices, (Bytes{1, 2, 3, 0, 0, 4, 4, 0}));
    EXPECT_EQ(image.minimumCodeSize, 3);
    // Index 4 lies past the 4-entry table: the table grows to hold it.
    EXPECT_EQ(gif.globalColorTableSize, 8);

    gif.EncodeImages();
    const RefGif decoded = test::writer::DecodeWritten(gif);
    ASSERT_EQ(decoded.images.size(), 2u);
    EXPECT_EQ(decoded.globalColors.size(), 8u);
    EXPECT_EQ(decoded.images[1].transparentIndex, 4);
    EXPECT_EQ(decoded.images[1].indices, image.indices);
}

TEST(SizeReduction, ImageUsingAll256IndicesGetsNoTransparency) {
    Pixels first(16 * 17), second(16 * 17);
    auto color = [](int i) { return static_cast<PixelValue>((i % 256) * 0x010101 ^ 0x003300); };
    for (int i = 0; i < 256; ++i) {
        first[static_cast<std::size_t>(i)] = color(i);
        second[static_cast<std::size_t>(i)] = color(i + 1);
    }
    for (int i = 256; i < 272; ++i)
        first[static_cast<std::size_t>(i)] = second[static_cast<std::size_t>(i)] = color(0);
    second[256] = color(1);  // the last row changes at its first pixel, so nothing is cropped
    GifFile gif;
    Prepare(gif, {{16, 17, first}, {16, 17, second}}, 256, true);
    const GifImage& image = gif.images[1];
    EXPECT_EQ(image.height, 17);
    EXPECT_FALSE(image.transparent);
    const std::uint8_t zero = image.indices[255];  // second[255] is color(0), opaque
    for (int i = 257; i < 272; ++i) EXPECT_EQ(image.indices[static_cast<std::size_t>(i)], zero) << i;
    EXPECT_EQ(gif.globalColorTableSize, 256);
}

TEST(SizeReduction, TransparentPixelsOfRareColoursTakeTheTransparentIndex) {
    // Hand-made second record of 12 pixels: index 0 eight times (five of
    // them transparent), 2 and 3 once each (transparent), 1 twice (opaque).
    // Opaque indices 0 and 1 make t = 2. n starts at 7; index 0 occurs 8 > 7
    // times, so n = 7 - 5 = 2; indices 2 and 3 (1 < 2) take t, index 0 stays.
    GifFile gif;
    gif.AddImage(FilledDib(12, 1, kA));
    GifImage& image = gif.AddImage(FilledDib(12, 1, kA));
    image.indices = {0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 1, 1};
    FrameChanges changes;
    changes.At(1).unchanged = {1, 1, 1, 1, 1, 0, 0, 0, 1, 1, 0, 0};
    SetTransparentIndices(gif, changes);
    EXPECT_TRUE(image.transparent);
    EXPECT_EQ(image.transparentIndex, 2);
    EXPECT_EQ(image.indices, (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 1, 1}));
}

TEST(SizeReduction, PaletteOrderFollowsTheExchangeSort) {
    struct Case {
        const char* name;
        std::vector<Bytes> records;       // opaque 1-row records
        std::vector<std::uint8_t> order;  // old index at each new position, first entries
    };
    const Case cases[] = {
        // usage 1, 2, 2, 3: indices 1 and 2 tie and come out as 2, 1
        {"ties", {{0, 1, 2, 3}, {1, 2, 3}, {3}}, {3, 2, 1, 0, 4, 5}},
        // usage 1, 0, 1, 2: the unused index 1 goes behind every used one
        {"unused", {{0, 2, 3}, {3}}, {3, 2, 0, 1, 4, 5}},
        // eight colours used by every record keep their places
        {"all used", {{0, 1, 2, 3, 4, 5, 6, 7}, {7, 6, 5, 4, 3, 2, 1, 0}}, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifFile gif;
        ColorTable table{};
        for (std::size_t i = 0; i < table.size(); ++i) table[i] = {static_cast<std::uint8_t>(i), 1, 2};
        gif.globalColorTable = table;
        gif.globalColorTableSize = 256;
        for (const Bytes& indices : c.records) {
            gif.AddImage(FilledDib(static_cast<int>(indices.size()), 1, kA)).indices = indices;
        }
        OrderPaletteByUsage(gif, FrameChanges());
        for (std::size_t p = 0; p < c.order.size(); ++p) {
            EXPECT_EQ((*gif.globalColorTable)[p].red, c.order[p]) << "position " << p;
        }
        for (std::size_t r = 0; r < c.records.size(); ++r) {
            for (std::size_t i = 0; i < c.records[r].size(); ++i) {
                // the entry at the new index is the old colour
                EXPECT_EQ((*gif.globalColorTable)[gif.images[r].indices[i]].red, c.records[r][i]);
            }
        }
    }
}

TEST(SizeReduction, FramesUsingOnlyTheCommonestColoursGetCodeSizeTwo) {
    Pixels many(256);
    for (int i = 0; i < 256; ++i) many[static_cast<std::size_t>(i)] = static_cast<PixelValue>(i * 0x010203);
    const PixelValue three[] = {many[10], many[20], many[30]};
    Pixels pattern(256);
    for (std::size_t i = 0; i < 256; ++i) pattern[i] = three[i % 3];
    Pixels changed = pattern;
    changed[0] = three[1];
    changed[1] = three[2];
    changed[2] = three[0];
    GifFile gif;
    Prepare(gif, {{16, 16, many}, {16, 16, pattern}, {16, 16, changed}}, 256, true);
    EXPECT_EQ(gif.globalColorTableSize, 256);
    EXPECT_EQ(gif.images[0].minimumCodeSize, 8);
    EXPECT_EQ(gif.images[1].minimumCodeSize, 2);
    EXPECT_EQ(gif.images[2].minimumCodeSize, 2);
    EXPECT_EQ(gif.images[2].width, 3);
    EXPECT_EQ(gif.images[2].height, 1);
}

TEST(SizeReduction, WithoutReductionEveryImageStaysFullSizeAndOpaque) {
    const Frame f{3, 2, {kA, kB, kA, kB, kA, kB}};
    GifFile gif;
    Prepare(gif, {f, f, f}, 256, false);
    for (const GifImage& image : gif.images) {
        EXPECT_EQ(image.width, 3);
        EXPECT_EQ(image.height, 2);
        EXPECT_FALSE(image.transparent);
        EXPECT_EQ(image.minimumCodeSize, 2);
    }
}

TEST(SizeReduction, RecordsWithoutPixelsAreLeftAlone) {
    GifFile gif;
    gif.AddImage(FilledDib(3, 1, kA));
    GifImage& bare = gif.AddImage(FilledDib(3, 1, kB));
    gif.AddImage(FilledDib(3, 1, kB));
    ColorQuantizer quantizer;
    quantizer.BuildPalette(gif, 256);
    bare.pixels.reset();  // as after a caller took the buffer
    FrameChanges changes;
    ReduceAnimationSize(gif, changes);
    EXPECT_EQ(bare.width, 3);
    // b, used by two records, now comes first.
    EXPECT_EQ(bare.indices, (Bytes{0, 0, 0}));
    EXPECT_EQ(test::writer::ToPixel((*gif.globalColorTable)[0]), kB);
    EXPECT_FALSE(bare.transparent);
    // The last record was not compared with the bare one, so it stays opaque and whole.
    EXPECT_EQ(gif.images[2].width, 3);
    EXPECT_FALSE(gif.images[2].transparent);
}

// ---- what a viewer shows ----

// A generated animation: a two-tone background, a block that moves, a frame
// repeated, sparse noise, and transparency bytes left over from rendering.
std::vector<Frame> GeneratedFrames(bool manyColors, std::uint32_t seed) {
    constexpr int kWidth = 48;
    constexpr int kHeight = 30;
    std::mt19937 random(seed);
    const Pixels palette = {kA, kB, kC, kD, 0x00FFFFFF, 0x00000000, 0x00FF0000, 0x0000FF00};
    std::vector<Frame> frames;
    for (int k = 0; k < 9; ++k) {
        if (k == 4) {  // the same frame twice
            frames.push_back(frames.back());
            continue;
        }
        Frame f{kWidth, kHeight, Pixels(kWidth * kHeight)};
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                PixelValue& p = f.pixels[static_cast<std::size_t>(y * kWidth + x)];
                p = x < kWidth / 2 ? kA : kB;
                if (x >= 3 * k && x < 3 * k + 10 && y >= k && y < k + 8)
                    p = palette[static_cast<std::size_t>(2 + k % 6)];
                if (random() % 23 == 0)
                    p = manyColors ? (random() & 0x00FFFFFF) : palette[random() % palette.size()];
                if (random() % 11 == 0) p |= (random() % 256) << 24;
            }
        }
        frames.push_back(std::move(f));
    }
    return frames;
}

void ExpectReducedShowsTheSame(const std::vector<Frame>& frames, int colors) {
    // What the unreduced file shows: each frame's own indices through the palette.
    GifFile plain;
    Prepare(plain, frames, colors, false);
    std::vector<Pixels> expected;
    for (const GifImage& image : plain.images) {
        Pixels shown;
        for (std::uint8_t index : image.indices)
            shown.push_back(test::writer::ToPixel((*plain.globalColorTable)[index]));
        expected.push_back(shown);
    }

    GifFile reduced;
    const FrameChanges changes = Prepare(reduced, frames, colors, true);
    reduced.EncodeImages({}, 0, &changes);
    const RefGif decoded = test::writer::DecodeWritten(reduced);
    ASSERT_EQ(decoded.images.size(), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(decoded.images[i].indices, reduced.images[i].indices) << "image " << i;
        EXPECT_EQ(decoded.images[i].disposal, 0);
    }
    const std::vector<Pixels> shown = test::writer::CompositeFrames(decoded);
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t k = 0; k < shown.size(); ++k) {
        EXPECT_TRUE(shown[k] == expected[k]) << "frame " << k << " differs from the unreduced frame";
    }
}

TEST(SizeReductionViewer, ReducedAnimationShowsEveryFrameExactlyAsWithoutReduction) {
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        const std::vector<Frame> few = GeneratedFrames(false, seed);
        ExpectReducedShowsTheSame(few, 256);  // exact palette
        ExpectReducedShowsTheSame(few, 4);    // median cut
        const std::vector<Frame> many = GeneratedFrames(true, seed);
        for (int colors : {256, 128, 64, 32, 16, 8, 2}) ExpectReducedShowsTheSame(many, colors);
    }
}

TEST(SizeReductionViewer, TransparencyIsGivenUpWhereOwnColoursCompressBetter) {
    // A second record repeating 12 colours, every 7th pixel unchanged: each
    // colour is rarer than the unchanged pixels, so all of these take the
    // transparent index, which breaks the repeats the colours alone make.
    constexpr std::size_t kPixels = 120 * 40;
    GifFile gif;
    gif.SetScreenSize(120, 40);
    ColorTable table{};
    for (std::size_t k = 0; k < 16; ++k) table[k] = {static_cast<std::uint8_t>(k * 15), 0, 0};
    gif.globalColorTable = table;
    gif.globalColorTableSize = 16;
    gif.AddImage(FilledDib(120, 40, kA));
    GifImage& image = gif.AddImage(FilledDib(120, 40, kA));
    FrameChanges changes;
    changes.At(1).unchanged.resize(kPixels);
    for (std::size_t i = 0; i < kPixels; ++i) {
        image.indices[i] = static_cast<std::uint8_t>(i % 12);
        changes.At(1).unchanged[i] = i % 7 == 0 ? 1 : 0;
    }
    const Bytes colors = image.indices;
    SetTransparentIndices(gif, changes);
    ASSERT_TRUE(image.transparent);
    ASSERT_EQ(image.transparentIndex, 12);
    ASSERT_EQ(std::count(image.indices.begin(), image.indices.end(), 12), (kPixels + 6) / 7);
    ASSERT_EQ(changes.Of(1).colors, colors);
    image.minimumCodeSize = 4;

    gif.EncodeImages({}, 0, &changes);
    EXPECT_EQ(image.indices, colors) << "every pixel written with its own colour";
    EXPECT_EQ(test::writer::DecodeWritten(gif).images[1].indices, colors);
}

TEST(SizeReductionViewer, PaletteFullyUsedStillShowsTheSame) {
    const Frame first{4, 2, {kA, kB, kC, kD, kA, kB, kC, kD}};
    const Frame second{4, 2, {kB, kC, kD, kA, kA, kB, kC, kA}};
    ExpectReducedShowsTheSame({first, second, first}, 256);
}

}  // namespace
}  // namespace vantrel
