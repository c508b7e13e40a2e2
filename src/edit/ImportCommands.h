#pragma once
// Importing an image file into a frame as one step of the history. A GIF of
// several images fills the following frames too and may append frames; undo
// takes out every item and frame the import added and gives the frames it
// touched their old duration and background back.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/Status.h"
#include "document/CanvasItem.h"
#include "document/Command.h"
#include "document/UndoHistory.h"

namespace vantrel {

class AnimFrame;

class CQVDoc;

// What ImportFileStep did: the importer's result (the file read, or why
// not) and what became of the step in the history.
struct ImportedStep {
    Status read;
    Pushed step;
};

// Imports the file at path into frame as one step "label" of doc's history.
// What the import added stays, as that step, even when the import then
// failed (the images of a GIF read before the failure); a result the
// document may not hold is taken back and the step's refusal says why.
ImportedStep ImportFileStep(CQVDoc& doc, std::string label, ObjectUid frame, std::filesystem::path path);

// The step ImportFileStep records.
class ImportFileCommand final : public Command {
public:
    ImportFileCommand(std::string label, ObjectUid frame, std::filesystem::path path);
    ~ImportFileCommand() override;

    // The import itself, run once before the command is recorded: the
    // importer's result (a failure may still have added the images read
    // before it; Changed says whether anything was).
    Status Import(CQVDoc& doc);
    bool Changed() const { return !touched_.empty() || !appended_.empty(); }

    // Redoes the import (Import made the first run).
    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;
    std::size_t MemoryBytes() const override;

private:
    // A frame's settings the import may change.
    struct Settings {
        std::uint32_t duration = 0;
        ObjectUid background = 0;
    };
    // A frame that was there before the import.
    struct Touched {
        ObjectUid uid;
        Settings before;
        Settings after;
        std::vector<ObjectUid> added;  // items added on top, bottom first
        std::vector<std::unique_ptr<CanvasItem>> held;  // the same while undone
    };
    // A frame the import appended.
    struct Appended {
        ObjectUid uid;
        ObjectUid background;
        std::unique_ptr<AnimFrame> held;  // while undone
    };
    ObjectUid frame_;
    std::filesystem::path path_;
    std::vector<Touched> touched_;
    std::vector<Appended> appended_;
};

}  // namespace vantrel
