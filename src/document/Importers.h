#pragma once
// Turning image files into document content: a GIF opened as a document
// (one frame per GIF image, each holding one bitmap item), a JPEG or PNG
// picture opened as a document, and GIF, JPEG or PNG files imported as
// bitmap items into existing frames.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "codec/GifFile.h"
#include "core/Progress.h"
#include "core/Status.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "document/DocumentMemory.h"
#include "document/FileFormats.h"

namespace vantrel {


// The document memory importing these (read, not yet decoded) images would
// add: per image the indices the decoder makes and the item's image and
// composite, the items standing for areas cleared by "restore to
// background", and a canvas-sized image for each frame needed beyond the
// existingFrames available from the frame imported into.
std::uint64_t EstimateGifImportBytes(const GifFile& gif, int canvasWidth, int canvasHeight,
                                     std::size_t existingFrames);

// The canvas a GIF opens on: its logical screen, with a side of 0 taken from
// the extent of the images (the union of their rectangles from (0, 0)).
struct GifScreenSize {
    int width = 0;
    int height = 0;
};
GifScreenSize EffectiveScreen(const GifFile& gif);

// The loop count of the document for a GIF's looping extension: none gives
// 1 play, 0 plays without end, n repetitions give n + 1 plays (at most 65535).
std::uint32_t DocumentLoopCount(bool hasLoopExtension, std::int32_t rawLoopCount);

// Opens a GIF file as the content of a freshly created document: canvas of
// the logical screen, one frame per image, loop count, animation file names.
// On failure the document is left exactly as it was and the status says why.
Status OpenGifDocument(CQVDoc& doc, const std::filesystem::path& path);
// The same from bytes already in memory; path only names the animation file.
// The animation is held to doc.limits (fuzzing sets a smaller memory budget).
// One step of progress per image; when it says stop, the document stays as
// it was and the status says kStoppedByUser.
Status OpenGifDocument(CQVDoc& doc, std::span<const std::uint8_t> bytes, const std::filesystem::path& path,
                       ProgressSteps* progress = nullptr);

// Turns the images of a read GifFile into frames of animation, starting with
// frame (which must belong to it) and continuing with the following frames,
// appending new ones at the end of the list. Decodes the images itself and
// takes their pixel buffers. Refuses, adding nothing, when the result would
// pass the memory budget. Consumes the records' pixel buffers and decoding storage.
// Pixels no code reached are transparent (see GifFile::DecodePixels).
// What an import found in a damaged file: the number (from 1) of the first
// image the file ended inside, 0 when none; how many pixels were decoded.
struct GifImportNotes {
    std::size_t cutShortImage = 0;
    std::uint64_t decodedPixels = 0;
};
// progress, when given, counts one step per image and may stop the import
// half-way (the status then says kStoppedByUser): only for an animation
// built apart, which the caller then drops.
Status ImportGif(Animation& animation, GifFile& gif, AnimFrame* frame,
                 std::uint64_t memoryBudget = kDocumentMemoryBudget, GifImportNotes* notes = nullptr,
                 ProgressSteps* progress = nullptr);

// Opens a JPEG or PNG picture (bytes of the file at path) as the content of
// a freshly created document: one frame holding the picture as a bitmap
// item, the canvas fitted to it. Sets the path name (when given) and clears
// the modified flag; the document is not native, so saving asks for a name.
// On failure the document is left exactly as it was.
Status OpenPictureDocument(CQVDoc& doc, FileKind kind, std::span<const std::uint8_t> bytes,
                           const std::filesystem::path& path);

// Imports one file into frame by its format (FileFormats.h, extensions
// compared case-insensitively): a GIF as ImportGif, a JPEG or PNG picture as
// one bitmap item appended on top and centred on the work area's centre,
// both within doc.limits.memoryBudget. Other formats add nothing (an error status names the reason); so does a
// file that cannot be read.
Status ImportFile(CQVDoc& doc, const std::filesystem::path& path, AnimFrame* frame);

// Imports the first path into frame and every further path into a newly
// appended frame, then marks the document modified. Files that cannot be
// imported add nothing; the first failure is returned. Importing stops at the
// first file that would take the document past its memory limit.
Status ImportFiles(CQVDoc& doc, std::span<const std::filesystem::path> paths, AnimFrame* frame);

}  // namespace vantrel
