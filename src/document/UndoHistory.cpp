#include "document/UndoHistory.h"

#include <algorithm>
#include <cassert>
#include <numeric>

#include "document/CQVDoc.h"
#include "document/DocumentMemory.h"

namespace vantrel {

namespace {

// The commands of one transaction as one step: run in order, undone in
// reverse order.
class CommandGroup final : public Command {
public:
    CommandGroup(std::string label, std::vector<std::unique_ptr<Command>> commands)
        : Command(std::move(label)), commands_(std::move(commands)) {}

    bool Execute(CQVDoc& doc) override {
        bool changed = false;
        for (const auto& command : commands_) changed = command->Execute(doc) || changed;
        return changed;
    }
    void Undo(CQVDoc& doc) override {
        for (auto it = commands_.rbegin(); it != commands_.rend(); ++it) (*it)->Undo(doc);
    }
    std::size_t MemoryBytes() const override {
        return std::accumulate(commands_.begin(), commands_.end(), std::size_t{0},
                               [](std::size_t sum, const auto& c) { return sum + c->MemoryBytes(); });
    }

private:
    std::vector<std::unique_ptr<Command>> commands_;
};

}  // namespace

UndoHistory::UndoHistory(CQVDoc& doc) : doc_(doc) {}

UndoHistory::~UndoHistory() {
    // Newest first: a later step may hold what an earlier one refers to.
    while (!steps_.empty()) steps_.pop_back();
}

Pushed UndoHistory::Push(std::unique_ptr<Command> command, const ProgressReport& progress) {
    assert(openTransactions_ == 0 && "commands of an open transaction go through it");
    if (!command) return {};
    ProgressSteps steps(progress);
    bool changed = false;
    {
        Animation::RenderStepsScope counted(doc_.GetAnimation(), steps);
        changed = command->Execute(doc_);
    }
    if (!changed) return {};
    // The undo renders again, uncounted: the frames the stopped render did
    // not reach get their pictures back too.
    if (steps.Stopped()) {
        command->Undo(doc_);
        return {};
    }
    return PushDone(std::move(command), true);
}

Pushed UndoHistory::PushDone(std::unique_ptr<Command> command, bool changed) {
    assert(openTransactions_ == 0 && "commands of an open transaction go through it");
    if (!command || !changed) return {};
    if (Status fits = CheckDocumentFits(doc_); !fits) {
        command->Undo(doc_);
        return Pushed::Refused(std::move(fits));
    }
    Record(std::move(command));
    return Pushed::Recorded();
}

void UndoHistory::Record(std::unique_ptr<Command> command) {
    DropRedoSteps();
    if (index_ > 0 && command->MergeKey() != 0 && steps_.back()->MergeKey() == command->MergeKey()) {
        Command& newest = *steps_.back();
        if (newest.MergeWith(*command)) {
            // The clean state, when it was the newest step, now lies inside it.
            if (cleanReachable_ && cleanIndex_ == index_) cleanReachable_ = false;
            EnforceBudget();
            Changed();
            return;
        }
    }
    steps_.push_back(std::move(command));
    index_ = steps_.size();
    EnforceBudget();
    Changed();
}

void UndoHistory::DropRedoSteps() {
    if (cleanReachable_ && cleanIndex_ > index_) cleanReachable_ = false;
    while (steps_.size() > index_) steps_.pop_back();
}

void UndoHistory::EnforceBudget() {
    std::size_t drop = 0;
    std::size_t held = MemoryBytes();
    while (held > budget_ && steps_.size() - drop > 1 && drop < index_) held -= steps_[drop++]->MemoryBytes();
    if (drop == 0) return;
    steps_.erase(steps_.begin(), steps_.begin() + std::ptrdiff_t(drop));
    index_ -= drop;
    if (cleanIndex_ < drop) cleanReachable_ = false;
    cleanIndex_ = cleanIndex_ >= drop ? cleanIndex_ - drop : 0;
}

// Summed when asked rather than kept: what a step holds may change while it
// lies in the history (a swap holds the other item after an undo).
std::size_t UndoHistory::MemoryBytes() const {
    return std::accumulate(steps_.begin(), steps_.end(), std::size_t{0},
                           [](std::size_t sum, const auto& step) { return sum + step->MemoryBytes(); });
}

std::string UndoHistory::UndoLabel() const { return CanUndo() ? steps_[index_ - 1]->Label() : std::string(); }

std::string UndoHistory::RedoLabel() const { return CanRedo() ? steps_[index_]->Label() : std::string(); }

void UndoHistory::Undo() {
    if (!CanUndo()) return;
    --index_;
    steps_[index_]->Undo(doc_);
    Changed();
}

void UndoHistory::Redo() {
    if (!CanRedo()) return;
    steps_[index_]->Execute(doc_);
    ++index_;
    Changed();
}

void UndoHistory::SetClean() {
    cleanIndex_ = index_;
    cleanReachable_ = true;
    Changed();
}

void UndoHistory::SetCleanUnreachable() {
    cleanReachable_ = false;
    Changed();
}

void UndoHistory::SetMemoryBudget(std::size_t budget) {
    budget_ = budget;
    EnforceBudget();
    Changed();
}

void UndoHistory::Clear() {
    const bool modified = IsModified();
    while (!steps_.empty()) steps_.pop_back();
    index_ = cleanIndex_ = 0;
    cleanReachable_ = !modified;
    Changed();
}

void UndoHistory::Changed() {
    ++changeSerial_;
    if (onChange_) onChange_();
}

// ---- Transaction ----

Transaction::Transaction(UndoHistory& history, std::string label) : history_(history), label_(std::move(label)) {
    ++history_.openTransactions_;
}

Transaction::~Transaction() {
    if (!open_) return;
    for (auto it = commands_.rbegin(); it != commands_.rend(); ++it) (*it)->Undo(history_.doc_);
    --history_.openTransactions_;
}

bool Transaction::Add(std::unique_ptr<Command> command) {
    assert(open_);
    if (!command || !command->Execute(history_.doc_)) return false;
    commands_.push_back(std::move(command));
    return true;
}

bool Transaction::IsEmpty() const { return commands_.empty(); }

Status Transaction::Commit() {
    if (!open_) return Status::Ok();
    if (!commands_.empty()) {
        if (Status fits = CheckDocumentFits(history_.doc_); !fits) return fits;  // the destructor undoes them
    }
    open_ = false;
    --history_.openTransactions_;
    if (commands_.empty()) return Status::Ok();
    history_.Record(std::make_unique<CommandGroup>(label_, std::move(commands_)));
    commands_.clear();
    return Status::Ok();
}

}  // namespace vantrel
