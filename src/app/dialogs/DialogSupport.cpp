#include "app/dialogs/DialogSupport.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <climits>

#include "app/Prompts.h"

namespace vantrel {

QDialogButtonBox* OkCancelButtons(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

void FocusAndSelect(QLineEdit* edit) {
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

std::optional<int> CheckedInteger(QWidget* dialog, QLineEdit* edit, bool isSigned, std::optional<IntegerLimits> limits) {
    bool ok = false;
    const QString text = edit->text().trimmed();
    const long long value = text.toLongLong(&ok);
    QString problem;
    if (!ok || (!isSigned && text.startsWith(QLatin1Char('-'))) || value < INT_MIN || value > INT_MAX)
        problem = isSigned ? QStringLiteral("Please enter an integer.") : QStringLiteral("Please enter a positive integer.");
    else if (limits && (value < limits->low || value > limits->high))
        problem = QStringLiteral("Please enter an integer between %1 and %2.").arg(limits->low).arg(limits->high);
    if (problem.isEmpty()) return int(value);
    ShowMessageBox(dialog, problem, MessageStyle::Information);
    FocusAndSelect(edit);
    return std::nullopt;
}

void MakeIntegerEdit(QLineEdit* edit, bool isSigned) {
    const QRegularExpression pattern(isSigned ? QStringLiteral("-?[0-9]*") : QStringLiteral("[0-9]*"));
    edit->setValidator(new QRegularExpressionValidator(pattern, edit));
}

QLineEdit* NewDigitsEdit(QWidget* parent, const QString& text) {
    auto* edit = new QLineEdit(text, parent);
    MakeIntegerEdit(edit, false);
    return edit;
}

int TypedNumber(const QLineEdit* edit) {
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    return ok ? value : 0;
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
