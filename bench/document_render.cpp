// bench-libs: vantrel_document
// Frame rendering: RenderAll of a full-size document, and one drag step of
// the select tool (MoveSelectedBy with its composite rebuild).

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "document/Animation.h"
#include "document/BitmapItem.h"

namespace vantrel {
namespace {

// An item of w x h noise; a quarter of its pixels transparent or half
// transparent when it blends with what lies beneath.
std::unique_ptr<BitmapItem> NoiseItem(std::mt19937& random, int w, int h, bool blend) {
    PackedDib image;
    image.SetSize(w, h);
    for (int y = 0; y < h; ++y) {
        PixelValue* row = image.Row(y);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t r = random();
            std::uint32_t t = 0;
            if (blend && (r >> 30) == 0) t = (r & 0x100) ? 255 : 128;
            row[x] = (t << 24) | (r & 0xFFFFFF);
        }
    }
    auto item = BitmapItem::FromImage(std::move(image), blend);
    item->MoveTo(int(random() % (1200 - w + 1)), int(random() % (1200 - h + 1)));
    return item;
}

void BM_RenderAll_20Frames10Items(benchmark::State& state) {
    std::mt19937 random(7);
    Animation animation;
    animation.SetSize(1200, 1200);
    for (int f = 0; f < 20; ++f) {
        AnimFrame* frame = f == 0 ? animation.FirstFrame() : animation.AppendFrame();
        for (int i = 0; i < 10; ++i) {
            const int w = 100 + int(random() % 400), h = 100 + int(random() % 400);
            frame->AppendItem(NoiseItem(random, w, h, i % 2 == 1));
        }
        if (f > 0 && f % 2 == 0) frame->SetBackgroundFrame(animation.PreviousFrame(frame));
    }
    for (auto _ : state) {
        animation.RenderAll();
        benchmark::DoNotOptimize(animation.LastFrame()->Image().Row(0)[0]);
    }
    state.counters["frames/s"] = benchmark::Counter(20.0, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RenderAll_20Frames10Items)->Unit(benchmark::kMillisecond);

void BM_DragStep_MiddleOf50Items(benchmark::State& state) {
    std::mt19937 random(11);
    Animation animation;
    animation.SetSize(1200, 1200);
    AnimFrame& frame = *animation.FirstFrame();
    CanvasItem* dragged = nullptr;
    for (int i = 0; i < 50; ++i) {
        const int w = 80 + int(random() % 240), h = 80 + int(random() % 240);
        CanvasItem* item = frame.AppendItem(NoiseItem(random, w, h, i % 2 == 1));
        if (i == 25) dragged = item;
    }
    frame.UpdateAllComposites();
    dragged->SetSelected(true);
    int step = 1;
    for (auto _ : state) {
        frame.MoveSelectedBy(step, step);
        step = -step;
        benchmark::DoNotOptimize(frame.Top()->Composite().Row(0)[0]);
    }
}
BENCHMARK(BM_DragStep_MiddleOf50Items)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel
