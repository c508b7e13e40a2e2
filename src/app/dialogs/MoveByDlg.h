#pragma once
// "Move By": a distance (0 to 1200 pixels) and one of four directions laid
// out as a compass around it.

#include <QDialog>

#include "view/ViewDialogs.h"

class QButtonGroup;
class QLineEdit;

namespace vantrel {

class CMoveByDlg final : public QDialog {
    Q_OBJECT

public:
    CMoveByDlg(MoveByValues& values, QWidget* parent = nullptr);
    QLineEdit* DistanceBox() const { return distance_; }
    QButtonGroup* Directions() const { return directions_; }

    void accept() override;

private:
    MoveByValues& values_;
    QLineEdit* distance_;
    QButtonGroup* directions_;  // ids: the MoveDirection values
};

}  // namespace vantrel
