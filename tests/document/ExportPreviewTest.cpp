// One image of an export as the written file shows it, and runs of the
// export stopped from outside. The oracle for the preview is the file
// itself, decoded by giflib and drawn image over image as a viewer does.

#include <gtest/gtest.h>

#include <cstdint>
#include <stop_token>
#include <vector>

#include "codec/GifEncoderFixtures.h"
#include "document/Animation.h"
#include "document/Export.h"
#include "support/GiflibRef.h"

namespace vantrel {
namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 24;
constexpr std::size_t kFrames = 4;

// Noise over a gradient (far more than 256 colours), a strip that stays the
// same from frame to frame (so size reduction leaves pixels out) and, in
// every frame, pixels whose transparency byte is set by rendering.
GifExportImages NoisyImages() {
    GifExportImages images;
    images.width = kWidth;
    images.height = kHeight;
    std::uint32_t state = 5;
    for (std::size_t f = 0; f < kFrames; ++f) {
        PackedDib& pixels = images.pixels.emplace_back();
        pixels.SetSize(kWidth, kHeight);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                state = state * 1664525u + 1013904223u;
                PixelValue p = MakePixel(std::uint8_t(x * 6 + (state >> 29)), std::uint8_t(y * 10 + f * 9),
                                         std::uint8_t(state >> 24));
                if (y >= 8 && y < 14) p = MakePixel(200, std::uint8_t(x * 6), 40);
                if ((x + y) % 7 == 0) p |= PixelValue{0xFF} << 24;
                pixels.Row(y)[x] = p;
            }
        }
        images.delays.push_back(10);
    }
    return images;
}

std::vector<PixelValue> TopDown(const PackedDib& dib) { return test::writer::TopDownPixels(dib); }

struct PreviewCase {
    const char* name;
    GifExportOptions options;
};

TEST(ExportPreview, ImageEqualsTheFrameTheWrittenFileShows) {
    const GifExportImages images = NoisyImages();
    // The fixture is what it says: more colours than a palette holds, and transparency bytes.
    std::vector<std::uint8_t> unused;
    GifExportReport counted;
    ASSERT_TRUE(EncodeGifExportImages(images, GifExportOptions{}, unused, &counted).ok());
    ASSERT_GT(counted.distinctColors, 256);
    ASSERT_FALSE(IsOpaque(images.pixels[2].Row(0)[0]));

    const PreviewCase cases[] = {
        {"256 colours", {true, 256, true, false}},
        {"256 colours, no size reduction", {true, 256, false, false}},
        {"16 colours, dithered", {true, 16, true, true}},
        {"16 colours, dithered, no size reduction", {true, 16, false, true}},
        {"16 colours", {true, 16, true, false}},
        {"2 colours, dithered", {true, 2, true, true}},
        {"2 colours, no size reduction", {true, 2, false, false}},
    };
    for (const PreviewCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::size_t image : {std::size_t{2}, kFrames - 1}) {
            SCOPED_TRACE(image);
            std::vector<std::uint8_t> bytes;
            GifImagePreview preview{image, {}};
            ASSERT_TRUE(EncodeGifExportImages(images, c.options, bytes, nullptr, {{}, &preview, {}}).ok());
            const auto decoded = test::DecodeWithGiflib(bytes);
            ASSERT_TRUE(decoded.has_value());
            const auto shown = test::writer::CompositeFrames(*decoded);
            ASSERT_EQ(shown.size(), kFrames);
            ASSERT_EQ(preview.pixels.Width(), kWidth);
            ASSERT_EQ(preview.pixels.Height(), kHeight);
            EXPECT_TRUE(TopDown(preview.pixels) == shown[image]);

            // The preview alone, without encoding, is the same image.
            GifImagePreview alone{image, {}};
            ASSERT_TRUE(PreviewGifExportImage(images, c.options, alone).ok());
            EXPECT_TRUE(TopDown(alone.pixels) == shown[image]);
        }
    }
}

TEST(ExportPreview, FitShowsTheImageOfTheFittedFile) {
    const GifExportImages images = NoisyImages();
    const GifExportOptions asked{true, 256, true, false};
    std::vector<std::uint8_t> full;
    ASSERT_TRUE(EncodeGifExportImages(images, asked, full).ok());
    std::vector<std::uint8_t> bytes;
    GifExportOptions fitted;
    GifImagePreview preview{1, {}};
    ASSERT_TRUE(EncodeGifExportImagesWithin(images, full.size() * 2 / 3, asked, bytes, fitted, nullptr,
                                            {{}, &preview, {}})
                    .ok());
    ASSERT_LT(fitted.colorCount, 256);
    const auto decoded = test::DecodeWithGiflib(bytes);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_TRUE(TopDown(preview.pixels) == test::writer::CompositeFrames(*decoded)[1]);
}

TEST(ExportPreview, ImageIndexOfAFrameSkipsMasterFrames) {
    // Frames 0 to 4; the master frames 1 and 4 write no image.
    Animation animation;
    while (animation.FrameCount() < 5) animation.AppendFrame();
    animation.Frames()[1]->isMaster = true;
    animation.Frames()[4]->isMaster = true;
    const std::size_t expected[] = {0, 1, 1, 2, 2};  // a master frame: the next image, else the last
    for (std::size_t f = 0; f < 5; ++f)
        EXPECT_EQ(ExportImageIndexOf(animation, animation.Frames()[f].get()), expected[f]) << "frame " << f;
    EXPECT_EQ(ExportImageIndexOf(animation, nullptr), 2u);
}

TEST(ExportPreview, NoSuchImageGivesNoPreview) {
    GifImagePreview preview{kFrames, {}};
    ASSERT_TRUE(PreviewGifExportImage(NoisyImages(), GifExportOptions{}, preview).ok());
    EXPECT_FALSE(preview.pixels.HasBlock());
}

// Counts the places a run looks whether to stop, and requests the stop at
// look number stopAt (never with 0).
struct StopAt {
    std::stop_source source;
    int looks = 0;
    int looksAfterStop = 0;
    int stopAt = 0;

    GifExportRun Run(GifImagePreview* preview = nullptr) {
        return {source.get_token(), preview, [this](const std::stop_token& stop) {
                    if (stop.stop_requested()) ++looksAfterStop;
                    if (++looks == stopAt) source.request_stop();
                }};
    }
};

TEST(ExportCancel, StopRequestedBeforeTheRunWritesNothing) {
    const GifExportImages images = NoisyImages();
    StopAt stop;
    stop.source.request_stop();
    std::vector<std::uint8_t> bytes = {1, 2, 3};
    GifExportReport report;
    GifImagePreview preview{0, {}};
    EXPECT_TRUE(EncodeGifExportImages(images, GifExportOptions{}, bytes, &report, stop.Run(&preview)).ok());
    EXPECT_TRUE(report.cancelled);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(stop.looks, 1);
    EXPECT_FALSE(preview.pixels.HasBlock());

    GifImagePreview alone{0, {}};
    EXPECT_TRUE(PreviewGifExportImage(images, GifExportOptions{}, alone, stop.source.get_token()).ok());
    EXPECT_FALSE(alone.pixels.HasBlock());
}

TEST(ExportCancel, StopAtAnyImageOfAnyPassEndsTheRunThere) {
    const GifExportImages images = NoisyImages();
    const GifExportOptions options{true, 16, true, true};  // every pass runs: map, dither, reduce, encode
    StopAt whole;
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(EncodeGifExportImages(images, options, bytes, nullptr, whole.Run()).ok());
    ASSERT_FALSE(bytes.empty());
    // One look before counting, one per image in mapping, dithering and
    // encoding, one per step of size reduction (four).
    ASSERT_GE(whole.looks, 1 + 3 * int(kFrames) + 4);

    for (int at = 1; at <= whole.looks; ++at) {
        SCOPED_TRACE(at);
        StopAt stop;
        stop.stopAt = at;
        GifExportReport report;
        bytes = {1};
        EXPECT_TRUE(EncodeGifExportImages(images, options, bytes, &report, stop.Run()).ok());
        EXPECT_TRUE(report.cancelled);
        EXPECT_TRUE(bytes.empty());
        EXPECT_EQ(stop.looks, at);  // nothing more was done after the stop
        EXPECT_EQ(stop.looksAfterStop, 0);
    }
}

TEST(ExportCancel, StoppedSearchEndsWithinItsTrialAndIsNoFailure) {
    const GifExportImages images = NoisyImages();
    const GifExportOptions options{true, 256, true, false};
    // A budget nothing meets: the whole search makes every trial it can.
    StopAt whole;
    std::vector<std::uint8_t> bytes;
    GifExportOptions fitted;
    GifExportReport report;
    EXPECT_FALSE(EncodeGifExportImagesWithin(images, 10, options, bytes, fitted, &report, whole.Run()).ok());
    ASSERT_GE(report.trials, 3);
    ASSERT_EQ(whole.looks % report.trials, 0);  // every trial looks as often
    const int looksPerTrial = whole.looks / report.trials;

    StopAt stop;
    stop.stopAt = looksPerTrial + 3;  // inside the second trial
    report = {};
    const Status status = EncodeGifExportImagesWithin(images, 10, options, bytes, fitted, &report, stop.Run());
    EXPECT_TRUE(status.ok()) << status.message();
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.trials, 2);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(stop.looks, stop.stopAt);
}

}  // namespace
}  // namespace vantrel
