#pragma once
// Every question the shell puts to the user goes through here: message
// boxes with the program's title and the file dialogs. Tests replace the
// answers with hooks, so that nothing waits for a person.

#include <QString>
#include <QStringList>
#include <functional>

#include "document/FileFormats.h"
#include "view/ViewHost.h"

class QUrl;
class QWidget;

namespace vantrel {

// The title of the main window and of the program's message boxes.
inline constexpr const char* kAppTitle = "Tarnwick Vantrel GIF Animator";

struct FileDialogRequest {
    bool save = false;
    QString title;
    QStringList filters;  // "Name (*.ext *.ext2)" entries
    QString startPath;
};

struct PromptHooks {
    // Answers a message box instead of showing it.
    std::function<MessageAnswer(const QString& text, MessageStyle style)> message;
    // Answers a file dialog: the chosen path, or empty for Cancel.
    std::function<QString(const FileDialogRequest& request)> fileDialog;
    // Receives what the shell would open (help pages, the home page).
    std::function<void(const QUrl& url)> openUrl;
    // Answers "Recover Documents": true for Recover, false for Discard.
    std::function<bool(const QStringList& documents)> recover;
};

// Installs hooks (empty ones show the real boxes again).
void SetPromptHooks(PromptHooks hooks);

MessageAnswer ShowMessageBox(QWidget* parent, const QString& text, MessageStyle style,
                             const QString& caption = QString::fromLatin1(kAppTitle));
// Asked before saving over a file that changed on disk since it was opened
// or saved: Yes for "Overwrite" (the default), No for "Save As...", Cancel.
// A message hook answers it as a QuestionYesNoCancel.
MessageAnswer AskOverwriteChangedFile(QWidget* parent, const QString& text);
// The filters of the file format table for a dialog serving purpose.
QStringList FormatFilters(FilePurpose purpose);
// The chosen file, or an empty string when cancelled. chosenFilter, when
// given, receives the index of the filter chosen (0 when a hook answers).
QString AskFileName(QWidget* parent, const FileDialogRequest& request, int* chosenFilter = nullptr);
// Several existing files chosen at once (empty when cancelled). A hook
// answers with the paths separated by line breaks.
QStringList AskFileNames(QWidget* parent, const FileDialogRequest& request);
// The window "Recover Documents" listing documents left by an editor that
// ended without closing them (one line each: original path or title, and the
// time of the copy); true for "Recover" (the default), false for "Discard".
bool AskRecoverDocuments(QWidget* parent, const QStringList& documents);
// Opens a page or file with the program the desktop associates with it.
void OpenWithDesktop(const QUrl& url);

}  // namespace vantrel
