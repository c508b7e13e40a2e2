#pragma once
// What the program's small dialogs share: OK and Cancel buttons, edits that
// take digits only, and the way a field that fails its check is reported
// (its message in a box, the focus and selection back on the field, the
// dialog left open).

#include <QDialog>
#include <QDialogButtonBox>
#include <optional>
#include <string>
#include <utility>

class QLineEdit;

namespace vantrel {

// OK and Cancel wired to the dialog's accept() and reject().
QDialogButtonBox* NewOkCancel(QDialog* dialog);
// A one-line edit that accepts digits only (no sign, no point).
QLineEdit* NewDigitsEdit(QWidget* parent, const QString& text);
// Gives a field the focus with its whole text selected.
void FocusAndSelect(QLineEdit* field);
// Shows message and puts the focus on field; always false, for "return FieldFailed(...)".
bool FieldFailed(QDialog* dialog, QLineEdit* field, const std::string& message);

// A dialog whose OK runs Check() first and closes only when it passes.
class CheckedDialog : public QDialog {
public:
    using QDialog::QDialog;
    void accept() override;

protected:
    // Reads and checks the fields in order (setting the dialog's chosen
    // member); false keeps the dialog open.
    virtual bool Check() = 0;
};

// Runs a CheckedDialog made of args modally: its chosen value after OK,
// or nothing on Cancel.
template <typename Dialog, typename... Args>
auto RunChecked(Args&&... args) -> std::optional<decltype(Dialog::chosen)> {
    Dialog dialog(std::forward<Args>(args)...);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return std::move(dialog.chosen);
}

}  // namespace vantrel
