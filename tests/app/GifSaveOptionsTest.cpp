// "GIF Save Options" offscreen: the size it shows is the size of the export
// with the options it would return, worked out while the dialog stays live;
// so is its preview of the current frame; "Fit under" returns options whose
// export fits, or stays open saying why. The worker stops a running job
// when a new request comes or the dialog goes.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "AppTestUtil.h"
#include "app/dialogs/GifSaveOptionsDialog.h"
#include "app/dialogs/GifSizeEstimator.h"
#include "document/BitmapItem.h"
#include "document/CQVDoc.h"

namespace vantrel {
namespace {

// An animation of width x height bitmaps, frame f's pixel (x, y) of the
// colour color(f, x, y), asked frame by frame and row by row from the top.
template <typename Color>
std::unique_ptr<CQVDoc> AnimationOf(int frames, int width, int height, Color color) {
    auto doc = std::make_unique<CQVDoc>();
    Animation& animation = doc->GetAnimation();
    animation.SetSize(width, height);
    for (int f = 0; f < frames; ++f) {
        AnimFrame* frame = f == 0 ? animation.FirstFrame() : animation.AppendFrame();
        PackedDib picture;
        picture.SetSize(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) picture.Row(y)[x] = color(f, x, y);
        auto item = BitmapItem::FromImage(std::move(picture));
        item->MoveTo(animation.Canvas().left, animation.Canvas().top);
        frame->AppendItem(std::move(item));
    }
    return doc;
}

// Frames of noise over a gradient: far more than 256 colours, and a file
// that shrinks markedly with fewer colours.
std::unique_ptr<CQVDoc> NoisyAnimation(int frames, int width, int height) {
    return AnimationOf(frames, width, height, [state = std::uint32_t{11}](int f, int x, int y) mutable {
        state = state * 1664525u + 1013904223u;
        return MakePixel(std::uint8_t(x * 2 + (state >> 28)), std::uint8_t(y * 2 + f), std::uint8_t(state >> 24));
    });
}

// The dialog as the export of animation opens it, with currentImage as the
// current frame (the export itself is cancelled; the dialog keeps its own
// copy of the images).
std::unique_ptr<GifSaveOptionsDialog> OpenFor(Animation& animation, std::size_t currentImage = 0) {
    std::unique_ptr<GifSaveOptionsDialog> dialog;
    EXPECT_TRUE(GifExportJob::OfAnimation(animation)
                    .Encode([&](GifExportRequest request) {
                        request.currentImage = currentImage;
                        dialog = std::make_unique<GifSaveOptionsDialog>(nullptr, request);
                        return std::optional<GifExportOptions>();
                    })
                    .status.ok());
    dialog->show();
    return dialog;
}

// The copy of the images the export of animation offers its chooser.
GifExportImages ImagesOf(Animation& animation) {
    GifExportImages images;
    EXPECT_TRUE(GifExportJob::OfAnimation(animation)
                    .Encode([&](const GifExportRequest& request) {
                        images = CopyGifExportImages(request);
                        return std::optional<GifExportOptions>();
                    })
                    .status.ok());
    return images;
}

// Image `image` of the export with options, as the dialog shows it.
QImage ExpectedPreview(const GifExportImages& images, const GifExportOptions& options, std::size_t image) {
    GifExportRun run;
    run.previewImage = image;
    const GifExportResult result = GifExportJob(CopyGifExportImages({0, false, &images}), run).Preview(options);
    EXPECT_TRUE(result.status.ok());
    return PreviewImage(result.preview);
}

QImage Shown(const GifSaveOptionsDialog& dialog) {
    return dialog.Preview()->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
}

std::vector<std::uint8_t> Exported(Animation& animation, const GifExportOptions& options) {
    const GifExportResult result = GifExportJob::OfAnimation(animation).Encode(options);
    EXPECT_TRUE(result.status.ok());
    return result.bytes;
}

// Processes events until done() holds; false after 10 s. (A failed QTRY_*
// check would only return from the test, unseen by GoogleTest.)
template <typename Done>
bool Eventually(Done done) {
    return QTest::qWaitFor(done, 10000);
}

QString SizeText(std::size_t bytes) { return QStringLiteral("File size: ") + FileSizeText(bytes); }

// What the dialog says a fit chose, in the figures of the file the fitted
// options write: "64 colours, lossy 40, 148,212 bytes (148.2 KB)", with
// its note on palettes of their own after the lossy level.
QString ChosenText(Animation& animation, const GifExportOptions& fitted) {
    const GifExportResult result = GifExportJob::OfAnimation(animation).Encode(fitted);
    EXPECT_TRUE(result.status.ok());
    return QStringLiteral("%1 colours, lossy %2%3, %4")
        .arg(fitted.colorCount)
        .arg(fitted.lossy)
        .arg(QString::fromStdString(OwnPalettesNote(result.report)))
        .arg(FileSizeText(result.bytes.size()));
}

TEST(GifSaveOptionsDialog, ShowsTheSizeOfTheExportForTheLatestChoices) {
    test::ResetPrompts();
    auto doc = NoisyAnimation(4, 60, 40);
    Animation& animation = doc->GetAnimation();
    auto dialog = OpenFor(animation);
    ASSERT_TRUE(dialog->ReduceButton()->isChecked());
    const QString initial = SizeText(Exported(animation, dialog->Options()).size());
    ASSERT_TRUE(Eventually([&] { return dialog->SizeLabel()->text() == initial; }));
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
    ASSERT_TRUE(Eventually([&] { return dialog->SizeLabel()->text() == expected; }));
    // And it stays so once every worker is done.
    QTest::qWait(50);
    EXPECT_EQ(dialog->SizeLabel()->text(), expected);

    // Dithering is one of the choices measured.
    dialog->DitherBox()->setChecked(true);
    ASSERT_TRUE(dialog->Options().dither);
    const QString dithered = SizeText(Exported(animation, dialog->Options()).size());
    EXPECT_NE(dithered, expected);
    ASSERT_TRUE(Eventually([&] { return dialog->SizeLabel()->text() == dithered; }));
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
    ASSERT_TRUE(Eventually([&] { return dialog->result() == int(QDialog::Accepted); }));
    const GifExportOptions fitted = dialog->Options();
    EXPECT_TRUE(fitted.reduce);
    EXPECT_TRUE(fitted.colorCount < 256 || fitted.lossy > 0);  // something was given up
    EXPECT_GE(fitted.colorCount, 16);
    const std::size_t written = Exported(animation, fitted).size();
    EXPECT_LE(written, std::size_t(kilobytes) * GifSaveOptionsDialog::kBytesPerKilobyte);
    // The dialog says what it chose, in the figures of the file written.
    EXPECT_EQ(dialog->FitMessage()->text(), ChosenText(animation, fitted)) << dialog->FitMessage()->text().toStdString();
}

// A budget met only below 16 colours is not taken unasked: the dialog stays
// open, says so and previews that very file; OK again takes it.
TEST(GifSaveOptionsDialog, FitUnderBelowSixteenColoursAsksFirst) {
    test::ResetPrompts();
    auto doc = NoisyAnimation(3, 120, 80);
    Animation& animation = doc->GetAnimation();
    GifExportOptions eight{true, 8, true};
    eight.lossy = kMaxLossy;
    GifExportOptions sixteen{true, 16, true};
    sixteen.lossy = kMaxLossy;
    const std::size_t bytesOfEight = Exported(animation, eight).size();
    const int kilobytes = int((bytesOfEight + GifSaveOptionsDialog::kBytesPerKilobyte - 1) /
                              GifSaveOptionsDialog::kBytesPerKilobyte);
    ASSERT_LT(std::size_t(kilobytes) * GifSaveOptionsDialog::kBytesPerKilobyte, Exported(animation, sixteen).size());

    auto dialog = OpenFor(animation, 1);
    dialog->FitBox()->setChecked(true);
    dialog->FitKilobytesBox()->setValue(kilobytes);
    dialog->accept();
    ASSERT_TRUE(Eventually([&] { return dialog->FitMessage()->text().contains(QStringLiteral("fewer than 16")); }))
        << dialog->FitMessage()->text().toStdString();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(dialog->result(), int(QDialog::Accepted));
    const GifExportOptions fitted = dialog->Options();
    EXPECT_LT(fitted.colorCount, 16);
    const std::vector<std::uint8_t> bytes = Exported(animation, fitted);
    EXPECT_LE(bytes.size(), std::size_t(kilobytes) * GifSaveOptionsDialog::kBytesPerKilobyte);
    EXPECT_TRUE(dialog->FitMessage()->text().contains(ChosenText(animation, fitted)))
        << dialog->FitMessage()->text().toStdString();
    // The preview is the file that OK writes.
    EXPECT_EQ(Shown(*dialog), ExpectedPreview(ImagesOf(animation), fitted, 1));

    dialog->accept();
    EXPECT_EQ(dialog->result(), int(QDialog::Accepted));
    EXPECT_EQ(dialog->Options().colorCount, fitted.colorCount);
}

TEST(GifSaveOptionsDialog, FitUnderAnImpossibleBudgetSaysSoAndStaysOpen) {
    test::ResetPrompts();
    auto doc = NoisyAnimation(3, 120, 80);
    auto dialog = OpenFor(doc->GetAnimation());
    dialog->FitBox()->setChecked(true);
    dialog->FitKilobytesBox()->setValue(1);
    dialog->accept();
    ASSERT_TRUE(Eventually([&] { return !dialog->FitMessage()->text().contains(QStringLiteral("Looking")); }));
    EXPECT_TRUE(dialog->FitMessage()->text().contains(QStringLiteral("does not fit"))) << dialog->FitMessage()->text().toStdString();
    EXPECT_TRUE(dialog->FitMessage()->text().contains(QStringLiteral("2 colours")));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(dialog->result(), int(QDialog::Accepted));
    // The size of the choices as they stand is shown again, even when the
    // search stopped its estimate.
    const QString size = SizeText(Exported(doc->GetAnimation(), dialog->Options()).size());
    EXPECT_TRUE(Eventually([&] { return dialog->SizeLabel()->text() == size; }))
        << dialog->SizeLabel()->text().toStdString();
}

TEST(GifSaveOptionsDialog, PreviewShowsTheCurrentFrameAsTheFileShowsItAndFollowsTheChoices) {
    test::ResetPrompts();
    auto doc = NoisyAnimation(4, 60, 40);
    Animation& animation = doc->GetAnimation();
    const GifExportImages images = ImagesOf(animation);
    auto dialog = OpenFor(animation, 2);
    const QImage first = ExpectedPreview(images, dialog->Options(), 2);
    ASSERT_EQ(first.size(), QSize(60, 40));
    ASSERT_NE(first, ExpectedPreview(images, dialog->Options(), 1));  // the frames differ
    ASSERT_TRUE(Eventually([&] { return Shown(*dialog) == first; }));
    EXPECT_TRUE(dialog->Preview()->isEnabled());
    // Pixel for pixel: the whole frame fits, no scrolling.
    EXPECT_EQ(dialog->PreviewArea()->viewport()->size(), QSize(60, 40));

    QComboBox* counts = dialog->CountBox();
    counts->setCurrentIndex(counts->findData(4));
    ASSERT_EQ(dialog->Options().colorCount, 4);
    EXPECT_FALSE(dialog->Preview()->isEnabled());  // the old one stays, greyed, until the answer
    EXPECT_EQ(Shown(*dialog), first);
    const QImage four = ExpectedPreview(images, dialog->Options(), 2);
    ASSERT_NE(four, first);
    ASSERT_TRUE(Eventually([&] { return Shown(*dialog) == four; }));
    EXPECT_TRUE(dialog->Preview()->isEnabled());
}

TEST(GifSaveOptionsDialog, ClassicChoosesTheMedianCutAndThePreviewFollows) {
    test::ResetPrompts();
    auto doc = NoisyAnimation(2, 60, 40);
    Animation& animation = doc->GetAnimation();
    const GifExportImages images = ImagesOf(animation);
    auto dialog = OpenFor(animation);
    ASSERT_TRUE(dialog->ReduceButton()->isChecked());
    EXPECT_EQ(dialog->Options().quantizer, PaletteMethod::Refined) << "refined unless Classic is ticked";
    EXPECT_TRUE(dialog->ClassicBox()->isEnabled());
    EXPECT_FALSE(dialog->ClassicBox()->isChecked());
    const QImage refined = ExpectedPreview(images, dialog->Options(), 0);
    ASSERT_TRUE(Eventually([&] { return Shown(*dialog) == refined; }));

    dialog->ClassicBox()->setChecked(true);
    EXPECT_EQ(dialog->Options().quantizer, PaletteMethod::MedianCut);
    const QImage classic = ExpectedPreview(images, dialog->Options(), 0);
    ASSERT_NE(classic, refined);
    ASSERT_TRUE(Eventually([&] { return Shown(*dialog) == classic; }));
    const QString size = SizeText(Exported(animation, dialog->Options()).size());
    ASSERT_TRUE(Eventually([&] { return dialog->SizeLabel()->text() == size; }));
}

// Frames of 40 colours each, every frame in hues of its own: more than 256
// colours in all, which palettes per frame keep exactly.
std::unique_ptr<CQVDoc> HueShiftingAnimation(int frames, int width, int height) {
    return AnimationOf(frames, width, height, [](int f, int x, int y) {
        const int step = (x + 3 * y) % 40;
        return MakePixel(std::uint8_t(f * 25), std::uint8_t(step * 6), std::uint8_t(250 - step * 6));
    });
}

TEST(GifSaveOptionsDialog, OnePaletteForAllFramesReachesTheExport) {
    test::ResetPrompts();
    auto doc = HueShiftingAnimation(8, 60, 40);
    Animation& animation = doc->GetAnimation();
    const GifExportImages images = ImagesOf(animation);
    auto dialog = OpenFor(animation, 5);
    ASSERT_TRUE(dialog->ReduceButton()->isChecked());  // more than 256 colours
    ASSERT_TRUE(dialog->OnePaletteBox()->isEnabled());
    EXPECT_FALSE(dialog->OnePaletteBox()->isChecked());
    EXPECT_FALSE(dialog->Options().onePalette);
    const GifExportResult own = GifExportJob::OfAnimation(animation).Encode(dialog->Options());
    ASSERT_GT(own.report.ownPalettes, 0);
    const QString ownSize = SizeText(own.bytes.size());
    ASSERT_TRUE(Eventually([&] { return dialog->SizeLabel()->text() == ownSize; }));
    const QImage exact = ExpectedPreview(images, dialog->Options(), 5);
    ASSERT_TRUE(Eventually([&] { return Shown(*dialog) == exact; }));

    dialog->OnePaletteBox()->setChecked(true);
    const GifExportOptions one = dialog->Options();
    EXPECT_TRUE(one.onePalette);
    const QString oneSize = SizeText(Exported(animation, one).size());
    EXPECT_NE(oneSize, ownSize);
    ASSERT_TRUE(Eventually([&] { return dialog->SizeLabel()->text() == oneSize; }));
    const QImage shared = ExpectedPreview(images, one, 5);
    EXPECT_NE(shared, exact);  // 320 colours do not fit one palette
    ASSERT_TRUE(Eventually([&] { return Shown(*dialog) == shared; }));
}

TEST(GifSaveOptionsDialog, LossyLevelIsReturnedAndMeasured) {
    test::ResetPrompts();
    auto doc = NoisyAnimation(3, 60, 40);
    Animation& animation = doc->GetAnimation();
    auto dialog = OpenFor(animation);
    EXPECT_EQ(dialog->Options().lossy, 0) << "lossless unless asked";
    dialog->LossySlider()->setValue(120);
    const GifExportOptions chosen = dialog->Options();
    EXPECT_EQ(chosen.lossy, 120);
    GifExportOptions lossless = chosen;
    lossless.lossy = 0;
    const std::size_t size = Exported(animation, chosen).size();
    EXPECT_LT(size, Exported(animation, lossless).size());
    ASSERT_TRUE(Eventually([&] { return dialog->SizeLabel()->text() == SizeText(size); }));
}

TEST(GifSaveOptionsDialog, LargeFrameScrollsInLimitedRoom) {
    test::ResetPrompts();
    auto doc = NoisyAnimation(1, 700, 400);
    auto dialog = OpenFor(doc->GetAnimation());
    ASSERT_TRUE(Eventually([&] { return !dialog->Preview()->pixmap().isNull(); }));
    EXPECT_EQ(dialog->Preview()->size(), QSize(700, 400));
    const QSize room = dialog->PreviewArea()->viewport()->size();
    EXPECT_EQ(room, QSize(GifSaveOptionsDialog::kPreviewMaxWidth, GifSaveOptionsDialog::kPreviewMaxHeight));
    EXPECT_GT(dialog->PreviewArea()->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(dialog->PreviewArea()->verticalScrollBar()->maximum(), 0);
}

// Holds the first place a job looks whether to stop until the stop comes
// (for at most 20 s, so that a stop that never comes fails the test rather
// than hanging it), and records what it saw.
struct HeldJob {
    std::promise<void> inside;
    std::atomic<int> looks{0};
    std::atomic<bool> sawStop{false};

    void Hold(GifSizeEstimator& estimator) {
        estimator.SetCheckpoint([this](const std::stop_token& stop) {
            if (looks++ != 0) return;
            inside.set_value();
            for (int i = 0; i < 4000 && !stop.stop_requested(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            sawStop = stop.stop_requested();
        });
    }
};

TEST(GifSizeEstimator, ClosingStopsARunningSearchAtOnce) {
    auto doc = NoisyAnimation(3, 60, 40);
    int answers = 0;
    auto estimator = std::make_unique<GifSizeEstimator>(ImagesOf(doc->GetAnimation()), 0,
                                                        [&](const GifEstimate&) { ++answers; });
    HeldJob job;
    job.Hold(*estimator);
    estimator->Fit(GifExportOptions{true, 256, true}, 1);  // nothing fits: the whole search makes every trial
    job.inside.get_future().wait();
    estimator.reset();
    EXPECT_TRUE(job.sawStop);
    EXPECT_EQ(job.looks, 1);  // the search ended at the place it was stopped
    QCoreApplication::processEvents();
    EXPECT_EQ(answers, 0);
}

TEST(GifSizeEstimator, NewRequestStopsTheRunningJobAndOnlyItIsAnswered) {
    auto doc = NoisyAnimation(3, 60, 40);
    std::vector<GifEstimate> answers;
    GifSizeEstimator estimator(ImagesOf(doc->GetAnimation()), 0,
                               [&](const GifEstimate& estimate) { answers.push_back(estimate); });
    HeldJob job;
    job.Hold(estimator);
    estimator.Fit(GifExportOptions{true, 256, true}, 1);
    job.inside.get_future().wait();
    estimator.Estimate(GifExportOptions{true, 16, true});
    ASSERT_TRUE(Eventually([&] { return answers.size() == std::size_t{1}; }));
    EXPECT_TRUE(job.sawStop);
    EXPECT_FALSE(answers[0].fit);
    EXPECT_TRUE(answers[0].ok);
    EXPECT_EQ(answers[0].options.colorCount, 16);
    EXPECT_EQ(answers[0].preview.size(), QSize(60, 40));
    ASSERT_TRUE(Eventually([&] { return !estimator.Busy(); }));
    EXPECT_EQ(answers.size(), std::size_t{1});
}

TEST(GifSaveOptionsDialog, PreviewShowsTransparentPixelsOverALightCheckerboard) {
    PackedDib pixels;
    pixels.SetSize(16, 16);
    pixels.FillRect(kTransparentWhite);
    pixels.Row(3)[3] = MakePixel(200, 10, 20);
    pixels.Row(12)[3] = MakePixel(0, 0, 255, 128);  // half transparent blue
    const QImage shown = PreviewImage(pixels);
    ASSERT_EQ(shown.size(), QSize(16, 16));
    EXPECT_EQ(shown.pixel(3, 3), qRgb(200, 10, 20));
    const QRgb first = shown.pixel(0, 0);
    const QRgb second = shown.pixel(8, 0);
    EXPECT_NE(first, second);  // two tones, in 8-pixel squares
    EXPECT_EQ(shown.pixel(0, 8), second);
    EXPECT_EQ(shown.pixel(8, 8), first);
    for (const QRgb tone : {first, second}) EXPECT_GE(qGray(tone), 192) << "a light tone";
    const QRgb blended = shown.pixel(3, 12);
    EXPECT_GT(qBlue(blended), qRed(blended));
    EXPECT_GT(qRed(blended), 50);  // the checkerboard shows through
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
