#pragma once
// The drag the three drawing tools share: a rubber band from the press
// point; on release a new item of the band's size is put on top of the
// current frame and selected, as one step "Draw ...".

#include <memory>
#include <string>

#include "view/tools/Tool.h"

namespace vantrel {

class CanvasItem;

class DrawShapeTool : public Tool {
public:
    DragMode Press(const ToolEvent& e) override;
    void Move(const ToolEvent& e) override;
    void Release(const ToolEvent& e) override;
    CursorRole Cursor(Modifiers) const override { return CursorRole::DrawShape; }

protected:
    DrawShapeTool(EditorView& view, std::string label, RubberBandShape shape)
        : Tool(view), label_(std::move(label)), shape_(shape) {}
    // The new item for a band of this size (work-area pixels), not yet placed.
    virtual std::unique_ptr<CanvasItem> MakeItem(int width, int height) = 0;
    // After the item was made.
    virtual void Done() {}

private:
    std::string label_;
    RubberBandShape shape_;
};

}  // namespace vantrel
