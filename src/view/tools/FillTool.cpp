// Bucket Fill: fills the 4-connected area of one exact pixel value of the
// bitmap pressed on with the foreground colour, as one step "Fill".

#include "edit/ItemEditCommands.h"
#include "view/tools/Tool.h"
#include "view/tools/ToolSupport.h"
#include "view/tools/Tools.h"

namespace vantrel {

namespace {

class FillTool final : public Tool {
public:
    using Tool::Tool;

    DragMode Press(const ToolEvent& e) override {
        BitmapItem* bitmap = HotBitmapWithoutHandle(view_);
        AnimFrame* frame = view_.CurrentFrame();
        if (!bitmap || !frame || !bitmap->Bounds().Contains(e.frame)) return DragMode::None;
        view_.Execute(std::make_unique<FillCommand>(frame->Uid(), bitmap->Uid(), e.frame, view_.ForegroundColor()));
        view_.Host().UpdateNow();
        return DragMode::None;
    }

    CursorRole Cursor(Modifiers) const override {
        return HotBitmapWithoutHandle(view_) ? CursorRole::Fill : CursorRole::FillRefused;
    }
};

}  // namespace

std::unique_ptr<Tool> MakeFillTool(EditorView& view) { return std::make_unique<FillTool>(view); }

}  // namespace vantrel
