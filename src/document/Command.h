#pragma once
// Command: one undoable change of a document. Every edit of a document is a
// command run through the document's UndoHistory, so that it can be undone
// and redone and so that the document's modified state follows it.
//
// A command refers to frames and items by their ObjectUid, never by address:
// the objects a command touches may be taken out of the document and put back
// by other commands in between. What a command takes out of the document
// (an item it deleted, a frame it removed, a snapshot of an item's state)
// it owns until it leaves the history.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace vantrel {

class CQVDoc;

class Command {
public:
    explicit Command(std::string label) : label_(std::move(label)) {}
    virtual ~Command() = default;
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    // Applies the change. The first run decides what the change is (it may
    // clamp or find nothing to do); every later run (redo) repeats exactly
    // that. Returns false when the first run changed nothing, in which case
    // the history drops the command.
    virtual bool Execute(CQVDoc& doc) = 0;
    // Puts the document back as it was before Execute.
    virtual void Undo(CQVDoc& doc) = 0;

    // The name shown after "Undo" and "Redo", such as "Move" or "Paint".
    const std::string& Label() const { return label_; }

    // Commands of one gesture (the moves of one drag, the segments of one
    // pen stroke) share a non-zero merge key; 0 never merges.
    std::uint64_t MergeKey() const { return mergeKey_; }
    void SetMergeKey(std::uint64_t key) { mergeKey_ = key; }
    // Takes next, a command of the same gesture that has just been executed
    // after this one, into this one, so that undoing this one also undoes
    // next. False when it cannot (next then stays a step of its own).
    virtual bool MergeWith(Command& /*next*/) { return false; }

    // Bytes of pixel buffers and items this command holds, counted against
    // the history's memory budget.
    virtual std::size_t MemoryBytes() const { return 0; }

private:
    std::string label_;
    std::uint64_t mergeKey_ = 0;
};

}  // namespace vantrel
