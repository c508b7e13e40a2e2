// bench-libs: vantrel_codec
// Reading a GIF animation into 32-bit pixel buffers: our three reading steps
// (ReadGif, DecodeImages, BuildPixelBuffers) against giflib's DGifSlurp
// followed by the same expansion of indices through the palette into 32-bit
// pixels (DGifSlurp already returns interlaced rows top-down). Both sides
// start from the same bytes in memory and end with one 32-bit buffer per
// image. The animation (20 frames of 1200 x 1200, flat areas, gradients and
// noise, every fourth frame interlaced, some with transparency) is written
// once at start with giflib's encoder.

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "codec/GifFile.h"

namespace {

constexpr int kFrames = 20;
constexpr int kSide = 1200;
constexpr std::int64_t kPixelsPerFile = std::int64_t{kFrames} * kSide * kSide;

int AppendBytes(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

// One frame: a flat background with flat rectangles, a gradient band and
// noisy patches.
std::vector<std::uint8_t> MakeFrame(std::mt19937& rng, int frame) {
    std::vector<std::uint8_t> indices(std::size_t{kSide} * kSide);
    std::uniform_int_distribution<int> any(0, 255);
    const auto background = static_cast<std::uint8_t>(any(rng));
    std::fill(indices.begin(), indices.end(), background);
    for (int r = 0; r < 12; ++r) {
        const int x0 = static_cast<int>(rng() % kSide), y0 = static_cast<int>(rng() % kSide);
        const int x1 = std::min(kSide, x0 + 50 + static_cast<int>(rng() % 400));
        const int y1 = std::min(kSide, y0 + 50 + static_cast<int>(rng() % 400));
        const auto colour = static_cast<std::uint8_t>(any(rng));
        const bool noisy = r % 3 == 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                indices[std::size_t(y) * kSide + x] = noisy ? static_cast<std::uint8_t>(any(rng)) : colour;
            }
        }
    }
    for (int y = 300 + frame * 10; y < 500 + frame * 10; ++y) {
        for (int x = 0; x < kSide; ++x) indices[std::size_t(y) * kSide + x] = static_cast<std::uint8_t>((x + y) / 10);
    }
    return indices;
}

std::vector<std::uint8_t> MakeAnimation() {
    std::mt19937 rng(1200);
    std::vector<std::uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, AppendBytes, &error);
    if (!gif) return {};
    EGifSetGifVersion(gif, true);
    std::vector<GifColorType> colors(256);
    for (int k = 0; k < 256; ++k) {
        colors[k] = GifColorType{static_cast<GifByteType>(k), static_cast<GifByteType>(255 - k),
                                 static_cast<GifByteType>(k * 3)};
    }
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    bool ok = EGifPutScreenDesc(gif, kSide, kSide, 8, 0, map) == GIF_OK;
    static const GifByteType kLoop[3] = {1, 0, 0};
    ok = ok && EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK && EGifPutExtensionBlock(gif, 3, kLoop) == GIF_OK &&
         EGifPutExtensionTrailer(gif) == GIF_OK;
    for (int f = 0; f < kFrames && ok; ++f) {
        GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 10, f % 3 == 0 ? 7 : NO_TRANSPARENT_COLOR};
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_OK;
        const bool interlaced = f % 4 == 3;
        ok = ok && EGifPutImageDesc(gif, 0, 0, kSide, kSide, interlaced, nullptr) == GIF_OK;
        std::vector<std::uint8_t> frame = MakeFrame(rng, f);
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < (interlaced ? 4 : 1) && ok; ++pass) {
            for (int y = interlaced ? kStart[pass] : 0; y < kSide && ok; y += interlaced ? kStep[pass] : 1) {
                ok = EGifPutLine(gif, frame.data() + std::size_t(y) * kSide, kSide) == GIF_OK;
            }
        }
    }
    GifFreeMapObject(map);
    if (EGifCloseFile(gif, &error) != GIF_OK || !ok) return {};  // the benchmarks then report an error
    return out;
}

const std::vector<std::uint8_t>& Animation() {
    static const std::vector<std::uint8_t> bytes = MakeAnimation();
    return bytes;
}

void SetRate(benchmark::State& state) {
    state.counters["MPixels/s"] = benchmark::Counter(
        static_cast<double>(kPixelsPerFile) * static_cast<double>(state.iterations()) / 1e6,
        benchmark::Counter::kIsRate);
    state.counters["fileBytes"] = static_cast<double>(Animation().size());
}

// False (and the benchmark skipped) when giflib could not write the animation.
bool HaveAnimation(benchmark::State& state) {
    if (!Animation().empty()) return true;
    state.SkipWithError("giflib could not write the animation");
    return false;
}

void BM_VantrelReadDecodeBuild(benchmark::State& state) {
    if (!HaveAnimation(state)) return;
    const auto& bytes = Animation();
    for (auto _ : state) {
        vantrel::GifFile gif;
        if (!gif.ReadGif(bytes)) state.SkipWithError("ReadGif failed");
        gif.DecodeImages();
        gif.BuildPixelBuffers();
        benchmark::DoNotOptimize(gif.images.back().pixels->Row(0));
    }
    SetRate(state);
}
BENCHMARK(BM_VantrelReadDecodeBuild)->Unit(benchmark::kMillisecond);

struct MemorySource {
    const std::vector<std::uint8_t>* bytes;
    std::size_t position;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int length) {
    auto* source = static_cast<MemorySource*>(gif->UserData);
    const std::size_t take = std::min<std::size_t>(static_cast<std::size_t>(length),
                                                   source->bytes->size() - source->position);
    std::memcpy(buffer, source->bytes->data() + source->position, take);
    source->position += take;
    return static_cast<int>(take);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using SlurpedGif = std::unique_ptr<GifFileType, GifCloser>;

// giflib's whole-file read of bytes; null, and the benchmark marked failed, when it fails.
SlurpedGif Slurp(benchmark::State& state, const std::vector<std::uint8_t>& bytes) {
    MemorySource source{&bytes, 0};
    int error = 0;
    SlurpedGif gif(DGifOpen(&source, ReadFromMemory, &error));
    if (!gif || DGifSlurp(gif.get()) != GIF_OK) {
        state.SkipWithError("DGifSlurp failed");
        return nullptr;
    }
    gif->UserData = nullptr;  // the source ends here; nothing is read after the slurp
    return gif;
}

void BM_GiflibSlurpAndExpand(benchmark::State& state) {
    if (!HaveAnimation(state)) return;
    const auto& bytes = Animation();
    for (auto _ : state) {
        const SlurpedGif gif = Slurp(state, bytes);
        if (!gif) break;
        // The same output as ours: one zeroed 32-bit buffer per image, bottom-up,
        // filled through a 256-entry pixel table with the transparent index marked.
        std::vector<std::unique_ptr<std::uint32_t[]>> buffers;
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& image = gif->SavedImages[i];
            const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
            GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
            DGifSavedExtensionToGCB(gif.get(), i, &control);
            std::uint32_t table[256] = {};
            for (int k = 0; map && k < map->ColorCount; ++k) {
                const GifColorType& c = map->Colors[k];
                table[k] = (std::uint32_t{c.Red} << 16) | (std::uint32_t{c.Green} << 8) | c.Blue;
            }
            if (control.TransparentColor >= 0) table[control.TransparentColor] |= 0xFF000000u;
            const int w = image.ImageDesc.Width, h = image.ImageDesc.Height;
            auto pixels = std::make_unique<std::uint32_t[]>(std::size_t(w) * h);
            for (int y = 0; y < h; ++y) {
                const GifByteType* src = image.RasterBits + std::size_t(y) * w;
                std::uint32_t* row = pixels.get() + std::size_t(h - 1 - y) * w;
                for (int x = 0; x < w; ++x) row[x] = table[src[x]];
            }
            buffers.push_back(std::move(pixels));
        }
        benchmark::DoNotOptimize(buffers.back().get());
    }
    SetRate(state);
}
BENCHMARK(BM_GiflibSlurpAndExpand)->Unit(benchmark::kMillisecond);

// The decompression alone: our DecodeImages against DGifSlurp (which also
// parses the blocks; parsing is a small part of either).
void BM_VantrelDecodeImagesOnly(benchmark::State& state) {
    if (!HaveAnimation(state)) return;
    vantrel::GifFile gif;
    gif.ReadGif(Animation());
    for (auto _ : state) {
        gif.DecodeImages();
        benchmark::DoNotOptimize(gif.images.back().indices.data());
    }
    SetRate(state);
}
BENCHMARK(BM_VantrelDecodeImagesOnly)->Unit(benchmark::kMillisecond);

void BM_GiflibSlurpOnly(benchmark::State& state) {
    if (!HaveAnimation(state)) return;
    const auto& bytes = Animation();
    for (auto _ : state) {
        const SlurpedGif gif = Slurp(state, bytes);
        if (!gif) break;
        benchmark::DoNotOptimize(gif->SavedImages[gif->ImageCount - 1].RasterBits);
    }
    SetRate(state);
}
BENCHMARK(BM_GiflibSlurpOnly)->Unit(benchmark::kMillisecond);

}  // namespace
