// bench-libs: vantrel_edit vantrel_document
// Pasting many items and undoing the paste: the clipboard pack unpacked and
// put on the frame as one command composed once, beside the reference of the
// same items added one command each (every item composing the frame again).

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "document/AnimFrame.h"
#include "document/BoxItem.h"
#include "document/CQVDoc.h"
#include "document/ItemPack.h"
#include "edit/ItemCommands.h"

namespace vantrel {
namespace {

// The pack of count boxes of 8 to 40 pixels spread over the work area, as
// Copy makes it.
std::vector<std::uint8_t> BoxPack(int count) {
    std::mt19937 random(16);
    ItemList list;
    for (int i = 0; i < count; ++i) {
        auto box = std::make_unique<BoxItem>();
        const int x = int(random() % 1150), y = int(random() % 1150);
        box->SetBounds({x, y, x + 8 + int(random() % 33), y + 8 + int(random() % 33)});
        list.AppendItem(std::move(box));
    }
    list.SelectAll();
    return *CopySelectedToBlock(list);
}

std::vector<std::unique_ptr<CanvasItem>> Unpack(const std::vector<std::uint8_t>& pack) {
    ItemList unpacked;
    PasteBlock(unpacked, pack);
    std::vector<std::unique_ptr<CanvasItem>> items;
    while (CanvasItem* bottom = unpacked.Bottom()) items.push_back(unpacked.Unlink(bottom));
    return items;
}

std::unique_ptr<CQVDoc> FullSizeDocument() {
    auto doc = std::make_unique<CQVDoc>();
    doc->GetAnimation().SetSize(1200, 1200);
    doc->GetAnimation().RenderAll();
    return doc;
}

void Paste(CQVDoc& doc, const std::vector<std::uint8_t>& pack) {
    const ObjectUid frame = doc.GetAnimation().FirstFrame()->Uid();
    doc.Execute(std::make_unique<AddItemsCommand>("Paste", frame, Unpack(pack)));
}

void BM_Paste(benchmark::State& state) {
    const auto pack = BoxPack(int(state.range(0)));
    auto doc = FullSizeDocument();
    for (auto _ : state) {
        Paste(*doc, pack);
        state.PauseTiming();
        doc->History().Undo();
        state.ResumeTiming();
    }
    state.counters["items/s"] = benchmark::Counter(double(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Paste)->Arg(1000)->Arg(16384)->Unit(benchmark::kMillisecond);

void BM_UndoPaste(benchmark::State& state) {
    const auto pack = BoxPack(int(state.range(0)));
    auto doc = FullSizeDocument();
    for (auto _ : state) {
        state.PauseTiming();
        Paste(*doc, pack);
        state.ResumeTiming();
        doc->History().Undo();
    }
    state.counters["items/s"] = benchmark::Counter(double(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_UndoPaste)->Arg(1000)->Arg(16384)->Unit(benchmark::kMillisecond);

// Reference: the same items as one step of one command per item.
void BM_PasteItemByItem(benchmark::State& state) {
    const auto pack = BoxPack(int(state.range(0)));
    auto doc = FullSizeDocument();
    const ObjectUid frame = doc->GetAnimation().FirstFrame()->Uid();
    for (auto _ : state) {
        {
            Transaction step(doc->History(), "Paste");
            for (auto& item : Unpack(pack)) step.Add(std::make_unique<AddItemCommand>("Paste", frame, std::move(item)));
            step.Commit();
        }
        state.PauseTiming();
        doc->History().Undo();
        state.ResumeTiming();
    }
    state.counters["items/s"] = benchmark::Counter(double(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PasteItemByItem)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace vantrel
