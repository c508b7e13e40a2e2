// Changed columns against a pixel-by-pixel search, and the palette mapping
// that skips unchanged columns against the mapping of every pixel.

#include <gtest/gtest.h>

#include <random>

#include "codec/ColorQuantizer.h"
#include "codec/FrameChanges.h"
#include "codec/GifEncoderFixtures.h"

namespace vantrel {
namespace {

using test::writer::MakeDib;
using Pixels = std::vector<PixelValue>;

// Frames of one size where each differs from the one before in a few
// places (runs crossing block borders, single pixels, transparency bytes
// alone), over few or many colours.
std::vector<Pixels> ChangingFrames(int width, int height, bool manyColors, std::mt19937& random) {
    std::vector<Pixels> frames;
    Pixels frame(static_cast<std::size_t>(width * height));
    for (PixelValue& p : frame) p = manyColors ? random() & 0x00FFFFFF : 0x00102030u * (random() % 4);
    for (int k = 0; k < 6; ++k) {
        frames.push_back(frame);
        const int changes = static_cast<int>(random() % 5);
        for (int c = 0; c < changes; ++c) {
            const int at = static_cast<int>(random() % frame.size());
            const int run = 1 + static_cast<int>(random() % 40);
            for (int i = at; i < std::min<int>(at + run, static_cast<int>(frame.size())); ++i) {
                PixelValue& p = frame[static_cast<std::size_t>(i)];
                p = random() % 3 == 0 ? (p ^ 0xFF000000) : (manyColors ? random() & 0x00FFFFFF : 0x00405060);
            }
        }
    }
    return frames;
}

TEST(FrameChanges, SpansHoldExactlyTheFirstAndLastChangedColumnOfEachRow) {
    std::mt19937 random(7);
    for (int width : {1, 15, 16, 17, 33, 70}) {
        const std::vector<Pixels> frames = ChangingFrames(width, 5, true, random);
        GifFile gif;
        for (const Pixels& f : frames) gif.AddImage(MakeDib(width, 5, f));
        FrameChanges changes;
        FindChangedColumns(gif, changes);
        EXPECT_FALSE(changes.HasChangedColumns(gif, 0));
        for (std::size_t i = 1; i < frames.size(); ++i) {
            ASSERT_TRUE(changes.HasChangedColumns(gif, i));
            for (int y = 0; y < 5; ++y) {
                int first = width;
                int end = width;
                for (int x = 0; x < width; ++x) {
                    const auto at = static_cast<std::size_t>(y * width + x);
                    if (SameColor(frames[i][at], frames[i - 1][at])) continue;
                    if (first == width) first = x;
                    end = x + 1;
                }
                const ColumnSpan span = changes.Of(i).changedColumns[static_cast<std::size_t>(y)];
                EXPECT_EQ(span.first, first) << "width " << width << " image " << i << " row " << y;
                EXPECT_EQ(span.end, end) << "width " << width << " image " << i << " row " << y;
            }
        }
    }
}

// One pixel in the middle of a 16-pixel block changes in one byte only: each
// colour channel alone is a change of exactly that column; the
// transparency byte alone is none.
TEST(FrameChanges, OneChannelOfOnePixelInsideABlockIsFoundAndTheTransparencyByteIsIgnored) {
    constexpr int kWidth = 48;
    constexpr int kHeight = 3;
    constexpr int kColumn = 16 + 7;  // inside the second block, away from its borders
    struct Case {
        PixelValue mask;
        bool changes;
    };
    for (const Case c : {Case{0x000000FF, true}, Case{0x0000FF00, true}, Case{0x00FF0000, true},
                         Case{0x00000001, true}, Case{0xFF000000, false}}) {
        Pixels before(kWidth * kHeight);
        for (std::size_t i = 0; i < before.size(); ++i) before[i] = 0x00405060u + PixelValue(i % 7) * 0x00010101u;
        Pixels after = before;
        after[std::size_t(kWidth + kColumn)] ^= c.mask;  // middle row
        GifFile gif;
        gif.AddImage(MakeDib(kWidth, kHeight, before));
        gif.AddImage(MakeDib(kWidth, kHeight, after));
        FrameChanges changes;
        FindChangedColumns(gif, changes);
        ASSERT_TRUE(changes.HasChangedColumns(gif, 1));
        const std::vector<ColumnSpan>& spans = changes.Of(1).changedColumns;
        EXPECT_TRUE(spans[0].Empty()) << std::hex << c.mask;
        EXPECT_TRUE(spans[2].Empty()) << std::hex << c.mask;
        if (c.changes) {
            EXPECT_EQ(spans[1].first, kColumn) << std::hex << c.mask;
            EXPECT_EQ(spans[1].end, kColumn + 1) << std::hex << c.mask;
        } else {
            EXPECT_TRUE(spans[1].Empty()) << std::hex << c.mask;
        }
    }
}

TEST(FrameChanges, RecordsOfAnotherSizeAreNotCompared) {
    GifFile gif;
    gif.AddImage(MakeDib(2, 1, Pixels{1, 2}));
    gif.AddImage(MakeDib(1, 2, Pixels{1, 2}));
    FrameChanges changes;
    FindChangedColumns(gif, changes);
    EXPECT_FALSE(changes.HasChangedColumns(gif, 1));
}

TEST(FrameChanges, MappingWithKnownChangesGivesTheIndicesOfMappingEveryPixel) {
    std::mt19937 random(11);
    for (bool many : {false, true}) {
        const std::vector<Pixels> frames = ChangingFrames(37, 9, many, random);
        for (int colors : {256, 16}) {
            GifFile everyPixel;
            GifFile changesOnly;
            for (const Pixels& f : frames) {
                everyPixel.AddImage(MakeDib(37, 9, f));
                changesOnly.AddImage(MakeDib(37, 9, f));
            }
            FrameChanges changes;
            FindChangedColumns(changesOnly, changes);
            ColorQuantizer a;
            ColorQuantizer b;
            EXPECT_EQ(a.CountDistinctColors(everyPixel), b.CountDistinctColors(changesOnly, &changes));
            a.BuildPalette(everyPixel, colors);
            b.BuildPalette(changesOnly, colors, PaletteMethod::MedianCut, {}, &changes);
            EXPECT_TRUE(std::ranges::equal(a.Palette(), b.Palette()));
            for (std::size_t i = 0; i < frames.size(); ++i)
                EXPECT_EQ(everyPixel.images[i].indices, changesOnly.images[i].indices) << "image " << i;
        }
    }
}

}  // namespace
}  // namespace vantrel
