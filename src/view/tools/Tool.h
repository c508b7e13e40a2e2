#pragma once
// Tool: how the current tool of the editor view turns pointer input into
// edits. The view keeps the mapping, the hit test and the drag state and
// hands each event to the current tool; a finished gesture becomes one
// command of the document's history (the moves of one drag merge).

#include <memory>

#include "view/CommandIds.h"
#include "view/EditorView.h"
#include "view/ViewHost.h"

namespace vantrel {

class Tool {
public:
    explicit Tool(EditorView& view) : view_(view) {}
    virtual ~Tool() = default;
    Tool(const Tool&) = delete;
    Tool& operator=(const Tool&) = delete;

    // Primary button pressed; the drag state holds the press point (not
    // clamped) and DragMode None. The tool sets a DragMode to start a drag.
    virtual void Press(const ToolEvent& event) = 0;
    // Pointer moved during a drag (the frame point is clamped to the work area).
    virtual void Move(const ToolEvent& /*event*/) {}
    // Primary button released during a drag (the frame point is not clamped).
    virtual void Release(const ToolEvent& /*event*/) {}
    virtual void DoubleClick(const ToolEvent& /*event*/) {}
    virtual void SecondaryPress(const ToolEvent& /*event*/) {}
    // The drag ends without effect: rubber bands removed, nothing changed
    // beyond what the drag already did.
    virtual void Cancel() { view_.ToggleBandOff(); }
    // The cursor while no drag is in progress, for the hot item and the keys.
    virtual CursorRole Cursor(Modifiers modifiers) const = 0;

protected:
    EditorView& view_;
};

// The tool a tool command selects.
std::unique_ptr<Tool> MakeTool(CommandId tool, EditorView& view);

}  // namespace vantrel
