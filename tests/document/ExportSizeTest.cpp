// The export made in memory: the same bytes the file export writes, so that
// its size is the size of the file, and nothing written.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string_view>
#include <vector>

#include "DocTestUtil.h"
#include "DocumentFileFixtures.h"
#include "codec/GifEncoderFixtures.h"
#include "document/Export.h"
#include "support/GiflibRef.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Noise in every frame: far more than 256 colours, so the palette is reduced;
// the middle strip stays the same from frame to frame, so size reduction
// has something to leave out.
std::unique_ptr<CQVDoc> NoiseDocument(int frames) {
    auto doc = std::make_unique<CQVDoc>();
    Animation& animation = doc->GetAnimation();
    animation.SetSize(48, 32);
    std::uint32_t state = 7;
    for (int f = 0; f < frames; ++f) {
        AnimFrame* frame = f == 0 ? animation.FirstFrame() : animation.AppendFrame();
        frame->duration = std::uint32_t(10 + f);
        PackedDib picture;
        picture.SetSize(48, 32);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 48; ++x) {
                state = state * 1664525u + 1013904223u;
                picture.Row(y)[x] = (y >= 12 && y < 20) ? MakePixel(std::uint8_t(x * 5), 90, 200)
                                                         : (state >> 8) & 0x00FFFFFF;
            }
        }
        auto item = BitmapItem::FromImage(std::move(picture));
        item->MoveTo(animation.Canvas().left, animation.Canvas().top);
        frame->AppendItem(std::move(item));
    }
    animation.RenderAll();
    return doc;
}

// The file an export of animation makes with what choose returns.
std::vector<std::uint8_t> Encoded(Animation& animation, const GifOptionsChooser& choose) {
    const GifExportResult result = GifExportJob::OfAnimation(animation).Encode(choose);
    EXPECT_TRUE(result.status.ok()) << result.status.message();
    return result.bytes;
}

// The export of animation fitted under budget: its status, and bytes and
// report left in the arguments.
Status EncodedWithin(Animation& animation, std::uint64_t budget, std::vector<std::uint8_t>& bytes,
                     const GifOptionsChooser& choose, GifExportReport* report = nullptr) {
    GifExportResult result = GifExportJob::OfAnimation(animation).Fit(budget, choose);
    bytes = std::move(result.bytes);
    if (report != nullptr) *report = result.report;
    return result.status;
}

GifOptionsChooser Fixed(bool reduce, int colors, bool sizeReduction) {
    return [=](const GifExportRequest&) -> std::optional<GifExportOptions> {
        return GifExportOptions{reduce, colors, sizeReduction};
    };
}

TEST(ExportSizeTest, MemoryExportHoldsTheBytesOfTheFile) {
    const auto dir = test::ScratchDir("export-size");
    struct Case {
        const char* name;
        std::unique_ptr<CQVDoc> doc;
        GifOptionsChooser choose;
    };
    std::vector<Case> cases;
    cases.push_back({"rich document, defaults", test::MakeRichDocument(), DefaultGifOptionsChooser()});
    cases.push_back({"noise, defaults", NoiseDocument(4), DefaultGifOptionsChooser()});
    cases.push_back({"noise, 16 colours, no size reduction", NoiseDocument(3), Fixed(true, 16, false)});
    cases.push_back({"new document", std::make_unique<CQVDoc>(), DefaultGifOptionsChooser()});
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = dir / "out.gif";
        const GifExportResult saved = GifExportJob::OfAnimation(c.doc->GetAnimation()).Save(path, c.choose);
        ASSERT_TRUE(saved.status.ok());
        const GifExportReport& written = saved.report;
        const GifExportResult encoded = GifExportJob::OfAnimation(c.doc->GetAnimation()).Encode(c.choose);
        ASSERT_TRUE(encoded.status.ok());
        const std::vector<std::uint8_t>& bytes = encoded.bytes;
        const GifExportReport& estimated = encoded.report;
        EXPECT_EQ(bytes.size(), std::filesystem::file_size(path));
        EXPECT_EQ(bytes, FileBytes(path));
        EXPECT_EQ(estimated.paletteSize, written.paletteSize);
        EXPECT_EQ(estimated.images, written.images);
        // The noise fixtures really need a reduced palette.
        if (std::string_view(c.name).starts_with("noise")) {
            EXPECT_GT(written.distinctColors, 256);
        }
    }
}

TEST(ExportSizeTest, CancelledMemoryExportHoldsNothing) {
    auto doc = NoiseDocument(2);
    const auto cancel = [](const GifExportRequest&) -> std::optional<GifExportOptions> { return std::nullopt; };
    const GifExportResult result = GifExportJob::OfAnimation(doc->GetAnimation()).Encode(cancel);
    EXPECT_TRUE(result.status.ok());
    EXPECT_TRUE(result.report.cancelled);
    EXPECT_TRUE(result.bytes.empty());
}

TEST(ExportBudgetTest, FitsUnderTheLimitWithTheMostColoursItFinds) {
    auto doc = NoiseDocument(3);
    Animation& animation = doc->GetAnimation();
    const std::vector<std::uint8_t> plain = Encoded(animation, DefaultGifOptionsChooser());

    // A budget the default export meets: one export, the same bytes.
    std::vector<std::uint8_t> bytes;
    GifExportReport report;
    int asked = 0;
    const GifOptionsChooser counting = [&](const GifExportRequest& request) {
        ++asked;
        return std::optional(DefaultGifExportOptions(request.distinctColors));
    };
    ASSERT_TRUE(EncodedWithin(animation, plain.size(), bytes, counting, &report).ok());
    EXPECT_EQ(bytes, plain);
    EXPECT_EQ(report.trials, 1);

    // Budgets between the sizes of 16 and 256 colours: never above the limit,
    // at most kMaxBudgetTrials exports, the user asked once, something given
    // up, and the bytes those of a plain export with the colour count and
    // lossy level reported.
    const std::vector<std::uint8_t> sixteen = Encoded(animation, [](const GifExportRequest&) {
        return std::optional(GifExportOptions{true, 16, true});
    });
    ASSERT_LT(sixteen.size(), plain.size());
    for (std::size_t budget : {sixteen.size(), (sixteen.size() + plain.size()) / 2, plain.size() - 1}) {
        SCOPED_TRACE(budget);
        asked = 0;
        ASSERT_TRUE(EncodedWithin(animation, budget, bytes, counting, &report).ok());
        EXPECT_LE(bytes.size(), budget);
        EXPECT_EQ(asked, 1);
        EXPECT_LE(report.trials, kMaxBudgetTrials);
        EXPECT_GE(report.requestedColors, 16);
        EXPECT_TRUE(report.requestedColors < 256 || report.lossy > 0);
        EXPECT_FALSE(report.fewColors);
        GifExportOptions stated{true, report.requestedColors, true};
        stated.lossy = report.lossy;
        const std::vector<std::uint8_t> again =
            Encoded(animation, [stated](const GifExportRequest&) { return std::optional(stated); });
        EXPECT_EQ(bytes, again);
    }

    // Below what two colours need: refused, nothing kept, the reason given.
    const Status refused = EncodedWithin(animation, 100, bytes, counting, &report);
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(bytes.empty());
    EXPECT_NE(refused.message().find("2 colours"), std::string::npos) << refused.message();
    EXPECT_NE(refused.message().find("limit of 100 bytes (0.1 KB)."), std::string::npos) << refused.message();
    EXPECT_LE(report.trials, kMaxBudgetTrials);
}

TEST(ExportBudgetTest, LadderLosesALittleMoreAtEveryRung) {
    struct Case {
        int colors;
        int lossy;
        std::vector<BudgetRung> expected;
    };
    const Case cases[] = {
        {256, 0, {{256, 0}, {256, 40}, {256, 80}, {128, 120}, {64, 160}, {32, 200}, {16, 200}, {8, 200}, {4, 200},
                  {2, 200}}},
        {64, 60, {{64, 60}, {64, 80}, {32, 120}, {16, 160}, {8, 200}, {4, 200}, {2, 200}}},
        {257, 200, {{257, 200}, {256, 200}, {128, 200}, {64, 200}, {32, 200}, {16, 200}, {8, 200}, {4, 200},
                    {2, 200}}},
        {2, 0, {{2, 0}, {2, 40}, {2, 80}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.colors) + " colours, lossy " + std::to_string(c.lossy));
        const std::vector<BudgetRung> rungs = BudgetLadder(c.colors, c.lossy);
        EXPECT_EQ(rungs, c.expected);
        // A bisection over the rungs after the first stays within the bound.
        ASSERT_LE(rungs.size(), 10u);
        for (std::size_t i = 1; i < rungs.size(); ++i) {
            EXPECT_LE(rungs[i].colors, rungs[i - 1].colors);
            EXPECT_GE(rungs[i].lossy, rungs[i - 1].lossy);
            EXPECT_NE(rungs[i], rungs[i - 1]);
        }
    }
}

// Budgets from generous to impossible over a noisy animation: every fit is
// within its budget and decodes through giflib to the colours it states;
// the figures stated are those of the bytes; a fit only below 16 colours
// is marked to be asked about.
TEST(ExportBudgetTest, EveryFitKeepsItsBudgetAndStatesWhatItWrote) {
    auto doc = NoiseDocument(3);
    Animation& animation = doc->GetAnimation();
    GifExportJob job = GifExportJob::OfAnimation(animation);
    const std::size_t plain = job.Encode(DefaultGifExportOptions(257)).bytes.size();
    ASSERT_GT(plain, 0u);
    bool sawLossy = false;
    bool sawFew = false;
    for (const double share : {1.0, 0.8, 0.6, 0.4, 0.25, 0.15, 0.08}) {
        const auto budget = std::uint64_t(double(plain) * share);
        SCOPED_TRACE(budget);
        const GifExportResult fit = job.Fit(budget, DefaultGifExportOptions(257));
        EXPECT_LE(fit.report.trials, kMaxBudgetTrials);
        if (!fit.status) {
            EXPECT_TRUE(fit.bytes.empty());
            continue;
        }
        ASSERT_LE(fit.bytes.size(), budget);
        EXPECT_EQ(fit.options.colorCount, fit.report.requestedColors);
        EXPECT_EQ(fit.options.lossy, fit.report.lossy);
        EXPECT_EQ(fit.report.fewColors, fit.report.requestedColors < kFewestColorsUnasked);
        sawLossy = sawLossy || fit.report.lossy > 0;
        sawFew = sawFew || fit.report.fewColors;
        // The options stated make these very bytes.
        EXPECT_EQ(job.Encode(fit.options).bytes, fit.bytes);
        std::string error;
        const auto decoded = test::DecodeWithGiflib(fit.bytes, &error);
        ASSERT_TRUE(decoded) << error;
        EXPECT_LE(decoded->globalColors.size(), std::size_t(ColorTableSizeFor(fit.report.requestedColors + 1)));
    }
    EXPECT_TRUE(sawLossy) << "the search should use the lossy lever";
    EXPECT_TRUE(sawFew) << "a small budget should need fewer than 16 colours";
}

// An animation of exactly 256 colours is written with all of them by
// default: every frame decodes (giflib) to the rendered frame exactly,
// whether or not the frames leave room for a transparent index.
TEST(ExportColorsTest, ExactlyTwoHundredFiftySixColoursAreKept) {
    constexpr int kSide = 16;
    for (const bool everyFrameUsesAll : {true, false}) {
        SCOPED_TRACE(everyFrameUsesAll ? "every frame uses all 256" : "later frames use fewer");
        auto doc = std::make_unique<CQVDoc>();
        Animation& animation = doc->GetAnimation();
        animation.SetSize(kSide, kSide);
        for (int f = 0; f < 3; ++f) {
            AnimFrame* frame = f == 0 ? animation.FirstFrame() : animation.AppendFrame();
            PackedDib picture;
            picture.SetSize(kSide, kSide);
            for (int i = 0; i < kSide * kSide; ++i) {
                // 256 colours far apart, shifted by one place in each frame;
                // without everyFrameUsesAll later frames repeat one colour.
                int k = (i + f) % (kSide * kSide);
                if (!everyFrameUsesAll && f > 0 && k < 40) k = 0;
                picture.Row(i / kSide)[i % kSide] =
                    MakePixel(std::uint8_t(k * 37), std::uint8_t(k / 16 * 17), std::uint8_t(k % 16 * 17));
            }
            auto item = BitmapItem::FromImage(std::move(picture));
            item->MoveTo(animation.Canvas().left, animation.Canvas().top);
            frame->AppendItem(std::move(item));
        }
        const GifExportResult result = GifExportJob::OfAnimation(animation).Encode(DefaultGifOptionsChooser());
        ASSERT_TRUE(result.status.ok());
        ASSERT_EQ(result.report.distinctColors, 256);
        EXPECT_EQ(result.report.paletteSize, 256);
        std::string error;
        const auto decoded = test::DecodeWithGiflib(result.bytes, &error);
        ASSERT_TRUE(decoded) << error;
        const auto shown = test::writer::CompositeFrames(*decoded);
        ASSERT_EQ(shown.size(), 3u);
        for (std::size_t f = 0; f < 3; ++f) {
            std::vector<PixelValue> rendered = test::writer::TopDownPixels(animation.Frames()[f]->Image());
            std::vector<PixelValue> written = shown[f];
            for (PixelValue& p : rendered) p &= 0x00FFFFFF;
            for (PixelValue& p : written) p &= 0x00FFFFFF;
            EXPECT_TRUE(written == rendered) << "frame " << f;
        }
    }
}

// A smooth picture with a square that moves from frame to frame.
std::unique_ptr<CQVDoc> MovingSquareDocument(int frames, int width, int height, Rect (*square)(int)) {
    auto doc = std::make_unique<CQVDoc>();
    Animation& animation = doc->GetAnimation();
    animation.SetSize(width, height);
    for (int f = 0; f < frames; ++f) {
        AnimFrame* frame = f == 0 ? animation.FirstFrame() : animation.AppendFrame();
        PackedDib picture;
        picture.SetSize(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.Row(y)[x] = MakePixel(std::uint8_t(x * 4), std::uint8_t(y * 6), std::uint8_t(128 + x - y));
        const Rect r = square(f);
        picture.FillRect(MakePixel(250, 250, 20), &r);
        auto item = BitmapItem::FromImage(std::move(picture));
        item->MoveTo(animation.Canvas().left, animation.Canvas().top);
        frame->AppendItem(std::move(item));
    }
    animation.RenderAll();
    return doc;
}

TEST(ExportDitherTest, DitheredAnimationDecodesAndKeepsUnchangedAreas) {
    constexpr int kWidth = 60, kHeight = 40, kFrames = 4;
    const auto square = [](int f) { return Rect{5 + 12 * f, 10, 15 + 12 * f, 20}; };
    auto doc = MovingSquareDocument(kFrames, kWidth, kHeight, square);
    const GifExportResult result = GifExportJob::OfAnimation(doc->GetAnimation()).Encode([](const GifExportRequest&) {
        GifExportOptions options{true, 16, true};
        options.dither = true;
        return std::optional(options);
    });
    ASSERT_TRUE(result.status.ok());
    const std::vector<std::uint8_t>& bytes = result.bytes;
    const GifExportReport& report = result.report;
    ASSERT_GT(report.distinctColors, 16);
    std::string error;
    const auto gif = test::DecodeWithGiflib(bytes, &error);
    ASSERT_TRUE(gif) << error;
    ASSERT_EQ(gif->images.size(), std::size_t(kFrames));

    // Composite as a viewer does: every image drawn over the last, its
    // transparent index left out.
    std::vector<PixelValue> canvas(std::size_t(kWidth * kHeight), 0);
    std::vector<PixelValue> previous;
    int ditherMixes = 0;
    for (int f = 0; f < kFrames; ++f) {
        const test::RefImage& image = gif->images[std::size_t(f)];
        const auto& colors = image.localColors.empty() ? gif->globalColors : image.localColors;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                const int index = image.indices[std::size_t(y * image.width + x)];
                if (index == image.transparentIndex) continue;
                const RgbTriple c = colors[std::size_t(index)];
                canvas[std::size_t((image.top + y) * kWidth + image.left + x)] = MakePixel(c.red, c.green, c.blue);
            }
        if (f > 0) {
            int changedOutside = 0;
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) {
                    if (square(f).Contains({x, y}) || square(f - 1).Contains({x, y})) continue;
                    changedOutside += canvas[std::size_t(y * kWidth + x)] != previous[std::size_t(y * kWidth + x)];
                }
            EXPECT_EQ(changedOutside, 0) << "frame " << f + 1;
        }
        // Dithering shows: neighbours of a smooth area often differ.
        for (int x = 31; x < kWidth; ++x) ditherMixes += canvas[std::size_t(35 * kWidth + x)] != canvas[std::size_t(35 * kWidth + x - 1)];
        previous = canvas;
    }
    EXPECT_GT(ditherMixes, kFrames * 5);
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// Another copy of images, sharing their blocks, for a job of its own.
GifExportImages CopyOf(const GifExportImages& images) {
    return CopyGifExportImages({0, false, &images});
}

// The file a job over a copy of images makes with options.
std::vector<std::uint8_t> CopiedBytes(const GifExportImages& images, const GifExportOptions& options) {
    const GifExportResult result = GifExportJob(CopyOf(images)).Encode(options);
    EXPECT_TRUE(result.status.ok()) << result.status.message();
    return result.bytes;
}

// The copy an options dialog takes of the images it is asked about encodes
// to the bytes of the export that asked, with whatever options are tried,
// and its budget search to the bytes of the animation's own fit.
TEST(ExportCopyTest, CopiedImagesEncodeToTheBytesOfTheExport) {
    auto doc = NoiseDocument(3);
    Animation& animation = doc->GetAnimation();
    animation.loopCount = 3;
    GifExportImages copy;
    Encoded(animation, [&](const GifExportRequest& request) {
        copy = CopyGifExportImages(request);
        return std::optional<GifExportOptions>();
    });
    ASSERT_EQ(copy.pixels.size(), 3u);
    EXPECT_TRUE(CopyGifExportImages(GifExportRequest{}).pixels.empty());

    GifExportOptions dithered{true, 8, true};
    dithered.dither = true;
    for (const GifExportOptions& options : {GifExportOptions{true, 256, true}, GifExportOptions{true, 16, false},
                                            GifExportOptions{false, 256, true}, dithered}) {
        SCOPED_TRACE(options.colorCount);
        const std::vector<std::uint8_t> expected =
            Encoded(animation, [&](const GifExportRequest&) { return std::optional(options); });
        EXPECT_EQ(CopiedBytes(copy, options), expected);
    }

    const std::vector<std::uint8_t> sixteen = CopiedBytes(copy, GifExportOptions{true, 16, true});
    const auto start = DefaultGifExportOptions(257);
    for (std::uint64_t budget : {std::uint64_t{sixteen.size()}, std::uint64_t{1'000'000}, std::uint64_t{100}}) {
        SCOPED_TRACE(budget);
        std::vector<std::uint8_t> expected;
        const Status viaAnimation =
            EncodedWithin(animation, budget, expected, [&](const GifExportRequest&) { return std::optional(start); });
        const GifExportResult fit = GifExportJob(CopyOf(copy)).Fit(budget, start);
        const Status& viaCopy = fit.status;
        const std::vector<std::uint8_t>& bytes = fit.bytes;
        EXPECT_EQ(viaCopy.ok(), viaAnimation.ok());
        EXPECT_EQ(viaCopy.message(), viaAnimation.message());
        EXPECT_EQ(bytes, expected);
        EXPECT_LE(bytes.size(), budget);
        EXPECT_LE(fit.report.trials, kMaxBudgetTrials);
        if (!viaCopy) continue;
        // The fitted options alone export the same bytes.
        EXPECT_EQ(CopiedBytes(copy, fit.options), bytes);
    }

    // The copy shares the frames' pixels: frames drawn on afterwards leave it
    // as it was taken.
    const std::vector<std::uint8_t> before = CopiedBytes(copy, GifExportOptions{true, 16, true});
    for (const auto& frame : animation.Frames()) frame->Image().FillRect(0x00123456);
    EXPECT_EQ(CopiedBytes(copy, GifExportOptions{true, 16, true}), before);
}

}  // namespace
}  // namespace vantrel
