// Settings that stick, offscreen: "GIF Save Options" opens with the choices
// confirmed last time, kept in the settings store; the main window's title
// follows the active document, its name and its modified mark.

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <gtest/gtest.h>

#include "AppTestUtil.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/SplashWnd.h"
#include "app/dialogs/GifSaveOptionsDialog.h"
#include "document/CQVDoc.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

using C = CommandId;
using test::WhenDialogShows;

// The widgets of "GIF Save Options" by their names.
struct OptionsWidgets {
    explicit OptionsWidgets(QDialog& d)
        : counts(*static_cast<GifSaveOptionsDialog&>(d).CountBox()),
          reduce(*static_cast<GifSaveOptionsDialog&>(d).ReduceButton()),
          dither(*d.findChild<QCheckBox*>(QStringLiteral("gifDither"))),
          classic(*d.findChild<QCheckBox*>(QStringLiteral("gifClassicPalette"))),
          sizeReduction(*d.findChild<QCheckBox*>(QStringLiteral("sizeReduction"))),
          lossy(*d.findChild<QSlider*>(QStringLiteral("gifLossy"))),
          onePalette(*d.findChild<QCheckBox*>(QStringLiteral("gifOnePalette"))),
          fit(*d.findChild<QCheckBox*>(QStringLiteral("fitUnder"))),
          kilobytes(*d.findChild<QSpinBox*>(QStringLiteral("fitUnderKilobytes"))) {}
    QComboBox& counts;
    QRadioButton& reduce;
    QCheckBox& dither;
    QCheckBox& classic;
    QCheckBox& sizeReduction;
    QSlider& lossy;
    QCheckBox& onePalette;
    QCheckBox& fit;
    QSpinBox& kilobytes;
};

// A request for more than 256 colours with nothing to measure (the dialog
// shows no size, so it answers at once).
GifExportRequest ManyColours() {
    GifExportRequest request;
    request.distinctColors = 257;
    request.animated = true;
    return request;
}

TEST(GifSaveOptionsMemory, TheNextDialogOpensAsTheLastWasLeft) {
    CAnimatorApp::Settings().clear();
    EXPECT_FALSE(LoadGifSaveChoices().has_value());
    WhenDialogShows([](QDialog& d) {
        OptionsWidgets w(d);
        EXPECT_EQ(w.counts.currentData().toInt(), 256);  // the defaults first
        EXPECT_TRUE(w.sizeReduction.isChecked());
        w.counts.setCurrentIndex(w.counts.findData(64));
        w.dither.setChecked(true);
        w.classic.setChecked(true);
        w.sizeReduction.setChecked(false);
        w.lossy.setValue(40);
        EXPECT_FALSE(w.onePalette.isChecked());  // a palette per frame where it pays, unless asked
        w.onePalette.setChecked(true);
        w.fit.setChecked(true);
        w.kilobytes.setValue(77);
        d.accept();
    });
    const std::optional<GifExportOptions> first = AskGifSaveOptions(nullptr, ManyColours());
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->colorCount, 64);
    EXPECT_TRUE(first->dither);
    EXPECT_EQ(first->lossy, 40);
    EXPECT_TRUE(first->onePalette);

    // Changed again, then cancelled: nothing of that is kept.
    WhenDialogShows([](QDialog& d) {
        OptionsWidgets w(d);
        w.lossy.setValue(150);
        w.counts.setCurrentIndex(w.counts.findData(8));
        d.reject();
    });
    EXPECT_FALSE(AskGifSaveOptions(nullptr, ManyColours()).has_value());

    bool shown = false;
    WhenDialogShows([&shown](QDialog& d) {
        OptionsWidgets w(d);
        EXPECT_EQ(w.counts.currentData().toInt(), 64);
        EXPECT_TRUE(w.reduce.isChecked());
        EXPECT_TRUE(w.dither.isChecked());
        EXPECT_TRUE(w.classic.isChecked());
        EXPECT_FALSE(w.sizeReduction.isChecked());
        EXPECT_EQ(w.lossy.value(), 40);
        EXPECT_TRUE(w.onePalette.isChecked());
        EXPECT_TRUE(w.fit.isChecked());
        EXPECT_EQ(w.kilobytes.value(), 77);
        shown = true;
        d.accept();
    });
    const std::optional<GifExportOptions> second = AskGifSaveOptions(nullptr, ManyColours());
    EXPECT_TRUE(shown);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->colorCount, 64);
    EXPECT_EQ(second->quantizer, PaletteMethod::MedianCut);
    EXPECT_FALSE(second->sizeReduction);
    EXPECT_TRUE(second->onePalette);

    // What the store holds comes back for a program started later.
    const std::optional<GifSaveChoices> stored = LoadGifSaveChoices();
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->options.colorCount, 64);
    EXPECT_EQ(stored->fitKilobytes, 77);
    EXPECT_FALSE(stored->options.reduce);  // reduced because it had to be, not by choice
}

TEST(GifSaveOptionsMemory, AStoreWrittenByHandIsReadWithinRange) {
    CAnimatorApp::Settings().clear();
    {
        QSettings settings = CAnimatorApp::Settings();
        settings.setValue(QStringLiteral("GifSaveOptions/Colors"), 9999);
        settings.setValue(QStringLiteral("GifSaveOptions/Lossy"), QStringLiteral("lots"));
        settings.setValue(QStringLiteral("GifSaveOptions/FitKilobytes"), -4);
    }
    const std::optional<GifSaveChoices> stored = LoadGifSaveChoices();
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->options.colorCount, 256);
    EXPECT_EQ(stored->options.lossy, 0);
    EXPECT_EQ(stored->fitKilobytes, kMinFitKilobytes);
}

TEST(MainWindowTitle, FollowsTheActiveDocumentItsNameAndItsMark) {
    test::Editor e;
    const QString program = QStringLiteral("Tarnwick Vantrel GIF Animator");
    EXPECT_EQ(e.Frame().windowTitle(), program + " - Untitled-1");
    e.Run(C::InsertFrameAtEnd);
    EXPECT_EQ(e.Frame().windowTitle(), program + " - Untitled-1*");

    e.log.fileAnswer = QString::fromStdString((test::ScratchDir("title-follows") / "banner").string());
    e.Run(C::FileSave);
    EXPECT_EQ(e.Frame().windowTitle(), program + " - banner.qvd");

    e.Run(C::FileNew);
    EXPECT_EQ(e.Frame().windowTitle(), program + " - Untitled-2");
    e.Frame().ActiveChild()->close();
    test::ProcessEvents();
    EXPECT_EQ(e.Frame().windowTitle(), program + " - banner.qvd");
}

TEST(MainWindowTitle, AnOpenedGifWrittenBackLosesItsMark) {
    const std::filesystem::path gif = test::ScratchDir("title-gif-back") / "three.gif";
    test::WriteFlatGif(gif, 30, 10, {0xFF0000, 0x00FF00, 0x0000FF});
    test::Editor e;
    ASSERT_NE(e.app.OpenDocumentFile(QString::fromStdString(gif.string())), nullptr);
    e.Run(C::InsertFrameAtEnd);
    const QString program = QStringLiteral("Tarnwick Vantrel GIF Animator");
    EXPECT_EQ(e.Frame().windowTitle(), program + " - three.gif*");
    WhenDialogShows([](QDialog& d) { d.accept(); });
    e.Run(C::SaveAnimation);
    EXPECT_TRUE(e.log.dialogs.empty());  // its own file, without asking
    EXPECT_FALSE(e.Doc().IsModified());
    EXPECT_EQ(e.Frame().windowTitle(), program + " - three.gif");
}

}  // namespace
}  // namespace vantrel
