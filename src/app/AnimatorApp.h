#pragma once
// CAnimatorApp: starts the program and carries the commands that need no
// open document: new and open, the recent files, printer setup, help pages,
// the about box and exit. It owns the main window.

#include <QObject>
#include <QPointer>
#include <QSettings>
#include <QStringList>
#include <memory>

#include "view/CommandIds.h"
#include "view/CommandRoutes.h"

namespace vantrel {

class Autosaver;
class CChildFrame;
class CMainFrame;

inline constexpr int kRecentFileCount = 4;
// The page "Tarnwick On the Web..." opens.
inline constexpr const char* kHomePageUrl = "https://www.example.com/tarnwick/vantrel/";

class CAnimatorApp final : public QObject {
    Q_OBJECT

public:
    CAnimatorApp();
    ~CAnimatorApp() override;

    // The per-user settings store of the program.
    static QSettings Settings();
    // Start-up. Returns -1 when the program goes on to its event loop, else
    // the exit code (the display is too poor, the command line failed, or
    // a document was printed from the command line).
    int InitInstance(const QStringList& arguments);

    CMainFrame* MainFrame() const { return mainFrame_.get(); }
    // The autosave of the open documents; null before start-up and when printing.
    Autosaver* AutosaveService() const { return autosaver_.get(); }
    // A new empty document in a new window.
    CChildFrame* NewDocument();
    // "Quick Animation": a new document made of the image files the user
    // chooses, one frame each; null when cancelled.
    CChildFrame* NewQuickAnimation();
    // The window of the document read from path: an open one is activated,
    // otherwise the file is read into a new document. Null when it cannot be
    // read (the user is told why).
    CChildFrame* OpenDocumentFile(const QString& path);
    // Reads path and prints it on the default printer, or into a PDF file
    // beside it when no printer is installed.
    bool PrintDocumentFile(const QString& path);

    const QStringList& RecentFiles() const { return recentFiles_; }
    void AddToRecentFiles(const QString& path);
    void RemoveFromRecentFiles(const QString& path);
    // Where help page id (Contents, Quick Tour, Reference, Tutorial) lies.
    QString HelpPagePath(CommandId id) const;
    // The help window, once a help page was asked for.
    class HelpWindow* Help() const;

    bool OnUpdateCommand(CommandId id, CommandUi& ui) const;
    bool OnCommand(CommandId id);
    // The commands the application serves, each with its rule and action.
    static const CommandRoutes<CAnimatorApp>& Routes();

private:
    void LoadRecentFiles();
    void SaveRecentFiles() const;
    void OpenWithShell(const QString& target);
    // Shows help page id in the program's own help window.
    void ShowHelp(CommandId id);
    void OnFileOpen(bool fourFilters);
    template <int Index>
    void OpenRecentFile();
    CChildFrame* AddDocumentWindow(std::unique_ptr<class CQVDoc> doc);
    // At start-up: offers the documents a crashed editor left.
    void OfferRecovery();

    // Declared before the main window, so that it outlives the document windows.
    std::unique_ptr<Autosaver> autosaver_;
    std::unique_ptr<CMainFrame> mainFrame_;
    QPointer<class HelpWindow> help_;  // a child of the main window
    QStringList recentFiles_;
    QString programFolder_;
    int untitledCount_ = 0;
};

}  // namespace vantrel
