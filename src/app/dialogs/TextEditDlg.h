#pragma once
// "Text Edit": one line of text (at most 64 characters, not empty), the
// "Anti-Aliased" box and "Font...", which edits the font at once.

#include <QDialog>

#include "view/ViewDialogs.h"

class QCheckBox;
class QLineEdit;

namespace vantrel {

class CTextEditDlg final : public QDialog {
    Q_OBJECT

public:
    CTextEditDlg(TextEditValues& values, QWidget* parent = nullptr);
    QLineEdit* TextBox() const { return text_; }
    QCheckBox* AntiAliasBox() const { return antiAliased_; }

    void accept() override;

private:
    TextEditValues& values_;
    QLineEdit* text_;
    QCheckBox* antiAliased_;
};

}  // namespace vantrel
