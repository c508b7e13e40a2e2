#pragma once
// The file names the save dialogs start from, and the main window's title.

#include <filesystem>
#include <string>
#include <string_view>

namespace vantrel {

// "Save As" of a document: its own file as a .qvd document ("muybridge.gif"
// proposes "muybridge.qvd"), or its title as one when it has no file yet.
std::filesystem::path ProposedDocumentPath(const std::filesystem::path& documentPath, const std::string& title);

// "Save Animation As": the GIF last written, else the document's name with
// .gif in the document's folder, else its title with .gif.
std::filesystem::path ProposedAnimationPath(const std::filesystem::path& animationPath,
                                            const std::filesystem::path& documentPath, const std::string& title);

// The main window's title: the program's title alone without a document,
// else "PROGRAM - NAME", with "*" after the name while it is modified.
std::string MainWindowTitle(std::string_view programTitle, std::string_view documentTitle, bool modified);

}  // namespace vantrel
