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
#include "document/ExportTestUtil.h"
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

using test::JobOver;
using test::Previewing;

struct PreviewCase {
    const char* name;
    GifExportOptions options;
};

TEST(ExportPreview, ImageEqualsTheFrameTheWrittenFileShows) {
    const GifExportImages images = NoisyImages();
    // The fixture is what it says: more colours than a palette holds, and transparency bytes.
    const GifExportResult counted = JobOver(images).Encode(GifExportOptions{});
    ASSERT_TRUE(counted.status.ok());
    ASSERT_GT(counted.report.distinctColors, 256);
    ASSERT_FALSE(IsOpaque(images.pixels[2].Row(0)[0]));

    const PreviewCase cases[] = {
        {"256 colours", {true, 256, true, false}},
        {"256 colours, no size reduction", {true, 256, false, false}},
        {"16 colours, dithered", {true, 16, true, true}},
        {"16 colours, dithered, no size reduction", {true, 16, false, true}},
        {"16 colours", {true, 16, true, false}},
        {"2 colours, dithered", {true, 2, true, true}},
        {"2 colours, no size reduction", {true, 2, false, false}},
        {"64 colours, lossy 80", {true, 64, true, false, PaletteMethod::Refined, 80}},
        {"256 colours, lossy 200, no size reduction", {true, 256, false, false, PaletteMethod::Refined, 200}},
        {"16 colours, dithered, lossy 120", {true, 16, true, true, PaletteMethod::Refined, 120}},
    };
    for (const PreviewCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::size_t image : {std::size_t{2}, kFrames - 1}) {
            SCOPED_TRACE(image);
            GifExportJob job = JobOver(images, Previewing(image));
            const GifExportResult encoded = job.Encode(c.options);
            ASSERT_TRUE(encoded.status.ok());
            const auto decoded = test::DecodeWithGiflib(encoded.bytes);
            ASSERT_TRUE(decoded.has_value());
            const auto shown = test::writer::CompositeFrames(*decoded);
            ASSERT_EQ(shown.size(), kFrames);
            ASSERT_EQ(encoded.preview.Width(), kWidth);
            ASSERT_EQ(encoded.preview.Height(), kHeight);
            EXPECT_TRUE(TopDown(encoded.preview) == shown[image]);

            // The preview alone, without encoding, is the same image.
            const GifExportResult alone = job.Preview(c.options);
            ASSERT_TRUE(alone.status.ok());
            EXPECT_TRUE(alone.bytes.empty());
            EXPECT_TRUE(TopDown(alone.preview) == shown[image]);
        }
    }
}

TEST(ExportPreview, FitShowsTheImageOfTheFittedFile) {
    const GifExportImages images = NoisyImages();
    const GifExportOptions asked{true, 256, true, false};
    const std::vector<std::uint8_t> full = JobOver(images).Encode(asked).bytes;
    ASSERT_FALSE(full.empty());
    const GifExportResult fit = JobOver(images, Previewing(1)).Fit(full.size() * 2 / 3, asked);
    ASSERT_TRUE(fit.status.ok());
    ASSERT_LT(fit.options.colorCount, 256);
    const auto decoded = test::DecodeWithGiflib(fit.bytes);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_TRUE(TopDown(fit.preview) == test::writer::CompositeFrames(*decoded)[1]);
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
    const GifExportResult result = GifExportJob(NoisyImages(), Previewing(kFrames)).Preview(GifExportOptions{});
    ASSERT_TRUE(result.status.ok());
    EXPECT_FALSE(result.preview.HasBlock());
}

// Counts the places a run looks whether to stop, and requests the stop at
// look number stopAt (never with 0).
struct StopAt {
    std::stop_source source;
    int looks = 0;
    int looksAfterStop = 0;
    int stopAt = 0;

    GifExportRun Run(std::optional<std::size_t> previewImage = std::nullopt) {
        return {source.get_token(), previewImage, [this](const std::stop_token& stop) {
                    if (stop.stop_requested()) ++looksAfterStop;
                    if (++looks == stopAt) source.request_stop();
                }};
    }
};

TEST(ExportCancel, StopRequestedBeforeTheRunWritesNothing) {
    const GifExportImages images = NoisyImages();
    StopAt stop;
    stop.source.request_stop();
    const GifExportResult result = JobOver(images, stop.Run(0)).Encode(GifExportOptions{});
    EXPECT_TRUE(result.status.ok());
    EXPECT_TRUE(result.report.cancelled);
    EXPECT_TRUE(result.bytes.empty());
    EXPECT_EQ(stop.looks, 1);
    EXPECT_FALSE(result.preview.HasBlock());

    GifExportRun stopped;
    stopped.stop = stop.source.get_token();
    stopped.previewImage = 0;
    const GifExportResult alone = JobOver(images, stopped).Preview(GifExportOptions{});
    EXPECT_TRUE(alone.status.ok());
    EXPECT_FALSE(alone.preview.HasBlock());
}

TEST(ExportCancel, StopAtAnyImageOfAnyPassEndsTheRunThere) {
    const GifExportImages images = NoisyImages();
    const GifExportOptions options{true, 16, true, true};  // every pass runs: map, dither, reduce, encode
    StopAt whole;
    const GifExportResult all = JobOver(images, whole.Run()).Encode(options);
    ASSERT_TRUE(all.status.ok());
    ASSERT_FALSE(all.bytes.empty());
    // One look before counting, one per image in mapping, dithering and
    // encoding, one per step of size reduction (four).
    ASSERT_GE(whole.looks, 1 + 3 * int(kFrames) + 4);

    for (int at = 1; at <= whole.looks; ++at) {
        SCOPED_TRACE(at);
        StopAt stop;
        stop.stopAt = at;
        const GifExportResult result = JobOver(images, stop.Run()).Encode(options);
        EXPECT_TRUE(result.status.ok());
        EXPECT_TRUE(result.report.cancelled);
        EXPECT_TRUE(result.bytes.empty());
        EXPECT_EQ(stop.looks, at);  // nothing more was done after the stop
        EXPECT_EQ(stop.looksAfterStop, 0);
    }
}

TEST(ExportCancel, StoppedSearchEndsWithinItsTrialAndIsNoFailure) {
    const GifExportImages images = NoisyImages();
    const GifExportOptions options{true, 256, true, false};
    // A budget nothing meets: the whole search makes every trial it can.
    StopAt whole;
    const GifExportResult none = JobOver(images, whole.Run()).Fit(10, options);
    EXPECT_FALSE(none.status.ok());
    ASSERT_GE(none.report.trials, 3);
    ASSERT_EQ(whole.looks % none.report.trials, 0);  // every trial looks as often
    const int looksPerTrial = whole.looks / none.report.trials;

    StopAt stop;
    stop.stopAt = looksPerTrial + 3;  // inside the second trial
    const GifExportResult stopped = JobOver(images, stop.Run()).Fit(10, options);
    EXPECT_TRUE(stopped.status.ok()) << stopped.status.message();
    EXPECT_TRUE(stopped.report.cancelled);
    EXPECT_EQ(stopped.report.trials, 2);
    EXPECT_TRUE(stopped.bytes.empty());
    EXPECT_EQ(stop.looks, stop.stopAt);
}

}  // namespace
}  // namespace vantrel
