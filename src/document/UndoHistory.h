#pragma once
// UndoHistory: the list of commands run on one document, with the position
// between the steps that are done (undoable) and those that were undone
// (redoable). The clean index is the position at which the document equals
// its file; the document counts as modified whenever the position differs.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Progress.h"
#include "core/Status.h"
#include "document/Command.h"

namespace vantrel {

class CQVDoc;

// What became of a command handed to the history: whether it is now a step
// (its own or merged into the newest), and, when the document's rule refused
// its result, why. A command that changed nothing, or that the user stopped,
// is not a step and has no refusal.
class Pushed {
public:
    Pushed() = default;
    static Pushed Recorded() { return Pushed(true, Status::Ok()); }
    static Pushed Refused(Status why) { return Pushed(false, std::move(why)); }

    bool recorded() const { return recorded_; }
    explicit operator bool() const { return recorded_; }
    // Ok unless the document's rule refused the command's result.
    const Status& refusal() const { return refusal_; }

private:
    Pushed(bool recorded, Status refusal) : recorded_(recorded), refusal_(std::move(refusal)) {}
    bool recorded_ = false;
    Status refusal_;
};

// Default limit of the memory that the steps of one history may hold.
inline constexpr std::size_t kDefaultHistoryBudget = std::size_t{256} << 20;

class UndoHistory {
public:
    explicit UndoHistory(CQVDoc& doc);
    ~UndoHistory();
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    // Runs command and records it as the newest step, dropping the steps that
    // were undone. A command of the same gesture as the newest step merges
    // into it. Records nothing when the command changed nothing, or when its
    // result breaks what the document may hold (CheckDocumentFits): the
    // command is then undone and the result carries the refusal.
    // A command that renders the whole animation reports one step per frame
    // rendered to progress; when progress says stop, the command is undone
    // and nothing is recorded, without a refusal (the user chose it).
    Pushed Push(std::unique_ptr<Command> command, const ProgressReport& progress = {});
    // Records command, which has run already, as Push records one it ran:
    // nothing when it did not change the document (changed false); when its
    // result breaks what the document may hold, it is undone, nothing is
    // recorded and the result carries the refusal.
    Pushed PushDone(std::unique_ptr<Command> command, bool changed);

    bool CanUndo() const { return index_ > 0 && openTransactions_ == 0; }
    bool CanRedo() const { return index_ < steps_.size() && openTransactions_ == 0; }
    // Labels of the step Undo and Redo would act on; empty when there is none.
    std::string UndoLabel() const;
    std::string RedoLabel() const;
    void Undo();
    void Redo();

    std::size_t StepCount() const { return steps_.size(); }
    std::size_t Index() const { return index_; }

    // ---- clean state ----
    bool IsModified() const { return !cleanReachable_ || cleanIndex_ != index_; }
    // The document now equals its file (after a save or a load).
    void SetClean();
    // The document differs from its file in a way no undo reaches.
    void SetCleanUnreachable();

    // ---- memory ----
    std::size_t MemoryBytes() const;
    std::size_t MemoryBudget() const { return budget_; }
    // Oldest steps are dropped while the steps hold more than budget (the
    // newest step is always kept).
    void SetMemoryBudget(std::size_t budget);

    // Forgets every step; the clean state stays as it is.
    void Clear();

    // A number that grows with every change of the steps, the position or the
    // clean state: a copy of the document taken at one serial is out of date
    // once the serial differs (autosave compares them).
    std::uint64_t ChangeSerial() const { return changeSerial_; }

    // Called after every change of the steps, the position or the clean state.
    void SetOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

private:
    friend class Transaction;
    // Adds a step that has already run.
    void Record(std::unique_ptr<Command> command);
    void DropRedoSteps();
    void EnforceBudget();
    void Changed();
    CQVDoc& doc_;
    std::vector<std::unique_ptr<Command>> steps_;
    std::size_t index_ = 0;
    std::size_t cleanIndex_ = 0;
    bool cleanReachable_ = true;
    std::size_t budget_ = kDefaultHistoryBudget;
    int openTransactions_ = 0;
    std::uint64_t changeSerial_ = 0;
    std::function<void()> onChange_;
};

// Groups the commands added to it into one step of the history. Each added
// command runs at once; Commit records them all as one step under the
// transaction's label. A transaction that ends without Commit undoes what
// its commands did, newest first, and records nothing.
class Transaction {
public:
    Transaction(UndoHistory& history, std::string label);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Runs command; false (keeping nothing) when it changed nothing.
    bool Add(std::unique_ptr<Command> command);
    bool IsEmpty() const;
    // Records the commands as one step; nothing when none changed anything.
    // When their result breaks what the document may hold, they are undone,
    // nothing is recorded and the refusal is returned.
    Status Commit();

private:
    UndoHistory& history_;
    std::string label_;
    std::vector<std::unique_ptr<Command>> commands_;
    bool open_ = true;
};

}  // namespace vantrel
