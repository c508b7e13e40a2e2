#include "app/dialogs/ImageSizeDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <cmath>

#include "app/dialogs/DialogSupport.h"

namespace vantrel {

ImageSizeDialog::ImageSizeDialog(const ImageSizeValues& values, QWidget* parent)
    : CheckedDialog(parent),
      chosen(values),
      ratio_(values.height != 0 ? double(values.width) / double(values.height) : 1.0),
      keep_(new QCheckBox(QStringLiteral("Keep proportions"), this)),
      width_(new QLineEdit(QString::number(values.width), this)),
      height_(new QLineEdit(QString::number(values.height), this)),
      smooth_(new QCheckBox(QStringLiteral("Smooth resampling (bitmaps)"), this)) {
    setWindowTitle(QStringLiteral("Image Size"));
    keep_->setChecked(true);
    smooth_->setObjectName(QStringLiteral("smooth"));
    smooth_->setChecked(values.resampling == ResampleMode::Smooth);
    smooth_->setToolTip(QStringLiteral("Averages pixels when shrinking and blends them when growing; "
                                       "without it pixels stay sharp squares. The resize handles use the same choice."));
    width_->setObjectName(QStringLiteral("width"));
    height_->setObjectName(QStringLiteral("height"));
    for (QLineEdit* edit : {width_, height_}) {
        MakeIntegerEdit(edit, false);
        edit->setMaximumWidth(70);
    }
    // textEdited comes only from the user's typing, never from setText.
    connect(height_, &QLineEdit::textEdited, this, [this] {
        if (keep_->isChecked()) width_->setText(QString::number(std::trunc(ratio_ * TypedNumber(height_)), 'f', 0));
    });
    connect(width_, &QLineEdit::textEdited, this, [this] {
        if (keep_->isChecked() && ratio_ != 0)
            height_->setText(QString::number(std::trunc(TypedNumber(width_) / ratio_), 'f', 0));
    });

    auto* picture = new QFrame(this);
    picture->setFrameShape(QFrame::Box);
    picture->setFixedSize(80, 80);
    auto* grid = new QGridLayout;
    grid->addWidget(width_, 0, 0, Qt::AlignHCenter);
    grid->addWidget(picture, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("X"), this), 1, 1);
    grid->addWidget(height_, 1, 2);
    QDialogButtonBox* buttons = OkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(keep_);
    layout->addLayout(grid);
    layout->addWidget(smooth_);
    layout->addWidget(buttons);
    FocusAndSelect(width_);
}

bool ImageSizeDialog::Check() {
    const IntegerLimits side{1, kMaxItemSide};
    const auto width = CheckedInteger(this, width_, false, side);
    if (!width) return false;
    const auto height = CheckedInteger(this, height_, false, side);
    if (!height) return false;
    chosen = {*width, *height, smooth_->isChecked() ? ResampleMode::Smooth : ResampleMode::Sharp};
    return true;
}

}  // namespace vantrel
