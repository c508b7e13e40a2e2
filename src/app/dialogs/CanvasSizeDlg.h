#pragma once
// "Canvas Size": pixels to add (positive) or remove (negative) on each side
// of a bitmap, with the resulting size shown as the user types.

#include <QDialog>

#include "view/ViewDialogs.h"

class QLabel;
class QLineEdit;

namespace vantrel {

class CCanvasSizeDlg final : public QDialog {
    Q_OBJECT

public:
    CCanvasSizeDlg(CanvasSizeValues& values, QWidget* parent = nullptr);
    QLineEdit* LeftBox() const { return left_; }
    QLineEdit* TopBox() const { return top_; }
    QLineEdit* RightBox() const { return right_; }
    QLineEdit* BottomBox() const { return bottom_; }
    QLabel* SizeLabel() const { return size_; }

    void accept() override;

private:
    void ShowSize();

    CanvasSizeValues& values_;
    QLineEdit* left_;
    QLineEdit* top_;
    QLineEdit* right_;
    QLineEdit* bottom_;
    QLabel* size_;
};

}  // namespace vantrel
