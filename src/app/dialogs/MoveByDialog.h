#pragma once
// "Move By": a distance (0 to 1200 pixels) and one of four directions laid
// out as a compass around it.

#include "app/dialogs/DialogSupport.h"

#include "view/ViewDialogs.h"

class QButtonGroup;
class QLineEdit;

namespace vantrel {

class MoveByDialog final : public CheckedDialog {
    Q_OBJECT

public:
    explicit MoveByDialog(const MoveByValues& values, QWidget* parent = nullptr);
    QLineEdit* DistanceBox() const { return distance_; }
    QButtonGroup* Directions() const { return directions_; }

    // The values it opened with until OK passes its checks, then the values chosen.
    MoveByValues chosen;

private:
    bool Check() override;
    QLineEdit* distance_;
    QButtonGroup* directions_;  // ids: the MoveDirection values
};

}  // namespace vantrel
