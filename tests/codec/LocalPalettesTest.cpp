// Colour tables of a record's own: built from the record's colours,
// narrowed from the global palette, ordered and sized by size reduction.
// giflib shows every file written from them.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "codec/ColorQuantizer.h"
#include "codec/GifEncoderFixtures.h"
#include "codec/LocalPalettes.h"
#include "codec/LzwEncoder.h"
#include "codec/SizeReduction.h"

namespace vantrel {
namespace {

using test::writer::MakeDib;
using Pixels = std::vector<PixelValue>;

// A global table whose entry k is the colour (k, 255 - k, k / 2).
ColorTable GradientTable() {
    ColorTable table{};
    for (std::size_t k = 0; k < table.size(); ++k)
        table[k] = {std::uint8_t(k), std::uint8_t(255 - k), std::uint8_t(k / 2)};
    return table;
}

struct NarrowCase {
    const char* name;
    std::vector<std::uint8_t> indices;
    std::vector<std::uint8_t> colors;  // of the record's changes
    int transparent;                   // -1: none
    int codeSize;
    int entries;  // of the narrowed table; 0: not narrowed
};

TEST(NarrowToOwnTable, KeepsWhatTheRecordShowsWithFewerBitsOrLeavesIt) {
    const NarrowCase cases[] = {
        {"three entries of 256", {5, 9, 5, 200, 9, 9}, {}, -1, 8, 4},
        {"transparent index and former colours count", {5, 9, 7, 7, 5, 9}, {5, 9, 12, 200, 5, 9}, 7, 8, 8},
        {"already as few bits", {0, 1, 2, 3, 1, 0}, {}, -1, 2, 0},
        {"every entry of 16 in use", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, {}, -1, 4, 0},
    };
    const ColorTable table = GradientTable();
    for (const NarrowCase& c : cases) {
        SCOPED_TRACE(c.name);
        GifImage image;
        image.width = static_cast<std::uint16_t>(c.indices.size() / 2);
        image.height = 2;
        image.left = 3;
        image.top = 1;
        image.delay = 9;
        image.indices = c.indices;
        image.minimumCodeSize = static_cast<std::uint8_t>(c.codeSize);
        image.transparent = c.transparent >= 0;
        image.transparentIndex = static_cast<std::uint8_t>(std::max(c.transparent, 0));
        RecordChanges changes;
        changes.colors = c.colors;
        GifImage own;
        RecordChanges ownChanges;
        const bool narrowed = NarrowToOwnTable(image, table, changes, own, ownChanges);
        ASSERT_EQ(narrowed, c.entries > 0);
        if (!narrowed) continue;
        ASSERT_TRUE(own.localColorTable.has_value());
        EXPECT_EQ(own.colorTableSize, c.entries);
        EXPECT_LT(own.minimumCodeSize, image.minimumCodeSize);
        EXPECT_EQ(own.left, image.left);
        EXPECT_EQ(own.top, image.top);
        EXPECT_EQ(own.delay, image.delay);
        EXPECT_EQ(own.transparent, image.transparent);
        // Every pixel, former colour and the transparent index show the same colour as before.
        ASSERT_EQ(own.indices.size(), image.indices.size());
        for (std::size_t i = 0; i < own.indices.size(); ++i) {
            ASSERT_LT(own.indices[i], own.colorTableSize);
            EXPECT_EQ((*own.localColorTable)[own.indices[i]], table[image.indices[i]]);
        }
        ASSERT_EQ(ownChanges.colors.size(), changes.colors.size());
        for (std::size_t i = 0; i < ownChanges.colors.size(); ++i)
            EXPECT_EQ((*own.localColorTable)[ownChanges.colors[i]], table[changes.colors[i]]);
        if (image.transparent) {
            EXPECT_EQ((*own.localColorTable)[own.transparentIndex], table[image.transparentIndex]);
        }
    }
}

TEST(LocalPalettes, OwnTablesAreShrunkBySizeReductionAndShowTheFrames) {
    // The first frame of many colours sets a 64-entry global table; the
    // second gets a 16-entry table of its own whose changed corner uses 2.
    constexpr int kWidth = 8;
    constexpr int kHeight = 8;
    Pixels first(kWidth * kHeight);
    for (std::size_t i = 0; i < first.size(); ++i) first[i] = MakePixel(std::uint8_t(i * 4), 40, std::uint8_t(255 - i));
    Pixels second = first;
    second[0] = 0x00FF0000;
    second[1] = 0x0000FF00;
    second[kWidth] = 0x00FF0000;
    GifFile gif;
    gif.SetScreenSize(kWidth, kHeight);
    gif.AddImage(MakeDib(kWidth, kHeight, first));
    gif.AddImage(MakeDib(kWidth, kHeight, second));
    ColorQuantizer quantizer;
    quantizer.BuildPalette(gif, 256);
    ColorQuantizer own;
    BuildLocalPalette(gif.images[1], 16, PaletteMethod::Refined, own);
    ASSERT_TRUE(gif.images[1].localColorTable.has_value());
    ASSERT_EQ(gif.images[1].colorTableSize, 16) << "the 16 colours it holds";
    FrameChanges changes;
    ReduceAnimationSize(gif, changes);
    const GifImage& cropped = gif.images[1];
    EXPECT_EQ(cropped.width, 2);
    EXPECT_EQ(cropped.height, 2);
    // Red and green, and the transparent index for the unchanged pixel.
    EXPECT_TRUE(cropped.transparent);
    EXPECT_EQ(cropped.colorTableSize, 4);
    EXPECT_LT(cropped.transparentIndex, cropped.colorTableSize);
    gif.EncodeImages({}, 0, &changes);
    const auto shown = test::writer::CompositeFrames(test::writer::DecodeWritten(gif));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], first);
    EXPECT_EQ(shown[1], second);
}

TEST(LocalPalettes, MappingErrorSumsSquaredChannelDifferences) {
    GifFile gif;
    gif.SetScreenSize(2, 1);
    GifImage& image = gif.AddImage(MakeDib(2, 1, Pixels{0x00102030, 0x00FFFFFF}));
    image.indices = {0, 1};
    ColorTable table{};
    table[0] = {0x10, 0x20, 0x30};
    table[1] = {0xFF - 3, 0xFF, 0xFF - 4};
    EXPECT_EQ(MappingError(image, table), 9u + 16u);
    table[0] = {0x11, 0x20, 0x30};
    EXPECT_EQ(MappingError(image, table), 1u + 9u + 16u);
}

TEST(LocalPalettes, MostBytesSavedBoundsWhatANarrowerCodeSizeSaves) {
    // The same few indices written at a wide code size and at the narrowest
    // that holds them: what the narrow stream saves never exceeds the bound
    // taken from the wide stream's size alone (small records that never fill
    // the table, and large ones that restart it many times).
    LzwEncoder encoder;
    std::vector<std::uint8_t> wideData;
    std::vector<std::uint8_t> narrowData;
    for (const std::size_t count : {std::size_t{50}, std::size_t{3000}, std::size_t{200000}}) {
        for (const int values : {2, 4, 7}) {
            const std::vector<std::uint8_t> indices = test::writer::RandomIndices(count, values, static_cast<std::uint32_t>(count));
            const int narrow = encoder.Encode(indices, MinimumCodeSizeFor(values), narrowData);
            for (const int wide : {narrow + 1, 8}) {
                ASSERT_EQ(encoder.Encode(indices, wide, wideData), wide);
                const std::size_t saved = wideData.size() - narrowData.size();
                EXPECT_LE(saved, MostBytesSaved(wide, narrow, wideData.size()))
                    << count << " indices of " << values << " values, code size " << wide;
                // Not a bound so loose that it lets every image try.
                if (wide == 8 && count == 50) {
                    EXPECT_GT(MostBytesSaved(wide, narrow, wideData.size()), 0u);
                }
            }
        }
    }
    EXPECT_EQ(MostBytesSaved(4, 4, 1000), 0u);
    EXPECT_EQ(MostBytesSaved(3, 4, 1000), 0u);
}

}  // namespace
}  // namespace vantrel
