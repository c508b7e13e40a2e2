// Edits of several frames at once: each is one step of the history that
// undoes to the document's exact bytes and rendered frames.

#include "edit/FrameRangeCommands.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "EditTestUtil.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"

namespace vantrel {
namespace {

using test::SolidItem;
using test::Snapshot;
using test::Take;

struct FrameSpec {
    PixelValue color;
    std::uint32_t duration;
    bool master = false;
};

// One frame per entry, each showing one solid item of its colour.
std::unique_ptr<CQVDoc> MakeDoc(const std::vector<FrameSpec>& specs) {
    auto doc = std::make_unique<CQVDoc>();
    Animation& a = doc->GetAnimation();
    a.SetSize(20, 10);
    for (std::size_t i = 0; i < specs.size(); ++i) {
        AnimFrame& frame = i == 0 ? *a.FirstFrame() : *a.AppendFrame();
        const Rect c = frame.Canvas();
        frame.AppendItem(SolidItem({c.left + 2, c.top + 2, c.left + 8, c.top + 6}, specs[i].color));
        frame.duration = specs[i].duration;
        frame.isMaster = specs[i].master;
    }
    a.RenderAll();
    doc->SetModifiedFlag(false);
    return doc;
}

std::vector<ObjectUid> Uids(const CQVDoc& doc) {
    std::vector<ObjectUid> uids;
    for (const auto& frame : doc.GetAnimation().Frames()) uids.push_back(frame->Uid());
    return uids;
}

std::vector<std::uint32_t> Durations(const CQVDoc& doc) {
    std::vector<std::uint32_t> durations;
    for (const auto& frame : doc.GetAnimation().Frames()) durations.push_back(frame->duration);
    return durations;
}

// What a viewer sees, hundredth by hundredth: runs of the same picture with
// their total time (master frames are not played).
std::vector<std::pair<std::vector<std::uint8_t>, std::uint32_t>> Timeline(const CQVDoc& doc) {
    std::vector<std::pair<std::vector<std::uint8_t>, std::uint32_t>> runs;
    for (const auto& frame : doc.GetAnimation().Frames()) {
        if (frame->isMaster) continue;
        std::vector<std::uint8_t> pixels = test::PixelsOf(frame->Image());
        if (!runs.empty() && runs.back().first == pixels)
            runs.back().second += frame->duration;
        else
            runs.emplace_back(std::move(pixels), frame->duration);
    }
    return runs;
}

constexpr PixelValue kRed = 0x000000FF;
constexpr PixelValue kBlue = 0x00FF0000;
constexpr PixelValue kGreen = 0x0000FF00;
constexpr PixelValue kGrey = 0x00808080;

const std::vector<FrameSpec> kFive{{kRed, 10}, {kBlue, 20}, {kGreen, 30}, {kGrey, 40}, {kRed, 50, true}};

struct RangeCase {
    const char* name;
    std::vector<std::size_t> chosen;  // list positions
    std::function<Status(CQVDoc&, std::span<const ObjectUid>)> edit;
};

TEST(FrameRangeCommands, EachIsOneStepThatUndoesToTheBytesAndRedoesToTheAfterState) {
    const RangeCase cases[] = {
        {"delete 2-4", {1, 2, 3}, DeleteFrames},
        {"duplicate 1 and 3", {2, 0}, DuplicateFrames},
        {"masters 1-2", {0, 1}, [](CQVDoc& d, auto f) { return SetFramesMaster(d, f, true); }},
        {"duration 2-5", {1, 2, 3, 4}, [](CQVDoc& d, auto f) { return SetFramesDuration(d, f, 50); }},
        {"reverse all", {0, 1, 2, 3, 4}, ReverseFrames},
        {"speed 200", {0, 1, 2, 3, 4}, [](CQVDoc& d, auto f) { return ChangeFramesSpeed(d, f, 200); }},
        {"move 1 and 3 to the end", {2, 0}, [](CQVDoc& d, auto f) { return MoveFrames(d, f, 5); }},
    };
    for (const RangeCase& c : cases) {
        auto doc = MakeDoc(kFive);
        std::vector<ObjectUid> chosen;
        for (const std::size_t i : c.chosen) chosen.push_back(Uids(*doc)[i]);
        const Snapshot before = Take(*doc);
        const std::size_t steps = doc->History().Index();
        ASSERT_TRUE(c.edit(*doc, chosen).ok()) << c.name;
        EXPECT_EQ(doc->History().Index(), steps + 1) << c.name;
        const Snapshot after = Take(*doc);
        EXPECT_NE(before, after) << c.name;
        doc->History().Undo();
        EXPECT_EQ(Take(*doc), before) << c.name;
        EXPECT_FALSE(doc->IsModified()) << c.name;
        doc->History().Redo();
        EXPECT_EQ(Take(*doc), after) << c.name;
    }
}

TEST(FrameRangeCommands, ResultsOfEachEdit) {
    auto doc = MakeDoc(kFive);
    const std::vector<ObjectUid> u = Uids(*doc);

    ASSERT_TRUE(SetFramesDuration(*doc, std::vector{u[3], u[1], u[2]}, 50).ok());
    EXPECT_EQ(Durations(*doc), (std::vector<std::uint32_t>{10, 50, 50, 50, 50}));

    // Positions 1, 3 and 4 swap among themselves; 0 and 2 stay.
    ASSERT_TRUE(ReverseFrames(*doc, std::vector{u[1], u[3], u[4]}).ok());
    EXPECT_EQ(Uids(*doc), (std::vector{u[0], u[4], u[2], u[3], u[1]}));

    ASSERT_TRUE(DuplicateFrames(*doc, std::vector{u[0], u[2]}).ok());
    const std::vector<ObjectUid> d = Uids(*doc);
    ASSERT_EQ(d.size(), 7u);
    EXPECT_EQ(d[0], u[0]);
    EXPECT_EQ(d[2], u[4]);
    EXPECT_EQ(d[3], u[2]);
    EXPECT_EQ(d[5], u[3]);
    // The copies follow their frames and render as they do.
    const auto& frames = doc->GetAnimation().Frames();
    EXPECT_EQ(test::PixelsOf(frames[1]->Image()), test::PixelsOf(frames[0]->Image()));
    EXPECT_EQ(test::PixelsOf(frames[4]->Image()), test::PixelsOf(frames[3]->Image()));

    ASSERT_TRUE(DeleteFrames(*doc, std::vector{d[1], d[4]}).ok());
    EXPECT_EQ(Uids(*doc), (std::vector{u[0], u[4], u[2], u[3], u[1]}));
}

TEST(FrameRangeCommands, RefusalsChangeNothing) {
    auto doc = MakeDoc(kFive);
    const std::vector<ObjectUid> u = Uids(*doc);
    const Snapshot before = Take(*doc);
    // Frames 1-4 are every normal frame; 5 is a master.
    const std::vector<ObjectUid> normal{u[0], u[1], u[2], u[3]};
    EXPECT_FALSE(DeleteFrames(*doc, normal).ok());
    EXPECT_FALSE(SetFramesMaster(*doc, normal, true).ok());
    EXPECT_FALSE(ChangeFramesSpeed(*doc, normal, 0).ok());
    EXPECT_FALSE(ChangeFramesSpeed(*doc, normal, kMaxSpeedPercent + 1).ok());
    // Frames that are not in the document are passed over.
    EXPECT_TRUE(DeleteFrames(*doc, std::vector<ObjectUid>{987654321}).ok());
    EXPECT_EQ(Take(*doc), before);
    EXPECT_EQ(doc->History().StepCount(), 0u);

    // Copies that would pass the memory limit: none is made.
    const std::uint64_t budget = doc->limits.memoryBudget;
    doc->limits.memoryBudget = 1;
    EXPECT_FALSE(DuplicateFrames(*doc, normal).ok());
    doc->limits.memoryBudget = budget;  // saving, too, asks the limits
    EXPECT_EQ(Take(*doc), before);
    EXPECT_EQ(doc->History().StepCount(), 0u);
}

TEST(FrameRangeCommands, DurationAtSpeedRoundsToHundredths) {
    struct Case {
        std::uint32_t duration;
        int percent;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {10, 200, 5},   {5, 200, 3},        // 2.5 rounds up
        {7, 33, 21},    {100, 50, 200},     {10, 100, 10},
        {3, 300, 2},                        // 1 would play slower in browsers
        {1, 300, 1},    {0, 50, 0},         // what was shorter than 2 stays
        {65535, 50, 65535},                 // the longest a GIF holds
        {9, 1000, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DurationAtSpeed(c.duration, c.percent), c.expected) << c.duration << " at " << c.percent << "%";
}

TEST(FrameRangeCommands, RemoveDuplicateFramesKeepsWhatAViewerSees) {
    // red, red, blue, (red master), blue, blue, green, red
    auto doc = MakeDoc({{kRed, 10}, {kRed, 20}, {kBlue, 5}, {kRed, 9, true}, {kBlue, 7}, {kBlue, 8}, {kGreen, 3},
                        {kRed, 4}});
    const std::vector<ObjectUid> u = Uids(*doc);
    const auto timeline = Timeline(*doc);
    ASSERT_EQ(timeline.size(), 4u);  // the fixture really has repeats: 8 frames, 4 pictures

    EXPECT_EQ(RepeatedFrames(doc->GetAnimation(), u), (std::vector{u[1], u[4], u[5]}));
    ASSERT_TRUE(RemoveDuplicateFrames(*doc, u).ok());
    EXPECT_EQ(Uids(*doc), (std::vector{u[0], u[2], u[3], u[6], u[7]}));
    EXPECT_EQ(Durations(*doc), (std::vector<std::uint32_t>{30, 20, 9, 3, 4}));
    EXPECT_EQ(Timeline(*doc), timeline);
    EXPECT_EQ(doc->History().StepCount(), 1u);
}

TEST(FrameRangeCommands, RemoveDuplicateFramesSparesFramesBeneathOthersAndTooLongSums) {
    auto doc = MakeDoc({{kRed, 10}, {kRed, 20}, {kBlue, 65000}, {kBlue, 600}, {kGreen, 1}});
    const std::vector<ObjectUid> u = Uids(*doc);
    Animation& a = doc->GetAnimation();
    a.Frames()[4]->SetBackgroundFrame(a.Frames()[1].get());
    a.RenderAll();
    // Frame 2 lies beneath frame 5; 65000 + 600 passes the longest duration.
    EXPECT_TRUE(RepeatedFrames(a, u).empty());
    // Only the chosen frames may go.
    auto other = MakeDoc({{kRed, 10}, {kRed, 20}, {kRed, 30}});
    const std::vector<ObjectUid> v = Uids(*other);
    EXPECT_EQ(RepeatedFrames(other->GetAnimation(), std::vector{v[2]}), (std::vector{v[2]}));
}

TEST(FrameRangeCommands, ChosenFramesCountOnlyWithTheCurrentOneAmongThem) {
    auto doc = MakeDoc(kFive);
    const auto& frames = doc->GetAnimation().Frames();
    const ObjectUid a = frames[0]->Uid(), b = frames[1]->Uid(), c = frames[2]->Uid();
    EXPECT_EQ(ChosenOrCurrent(doc->GetAnimation(), std::vector{c, a}, a), (std::vector{a, c}));
    EXPECT_EQ(ChosenOrCurrent(doc->GetAnimation(), std::vector{c, a}, b), (std::vector{b}));
    EXPECT_EQ(ChosenOrCurrent(doc->GetAnimation(), std::vector<ObjectUid>{}, b), (std::vector{b}));
}

TEST(FrameRangeCommands, MovedFramesGatherInTheGapInListOrderForEveryChoiceAndGap) {
    // Every choice of the five frames, dropped into every gap, against the
    // plain rule: the others keep their order, the moved ones come together
    // where the gap was.
    for (unsigned mask = 1; mask < 32; ++mask) {
        for (std::size_t gap = 0; gap <= 5; ++gap) {
            auto doc = MakeDoc(kFive);
            const std::vector<ObjectUid> u = Uids(*doc);
            std::vector<ObjectUid> chosen, before, after;
            for (std::size_t i = 0; i < 5; ++i) {
                if (mask & (1u << i)) chosen.push_back(u[i]);
                else (i < gap ? before : after).push_back(u[i]);
            }
            std::vector<ObjectUid> expected = before;
            expected.insert(expected.end(), chosen.begin(), chosen.end());
            expected.insert(expected.end(), after.begin(), after.end());
            // The order the frames are named in does not matter.
            std::vector<ObjectUid> named(chosen.rbegin(), chosen.rend());
            const std::size_t steps = doc->History().Index();
            ASSERT_TRUE(MoveFrames(*doc, named, gap).ok());
            EXPECT_EQ(Uids(*doc), expected) << "mask " << mask << " gap " << gap;
            if (expected == u) {
                EXPECT_EQ(doc->History().Index(), steps) << "nothing moved, nothing recorded";
            } else {
                EXPECT_EQ(doc->History().Index(), steps + 1);
                EXPECT_EQ(doc->History().UndoLabel(), chosen.size() == 1 ? "Move Frame" : "Move Frames");
                doc->History().Undo();
                EXPECT_EQ(Uids(*doc), u) << "mask " << mask << " gap " << gap;
            }
        }
    }
}

}  // namespace
}  // namespace vantrel
