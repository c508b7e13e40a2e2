// Pick: a click takes the colour under the pointer as the foreground colour,
// with Shift as the background colour.

#include "view/tools/Tool.h"
#include "view/tools/Tools.h"

namespace vantrel {

namespace {

class PickTool final : public Tool {
public:
    using Tool::Tool;
    DragMode Press(const ToolEvent& e) override {
        view_.PickAt(e.frame, e.modifiers.shift);
        return DragMode::None;
    }
    CursorRole Cursor(Modifiers) const override { return CursorRole::Pick; }
};

}  // namespace

std::unique_ptr<Tool> MakePickTool(EditorView& view) { return std::make_unique<PickTool>(view); }

}  // namespace vantrel
