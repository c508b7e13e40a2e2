// Edit Text and Change Font: the one selected label takes a new text,
// anti-aliasing or font, and its font becomes the document's default font.

#include "view/TextCommands.h"

#include "document/AnimFrame.h"
#include "document/CQVDoc.h"
#include "edit/DocumentCommands.h"
#include "edit/ItemEditCommands.h"
#include "view/EditorView.h"
#include "view/ViewCommands.h"

namespace vantrel {

LabelParams WithTextEdit(LabelParams params, const TextEditValues& values) {
    params.text = values.text;
    params.antiAliased = values.antiAliased;
    params.font = values.font;
    return params;
}

bool ApplyLabelParams(EditorView& view, ObjectUid label, const LabelParams& params, const char* name) {
    AnimFrame* frame = view.CurrentFrame();
    if (!frame) return false;
    Transaction step(view.Document().History(), name);
    step.Add(std::make_unique<SetLabelParamsCommand>(name, frame->Uid(), label, params));
    step.Add(std::make_unique<SetDefaultFontCommand>(name, params.font));
    const bool changed = !step.IsEmpty();
    return view.Commit(step) && changed;
}

namespace {

using C = CommandId;

// The one selected item when it is a label, else null.
LabelItem* SelectedLabel(const EditorView& v) {
    const AnimFrame* frame = v.CurrentFrame();
    if (!frame || frame->CountSelected() != 1 || frame->SelectedKind() != ItemKind::Label) return nullptr;
    return static_cast<LabelItem*>(frame->NthSelected(0));
}

void OneLabel(const EditorView& v, CommandUi& ui) { ui.enabled = SelectedLabel(v) != nullptr; }

void EditText(EditorView& v) {
    LabelItem* label = SelectedLabel(v);
    if (!label) return;
    // A font chosen with "Font..." before Cancel is not applied: the label
    // would otherwise hold a font its picture does not show.
    const std::optional<TextEditValues> chosen =
        v.Host().Dialogs().EditText({label->Text(), label->AntiAliased(), label->LabelFont()}).chosen;
    if (!chosen) return;
    const TextEditValues& values = *chosen;
    v.Settings().SetNewLabelAntiAliased(values.antiAliased);
    ApplyLabelParams(v, label->Uid(), WithTextEdit(label->Params(), values), "Edit Text");
    v.Host().UpdateNow();
}

void ChangeFont(EditorView& v) {
    LabelItem* label = SelectedLabel(v);
    if (!label) return;
    LabelParams params = label->Params();
    const std::optional<LogFont> font = v.Host().Dialogs().SelectFont(params.font);
    if (!font) return;
    params.font = *font;
    ApplyLabelParams(v, label->Uid(), params, "Change Font");
    v.Host().UpdateNow();
}

constexpr CommandRoute<EditorView> kRoutes[] = {
    {C::EditText, OneLabel, EditText},
    {C::ChangeFont, OneLabel, ChangeFont},
};

}  // namespace

ViewRoutes TextRoutes() { return kRoutes; }

}  // namespace vantrel
