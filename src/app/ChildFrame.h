#pragma once
// CChildFrame: the document window. It holds one document and the one editor
// view that shows it, carries the document's own commands (save, save as,
// close) and asks whether to save a modified document before it closes.

#include <QMdiSubWindow>
#include <filesystem>
#include <memory>
#include <optional>

#include "core/FileStamp.h"

#include "view/CommandIds.h"
#include "view/CommandRoutes.h"

namespace vantrel {

class CQVDoc;
class CQVView;

class CChildFrame final : public QMdiSubWindow {
    Q_OBJECT

public:
    CChildFrame(std::unique_ptr<CQVDoc> doc, QWidget* parent = nullptr);
    ~CChildFrame() override;

    CQVDoc& Document() const { return *doc_; }
    CQVView& View() const { return *view_; }

    // The window title follows the document's title and modified flag.
    void UpdateTitle();
    bool OnUpdateCommand(CommandId id, CommandUi& ui) const;
    bool OnCommand(CommandId id);
    // The commands the document window serves, each with its rule and action.
    static const CommandRoutes<CChildFrame>& Routes();

    // "Save Document": silently to the document's own file when it has one,
    // otherwise as "Save Document As...". False when nothing was saved.
    bool Save();
    // Asks for a name and saves there.
    bool SaveAs();
    // Notes what the document's file is on disk now (after opening it), so
    // that a save over it can tell whether someone else wrote it since.
    void RememberFileOnDisk();
    // Saves under path (".qvd" added when missing); reports failures.
    bool SaveTo(const std::filesystem::path& path);
    // Before closing: a modified document asks whether to save it. False
    // when the user cancels or the save fails.
    bool CanClose();

signals:
    // The document was saved under path (for the recent-file list).
    void documentSaved(const QString& path);
    // The document is about to be destroyed with this window: whoever
    // observes it lets go now.
    void documentClosing(CQVDoc* doc);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<CQVDoc> doc_;
    CQVView* view_;  // owned by this window as its widget
    // The document's file as it was when last read or written here.
    std::optional<FileStamp> fileOnDisk_;
};

}  // namespace vantrel
