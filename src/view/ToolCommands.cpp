// The tool commands: each makes its tool current; the button of the current
// tool is checked. The tools that make new items or paint clear the
// selection first.

#include "view/EditorView.h"
#include "view/ViewCommands.h"

namespace vantrel {

namespace {

using C = CommandId;

template <CommandId Tool>
void ToolRule(const EditorView& v, CommandUi& ui) {
    ui.enabled = true;
    ui.checked = v.CurrentTool() == Tool;
}

template <CommandId Tool, bool Deselect>
void ToolAction(EditorView& v) {
    v.SetTool(Tool);
    if (Deselect) {
        v.DeselectAll();
        v.Host().UpdateNow();
    }
}

template <CommandId Tool, bool Deselect = false>
constexpr CommandRoute<EditorView> ToolRoute{Tool, ToolRule<Tool>, ToolAction<Tool, Deselect>};

constexpr CommandRoute<EditorView> kRoutes[] = {
    ToolRoute<C::ToolSelect>,          ToolRoute<C::ToolZoom>,       ToolRoute<C::ToolCrop>,
    ToolRoute<C::ToolEllipse>,         ToolRoute<C::ToolRectangle, true>, ToolRoute<C::ToolPick, true>,
    ToolRoute<C::ToolText, true>,      ToolRoute<C::ToolDrawBitmap, true>, ToolRoute<C::ToolPen, true>,
    ToolRoute<C::ToolFill, true>,
};

}  // namespace

ViewRoutes ToolRoutes() { return kRoutes; }

}  // namespace vantrel
