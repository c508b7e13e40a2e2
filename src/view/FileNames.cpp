#include "view/FileNames.h"

namespace vantrel {

namespace {

std::filesystem::path WithExtension(std::filesystem::path path, const char* extension) {
    return path.replace_extension(extension);
}

}  // namespace

std::filesystem::path ProposedDocumentPath(const std::filesystem::path& documentPath, const std::string& title) {
    return WithExtension(documentPath.empty() ? std::filesystem::path(title) : documentPath, ".qvd");
}

std::filesystem::path ProposedAnimationPath(const std::filesystem::path& animationPath,
                                            const std::filesystem::path& documentPath, const std::string& title) {
    if (!animationPath.empty()) return animationPath;
    return WithExtension(documentPath.empty() ? std::filesystem::path(title) : documentPath, ".gif");
}

std::string MainWindowTitle(std::string_view programTitle, std::string_view documentTitle, bool modified) {
    std::string title(programTitle);
    if (documentTitle.empty()) return title;
    title.append(" - ").append(documentTitle);
    if (modified) title += '*';
    return title;
}

}  // namespace vantrel
