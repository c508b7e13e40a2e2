// Building an animation in the editor, offscreen: frames inserted from the
// menu, durations typed into the Frame List bar, the animation saved through
// the options dialog, and the file checked with giflib.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QLabel>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

#include "AppTestUtil.h"
#include "app/AnimatorApp.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/PreviewWindow.h"
#include "app/dialogs/FrameDurationDialog.h"
#include "app/dialogs/FrameSetupDialog.h"
#include "app/dialogs/LoopCountDialog.h"
#include "app/dialogs/OnionSkinDialog.h"
#include "app/dialogs/ResizeAnimationDialog.h"
#include "app/QVView.h"
#include "app/SplashWnd.h"
#include "app/panels/BackgroundPanel.h"
#include "app/panels/FrameListPanel.h"
#include "document/AnimFrame.h"
#include "document/BitmapItem.h"
#include "document/CQVDoc.h"
#include "edit/ItemCommands.h"
#include "document/DocTestUtil.h"
#include "support/GiflibRef.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

using C = CommandId;
using test::Editor;
using test::WhenDialogShows;


void TypeInto(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
    test::ProcessEvents();
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(FrameEditing, InsertedFramesWithTypedDurationsAreSavedAsTheGifShowsThem) {
    Editor e;
    CQVDoc& doc = e.Doc();
    FrameListPanel& list = *e.Frame().FrameList();
    ASSERT_EQ(list.List()->count(), 1);
    EXPECT_EQ(list.List()->item(0)->text().section('\n', 0, 0), "Frame 1");

    e.Run(C::InsertFrameAtEnd);
    ASSERT_EQ(doc.GetAnimation().FrameCount(), 2u);
    ASSERT_EQ(list.List()->count(), 2);
    EXPECT_EQ(list.List()->currentRow(), 1);  // the new frame is shown and selected
    // Going to another frame moves the selection; the list (and its pictures) stays.
    constexpr int kMark = Qt::UserRole + 99;  // a rebuilt list would lose it
    list.List()->item(0)->setData(kMark, true);
    e.Run(C::FirstFrame);
    test::ProcessEvents();
    EXPECT_EQ(list.List()->currentRow(), 0);
    EXPECT_TRUE(list.List()->item(0)->data(kMark).toBool());
    e.Run(C::LastFrame);
    test::ProcessEvents();
    EXPECT_EQ(list.List()->currentRow(), 1);
    AnimFrame& second = *doc.GetAnimation().LastFrame();
    const Rect c = second.Canvas();
    doc.Execute(std::make_unique<AddItemCommand>(
        "Paste", second.Uid(), test::SolidItem({c.left + 5, c.top + 5, c.left + 60, c.top + 40}, 0x00CC2211)));
    TypeInto(list.DurationBox(), "0.25");
    EXPECT_EQ(second.duration, 25u);
    EXPECT_TRUE(doc.IsModified());
    TypeInto(list.DurationBox(), "1e30");  // refused with a message, nothing changes
    EXPECT_EQ(second.duration, 25u);
    ASSERT_EQ(e.log.messages.size(), 1);
    EXPECT_EQ(list.DurationBox()->text(), "0.25");

    const std::filesystem::path dir = test::ScratchDir("frame-editing");
    e.log.fileAnswer = QString::fromStdString((dir / "banner").string());
    WhenDialogShows([](QDialog& options) {
        EXPECT_EQ(options.windowTitle(), "GIF Save Options");
        // whole images, for an exact comparison
        options.findChild<QCheckBox*>(QStringLiteral("sizeReduction"))->setChecked(false);
        options.accept();
    });
    e.Run(C::SaveAnimation);
    const std::filesystem::path written = dir / "banner.gif";
    ASSERT_TRUE(std::filesystem::exists(written));
    ASSERT_EQ(e.log.dialogs.size(), 1u);
    EXPECT_EQ(e.log.dialogs[0].title, "Save Animation As");

    const auto gif = test::DecodeWithGiflib(ReadFile(written));
    ASSERT_TRUE(gif.has_value());
    const Animation& animation = doc.GetAnimation();
    ASSERT_EQ(gif->images.size(), 2u);
    EXPECT_EQ(gif->images[0].delay, 100);
    EXPECT_EQ(gif->images[1].delay, 25);
    for (std::size_t i = 0; i < 2; ++i) {
        const test::RefImage& image = gif->images[i];
        ASSERT_EQ(image.width, animation.Width());
        ASSERT_EQ(image.height, animation.Height());
        const auto& colors = image.localColors.empty() ? gif->globalColors : image.localColors;
        const PackedDib& rendered = animation.Frames()[i]->Image();
        int wrong = 0;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const RgbTriple rgb = colors.at(image.indices[std::size_t(y * image.width + x)]);
                const PixelValue p = rendered.GetPixel(x, y);
                if (rgb.red != ((p >> 16) & 0xFF) || rgb.green != ((p >> 8) & 0xFF) || rgb.blue != (p & 0xFF)) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << "image " << i;
    }

    // Saving again writes silently to the same file.
    WhenDialogShows([](QDialog& options) { options.accept(); });
    e.Run(C::SaveAnimation);
    EXPECT_EQ(e.log.dialogs.size(), 1u);

    // The current frame alone: a name without extension takes the first file type's.
    e.log.fileAnswer = QString::fromStdString((dir / "frame").string());
    WhenDialogShows([](QDialog& options) { options.accept(); });
    e.Run(C::ExportFrame);
    ASSERT_EQ(e.log.dialogs.size(), 2u);
    EXPECT_EQ(e.log.dialogs[1].title, "Save Current Frame As");
    EXPECT_EQ(e.log.dialogs[1].filters.size(), 2);
    const auto frame = test::DecodeWithGiflib(ReadFile(dir / "frame.gif"));
    ASSERT_TRUE(frame.has_value());
    EXPECT_EQ(frame->images.size(), 1u);
}

TEST(FrameEditing, ListAndBackgroundBarsFollowTheDocumentAndReorderByDrop) {
    Editor e;
    CQVDoc& doc = e.Doc();
    e.Run(C::InsertFrameAtEnd);
    e.Run(C::InsertFrameAtEnd);
    e.View().ShowFrame(doc.GetAnimation().Frames()[1].get());
    e.Run(C::MasterFrame);
    FrameListPanel& list = *e.Frame().FrameList();
    QStringList names;
    for (int i = 0; i < list.List()->count(); ++i) names << list.List()->item(i)->text().section('\n', 0, 0);
    EXPECT_EQ(names, (QStringList{"Frame 1", "Master Frame (1)", "Frame 2"}));
    EXPECT_FALSE(list.DurationBox()->isEnabled());  // a master frame's duration is not typed

    // The third frame: "Solid", then both earlier frames; choosing one is a step of the history.
    e.View().ShowFrame(doc.GetAnimation().Frames()[2].get());
    e.Frame().UpdateCommandStates();
    test::ProcessEvents();
    QComboBox* background = e.Frame().Background()->Choice();
    ASSERT_EQ(background->count(), 3);
    EXPECT_EQ(background->itemText(2), "Master Frame (1)");
    const std::size_t steps = doc.History().StepCount();
    background->setCurrentIndex(1);
    emit background->activated(1);
    test::ProcessEvents();
    EXPECT_EQ(doc.GetAnimation().Frames()[2]->BackgroundFrame(), doc.GetAnimation().FirstFrame());
    EXPECT_EQ(doc.History().StepCount(), steps + 1);

    // Dropping the first frame at the end: its follower no longer lies over it.
    const ObjectUid first = doc.GetAnimation().FirstFrame()->Uid();
    list.MoveFrame(first, 2);
    EXPECT_EQ(doc.GetAnimation().LastFrame()->Uid(), first);
    EXPECT_EQ(doc.GetAnimation().Frames()[1]->BackgroundFrame(), nullptr);
    doc.History().Undo();
    test::ProcessEvents();
    EXPECT_EQ(doc.GetAnimation().FirstFrame()->Uid(), first);
    EXPECT_EQ(doc.GetAnimation().Frames()[2]->BackgroundFrame(), doc.GetAnimation().FirstFrame());
    EXPECT_FALSE(list.List()->item(0)->icon().isNull());  // thumbnails

    // Closing the document empties the bars.
    e.Frame().ActiveChild()->close();
    test::ProcessEvents();
    EXPECT_EQ(list.List()->count(), 0);
    EXPECT_FALSE(list.List()->isEnabled());
    EXPECT_FALSE(background->isEnabled());
}

TEST(FrameEditing, ShiftAndCtrlClicksChooseFramesThatTheDurationBoxAndCommandsChangeTogether) {
    Editor e;
    for (int i = 0; i < 5; ++i) e.Run(C::InsertFrameAtEnd);
    test::ProcessEvents();
    FrameListPanel& list = *e.Frame().FrameList();
    ASSERT_EQ(list.List()->count(), 6);
    QWidget* viewport = list.List()->viewport();
    const auto click = [&](int row, Qt::KeyboardModifiers modifiers) {
        QTest::mouseClick(viewport, Qt::LeftButton, modifiers, list.List()->visualItemRect(list.List()->item(row)).center());
        test::ProcessEvents();
    };
    // Frames 2-5: a click, then a Shift-click.
    click(1, {});
    click(4, Qt::ShiftModifier);
    EXPECT_EQ(list.List()->selectedItems().size(), 4);
    TypeInto(list.DurationBox(), "0.5");
    const Animation& animation = e.Doc().GetAnimation();
    std::vector<std::uint32_t> durations;
    for (const auto& frame : animation.Frames()) durations.push_back(frame->duration);
    EXPECT_EQ(durations, (std::vector<std::uint32_t>{100, 50, 50, 50, 50, 100}));
    // One step takes all of it back.
    e.Doc().History().Undo();
    EXPECT_EQ(animation.Frames()[2]->duration, 100u);
    e.Doc().History().Redo();
    // The selection survives the list's rebuild.
    EXPECT_EQ(list.List()->selectedItems().size(), 4);
    std::vector<ObjectUid> before;
    for (const auto& frame : animation.Frames()) before.push_back(frame->Uid());
    e.Run(C::ReverseFrames);
    std::vector<ObjectUid> after;
    for (const auto& frame : animation.Frames()) after.push_back(frame->Uid());
    EXPECT_EQ(after, (std::vector{before[0], before[4], before[3], before[2], before[1], before[5]}));
    EXPECT_EQ(e.Doc().History().UndoLabel(), "Reverse Frames");
}

TEST(FrameEditing, ThePreviewPlaysOnlyFramesThatAreWrittenAndAnAllMasterListHasNoTimer) {
    Editor e;
    Animation& animation = e.Doc().GetAnimation();
    animation.AppendFrame()->duration = 1;
    {
        PreviewWindow window(animation, nullptr);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_EQ(window.windowTitle(), "Preview Browser");
        EXPECT_EQ(window.Player().Size(), 2u);
        EXPECT_TRUE(window.Canvas().Timer().isActive());
        EXPECT_EQ(window.Canvas().Timer().interval(), 1000);
        const QImage shot = window.Canvas().grab().toImage();
        EXPECT_EQ(shot.pixelColor(0, 0), QColor(Qt::white));  // the margin around the centred image
    }
    animation.FirstFrame()->isMaster = true;
    animation.LastFrame()->isMaster = true;
    PreviewWindow empty(animation, nullptr);
    EXPECT_TRUE(empty.Player().IsEmpty());
    EXPECT_FALSE(empty.Canvas().Timer().isActive());
}

TEST(FrameEditing, ThePreviewKeysPauseStepAndCloseAndLargePicturesFitTheScreen) {
    Editor e;
    Animation& animation = e.Doc().GetAnimation();
    animation.AppendFrame()->duration = 50;
    animation.AppendFrame()->duration = 20;
    PreviewWindow window(animation, nullptr);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(window.Canvas().Timer().isActive());
    QTest::keyClick(&window, Qt::Key_Space);
    EXPECT_FALSE(window.Canvas().Timer().isActive());
    EXPECT_TRUE(window.StatusText().contains("paused")) << window.StatusText().toStdString();
    QTest::keyClick(&window, Qt::Key_Right);
    QTest::keyClick(&window, Qt::Key_Right);
    EXPECT_EQ(window.Player().CurrentIndex(), 2u);
    EXPECT_TRUE(window.StatusText().startsWith("Frame 3 of 3   1.50 s")) << window.StatusText().toStdString();
    QTest::keyClick(&window, Qt::Key_Left);
    EXPECT_EQ(window.Player().CurrentIndex(), 1u);
    QTest::keyClick(&window, Qt::Key_End);
    EXPECT_EQ(window.Player().CurrentIndex(), 2u);
    QTest::keyClick(&window, Qt::Key_Home);
    EXPECT_EQ(window.Player().CurrentIndex(), 0u);
    QTest::keyClick(&window, Qt::Key_S);  // 1x to 2x: the first frame's second plays in half
    QTest::keyClick(&window, Qt::Key_Space);
    EXPECT_TRUE(window.Canvas().Timer().isActive());
    EXPECT_EQ(window.Canvas().Timer().interval(), 500);
    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);

    // A canvas larger than the screen: the window stays within nine tenths
    // of it and the picture is drawn smaller, whole.
    e.Doc().GetAnimation().SetSize(1200, 1200);
    PreviewWindow large(animation, nullptr);
    large.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&large));
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    EXPECT_LE(large.width(), screen.width() * 9 / 10);
    EXPECT_LE(large.height(), screen.height() * 9 / 10);
    const QRect shown = large.Canvas().ImageRect();
    EXPECT_TRUE(large.Canvas().rect().contains(shown)) << shown.width() << "x" << shown.height();
    EXPECT_EQ(shown.width(), shown.height());
    EXPECT_LT(shown.width(), 1200);
    QTest::keyClick(&large, Qt::Key_Escape);
    EXPECT_FALSE(large.isVisible());
}

TEST(FrameEditing, DialogsCheckTheirFieldsBeforeClosing) {
    test::PromptLog& log = test::ResetPrompts();
    WhenDialogShows([&](QDialog& setup) {
        setup.findChild<QLineEdit*>("width")->setText("0");
        setup.accept();
        EXPECT_TRUE(setup.isVisible());
        ASSERT_EQ(log.messages.size(), 1);
        EXPECT_EQ(log.messages.back(), "Please enter an integer between 1 and 1200.");
        setup.findChild<QLineEdit*>("width")->setText("1200");
        setup.findChild<QLineEdit*>("height")->setText("1");
        setup.accept();
    });
    EXPECT_EQ(AskFrameSetup(nullptr, {468, 60}), (Size{1200, 1}));

    WhenDialogShows([](QDialog& loop) {
        QLineEdit* count = loop.findChild<QLineEdit*>("count");
        EXPECT_FALSE(count->isEnabled());
        EXPECT_EQ(count->text(), "0");
        for (QRadioButton* button : loop.findChildren<QRadioButton*>())
            if (button->text() == "Play") button->click();
        EXPECT_TRUE(count->isEnabled());
        EXPECT_EQ(count->text(), "1");
        loop.accept();
    });
    EXPECT_EQ(AskLoopCount(nullptr, 0), 1u);

    WhenDialogShows([&](QDialog& duration) {
        QLineEdit* seconds = duration.findChild<QLineEdit*>("seconds");
        EXPECT_EQ(seconds->text(), "0.29");
        seconds->setText("700");
        duration.accept();
        EXPECT_EQ(log.messages.back(), "Please enter a number between 0 and 655.35.");
        seconds->setText("0.29");
        duration.accept();
    });
    EXPECT_EQ(AskFrameDuration(nullptr, 29), 29u);  // confirmed unchanged, unchanged
}

TEST(FrameEditing, ResizeAnimationShowsTheSizeByPercentOrWidthAndReturnsTheChoice) {
    WhenDialogShows([](QDialog& dialog) {
        auto* percent = dialog.findChild<QSpinBox*>("percent");
        auto* width = dialog.findChild<QSpinBox*>("width");
        auto* result = dialog.findChild<QLabel*>("result");
        auto* smooth = dialog.findChild<QCheckBox*>("smooth");
        ASSERT_TRUE(percent && width && result && smooth);
        EXPECT_EQ(result->text(), "200 x 100 pixels become 200 x 100 pixels.");
        EXPECT_FALSE(smooth->isChecked());
        EXPECT_FALSE(width->isEnabled());
        percent->setValue(50);
        EXPECT_EQ(result->text(), "200 x 100 pixels become 100 x 50 pixels.");
        for (QRadioButton* button : dialog.findChildren<QRadioButton*>())
            if (button->text() == "To width:") button->click();
        EXPECT_TRUE(width->isEnabled());
        EXPECT_FALSE(percent->isEnabled());
        width->setValue(301);
        EXPECT_EQ(result->text(), "200 x 100 pixels become 301 x 151 pixels.");  // 150.5 rounds up
        smooth->click();
        dialog.accept();
    });
    const std::optional<ResizeAnimationValues> chosen = AskResizeAnimation(nullptr, {{200, 100}, ResampleMode::Sharp});
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->size, (AnimationSize{301, 151}));
    EXPECT_EQ(chosen->resampling, ResampleMode::Smooth);

    WhenDialogShows([](QDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(AskResizeAnimation(nullptr, {{200, 100}, ResampleMode::Smooth}).has_value());
}

TEST(FrameEditing, OnionSkinSettingsStartFromTheCountsAndKeepTheOnOffState) {
    WhenDialogShows([](QDialog& dialog) {
        auto* before = dialog.findChild<QSpinBox*>("framesBefore");
        auto* after = dialog.findChild<QSpinBox*>("framesAfter");
        ASSERT_TRUE(before && after);
        EXPECT_EQ(before->value(), 2);
        EXPECT_EQ(after->value(), 0);
        EXPECT_EQ(before->minimum(), 1);
        EXPECT_EQ(after->maximum(), 3);
        before->setValue(3);
        after->setValue(1);
        dialog.accept();
    });
    const std::optional<OnionSkinSettings> chosen = AskOnionSkinSettings(nullptr, {true, 2, 0});
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, (OnionSkinSettings{true, 3, 1}));

    WhenDialogShows([](QDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(AskOnionSkinSettings(nullptr, {false, 1, 0}).has_value());
}

TEST(FrameEditing, QuickAnimationKeepsFullPathsFromSeveralFoldersInNameOrder) {
    Editor e;
    const std::filesystem::path dir = test::ScratchDir("quick-animation");
    std::filesystem::create_directories(dir / "one");
    std::filesystem::create_directories(dir / "two");
    test::WriteFlatGif(dir / "two" / "c.gif", 4, 3, {0x0000FF});
    test::WriteFlatGif(dir / "one" / "a.gif", 4, 3, {0xFF0000});
    test::WriteFlatGif(dir / "two" / "B.gif", 4, 3, {0x00FF00});  // capital: still between a and c
    const auto path = [&](const char* folder, const char* name) {
        return QString::fromStdString((dir / folder / name).string());
    };
    WhenDialogShows([&](QDialog& quick) {
        auto* ok = quick.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        EXPECT_FALSE(ok->isEnabled());  // nothing chosen yet
        e.log.fileAnswer = path("two", "c.gif") + "\n" + path("one", "a.gif");
        quick.findChild<QPushButton*>("selectImages")->click();
        e.log.fileAnswer = path("two", "B.gif");
        quick.findChild<QPushButton*>("selectImages")->click();
        // The file dialog offers every picture format that imports.
        const QStringList filters = e.log.dialogs.back().filters;
        EXPECT_TRUE(filters.value(0).contains("*.png")) << filters.join(" | ").toStdString();
        EXPECT_TRUE(filters.value(0).contains("*.jpg"));
        EXPECT_TRUE(filters.value(0).contains("*.gif"));
        EXPECT_TRUE(ok->isEnabled());
        quick.findChild<QLineEdit*>("seconds")->setText("0");
        quick.accept();
        EXPECT_TRUE(quick.isVisible());
        ASSERT_EQ(e.log.messages.size(), 1);
        EXPECT_EQ(e.log.messages[0], "Please enter a number between 0.01 and 650.");
        quick.findChild<QLineEdit*>("seconds")->setText("0.5");
        quick.accept();
    });
    const int before = e.Frame().Children().size();
    e.Run(C::QuickAnimation);
    ASSERT_EQ(e.Frame().Children().size(), before + 1);
    const Animation& animation = e.Doc().GetAnimation();
    ASSERT_EQ(animation.FrameCount(), 3u);
    const PixelValue expected[] = {0x00FF0000, 0x0000FF00, 0x000000FF};  // a, B, c
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(animation.Frames()[i]->duration, 50u);
        EXPECT_EQ(animation.Frames()[i]->Image().GetPixel(1, 1) & 0x00FFFFFF, expected[i]) << i;
    }
}

}  // namespace
}  // namespace vantrel
