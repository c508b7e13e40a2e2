// bench-libs: vantrel_document
// An autosave of a document of 21 frames of 1200 x 1200, each holding a
// canvas-sized bitmap: the part on the user-interface thread (a snapshot,
// items cloned sharing their pixels) and the part on the worker thread (the
// document's bytes made from the snapshot), beside the reference of copying
// the same pixel bytes once (memcpy), the least any copy of the document
// on the user-interface thread would cost.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "document/AnimFrame.h"
#include "document/BitmapItem.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"
#include "document/DocumentSnapshot.h"

namespace vantrel {
namespace {

constexpr int kSide = 1200;
constexpr int kFrames = 21;

std::unique_ptr<CQVDoc> LargeDocument() {
    auto doc = std::make_unique<CQVDoc>();
    Animation& animation = doc->GetAnimation();
    animation.SetSize(kSide, kSide);
    std::mt19937 random(21);
    for (int f = 0; f < kFrames; ++f) {
        AnimFrame* frame = f == 0 ? animation.FirstFrame() : animation.AppendFrame();
        PackedDib pixels;
        pixels.SetSize(kSide, kSide);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) pixels.Row(y)[x] = random() & 0x00FFFFFF;
        frame->AppendItem(BitmapItem::FromImage(std::move(pixels)));
    }
    animation.RenderAll();
    return doc;
}

void BM_AutosaveSnapshot_UiThread(benchmark::State& state) {
    const auto doc = LargeDocument();
    for (auto _ : state) {
        auto snapshot = SnapshotDocument(*doc);
        benchmark::DoNotOptimize(snapshot);
    }
}
BENCHMARK(BM_AutosaveSnapshot_UiThread)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_AutosaveBytes_WorkerThread(benchmark::State& state) {
    const auto doc = LargeDocument();
    const auto snapshot = SnapshotDocument(*doc);
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto serialised = SnapshotBytes(*snapshot);
        bytes = serialised ? serialised->size() : 0;
        benchmark::DoNotOptimize(serialised);
    }
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_AutosaveBytes_WorkerThread)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_Reference_CopyPixels(benchmark::State& state) {
    const std::size_t bytes = std::size_t{kFrames} * kSide * kSide * 4;
    std::vector<std::uint8_t> from(bytes, 1);
    std::vector<std::uint8_t> to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(BM_Reference_CopyPixels)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace vantrel
