#pragma once
// "GIF Save Options": the exact palette or "Reduce to:" a number of colours
// (optionally dithered onto them), "One palette for all frames" (else a frame
// whose own palette shows it truer or takes fewer bytes gets one), whether
// the animation is made smaller by writing only what changes, the
// size of the file these choices make and, pixel for pixel, the current
// frame as that file shows it (both worked out on a worker thread as they
// change), and "Fit under N KB", which on OK searches for the colour count
// that keeps the file under N KB and stays open, saying why, when even the
// fewest colours do not fit. AskGifSaveOptions opens it with the choices
// confirmed last time (kept in the program's settings) and keeps the new ones.

#include <QDialog>
#include <cstdint>
#include <memory>
#include <optional>

#include "document/Export.h"
#include "view/SaveOptions.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSlider;
class QSpinBox;

namespace vantrel {

class GifSizeEstimator;
struct GifEstimate;

class GifSaveOptionsDialog : public QDialog {
public:
    // Shows the size only when the request carries the images to be written.
    // Starts from the choices last confirmed when given, else from the defaults.
    GifSaveOptionsDialog(QWidget* parent, const GifExportRequest& request, const GifSaveChoices* last = nullptr);
    ~GifSaveOptionsDialog() override;

    // The choices as they stand (after OK with "Fit under", the fitted ones).
    GifExportOptions Options() const;
    // The choices as the dialog shows them, to be remembered for the next save.
    GifSaveChoices Choices() const;

    QComboBox* CountBox() const { return counts_; }
    QRadioButton* ReduceButton() const { return reduce_; }
    QCheckBox* DitherBox() const { return dither_; }
    // The classic median cut instead of the refined palette.
    QCheckBox* ClassicBox() const { return classic_; }
    // "One palette for all frames" rather than a palette per frame where that pays.
    QCheckBox* OnePaletteBox() const { return onePalette_; }
    QCheckBox* SizeReductionBox() const { return sizeReduction_; }
    // "Lossy": 0 (lossless) to kMaxLossy.
    QSlider* LossySlider() const { return lossy_; }
    QLabel* SizeLabel() const { return size_; }
    QCheckBox* FitBox() const { return fit_; }
    QSpinBox* FitKilobytesBox() const { return fitKilobytes_; }
    QLabel* FitMessage() const { return fitMessage_; }
    // The current frame as the file shows it (its pixmap null until the
    // first answer; greyed while a newer one is being worked out).
    QLabel* Preview() const { return preview_; }
    QScrollArea* PreviewArea() const { return previewArea_; }
    GifSizeEstimator* Estimator() const { return estimator_.get(); }

    // The most room the preview takes in the dialog; larger frames scroll.
    static constexpr int kPreviewMaxWidth = 480;
    static constexpr int kPreviewMaxHeight = 320;

    static constexpr std::uint64_t kBytesPerKilobyte = 1000;

    void accept() override;

private:
    void ChoicesChanged();
    void Answered(const GifEstimate& estimate);
    // Shows text under "Fit under", growing the dialog when it needs more room.
    void ShowFitMessage(const QString& text);

    GifExportRequest request_;
    QRadioButton* exact_ = nullptr;
    QRadioButton* reduce_ = nullptr;
    QComboBox* counts_ = nullptr;
    QCheckBox* dither_ = nullptr;
    QCheckBox* classic_ = nullptr;
    QCheckBox* onePalette_ = nullptr;
    QCheckBox* sizeReduction_ = nullptr;
    QSlider* lossy_ = nullptr;
    QLabel* size_ = nullptr;
    QCheckBox* fit_ = nullptr;
    QSpinBox* fitKilobytes_ = nullptr;
    QLabel* fitMessage_ = nullptr;
    QLabel* preview_ = nullptr;
    QScrollArea* previewArea_ = nullptr;
    QPushButton* ok_ = nullptr;
    std::optional<GifExportOptions> fitted_;
    std::unique_ptr<GifSizeEstimator> estimator_;
};

// The choices last confirmed, from the settings store; none before the first.
std::optional<GifSaveChoices> LoadGifSaveChoices();
void StoreGifSaveChoices(const GifSaveChoices& choices);

// Runs the dialog from the remembered choices; on OK remembers the new ones.
std::optional<GifExportOptions> AskGifSaveOptions(QWidget* parent, const GifExportRequest& request);

}  // namespace vantrel
