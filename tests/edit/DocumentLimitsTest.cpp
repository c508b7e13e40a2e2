// What a document may hold: every command that grows a document past its
// limits is taken back whole with a message naming the limit and the number,
// saving refuses what reading would refuse, and random edits under small
// limits never leave a document whose file does not read back the same.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

#include "../document/DocTestUtil.h"
#include "EditTestUtil.h"
#include "document/AnimFrame.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"
#include "document/DocumentMemory.h"
#include "edit/FrameCommands.h"
#include "edit/ItemCommands.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::SolidItem;
using test::Take;

// Small limits, so that a few commands reach each one.
DocumentLimits SmallLimits() {
    DocumentLimits limits;
    limits.itemsPerFrame = 5;
    limits.frames = 4;
    limits.canvasSide = 300;
    limits.memoryBudget = std::uint64_t{2} << 20;  // four 300 x 300 frames and a few items
    return limits;
}

std::vector<std::unique_ptr<CanvasItem>> Boxes(int count, int side) {
    std::vector<std::unique_ptr<CanvasItem>> items;
    for (int i = 0; i < count; ++i) items.push_back(SolidItem({500 + i, 500, 500 + i + side, 500 + side}, 0x00336699));
    return items;
}

ObjectUid FirstUid(const CQVDoc& doc) { return doc.GetAnimation().FirstFrame()->Uid(); }

TEST(DocumentLimits, ACommandBreakingALimitIsTakenBackWholeWithTheLimitNamed) {
    const DocumentLimits limits = SmallLimits();
    struct Case {
        const char* what;
        std::function<void(CQVDoc&)> before;  // brings the document near the limit
        std::function<std::unique_ptr<Command>(CQVDoc&)> command;
        std::string message;
    };
    const Case cases[] = {
        {"six items in a frame of five", [](CQVDoc&) {},
         [](CQVDoc& d) { return std::make_unique<AddItemsCommand>("Paste", FirstUid(d), Boxes(6, 10)); },
         TooManyItemsMessage(6, 5)},
        {"a fifth frame", [](CQVDoc& d) {
             for (int i = 0; i < 3; ++i) d.Execute(std::make_unique<DuplicateFrameCommand>("Duplicate", FirstUid(d)));
         },
         [](CQVDoc& d) { return std::make_unique<InsertFrameCommand>("Insert", FirstUid(d), InsertPlace::After); },
         TooManyFramesMessage(5, 4)},
        {"a canvas wider than 300", [](CQVDoc&) {},
         [](CQVDoc&) { return std::make_unique<CanvasSizeCommand>("Frame Setup", 301, 60); },
         CanvasTooLargeMessage(301, 60, 300)},
        {"items past the memory budget", [](CQVDoc&) {},
         [](CQVDoc& d) { return std::make_unique<AddItemsCommand>("Paste", FirstUid(d), Boxes(1, 600)); },
         DocumentTooLargeMessage(FrameMemoryBytes(300, 60) + ItemMemoryBytes(600, 600), limits.memoryBudget)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CQVDoc doc;
        doc.limits = limits;
        doc.Execute(std::make_unique<CanvasSizeCommand>("Frame Setup", 300, 60));
        c.before(doc);
        ASSERT_TRUE(CheckDocumentFits(doc).ok());
        const auto before = Take(doc);
        const std::size_t steps = doc.History().StepCount();
        const Pushed refused = doc.Execute(c.command(doc));
        EXPECT_FALSE(refused.recorded());
        EXPECT_EQ(refused.refusal().message(), c.message);
        EXPECT_EQ(Take(doc), before);
        EXPECT_EQ(doc.History().StepCount(), steps);
        // The next command that keeps the rule is kept, without a refusal.
        const Pushed kept = doc.Execute(std::make_unique<AddItemsCommand>("Paste", FirstUid(doc), Boxes(1, 5)));
        EXPECT_TRUE(kept.recorded());
        EXPECT_TRUE(kept.refusal().ok());
    }
}

TEST(DocumentLimits, AStepOfManyCommandsIsRefusedAsAWhole) {
    CQVDoc doc;
    doc.Execute(std::make_unique<CanvasSizeCommand>("Frame Setup", 300, 60));
    doc.History().Clear();
    doc.SetModifiedFlag(false);
    doc.limits = SmallLimits();
    const auto before = Take(doc);
    Status kept;
    {
        Transaction step(doc.History(), "Combine");
        for (auto& item : Boxes(6, 10))
            step.Add(std::make_unique<AddItemCommand>("Combine", FirstUid(doc), std::move(item)));
        kept = step.Commit();
    }
    EXPECT_EQ(kept.message(), TooManyItemsMessage(6, 5));
    EXPECT_EQ(Take(doc), before);
    EXPECT_EQ(doc.History().StepCount(), 0u);
    EXPECT_FALSE(doc.IsModified());
}

TEST(DocumentLimits, SavingRefusesWhatReadingWouldRefuseAndReadingKeepsEachLimit) {
    const fs::path dir = test::ScratchDir("document-limits");
    // Made under the program's limits, read under smaller ones.
    CQVDoc doc;
    doc.Execute(std::make_unique<AddItemsCommand>("Paste", FirstUid(doc), Boxes(6, 10)));
    for (int i = 0; i < 4; ++i) doc.Execute(std::make_unique<DuplicateFrameCommand>("Duplicate", FirstUid(doc)));
    ASSERT_TRUE(SaveDocument(doc, dir / "grown.qvd").ok());
    const auto lower = [](std::function<void(DocumentLimits&)> change) {
        DocumentLimits limits;
        change(limits);
        return limits;
    };
    const DocumentLimits refusing[] = {
        lower([](DocumentLimits& l) { l.itemsPerFrame = 5; }),
        lower([](DocumentLimits& l) { l.frames = 4; }),
        lower([](DocumentLimits& l) { l.canvasSide = 467; }),
        lower([&doc](DocumentLimits& l) { l.memoryBudget = MemoryOf(doc.GetAnimation()).Total() - 1; }),
    };
    for (const DocumentLimits& limits : refusing) {
        CQVDoc reopened;
        reopened.limits = limits;
        EXPECT_FALSE(OpenDocument(reopened, dir / "grown.qvd").ok());
        EXPECT_EQ(reopened.GetAnimation().FrameCount(), 1u);
        // The same document is not written under those limits: the old file stays.
        doc.limits = limits;
        const Status saved = SaveDocument(doc, dir / "grown.qvd");
        EXPECT_FALSE(saved.ok());
        EXPECT_EQ(saved.message(), CheckDocumentFits(doc).message());
        doc.limits = {};
        CQVDoc again;
        EXPECT_TRUE(OpenDocument(again, dir / "grown.qvd").ok());
        EXPECT_EQ(DocumentBytes(again), DocumentBytes(doc));
    }
}

// Random growing and shrinking commands, undo and redo under small limits:
// after every step the document keeps its limits, saves, and reads back
// under the same limits to the same bytes.
TEST(DocumentLimits, RandomEditsNeverMakeADocumentItsReaderRefuses) {
    std::mt19937 random(20);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    int refused = 0;
    for (int run = 0; run < 20; ++run) {
        SCOPED_TRACE(run);
        CQVDoc doc;
        doc.Execute(std::make_unique<CanvasSizeCommand>("Frame Setup", 300, 60));
        doc.History().Clear();  // no undo back past the limits
        doc.limits = SmallLimits();
        for (int step = 0; step < 40; ++step) {
            Animation& animation = doc.GetAnimation();
            AnimFrame* frame = animation.Frames()[std::size_t(pick(int(animation.FrameCount())))].get();
            std::unique_ptr<Command> command;
            switch (pick(7)) {
                case 0:
                    command =
                        std::make_unique<AddItemsCommand>("Paste", frame->Uid(), Boxes(1 + pick(3), 5 + pick(80)));
                    break;
                case 1:
                    command = std::make_unique<InsertFrameCommand>("Insert", frame->Uid(), InsertPlace::After);
                    break;
                case 2:
                    command = std::make_unique<DuplicateFrameCommand>("Duplicate", frame->Uid());
                    break;
                case 3:
                    command = std::make_unique<CanvasSizeCommand>("Frame Setup", 1 + pick(330), 1 + pick(330));
                    break;
                case 4: {
                    std::vector<ObjectUid> uids;
                    for (const CanvasItem* item : frame->BottomToTop())
                        if (pick(2) == 0) uids.push_back(item->Uid());
                    command = std::make_unique<RemoveItemsCommand>("Delete", frame->Uid(), uids);
                    break;
                }
                case 5:
                    doc.History().Undo();
                    break;
                default:
                    doc.History().Redo();
                    break;
            }
            if (command && !doc.Execute(std::move(command)).refusal().ok()) ++refused;
            ASSERT_TRUE(CheckDocumentFits(doc).ok()) << CheckDocumentFits(doc).message();
            const auto bytes = DocumentBytes(doc);
            ASSERT_TRUE(bytes.has_value());
            CQVDoc reopened;
            reopened.limits = doc.limits;
            ASSERT_TRUE(LoadDocumentBytes(reopened, *bytes).ok());
            ASSERT_EQ(DocumentBytes(reopened), bytes);
        }
    }
    EXPECT_GT(refused, 20) << "the limits were reached";
}

}  // namespace
}  // namespace vantrel
