// bench-libs: vantrel_edit vantrel_document
// Pen painting: one segment of a stroke run as a command through the
// document's history (the way the Pen tool paints), beside the reference of
// the bare line drawn into the bitmap's pixels. The bitmap covers the
// canvas, as a frame read from a GIF does; the argument is its side. A
// segment's cost should follow the segment, not the bitmap.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/BitmapItem.h"
#include "document/CQVDoc.h"
#include "edit/ItemEditCommands.h"

namespace vantrel {
namespace {

// The segments of the strokes: short steps around a small circle in the
// middle of the bitmap, a new stroke every kStrokeLength segments.
constexpr int kStrokeLength = 64;

Point StrokePoint(Point origin, int side, int i) {
    const double angle = i * 0.4;
    return {origin.x + side / 2 + int(std::lround(8 * std::cos(angle))),
            origin.y + side / 2 + int(std::lround(8 * std::sin(angle)))};
}

std::unique_ptr<BitmapItem> Picture(int side) {
    PackedDib image;
    image.SetSize(side, side);
    for (int y = 0; y < side; ++y) {
        PixelValue* row = image.Row(y);
        for (int x = 0; x < side; ++x) row[x] = PixelValue(x * 0x010203 + y * 0x030201) & 0xFFFFFF;
    }
    return BitmapItem::FromImage(std::move(image));
}

void BM_PenSegment(benchmark::State& state) {
    const int side = int(state.range(0));
    CQVDoc doc;
    doc.GetAnimation().SetSize(side, side);
    AnimFrame& frame = *doc.GetAnimation().FirstFrame();
    const Point origin = frame.Canvas().TopLeft();
    std::unique_ptr<BitmapItem> picture = Picture(side);
    picture->MoveTo(origin.x, origin.y);
    const ObjectUid item = frame.AppendItem(std::move(picture))->Uid();
    doc.GetAnimation().RenderAll();
    int i = 0;
    std::uint64_t stroke = 1;
    for (auto _ : state) {
        auto paint = std::make_unique<PaintLineCommand>(frame.Uid(), item, StrokePoint(origin, side, i),
                                                        StrokePoint(origin, side, i + 1),
                                                        0x00102030u * std::uint32_t(stroke % 5));
        paint->SetMergeKey(stroke);
        doc.Execute(std::move(paint));
        if (++i % kStrokeLength == 0) {
            ++stroke;
            if (doc.History().StepCount() >= 100) {
                state.PauseTiming();
                doc.History().Clear();
                state.ResumeTiming();
            }
        }
    }
    benchmark::DoNotOptimize(frame.Image().Row(0)[0]);
}
BENCHMARK(BM_PenSegment)->Arg(20)->Arg(300)->Arg(1200)->Unit(benchmark::kMicrosecond);

// The reference: the same lines drawn straight into the bitmap.
void BM_PenSegment_BareLine(benchmark::State& state) {
    const int side = int(state.range(0));
    std::unique_ptr<BitmapItem> bitmap = Picture(side);
    int i = 0;
    for (auto _ : state) {
        const Point from = StrokePoint({}, side, i);
        const Point to = StrokePoint({}, side, ++i);
        bitmap->DrawLine(from.x, from.y, to.x, to.y, 0x00102030u * std::uint32_t(i / kStrokeLength % 5));
    }
    benchmark::DoNotOptimize(bitmap->Image().Row(0)[0]);
}
BENCHMARK(BM_PenSegment_BareLine)->Arg(20)->Arg(300)->Arg(1200)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantrel
