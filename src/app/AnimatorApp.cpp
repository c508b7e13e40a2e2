#include "app/AnimatorApp.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QTextStream>
#include <QUrl>
#include <chrono>
#include <utility>

#include "app/Autosaver.h"
#include "app/ChildFrame.h"
#include "app/HelpWindow.h"
#include "app/MainFrame.h"
#include "app/Printing.h"
#include "app/ProgressDialog.h"
#include "app/Prompts.h"
#include "app/QVView.h"
#include "app/SplashWnd.h"
#include "app/dialogs/QuickAnimationDialog.h"
#include "core/TemporaryFiles.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"
#include "document/QuickAnimation.h"

namespace vantrel {

namespace {

using C = CommandId;

constexpr int kMinimumDisplayDepth = 16;
const char* const kCompany = "Tarnwick";
const char* const kRecentSection = "Recent File List";

std::filesystem::path ToPath(const QString& path) { return std::filesystem::path(path.toStdString()); }


}  // namespace

CAnimatorApp::CAnimatorApp() = default;

CAnimatorApp::~CAnimatorApp() = default;

QSettings CAnimatorApp::Settings() {
    return QSettings(QString::fromLatin1(kCompany), QString::fromLatin1(kAppTitle));
}

int CAnimatorApp::InitInstance(const QStringList& arguments) {
    // 1. A palette display cannot show the program's colours.
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen && screen->depth() < kMinimumDisplayDepth) {
        ShowMessageBox(nullptr,
                       QStringLiteral("Vantrel GIF Animator requires at least 16-bit color display mode (65536 "
                                      "colors) to operate properly. To increase number of colors in your system go "
                                      "to 'Control Panel', open 'Display' panel and adjust 'Color Palette' size in "
                                      "'Settings' tab."),
                       MessageStyle::Error, QStringLiteral("Vantrel GIF Animator"));
        return 1;
    }
    // 2, 3. Settings and the recent files.
    QApplication::setOrganizationName(QString::fromLatin1(kCompany));
    QApplication::setApplicationName(QString::fromLatin1(kAppTitle));
    LoadRecentFiles();
    programFolder_ = QCoreApplication::applicationDirPath();

    // 9 (the print switch): print and end without showing a window.
    if (arguments.size() >= 2 && arguments[0] == QLatin1String("--print"))
        return PrintDocumentFile(arguments[1]) ? 0 : 1;

    // 5 to 7. The main window, which accepts dropped files.
    mainFrame_ = std::make_unique<CMainFrame>(*this);
    mainFrame_->RefreshRecentFiles(recentFiles_);

    // Autosave, and what a crashed editor left behind: recovery copies, and
    // the temporary files of saves killed before they were renamed into
    // place (older than a minute: a younger one may be a save still running).
    for (const QString& recent : recentFiles_) RemoveLeftoverTemporaries(ToPath(recent), std::chrono::minutes(1));
    autosaver_ = std::make_unique<Autosaver>(Autosaver::DefaultFolder());
    OfferRecovery();
    autosaver_->Start();

    // 9. The command line: a new document (unless documents were
    // recovered), or the named file.
    if (arguments.isEmpty()) {
        if (mainFrame_->Children().isEmpty()) NewDocument();
    } else if (!OpenDocumentFile(arguments.front()) && mainFrame_->Children().isEmpty()) {
        // Recovered documents keep the editor running (and their copies
        // kept) when the file named on the command line does not open.
        return 1;
    }
    // 10. Shown as asked.
    mainFrame_->show();
    mainFrame_->UpdateCommandStates();
    if (!autosaver_->ok()) {
        ShowMessageBox(mainFrame_.get(),
                       QStringLiteral("Autosave is off: the recovery folder cannot be used.\n%1\n\n"
                                      "Changes are kept only when you save them.")
                           .arg(QString::fromStdString(autosaver_->reason())),
                       MessageStyle::Information);
    }
    return -1;
}

// ---- documents ----

CChildFrame* CAnimatorApp::AddDocumentWindow(std::unique_ptr<CQVDoc> doc) {
    auto* child = new CChildFrame(std::move(doc));
    child->RememberFileOnDisk();
    connect(child, &CChildFrame::documentSaved, this, &CAnimatorApp::AddToRecentFiles);
    if (autosaver_) {
        const CQVDoc* tracked = &child->Document();
        autosaver_->Track(*tracked);
        connect(child, &CChildFrame::documentSaved, this, [this, tracked] {
            if (autosaver_) autosaver_->Saved(tracked);
        });
        // The window goes when its document closed cleanly: its copies go too.
        // (The document is only a key here; it no longer exists.)
        connect(child, &QObject::destroyed, this, [this, tracked] {
            if (autosaver_) autosaver_->Forget(tracked);
        });
    }
    mainFrame_->AddChild(child);
    return child;
}

CChildFrame* CAnimatorApp::NewDocument() {
    auto doc = std::make_unique<CQVDoc>();
    doc->SetTitle("Untitled-" + std::to_string(++untitledCount_));
    return AddDocumentWindow(std::move(doc));
}

CChildFrame* CAnimatorApp::NewQuickAnimation() {
    const std::optional<QuickAnimationChoice> choice = AskQuickAnimation(mainFrame_.get());
    if (!choice) return nullptr;
    auto doc = std::make_unique<CQVDoc>();
    doc->SetTitle("Untitled-" + std::to_string(++untitledCount_));
    // One file that cannot be read refuses the whole animation: no half-made document opens.
    const Status made = MakeQuickAnimation(*doc, choice->files, choice->seconds);
    if (!made) {
        ShowMessageBox(mainFrame_.get(), QString::fromStdString(made.message()), MessageStyle::Error);
        return nullptr;
    }
    doc->SetModifiedFlag(true);  // made here, saved nowhere yet
    return AddDocumentWindow(std::move(doc));
}

CChildFrame* CAnimatorApp::OpenDocumentFile(const QString& path) {
    if (CChildFrame* open = mainFrame_ ? mainFrame_->FindChildByPath(path) : nullptr) {
        mainFrame_->MdiArea()->setActiveSubWindow(open);
        return open;
    }
    auto doc = std::make_unique<CQVDoc>();
    // Documents, GIFs and pictures alike (a picture opens as a new document
    // holding it; saving asks for a document name).
    ProgressDialogRun progress(mainFrame_.get(), QStringLiteral("Opening %1...").arg(QFileInfo(path).fileName()));
    const Status status = OpenDocument(*doc, ToPath(path), progress.Report());
    if (progress.Cancelled()) return nullptr;  // the user knows
    if (!status) {
        ShowMessageBox(mainFrame_.get(), QString::fromStdString(status.message()), MessageStyle::Error);
        // A recent file that is gone leaves the list.
        if (!QFileInfo::exists(path)) RemoveFromRecentFiles(path);
        return nullptr;
    }
    AddToRecentFiles(QFileInfo(path).absoluteFilePath());
    if (!mainFrame_) return nullptr;
    // The empty document the program started with gives way to the first file opened.
    const QList<CChildFrame*> before = mainFrame_->Children();
    CChildFrame* pristine = before.size() == 1 && before.front()->Document().IsPristine() ? before.front() : nullptr;
    std::string warning = std::exchange(doc->openWarning, std::string());
    // Two editors saving one file would each replace the other's work.
    if (autosaver_ && !autosaver_->OtherEditorsWith(doc->PathName()).empty()) {
        if (!warning.empty()) warning += "\n";
        warning += doc->PathName().filename().string() +
                   " is open in another Vantrel GIF Animator window too: saving it in both would replace the "
                   "changes of one with those of the other.";
    }
    CChildFrame* child = AddDocumentWindow(std::move(doc));
    if (pristine) pristine->close();
    if (!warning.empty()) ShowMessageBox(mainFrame_.get(), QString::fromStdString(warning), MessageStyle::Information);
    return child;
}

void CAnimatorApp::OfferRecovery() {
    std::vector<std::filesystem::path> movedAside;
    const std::vector<RecoveryEntry> orphans = autosaver_->Orphans(&movedAside);
    if (!movedAside.empty()) {
        QStringList places;
        for (const auto& place : movedAside) places.append(QString::fromStdString(place.string()));
        ShowMessageBox(mainFrame_.get(),
                       QStringLiteral("These recovery copies could not be read and were kept aside:\n%1")
                           .arg(places.join(QLatin1Char('\n'))),
                       MessageStyle::Error);
    }
    if (orphans.empty()) return;
    QStringList documents;
    for (const RecoveryEntry& entry : orphans) {
        const std::string& name = entry.note.originalPath.empty() ? entry.note.title : entry.note.originalPath;
        QString line = QStringLiteral("%1 (%2)").arg(
            QString::fromStdString(name),
            QDateTime::fromSecsSinceEpoch(entry.note.savedAt).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
        if (FileChangedSinceCopy(entry.note))
            line += QStringLiteral(": the file changed on disk since; it opens as it is now, the copy beside it");
        documents.append(line);
    }
    if (!AskRecoverDocuments(mainFrame_.get(), documents)) {
        for (const RecoveryEntry& entry : orphans) autosaver_->Discard(entry);
        return;
    }
    for (const RecoveryEntry& entry : orphans) {
        // The newer file first, as it is on disk.
        if (FileChangedSinceCopy(entry.note)) OpenDocumentFile(QString::fromStdString(entry.note.originalPath));
        auto doc = std::make_unique<CQVDoc>();
        if (const Status recovered = autosaver_->Recover(entry, *doc); !recovered) {
            ShowMessageBox(mainFrame_.get(), QString::fromStdString(recovered.message()), MessageStyle::Error);
            continue;
        }
        AddDocumentWindow(std::move(doc));
    }
}

bool CAnimatorApp::PrintDocumentFile(const QString& path) {
    auto doc = std::make_unique<CQVDoc>();
    const Status status = OpenDocument(*doc, ToPath(path));
    if (!status) {
        QTextStream(stderr) << path << ": " << QString::fromStdString(status.message()) << '\n';
        return false;
    }
    QPrinter& printer = SharedPrinter();
    QString destination = printer.printerName();
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        // Beside the document under a name that is still free: an earlier
        // PDF of the same name is kept.
        destination = QString::fromStdString(UnusedPdfPath(ToPath(QFileInfo(path).absoluteFilePath())).string());
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(destination);
    }
    CQVView view(*doc);
    view.resize(400, 300);
    view.OnInitialUpdate();
    const int pages = view.PrintTo(printer);
    if (pages == 0) {
        QTextStream(stderr) << "could not print " << path << '\n';
        return false;
    }
    QTextStream(stdout) << "printed " << pages << (pages == 1 ? " page" : " pages") << " of " << path << " to "
                        << destination << '\n';
    return true;
}

// ---- recent files ----

void CAnimatorApp::LoadRecentFiles() {
    QSettings settings = Settings();
    recentFiles_.clear();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString path =
            settings.value(QStringLiteral("%1/File%2").arg(QLatin1String(kRecentSection)).arg(i)).toString();
        if (!path.isEmpty()) recentFiles_.append(path);
    }
}

void CAnimatorApp::SaveRecentFiles() const {
    QSettings settings = Settings();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString key = QStringLiteral("%1/File%2").arg(QLatin1String(kRecentSection)).arg(i);
        if (i <= recentFiles_.size())
            settings.setValue(key, recentFiles_[i - 1]);
        else
            settings.remove(key);
    }
}

void CAnimatorApp::RemoveFromRecentFiles(const QString& path) {
    if (recentFiles_.removeAll(QFileInfo(path).absoluteFilePath()) == 0) return;
    SaveRecentFiles();
    if (mainFrame_) mainFrame_->RefreshRecentFiles(recentFiles_);
}

void CAnimatorApp::AddToRecentFiles(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    recentFiles_.removeAll(full);
    recentFiles_.prepend(full);
    while (recentFiles_.size() > kRecentFileCount) recentFiles_.removeLast();
    SaveRecentFiles();
    if (mainFrame_) mainFrame_->RefreshRecentFiles(recentFiles_);
}

// ---- help ----

QString CAnimatorApp::HelpPagePath(CommandId id) const {
    const char* page = nullptr;
    switch (id) {
        case C::HelpContents: page = "index.htm"; break;
        case C::HelpQuickTour: page = "tour.htm"; break;
        case C::HelpReference: page = "reference.htm"; break;
        case C::HelpTutorial: page = "tutorial.htm"; break;
        default: return {};
    }
    // Beside the program in the build tree; under share/ when installed.
    QDir folder(programFolder_);
    if (!folder.exists(QStringLiteral("docs")) && folder.exists(QStringLiteral("../share/vantrel/docs")))
        folder.setPath(folder.filePath(QStringLiteral("../share/vantrel")));
    return QDir::cleanPath(folder.filePath(QStringLiteral("docs/%1").arg(QLatin1String(page))));
}

void CAnimatorApp::OpenWithShell(const QString& target) {
    const QUrl url = target.startsWith(QLatin1String("https:")) ? QUrl(target) : QUrl::fromLocalFile(target);
    OpenWithDesktop(url);
    mainFrame_->showMinimized();
}

HelpWindow* CAnimatorApp::Help() const { return help_.data(); }

void CAnimatorApp::ShowHelp(CommandId id) {
    if (help_ == nullptr) help_ = new HelpWindow(HelpPagePath(C::HelpContents), mainFrame_.get());
    help_->ShowPage(HelpPagePath(id));
}

// ---- commands ----

void CAnimatorApp::OnFileOpen(bool fourFilters) {
    FileDialogRequest request;
    if (fourFilters) {
        request.title = QStringLiteral("Open Document");
        request.filters = FormatFilters(FilePurpose::Open);
    } else {
        request.title = QStringLiteral("Open");
        request.filters = {QStringLiteral("Vantrel GIF Animation (*.qvd)"), QStringLiteral("All Files (*)")};
    }
    const QString path = AskFileName(mainFrame_.get(), request);
    if (!path.isEmpty()) OpenDocumentFile(path);
}

template <int Index>
void CAnimatorApp::OpenRecentFile() {
    if (Index < recentFiles_.size()) OpenDocumentFile(recentFiles_[Index]);
}

const CommandRoutes<CAnimatorApp>& CAnimatorApp::Routes() {
    using App = CAnimatorApp;
    using Route = CommandRoute<App>;
    static constexpr Route kRoutes[] = {
        {C::FileNew, nullptr, [](App& a) { a.NewDocument(); }},
        {C::QuickAnimation, nullptr, [](App& a) { a.NewQuickAnimation(); }},
        {C::FileOpen, nullptr, [](App& a) { a.OnFileOpen(false); }},
        {C::OpenDocument, nullptr, [](App& a) { a.OnFileOpen(true); }},
        {C::FilePrintSetup, nullptr,
         [](App& a) {
             QPageSetupDialog dialog(&SharedPrinter(), a.mainFrame_.get());
             dialog.exec();
         }},
        {C::RecentFile1, [](const App& a, CommandUi& ui) { ui.enabled = !a.recentFiles_.empty(); },
         [](App& a) { a.OpenRecentFile<0>(); }},
        {C::RecentFile2, [](const App& a, CommandUi& ui) { ui.enabled = a.recentFiles_.size() > 1; },
         [](App& a) { a.OpenRecentFile<1>(); }},
        {C::RecentFile3, [](const App& a, CommandUi& ui) { ui.enabled = a.recentFiles_.size() > 2; },
         [](App& a) { a.OpenRecentFile<2>(); }},
        {C::RecentFile4, [](const App& a, CommandUi& ui) { ui.enabled = a.recentFiles_.size() > 3; },
         [](App& a) { a.OpenRecentFile<3>(); }},
        {C::AppExit, nullptr, [](App& a) { a.mainFrame_->close(); }},
        {C::AppAbout, nullptr,
         [](App& a) {
             CAboutDlg about(a.mainFrame_.get());
             about.exec();
         }},
        {C::HelpContents, nullptr, [](App& a) { a.ShowHelp(C::HelpContents); }},
        {C::HelpQuickTour, nullptr, [](App& a) { a.ShowHelp(C::HelpQuickTour); }},
        {C::HelpReference, nullptr, [](App& a) { a.ShowHelp(C::HelpReference); }},
        {C::HelpTutorial, nullptr, [](App& a) { a.ShowHelp(C::HelpTutorial); }},
        {C::HelpHomePage, nullptr, [](App& a) { a.OpenWithShell(QString::fromLatin1(kHomePageUrl)); }},
    };
    static const CommandRoutes<App> routes = [] {
        CommandRoutes<App> r;
        r.Add(kRoutes);
        return r;
    }();
    return routes;
}

bool CAnimatorApp::OnUpdateCommand(CommandId id, CommandUi& ui) const { return Routes().Update(*this, id, ui); }

bool CAnimatorApp::OnCommand(CommandId id) { return Routes().Execute(*this, id); }

}  // namespace vantrel
