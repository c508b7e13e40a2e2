#pragma once
// "Image Size": the new width and height of an item (1 to 1200 each). With
// "Keep proportions" checked, typing one side sets the other from the
// proportions the item had when the dialog opened. "Smooth resampling"
// chooses how bitmaps are scaled.

#include "app/dialogs/DialogSupport.h"

#include "view/ViewDialogs.h"

class QCheckBox;
class QLineEdit;

namespace vantrel {

class ImageSizeDialog final : public CheckedDialog {
    Q_OBJECT

public:
    explicit ImageSizeDialog(const ImageSizeValues& values, QWidget* parent = nullptr);
    QLineEdit* WidthBox() const { return width_; }
    QLineEdit* HeightBox() const { return height_; }
    QCheckBox* KeepBox() const { return keep_; }
    QCheckBox* SmoothBox() const { return smooth_; }

    // The values it opened with until OK passes its checks, then the values chosen.
    ImageSizeValues chosen;

private:
    bool Check() override;
    double ratio_;
    QCheckBox* keep_;
    QLineEdit* width_;
    QLineEdit* height_;
    QCheckBox* smooth_;
};

}  // namespace vantrel
