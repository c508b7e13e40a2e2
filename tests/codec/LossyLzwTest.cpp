// Lossy LZW: giflib reads every lossy file, each pixel it shows lies within
// the level's distance of the pixel the lossless file shows (transparent
// stays transparent), level 0 is the lossless file, and a higher level never
// makes a larger file on small animations of the kinds people make.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "codec/ColorQuantizer.h"
#include "codec/GifEncoderFixtures.h"
#include "codec/SizeReduction.h"

namespace vantrel {
namespace {

using test::writer::CompositeFrames;
using test::writer::DecodeWritten;
using test::writer::WrittenBytes;
using Picture = std::function<PixelValue(int frame, int x, int y)>;

constexpr int kLevels[] = {0, 20, 40, 80, 120, 160, 200};

// A smooth picture panning by two pixels a frame.
PixelValue Photo(int frame, int x, int y) {
    const int u = x + 2 * frame;
    return MakePixel(std::uint8_t(128 + 100 * std::sin(u / 9.0) * std::cos(y / 13.0)),
                     std::uint8_t((u * 3 + y * 2) % 256), std::uint8_t(200 - y * 2 + (u % 7)));
}

// Flat tiles with grain, one tile changing colour each frame.
PixelValue Tiles(int frame, int x, int y) {
    const int tile = (x / 12) + 7 * (y / 12);
    const int shade = tile == frame * 3 ? 90 : (tile * 37) % 200;
    const bool grain = ((x * 131 + y * 71) % 29) == 0;
    return MakePixel(std::uint8_t(shade + (grain ? 40 : 0)), std::uint8_t(255 - shade), std::uint8_t(shade / 2 + 20));
}

// The animation of picture reduced to 64 colours, size reduced, encoded at lossy.
void MakeAnimation(GifFile& gif, const Picture& picture, int frames, int lossy) {
    constexpr int kWidth = 84;
    constexpr int kHeight = 60;
    gif.SetScreenSize(kWidth, kHeight);
    gif.animated = frames > 1;
    for (int f = 0; f < frames; ++f) {
        PackedDib dib;
        dib.SetSize(kWidth, kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) dib.Row(y)[x] = picture(f, x, y);
        gif.AddImage(dib).delay = 10;
    }
    ColorQuantizer quantizer;
    quantizer.BuildPalette(gif, 64, PaletteMethod::Refined);
    FrameChanges changes;
    ReduceAnimationSize(gif, changes);
    gif.EncodeImages({}, lossy, &changes);
}

double Distance(PixelValue a, PixelValue b) {
    const double red = double(RedOf(a)) - RedOf(b);
    const double green = double(GreenOf(a)) - GreenOf(b);
    const double blue = double(BlueOf(a)) - BlueOf(b);
    return std::sqrt(red * red + green * green + blue * blue);
}

// Flat colours with blocky lettering sliding through, as on a web banner.
PixelValue Banner(int frame, int x, int y) {
    const bool letter = y >= 20 && y < 40 && ((x + 6 * frame) / 5) % 3 == 0 && ((x + 6 * frame) / 15 + y / 4) % 2 == 0;
    if (letter) return MakePixel(255, 147, 53);
    return y < 30 ? MakePixel(26, 42, 108) : MakePixel(30, 50, 120);
}

// A still desktop with text rows, a window moving across it.
PixelValue Screen(int frame, int x, int y) {
    if (x >= 10 + 4 * frame && x < 50 + 4 * frame && y >= 15 && y < 45)
        return y < 20 ? MakePixel(0, 80, 160) : MakePixel(240, 240, 240);
    if (y % 6 < 2 && (x * 7 + y) % 11 < 6) return MakePixel(20, 20, 20);
    return MakePixel(200, 210, 220);
}

struct Case {
    const char* name;
    Picture picture;
    bool lossyPays;  // whether the highest level must save a tenth
};

const Case kCases[] = {
    {"photo", Photo, true},
    {"tiles", Tiles, true},
    {"banner", Banner, false},
    {"screen", Screen, false},
};

TEST(LossyLzw, GiflibShowsEveryFrameWithinTheLevelsDistance) {
    for (const Case& c : kCases) {
        GifFile lossless;
        MakeAnimation(lossless, c.picture, 5, 0);
        const auto exact = CompositeFrames(DecodeWritten(lossless));
        for (int level : kLevels) {
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(level));
            GifFile gif;
            MakeAnimation(gif, c.picture, 5, level);
            const test::RefGif decoded = DecodeWritten(gif);
            ASSERT_EQ(decoded.images.size(), gif.images.size());
            // The rewritten indices are what a decoder gets.
            for (std::size_t i = 0; i < gif.images.size(); ++i) EXPECT_EQ(decoded.images[i].indices, gif.images[i].indices);
            const auto shown = CompositeFrames(decoded);
            ASSERT_EQ(shown.size(), exact.size());
            double worst = 0;
            for (std::size_t f = 0; f < shown.size(); ++f)
                for (std::size_t p = 0; p < shown[f].size(); ++p) worst = std::max(worst, Distance(shown[f][p], exact[f][p]));
            EXPECT_LE(worst, LossyColorDistance(level) + 1e-9);
            if (level == 0) {
                EXPECT_EQ(WrittenBytes(gif), WrittenBytes(lossless));
            }
        }
    }
}

TEST(LossyLzw, AHigherLevelNeverMakesALargerFile) {
    for (const Case& c : kCases) {
        std::size_t previous = 0;
        std::size_t lossless = 0;
        for (int level : kLevels) {
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(level));
            GifFile gif;
            MakeAnimation(gif, c.picture, 5, level);
            const std::size_t size = WrittenBytes(gif).size();
            if (level == 0) {
                lossless = size;
            } else {
                EXPECT_LE(size, previous);
            }
            previous = size;
        }
        if (c.lossyPays) {
            EXPECT_LT(previous, lossless * 9 / 10) << c.name << ": the highest level should save something";
        }
    }
}

TEST(LossyLzw, TransparentPixelsStayTransparentAndNoOtherBecomesTransparent) {
    // One image with a transparent index among colours all within reach of it.
    GifFile gif;
    gif.SetScreenSize(32, 8);
    ColorTable table{};
    for (int i = 0; i < 8; ++i) table[std::size_t(i)] = {std::uint8_t(100 + i), 100, 100};
    gif.globalColorTable = table;
    gif.globalColorTableSize = 8;
    GifImage& image = gif.images.emplace_back();
    image.width = 32;
    image.height = 8;
    image.transparent = true;
    image.transparentIndex = 3;
    image.minimumCodeSize = 3;
    image.indices = test::writer::RandomIndices(32 * 8, 8, 5);
    const std::vector<std::uint8_t> before = image.indices;
    gif.EncodeImages({}, kMaxLossy);
    EXPECT_NE(image.indices, before) << "the fixture should give the encoder room";
    for (std::size_t i = 0; i < before.size(); ++i) EXPECT_EQ(before[i] == 3, image.indices[i] == 3) << i;
    EXPECT_EQ(DecodeWritten(gif).images[0].indices, image.indices);
}

}  // namespace
}  // namespace vantrel
