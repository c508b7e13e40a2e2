// Draw Text: a click opens "Text Edit"; the label it makes sits with the
// left end of its baseline on the click, in the foreground colour and the
// document's default font. Then the Select tool is current.

#include "document/AnimFrame.h"
#include "document/CQVDoc.h"
#include "document/LabelItem.h"
#include "edit/DocumentCommands.h"
#include "edit/ItemCommands.h"
#include "view/TextCommands.h"
#include "view/tools/Tool.h"
#include "view/tools/Tools.h"

namespace vantrel {

namespace {

class DrawTextTool final : public Tool {
public:
    using Tool::Tool;

    DragMode Press(const ToolEvent& e) override {
        AnimFrame* frame = view_.CurrentFrame();
        if (frame) AddLabel(*frame, e.frame);
        return DragMode::None;
    }

    CursorRole Cursor(Modifiers) const override { return CursorRole::Text; }

private:
    void AddLabel(AnimFrame& frame, Point at) {
        CQVDoc& doc = view_.Document();
        const TextEditAnswer answer =
            view_.Host().Dialogs().EditText({std::string(), view_.Settings().NewLabelAntiAliased(), doc.defaultFont});
        // A font chosen with "Font..." stays the default even when cancelled.
        if (!answer.chosen || answer.chosen->text.empty()) {
            view_.Execute(std::make_unique<SetDefaultFontCommand>("Change Font", answer.font));
            return;
        }
        const TextEditValues& values = *answer.chosen;
        LabelParams params;
        params.textColor = view_.ForegroundColor();
        auto label = std::make_unique<LabelItem>();
        if (!label->SetParams(WithTextEdit(params, values))) return;
        label->MoveTo(at.x, at.y);
        view_.Settings().SetNewLabelAntiAliased(values.antiAliased);
        const ObjectUid uid = label->Uid();
        view_.DeselectAll();
        Transaction step(doc.History(), "Draw Text");
        step.Add(std::make_unique<AddItemCommand>("Draw Text", frame.Uid(), std::move(label)));
        step.Add(std::make_unique<SetDefaultFontCommand>("Draw Text", values.font));
        view_.Commit(step);
        if (CanvasItem* added = frame.FindItemByUid(uid)) view_.Select(*added, true);
        view_.Host().UpdateNow();
        view_.SetTool(CommandId::ToolSelect);
    }
};

}  // namespace

std::unique_ptr<Tool> MakeDrawTextTool(EditorView& view) { return std::make_unique<DrawTextTool>(view); }

}  // namespace vantrel
