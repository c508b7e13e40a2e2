// Pen: paints one-pixel lines in the foreground colour on the bitmap
// pressed on; the segments of one stroke are one step "Paint". Ctrl-click
// and the secondary button pick a colour instead.

#include "edit/ItemEditCommands.h"
#include "view/tools/Tool.h"
#include "view/tools/ToolSupport.h"
#include "view/tools/Tools.h"

namespace vantrel {

namespace {

class PenTool final : public Tool {
public:
    using Tool::Tool;

    void Press(const ToolEvent& e) override {
        if (e.modifiers.ctrl) {
            view_.PickAt(e.frame, e.modifiers.shift);
            return;
        }
        BitmapItem* bitmap = HotBitmapWithoutHandle(view_);
        if (!bitmap) return;
        DragState& d = view_.DragInfo();
        d.mode = DragMode::PenStroke;
        d.item = bitmap->Uid();
        Paint(d.press, d.press);
    }

    void Move(const ToolEvent& e) override {
        DragState& d = view_.DragInfo();
        if (d.mode != DragMode::PenStroke) return;
        Paint(d.last, e.frame);
        d.last = e.frame;
    }

    void SecondaryPress(const ToolEvent& e) override { view_.PickAt(e.frame, e.modifiers.shift); }

    CursorRole Cursor(Modifiers m) const override {
        if (m.ctrl) return CursorRole::Pick;
        return HotBitmapWithoutHandle(view_) ? CursorRole::Pen : CursorRole::PenRefused;
    }

private:
    void Paint(Point from, Point to) {
        DragState& d = view_.DragInfo();
        AnimFrame* frame = view_.CurrentFrame();
        if (!frame || !CurrentItem(view_, d.item)) return;
        auto paint = std::make_unique<PaintLineCommand>(frame->Uid(), d.item, from, to, view_.ForegroundColor());
        paint->SetMergeKey(d.gesture);
        view_.Execute(std::move(paint));
        view_.Host().UpdateNow();
    }
};

}  // namespace

std::unique_ptr<Tool> MakePenTool(EditorView& view) { return std::make_unique<PenTool>(view); }

}  // namespace vantrel
