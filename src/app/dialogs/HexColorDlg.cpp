#include "app/dialogs/HexColorDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vantrel {

CHexColorDlg::CHexColorDlg(const QString& hexText, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Hexadecimal Color"));
    edit_ = new QLineEdit(hexText, this);
    edit_->setObjectName(QStringLiteral("hex"));
    edit_->setMaxLength(6);
    edit_->setFixedWidth(edit_->fontMetrics().horizontalAdvance(QStringLiteral("WWWWWWW")));
    auto* before = new QLabel(QStringLiteral("<...COLOR = #"), this);
    before->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* line = new QHBoxLayout;
    line->addWidget(before, 1);
    line->addWidget(edit_);
    line->addWidget(new QLabel(QStringLiteral("...>"), this), 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(line);
    layout->addWidget(buttons);
}

QString CHexColorDlg::Text() const { return edit_->text(); }

void CHexColorDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    edit_->setFocus();
    edit_->selectAll();
}

}  // namespace vantrel
