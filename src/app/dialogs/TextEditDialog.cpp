#include "app/dialogs/TextEditDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Prompts.h"
#include "app/dialogs/DialogSupport.h"
#include "app/dialogs/FontChoice.h"
#include "text/Cp1252.h"

namespace vantrel {

TextEditDialog::TextEditDialog(const TextEditValues& values, QWidget* parent)
    : CheckedDialog(parent),
      chosen(values), text_(new QLineEdit(this)), antiAliased_(new QCheckBox(tr("Anti-Aliased"), this)) {
    setWindowTitle(QStringLiteral("Text Edit"));
    text_->setObjectName(QStringLiteral("text"));
    text_->setText(QString::fromStdString(Cp1252ToUtf8(values.text)));
    // Typing stops at the longest text; a longer text read from a file is
    // shown whole (the limit would cut it) and refused on OK instead.
    if (text_->text().size() <= kTextEditMaxLength) text_->setMaxLength(kTextEditMaxLength);
    text_->selectAll();
    text_->setMinimumWidth(360);
    antiAliased_->setChecked(values.antiAliased);
    auto* font = new QPushButton(QStringLiteral("Font..."), this);
    font->setAutoDefault(false);
    connect(font, &QPushButton::clicked, this, [this] {
        if (const std::optional<LogFont> font = AskFont(this, chosen.font)) chosen.font = *font;
    });
    QDialogButtonBox* buttons = OkCancelButtons(this);

    auto* row = new QHBoxLayout;
    row->addWidget(antiAliased_);
    row->addStretch();
    row->addWidget(font);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(row);
    layout->addWidget(buttons);
    text_->setFocus();
}

bool TextEditDialog::Check() {
    const std::string text = Utf8ToCp1252(text_->text().toStdString());
    QString problem;
    if (text.size() > std::size_t(kTextEditMaxLength))
        problem = QStringLiteral("Please enter no more than %1 characters.").arg(kTextEditMaxLength);
    else if (text.empty())
        problem = QStringLiteral("Please enter the text of the label.");
    if (!problem.isEmpty()) {
        ShowMessageBox(this, problem, MessageStyle::Information);
        text_->setFocus();
        text_->selectAll();
        return false;
    }
    chosen.text = text;
    chosen.antiAliased = antiAliased_->isChecked();
    return true;
}

}  // namespace vantrel
