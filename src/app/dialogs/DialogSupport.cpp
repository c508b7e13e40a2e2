#include "app/dialogs/DialogSupport.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "app/Prompts.h"

namespace vantrel {

QDialogButtonBox* NewOkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QLineEdit* NewDigitsEdit(QWidget* parent, const QString& text) {
    auto* edit = new QLineEdit(text, parent);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

void FocusAndSelect(QLineEdit* field) {
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

bool FieldFailed(QDialog* dialog, QLineEdit* field, const std::string& message) {
    ShowMessageBox(dialog, QString::fromStdString(message), MessageStyle::Information);
    FocusAndSelect(field);
    return false;
}

void CheckedDialog::accept() {
    if (Check()) QDialog::accept();
}

}  // namespace vantrel
