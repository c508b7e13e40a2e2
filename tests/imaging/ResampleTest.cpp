// Resizing small pictures whose results can be worked out by hand.

#include <gtest/gtest.h>

#include "PictureUtil.h"
#include "imaging/Resample.h"

namespace vantrel {
namespace {

using test::SolidImage;

PackedDib Resize(const PackedDib& picture, int width, int height, ResampleMode mode = ResampleMode::Smooth) {
    std::optional<PackedDib> result = Resampled(picture, width, height, mode);
    EXPECT_TRUE(result.has_value());
    if (!result) return {};
    EXPECT_EQ(result->Width(), width);
    EXPECT_EQ(result->Height(), height);
    return std::move(*result);
}

// Every pixel of the picture equals value.
void ExpectFlat(const PackedDib& p, PixelValue value, const char* what) {
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) ASSERT_EQ(p.GetPixel(x, y), value) << what << " at " << x << "," << y;
}

TEST(Resample, ShrinkingByTwoAveragesEachTwoByTwoBlockRoundingHalvesUp) {
    // 4 x 4: four 2 x 2 blocks, each with its own channel values.
    PackedDib p;
    p.SetSize(4, 4);
    const std::uint8_t block[2][2][4] = {{{10, 11, 13, 20}, {0, 1, 0, 1}}, {{200, 201, 202, 203}, {255, 0, 255, 0}}};
    for (int by = 0; by < 2; ++by)
        for (int bx = 0; bx < 2; ++bx)
            for (int i = 0; i < 4; ++i) {
                const std::uint8_t v = block[by][bx][i];
                // red carries the values, green their complement, blue a constant
                p.Row(by * 2 + i / 2)[bx * 2 + i % 2] = MakePixel(v, std::uint8_t(255 - v), 7);
            }
    const PackedDib small = Resize(p, 2, 2);
    // Means: 13.5 -> 14, 0.5 -> 1, 201.5 -> 202, 127.5 -> 128 (complements
    // 241.5 -> 242, 254.5 -> 255, 53.5 -> 54, 127.5 -> 128).
    EXPECT_EQ(small.GetPixel(0, 0), MakePixel(14, 242, 7));
    EXPECT_EQ(small.GetPixel(1, 0), MakePixel(1, 255, 7));
    EXPECT_EQ(small.GetPixel(0, 1), MakePixel(202, 54, 7));
    EXPECT_EQ(small.GetPixel(1, 1), MakePixel(128, 128, 7));
}

TEST(Resample, GrowingInterpolatesBetweenPixelCentres) {
    // Two pixels, black and white, grown to four: the new centres lie at
    // -0.25 (held at 0), 0.25, 0.75 and 1.25 (held at 1) old pixels.
    PackedDib p;
    p.SetSize(2, 1);
    p.Row(0)[0] = MakePixel(0, 0, 0);
    p.Row(0)[1] = MakePixel(255, 255, 255);
    const PackedDib big = Resize(p, 4, 1);
    const std::uint8_t expected[] = {0, 64, 191, 255};  // 63.75 and 191.25 rounded
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(big.GetPixel(x, 0), MakePixel(expected[x], expected[x], expected[x])) << x;
    // Sharp growth by a whole factor repeats pixels instead.
    const PackedDib sharp = Resize(p, 4, 1, ResampleMode::Sharp);
    EXPECT_EQ(sharp.GetPixel(1, 0), MakePixel(0, 0, 0));
    EXPECT_EQ(sharp.GetPixel(2, 0), MakePixel(255, 255, 255));
}

TEST(Resample, FlatPicturesStayFlatAndGrowingThenShrinkingGivesThemBack) {
    const PixelValue colours[] = {0x00123456, 0x00FFFFFF, 0x80A0B0C0, 0xFF00FF00};
    const int sizes[][2] = {{1, 1}, {3, 7}, {17, 5}, {40, 40}};
    for (const PixelValue c : colours) {
        const PackedDib start = SolidImage(6, 4, c);
        for (const auto& s : sizes) {
            const PackedDib resized = Resize(start, s[0], s[1]);
            ExpectFlat(resized, c, "resized");
            ExpectFlat(Resize(resized, 6, 4), c, "back");
        }
    }
}

TEST(Resample, TransparentPixelsLendNoColour) {
    // Opaque red beside fully transparent green: shrunk to one pixel the
    // colour is red; the opacity is 127.5 -> 128 of 255, so the
    // transparency byte is 127.
    PackedDib p;
    p.SetSize(2, 1);
    p.Row(0)[0] = MakePixel(255, 0, 0, 0);
    p.Row(0)[1] = MakePixel(0, 255, 0, 255);
    const PackedDib one = Resize(p, 1, 1);
    EXPECT_EQ(one.GetPixel(0, 0), MakePixel(255, 0, 0, 127));
    // Grown, the transparent side keeps its own colour: nothing opaque lies
    // under its last pixel.
    const PackedDib wide = Resize(p, 4, 1);
    EXPECT_EQ(wide.GetPixel(3, 0), MakePixel(0, 255, 0, 255));
    EXPECT_EQ(wide.GetPixel(1, 0) & 0x00FFFFFF, 0x00FF0000u);  // a quarter green by area, red by colour
}

TEST(Resample, NothingToResizeGivesNothing) {
    EXPECT_FALSE(Resampled(PackedDib(), 3, 3, ResampleMode::Smooth).has_value());
    EXPECT_FALSE(Resampled(SolidImage(2, 2, 0), 0, 3, ResampleMode::Smooth).has_value());
    EXPECT_FALSE(Resampled(SolidImage(2, 2, 0), 3, -1, ResampleMode::Sharp).has_value());
}

}  // namespace
}  // namespace vantrel
