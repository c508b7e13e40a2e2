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

namespace vantrel {

class AnimFrame;

class ImportFileCommand final : public Command {
public:
    // report, when given, receives the importer's result of the first run
    // (a failure may still have added the images read before it).
    ImportFileCommand(std::string label, ObjectUid frame, std::filesystem::path path, Status* report = nullptr);
    ~ImportFileCommand() override;

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
    bool FirstRun(CQVDoc& doc);
    void Redo(CQVDoc& doc);

    ObjectUid frame_;
    std::filesystem::path path_;
    Status* report_;
    bool ran_ = false;
    std::vector<Touched> touched_;
    std::vector<Appended> appended_;
};

}  // namespace vantrel
