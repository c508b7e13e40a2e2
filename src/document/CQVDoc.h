#pragma once
// CQVDoc: the document behind one editor window. It has a path name, a title,
// the default font of new labels, owns one Animation and the undo history of
// the edits made to it, and tells its observers what changed. The history's
// clean index decides whether the document is modified. Nothing here
// depends on a windowing system.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/Animation.h"
#include "document/DocumentMemory.h"
#include "document/DocumentObserver.h"
#include "document/UndoHistory.h"
#include "text/LogFont.h"

namespace vantrel {

class CQVDoc {
public:
    // A new document: one empty 468 x 60 frame, default label font Arial 24.
    CQVDoc();
    ~CQVDoc();
    CQVDoc(const CQVDoc&) = delete;
    CQVDoc& operator=(const CQVDoc&) = delete;

    // Font given to new labels.
    LogFont defaultFont;
    // What the document may hold (see DocumentMemory.h): edits that would
    // break it are refused, saving refuses to write past it, and reading a
    // file into the document holds the file to it.
    DocumentLimits limits;
    // What reading noticed in a damaged file it opened all the same ("The
    // file ends early: ..."); whoever opened the document tells it once.
    std::string openWarning;

    Animation& GetAnimation() { return *animation_; }
    const Animation& GetAnimation() const { return *animation_; }
    // Puts a fully built animation in place of the current one (which is
    // destroyed). Used by readers that build into a fresh animation so that a
    // failure leaves the document as it was.
    void ReplaceAnimation(std::unique_ptr<Animation> animation);

    const std::filesystem::path& PathName() const { return pathName_; }
    // Sets the path and makes the title its file name.
    void SetPathName(const std::filesystem::path& path);
    void ClearPathName() { pathName_.clear(); }
    const std::string& Title() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }

    // ---- history and modified state ----
    UndoHistory& History() { return history_; }
    const UndoHistory& History() const { return history_; }
    // Runs an edit through the history (see UndoHistory::Push).
    Pushed Execute(std::unique_ptr<Command> command, const ProgressReport& progress = {}) {
        return history_.Push(std::move(command), progress);
    }
    bool IsModified() const { return history_.IsModified(); }
    // A new document nobody has touched: no file, no step ever made (a
    // step undone again still counts), not modified.
    bool IsPristine() const {
        return pathName_.empty() && !IsModified() && history_.StepCount() == 0 && history_.ChangeSerial() == 0;
    }
    // false: the document now equals its file (the history's clean index
    // moves here); true: it differs in a way no undo reaches.
    void SetModifiedFlag(bool modified = true);

    // ---- observers ----
    // Observers are not owned; each removes itself before it goes away.
    void AddObserver(DocumentObserver* observer);
    void RemoveObserver(DocumentObserver* observer);

    // ---- change reports, made by the commands ----
    // The items of frame changed inside area (work-area pixels), their
    // composites already rebuilt: renders the frame and every frame lying
    // over it again and tells the observers.
    void ItemsChanged(AnimFrame& frame, const Rect& area);
    void FrameInserted(AnimFrame& frame);
    void FrameRemoving(AnimFrame& frame);
    void FrameMoved(AnimFrame& frame);
    void FrameSettingsChanged(AnimFrame& frame);
    void AnimationChanged();

private:
    void HistoryChanged();
    template <typename Call>
    void Notify(Call call);

    std::filesystem::path pathName_;
    std::string title_;
    std::unique_ptr<Animation> animation_;
    UndoHistory history_;
    bool lastModified_ = false;
    std::vector<DocumentObserver*> observers_;
};

// Registers an observer with a document for its own lifetime.
class ScopedObservation {
public:
    ScopedObservation(CQVDoc& doc, DocumentObserver& observer) : doc_(doc), observer_(observer) {
        doc_.AddObserver(&observer_);
    }
    ~ScopedObservation() { doc_.RemoveObserver(&observer_); }
    ScopedObservation(const ScopedObservation&) = delete;
    ScopedObservation& operator=(const ScopedObservation&) = delete;

private:
    CQVDoc& doc_;
    DocumentObserver& observer_;
};

}  // namespace vantrel
