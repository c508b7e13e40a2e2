// Undo and Redo step through the document's history; their menu texts name
// the step ("Undo Move"), and read plain "Undo" and "Redo" when greyed.

#include <string>

#include "document/CQVDoc.h"
#include "view/EditorView.h"
#include "view/ViewCommands.h"

namespace vantrel {

namespace {

using C = CommandId;

// The menu text with the step's label and the first shortcut after a tab.
std::string MenuText(const char* verb, const std::string& label, const char* keys) {
    std::string text(verb);
    if (!label.empty()) text += " " + label;
    return text + "\t" + keys;
}

void UndoRule(const EditorView& v, CommandUi& ui) {
    const UndoHistory& history = v.Document().History();
    ui.enabled = history.CanUndo() && v.Drag() == DragMode::None;
    ui.text = MenuText("&Undo", ui.enabled ? history.UndoLabel() : std::string(), "Ctrl+Z");
}

void RedoRule(const EditorView& v, CommandUi& ui) {
    const UndoHistory& history = v.Document().History();
    ui.enabled = history.CanRedo() && v.Drag() == DragMode::None;
    ui.text = MenuText("&Redo", ui.enabled ? history.RedoLabel() : std::string(), "Ctrl+Y");
}

constexpr CommandRoute<EditorView> kRoutes[] = {
    {C::EditUndo, UndoRule, [](EditorView& v) { v.Document().History().Undo(); }},
    {C::EditRedo, RedoRule, [](EditorView& v) { v.Document().History().Redo(); }},
};

}  // namespace

ViewRoutes HistoryRoutes() { return kRoutes; }

}  // namespace vantrel
