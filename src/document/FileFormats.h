#pragma once
// The one table of file formats the program knows: their extensions, whether
// a file of the format opens as a document, imports into a frame, or takes an
// exported frame, and the filter the file dialogs show for it. The document
// opener, the importer, the frame exporter, the command-line tool and the
// editor's file dialogs all ask here; extensions compare case-insensitively.

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// Extension of document files, lower case without the dot.
inline constexpr std::string_view kDocumentExtension = "qvd";

enum class FileKind { Document, Gif, Jpeg, Png, Webp, Apng };

struct FileFormat {
    FileKind kind;
    std::string_view name;                        // "GIF", for messages
    std::string_view dialogName;                  // "Compuserve GIF"
    std::span<const std::string_view> extensions;  // lower case, no dot; the first is the usual one
    bool opensAsDocument;   // Open: a document, a GIF's frames, or a picture in a new document
    bool importsIntoFrame;  // Import Image, dropped files, Quick Animation
    bool exportsFrame;      // Export Frame As
    bool savesAnimation;    // Save Animation As
};

// Every format, documents first.
std::span<const FileFormat> FileFormats();

// The format of path by its extension (case-insensitive), or null.
const FileFormat* FindFileFormat(const std::filesystem::path& path);

bool OpensAsDocument(const std::filesystem::path& path);
bool ImportsIntoFrame(const std::filesystem::path& path);

// What the file dialogs list.
enum class FilePurpose { Open, Import, ExportFrame, SaveAnimation };

// "Compuserve GIF (*.gif)": the format's name and every extension.
std::string DialogFilter(const FileFormat& format);
// The filters of a dialog for purpose: for Open and Import first one entry
// for every format that serves it ("Editable Files (...)", "Importable Files
// (...)"), then one per format.
std::vector<std::string> DialogFilters(FilePurpose purpose);
// The usual extension (lower case, no dot) of the format behind the filter
// at index in DialogFilters(purpose), for ExportFrame and SaveAnimation,
// whose filters are one per format; an index past the end counts as the last.
std::string_view UsualExtension(FilePurpose purpose, int index);
// The names of the formats serving purpose, as a sentence part: "GIF, JPEG
// and PNG" (for messages).
std::string FormatNames(FilePurpose purpose);

}  // namespace vantrel
