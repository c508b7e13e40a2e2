#pragma once
// "Hexadecimal Color": one line of up to six hexadecimal digits for red,
// green and blue. It answers the text typed; view/ColorModel parses it.

#include <string>

#include "app/dialogs/DialogSupport.h"

class QLineEdit;

namespace vantrel {

class HexColorDialog : public CheckedDialog {
    Q_OBJECT
public:
    HexColorDialog(const std::string& hexText, QWidget* parent);

    std::string chosen;

protected:
    bool Check() override;
    // The edit box takes the focus with its whole text selected.
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* edit_;
};

}  // namespace vantrel
