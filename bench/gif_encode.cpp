// bench-libs: vantrel_document vantrel_codec
// Writing GIF. First our LZW encoder against giflib's encoder on the same
// index buffers: ours compresses into a byte vector; giflib gets the whole
// image through EGifPutLine and writes to memory through an output function
// (its figure also holds a screen and image descriptor, a few dozen bytes).
// A third line adds our sub-block framing and header (EncodeImages +
// WriteGif) for the like-for-like stream. Then the whole export into memory
// through the export driver (count colours, build the palette, size
// reduction, LZW, write) of a generated 24-frame 468 x 60 banner and of a
// 30-frame 400 x 300 photographic animation, which is also the "GIF Save
// Options" dialog's estimate; the "bytes" counter is the file size. Last,
// what else the dialog runs on its worker thread: the search under a budget
// of half the default size, the estimate together with the preview of one
// frame, and that preview alone (palette and mapping, no encoding).

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "codec/ColorQuantizer.h"
#include "codec/GifFile.h"
#include "codec/LzwEncoder.h"
#include "document/Export.h"

namespace {

using vantrel::PixelValue;

// ---- index buffers ----

struct IndexImage {
    int width;
    int height;
    int codeSize;
    std::vector<std::uint8_t> indices;
};

// Flat areas with blocky text-like runs in 16 colours.
IndexImage FlatIndices() {
    IndexImage image{1200, 800, 4, std::vector<std::uint8_t>(1200 * 800)};
    std::mt19937 rng(1);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            std::uint8_t v = static_cast<std::uint8_t>((x / 300 + y / 200) % 4);
            if ((y / 10) % 3 == 1 && (x / 6) % 4 != 3 && ((x * 7 + y * 3) / 5) % 3 != 0)
                v = 5 + (x / 97) % 10;
            image.indices[static_cast<std::size_t>(y * image.width + x)] = v;
        }
    }
    return image;
}

// A quantised photograph: smooth gradients with noise over 256 colours.
IndexImage PhotoIndices() {
    IndexImage image{1200, 800, 8, std::vector<std::uint8_t>(1200 * 800)};
    std::mt19937 rng(2);
    std::uniform_int_distribution<int> noise(-6, 6);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const int v = (x * 255 / image.width + y * 128 / image.height) / 2 + 64 + noise(rng);
            image.indices[static_cast<std::size_t>(y * image.width + x)] =
                static_cast<std::uint8_t>(std::clamp(v, 0, 255));
        }
    }
    return image;
}

const IndexImage& Indices(int which) {
    static const IndexImage flat = FlatIndices();
    static const IndexImage photo = PhotoIndices();
    return which == 0 ? flat : photo;
}

void BM_LzwOurs(benchmark::State& state) {
    const IndexImage& image = Indices(static_cast<int>(state.range(0)));
    vantrel::LzwEncoder encoder;
    std::vector<std::uint8_t> out;
    for (auto _ : state) {
        encoder.Encode(image.indices, image.codeSize, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(image.indices.size()));
    state.counters["bytes"] = static_cast<double>(out.size());
}

void BM_GifStreamOurs(benchmark::State& state) {
    const IndexImage& image = Indices(static_cast<int>(state.range(0)));
    vantrel::GifFile gif;
    gif.SetScreenSize(image.width, image.height);
    gif.globalColorTable = vantrel::ColorTable{};
    gif.globalColorTableSize = static_cast<std::uint16_t>(1 << image.codeSize);
    vantrel::GifImage& record = gif.images.emplace_back();
    record.width = static_cast<std::uint16_t>(image.width);
    record.height = static_cast<std::uint16_t>(image.height);
    record.indices = image.indices;
    record.minimumCodeSize = static_cast<std::uint8_t>(image.codeSize);
    std::vector<std::uint8_t> out;
    for (auto _ : state) {
        out.clear();
        gif.EncodeImages();
        gif.WriteGif(out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(image.indices.size()));
    state.counters["bytes"] = static_cast<double>(out.size());
}

int AppendBytes(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

void BM_LzwGiflib(benchmark::State& state) {
    const IndexImage& image = Indices(static_cast<int>(state.range(0)));
    std::unique_ptr<ColorMapObject, MapDeleter> map(GifMakeMapObject(1 << image.codeSize, nullptr));
    std::vector<GifPixelType> line(image.indices.begin(), image.indices.end());
    std::vector<std::uint8_t> out;
    for (auto _ : state) {
        out.clear();
        int error = 0;
        GifFileType* gif = EGifOpen(&out, AppendBytes, &error);
        if (gif == nullptr ||
            EGifPutScreenDesc(gif, image.width, image.height, image.codeSize, 0, map.get()) != GIF_OK ||
            EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) != GIF_OK ||
            EGifPutLine(gif, line.data(), static_cast<int>(line.size())) != GIF_OK) {
            state.SkipWithError("giflib failed");
        }
        EGifCloseFile(gif, &error);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(image.indices.size()));
    state.counters["bytes"] = static_cast<double>(out.size());
}

// Argument 0: flat 16-colour 1200 x 800; 1: photographic 256-colour 1200 x 800.
BENCHMARK(BM_LzwOurs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GifStreamOurs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzwGiflib)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// ---- whole export on GifFile level ----

vantrel::PackedDib FrameBuffer(int width, int height) {
    vantrel::PackedDib dib;
    dib.SetSize(width, height);
    return dib;
}

// 24 frames of 468 x 60: a flat background with a border, a logo box, a line
// of blocky glyphs scrolling in from the right and a box blinking every
// third frame. Six colours.
std::vector<vantrel::PackedDib> BannerFrames() {
    constexpr int kWidth = 468;
    constexpr int kHeight = 60;
    constexpr PixelValue kBackground = 0x00203060;
    constexpr PixelValue kBorder = 0x00F0C020;
    constexpr PixelValue kText = 0x00FFFFFF;
    constexpr PixelValue kLogo = 0x00C02020;
    constexpr PixelValue kBlink = 0x0020C040;
    std::mt19937 rng(7);
    std::array<std::uint8_t, 40 * 7> glyphs{};  // 40 glyphs of 5 x 7 bits, one row per byte
    for (auto& row : glyphs) row = static_cast<std::uint8_t>(rng() & 0x1F);
    std::vector<vantrel::PackedDib> frames;
    for (int k = 0; k < 24; ++k) {
        vantrel::PackedDib dib = FrameBuffer(kWidth, kHeight);
        const int scroll = kWidth - 16 * k;
        for (int y = 0; y < kHeight; ++y) {
            PixelValue* row = dib.Row(y);
            for (int x = 0; x < kWidth; ++x) {
                PixelValue p = kBackground;
                if (x < 3 || y < 3 || x >= kWidth - 3 || y >= kHeight - 3) p = kBorder;
                if (x >= 8 && x < 52 && y >= 8 && y < 52) p = (x + y) % 16 < 8 ? kLogo : kText;
                if (k % 3 == 0 && x >= 420 && x < 456 && y >= 20 && y < 40) p = kBlink;
                // glyphs scaled x 3 on a 20-pixel pitch, between y 20 and 41
                const int gx = x - scroll;
                if (gx >= 0 && x >= 60 && x < 410 && y >= 20 && y < 41) {
                    const int glyph = (gx / 20) % 40;
                    const int col = (gx % 20) / 3;
                    const int line = (y - 20) / 3;
                    if (col < 5 && ((glyphs[static_cast<std::size_t>(glyph * 7 + line)] >> col) & 1))
                        p = kText;
                }
                row[x] = p;
            }
        }
        frames.push_back(std::move(dib));
    }
    return frames;
}

// 30 frames of 400 x 300: diagonal colour gradients drifting by 5 pixels a
// frame, a bright disc moving across, and fresh noise of +-6 per channel.
std::vector<vantrel::PackedDib> PhotoFrames() {
    constexpr int kWidth = 400;
    constexpr int kHeight = 300;
    std::mt19937 rng(9);
    std::uniform_int_distribution<int> noise(-6, 6);
    std::vector<vantrel::PackedDib> frames;
    for (int k = 0; k < 30; ++k) {
        vantrel::PackedDib dib = FrameBuffer(kWidth, kHeight);
        const int cx = 40 + 10 * k;
        const int cy = 150 + static_cast<int>(60 * std::sin(k * 0.3));
        for (int y = 0; y < kHeight; ++y) {
            PixelValue* row = dib.Row(y);
            for (int x = 0; x < kWidth; ++x) {
                const int u = x + 5 * k;
                int r = 40 + (u * 180) / (kWidth + 150);
                int g = 30 + (y * 200) / kHeight;
                int b = 200 - ((u + y) * 150) / (kWidth + kHeight + 150);
                const int dx = x - cx;
                const int dy = y - cy;
                if (dx * dx + dy * dy < 40 * 40) {
                    r = (r + 255) / 2;
                    g = (g + 230) / 2;
                    b = (b + 120) / 2;
                }
                auto channel = [&](int v) {
                    return static_cast<std::uint8_t>(std::clamp(v + noise(rng), 0, 255));
                };
                row[x] = vantrel::MakePixel(channel(r), channel(g), channel(b));
            }
        }
        frames.push_back(std::move(dib));
    }
    return frames;
}

// The frames as the export driver receives them (the copy the options
// dialog takes), and the options the dialog opens with.
std::shared_ptr<const vantrel::GifExportImages> DialogCopy(const std::vector<vantrel::PackedDib>& frames,
                                                           vantrel::GifExportOptions& options) {
    vantrel::GifExportImages images;
    images.width = frames.front().Width();
    images.height = frames.front().Height();
    for (const vantrel::PackedDib& frame : frames) {
        images.pixels.emplace_back().ShareFrom(frame);
        images.delays.push_back(10);
    }
    auto copy = std::make_shared<const vantrel::GifExportImages>(std::move(images));
    // The options the dialog opens with, for the colours the export counts.
    vantrel::GifExportJob(copy).Encode([&options](const vantrel::GifExportRequest& request) {
        options = vantrel::DefaultGifExportOptions(request.distinctColors);
        return std::optional<vantrel::GifExportOptions>();
    });
    return copy;
}

const std::vector<vantrel::PackedDib>& Banner() {
    static const std::vector<vantrel::PackedDib> frames = BannerFrames();
    return frames;
}

const std::vector<vantrel::PackedDib>& Photo() {
    static const std::vector<vantrel::PackedDib> frames = PhotoFrames();
    return frames;
}

using Frames = const std::vector<vantrel::PackedDib>& (*)();

// The whole export into memory through the export driver, with the dialog's
// default choices. Argument: 1 with size reduction (the default), 0 without.
void BM_Export(benchmark::State& state, Frames frames) {
    vantrel::GifExportOptions options;
    vantrel::GifExportJob job(DialogCopy(frames(), options));
    options.sizeReduction = state.range(0) != 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        const vantrel::GifExportResult result = job.Encode(options);
        bytes = result.bytes.size();
        benchmark::DoNotOptimize(result.status.ok());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

BENCHMARK_CAPTURE(BM_Export, Banner, &Banner)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export, Photo, &Photo)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// ---- the options dialog's estimate ----

// The dialog's work beyond the plain estimate (BM_Export/1). Argument: 1 the
// search under half the default size, 2 the estimate with the preview of the
// middle frame, 3 that preview alone.
void BM_Estimate(benchmark::State& state, Frames frames) {
    vantrel::GifExportOptions options;
    const auto copy = DialogCopy(frames(), options);
    const vantrel::GifExportResult plain = vantrel::GifExportJob(copy).Encode(options);
    if (!plain.status) state.SkipWithError("export failed");
    const std::uint64_t budget = plain.bytes.size() / 2;
    vantrel::GifExportRun run;
    if (state.range(0) != 1) run.previewImage = copy->pixels.size() / 2;
    vantrel::GifExportJob job(copy, run);
    std::size_t bytes = 0;
    int trials = 0;
    for (auto _ : state) {
        const vantrel::GifExportResult result = state.range(0) == 2   ? job.Encode(options)
                                                : state.range(0) == 3 ? job.Preview(options)
                                                                      : job.Fit(budget, options);
        bytes = result.bytes.size();
        trials = result.report.trials;
        benchmark::DoNotOptimize(result.status.ok());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["trials"] = trials;
}

BENCHMARK_CAPTURE(BM_Estimate, Banner, &Banner)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Estimate, Photo, &Photo)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace
