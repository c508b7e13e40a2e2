#include "document/FileFormats.h"

#include <array>

#include "core/FileIO.h"

namespace vantrel {
namespace {

constexpr std::array<std::string_view, 1> kDocumentExtensions = {kDocumentExtension};
constexpr std::array<std::string_view, 1> kGifExtensions = {"gif"};
constexpr std::array<std::string_view, 3> kJpegExtensions = {"jpg", "jpe", "jpeg"};
constexpr std::array<std::string_view, 1> kPngExtensions = {"png"};
constexpr std::array<std::string_view, 1> kWebpExtensions = {"webp"};
constexpr std::array<std::string_view, 1> kApngExtensions = {"apng"};

// kind, name, dialog name, extensions, opens as document, imports, exports a
// frame, saves the animation (a ".png" name chosen there is written as an
// animated PNG too)
constexpr std::array<FileFormat, 6> kFormats = {{
    {FileKind::Document, "document", "Vantrel Document", kDocumentExtensions, true, false, false, false},
    {FileKind::Gif, "GIF", "Compuserve GIF", kGifExtensions, true, true, true, true},
    {FileKind::Jpeg, "JPEG", "JPEG", kJpegExtensions, true, true, true, false},
    {FileKind::Png, "PNG", "PNG", kPngExtensions, true, true, false, false},
    {FileKind::Webp, "WebP", "WebP", kWebpExtensions, false, false, false, true},
    {FileKind::Apng, "animated PNG", "Animated PNG", kApngExtensions, false, false, false, true},
}};

bool Serves(const FileFormat& format, FilePurpose purpose) {
    switch (purpose) {
    case FilePurpose::Open: return format.opensAsDocument;
    case FilePurpose::Import: return format.importsIntoFrame;
    case FilePurpose::ExportFrame: return format.exportsFrame;
    case FilePurpose::SaveAnimation: return format.savesAnimation;
    }
    return false;
}

void AppendPatterns(std::string& out, const FileFormat& format) {
    for (std::string_view ext : format.extensions) {
        if (out.back() != '(') out += ' ';
        out += "*.";
        out += ext;
    }
}

}  // namespace

std::span<const FileFormat> FileFormats() { return kFormats; }

const FileFormat* FindFileFormat(const std::filesystem::path& path) {
    const std::string ext = LowerCaseExtension(path);
    for (const FileFormat& format : kFormats) {
        for (std::string_view known : format.extensions)
            if (ext == known) return &format;
    }
    return nullptr;
}

bool OpensAsDocument(const std::filesystem::path& path) {
    const FileFormat* format = FindFileFormat(path);
    return format != nullptr && format->opensAsDocument;
}

bool ImportsIntoFrame(const std::filesystem::path& path) {
    const FileFormat* format = FindFileFormat(path);
    return format != nullptr && format->importsIntoFrame;
}

std::string DialogFilter(const FileFormat& format) {
    std::string filter = std::string(format.dialogName) + " (";
    AppendPatterns(filter, format);
    return filter + ")";
}

std::vector<std::string> DialogFilters(FilePurpose purpose) {
    std::vector<std::string> filters;
    if (purpose == FilePurpose::Open || purpose == FilePurpose::Import) {
        std::string all = purpose == FilePurpose::Open ? "Editable Files (" : "Importable Files (";
        for (const FileFormat& format : kFormats)
            if (Serves(format, purpose)) AppendPatterns(all, format);
        filters.push_back(all + ")");
    }
    for (const FileFormat& format : kFormats)
        if (Serves(format, purpose)) filters.push_back(DialogFilter(format));
    return filters;
}

std::string_view UsualExtension(FilePurpose purpose, int index) {
    std::string_view extension;
    for (const FileFormat& format : kFormats) {
        if (!Serves(format, purpose)) continue;
        extension = format.extensions.front();
        if (index-- <= 0) break;
    }
    return extension;
}

std::string FormatNames(FilePurpose purpose) {
    std::vector<std::string_view> names;
    for (const FileFormat& format : kFormats)
        if (Serves(format, purpose)) names.push_back(format.name);
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

}  // namespace vantrel
