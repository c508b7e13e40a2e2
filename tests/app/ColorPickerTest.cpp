// The colour picker offscreen: what it shows when it opens, how its controls
// change the colour, what OK and Cancel hand back.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <functional>

#include "AppTestUtil.h"
#include "app/dialogs/ColorPickerDialog.h"
#include "app/dialogs/ColorWidgets.h"
#include "app/dialogs/HexColorDialog.h"

namespace vantrel {
namespace {

constexpr PixelValue kHalfRed = 0x80FF0000;

template <typename T>
T* Child(const QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Runs act on the modal dialog once it is shown (the caller then runs it).
void WhenModal(std::function<void(QWidget&)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        act(*modal);
    });
}

QPushButton* ButtonNamed(QWidget& dialog, const QString& text) {
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == text) return b;
    ADD_FAILURE() << text.toStdString();
    return nullptr;
}

PixelValue PixelOf(const QImage& image, int x, int y) { return image.pixel(x, y) & 0x00FFFFFFu; }

TEST(ColorPicker, OpensOnHalfTransparentRedAndOkGivesItBackUnchanged) {
    const ColorPickRequest request{"Select Foreground Color", kHalfRed, false, {}};
    ColorPickerDialog dialog(request);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Foreground Color"));
    EXPECT_EQ(Child<QSpinBox>(dialog, "red")->value(), 255);
    EXPECT_EQ(Child<QSpinBox>(dialog, "green")->value(), 0);
    EXPECT_EQ(Child<QSpinBox>(dialog, "blue")->value(), 0);
    EXPECT_EQ(Child<QSpinBox>(dialog, "opacity")->value(), 50);
    EXPECT_EQ(Child<QSlider>(dialog, "opacitySlider")->value(), 50);
    EXPECT_EQ(Child<QSlider>(dialog, "redSlider")->value(), 255);
    EXPECT_EQ(Child<QPushButton>(dialog, "hexButton")->text(), QStringLiteral("#FF0000"));
    EXPECT_TRUE(Child<QSpinBox>(dialog, "opacity")->isEnabled());

    // The swatch: the initial colour's grey tone at the top-left, its white tone
    // at the bottom-left (column 0, row 5).
    QWidget* swatch = Child<QWidget>(dialog, "swatch");
    const QImage shot = swatch->grab().toImage();
    EXPECT_EQ(PixelOf(shot, 0, 0), 0x00DF6060u);
    EXPECT_EQ(PixelOf(shot, 0, shot.height() - 1), 0x00FF8080u);

    WhenModal([](QWidget& modal) { ButtonNamed(modal, QStringLiteral("OK"))->click(); });
    EXPECT_EQ(RunChecked<ColorPickerDialog>(request, nullptr), kHalfRed);
}

TEST(ColorPicker, CancelHandsBackNothingWhateverWasChanged) {
    const ColorPickRequest request{"Select Fill Color", kHalfRed, false, {}};
    WhenModal([](QWidget& modal) {
        Child<QSlider>(modal, "greenSlider")->setValue(200);
        EXPECT_EQ(static_cast<ColorPickerDialog&>(modal).Color(), 0x80FFC800u);
        ButtonNamed(modal, QStringLiteral("Cancel"))->click();
    });
    EXPECT_EQ(RunChecked<ColorPickerDialog>(request, nullptr), std::nullopt);
}

TEST(ColorPicker, NoOpacityDisablesTheOpacityControlsAndKeepsTheTransparency) {
    const ColorPickRequest request{"Frame Background Color", 0x01FF0000, true, {}};
    ColorPickerDialog dialog(request);
    EXPECT_FALSE(Child<QSpinBox>(dialog, "opacity")->isEnabled());
    EXPECT_FALSE(Child<QSlider>(dialog, "opacitySlider")->isEnabled());
    EXPECT_TRUE(Child<QSpinBox>(dialog, "red")->isEnabled());
    EXPECT_EQ(dialog.Color(), 0x01FF0000u);
    Child<QSlider>(dialog, "blueSlider")->setValue(16);
    EXPECT_EQ(dialog.Color(), 0x00FF0010u);  // 100% composes as T 0
}

TEST(ColorPicker, TypingAboveTheRangeGivesTheMaximum) {
    ColorPickerDialog dialog({"t", kHalfRed, false, {}});
    QSpinBox* green = Child<QSpinBox>(dialog, "green");
    QLineEdit* edit = green->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("300"));
    EXPECT_EQ(green->value(), 255);
    EXPECT_EQ(dialog.Color(), 0x80FFFF00u);
    EXPECT_EQ(Child<QSlider>(dialog, "greenSlider")->value(), 255);
    EXPECT_EQ(Child<QPushButton>(dialog, "hexButton")->text(), QStringLiteral("#FFFF00"));
    QTest::keyClicks(edit, QStringLiteral("x"));  // not a digit: refused
    EXPECT_EQ(green->value(), 255);
}

TEST(ColorPicker, WheelAndStripPickHueSaturationAndValueKeepingTheOpacity) {
    ColorPickerDialog dialog({"t", kHalfRed, false, {}});
    auto* wheel = Child<CColorWheel>(dialog, "wheel");
    auto* strip = Child<CColorWheel>(dialog, "strip");
    ASSERT_EQ(wheel->Picture().size(), QSize(201, 201));
    EXPECT_EQ(wheel->Picture().deviceIndependentSize(), QSizeF(201, 201));
    QTest::mouseClick(wheel, Qt::LeftButton, {}, QPoint(100, 0));  // hue 90 on the rim
    EXPECT_EQ(dialog.Color(), 0x8080FF00u);
    EXPECT_EQ(Child<QSpinBox>(dialog, "opacity")->value(), 50);
    EXPECT_EQ(wheel->Marker(), (Point{100, 0}));
    EXPECT_EQ(PixelOf(strip->Picture(), 0, 0), 0x0080FF00u);  // the strip follows the hue

    QTest::mouseClick(wheel, Qt::LeftButton, {}, QPoint(400, 100));  // outside, to the right
    EXPECT_EQ(dialog.Color(), 0x80FF0000u);
    EXPECT_EQ(wheel->Marker(), (Point{200, 100}));

    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(10, 200));
    EXPECT_EQ(dialog.Color(), 0x80000000u);
    EXPECT_EQ(Child<QSpinBox>(dialog, "red")->value(), 0);
}

TEST(ColorPicker, PredefinedRecentAndHexadecimalColours) {
    ColorPickerDialog dialog({"t", kHalfRed, false, {0x40123456, 0x00FF0000}});
    QComboBox* predefined = Child<QComboBox>(dialog, "predefined");
    ASSERT_EQ(predefined->count(), 13);
    ASSERT_EQ(predefined->itemText(11), QStringLiteral("Orange"));
    emit predefined->activated(11);
    EXPECT_EQ(dialog.Color(), 0x00FF8000u);
    EXPECT_EQ(Child<QSpinBox>(dialog, "opacity")->value(), 100);

    Child<QToolButton>(dialog, "recent0")->click();
    EXPECT_EQ(dialog.Color(), 0x40123456u);
    EXPECT_EQ(Child<QSpinBox>(dialog, "opacity")->value(), 75);
    EXPECT_NE(dialog.findChild<QToolButton*>(QStringLiteral("recent1")), nullptr);
    EXPECT_EQ(dialog.findChild<QToolButton*>(QStringLiteral("recent2")), nullptr);

    auto typeHex = [&dialog](const QString& text) {
        WhenModal([text](QWidget& modal) {
            auto* edit = Child<QLineEdit>(modal, "hex");
            EXPECT_EQ(edit->selectedText(), edit->text());  // whole text selected on opening
            edit->setText(text);
            ButtonNamed(modal, QStringLiteral("OK"))->click();
        });
        Child<QPushButton>(dialog, "hexButton")->click();
    };
    typeHex(QStringLiteral("zz"));
    EXPECT_EQ(dialog.Color(), 0x40123456u);  // does not parse: unchanged
    typeHex(QStringLiteral("-1"));
    EXPECT_EQ(dialog.Color(), 0x40FFFFFFu);  // masked, opacity kept
    typeHex(QStringLiteral("FF"));
    EXPECT_EQ(dialog.Color(), 0x400000FFu);
    EXPECT_EQ(Child<QPushButton>(dialog, "hexButton")->text(), QStringLiteral("#0000FF"));
}

TEST(ColorPicker, CheckerPixmapsAreDrawnAtTheScreenDensity) {
    for (const qreal dpr : {1.0, 2.0}) {
        const QPixmap pixmap = CheckerPixmap(0xFF000000, QSize(14, 14), 4, dpr);
        const QImage image = pixmap.toImage();
        ASSERT_EQ(image.size(), QSize(14, 14) * dpr);
        // Fully transparent black: the two tones are the backdrops; cell (0, 0) is grey.
        EXPECT_EQ(PixelOf(image, static_cast<int>(2 * dpr), static_cast<int>(2 * dpr)), 0x00C0C0C0u) << dpr;
        EXPECT_EQ(PixelOf(image, static_cast<int>(6 * dpr), static_cast<int>(2 * dpr)), 0x00FFFFFFu) << dpr;
    }
}

}  // namespace
}  // namespace vantrel
