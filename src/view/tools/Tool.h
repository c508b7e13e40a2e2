#pragma once
// Tool: how the current tool of the editor view turns pointer input into
// edits. The view keeps the mapping, the hit test and the gesture (the
// press point, the pointer capture and the merge key) and hands each event
// to the current tool; the tool keeps whatever else its drag needs. A
// finished gesture becomes one command of the document's history (the moves
// of one drag merge).

#include <memory>

#include "view/CommandIds.h"
#include "view/EditorView.h"
#include "view/ViewHost.h"
#include "view/tools/RubberBand.h"

namespace vantrel {

class Tool {
public:
    explicit Tool(EditorView& view) : view_(view) {}
    virtual ~Tool() = default;
    Tool(const Tool&) = delete;
    Tool& operator=(const Tool&) = delete;

    // Primary button pressed at the view's press point (not clamped).
    // Returns the drag it starts, DragMode::None when the press is all.
    virtual DragMode Press(const ToolEvent& event) = 0;
    // Pointer moved during a drag (the frame point is clamped to the work area).
    virtual void Move(const ToolEvent& /*event*/) {}
    // Primary button released, ending the drag (the frame point is not
    // clamped); the view's gesture is over already, so the tool may switch tools.
    virtual void Release(const ToolEvent& /*event*/) {}
    virtual void DoubleClick(const ToolEvent& /*event*/) {}
    virtual void SecondaryPress(const ToolEvent& /*event*/) {}
    // The drag ends without effect: rubber bands removed, nothing changed
    // beyond what the drag already did.
    virtual void Cancel() { band_.Hide(view_); }
    // The cursor while no drag is in progress, for the hot item and the keys.
    virtual CursorRole Cursor(Modifiers modifiers) const = 0;
    // Whether the selection handles are left out of the painting now.
    virtual bool HidesHandles() const { return false; }

protected:
    EditorView& view_;
    // The rubber band of the tools that drag one.
    RubberBand band_;
};

// The tool a tool command selects.
std::unique_ptr<Tool> MakeTool(CommandId tool, EditorView& view);

}  // namespace vantrel
