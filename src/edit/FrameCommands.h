#pragma once
// The commands that change the frame list and the settings of frames and of
// the whole animation: inserting, duplicating, deleting and reordering
// frames, the master flag, duration and background of a frame, the loop
// count, the canvas size and fitting the canvas to the items. Each refers to
// frames by identity, owns the frames it took out, renders through the
// document and reports what changed.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Geometry.h"
#include "core/Pixel.h"
#include "document/AnimFrame.h"
#include "document/CanvasItem.h"
#include "document/Command.h"

namespace vantrel {

class AnimFrame;
class CQVDoc;

// ---- taking frames out and putting them back ----

// The bytes a frame and its items hold.
std::size_t FrameBytes(const AnimFrame& frame);

// Takes the frame at index out of the list after telling the observers.
std::unique_ptr<AnimFrame> TakeOut(CQVDoc& doc, std::size_t index);
// Puts a held frame back at index on its background (by identity), rendered,
// and tells the observers; null when it cannot.
AnimFrame* PutBack(CQVDoc& doc, std::size_t index, std::unique_ptr<AnimFrame> frame, ObjectUid background);

// ---- adding frames ----

// The base of the commands that add one frame: the first run makes it, undo
// takes it out (the command then holds it), redo puts the same frame back.
class AddFrameCommand : public Command {
public:
    ~AddFrameCommand() override;
    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;
    std::size_t MemoryBytes() const override;
    // The frame added (known after the first run).
    ObjectUid FrameUid() const { return uid_; }

protected:
    explicit AddFrameCommand(std::string label);
    // Makes the frame and puts it into the list, rendered; null when it cannot.
    virtual AnimFrame* Create(CQVDoc& doc) = 0;

private:
    ObjectUid uid_ = 0;
    std::size_t index_ = 0;
    ObjectUid background_ = 0;  // the held frame's background frame
    std::unique_ptr<AnimFrame> held_;
};

enum class InsertPlace { Before, After, AtEnd };

// A new empty frame before or after a frame, or at the end; it takes the
// duration and background of that frame (of the last one at the end).
class InsertFrameCommand final : public AddFrameCommand {
public:
    InsertFrameCommand(std::string label, ObjectUid reference, InsertPlace place);

private:
    AnimFrame* Create(CQVDoc& doc) override;
    ObjectUid reference_;
    InsertPlace place_;
};

// A copy of a frame, with copies of its items and its settings, directly after it.
class DuplicateFrameCommand final : public AddFrameCommand {
public:
    DuplicateFrameCommand(std::string label, ObjectUid source);

private:
    AnimFrame* Create(CQVDoc& doc) override;
    ObjectUid source_;
};

// ---- removing and reordering ----

// Takes a frame out of the list; frames lying over it lose it as background.
// Undo puts the frame back at its place and gives those frames their link back.
class DeleteFrameCommand final : public Command {
public:
    DeleteFrameCommand(std::string label, ObjectUid frame);
    ~DeleteFrameCommand() override;

    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;
    std::size_t MemoryBytes() const override;
    // The frame to show after the deletion: the one that followed, else the one before.
    ObjectUid NextCurrent() const { return nextCurrent_; }

private:
    ObjectUid uid_;
    std::size_t index_ = 0;
    ObjectUid background_ = 0;        // the victim's own background frame
    std::vector<ObjectUid> overIt_;   // frames that had the victim as background
    ObjectUid nextCurrent_ = 0;
    std::unique_ptr<AnimFrame> held_;
};

// Moves a frame to another place of the list. A background frame must lie
// earlier than the frames over it: links the new order breaks are dropped
// (and given back on undo).
class MoveFrameCommand final : public Command {
public:
    MoveFrameCommand(std::string label, ObjectUid frame, std::size_t toIndex);

    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;

private:
    struct Link {
        ObjectUid frame;
        ObjectUid background;
    };
    ObjectUid uid_;
    std::size_t from_ = 0;
    std::size_t to_;
    std::vector<Link> dropped_;
};

// ---- settings of one frame ----

// What FrameSettingsCommand changes.
struct FrameSettings {
    bool isMaster = false;
    std::uint32_t duration = 0;
    PixelValue backgroundColor = 0;
    ObjectUid backgroundFrame = 0;  // 0: none ("Solid")
    friend bool operator==(const FrameSettings&, const FrameSettings&) = default;
};

// The settings a FrameSettingsCommand sets; those left empty keep the
// frame's own.
struct FrameSettingsChange {
    std::optional<bool> isMaster = std::nullopt;
    std::optional<std::uint32_t> duration = std::nullopt;
    std::optional<PixelValue> backgroundColor = std::nullopt;
    std::optional<ObjectUid> backgroundFrame = std::nullopt;  // 0: none ("Solid")
};

// Changes settings of one frame.
class FrameSettingsCommand final : public Command {
public:
    FrameSettingsCommand(std::string label, ObjectUid frame, FrameSettingsChange change);

    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;

private:
    void Apply(CQVDoc& doc, AnimFrame& frame, const FrameSettings& settings);

    ObjectUid uid_;
    FrameSettingsChange change_;
    bool ran_ = false;
    FrameSettings before_;
    FrameSettings after_;
};

// The frame settings commands the editor offers.
std::unique_ptr<Command> MakeMasterFrameCommand(ObjectUid frame, bool isMaster);
// The duration is limited to kMaxFrameDuration.
std::unique_ptr<Command> MakeFrameDurationCommand(ObjectUid frame, std::uint32_t hundredths);
// background 0 stands for none; a frame that is not earlier than frame is refused.
std::unique_ptr<Command> MakeBackgroundFrameCommand(ObjectUid frame, ObjectUid background);

// ---- the whole animation ----

// Sets the loop count (number of plays, 0 without end), limited to 0..65535.
class LoopCountCommand final : public Command {
public:
    LoopCountCommand(std::string label, std::uint32_t loopCount);
    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;

private:
    std::uint32_t after_;
    std::uint32_t before_ = 0;
};

// Sizes the canvas (1..1200 each) around the centre of the work area.
class CanvasSizeCommand final : public Command {
public:
    CanvasSizeCommand(std::string label, int width, int height);
    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;

private:
    int width_;
    int height_;
    int oldWidth_ = 0;
    int oldHeight_ = 0;
};

// Centres the items of a frame in the work area (moving the items of every
// frame with them) and fits the canvas to them; nothing when the frame has no items.
class AutoFrameSizeCommand final : public Command {
public:
    AutoFrameSizeCommand(std::string label, ObjectUid frame);
    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;

private:
    ObjectUid uid_;
    bool ran_ = false;
    Point offset_;
    int oldWidth_ = 0;
    int oldHeight_ = 0;
    int newWidth_ = 0;
    int newHeight_ = 0;
};

}  // namespace vantrel
