// The dialogs of the item commands, offscreen: what typing does, the
// checks on OK with their messages and focus, and the values returned.

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "AppTestUtil.h"
#include "app/dialogs/CanvasSizeDialog.h"
#include "app/dialogs/ImageSizeDialog.h"
#include "app/dialogs/MoveByDialog.h"
#include "app/dialogs/RectStyleDialog.h"
#include "app/dialogs/TextEditDialog.h"

namespace vantrel {
namespace {

// Replaces the text of edit as a person would: select all, type.
void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
}

TEST(ImageSizeDialog, KeepsTheProportionsTheItemHadUntilTheBoxIsCleared) {
    test::ResetPrompts();
    ImageSizeValues values{468, 60};
    ImageSizeDialog dialog(values);
    EXPECT_TRUE(dialog.KeepBox()->isChecked());
    Type(dialog.HeightBox(), "61");
    EXPECT_EQ(dialog.WidthBox()->text(), "475");
    Type(dialog.WidthBox(), "100");
    EXPECT_EQ(dialog.HeightBox()->text(), "12");

    ImageSizeValues other{200, 100};
    ImageSizeDialog second(other);
    Type(second.HeightBox(), "50");
    EXPECT_EQ(second.WidthBox()->text(), "100");
    second.KeepBox()->click();
    Type(second.HeightBox(), "70");
    EXPECT_EQ(second.WidthBox()->text(), "100");
    second.accept();
    EXPECT_EQ(second.result(), QDialog::Accepted);
    EXPECT_EQ(second.chosen.width, 100);
    EXPECT_EQ(second.chosen.height, 70);
}

TEST(ImageSizeDialog, SmoothResamplingStartsFromTheLastChoiceAndIsReturned) {
    test::ResetPrompts();
    ImageSizeValues values{40, 30, ResampleMode::Smooth};
    ImageSizeDialog dialog(values);
    EXPECT_TRUE(dialog.SmoothBox()->isChecked());
    dialog.SmoothBox()->click();
    dialog.accept();
    EXPECT_EQ(dialog.chosen.resampling, ResampleMode::Sharp);

    ImageSizeValues sharp{40, 30};
    ImageSizeDialog second(sharp);
    EXPECT_FALSE(second.SmoothBox()->isChecked());
    second.SmoothBox()->click();
    second.accept();
    EXPECT_EQ(second.chosen.resampling, ResampleMode::Smooth);
}

TEST(ImageSizeDialog, RefusesSidesOutsideOneTo1200WidthFirst) {
    test::PromptLog& log = test::ResetPrompts();
    ImageSizeValues values{50, 50};
    ImageSizeDialog dialog(values);
    dialog.KeepBox()->click();
    Type(dialog.WidthBox(), "0");
    Type(dialog.HeightBox(), "1201");
    dialog.accept();
    EXPECT_EQ(log.messages, QStringList{"Please enter an integer between 1 and 1200."});
    EXPECT_EQ(dialog.focusWidget(), dialog.WidthBox());
    EXPECT_EQ(dialog.WidthBox()->selectedText(), "0");
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosen.width, 50);  // the values chosen stay as they opened until OK passes
    Type(dialog.WidthBox(), "1200");
    dialog.accept();
    EXPECT_EQ(dialog.focusWidget(), dialog.HeightBox());
    EXPECT_EQ(log.messages.size(), 2);
    Type(dialog.HeightBox(), "1");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosen.width, 1200);
    EXPECT_EQ(dialog.chosen.height, 1);
}

TEST(CanvasSizeDialog, ShowsTheResultingSizeLimitedToOneAnd1200) {
    test::ResetPrompts();
    CanvasSizeValues values{100, 100, 0, 0, 0, 0};
    CanvasSizeDialog dialog(values);
    EXPECT_EQ(dialog.SizeLabel()->text(), "Image Size: 100 x 100");
    Type(dialog.LeftBox(), "-60");
    Type(dialog.RightBox(), "-60");
    EXPECT_EQ(dialog.SizeLabel()->text(), "Image Size: 1 x 100");
    Type(dialog.TopBox(), "700");
    Type(dialog.BottomBox(), "700");
    EXPECT_EQ(dialog.SizeLabel()->text(), "Image Size: 1 x 1200");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosen.left, -60);
    EXPECT_EQ(dialog.chosen.right, -60);
    EXPECT_EQ(dialog.chosen.top, 700);
    EXPECT_EQ(dialog.chosen.bottom, 700);
}

TEST(CanvasSizeDialog, AnEmptyAmountIsNotAnInteger) {
    test::PromptLog& log = test::ResetPrompts();
    CanvasSizeValues values{10, 10, 0, 0, 0, 0};
    CanvasSizeDialog dialog(values);
    Type(dialog.TopBox(), "");
    dialog.accept();
    EXPECT_EQ(log.messages, QStringList{"Please enter an integer."});
    EXPECT_EQ(dialog.focusWidget(), dialog.TopBox());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST(TextEditDialog, TypingStopsAtSixtyFourCharactersButALongerTextIsShownWhole) {
    TextEditValues values;
    values.text = "Hi";
    TextEditDialog dialog(values);
    Type(dialog.TextBox(), QString(70, QLatin1Char('x')));
    EXPECT_EQ(dialog.TextBox()->text().size(), kTextEditMaxLength);

    TextEditValues longer;
    longer.text = std::string(100, 'y');  // as a document may hold it
    TextEditDialog shown(longer);
    EXPECT_EQ(shown.TextBox()->text().size(), 100);
}

TEST(MoveByDialog, ReturnsTheDirectionAndADistanceUpTo1200) {
    test::PromptLog& log = test::ResetPrompts();
    MoveByValues values{MoveDirection::Left, 30};
    MoveByDialog dialog(values);
    EXPECT_EQ(dialog.Directions()->checkedId(), int(MoveDirection::Left));
    EXPECT_EQ(dialog.DistanceBox()->text(), "30");
    EXPECT_EQ(dialog.focusWidget(), dialog.DistanceBox());
    Type(dialog.DistanceBox(), "1201");
    dialog.accept();
    EXPECT_EQ(log.messages, QStringList{"Please enter an integer between 0 and 1200."});
    Type(dialog.DistanceBox(), "12");
    dialog.Directions()->button(int(MoveDirection::Down))->click();
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosen.direction, MoveDirection::Down);
    EXPECT_EQ(dialog.chosen.distance, 12);

    MoveByValues none{MoveDirection::None, 5};
    MoveByDialog unchecked(none);
    unchecked.accept();
    EXPECT_EQ(unchecked.chosen.direction, MoveDirection::None);
}

TEST(RectStyleDialog, EnablesTheListsTheStyleUsesAndReturnsTheChoice) {
    test::ResetPrompts();
    RectStyleValues values{1, 0, 1};
    RectStyleDialog dialog(values);
    EXPECT_EQ(dialog.LineWidthList()->currentText(), "None");
    EXPECT_EQ(dialog.SpaceWidthList()->currentText(), "1 pix");
    EXPECT_EQ(dialog.LineWidthList()->count(), 33);
    EXPECT_EQ(dialog.SpaceWidthList()->count(), 32);
    EXPECT_TRUE(dialog.LineWidthList()->isEnabled());
    EXPECT_FALSE(dialog.SpaceWidthList()->isEnabled());
    dialog.Styles()->button(0)->click();
    EXPECT_FALSE(dialog.LineWidthList()->isEnabled());
    dialog.Styles()->button(3)->click();
    EXPECT_TRUE(dialog.LineWidthList()->isEnabled());
    EXPECT_TRUE(dialog.SpaceWidthList()->isEnabled());
    dialog.LineWidthList()->setCurrentIndex(32);
    dialog.SpaceWidthList()->setCurrentIndex(4);
    dialog.accept();
    EXPECT_EQ(dialog.chosen.fillStyle, 3);
    EXPECT_EQ(dialog.chosen.lineWidth, 32);
    EXPECT_EQ(dialog.chosen.spaceWidth, 5);
}

}  // namespace
}  // namespace vantrel
