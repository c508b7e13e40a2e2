#pragma once
// "Canvas Size": pixels to add (positive) or remove (negative) on each side
// of a bitmap, with the resulting size shown as the user types.

#include "app/dialogs/DialogSupport.h"

#include "view/ViewDialogs.h"

class QLabel;
class QLineEdit;

namespace vantrel {

class CanvasSizeDialog final : public CheckedDialog {
    Q_OBJECT

public:
    explicit CanvasSizeDialog(const CanvasSizeValues& values, QWidget* parent = nullptr);
    QLineEdit* LeftBox() const { return left_; }
    QLineEdit* TopBox() const { return top_; }
    QLineEdit* RightBox() const { return right_; }
    QLineEdit* BottomBox() const { return bottom_; }
    QLabel* SizeLabel() const { return size_; }

    // The values it opened with until OK passes its checks, then the values chosen.
    CanvasSizeValues chosen;

private:
    bool Check() override;
    void ShowSize();

    QLineEdit* left_;
    QLineEdit* top_;
    QLineEdit* right_;
    QLineEdit* bottom_;
    QLabel* size_;
};

}  // namespace vantrel
