// The z-order and import commands: the orders they make, and undo giving
// back the document's bytes and rendered frames exactly.

#include <gtest/gtest.h>

#include <functional>

#include "../document/DocTestUtil.h"
#include "EditTestUtil.h"
#include "document/AnimFrame.h"
#include "document/CQVDoc.h"
#include "document/DocumentMemory.h"
#include "edit/ImportCommands.h"
#include "edit/ItemCommands.h"
#include "support/GiflibRef.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

using test::SolidItem;
using test::Take;

// Four overlapping half-transparent items A, B, C, D (bottom to top), all
// blending, so that every composite depends on the order beneath it; a
// second frame lies over the first.
struct FourItems {
    FourItems() {
        AnimFrame& f = *doc.GetAnimation().FirstFrame();
        const Rect c = f.Canvas();
        const PixelValue colors[] = {0x40FF0000, 0x8000FF00, 0x300000FF, 0x60FFFF00};
        for (int i = 0; i < 4; ++i) {
            const Rect r{c.left + 10 * i, c.top + 5, c.left + 10 * i + 40, c.top + 45};
            uids.push_back(f.AppendItem(SolidItem(r, colors[i], true))->Uid());
        }
        doc.GetAnimation().AppendFrame()->SetBackgroundFrame(&f);
        doc.GetAnimation().RenderAll();
        doc.SetModifiedFlag(false);
    }
    AnimFrame& Frame() { return *doc.GetAnimation().FirstFrame(); }
    // The order of the items as letters, bottom first.
    std::string Order() {
        std::string order;
        for (const CanvasItem* item : Frame().BottomToTop())
            order += char('A' + (std::find(uids.begin(), uids.end(), item->Uid()) - uids.begin()));
        return order;
    }
    std::vector<ObjectUid> Pick(const std::string& letters) {
        std::vector<ObjectUid> picked;
        for (const char letter : letters) picked.push_back(uids[std::size_t(letter - 'A')]);
        return picked;
    }
    CQVDoc doc;
    std::vector<ObjectUid> uids;
};

TEST(ZOrderCommand, MovesTheItemsKeepingTheirOrderAndUndoesToTheExactStack) {
    struct Case {
        const char* items;
        ZOrderPlace place;
        const char* order;  // bottom first, after the command
    };
    const Case cases[] = {
        {"AB", ZOrderPlace::Front, "CDAB"}, {"CD", ZOrderPlace::Back, "CDAB"}, {"BD", ZOrderPlace::Front, "ACBD"},
        {"BD", ZOrderPlace::Back, "BDAC"},  {"DA", ZOrderPlace::Front, "BCAD"}, {"C", ZOrderPlace::Back, "CABD"},
        {"ABCD", ZOrderPlace::Back, ""},    {"D", ZOrderPlace::Front, ""},      {"AB", ZOrderPlace::Back, ""},
    };
    for (const Case& c : cases) {
        FourItems f;
        const auto before = Take(f.doc);
        const bool changed =
            f.doc.Execute(std::make_unique<ZOrderCommand>("Z", f.Frame().Uid(), f.Pick(c.items), c.place)).recorded();
        SCOPED_TRACE(c.items);
        if (*c.order == '\0') {  // already there: no step
            EXPECT_FALSE(changed);
            EXPECT_EQ(f.Order(), "ABCD");
            continue;
        }
        ASSERT_TRUE(changed);
        EXPECT_EQ(f.Order(), c.order);
        const auto after = Take(f.doc);
        EXPECT_NE(after, before);  // the blending items show another stack
        f.doc.History().Undo();
        EXPECT_EQ(f.Order(), "ABCD");
        EXPECT_EQ(Take(f.doc), before);
        f.doc.History().Redo();
        EXPECT_EQ(f.Order(), c.order);
        EXPECT_EQ(Take(f.doc), after);
    }
}

// A GIF of screen w x h with one flat image per colour (each with a delay), written by giflib.
std::filesystem::path WriteGif(const char* name, int w, int h, const std::vector<RgbTriple>& colors) {
    test::RefGif gif;
    gif.screenWidth = w;
    gif.screenHeight = h;
    gif.globalColors = colors;
    while (gif.globalColors.size() < 2 || (gif.globalColors.size() & (gif.globalColors.size() - 1)))
        gif.globalColors.push_back({0, 0, 0});
    for (std::size_t i = 0; i < colors.size(); ++i) {
        test::RefImage image;
        image.width = w;
        image.height = h;
        image.hasControl = true;
        image.delay = 7 + int(i);
        image.indices.assign(std::size_t(w) * std::size_t(h), std::uint8_t(i));
        gif.images.push_back(image);
    }
    // A folder per file: tests that run side by side each write their own.
    const auto path = test::ScratchDir((std::string("import-several-") + name).c_str()) / name;
    std::string error;
    EXPECT_TRUE(test::EncodeWithGiflib(gif, path, &error)) << error;
    return path;
}

TEST(ImportFileCommand, AnImportOfSeveralImagesIsOneStepThatUndoesFramesItemsAndSettings) {
    struct Case {
        const char* name;
        std::size_t images;
        std::size_t framesBefore;
    };
    const Case cases[] = {{"one.gif", 1, 1}, {"three.gif", 3, 1}, {"three-into-two.gif", 3, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<RgbTriple> colors;
        for (std::size_t i = 0; i < c.images; ++i) colors.push_back({std::uint8_t(80 * i), 200, 40});
        const auto path = WriteGif(c.name, 30, 20, colors);
        FourItems f;
        if (c.framesBefore < 2) f.doc.GetAnimation().DeleteFrame(f.doc.GetAnimation().LastFrame());
        f.doc.SetModifiedFlag(false);
        const auto before = Take(f.doc);
        const ImportedStep result = ImportFileStep(f.doc, "Import", f.Frame().Uid(), path);
        EXPECT_TRUE(result.read.ok()) << result.read.message();
        EXPECT_TRUE(result.step.recorded());
        ASSERT_EQ(f.doc.History().Index(), 1u);  // one step recorded
        EXPECT_EQ(f.doc.History().UndoLabel(), "Import");
        EXPECT_EQ(f.doc.GetAnimation().FrameCount(), std::max(c.images, c.framesBefore));
        EXPECT_EQ(f.Frame().CountItems(), 5);
        const auto after = Take(f.doc);
        EXPECT_EQ(f.doc.History().StepCount(), 1u);
        f.doc.History().Undo();
        EXPECT_EQ(Take(f.doc), before);
        EXPECT_FALSE(f.doc.IsModified());
        f.doc.History().Redo();
        EXPECT_EQ(Take(f.doc), after);
        f.doc.History().Undo();
        EXPECT_EQ(Take(f.doc), before);
    }
}

TEST(ImportFileCommand, AnImportTheDocumentCannotHoldIsTakenBackAndRefused) {
    const auto path = WriteGif("three-over-the-limit.gif", 30, 20, {{0, 200, 40}, {80, 200, 40}, {160, 200, 40}});
    FourItems f;
    const std::size_t frames = f.doc.GetAnimation().FrameCount();
    ASSERT_EQ(frames, 2u);
    f.doc.limits.frames = frames;  // the third image needs a frame more
    f.doc.SetModifiedFlag(false);
    const auto before = Take(f.doc);
    const ImportedStep result = ImportFileStep(f.doc, "Import", f.Frame().Uid(), path);
    EXPECT_TRUE(result.read.ok()) << result.read.message();  // the file itself was read
    EXPECT_EQ(result.step.refusal().message(), TooManyFramesMessage(frames + 1, frames));
    EXPECT_FALSE(result.step.refusal().ok());
    EXPECT_FALSE(result.step.recorded());
    EXPECT_EQ(f.doc.History().StepCount(), 0u);
    EXPECT_EQ(Take(f.doc), before);
    EXPECT_FALSE(f.doc.IsModified());
    // A later import that adds nothing leaves no stale refusal behind.
    const auto missing = test::ScratchDir("import-refused") / "missing.gif";
    std::filesystem::remove(missing);
    const ImportedStep nothing = ImportFileStep(f.doc, "Import", f.Frame().Uid(), missing);
    EXPECT_FALSE(nothing.read.ok());
    EXPECT_TRUE(nothing.step.refusal().ok());
    EXPECT_EQ(f.doc.History().StepCount(), 0u);
}

TEST(ImportFileCommand, AFileThatCannotBeReadAddsNothingAndReportsWhy) {
    FourItems f;
    const auto path = test::ScratchDir("import-missing") / "missing.gif";
    std::filesystem::remove(path);
    const ImportedStep result = ImportFileStep(f.doc, "Import", f.Frame().Uid(), path);
    EXPECT_FALSE(result.read.ok());
    EXPECT_FALSE(result.read.message().empty());
    EXPECT_FALSE(result.step.recorded());
    EXPECT_EQ(f.doc.History().StepCount(), 0u);
    EXPECT_FALSE(f.doc.IsModified());
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// Many half-transparent items over the four, added as one paste or one by
// one: the same frames; undo and redo of the paste and of deleting them give
// back exactly what was there.
TEST(AddItemsCommand, OnePasteComposesAsItemByItemAndUndoesExactly) {
    const auto items = [](const Rect& canvas) {
        std::vector<std::unique_ptr<CanvasItem>> made;
        for (int i = 0; i < 40; ++i) {
            const Rect r{canvas.left + 3 * i, canvas.top + i % 7, canvas.left + 3 * i + 25, canvas.top + 30 + i % 5};
            const auto color = PixelValue(0x20000000u * std::uint32_t(i % 7 + 1) + 0x00103050u * std::uint32_t(i));
            made.push_back(SolidItem(r, color, i % 3 != 0));
        }
        return made;
    };
    FourItems pasted;
    FourItems oneByOne;
    const auto before = Take(pasted.doc);
    ASSERT_TRUE(pasted.doc.Execute(
        std::make_unique<AddItemsCommand>("Paste", pasted.Frame().Uid(), items(pasted.Frame().Canvas()))));
    for (auto& item : items(oneByOne.Frame().Canvas()))
        ASSERT_TRUE(
            oneByOne.doc.Execute(std::make_unique<AddItemCommand>("Paste", oneByOne.Frame().Uid(), std::move(item))));
    const auto after = Take(pasted.doc);
    EXPECT_EQ(after, Take(oneByOne.doc));
    pasted.doc.History().Undo();
    EXPECT_EQ(Take(pasted.doc), before);
    pasted.doc.History().Redo();
    EXPECT_EQ(Take(pasted.doc), after);

    // Deleting every other item, the lowest among them, and putting them back.
    std::vector<ObjectUid> some;
    int n = 0;
    for (const CanvasItem* item : pasted.Frame().BottomToTop())
        if (n++ % 2 == 0) some.push_back(item->Uid());
    ASSERT_TRUE(pasted.doc.Execute(std::make_unique<RemoveItemsCommand>("Delete", pasted.Frame().Uid(), some)));
    EXPECT_EQ(pasted.Frame().CountItems(), 22);
    // What the command composed equals a rebuild of every composite and frame.
    const auto deleted = Take(pasted.doc);
    pasted.Frame().UpdateAllComposites();
    pasted.doc.GetAnimation().RenderAll();
    EXPECT_EQ(Take(pasted.doc), deleted);
    pasted.doc.History().Undo();
    EXPECT_EQ(Take(pasted.doc), after);
}

}  // namespace
}  // namespace vantrel
