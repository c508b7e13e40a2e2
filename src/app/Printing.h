#pragma once
// Printing the frames of a document: page after page, as the editor view
// lays them out, onto any QPrinter (a printer, a PDF file, a preview).

class QPrinter;

namespace vantrel {

class EditorView;

// Prints every page; returns the number of pages, 0 when the printer could
// not be started.
int PrintAnimation(EditorView& view, QPrinter& printer);
// The printer of the program: chosen with Print Setup, used by Print.
QPrinter& SharedPrinter();

}  // namespace vantrel
