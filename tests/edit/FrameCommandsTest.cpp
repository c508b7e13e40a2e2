// The frame commands, checked against the document's file bytes and rendered
// frames: undo gives back exactly what was there, redo what the command made.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "document/AnimFrame.h"
#include "document/CQVDoc.h"
#include "EditTestUtil.h"
#include "edit/FrameCommands.h"

namespace vantrel {
namespace {

using test::Snapshot;
using test::Take;

// Frames A (items), B (over A, one blending item), C (master, plain).
std::unique_ptr<CQVDoc> MakeDoc() { return test::MakeTestDoc({.masterThird = true, .secondDuration = 25}); }

ObjectUid FrameAt(const CQVDoc& doc, std::size_t i) { return doc.GetAnimation().Frames()[i]->Uid(); }

struct Case {
    const char* name;
    std::function<std::unique_ptr<Command>(const CQVDoc&)> make;
};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases{
        {"insert before the first", [](const CQVDoc& d) { return std::make_unique<InsertFrameCommand>("Insert", FrameAt(d, 0), InsertPlace::Before); }},
        {"insert after the second", [](const CQVDoc& d) { return std::make_unique<InsertFrameCommand>("Insert", FrameAt(d, 1), InsertPlace::After); }},
        {"insert at the end", [](const CQVDoc&) { return std::make_unique<InsertFrameCommand>("Insert", 0, InsertPlace::AtEnd); }},
        {"duplicate the second", [](const CQVDoc& d) { return std::make_unique<DuplicateFrameCommand>("Duplicate", FrameAt(d, 1)); }},
        {"delete the first (under the second)", [](const CQVDoc& d) { return std::make_unique<DeleteFrameCommand>("Delete", FrameAt(d, 0)); }},
        {"delete the second", [](const CQVDoc& d) { return std::make_unique<DeleteFrameCommand>("Delete", FrameAt(d, 1)); }},
        {"move the first to the end", [](const CQVDoc& d) { return std::make_unique<MoveFrameCommand>("Move Frame", FrameAt(d, 0), 2); }},
        {"move the third to the front", [](const CQVDoc& d) { return std::make_unique<MoveFrameCommand>("Move Frame", FrameAt(d, 2), 0); }},
        {"master flag", [](const CQVDoc& d) { return MakeMasterFrameCommand(FrameAt(d, 0), true); }},
        {"duration", [](const CQVDoc& d) { return MakeFrameDurationCommand(FrameAt(d, 1), 7); }},
        {"background colour in the settings", [](const CQVDoc& d) { return std::make_unique<FrameSettingsCommand>("Settings", FrameAt(d, 1), FrameSettingsChange{.backgroundColor = 0x00112233, .backgroundFrame = 0}); }},
        {"background frame", [](const CQVDoc& d) { return MakeBackgroundFrameCommand(FrameAt(d, 2), FrameAt(d, 1)); }},
        {"loop count", [](const CQVDoc&) { return std::make_unique<LoopCountCommand>("Loop Count", 3); }},
        {"canvas size", [](const CQVDoc&) { return std::make_unique<CanvasSizeCommand>("Frame Setup", 100, 41); }},
        {"auto frame size", [](const CQVDoc& d) { return std::make_unique<AutoFrameSizeCommand>("Auto Frame Size", FrameAt(d, 0)); }},
    };
    return cases;
}

TEST(FrameCommands, EachUndoesToTheBytesAndFramesAndRedoesToTheAfterState) {
    for (const Case& c : Cases()) {
        auto doc = MakeDoc();
        auto command = c.make(*doc);
        const std::string label = command->Label();
        const Snapshot before = Take(*doc);
        ASSERT_TRUE(doc->Execute(std::move(command))) << c.name;
        const Snapshot after = Take(*doc);
        EXPECT_NE(before, after) << c.name;
        EXPECT_TRUE(doc->IsModified()) << c.name;
        EXPECT_EQ(doc->History().UndoLabel(), label);

        doc->History().Undo();
        EXPECT_EQ(Take(*doc), before) << c.name;
        EXPECT_FALSE(doc->IsModified()) << c.name;
        doc->History().Redo();
        EXPECT_EQ(Take(*doc), after) << c.name;
        // A second round trip through the held frames changes nothing.
        doc->History().Undo();
        EXPECT_EQ(Take(*doc), before) << c.name;
        doc->History().Redo();
        EXPECT_EQ(Take(*doc), after) << c.name;
    }
}

TEST(FrameCommands, AllUndoneInARowGiveBackTheOriginal) {
    auto doc = MakeDoc();
    const Snapshot original = Take(*doc);
    for (const Case& c : Cases()) doc->Execute(c.make(*doc));
    EXPECT_GT(doc->History().StepCount(), 10u);
    while (doc->History().CanUndo()) doc->History().Undo();
    EXPECT_EQ(Take(*doc), original);
}

TEST(FrameCommands, SecondsBecomeRoundedHundredthsWithinTheGifDelayRange) {
    const struct {
        double seconds;
        std::optional<std::uint32_t> hundredths;
    } table[] = {
        {0.075, 7u}, {2.5, 250u}, {0.29, 29u}, {0.0, 0u}, {0.005, 1u}, {0.125, 13u}, {0.015, 1u}, {655.35, 65535u}, {700.0, 65535u},
        {1e30, 65535u}, {-1.0, std::nullopt}, {-0.001, std::nullopt},
        {std::numeric_limits<double>::infinity(), std::nullopt}, {std::nan(""), std::nullopt},
    };
    for (const auto& row : table) EXPECT_EQ(HundredthsFromSeconds(row.seconds), row.hundredths) << row.seconds;
}

TEST(FrameCommands, DurationIsLimitedToWhatAGifHolds) {
    auto doc = MakeDoc();
    ASSERT_TRUE(doc->Execute(MakeFrameDurationCommand(FrameAt(*doc, 0), 70000)));
    EXPECT_EQ(doc->GetAnimation().FirstFrame()->duration, kMaxFrameDuration);
    EXPECT_FALSE(doc->Execute(MakeFrameDurationCommand(FrameAt(*doc, 0), 65535)));  // no change, no step
}

TEST(FrameCommands, DeletingShowsTheFollowerElseThePreviousAndUnlinksTheFramesOverIt) {
    auto doc = MakeDoc();
    Animation& a = doc->GetAnimation();
    const ObjectUid second = FrameAt(*doc, 1);
    const ObjectUid third = FrameAt(*doc, 2);
    auto first = std::make_unique<DeleteFrameCommand>("Delete", FrameAt(*doc, 0));
    DeleteFrameCommand& deleteFirst = *first;
    ASSERT_TRUE(doc->Execute(std::move(first)));
    EXPECT_EQ(deleteFirst.NextCurrent(), second);
    EXPECT_EQ(a.FirstFrame()->BackgroundFrame(), nullptr);
    // Drawn on its own colour now: white where the deleted frame's red item was.
    EXPECT_EQ(a.FirstFrame()->Image().GetPixel(0, a.Height() - 1) & 0x00FFFFFF, kOpaqueWhite & 0x00FFFFFF);

    auto last = std::make_unique<DeleteFrameCommand>("Delete", third);
    DeleteFrameCommand& deleteLast = *last;
    ASSERT_TRUE(doc->Execute(std::move(last)));
    EXPECT_EQ(deleteLast.NextCurrent(), second);
    // The only frame stays.
    EXPECT_FALSE(doc->Execute(std::make_unique<DeleteFrameCommand>("Delete", second)));

    doc->History().Undo();
    doc->History().Undo();
    EXPECT_EQ(a.FrameCount(), 3u);
    EXPECT_EQ(a.Frames()[1]->BackgroundFrame(), a.FirstFrame());  // the link is back
}

TEST(FrameCommands, ReorderingDropsBackgroundLinksThatWouldPointForwardAndUndoRestoresThem) {
    auto doc = MakeDoc();
    Animation& a = doc->GetAnimation();
    const ObjectUid first = FrameAt(*doc, 0);
    const ObjectUid second = FrameAt(*doc, 1);
    ASSERT_TRUE(doc->Execute(std::make_unique<MoveFrameCommand>("Move Frame", first, 1)));
    EXPECT_EQ(a.Frames()[0]->Uid(), second);
    EXPECT_EQ(a.Frames()[0]->BackgroundFrame(), nullptr);
    for (std::size_t i = 0; i < a.FrameCount(); ++i) {
        const AnimFrame* bg = a.Frames()[i]->BackgroundFrame();
        EXPECT_TRUE(bg == nullptr || a.IndexOf(bg) < std::ptrdiff_t(i)) << i;
    }
    doc->History().Undo();
    EXPECT_EQ(a.Frames()[1]->BackgroundFrame(), a.FindFrameByUid(first));
    // Moving the master to the end keeps every link (nothing lies over it).
    EXPECT_FALSE(doc->Execute(std::make_unique<MoveFrameCommand>("Move Frame", FrameAt(*doc, 2), 2)));
    EXPECT_FALSE(doc->Execute(std::make_unique<MoveFrameCommand>("Move Frame", FrameAt(*doc, 2), 3)));
}

TEST(FrameCommands, ABackgroundFrameMustLieEarlier) {
    auto doc = MakeDoc();
    EXPECT_FALSE(doc->Execute(MakeBackgroundFrameCommand(FrameAt(*doc, 0), FrameAt(*doc, 2))));
    EXPECT_FALSE(doc->Execute(MakeBackgroundFrameCommand(FrameAt(*doc, 1), FrameAt(*doc, 1))));
    EXPECT_EQ(doc->History().StepCount(), 0u);
}

TEST(FrameCommands, DuplicateCopiesItemsAsNewItemsAndLooksTheSame) {
    auto doc = MakeDoc();
    Animation& a = doc->GetAnimation();
    const AnimFrame& source = *a.Frames()[1];
    auto command = std::make_unique<DuplicateFrameCommand>("Duplicate", source.Uid());
    DuplicateFrameCommand& duplicate = *command;
    ASSERT_TRUE(doc->Execute(std::move(command)));
    const AnimFrame& copy = *a.Frames()[2];
    EXPECT_EQ(copy.Uid(), duplicate.FrameUid());
    EXPECT_EQ(copy.CountItems(), source.CountItems());
    EXPECT_NE(copy.Bottom()->Uid(), source.Bottom()->Uid());
    EXPECT_EQ(copy.duration, source.duration);
    EXPECT_EQ(copy.BackgroundFrame(), source.BackgroundFrame());
    EXPECT_EQ(test::PixelsOf(copy.Image()), test::PixelsOf(source.Image()));
}

TEST(FrameCommands, InsertingTakesTheSettingsOfTheReferenceAndBecomesTheHeadBeforeTheFirst) {
    auto doc = MakeDoc();
    Animation& a = doc->GetAnimation();
    auto command = std::make_unique<InsertFrameCommand>("Insert", FrameAt(*doc, 1), InsertPlace::Before);
    InsertFrameCommand& insert = *command;
    ASSERT_TRUE(doc->Execute(std::move(command)));
    const AnimFrame& made = *a.Frames()[1];
    EXPECT_EQ(made.Uid(), insert.FrameUid());
    EXPECT_EQ(made.duration, 25u);
    EXPECT_EQ(made.BackgroundFrame(), a.FirstFrame());
    EXPECT_TRUE(made.IsEmpty());
    ASSERT_TRUE(doc->Execute(std::make_unique<InsertFrameCommand>("Insert", FrameAt(*doc, 0), InsertPlace::Before)));
    EXPECT_EQ(a.FrameCount(), 5u);
    EXPECT_TRUE(a.FirstFrame()->IsEmpty());
}

TEST(FrameCommands, AutoFrameSizeOnAFrameWithoutItemsIsNoStep) {
    auto doc = MakeDoc();
    EXPECT_FALSE(doc->Execute(std::make_unique<AutoFrameSizeCommand>("Auto Frame Size", FrameAt(*doc, 2))));
    EXPECT_FALSE(doc->Execute(std::make_unique<LoopCountCommand>("Loop Count", 0)));
    ASSERT_TRUE(doc->Execute(std::make_unique<LoopCountCommand>("Loop Count", 70000)));
    EXPECT_EQ(doc->GetAnimation().loopCount, kMaxLoopCount);
}

}  // namespace
}  // namespace vantrel
