// Images written with colour tables of their own: chosen where they show an
// image truer or take fewer bytes, and never when one palette is asked for.
// giflib decodes every file, and what it shows is compared with the images
// that went in.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "codec/GifEncoderFixtures.h"
#include "document/Export.h"
#include "document/ExportTestUtil.h"
#include "support/GiflibRef.h"

namespace vantrel {
namespace {

constexpr int kWidth = 48;
constexpr int kHeight = 32;
// Rows [kBandTop, kHeight) of every frame show the same few colours.
constexpr int kBandTop = 24;

using ColorOf = std::function<PixelValue(std::size_t frame, int x, int y)>;

GifExportImages ImagesOf(std::size_t frames, const ColorOf& color) {
    GifExportImages images;
    images.width = kWidth;
    images.height = kHeight;
    for (std::size_t f = 0; f < frames; ++f) {
        PackedDib& pixels = images.pixels.emplace_back();
        pixels.SetSize(kWidth, kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) pixels.Row(y)[x] = color(f, x, y);
        images.delays.push_back(8);
    }
    return images;
}

// Six frames of 64 colours each (48 of a hue of their own above a band of
// 16 grey steps that stays put): 304 colours in all.
PixelValue ShiftingHue(std::size_t frame, int x, int y) {
    if (y >= kBandTop) return MakePixel(std::uint8_t(x / 3 * 16), std::uint8_t(x / 3 * 16), std::uint8_t(x / 3 * 16));
    const int step = (x / 2 + y * 3) % 48;
    const auto f = static_cast<int>(frame);
    return MakePixel(std::uint8_t(40 * f + 5), std::uint8_t(step * 5), std::uint8_t(250 - step * 5 - f));
}

// A first frame of 192 colours, then five of 4 colours each: one palette
// holds them all, but needs 8 bits a pixel where each later frame's own
// needs 2 (3 with a transparent index).
PixelValue FewPerFrame(std::size_t frame, int x, int y) {
    const auto f = static_cast<int>(frame);
    if (f == 0) return MakePixel(std::uint8_t((x % 16) * 16), std::uint8_t((y % 12) * 20), 77);
    const int which = ((x / 3) + (y / 2) * 3 + f) % 4;
    return MakePixel(std::uint8_t(30 * f + 10), std::uint8_t(60 * which + 3), 200);
}

// Six frames that all show the same 7 colours, moving: nothing to gain.
PixelValue SameColorsMoving(std::size_t frame, int x, int y) {
    static constexpr PixelValue kColors[] = {0x1A2A6C, 0xFF9335, 0xFFFFFF, 0x000000, 0x3C8D2F, 0xB21F1F, 0xFDBB2D};
    return kColors[static_cast<std::size_t>((x / 6 + y / 4 + static_cast<int>(frame)) % 7)];
}

// Six frames of more than 256 colours each (smooth gradients turning).
PixelValue ManyPerFrame(std::size_t frame, int x, int y) {
    const auto f = static_cast<int>(frame);
    return MakePixel(std::uint8_t(x * 5 + f * 20), std::uint8_t(y * 7 + f * 3), std::uint8_t((x * y + f * 40) & 0xFF));
}

using test::JobOver;
using test::Previewing;

test::RefGif Decoded(const std::vector<std::uint8_t>& bytes) {
    std::string error;
    const auto decoded = test::DecodeWithGiflib(bytes, &error);
    EXPECT_TRUE(decoded.has_value()) << error;
    return decoded ? *decoded : test::RefGif{};
}

std::size_t ImagesWithOwnTable(const test::RefGif& gif) {
    std::size_t count = 0;
    for (const test::RefImage& image : gif.images) count += image.localColors.empty() ? 0 : 1;
    return count;
}

// How far what giflib shows of gif lies from the images that went in.
std::uint64_t SquaredError(const test::RefGif& gif, const GifExportImages& images) {
    return test::writer::SquaredError(test::writer::CompositeFrames(gif), images.pixels);
}

GifExportOptions Options(bool reduce, int colors, bool sizeReduction, bool onePalette,
                         PaletteMethod method = PaletteMethod::Refined, int lossy = 0) {
    GifExportOptions options;
    options.reduce = reduce;
    options.colorCount = colors;
    options.sizeReduction = sizeReduction;
    options.quantizer = method;
    options.lossy = lossy;
    options.onePalette = onePalette;
    return options;
}

struct ExactCase {
    const char* name;
    GifExportOptions options;
};

TEST(OwnPalettes, FramesOfFewColoursEachButManyInAllAreWrittenExactly) {
    const GifExportImages images = ImagesOf(6, ShiftingHue);
    const ExactCase cases[] = {
        {"defaults", DefaultGifExportOptions(257)},
        {"256, no size reduction", Options(true, 256, false, false)},
        {"128 classic", Options(true, 128, true, false, PaletteMethod::MedianCut)},
        {"64 colours, each frame's own count", Options(true, 64, true, false)},
    };
    for (const ExactCase& c : cases) {
        SCOPED_TRACE(c.name);
        const GifExportResult result = JobOver(images).Encode(c.options);
        ASSERT_TRUE(result.status.ok());
        ASSERT_GT(result.report.distinctColors, 256);
        EXPECT_EQ(result.report.ownPalettes, 6);
        const test::RefGif gif = Decoded(result.bytes);
        EXPECT_EQ(ImagesWithOwnTable(gif), 6u);
        // Every image has its own table: the file needs no global one.
        EXPECT_TRUE(gif.globalColors.empty());
        EXPECT_EQ(SquaredError(gif, images), 0u);
    }
}

TEST(OwnPalettes, OnePaletteWritesOnlyTheGlobalTable) {
    const GifExportImages images = ImagesOf(6, ShiftingHue);
    const GifExportResult one = JobOver(images).Encode(Options(true, 256, true, true));
    ASSERT_TRUE(one.status.ok());
    EXPECT_EQ(one.report.ownPalettes, 0);
    const test::RefGif gif = Decoded(one.bytes);
    EXPECT_EQ(gif.globalColors.size(), 256u);
    EXPECT_EQ(ImagesWithOwnTable(gif), 0u);
    // 304 colours do not fit one palette: something is lost that the
    // automatic choice keeps.
    const GifExportResult own = JobOver(images).Encode(Options(true, 256, true, false));
    EXPECT_GT(SquaredError(gif, images), SquaredError(Decoded(own.bytes), images));
}

struct SizeCase {
    const char* name;
    ColorOf color;
    bool ownSmaller;  // own tables make this file smaller
};

TEST(OwnPalettes, WithOnePaletteExactOwnTablesAreTakenOnlyWhenTheFileIsSmaller) {
    const SizeCase cases[] = {
        {"few colours per frame", FewPerFrame, true},
        {"the same colours in every frame", SameColorsMoving, false},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const GifExportImages images = ImagesOf(6, c.color);
        for (const bool sizeReduction : {true, false}) {
            SCOPED_TRACE(sizeReduction ? "size reduction" : "no size reduction");
            const GifExportResult own = JobOver(images).Encode(Options(false, 0, sizeReduction, false));
            const GifExportResult one = JobOver(images).Encode(Options(false, 0, sizeReduction, true));
            ASSERT_TRUE(own.status.ok());
            ASSERT_TRUE(one.status.ok());
            ASSERT_LE(own.report.distinctColors, 256);
            const test::RefGif ownGif = Decoded(own.bytes);
            EXPECT_EQ(SquaredError(ownGif, images), 0u);
            EXPECT_EQ(SquaredError(Decoded(one.bytes), images), 0u);
            if (c.ownSmaller) {
                EXPECT_LT(own.bytes.size(), one.bytes.size());
                EXPECT_GT(ImagesWithOwnTable(ownGif), 0u);
            } else {
                EXPECT_EQ(own.bytes, one.bytes);
            }
            EXPECT_EQ(std::size_t(own.report.ownPalettes), ImagesWithOwnTable(ownGif));
        }
    }
}

TEST(OwnPalettes, ReducedOwnPalettesShowEveryFrameAtLeastAsTrue) {
    // Each frame has more colours than asked for: both ways lose colour.
    const GifExportImages images = ImagesOf(6, ManyPerFrame);
    for (const int colors : {256, 64, 8}) {
        SCOPED_TRACE(colors);
        // Without size reduction every image shows only its own mapping.
        const GifExportResult own = JobOver(images).Encode(Options(true, colors, false, false));
        const GifExportResult one = JobOver(images).Encode(Options(true, colors, false, true));
        ASSERT_TRUE(own.status.ok());
        ASSERT_TRUE(one.status.ok());
        EXPECT_GT(own.report.ownPalettes, 0);
        EXPECT_LT(SquaredError(Decoded(own.bytes), images), SquaredError(Decoded(one.bytes), images));
    }
}

TEST(OwnPalettes, DitheringKeepsOnePalette) {
    const GifExportImages images = ImagesOf(6, ShiftingHue);
    GifExportOptions options = Options(true, 64, true, false);
    options.dither = true;
    const GifExportResult result = JobOver(images).Encode(options);
    ASSERT_TRUE(result.status.ok());
    EXPECT_EQ(result.report.ownPalettes, 0);
    EXPECT_EQ(ImagesWithOwnTable(Decoded(result.bytes)), 0u);
}

TEST(OwnPalettes, PreviewAndLossyShowWhatTheFileShows) {
    const GifExportImages images = ImagesOf(6, ManyPerFrame);
    const ExactCase cases[] = {
        {"64", Options(true, 64, true, false)},
        {"16, lossy 80", Options(true, 16, true, false, PaletteMethod::Refined, 80)},
        {"hues 256, lossy 40", Options(true, 256, true, false, PaletteMethod::Refined, 40)},
    };
    for (const ExactCase& c : cases) {
        SCOPED_TRACE(c.name);
        GifExportJob job = JobOver(images, Previewing(4));
        const GifExportResult encoded = job.Encode(c.options);
        ASSERT_TRUE(encoded.status.ok());
        EXPECT_GT(encoded.report.ownPalettes, 0);
        const auto shown = test::writer::CompositeFrames(Decoded(encoded.bytes));
        ASSERT_EQ(shown.size(), 6u);
        EXPECT_TRUE(test::writer::TopDownPixels(encoded.preview) == shown[4]);
        const GifExportResult alone = job.Preview(c.options);
        EXPECT_TRUE(alone.bytes.empty());
        EXPECT_TRUE(test::writer::TopDownPixels(alone.preview) == shown[4]);
    }
}

TEST(OwnPalettes, BudgetHoldsWithOwnTables) {
    const GifExportImages images = ImagesOf(6, ShiftingHue);
    const GifExportOptions asked = DefaultGifExportOptions(257);
    const GifExportResult full = JobOver(images).Encode(asked);
    ASSERT_TRUE(full.status.ok());
    ASSERT_EQ(full.report.ownPalettes, 6);
    for (const std::size_t budget : {full.bytes.size(), full.bytes.size() * 3 / 4, full.bytes.size() / 2}) {
        SCOPED_TRACE(budget);
        const GifExportResult fit = JobOver(images, Previewing(3)).Fit(budget, asked);
        ASSERT_TRUE(fit.status.ok()) << fit.status.message();
        EXPECT_LE(fit.bytes.size(), budget);
        const test::RefGif gif = Decoded(fit.bytes);
        EXPECT_EQ(std::size_t(fit.report.ownPalettes), ImagesWithOwnTable(gif));
        EXPECT_TRUE(test::writer::TopDownPixels(fit.preview) == test::writer::CompositeFrames(gif)[3]);
    }
}

TEST(OwnPalettes, ABudgetMetOnlyWithOnePaletteIsMetSo) {
    const GifExportImages images = ImagesOf(6, ManyPerFrame);
    // The last rung of the ladder: 2 colours at the most lossy level.
    const GifExportOptions last = Options(true, 2, true, false, PaletteMethod::Refined, kMaxLossy);
    GifExportOptions lastShared = last;
    lastShared.onePalette = true;
    const GifExportResult own = JobOver(images).Encode(last);
    const GifExportResult shared = JobOver(images).Encode(lastShared);
    ASSERT_GT(own.report.ownPalettes, 0);
    ASSERT_LT(shared.bytes.size(), own.bytes.size()) << "the fixture needs the tables to cost bytes";
    const GifExportResult fit = JobOver(images).Fit(shared.bytes.size(), DefaultGifExportOptions(257));
    ASSERT_TRUE(fit.status.ok()) << fit.status.message();
    EXPECT_EQ(fit.bytes, shared.bytes);
    EXPECT_TRUE(fit.options.onePalette);
    EXPECT_EQ(fit.report.ownPalettes, 0);
    EXPECT_LE(fit.report.trials, kMaxBudgetTrials);
    // One byte less fits neither way; the message gives the smaller size.
    const GifExportResult none = JobOver(images).Fit(shared.bytes.size() - 1, DefaultGifExportOptions(257));
    EXPECT_FALSE(none.status.ok());
    EXPECT_NE(none.status.message().find(std::to_string(shared.bytes.size()) + " bytes"), std::string::npos)
        << none.status.message();
}

}  // namespace
}  // namespace vantrel
