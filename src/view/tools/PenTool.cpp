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

    DragMode Press(const ToolEvent& e) override {
        if (e.modifiers.ctrl) {
            view_.PickAt(e.frame, e.modifiers.shift);
            return DragMode::None;
        }
        BitmapItem* bitmap = HotBitmapWithoutHandle(view_);
        if (!bitmap) return DragMode::None;
        item_ = bitmap->Uid();
        last_ = e.frame;
        Paint(e.frame, e.frame);
        return DragMode::PenStroke;
    }

    void Move(const ToolEvent& e) override {
        Paint(last_, e.frame);
        last_ = e.frame;
    }

    void SecondaryPress(const ToolEvent& e) override { view_.PickAt(e.frame, e.modifiers.shift); }

    CursorRole Cursor(Modifiers m) const override {
        if (m.ctrl) return CursorRole::Pick;
        return HotBitmapWithoutHandle(view_) ? CursorRole::Pen : CursorRole::PenRefused;
    }

private:
    void Paint(Point from, Point to) {
        AnimFrame* frame = view_.CurrentFrame();
        if (!frame || !CurrentItem(view_, item_)) return;
        auto paint = std::make_unique<PaintLineCommand>(frame->Uid(), item_, from, to, view_.ForegroundColor());
        paint->SetMergeKey(view_.CurrentGesture().key);
        view_.Execute(std::move(paint));
        view_.Host().UpdateNow();
    }

    ObjectUid item_ = 0;  // the bitmap of the stroke
    Point last_;          // where the last segment ended
};

}  // namespace

std::unique_ptr<Tool> MakePenTool(EditorView& view) { return std::make_unique<PenTool>(view); }

}  // namespace vantrel
