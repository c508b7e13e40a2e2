// Floyd-Steinberg error diffusion onto a palette: local averages kept,
// palette colours left alone, unchanged pixels mapped as in the record before.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "codec/Dither.h"
#include "codec/GifFile.h"

namespace vantrel {
namespace {

constexpr PixelValue kBlack = MakePixel(0, 0, 0);
constexpr PixelValue kWhite = MakePixel(255, 255, 255);

PackedDib Gradient(int width, int height) {
    PackedDib image;
    image.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto grey = static_cast<std::uint8_t>(x * 255 / (width - 1));
            image.Row(y)[x] = MakePixel(grey, grey, grey);
        }
    return image;
}

TEST(DitherTest, BlackAndWhiteKeepTheGreyOfEveryBlock) {
    GifFile gif;
    const PackedDib picture = Gradient(64, 16);
    GifImage& record = gif.AddImage(picture);
    const std::vector<PixelValue> palette = {kBlack, kWhite};
    DitherImages(gif, palette);
    // In every 8 x 16 block the share of white pixels is the block's mean grey.
    for (int block = 0; block < 8; ++block) {
        double grey = 0;
        int white = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = block * 8; x < block * 8 + 8; ++x) {
                grey += RedOf(picture.Row(y)[x]) / 255.0;
                white += record.indices[std::size_t(y * 64 + x)];
            }
        EXPECT_NEAR(white / 128.0, grey / 128.0, 0.06) << "block " << block;
    }
}

TEST(DitherTest, PaletteColoursMapToThemselves) {
    const std::vector<PixelValue> palette = {MakePixel(200, 10, 10), MakePixel(10, 200, 10), MakePixel(10, 10, 200),
                                             kWhite};
    PackedDib picture;
    picture.SetSize(9, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) picture.Row(y)[x] = palette[std::size_t((x * 3 + y * 5) % 4)];
    GifFile gif;
    GifImage& record = gif.AddImage(picture);
    DitherImages(gif, palette);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(record.indices[std::size_t(y * 9 + x)], std::uint8_t((x * 3 + y * 5) % 4)) << x << "," << y;
}

TEST(DitherTest, UnchangedPixelsTakeTheIndicesOfTheRecordBefore) {
    const PackedDib first = Gradient(40, 12);
    PackedDib second;
    second.CopyFrom(&first);
    const Rect changed{2, 1, 9, 5};  // near the start, so its error would run through the rest
    second.FillRect(MakePixel(90, 90, 90), &changed);
    GifFile gif;
    gif.AddImage(first);
    gif.AddImage(second);
    const std::vector<PixelValue> palette = {kBlack, MakePixel(128, 128, 128), kWhite};
    DitherImages(gif, palette);
    const GifImage& a = gif.images[0];
    const GifImage& b = gif.images[1];
    int differentInside = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 40; ++x) {
            const std::size_t i = std::size_t(y * 40 + x);
            if (changed.Contains({x, y}))
                differentInside += a.indices[i] != b.indices[i];
            else
                EXPECT_EQ(b.indices[i], a.indices[i]) << x << "," << y;
        }
    EXPECT_GT(differentInside, 0);  // the changed area really was mapped anew

    // The same second picture after a record of another size is dithered on its own.
    GifFile alone;
    alone.AddImage(Gradient(20, 12));
    alone.AddImage(second);
    DitherImages(alone, palette);
    GifFile single;
    single.AddImage(second);
    DitherImages(single, palette);
    EXPECT_EQ(alone.images[1].indices, single.images[0].indices);
}

}  // namespace
}  // namespace vantrel
