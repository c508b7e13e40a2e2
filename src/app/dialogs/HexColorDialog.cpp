#include "app/dialogs/HexColorDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vantrel {

HexColorDialog::HexColorDialog(const std::string& hexText, QWidget* parent) : CheckedDialog(parent) {
    setWindowTitle(QStringLiteral("Hexadecimal Color"));
    edit_ = new QLineEdit(QString::fromStdString(hexText), this);
    edit_->setObjectName(QStringLiteral("hex"));
    edit_->setMaxLength(6);
    edit_->setFixedWidth(edit_->fontMetrics().horizontalAdvance(QStringLiteral("WWWWWWW")));
    auto* before = new QLabel(QStringLiteral("<...COLOR = #"), this);
    before->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* line = new QHBoxLayout;
    line->addWidget(before, 1);
    line->addWidget(edit_);
    line->addWidget(new QLabel(QStringLiteral("...>"), this), 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(line);
    layout->addWidget(OkCancelButtons(this));
}

bool HexColorDialog::Check() {
    chosen = edit_->text().toStdString();
    return true;
}

void HexColorDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    edit_->setFocus();
    edit_->selectAll();
}

}  // namespace vantrel
