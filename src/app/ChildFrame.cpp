#include "app/ChildFrame.h"

#include <QCloseEvent>
#include <QFileInfo>

#include "app/Prompts.h"
#include "app/QVView.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"
#include "view/FileNames.h"

namespace vantrel {

namespace {

QString PathText(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

}  // namespace

CChildFrame::CChildFrame(std::unique_ptr<CQVDoc> doc, QWidget* parent)
    : QMdiSubWindow(parent), doc_(std::move(doc)), view_(new CQVView(*doc_, this)) {
    setWidget(view_);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(640, 400);
    UpdateTitle();
}

CChildFrame::~CChildFrame() {
    emit documentClosing(doc_.get());
    // The view refers to the document: it goes first.
    setWidget(nullptr);
    delete view_;
}

void CChildFrame::UpdateTitle() {
    setWindowTitle(QString::fromStdString(doc_->Title()) + QStringLiteral("[*]"));
    setWindowModified(doc_->IsModified());
}

const CommandRoutes<CChildFrame>& CChildFrame::Routes() {
    using Route = CommandRoute<CChildFrame>;
    static constexpr Route kRoutes[] = {
        {CommandId::FileSave, nullptr, [](CChildFrame& c) { c.Save(); }},
        {CommandId::FileSaveAs, nullptr, [](CChildFrame& c) { c.SaveAs(); }},
        {CommandId::FileClose, nullptr, [](CChildFrame& c) { c.close(); }},
    };
    static const CommandRoutes<CChildFrame> routes = [] {
        CommandRoutes<CChildFrame> r;
        r.Add(kRoutes);
        return r;
    }();
    return routes;
}

bool CChildFrame::OnUpdateCommand(CommandId id, CommandUi& ui) const { return Routes().Update(*this, id, ui); }

bool CChildFrame::OnCommand(CommandId id) { return Routes().Execute(*this, id); }

bool CChildFrame::Save() {
    if (const auto path = SilentSavePath(*doc_)) return SaveTo(*path);
    return SaveAs();
}

bool CChildFrame::SaveAs() {
    FileDialogRequest request;
    request.save = true;
    request.title = QStringLiteral("Save As");
    request.filters = {QStringLiteral("Vantrel GIF Animation (*.qvd)"), QStringLiteral("All Files (*)")};
    // Start with the document's own file, or its title, as a document file name.
    request.startPath = PathText(ProposedDocumentPath(doc_->PathName(), doc_->Title()));
    const QString chosen = AskFileName(this, request);
    if (chosen.isEmpty()) return false;
    return SaveTo(chosen.toStdString());
}

void CChildFrame::RememberFileOnDisk() {
    fileOnDisk_ = doc_->PathName().empty() ? std::nullopt : StampFile(doc_->PathName());
}

bool CChildFrame::SaveTo(const std::filesystem::path& path) {
    const auto target = WithDocumentExtension(path);
    // A read-only file is kept as it is; the document may go elsewhere.
    if (IsReadOnlyFile(target)) {
        const QString question = QStringLiteral("%1 is read-only.\nSave the document under another name?")
                                     .arg(PathText(target));
        if (ShowMessageBox(this, question, MessageStyle::QuestionYesNo) == MessageAnswer::Yes) return SaveAs();
        return false;
    }
    // Someone else wrote the document's own file since it was read or saved here.
    if (fileOnDisk_ && target == doc_->PathName() && ChangedSince(*fileOnDisk_, target)) {
        const QString question =
            QStringLiteral("%1 has changed on disk since it was opened or saved here.\nOverwrite it with this "
                           "document, or save the document under another name?")
                .arg(PathText(target));
        switch (AskOverwriteChangedFile(this, question)) {
            case MessageAnswer::Yes: break;
            case MessageAnswer::No: return SaveAs();
            default: return false;
        }
    }
    const Status status = SaveDocument(*doc_, path);
    if (!status) {
        ShowMessageBox(this, QString::fromStdString(status.message()), MessageStyle::Error);
        return false;
    }
    RememberFileOnDisk();
    UpdateTitle();
    emit documentSaved(PathText(doc_->PathName()));
    return true;
}

bool CChildFrame::CanClose() {
    if (!doc_->IsModified()) return true;
    // A document read from a GIF keeps its path until a save really
    // happens: Save asks for a document name for it (see SilentSavePath).
    const QString question = QStringLiteral("Save changes to %1?").arg(QString::fromStdString(doc_->Title()));
    switch (ShowMessageBox(this, question, MessageStyle::QuestionYesNoCancel)) {
        case MessageAnswer::Yes: return Save();
        case MessageAnswer::No: return true;
        default: return false;
    }
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!CanClose()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

}  // namespace vantrel
