// Undo and Redo step through the document's history; their menu texts name
// the step ("Undo Move"), and read plain "Undo" and "Redo" when greyed. A
// step that changes another frame than the one shown shows that frame, so
// that no change happens out of sight.

#include <string>

#include "document/AnimFrame.h"
#include "document/CQVDoc.h"
#include "view/EditorView.h"
#include "view/ViewCommands.h"

namespace vantrel {

namespace {

using C = CommandId;

// The menu text with the step's label and the first shortcut after a tab.
std::string MenuText(const char* verb, const std::string& label, const char* keys) {
    std::string text(verb);
    if (!label.empty()) text += " " + label;
    return text + "\t" + keys;
}

void UndoRule(const EditorView& v, CommandUi& ui) {
    const UndoHistory& history = v.Document().History();
    ui.enabled = history.CanUndo() && v.Drag() == DragMode::None;
    ui.text = MenuText("&Undo", ui.enabled ? history.UndoLabel() : std::string(), "Ctrl+Z");
}

void RedoRule(const EditorView& v, CommandUi& ui) {
    const UndoHistory& history = v.Document().History();
    ui.enabled = history.CanRedo() && v.Drag() == DragMode::None;
    ui.text = MenuText("&Redo", ui.enabled ? history.RedoLabel() : std::string(), "Ctrl+Y");
}

// The first frame a change reports, leaving out a frame that leaves the list.
class FirstFrameTouched final : public DocumentObserver {
public:
    ObjectUid Uid() const { return uid_; }
    void OnFrameInserted(AnimFrame& frame) override { Note(frame); }
    void OnFrameMoved(AnimFrame& frame) override { Note(frame); }
    void OnItemsChanged(AnimFrame& frame, const Rect&) override { Note(frame); }
    void OnFrameSettingsChanged(AnimFrame& frame) override { Note(frame); }

private:
    void Note(const AnimFrame& frame) {
        if (uid_ == 0) uid_ = frame.Uid();
    }
    ObjectUid uid_ = 0;
};

// Undoes (redo false) or redoes one step, then shows the frame it changed.
template <bool Redo>
void Step(EditorView& v) {
    FirstFrameTouched touched;
    {
        const ScopedObservation watching(v.Document(), touched);
        UndoHistory& history = v.Document().History();
        if constexpr (Redo) {
            history.Redo();
        } else {
            history.Undo();
        }
    }
    AnimFrame* frame = v.GetAnimation().FindFrameByUid(touched.Uid());
    if (frame != nullptr && frame != v.CurrentFrame()) v.ShowFrame(frame);
}

constexpr CommandRoute<EditorView> kRoutes[] = {
    {C::EditUndo, UndoRule, Step<false>},
    {C::EditRedo, RedoRule, Step<true>},
};

}  // namespace

ViewRoutes HistoryRoutes() { return kRoutes; }

}  // namespace vantrel
