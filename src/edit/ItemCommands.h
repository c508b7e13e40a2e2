#pragma once
// The commands that change the items of one frame: add, remove, move,
// reorder and replace (the edits in place are in ItemEditCommands.h). Each
// finds its frame and items by identity when it runs, renders through the
// document and reports what changed.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Geometry.h"
#include "document/CanvasItem.h"
#include "document/Command.h"

namespace vantrel {

class AnimFrame;
class CQVDoc;

// Puts a new item into a frame: on top, or directly above another item.
class AddItemCommand final : public Command {
public:
    // On top of the frame.
    AddItemCommand(std::string label, ObjectUid frame, std::unique_ptr<CanvasItem> item);
    // Directly above the item below (at the bottom when below is 0).
    AddItemCommand(std::string label, ObjectUid frame, std::unique_ptr<CanvasItem> item, ObjectUid below);

    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;
    std::size_t MemoryBytes() const override { return bytes_; }
    ObjectUid ItemUid() const { return itemUid_; }

private:
    ObjectUid frame_;
    ObjectUid itemUid_;
    bool onTop_;
    ObjectUid below_;
    std::unique_ptr<CanvasItem> item_;  // held while not in the frame
    std::size_t bytes_;
};

// Puts many new items on top of a frame as one change (a paste): the frame
// is composed once, not once per item, whether run, undone or redone.
class AddItemsCommand final : public Command {
public:
    // items bottom first.
    AddItemsCommand(std::string label, ObjectUid frame, std::vector<std::unique_ptr<CanvasItem>> items);

    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;
    std::size_t MemoryBytes() const override { return bytes_; }

private:
    ObjectUid frame_;
    std::vector<ObjectUid> uids_;                      // bottom first
    std::vector<std::unique_ptr<CanvasItem>> items_;  // held while not in the frame
    std::size_t bytes_ = 0;
};

// Takes items out of a frame; undo puts each back at its place. The frame is
// composed once however many items go.
class RemoveItemsCommand final : public Command {
public:
    RemoveItemsCommand(std::string label, ObjectUid frame, std::vector<ObjectUid> items);

    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;
    std::size_t MemoryBytes() const override;

    // An item taken out with the identity of the item beneath it (0 at the bottom).
    struct Taken {
        ObjectUid below;
        std::unique_ptr<CanvasItem> item;
    };

private:
    ObjectUid frame_;
    std::vector<ObjectUid> uids_;
    std::vector<Taken> removed_;  // in the order taken out, top first
};

// Moves items by an offset, limited so that they stay in the work area. The
// moves of one drag (same merge key, same items) merge into one step.
class MoveItemsCommand final : public Command {
public:
    MoveItemsCommand(std::string label, ObjectUid frame, std::vector<ObjectUid> items, Point offset);

    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;
    bool MergeWith(Command& next) override;
    // The offset really applied (after the first run).
    Point Offset() const { return offset_; }

private:
    bool MoveBy(CQVDoc& doc, Point offset, Point* applied);

    ObjectUid frame_;
    std::vector<ObjectUid> uids_;
    Point offset_;
    bool ran_ = false;
};

// Brings items to the top of a frame or sends them to the bottom, keeping
// their order among themselves; undo gives every item its exact old place.
enum class ZOrderPlace { Front, Back };
class ZOrderCommand final : public Command {
public:
    ZOrderCommand(std::string label, ObjectUid frame, std::vector<ObjectUid> items, ZOrderPlace place);

    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;

private:
    struct Place {
        ObjectUid uid;
        ObjectUid below;  // the item beneath it before the move; 0 at the bottom
    };
    ObjectUid frame_;
    std::vector<ObjectUid> uids_;
    ZOrderPlace place_;
    std::vector<Place> before_;  // the moved items, top first
};

// Exchanges an item of a frame with one the command holds, each run: the
// item in the frame leaves it for the command, the held one takes its place
// in the z-order. The base of edits that are undone by putting a copy back.
class SwapItemCommand : public Command {
public:
    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;
    std::size_t MemoryBytes() const override;

protected:
    SwapItemCommand(std::string label, ObjectUid frame, ObjectUid item);
    // The first run: sets held_ (the item that is to leave the frame on undo
    // or the one to put in) and changes the frame; false when nothing changed.
    virtual bool FirstRun(CQVDoc& doc, AnimFrame& frame, CanvasItem& item) = 0;
    void Swap(CQVDoc& doc);

    ObjectUid frame_;
    ObjectUid liveUid_;  // the item in the frame
    std::unique_ptr<CanvasItem> held_;
    bool ran_ = false;
};

// Puts another item (a bitmap made from a label, say) in the place of one.
class ReplaceItemCommand final : public SwapItemCommand {
public:
    ReplaceItemCommand(std::string label, ObjectUid frame, ObjectUid item, std::unique_ptr<CanvasItem> replacement);

private:
    bool FirstRun(CQVDoc& doc, AnimFrame& frame, CanvasItem& item) override;
};

// The bytes of the buffers an item holds.
std::size_t ItemBytes(const CanvasItem& item);

}  // namespace vantrel
