// What the editor remembers and shows about saving, without a display: the
// state "GIF Save Options" opens in after earlier choices, the main window's
// title, and the modified mark after the animation is written back to the
// GIF the document was read from.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>

#include "document/DocumentFile.h"
#include "edit/FrameCommands.h"
#include "support/TestPaths.h"
#include "ViewTestUtil.h"
#include "view/EditorView.h"
#include "view/FileNames.h"
#include "view/SaveAnimation.h"
#include "view/SaveOptions.h"

namespace vantrel {
namespace {

using C = CommandId;

// ---- "GIF Save Options" remembers ----

GifSaveChoices Remembered(bool reduce, int colors) {
    GifSaveChoices last;
    last.options.reduce = reduce;
    last.options.colorCount = colors;
    return last;
}

TEST(GifSaveChoices, WithoutEarlierChoicesTheDefaultsStay) {
    for (const int colors : {1, 100, 256, 257}) {
        const GifOptionsDialogState fresh = GifOptionsDialogStateFor({colors, true});
        const GifSaveChoices defaults;
        // Remembering the defaults changes nothing a fresh dialog would show,
        // except the reduce choice, which defaults by the colour count.
        const GifOptionsDialogState same = GifOptionsDialogStateFor({colors, true}, &defaults);
        EXPECT_EQ(fresh.selectedChoice, 0u) << colors;
        EXPECT_EQ(same.selectedChoice, 0u) << colors;
        EXPECT_EQ(same.sizeReductionChecked, fresh.sizeReductionChecked) << colors;
        EXPECT_EQ(same.lossy, 0) << colors;
        EXPECT_FALSE(same.fit) << colors;
        EXPECT_EQ(same.fitKilobytes, kDefaultFitKilobytes) << colors;
    }
}

TEST(GifSaveChoices, TheColourCountIsTheLastOneOrTheLargestBelowIt) {
    struct Row {
        int distinct;
        int lastCount;
        int shown;  // the count selected in the list
    };
    const Row rows[] = {
        {257, 64, 64},   // offered: taken as it was
        {257, 256, 256},
        {100, 256, 64},  // the list of 100 colours starts at 64
        {100, 32, 32},
        {20, 64, 16},
        {20, 3, 4},      // nothing at or below it: the smallest
        {257, 2, 4},
    };
    for (const Row& row : rows) {
        const GifSaveChoices last = Remembered(true, row.lastCount);
        const GifOptionsDialogState state = GifOptionsDialogStateFor({row.distinct, true}, &last);
        ASSERT_LT(state.selectedChoice, state.choices.size()) << row.distinct << " " << row.lastCount;
        EXPECT_EQ(state.choices[state.selectedChoice], row.shown) << row.distinct << " " << row.lastCount;
    }
}

TEST(GifSaveChoices, ReduceOrExactIsTakenOnlyWhereThatButtonIsOpen) {
    const GifSaveChoices reduce = Remembered(true, 32);
    const GifSaveChoices exact = Remembered(false, 256);
    EXPECT_TRUE(GifOptionsDialogStateFor({100, true}, &reduce).reduceSelected);
    EXPECT_FALSE(GifOptionsDialogStateFor({256, true}, &exact).reduceSelected);
    EXPECT_TRUE(GifOptionsDialogStateFor({257, true}, &exact).reduceSelected);   // no exact palette above 256
    EXPECT_FALSE(GifOptionsDialogStateFor({4, true}, &reduce).reduceSelected);   // nothing to reduce to
}

TEST(GifSaveChoices, TheOtherChoicesComeBackAsTheyWere) {
    GifSaveChoices last = Remembered(true, 16);
    last.options.sizeReduction = false;
    last.options.dither = true;
    last.options.quantizer = PaletteMethod::MedianCut;
    last.options.lossy = 80;
    last.options.onePalette = true;
    last.fit = true;
    last.fitKilobytes = 120;
    const GifOptionsDialogState state = GifOptionsDialogStateFor({257, true}, &last);
    EXPECT_TRUE(state.onePalette);
    EXPECT_TRUE(state.onePaletteEnabled);
    // A single image has one palette whatever is chosen.
    EXPECT_FALSE(GifOptionsDialogStateFor({257, false}, &last).onePaletteEnabled);
    EXPECT_FALSE(state.sizeReductionChecked);
    EXPECT_TRUE(state.dither);
    EXPECT_TRUE(state.classic);
    EXPECT_EQ(state.lossy, 80);
    EXPECT_TRUE(state.fit);
    EXPECT_EQ(state.fitKilobytes, 120);
}

TEST(GifSaveChoices, ValuesFromOutsideAreBroughtIntoRange) {
    GifSaveChoices wild = Remembered(true, 100000);
    wild.options.lossy = -5;
    wild.options.quantizer = static_cast<PaletteMethod>(77);
    wild.fitKilobytes = 0;
    GifSaveChoices sane = SanitizedGifSaveChoices(wild);
    EXPECT_EQ(sane.options.colorCount, 256);
    EXPECT_EQ(sane.options.lossy, 0);
    EXPECT_EQ(sane.options.quantizer, PaletteMethod::Refined);
    EXPECT_EQ(sane.fitKilobytes, kMinFitKilobytes);
    wild.options.colorCount = -3;
    wild.options.lossy = 1 << 30;
    wild.fitKilobytes = 1 << 30;
    sane = SanitizedGifSaveChoices(wild);
    EXPECT_EQ(sane.options.colorCount, 2);
    EXPECT_EQ(sane.options.lossy, kMaxLossy);
    EXPECT_EQ(sane.fitKilobytes, kMaxFitKilobytes);
    // and the dialog state never takes a value out of range
    const GifOptionsDialogState state = GifOptionsDialogStateFor({257, true}, &wild);
    EXPECT_EQ(state.lossy, kMaxLossy);
    EXPECT_EQ(state.fitKilobytes, kMaxFitKilobytes);
}

// ---- the main window's title ----

TEST(MainWindowTitle, NamesTheDocumentAndShowsTheModifiedMark) {
    const std::string_view program = "Tarnwick Vantrel GIF Animator";
    EXPECT_EQ(MainWindowTitle(program, "", false), "Tarnwick Vantrel GIF Animator");
    EXPECT_EQ(MainWindowTitle(program, "", true), "Tarnwick Vantrel GIF Animator");
    EXPECT_EQ(MainWindowTitle(program, "Untitled-1", false), "Tarnwick Vantrel GIF Animator - Untitled-1");
    EXPECT_EQ(MainWindowTitle(program, "banner.qvd", true), "Tarnwick Vantrel GIF Animator - banner.qvd*");
}

// ---- writing an opened GIF back ----

class SaveHost : public test::RecordingHost {
public:
    // Reports as the test says: stops after stopAfter reports.
    ProgressReport Progress(const std::string& text) override {
        progressTexts.push_back(text);
        return [this](std::size_t, std::size_t) { return ++reports < stopAfter; };
    }
    std::vector<std::string> progressTexts;
    std::size_t reports = 0;
    std::size_t stopAfter = SIZE_MAX;
};

// A three-frame GIF written at path, opened as a document, and a view of it.
struct OpenedGif {
    explicit OpenedGif(const std::filesystem::path& path) {
        auto made = test::DocWithFrames(3);
        for (const auto& frame : made->GetAnimation().Frames()) frame->duration = 20;
        EXPECT_TRUE(GifExportJob::OfAnimation(made->GetAnimation()).Save(path, DefaultGifOptionsChooser()).status);
        EXPECT_TRUE(OpenDocument(doc, path));
        view = std::make_unique<EditorView>(doc, host);
        view->OnInitialUpdate();
    }
    void Edit() {
        ASSERT_TRUE(doc.Execute(MakeFrameDurationCommand(doc.GetAnimation().FirstFrame()->Uid(), 50)));
        ASSERT_TRUE(doc.IsModified());
    }
    CQVDoc doc;
    SaveHost host;
    std::unique_ptr<EditorView> view;
};

TEST(SaveAnimationModifiedMark, WritingTheOpenedGifBackClearsIt) {
    const std::filesystem::path dir = test::ScratchDir("settings-stick-own-gif");
    OpenedGif g(dir / "walk.gif");
    g.Edit();
    ASSERT_TRUE(g.view->ExecuteCommand(C::SaveAnimation));
    EXPECT_TRUE(g.host.dialogs.pathTitles.empty());  // its own file, silently
    EXPECT_FALSE(g.doc.IsModified());
    EXPECT_TRUE(g.host.messages.empty());
    // Undo leaves the state of the file: modified again.
    g.doc.History().Undo();
    EXPECT_TRUE(g.doc.IsModified());
}

TEST(SaveAnimationModifiedMark, WritingAnotherFileKeepsIt) {
    const std::filesystem::path dir = test::ScratchDir("settings-stick-other-gif");
    OpenedGif g(dir / "walk.gif");
    g.Edit();
    g.host.dialogs.savePath = dir / "copy.gif";
    ASSERT_TRUE(g.view->ExecuteCommand(C::SaveAnimationAs));
    EXPECT_TRUE(std::filesystem::exists(dir / "copy.gif"));
    EXPECT_TRUE(g.doc.IsModified());
    // The same file reached by another spelling of its path is still its own.
    g.host.dialogs.savePath = dir / "." / "walk.gif";
    ASSERT_TRUE(g.view->ExecuteCommand(C::SaveAnimationAs));
    EXPECT_FALSE(g.doc.IsModified());
}

TEST(SaveAnimationModifiedMark, ADocumentFileKeepsItsMarkAfterAGifIsWritten) {
    const std::filesystem::path dir = test::ScratchDir("settings-stick-native");
    auto doc = test::DocWithFrames(2);
    ASSERT_TRUE(SaveDocument(*doc, dir / "banner.qvd"));
    ASSERT_TRUE(doc->Execute(MakeFrameDurationCommand(doc->GetAnimation().FirstFrame()->Uid(), 50)));
    EXPECT_FALSE(NoteAnimationWritten(*doc, dir / "banner.qvd"));
    EXPECT_TRUE(doc->IsModified());
    // A failed or missing file is never taken for the document's own.
    OpenedGif g(dir / "walk.gif");
    g.Edit();
    EXPECT_FALSE(NoteAnimationWritten(g.doc, dir / "missing.gif"));
    EXPECT_TRUE(g.doc.IsModified());
}

// ---- progress of writing the animation ----

TEST(SaveAnimationProgress, TheHostSeesTheWriteAndItsStopCancelsTheSaveQuietly) {
    const std::filesystem::path dir = test::ScratchDir("save-progress");
    OpenedGif g(dir / "walk.gif");
    const std::vector<std::uint8_t> before = [&] {
        std::ifstream in(dir / "walk.gif", std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
    }();
    g.Edit();
    g.host.stopAfter = 2;
    g.view->ExecuteCommand(C::SaveAnimation);
    EXPECT_EQ(g.host.progressTexts, (std::vector<std::string>{"Writing the animation..."}));
    EXPECT_EQ(g.host.reports, 2u);
    EXPECT_TRUE(g.host.messages.empty());  // cancelled, not failed
    EXPECT_TRUE(g.doc.IsModified());       // nothing was written
    std::ifstream in(dir / "walk.gif", std::ios::binary);
    EXPECT_EQ(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}), before);

    g.host.stopAfter = SIZE_MAX;
    g.view->ExecuteCommand(C::SaveAnimation);
    EXPECT_GT(g.host.reports, 2u);
    EXPECT_FALSE(g.doc.IsModified());
}

TEST(GifSaveChoices, OwnPalettesAreNamedOnlyWhenThereAreAny) {
    GifExportReport report;
    report.images = 5;
    const struct {
        int own;
        const char* note;
    } cases[] = {{0, ""}, {1, ", own palettes for 1 frame"}, {3, ", own palettes for 3 frames"},
                 {5, ", a palette per frame"}};
    for (const auto& c : cases) {
        report.ownPalettes = c.own;
        EXPECT_EQ(OwnPalettesNote(report), c.note) << c.own;
    }
}

}  // namespace
}  // namespace vantrel
