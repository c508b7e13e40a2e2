#include "app/dialogs/RectStyleDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/dialogs/DialogSupport.h"
#include "document/BoxItem.h"

namespace vantrel {

namespace {

// A small picture of a box drawn in a fill style.
QPixmap StylePicture(int fillStyle) {
    QPixmap picture(24, 16);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    const QRect r(2, 2, 20, 12);
    switch (fillStyle) {
        case 0: painter.fillRect(r, Qt::black); break;
        case 1:
            painter.fillRect(r, Qt::black);
            painter.fillRect(r.adjusted(2, 2, -2, -2), QColor(0x80, 0x80, 0xFF));
            break;
        default:
            painter.fillRect(r, QColor(0x80, 0x80, 0xFF));
            for (int i = 0; i < 20; i += 4) {
                if (fillStyle == 2)
                    painter.fillRect(QRect(r.left(), r.top() + i, r.width(), 2).intersected(r), Qt::black);
                else
                    painter.fillRect(QRect(r.left() + i, r.top(), 2, r.height()), Qt::black);
            }
            break;
    }
    return picture;
}

}  // namespace

RectStyleDialog::RectStyleDialog(const RectStyleValues& values, QWidget* parent)
    : CheckedDialog(parent),
      chosen(values),
      lineWidth_(new QComboBox(this)),
      spaceWidth_(new QComboBox(this)),
      styles_(new QButtonGroup(this)) {
    setWindowTitle(QStringLiteral("Rectangle Style"));
    lineWidth_->addItem(QStringLiteral("None"));
    for (int w = 1; w <= kMaxBoxLineWidth; ++w) lineWidth_->addItem(QStringLiteral("%1 pix").arg(w));
    for (int w = kMinBoxSpaceWidth; w <= kMaxBoxSpaceWidth; ++w) spaceWidth_->addItem(QStringLiteral("%1 pix").arg(w));
    lineWidth_->setCurrentIndex(std::clamp(values.lineWidth, 0, kMaxBoxLineWidth));
    spaceWidth_->setCurrentIndex(std::clamp(values.spaceWidth, kMinBoxSpaceWidth, kMaxBoxSpaceWidth) - 1);

    auto* group = new QGroupBox(QStringLiteral("Line Style"), this);
    auto* grid = new QGridLayout(group);
    const char* names[] = {"Solid", "Outline", "Horizontal", "Vertical"};
    for (int style = 0; style < 4; ++style) {
        auto* button = new QRadioButton(QLatin1String(names[style]), group);
        styles_->addButton(button, style);
        button->setChecked(style == values.fillStyle);
        auto* picture = new QLabel(group);
        picture->setPixmap(StylePicture(style));
        grid->addWidget(button, style, 0);
        grid->addWidget(picture, style, 1);
    }
    connect(styles_, &QButtonGroup::idClicked, this, &RectStyleDialog::EnableLists);
    EnableLists(values.fillStyle);

    auto* lists = new QFormLayout;
    lists->addRow(QStringLiteral("Line Width:"), lineWidth_);
    lists->addRow(QStringLiteral("Space Width:"), spaceWidth_);
    QDialogButtonBox* buttons = OkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void RectStyleDialog::EnableLists(int fillStyle) {
    // Solid uses neither width, Outline only the line's, the line styles both.
    lineWidth_->setEnabled(fillStyle != 0);
    spaceWidth_->setEnabled(fillStyle >= 2);
}

bool RectStyleDialog::Check() {
    if (styles_->checkedId() >= 0) chosen.fillStyle = styles_->checkedId();
    chosen.lineWidth = lineWidth_->currentIndex();
    chosen.spaceWidth = spaceWidth_->currentIndex() + 1;
    return true;
}

}  // namespace vantrel
