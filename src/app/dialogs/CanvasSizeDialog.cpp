#include "app/dialogs/CanvasSizeDialog.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "app/dialogs/DialogSupport.h"

namespace vantrel {

CanvasSizeDialog::CanvasSizeDialog(const CanvasSizeValues& values, QWidget* parent)
    : CheckedDialog(parent),
      chosen(values),
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
        connect(edit, &QLineEdit::textEdited, this, &CanvasSizeDialog::ShowSize);
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

void CanvasSizeDialog::ShowSize() {
    const auto shown = [](long long side) { return std::clamp<long long>(side, 1, kMaxItemSide); };
    const long long width = (long long)TypedNumber(left_) + chosen.width + TypedNumber(right_);
    const long long height = (long long)TypedNumber(top_) + chosen.height + TypedNumber(bottom_);
    size_->setText(QStringLiteral("Image Size: %1 x %2").arg(shown(width)).arg(shown(height)));
}

bool CanvasSizeDialog::Check() {
    int amounts[4];
    int n = 0;
    for (QLineEdit* edit : {left_, top_, right_, bottom_}) {
        const auto amount = CheckedInteger(this, edit, true);
        if (!amount) return false;
        amounts[n++] = *amount;
    }
    chosen.left = amounts[0];
    chosen.top = amounts[1];
    chosen.right = amounts[2];
    chosen.bottom = amounts[3];
    return true;
}

}  // namespace vantrel
