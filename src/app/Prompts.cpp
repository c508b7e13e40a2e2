#include "app/Prompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

namespace vantrel {

namespace {

PromptHooks& Hooks() {
    static PromptHooks hooks;
    return hooks;
}

}  // namespace

void SetPromptHooks(PromptHooks hooks) { Hooks() = std::move(hooks); }

namespace {

// A question with three buttons that each say what they do: Yes, No, Cancel.
MessageAnswer AskThreeWay(QWidget* parent, const QString& caption, const QString& text, const QString& yes,
                          const QString& no) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    QPushButton* yesButton = box.addButton(yes, QMessageBox::AcceptRole);
    QPushButton* noButton = box.addButton(no, QMessageBox::DestructiveRole);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(yesButton);
    box.exec();
    if (box.clickedButton() == yesButton) return MessageAnswer::Yes;
    if (box.clickedButton() == noButton) return MessageAnswer::No;
    return MessageAnswer::Cancel;
}

}  // namespace

MessageAnswer AskOverwriteChangedFile(QWidget* parent, const QString& text) {
    if (Hooks().message) return Hooks().message(text, MessageStyle::QuestionYesNoCancel);
    return AskThreeWay(parent, QString::fromLatin1(kAppTitle), text, QStringLiteral("Overwrite"),
                       QStringLiteral("Save As..."));
}

MessageAnswer ShowMessageBox(QWidget* parent, const QString& text, MessageStyle style, const QString& caption) {
    if (Hooks().message) return Hooks().message(text, style);
    switch (style) {
        case MessageStyle::QuestionYesNo:
            return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No) ==
                           QMessageBox::Yes
                       ? MessageAnswer::Yes
                       : MessageAnswer::No;
        case MessageStyle::QuestionYesNoCancel:
            // Asked before a document with changes closes.
            return AskThreeWay(parent, caption, text, QStringLiteral("Save"), QStringLiteral("Don't Save"));
        case MessageStyle::Error:
            QMessageBox::critical(parent, caption, text);
            return MessageAnswer::Ok;
        case MessageStyle::Information:
        default:
            QMessageBox::information(parent, caption, text);
            return MessageAnswer::Ok;
    }
}

QStringList FormatFilters(FilePurpose purpose) {
    QStringList filters;
    for (const std::string& filter : DialogFilters(purpose)) filters.append(QString::fromStdString(filter));
    return filters;
}

QString AskFileName(QWidget* parent, const FileDialogRequest& request, int* chosenFilter) {
    if (chosenFilter != nullptr) *chosenFilter = 0;
    if (Hooks().fileDialog) return Hooks().fileDialog(request);
    QFileDialog dialog(parent, request.title, request.startPath);
    dialog.setNameFilters(request.filters);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (request.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    if (chosenFilter != nullptr) *chosenFilter = std::max(0, int(request.filters.indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().front();
}

QStringList AskFileNames(QWidget* parent, const FileDialogRequest& request) {
    if (Hooks().fileDialog) return Hooks().fileDialog(request).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QFileDialog dialog(parent, request.title, request.startPath);
    dialog.setNameFilters(request.filters);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

bool AskRecoverDocuments(QWidget* parent, const QStringList& documents) {
    if (Hooks().recover) return Hooks().recover(documents);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Recover Documents"),
                    QStringLiteral("These documents were not closed when the program last ended. Their last "
                                   "automatic copies can be opened again:"),
                    QMessageBox::NoButton, parent);
    box.setInformativeText(documents.join(QLatin1Char('\n')));
    QPushButton* recover = box.addButton(QStringLiteral("Recover"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("Discard"), QMessageBox::DestructiveRole);
    box.setDefaultButton(recover);
    box.exec();
    return box.clickedButton() == recover;
}

}  // namespace vantrel

namespace vantrel {

void OpenWithDesktop(const QUrl& url) {
    if (Hooks().openUrl) {
        Hooks().openUrl(url);
        return;
    }
    // The outcome is not examined: the desktop reports its own failures.
    QDesktopServices::openUrl(url);
}

}  // namespace vantrel
