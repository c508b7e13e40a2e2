// "GIF Save Options" offscreen: the size it shows is the size of the export
// with the options it would return, worked out while the dialog stays live;
// "Fit under" returns options whose export fits, or stays open saying why.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "AppTestUtil.h"
#include "app/dialogs/GifSaveOptionsDialog.h"
#include "app/dialogs/GifSizeEstimator.h"
#include "document/BitmapItem.h"
#include "document/CQVDoc.h"

namespace vantrel {
namespace {

// Frames of noise over a gradient: far more than 256 colours, and a file
// that shrinks markedly with fewer colours.
std::unique_ptr<CQVDoc> NoisyAnimation(int frames, int width, int height) {
    auto doc = std::make_unique<CQVDoc>();
    Animation& animation = doc->GetAnimation();
    animation.SetSize(width, height);
    std::uint32_t state = 11;
    for (int f = 0; f < frames; ++f) {
        AnimFrame* frame = f == 0 ? animation.FirstFrame() : animation.AppendFrame();
        PackedDib picture;
        picture.SetSize(width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                state = state * 1664525u + 1013904223u;
                picture.Row(y)[x] = MakePixel(std::uint8_t(x * 2 + (state >> 28)), std::uint8_t(y * 2 + f),
                                              std::uint8_t(state >> 24));
            }
        }
        auto item = BitmapItem::FromImage(std::move(picture));
        item->MoveTo(animation.Canvas().left, animation.Canvas().top);
        frame->AppendItem(std::move(item));
    }
    return doc;
}

// The dialog as the export of animation opens it (the export itself is
// cancelled; the dialog keeps its own copy of the images).
std::unique_ptr<GifSaveOptionsDialog> OpenFor(Animation& animation) {
    std::unique_ptr<GifSaveOptionsDialog> dialog;
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(EncodeAnimationAsGif(animation, bytes, [&](const GifExportRequest& request) {
                    dialog = std::make_unique<GifSaveOptionsDialog>(nullptr, request);
                    return std::optional<GifExportOptions>();
                }).ok());
    dialog->show();
    return dialog;
}

std::vector<std::uint8_t> Exported(Animation& animation, const GifExportOptions& options) {
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(EncodeAnimationAsGif(animation, bytes, [&](const GifExportRequest&) {
                    return std::optional(options);
                }).ok());
    return bytes;
}

QString SizeText(std::size_t bytes) { return QStringLiteral("File size: ") + FileSizeText(bytes); }

TEST(GifSaveOptionsDialog, ShowsTheSizeOfTheExportForTheLatestChoices) {
    test::ResetPrompts();
    auto doc = NoisyAnimation(4, 60, 40);
    Animation& animation = doc->GetAnimation();
    auto dialog = OpenFor(animation);
    ASSERT_TRUE(dialog->ReduceButton()->isChecked());
    QTRY_COMPARE(dialog->SizeLabel()->text(), SizeText(Exported(animation, dialog->Options()).size()));
    const QString first = dialog->SizeLabel()->text();

    // Several changes in a row, without waiting: only the last is shown.
    QComboBox* counts = dialog->CountBox();
    ASSERT_GE(counts->count(), 5);
    counts->setCurrentIndex(1);
    counts->setCurrentIndex(4);
    dialog->SizeReductionBox()->setChecked(false);
    EXPECT_FALSE(dialog->SizeLabel()->text().contains(QStringLiteral("bytes")));  // not answered yet
    const GifExportOptions last = dialog->Options();
    EXPECT_EQ(last.colorCount, counts->itemData(4).toInt());
    EXPECT_FALSE(last.sizeReduction);
    const QString expected = SizeText(Exported(animation, last).size());
    EXPECT_NE(expected, first);
    QTRY_COMPARE(dialog->SizeLabel()->text(), expected);
    // And it stays so once every worker is done.
    QTest::qWait(50);
    EXPECT_EQ(dialog->SizeLabel()->text(), expected);

    // Dithering is one of the choices measured.
    dialog->DitherBox()->setChecked(true);
    ASSERT_TRUE(dialog->Options().dither);
    const QString dithered = SizeText(Exported(animation, dialog->Options()).size());
    EXPECT_NE(dithered, expected);
    QTRY_COMPARE(dialog->SizeLabel()->text(), dithered);
}

TEST(GifSaveOptionsDialog, FitUnderReturnsOptionsWhoseExportFits) {
    test::ResetPrompts();
    auto doc = NoisyAnimation(3, 120, 80);
    Animation& animation = doc->GetAnimation();
    const std::size_t full = Exported(animation, GifExportOptions{true, 256, true}).size();
    const std::size_t sixteen = Exported(animation, GifExportOptions{true, 16, true}).size();
    ASSERT_LT(sixteen + 2 * GifSaveOptionsDialog::kBytesPerKilobyte, full);
    const int kilobytes = int((sixteen + full) / 2 / GifSaveOptionsDialog::kBytesPerKilobyte);

    auto dialog = OpenFor(animation);
    dialog->FitBox()->setChecked(true);
    dialog->FitKilobytesBox()->setValue(kilobytes);
    dialog->accept();
    QTRY_COMPARE(dialog->result(), int(QDialog::Accepted));
    const GifExportOptions fitted = dialog->Options();
    EXPECT_TRUE(fitted.reduce);
    EXPECT_LT(fitted.colorCount, 256);
    EXPECT_GE(fitted.colorCount, 16);
    EXPECT_LE(Exported(animation, fitted).size(), std::size_t(kilobytes) * GifSaveOptionsDialog::kBytesPerKilobyte);
}

TEST(GifSaveOptionsDialog, FitUnderAnImpossibleBudgetSaysSoAndStaysOpen) {
    test::ResetPrompts();
    auto doc = NoisyAnimation(3, 120, 80);
    auto dialog = OpenFor(doc->GetAnimation());
    dialog->FitBox()->setChecked(true);
    dialog->FitKilobytesBox()->setValue(1);
    dialog->accept();
    QTRY_VERIFY(!dialog->FitMessage()->text().contains(QStringLiteral("Looking")));
    EXPECT_TRUE(dialog->FitMessage()->text().contains(QStringLiteral("does not fit"))) << dialog->FitMessage()->text().toStdString();
    EXPECT_TRUE(dialog->FitMessage()->text().contains(QStringLiteral("2 colours")));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(dialog->result(), int(QDialog::Accepted));
}

TEST(GifSaveOptionsDialog, WithoutImagesShowsNoSize) {
    GifSaveOptionsDialog dialog(nullptr, GifExportRequest{300, true});
    EXPECT_FALSE(dialog.FitBox()->isVisibleTo(&dialog));
    dialog.accept();
    EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
    EXPECT_EQ(dialog.Options().colorCount, 256);
}

}  // namespace
}  // namespace vantrel
