#include "app/dialogs/MoveByDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/DialogSupport.h"

namespace vantrel {

MoveByDialog::MoveByDialog(const MoveByValues& values, QWidget* parent)
    : CheckedDialog(parent),
      chosen(values),
      distance_(new QLineEdit(QString::number(values.distance), this)),
      directions_(new QButtonGroup(this)) {
    setWindowTitle(QStringLiteral("Move By"));
    distance_->setObjectName(QStringLiteral("distance"));
    MakeIntegerEdit(distance_, false);
    distance_->setMaximumWidth(60);

    struct Place {
        const char* text;
        MoveDirection direction;
        int row, column;
    };
    const Place places[] = {{"Up", MoveDirection::Up, 0, 1},
                            {"Right", MoveDirection::Right, 1, 2},
                            {"Down", MoveDirection::Down, 2, 1},
                            {"Left", MoveDirection::Left, 1, 0}};
    auto* grid = new QGridLayout;
    directions_->setExclusive(true);
    for (const Place& p : places) {
        auto* button = new QRadioButton(QLatin1String(p.text), this);
        directions_->addButton(button, static_cast<int>(p.direction));
        button->setChecked(p.direction == values.direction);
        grid->addWidget(button, p.row, p.column, Qt::AlignCenter);
    }
    grid->addWidget(distance_, 1, 1, Qt::AlignCenter);
    QDialogButtonBox* buttons = OkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Move Image By (pixels):"), this));
    layout->addLayout(grid);
    layout->addWidget(buttons);
    FocusAndSelect(distance_);
}

bool MoveByDialog::Check() {
    const auto distance = CheckedInteger(this, distance_, true, IntegerLimits{0, kMaxMoveDistance});
    if (!distance) return false;
    chosen.distance = *distance;
    // checkedId is -1 with no button checked: no direction.
    chosen.direction = static_cast<MoveDirection>(directions_->checkedId());
    return true;
}

}  // namespace vantrel
