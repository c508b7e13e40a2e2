#pragma once
// "Text Edit": one line of text (at most 64 characters, not empty), the
// "Anti-Aliased" box and "Font...", which edits the font at once.

#include "app/dialogs/DialogSupport.h"

#include "view/ViewDialogs.h"

class QCheckBox;
class QLineEdit;

namespace vantrel {

class TextEditDialog final : public CheckedDialog {
    Q_OBJECT

public:
    explicit TextEditDialog(const TextEditValues& values, QWidget* parent = nullptr);
    QLineEdit* TextBox() const { return text_; }
    QCheckBox* AntiAliasBox() const { return antiAliased_; }

    // The values it opened with until OK passes its checks, then the values
    // chosen; the font changes at once with "Font..." and stays when cancelled.
    TextEditValues chosen;

private:
    bool Check() override;
    QLineEdit* text_;
    QCheckBox* antiAliased_;
};

}  // namespace vantrel
