// bench-libs: vantrel_codec PNG::PNG
// Writing one rendered frame of 1000 x 175 (the size of the frames of the
// corpora's sample_big.gif) to PNG bytes in memory: our encoder against
// libpng at its default settings (RGBA, zlib level 6, adaptive filters) and
// against libpng at level 1 with Sub rows and run-length matching (RGBA).
// Two pictures: photographic (smooth colours with noise, opaque) and flat
// artwork with some fully transparent pixels. The "bytes" counter is the
// file size.

#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdint>
#include <random>
#include <vector>

#include "codec/PngCodec.h"

namespace {

using vantrel::PixelValue;

vantrel::PackedDib Frame(int which) {
    constexpr int kWidth = 1000;
    constexpr int kHeight = 175;
    vantrel::PackedDib dib;
    dib.SetSize(kWidth, kHeight);
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> noise(-12, 12);
    auto clamp = [](int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    for (int y = 0; y < kHeight; ++y) {
        PixelValue* row = dib.Row(y);
        for (int x = 0; x < kWidth; ++x) {
            if (which == 0) {
                row[x] = vantrel::MakePixel(clamp(90 + x / 10 + noise(rng)), clamp(120 + y / 2 + noise(rng)),
                                            clamp(200 - x / 8 + noise(rng)));
            } else {
                const bool hole = (x / 50 + y / 25) % 7 == 0;
                row[x] = hole ? 0xFF000000u
                              : vantrel::MakePixel(static_cast<std::uint8_t>((x / 100) * 25),
                                                   static_cast<std::uint8_t>((y / 35) * 50), 128);
            }
        }
    }
    return dib;
}

const vantrel::PackedDib& Frames(int which) {
    static const vantrel::PackedDib photo = Frame(0);
    static const vantrel::PackedDib flat = Frame(1);
    return which == 0 ? photo : flat;
}

void BM_PngOurs(benchmark::State& state) {
    const vantrel::PackedDib& frame = Frames(static_cast<int>(state.range(0)));
    vantrel::PngEncoder encoder;
    std::vector<std::uint8_t> out;
    for (auto _ : state) {
        if (!encoder.Encode(frame, vantrel::PngAlpha::Inverse, out)) state.SkipWithError("encoding failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = static_cast<double>(out.size());
}

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// libpng reports errors by longjmp: no objects with destructors in here.
bool WriteWithLibpng(png_structp png, png_infop info, bool fast, int width, int height, png_bytepp rows,
                     std::vector<std::uint8_t>& out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &out, AppendBytes, NoFlush);
    if (fast) {
        png_set_compression_level(png, 1);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
        png_set_compression_strategy(png, Z_RLE);
    }
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

// Argument 1: libpng's default settings; 2: level 1, Sub, run-length.
void BM_PngLibpng(benchmark::State& state) {
    const vantrel::PackedDib& frame = Frames(static_cast<int>(state.range(0)));
    const bool fast = state.range(1) == 2;
    const int width = frame.Width();
    const int height = frame.Height();
    std::vector<std::uint8_t> rgba(std::size_t(width) * std::size_t(height) * 4);
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    std::vector<std::uint8_t> out;
    for (auto _ : state) {
        // the same work as ours: pixels to RGBA rows, then the file
        for (int y = 0; y < height; ++y) {
            std::uint8_t* dst = rgba.data() + std::size_t(y) * std::size_t(width) * 4;
            rows[std::size_t(y)] = dst;
            const PixelValue* src = frame.Row(y);
            for (int x = 0; x < width; ++x, dst += 4) {
                dst[0] = vantrel::RedOf(src[x]);
                dst[1] = vantrel::GreenOf(src[x]);
                dst[2] = vantrel::BlueOf(src[x]);
                dst[3] = static_cast<std::uint8_t>(255 - vantrel::TransparencyOf(src[x]));
            }
        }
        out.clear();
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (png == nullptr || info == nullptr || !WriteWithLibpng(png, info, fast, width, height, rows.data(), out))
            state.SkipWithError("libpng failed");
        png_destroy_write_struct(&png, &info);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = static_cast<double>(out.size());
}

// Argument 0: photographic; 1: flat with transparent holes.
BENCHMARK(BM_PngOurs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PngLibpng)->Args({0, 1})->Args({0, 2})->Args({1, 1})->Args({1, 2})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
