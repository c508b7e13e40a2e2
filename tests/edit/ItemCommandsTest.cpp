// The z-order and import commands: the orders they make, and undo giving
// back the document's bytes and rendered frames exactly.

#include <gtest/gtest.h>

#include <functional>

#include "../document/DocTestUtil.h"
#include "EditTestUtil.h"
#include "document/AnimFrame.h"
#include "document/CQVDoc.h"
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
            f.doc.Execute(std::make_unique<ZOrderCommand>("Z", f.Frame().Uid(), f.Pick(c.items), c.place));
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
    const auto path = test::ScratchDir("import-several") / name;
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
        Status result;
        ASSERT_TRUE(f.doc.Execute(std::make_unique<ImportFileCommand>("Import", f.Frame().Uid(), path, &result)));
        EXPECT_TRUE(result.ok()) << result.message();
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

TEST(ImportFileCommand, AFileThatCannotBeReadAddsNothingAndReportsWhy) {
    FourItems f;
    const auto path = test::ScratchDir("import-missing") / "missing.gif";
    std::filesystem::remove(path);
    Status result;
    EXPECT_FALSE(f.doc.Execute(std::make_unique<ImportFileCommand>("Import", f.Frame().Uid(), path, &result)));
    EXPECT_FALSE(result.ok());
    EXPECT_FALSE(result.message().empty());
    EXPECT_EQ(f.doc.History().StepCount(), 0u);
    EXPECT_FALSE(f.doc.IsModified());
}

}  // namespace
}  // namespace vantrel
