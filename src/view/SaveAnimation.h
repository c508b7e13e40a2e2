#pragma once
// Saving the animation and exporting a frame from the editor, without any
// windowing system: which file name a choice in the save dialog becomes,
// when the user is asked for one, and what the animation remembers. The
// window supplies the questions as callbacks (file dialog, options dialogs).

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/Status.h"
#include "document/Export.h"

namespace vantrel {

class AnimFrame;
class Animation;
class CQVDoc;

// A name chosen in the export dialog: without extension it gets the one of
// the chosen file type (extension "gif", "jpg", without dot); with one it
// stays as it is, and the extension decides the format.
std::filesystem::path FrameExportPath(const std::filesystem::path& chosen, std::string_view extension);
// A name chosen in the "Save Animation As" dialog: ".gif" is added when it has no extension.
std::filesystem::path AnimationSavePath(const std::filesystem::path& chosen);

// What a save did.
struct SaveOutcome {
    enum class Kind { Saved, Cancelled, Failed };
    Kind kind = Kind::Cancelled;
    Status status;               // why it failed
    std::filesystem::path path;  // the file written or attempted
    GifExportReport report;
};

// Asks for a file name starting from a suggested one; none when cancelled.
using SavePathChooser = std::function<std::optional<std::filesystem::path>(const std::filesystem::path& suggested)>;
struct FrameExportChoice {
    std::filesystem::path path;
    std::string extension = "gif";  // the usual extension of the chosen file type
};
using FrameExportChooser = std::function<std::optional<FrameExportChoice>(const std::filesystem::path& suggested)>;

// "Save Animation" (saveAs false) writes to the animation's remembered GIF
// file when it has one and asks otherwise; "Save Animation As" always asks.
// The name's extension chooses the writer (AnimationFormatFor): GIF through
// chooseGif's options, or WebP (lossless) and animated PNG without asking.
// The animation remembers the file only after it was written.
// progress hears how far a GIF export has come; its stop cancels the save.
SaveOutcome SaveAnimationFile(Animation& animation, bool saveAs, const SavePathChooser& askPath,
                              const GifOptionsChooser& chooseGif, const ProgressReport& progress = {});

// After "Save Animation" wrote written: a document read from that very file
// (a GIF opened as a document) now equals its file and loses its modified
// mark. True when it did; a document file of its own keeps the mark.
bool NoteAnimationWritten(CQVDoc& doc, const std::filesystem::path& written);

// "Export Frame As": asks for a file and a type, then writes the frame as
// GIF or JPEG by the final name's extension.
SaveOutcome ExportFrameFile(const Animation& animation, AnimFrame& frame, const FrameExportChooser& askPath,
                            const GifOptionsChooser& chooseGif, const JpegQualityChooser& chooseQuality);

}  // namespace vantrel
