// Palette reduction on tiny images whose results follow by hand from the
// counting order, the median cut's rules and the inverse map.

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "codec/ColorQuantizer.h"
#include "codec/GifEncoderFixtures.h"

namespace vantrel {
namespace {

using test::writer::FilledDib;
using test::writer::MakeDib;
using Bytes = std::vector<std::uint8_t>;
using Pixels = std::vector<PixelValue>;

constexpr PixelValue Rgb(int r, int g, int b) {
    return MakePixel(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                     static_cast<std::uint8_t>(b));
}

// One image of width x height pixels listed row by row.
void AddImage(GifFile& gif, int width, int height, const Pixels& pixels) {
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(width * height));
    gif.AddImage(MakeDib(width, height, pixels));
}

// The global colour table entries below the palette size, as pixels.
Pixels TableOf(const GifFile& gif, int size) {
    Pixels out;
    for (int i = 0; i < size; ++i)
        out.push_back(test::writer::ToPixel((*gif.globalColorTable)[static_cast<std::size_t>(i)]));
    return out;
}

TEST(ColorCount, ListsColoursColumnByColumnInOrderOfFirstAppearance) {
    const PixelValue a = Rgb(1, 2, 3), b = Rgb(4, 5, 6), c = Rgb(7, 8, 9), d = Rgb(10, 11, 12);
    GifFile gif;
    AddImage(gif, 2, 2, {a, b, c, a});         // column 0: a, c; column 1: b, a
    AddImage(gif, 2, 1, {a | 0xFF000000, d});  // the transparent a is the same colour
    ColorQuantizer quantizer;
    EXPECT_EQ(quantizer.CountDistinctColors(gif), 4);
    EXPECT_EQ(Pixels(quantizer.DistinctColors().begin(), quantizer.DistinctColors().end()),
              (Pixels{a, c, b, d}));

    quantizer.BuildPalette(gif, 4);  // exact: the palette is the list in that order
    EXPECT_EQ(TableOf(gif, 4), (Pixels{a, c, b, d}));
    EXPECT_EQ(gif.images[0].indices, (Bytes{0, 2, 1, 0}));
    EXPECT_EQ(gif.images[1].indices, (Bytes{0, 3}));
}

TEST(ColorCount, TransparentPixelsCountByTheirColour) {
    GifFile gif;
    AddImage(gif, 3, 1, {0x00102030, 0xFF102030, 0x80405060});
    ColorQuantizer quantizer;
    EXPECT_EQ(quantizer.CountDistinctColors(gif), 2);
}

TEST(ColorCount, StopsAt257) {
    Pixels many;
    for (int i = 0; i < 400; ++i) many.push_back(Rgb(i % 256, i / 256, 0));
    GifFile gif;
    AddImage(gif, 20, 20, many);
    AddImage(gif, 1, 1, {Rgb(1, 1, 1)});
    ColorQuantizer quantizer;
    EXPECT_EQ(quantizer.CountDistinctColors(gif), 257);
    ASSERT_EQ(quantizer.DistinctColors().size(), 257u);
    // Column-major: the 257th colour met is row 16 of column 12, pixel 16 * 20 + 12.
    EXPECT_EQ(quantizer.DistinctColors()[256], many[16 * 20 + 12]);
}

TEST(ExactPalette, ThreeColoursGiveTableOfFourAndCodeSizeTwo) {
    GifFile gif;
    AddImage(gif, 3, 2,
             {Rgb(9, 9, 9), Rgb(200, 0, 0), Rgb(9, 9, 9), Rgb(0, 0, 255), Rgb(200, 0, 0), Rgb(9, 9, 9)});
    AddImage(gif, 1, 1, {Rgb(0, 0, 255)});
    ColorQuantizer quantizer;
    quantizer.BuildPalette(gif, quantizer.CountDistinctColors(gif));
    EXPECT_EQ(quantizer.PaletteSize(), 3);
    EXPECT_EQ(gif.globalColorTableSize, 4);
    // column order: (9,9,9), (0,0,255), (200,0,0)
    EXPECT_EQ(TableOf(gif, 3), (Pixels{Rgb(9, 9, 9), Rgb(0, 0, 255), Rgb(200, 0, 0)}));
    EXPECT_EQ(gif.images[0].indices, (Bytes{0, 2, 0, 1, 2, 0}));
    EXPECT_EQ(gif.images[1].indices, (Bytes{1}));
    for (const GifImage& image : gif.images) EXPECT_EQ(image.minimumCodeSize, 2);
}

TEST(ExactPalette, TwoHundredColoursKeepTheirExactColours) {
    // Eight reds and 25 greens below 200: many colours share a histogram cell.
    Pixels pixels;
    for (int i = 0; i < 200; ++i) pixels.push_back(Rgb(i % 8, i / 8, 0));
    GifFile gif;
    AddImage(gif, 20, 10, pixels);
    ColorQuantizer quantizer;
    ASSERT_EQ(quantizer.CountDistinctColors(gif), 200);
    quantizer.BuildPalette(gif, 256);
    EXPECT_EQ(quantizer.PaletteSize(), 200);
    EXPECT_EQ(gif.globalColorTableSize, 256);
    EXPECT_EQ(gif.images[0].minimumCodeSize, 8);
    const Pixels table = TableOf(gif, 200);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        EXPECT_EQ(table[gif.images[0].indices[i]], pixels[i]) << "pixel " << i;
    }
}

TEST(InverseMap, CellsMapByTheirLowestColourAndExactMatchingOverrides) {
    const PixelValue a = Rgb(0, 0, 12), b = Rgb(8, 8, 0), c = Rgb(5, 5, 5);
    GifFile gif;
    AddImage(gif, 3, 1, {a, b, c});
    ColorQuantizer quantizer;
    quantizer.BuildPalette(gif, 3);
    ASSERT_EQ(TableOf(gif, 3), (Pixels{a, b, c}));
    // (5, 5, 5) lies in cell (0, 0, 0), whose colour (0, 0, 0) is nearest to a
    // (distance 12; b is 16 away, c 15), although c is its own colour.
    EXPECT_EQ(quantizer.InverseMapIndex(c), 0);
    EXPECT_EQ(quantizer.InverseMapIndex(b), 1);
    // Exact matching gives every pixel its own colour.
    EXPECT_EQ(gif.images[0].indices, (Bytes{0, 1, 2}));
}

TEST(InverseMap, TopCellTakesTheEntryNearestPureWhite) {
    const PixelValue light = Rgb(248, 248, 248);
    GifFile gif;
    AddImage(gif, 2, 1, {light, Rgb(255, 255, 255)});
    ColorQuantizer quantizer;
    quantizer.BuildPalette(gif, 2);
    // Both colours share the top cell; it maps to the entry nearest white,
    // not to the one nearest the cell's lowest colour (248, 248, 248).
    EXPECT_EQ(quantizer.InverseMapIndex(light), 1);
    EXPECT_EQ(gif.images[0].indices, (Bytes{0, 1}));
}

struct MedianCutCase {
    const char* name;
    Pixels pixels;  // one row
    int requested;
    Pixels palette;
    Bytes indices;
    bool whiteSeen;
};

TEST(MedianCut, HandComputedPalettes) {
    const MedianCutCase cases[] = {
        // Equal counts after the first cut (2 and 2): the newer box, nearer the
        // head of the list, is cut next; its parts come first in the palette.
        {"equal counts",
         {Rgb(0, 0, 0), Rgb(0, 0, 248), Rgb(248, 0, 0), Rgb(248, 0, 248)},
         3,
         {Rgb(0, 0, 0), Rgb(0, 0, 248), Rgb(248, 0, 124)},
         {0, 1, 2, 2},
         false},
        // Pure white among more colours than requested: the brightest entry,
        // (248, 124, 124) at position 1, becomes white. Red's cell (31, 0, 0)
        // is nearer black than white.
        {"white forced",
         {Rgb(0, 0, 0), Rgb(255, 255, 255), Rgb(255, 0, 0)},
         2,
         {Rgb(0, 0, 0), Rgb(255, 255, 255)},
         {0, 1, 0},
         true},
        // The same without a pixel in the top cell: no entry is forced.
        {"no white",
         {Rgb(0, 0, 0), Rgb(200, 200, 200), Rgb(255, 0, 0)},
         2,
         {Rgb(0, 0, 0), Rgb(224, 100, 100)},
         {0, 1, 1},
         false},
        // White seen, but the brightest entry (a tie of 496 kept by the first)
        // is at position 0, which is never replaced. White's cell is equally
        // far from both entries and takes the lower index.
        {"position 0 kept",
         {Rgb(0, 248, 248), Rgb(255, 255, 255), Rgb(248, 0, 0), Rgb(248, 0, 0)},
         2,
         {Rgb(0, 248, 248), Rgb(248, 124, 124)},
         {0, 0, 1, 1},
         true},
        // Only two occupied cells: the cut ends with two single-cell boxes,
        // a palette smaller than requested.
        {"single cells",
         {Rgb(0, 0, 0), Rgb(1, 1, 1), Rgb(2, 2, 2), Rgb(7, 7, 7), Rgb(255, 0, 0)},
         4,
         {Rgb(0, 0, 0), Rgb(248, 0, 0)},
         {0, 0, 0, 0, 1},
         false},
    };
    for (const MedianCutCase& c : cases) {
        SCOPED_TRACE(c.name);
        GifFile gif;
        AddImage(gif, static_cast<int>(c.pixels.size()), 1, c.pixels);
        ColorQuantizer quantizer;
        ASSERT_GT(quantizer.CountDistinctColors(gif), c.requested) << "the case must need a median cut";
        quantizer.BuildPalette(gif, c.requested);
        ASSERT_EQ(quantizer.PaletteSize(), static_cast<int>(c.palette.size()));
        EXPECT_EQ(Pixels(quantizer.Palette().begin(), quantizer.Palette().end()), c.palette);
        EXPECT_EQ(TableOf(gif, quantizer.PaletteSize()), c.palette);
        EXPECT_EQ(gif.images[0].indices, c.indices);
        EXPECT_EQ(quantizer.WhiteSeen(), c.whiteSeen);
        EXPECT_EQ(gif.globalColorTableSize, ColorTableSizeFor(quantizer.PaletteSize()));
    }
}

TEST(MedianCut, ManyColoursGiveAtMostTheRequestedCount) {
    std::mt19937 random(3);
    Pixels pixels;
    for (int i = 0; i < 64 * 64; ++i) pixels.push_back(random() & 0x00FFFFFF);
    struct Case {
        int requested;
        int tableSize;
        int codeSize;
    };
    for (const Case& c : {Case{256, 256, 8}, Case{128, 128, 7}, Case{16, 16, 4}, Case{4, 4, 2}, Case{1, 2, 2},
                          Case{1000, 256, 8}, Case{0, 2, 2}}) {
        SCOPED_TRACE(c.requested);
        GifFile gif;
        AddImage(gif, 64, 64, pixels);
        ColorQuantizer quantizer;
        ASSERT_EQ(quantizer.CountDistinctColors(gif), 257);
        quantizer.BuildPalette(gif, c.requested);
        EXPECT_EQ(quantizer.PaletteSize(), std::clamp(c.requested, 1, 256)) << "this image has cells enough";
        EXPECT_EQ(gif.globalColorTableSize, c.tableSize);
        EXPECT_EQ(gif.images[0].minimumCodeSize, c.codeSize);
        std::set<std::uint8_t> used(gif.images[0].indices.begin(), gif.images[0].indices.end());
        EXPECT_LT(*used.rbegin(), quantizer.PaletteSize());
    }
}

TEST(ColorQuantizer, ImagesWithoutPixelsGiveAnEmptyPalette) {
    GifFile gif;
    gif.AddImage(PackedDib{});
    ColorQuantizer quantizer;
    EXPECT_EQ(quantizer.CountDistinctColors(gif), 0);
    quantizer.BuildPalette(gif, 256);
    EXPECT_EQ(quantizer.PaletteSize(), 0);
    EXPECT_EQ(gif.globalColorTableSize, 2);
    EXPECT_EQ(gif.images[0].minimumCodeSize, 2);
}

TEST(ColorQuantizer, TableSizes) {
    const std::pair<int, int> cases[] = {{0, 2},   {1, 2},     {2, 2},     {3, 4},     {5, 8},    {16, 16},
                                         {17, 32}, {128, 128}, {129, 256}, {256, 256}, {300, 256}};
    for (auto [count, size] : cases) EXPECT_EQ(ColorTableSizeFor(count), size) << count;
}

}  // namespace
}  // namespace vantrel
