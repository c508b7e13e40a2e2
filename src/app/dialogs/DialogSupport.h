#pragma once
// What the program's small dialogs share: OK and Cancel buttons, edits that
// take digits only, reading their number fields when OK is pressed, and the
// way a field that fails its check is reported (its message in a box, the
// focus and selection back on the field, the dialog left open).

#include <QDialog>
#include <QDialogButtonBox>
#include <optional>
#include <string>
#include <utility>

class QLineEdit;
class QWidget;

namespace vantrel {

struct IntegerLimits {
    int low;
    int high;
};

// OK and Cancel buttons wired to the dialog's accept and reject.
QDialogButtonBox* OkCancelButtons(QDialog* dialog);

// The whole number in edit; nothing (after telling the user) when it does
// not parse or lies outside limits. Signed fields accept a minus sign.
std::optional<int> CheckedInteger(QWidget* dialog, QLineEdit* edit, bool isSigned,
                                  std::optional<IntegerLimits> limits = std::nullopt);

// An edit box for whole numbers: digits only, or (signed) with a leading minus.
void MakeIntegerEdit(QLineEdit* edit, bool isSigned);
// A one-line edit that accepts digits only (no sign, no point).
QLineEdit* NewDigitsEdit(QWidget* parent, const QString& text);

// Gives edit the focus with its whole text selected.
void FocusAndSelect(QLineEdit* edit);

// The number an edit box holds while the user types; text that is not a number counts as 0.
int TypedNumber(const QLineEdit* edit);

// Shows message and puts the focus on field; always false, for "return FieldFailed(...)".
bool FieldFailed(QDialog* dialog, QLineEdit* field, const std::string& message);

// The dialogs' one convention: a dialog takes the values it starts from and
// answers the values chosen, or nothing when cancelled. It keeps them in a
// public member `chosen`, which its Check() sets from the fields when OK is
// pressed; OK closes the dialog only when Check() passes. RunChecked runs one.
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
