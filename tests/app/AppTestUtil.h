#pragma once
// The Qt side of the editor tests: one QApplication for the test program
// (offscreen, settings in test mode), answers for every question the shell
// asks, and documents made by the tests.

#include <QApplication>
#include <QDialog>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/AnimatorApp.h"
#include "app/Prompts.h"
#include "view/CommandIds.h"

namespace vantrel {
class CMainFrame;
class CQVDoc;
class EditorView;
}  // namespace vantrel

namespace vantrel::test {

// What the shell asked while a test ran, and what it is answered.
struct PromptLog {
    QStringList messages;
    std::vector<FileDialogRequest> dialogs;
    std::vector<QUrl> opened;
    MessageAnswer answer = MessageAnswer::No;
    QString fileAnswer;  // returned by every file dialog
    std::vector<QStringList> recoveryOffers;  // what "Recover Documents" listed
    bool recoverAnswer = false;               // Recover (true) or Discard
};

// Installs hooks writing into a fresh log (and returns it).
PromptLog& ResetPrompts();

// Runs pending events (idle updates, deferred deletions).
void ProcessEvents();

// The editor started on a new document, with fresh settings; its documents
// are closed unasked at the end.
struct Editor {
    Editor();
    ~Editor();
    CMainFrame& Frame() const;
    CQVDoc& Doc() const;
    EditorView& View() const;
    // Runs a command and lets the bars catch up.
    void Run(CommandId id);

    PromptLog& log;
    CAnimatorApp app;
};

// Answers the next modal dialog with answer once it shows.
void WhenDialogShows(std::function<void(QDialog&)> answer);

// A GIF of width x height with one flat-coloured image per colour, written by giflib.
void WriteFlatGif(const std::filesystem::path& path, int width, int height, const std::vector<std::uint32_t>& colors);

}  // namespace vantrel::test
