#include "app/dialogs/CanvasSizeDlg.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "app/dialogs/DialogSupport.h"

namespace vantrel {

CCanvasSizeDlg::CCanvasSizeDlg(CanvasSizeValues& values, QWidget* parent)
    : QDialog(parent),
      values_(values),
      left_(new QLineEdit(QString::number(values.left), this)),
      top_(new QLineEdit(QString::number(values.top), this)),
      right_(new QLineEdit(QString::number(values.right), this)),
      bottom_(new QLineEdit(QString::number(values.bottom), this)),
      size_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Canvas Size"));
    const char* names[] = {"left", "top", "right", "bottom"};
    int n = 0;
    for (QLineEdit* edit : {left_, top_, right_, bottom_}) {
        edit->setObjectName(QLatin1String(names[n++]));
        MakeIntegerEdit(edit, true);
        edit->setMaximumWidth(60);
        connect(edit, &QLineEdit::textEdited, this, &CCanvasSizeDlg::ShowSize);
    }
    auto* square = new QFrame(this);
    square->setFrameShape(QFrame::Box);
    square->setFixedSize(60, 60);
    auto* grid = new QGridLayout;
    grid->addWidget(top_, 0, 1, Qt::AlignHCenter);
    grid->addWidget(left_, 1, 0);
    grid->addWidget(square, 1, 1, Qt::AlignCenter);
    grid->addWidget(right_, 1, 2);
    grid->addWidget(bottom_, 2, 1, Qt::AlignHCenter);
    auto* help = new QLabel(
        QStringLiteral("Expand/crop the image by specified number of pixels from each side. Put negative number to crop."),
        this);
    help->setWordWrap(true);
    QDialogButtonBox* buttons = OkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(help);
    layout->addWidget(size_);
    layout->addWidget(buttons);
    ShowSize();
    FocusAndSelect(left_);
}

void CCanvasSizeDlg::ShowSize() {
    const auto shown = [](long long side) { return std::clamp<long long>(side, 1, kMaxItemSide); };
    const long long width = (long long)TypedNumber(left_) + values_.width + TypedNumber(right_);
    const long long height = (long long)TypedNumber(top_) + values_.height + TypedNumber(bottom_);
    size_->setText(QStringLiteral("Image Size: %1 x %2").arg(shown(width)).arg(shown(height)));
}

void CCanvasSizeDlg::accept() {
    int amounts[4];
    int n = 0;
    for (QLineEdit* edit : {left_, top_, right_, bottom_}) {
        const auto amount = CheckedInteger(this, edit, true);
        if (!amount) return;
        amounts[n++] = *amount;
    }
    values_.left = amounts[0];
    values_.top = amounts[1];
    values_.right = amounts[2];
    values_.bottom = amounts[3];
    QDialog::accept();
}

}  // namespace vantrel
