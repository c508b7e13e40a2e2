// bench-libs: vantrel_imaging vantrel_core
// Resizing a picture: smooth resampling (area average when shrinking,
// bilinear when growing) beside the reference of the sharp pixel-box
// average it is offered next to (PackedDib::Resample), on the same
// pictures in the same run. Arguments: the side of the square picture and
// the new side. Opaque pictures take a shorter path than pictures with
// transparency, so both are measured.

#include <benchmark/benchmark.h>

#include <optional>

#include "core/PackedDib.h"
#include "imaging/Resample.h"

namespace vantrel {
namespace {

// A picture of changing colours; with holes, every fourth column is fully transparent.
PackedDib Picture(int side, bool holes) {
    PackedDib image;
    image.SetSize(side, side);
    for (int y = 0; y < side; ++y) {
        PixelValue* row = image.Row(y);
        for (int x = 0; x < side; ++x) {
            row[x] = PixelValue(x * 0x010203 + y * 0x030201) & 0xFFFFFF;
            if (holes && x % 4 == 0) row[x] |= 0xFF000000;
        }
    }
    return image;
}

void Run(benchmark::State& state, ResampleMode mode, bool holes = false) {
    const PackedDib picture = Picture(int(state.range(0)), holes);
    const int side = int(state.range(1));
    for (auto _ : state) {
        std::optional<PackedDib> resized = Resampled(picture, side, side, mode);
        benchmark::DoNotOptimize(resized);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(side) * side);
}

void BM_Smooth(benchmark::State& state) { Run(state, ResampleMode::Smooth); }
void BM_SmoothTransparent(benchmark::State& state) { Run(state, ResampleMode::Smooth, true); }
void BM_SharpReference(benchmark::State& state) { Run(state, ResampleMode::Sharp); }

// Shrinking a large picture by a third, growing a small one by a non-whole factor.
void Sizes(benchmark::internal::Benchmark* b) {
    b->Args({1200, 800})->Args({120, 300})->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_Smooth)->Apply(Sizes);
BENCHMARK(BM_SmoothTransparent)->Apply(Sizes);
BENCHMARK(BM_SharpReference)->Apply(Sizes);

}  // namespace
}  // namespace vantrel
