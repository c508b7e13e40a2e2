#pragma once
// "Image Size": the new width and height of an item (1 to 1200 each). With
// "Keep proportions" checked, typing one side sets the other from the
// proportions the item had when the dialog opened. "Smooth resampling"
// chooses how bitmaps are scaled.

#include <QDialog>

#include "view/ViewDialogs.h"

class QCheckBox;
class QLineEdit;

namespace vantrel {

class CImageSizeDlg final : public QDialog {
    Q_OBJECT

public:
    CImageSizeDlg(ImageSizeValues& values, QWidget* parent = nullptr);
    QLineEdit* WidthBox() const { return width_; }
    QLineEdit* HeightBox() const { return height_; }
    QCheckBox* KeepBox() const { return keep_; }
    QCheckBox* SmoothBox() const { return smooth_; }

    void accept() override;

private:
    ImageSizeValues& values_;
    double ratio_;
    QCheckBox* keep_;
    QLineEdit* width_;
    QLineEdit* height_;
    QCheckBox* smooth_;
};

}  // namespace vantrel
