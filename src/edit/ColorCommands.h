#pragma once
// The commands that give an item or a frame a new colour: a label's text
// colour, a box's line or fill colour, an ellipse's colour, a frame's
// background colour. Each is one undoable step that marks the document
// modified; a colour equal to the current one changes nothing.

#include <memory>
#include <optional>

#include "core/Pixel.h"
#include "document/CanvasItem.h"
#include "document/Command.h"
#include "edit/ItemEditCommands.h"

namespace vantrel {

// Which colour of an item a command sets.
enum class ItemColorRole { Text, Line, Fill, Shape };

// The colour the foreground colour stands for on an item of kind (a label's
// text, a box's line, an ellipse's colour), or nothing for other kinds.
std::optional<ItemColorRole> ForegroundRoleOf(ItemKind kind);
// The colour the background colour stands for on an item of kind (a box's fill).
std::optional<ItemColorRole> BackgroundRoleOf(ItemKind kind);
// The item's colour in that role, or nothing when the item has no such colour.
std::optional<PixelValue> ItemColor(const CanvasItem& item, ItemColorRole role);

// Sets one colour of an item of a frame; the item renders again and the
// frames over it follow. Execute is false when the item is gone, has no
// colour in that role, or has that colour already.
class SetItemColorCommand final : public ItemEditCommand {
public:
    SetItemColorCommand(ObjectUid frame, ObjectUid item, ItemColorRole role, PixelValue color);

private:
    bool Apply(CanvasItem& item) override;
    ItemColorRole role_;
    PixelValue color_;
};
std::unique_ptr<Command> MakeItemColorCommand(ObjectUid frame, ObjectUid item, ItemColorRole role, PixelValue color);

// Gives a frame a background colour and drops its background frame, so the
// colour shows; undo gives back both.
class SetFrameBackgroundCommand final : public Command {
public:
    SetFrameBackgroundCommand(ObjectUid frame, PixelValue color);

    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;

private:
    void Apply(CQVDoc& doc, PixelValue color, ObjectUid backgroundFrame);

    ObjectUid frame_;
    PixelValue color_;
    PixelValue oldColor_ = 0;
    ObjectUid oldBackgroundFrame_ = 0;
    bool ran_ = false;
};

}  // namespace vantrel
