#pragma once
// The document file (extension ".qvd"): writing a document (Store), reading
// one back (Load), the reading and writing entry that chooses by the file's
// extension (Serialize), opening and saving files, and the rules that decide
// when saving must ask for a file name.
//
// Layout, little-endian: the counted string "QVDF1.0", the 60-byte default
// label font, canvas width and height (i32), loop count (u32), one record per
// frame (counted string "XFRM", frame id, background frame id, master flag,
// duration, background colour, then per item, bottom to top, a u32 record
// length and the item record, then u32 0), and the end marker u32 0.
//
// Every damaged file is refused with kUnexpectedFileFormat, before the sizes
// it states are allocated, and leaves the document as it was.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/FileIO.h"
#include "core/Progress.h"
#include "core/Status.h"
#include "document/Archive.h"
#include "document/CQVDoc.h"
#include "document/FileFormats.h"
#include "document/Importers.h"

namespace vantrel {

// The counted string a document file starts with.
inline constexpr std::string_view kDocumentMagic = "QVDF1.0";
// The counted string every frame record starts with.
inline constexpr std::string_view kFrameTag = "XFRM";
// Tags are read in the one-byte length form only; longer ones are not tags.
inline constexpr std::size_t kMaxTagLength = 254;

// ---- format operations (raise ArchiveError; a file over the memory budget
// raises DocumentTooLarge, naming what it would need). Reading holds a file
// to the document's own limits (doc.limits), the rule its edits keep. ----

// Writes the document file: magic, font, canvas, loop count, every frame
// with its items, end marker. Frames get the ids 1, 2, 3... in list order.
// Does not flush the archive.
void StoreDocument(const CQVDoc& doc, Archive& archive);
// Reads a document file into doc. The animation is built apart and put in
// place only when complete; on any error doc is left as it was. On success
// the animation is rendered and marked native. progress, when given, counts
// steps as the bytes are read and one per frame rendered; its stop raises
// JobStopped, doc unchanged.
void LoadDocument(CQVDoc& doc, Archive& archive, ProgressSteps* progress = nullptr);

// What LoadDocument raises when its progress says stop.
struct JobStopped {};

// ---- entries that report instead of raising ----

// The document file's bytes; none when memory runs out.
std::optional<std::vector<std::uint8_t>> DocumentBytes(const CQVDoc& doc);
// Reads a document file from bytes; see LoadDocument.
Status LoadDocumentBytes(CQVDoc& doc, std::span<const std::uint8_t> bytes);

// Reads or writes doc by the format of the archive's file name
// (FileFormats.h). Writing takes only the document file; reading takes every
// format that opens as a document (a document file, a GIF's frames, a JPEG
// or PNG picture). Any other extension reads or writes nothing and fails
// with kUnexpectedFileFormat.
Status Serialize(CQVDoc& doc, Archive& archive);

// Opens a file into a freshly created document: reads it, Serialize, then
// sets the path name, clears the modified flag, and marks the document native
// exactly when the extension is "qvd". On failure doc is left as it was.
// progress hears how far the reading has come (GIFs and document files);
// when it says stop, doc stays as it was and the status says kStoppedByUser.
Status OpenDocument(CQVDoc& doc, const std::filesystem::path& path, const ProgressReport& progress = {});

// Saves doc as a document file under path, with ".qvd" appended when the
// path's extension is not "qvd". The file is written beside the target and
// renamed over it only when complete and flushed; a failed save leaves any
// old file as it was, changes nothing in doc and says why. On success doc
// takes the path, becomes native and unmodified.
Status SaveDocument(CQVDoc& doc, const std::filesystem::path& path);

// ---- when saving asks for a file name ----

// The text after the last '.' of the path's file name, lower-cased; empty
// when the name has no '.'.
std::string FileExtensionLower(const std::filesystem::path& path);
bool HasDocumentExtension(const std::filesystem::path& path);
// The path itself when its extension is "qvd", otherwise the path with
// ".qvd" appended.
std::filesystem::path WithDocumentExtension(const std::filesystem::path& path);
// The file a plain Save writes without asking: the document's path when the
// document is native and that path is a document file; none when the user
// must be asked for a file name (new documents, GIFs opened as documents).
std::optional<std::filesystem::path> SilentSavePath(const CQVDoc& doc);

}  // namespace vantrel
