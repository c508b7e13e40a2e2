#pragma once
// What the program's dialogs share: OK and Cancel, and reading their
// number fields when OK is pressed (a field that does not parse or lies
// outside its limits shows its message, gets the keyboard focus with its
// text selected and keeps the dialog open).

#include <optional>

class QDialog;
class QDialogButtonBox;
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

// Gives edit the focus with its whole text selected.
void FocusAndSelect(QLineEdit* edit);

// The number an edit box holds while the user types; text that is not a number counts as 0.
int TypedNumber(const QLineEdit* edit);

}  // namespace vantrel
