#pragma once
// Printing the frames of a document: page after page, as the editor view
// lays them out, onto any QPrinter (a printer, a PDF file, a preview).

#include <filesystem>

class QPrinter;

namespace vantrel {

class EditorView;

// Prints every page; returns the number of pages, 0 when the printer could
// not be started.
int PrintAnimation(EditorView& view, QPrinter& printer);
// The printer of the program: chosen with Print Setup, used by Print.
QPrinter& SharedPrinter();

// Where printing without a printer puts its PDF: beside the document, named
// after it, under a name no file has yet ("doc.pdf", else "doc (2).pdf",
// "doc (3).pdf", ...), so that no earlier file is ever overwritten.
std::filesystem::path UnusedPdfPath(const std::filesystem::path& document);

}  // namespace vantrel
