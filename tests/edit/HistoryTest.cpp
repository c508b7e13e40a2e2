// The undo history and the item commands, checked against the document's
// own file bytes and rendered frames: undo must give back exactly what was
// there, redo exactly what the command made.

#include <gtest/gtest.h>

#include <random>

#include "document/AnimFrame.h"
#include "document/BoxItem.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"
#include "../document/DocTestUtil.h"
#include "EditTestUtil.h"
#include "edit/ItemCommands.h"
#include "edit/ItemEditCommands.h"

namespace vantrel {
namespace {

using test::SolidItem;

using test::Snapshot;
using test::Take;

// A document with two frames, the second lying over the first, and three
// items in the first (one blending).
std::unique_ptr<CQVDoc> MakeDoc() { return test::MakeTestDoc({.blendingMiddle = true}); }

std::vector<ObjectUid> UidsOf(const AnimFrame& frame) {
    std::vector<ObjectUid> uids;
    for (const CanvasItem* item : frame.BottomToTop()) uids.push_back(item->Uid());
    return uids;
}

// One command of each kind on the first frame of doc.
std::vector<std::unique_ptr<Command>> OneOfEach(CQVDoc& doc) {
    AnimFrame& f = *doc.GetAnimation().FirstFrame();
    const ObjectUid frame = f.Uid();
    std::vector<ObjectUid> items = UidsOf(f);
    // After random steps fewer than three items may be left: the missing
    // ones are named by 0, which no item has, so those commands find nothing.
    if (items.size() < 3) items.resize(3, 0);
    std::vector<std::unique_ptr<Command>> commands;
    auto box = std::make_unique<BoxItem>();
    box->SetBounds({700, 590, 760, 620});
    commands.push_back(std::make_unique<AddItemCommand>("Draw Rectangle", frame, std::move(box)));
    commands.push_back(std::make_unique<AddItemCommand>("Paste", frame, SolidItem({600, 580, 640, 600}, 0), items[0]));
    commands.push_back(std::make_unique<RemoveItemsCommand>("Delete", frame, std::vector{items[0], items[2]}));
    commands.push_back(std::make_unique<MoveItemsCommand>("Move", frame, std::vector{items[1]}, Point{7, -3}));
    // The edits in place take their values from the items as they are now.
    const CanvasItem* painted = f.FindItemByUid(items[1]);
    const Rect p = painted ? painted->Bounds() : Rect{};
    commands.push_back(std::make_unique<PaintLineCommand>(frame, items[1], Point{p.left, p.top},
                                                          Point{p.left + 9, p.top + 4}, 0x00123456));
    const CanvasItem* resized = f.FindItemByUid(items[2]);
    commands.push_back(std::make_unique<ResizeItemCommand>("Resize", frame, items[2],
                                                           resized ? resized->Bounds().Inflate(5, 2) : Rect{}));
    commands.push_back(std::make_unique<ReplaceItemCommand>("Replace", frame, items[0], SolidItem({620, 590, 640, 610}, 0x40FF00FF, true)));
    return commands;
}

TEST(UndoHistory, EveryCommandKindUndoesToTheBytesAndFramesAndRedoesToTheAfterState) {
    const std::size_t kinds = OneOfEach(*MakeDoc()).size();
    for (std::size_t k = 0; k < kinds; ++k) {
        auto doc = MakeDoc();
        auto command = std::move(OneOfEach(*doc)[k]);
        const std::string label = command->Label();
        const Snapshot before = Take(*doc);
        ASSERT_TRUE(doc->Execute(std::move(command))) << label;
        const Snapshot after = Take(*doc);
        EXPECT_NE(before, after) << label;
        EXPECT_TRUE(doc->IsModified());
        EXPECT_EQ(doc->History().UndoLabel(), label);

        doc->History().Undo();
        EXPECT_EQ(Take(*doc), before) << label;
        EXPECT_FALSE(doc->IsModified()) << label;
        doc->History().Redo();
        EXPECT_EQ(Take(*doc), after) << label;
    }
}

TEST(UndoHistory, RandomSequencesUndoneAllTheWayGiveBackTheOriginal) {
    std::mt19937 random(1234);
    for (int round = 0; round < 20; ++round) {
        auto doc = MakeDoc();
        const Snapshot original = Take(*doc);
        std::vector<Snapshot> states{original};
        for (int step = 0; step < 6; ++step) {
            auto commands = OneOfEach(*doc);
            if (doc->Execute(std::move(commands[random() % commands.size()]))) states.push_back(Take(*doc));
        }
        while (doc->History().CanUndo()) {
            doc->History().Undo();
            states.pop_back();
            ASSERT_EQ(Take(*doc), states.back()) << "round " << round;
        }
        EXPECT_EQ(Take(*doc), original);
        EXPECT_FALSE(doc->IsModified());
    }
}

TEST(UndoHistory, TheMovesOfOneDragAreOneStepClampedAtTheEdge) {
    auto doc = MakeDoc();
    AnimFrame& f = *doc->GetAnimation().FirstFrame();
    const ObjectUid item = UidsOf(f)[2];
    const Snapshot before = Take(*doc);
    const Rect start = f.FindItemByUid(item)->Bounds();
    for (int i = 0; i < 5; ++i) {
        auto move = std::make_unique<MoveItemsCommand>("Move", f.Uid(), std::vector{item}, Point{0, -300});
        move->SetMergeKey(42);
        doc->Execute(std::move(move));
    }
    EXPECT_EQ(f.FindItemByUid(item)->Bounds().top, 0);  // stopped at the work area's edge
    EXPECT_EQ(doc->History().StepCount(), 1u);
    doc->History().Undo();
    EXPECT_EQ(f.FindItemByUid(item)->Bounds(), start);
    EXPECT_EQ(Take(*doc), before);
    // A move that cannot move anything is no step at all.
    auto stuck = std::make_unique<MoveItemsCommand>("Move", f.Uid(), std::vector{item}, Point{0, 0});
    EXPECT_FALSE(doc->Execute(std::move(stuck)));
}

TEST(UndoHistory, ModifiedFollowsTheCleanIndex) {
    auto doc = MakeDoc();
    const ObjectUid frame = doc->GetAnimation().FirstFrame()->Uid();
    const ObjectUid item = UidsOf(*doc->GetAnimation().FirstFrame())[0];
    auto move = [&](int dx) { doc->Execute(std::make_unique<MoveItemsCommand>("Move", frame, std::vector{item}, Point{dx, 0})); };
    move(1);
    move(2);
    doc->SetModifiedFlag(false);  // saved here
    EXPECT_FALSE(doc->IsModified());
    doc->History().Undo();
    EXPECT_TRUE(doc->IsModified());
    doc->History().Redo();
    EXPECT_FALSE(doc->IsModified());
    doc->History().Undo();
    move(3);  // the saved state can no longer be reached
    EXPECT_TRUE(doc->IsModified());
    doc->History().Undo();
    EXPECT_TRUE(doc->IsModified());
}

TEST(UndoHistory, TheChangeSerialMovesWithEveryChangeAndOnlyThen) {
    auto doc = MakeDoc();
    const ObjectUid frame = doc->GetAnimation().FirstFrame()->Uid();
    const ObjectUid item = UidsOf(*doc->GetAnimation().FirstFrame())[0];
    auto move = [&](Point by) { return doc->Execute(std::make_unique<MoveItemsCommand>("Move", frame, std::vector{item}, by)); };
    std::uint64_t last = doc->History().ChangeSerial();
    auto changed = [&] {
        const std::uint64_t now = doc->History().ChangeSerial();
        const bool moved = now != last;
        last = now;
        return moved;
    };
    EXPECT_FALSE(move({0, 0}));  // changes nothing
    EXPECT_FALSE(changed());
    ASSERT_TRUE(move({1, 0}));
    EXPECT_TRUE(changed());
    ASSERT_TRUE(move({0, 1}));
    EXPECT_TRUE(changed());
    doc->History().Undo();
    EXPECT_TRUE(changed());
    doc->History().Redo();
    EXPECT_TRUE(changed());
    doc->SetModifiedFlag(true);  // an edit outside the history
    EXPECT_TRUE(changed());
    EXPECT_FALSE(changed());
}

TEST(UndoHistory, TheBudgetDropsTheOldestSteps) {
    auto doc = MakeDoc();
    const ObjectUid frame = doc->GetAnimation().FirstFrame()->Uid();
    const std::size_t itemBytes = 100 * 100 * 4;  // opaque: the composite is the image
    doc->History().SetMemoryBudget(3 * itemBytes);
    for (int i = 0; i < 5; ++i) {
        auto add = std::make_unique<AddItemCommand>("Add", frame, SolidItem({i, i, 100 + i, 100 + i}, 0));
        doc->Execute(std::move(add));
    }
    EXPECT_EQ(doc->History().StepCount(), 3u);
    EXPECT_LE(doc->History().MemoryBytes(), 3 * itemBytes);
    int undone = 0;
    while (doc->History().CanUndo()) doc->History().Undo(), ++undone;
    EXPECT_EQ(undone, 3);
    EXPECT_EQ(doc->GetAnimation().FirstFrame()->CountItems(), 3 + 2);  // the two oldest stay
    EXPECT_TRUE(doc->IsModified());  // the saved state was dropped with them
}

// A replacement holds the old item, and after its undo the new one: the
// history's count must follow, or dropping the undone step would take more
// than it added and the budget would then throw away every older step.
TEST(UndoHistory, MemoryFollowsWhatAnUndoneReplacementHolds) {
    auto doc = MakeDoc();
    AnimFrame& first = *doc->GetAnimation().FirstFrame();
    const ObjectUid frame = first.Uid();
    const ObjectUid small = first.Top()->Uid();
    doc->Execute(std::make_unique<AddItemCommand>("Add", frame, SolidItem({0, 0, 10, 10}, 0)));
    doc->Execute(std::make_unique<ReplaceItemCommand>("Replace", frame, small, SolidItem({0, 0, 300, 300}, 0)));
    doc->History().Undo();
    doc->Execute(std::make_unique<AddItemCommand>("Add", frame, SolidItem({0, 0, 10, 10}, 0)));
    EXPECT_EQ(doc->History().StepCount(), 2u);
    EXPECT_LT(doc->History().MemoryBytes(), std::size_t{1} << 20);
}

TEST(UndoHistory, ATransactionIsOneStepAndRollsBackUnlessCommitted) {
    auto doc = MakeDoc();
    AnimFrame& f = *doc->GetAnimation().FirstFrame();
    const std::vector<ObjectUid> items = UidsOf(f);
    const Snapshot before = Take(*doc);
    {
        Transaction t(doc->History(), "Combine");
        t.Add(std::make_unique<AddItemCommand>("", f.Uid(), SolidItem({0, 0, 10, 10}, 0)));
        t.Add(std::make_unique<RemoveItemsCommand>("", f.Uid(), items));
        EXPECT_FALSE(doc->History().CanUndo());
    }
    EXPECT_EQ(Take(*doc), before);
    EXPECT_EQ(doc->History().StepCount(), 0u);
    {
        Transaction t(doc->History(), "Combine");
        t.Add(std::make_unique<AddItemCommand>("", f.Uid(), SolidItem({0, 0, 10, 10}, 0)));
        t.Add(std::make_unique<RemoveItemsCommand>("", f.Uid(), items));
        t.Commit();
    }
    EXPECT_EQ(doc->History().StepCount(), 1u);
    EXPECT_EQ(doc->History().UndoLabel(), "Combine");
    doc->History().Undo();
    EXPECT_EQ(Take(*doc), before);
}

// Observers hear about each change once, with the frames lying over it.
struct Recorder : DocumentObserver {
    std::vector<std::pair<const AnimFrame*, Rect>> items;
    std::vector<bool> modified;
    void OnItemsChanged(AnimFrame& frame, const Rect& area) override { items.emplace_back(&frame, area); }
    void OnModifiedChanged(bool m) override { modified.push_back(m); }
};

TEST(UndoHistory, ObserversHearTheChangedAreaOfTheFrameAndOfTheFramesOverIt) {
    auto doc = MakeDoc();
    Recorder recorder;
    ScopedObservation observing(*doc, recorder);
    AnimFrame& f = *doc->GetAnimation().FirstFrame();
    const ObjectUid item = UidsOf(f)[0];
    const Rect start = f.FindItemByUid(item)->Bounds();
    doc->Execute(std::make_unique<MoveItemsCommand>("Move", f.Uid(), std::vector{item}, Point{5, 0}));
    ASSERT_EQ(recorder.items.size(), 2u);
    EXPECT_EQ(recorder.items[0].first, &f);
    EXPECT_EQ(recorder.items[1].first, doc->GetAnimation().LastFrame());
    EXPECT_EQ(recorder.items[0].second, Union(start, start.Offset(5, 0)));
    doc->History().Undo();
    EXPECT_EQ(recorder.modified, (std::vector{true, false}));
}

}  // namespace
}  // namespace vantrel
