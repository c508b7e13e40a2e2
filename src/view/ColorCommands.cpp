// The foreground and background colour buttons: the colour picker opens on
// what the button stands for; a confirmed colour goes to the one selected
// item (one undoable step), becomes the view's drawing colour and joins the
// view's recent colours. "Set Background Color..." gives the current frame a
// new background colour the same way. A cancelled picker changes nothing.

#include "view/ColorCommands.h"

#include <memory>

#include "document/AnimFrame.h"
#include "edit/ColorCommands.h"
#include "view/EditorView.h"
#include "view/ViewCommands.h"
#include "view/ViewDialogs.h"

namespace vantrel {

namespace {

using C = CommandId;

// The one selected item of the current frame, else null.
CanvasItem* SoleSelected(const EditorView& v) {
    const AnimFrame* frame = v.CurrentFrame();
    if (!frame || frame->CountSelected() != 1) return nullptr;
    return frame->NthSelected(0);
}

// One button: which colour of an item it stands for, the view's colour and
// how to set it, and the picker's titles.
struct Button {
    std::optional<ItemColorRole> (*roleOf)(ItemKind);
    PixelValue (EditorView::*viewColor)() const;
    void (EditorView::*setViewColor)(PixelValue);
    const char* title;
    const char* labelTitle;  // exactly one label selected (null: the plain title)
    const char* boxTitle;    // exactly one box selected
};

constexpr Button kForeground{ForegroundRoleOf, &EditorView::ForegroundColor, &EditorView::SetForegroundColor,
                             "Select Foreground Color", "Select Text Color", "Select Line Color"};
constexpr Button kBackground{BackgroundRoleOf, &EditorView::BackgroundColor, &EditorView::SetBackgroundColor,
                             "Select Background Color", nullptr, "Select Fill Color"};

// The colour a button stands for now.
PixelValue TargetOf(const EditorView& v, const Button& button) {
    if (const CanvasItem* item = SoleSelected(v))
        if (const std::optional<ItemColorRole> role = button.roleOf(item->Kind()))
            if (const std::optional<PixelValue> color = ItemColor(*item, *role)) return *color;
    return (v.*button.viewColor)();
}

void PickFor(EditorView& v, const Button& button) {
    const CanvasItem* item = SoleSelected(v);
    const char* title = button.title;
    if (item && item->Kind() == ItemKind::Label && button.labelTitle) title = button.labelTitle;
    if (item && item->Kind() == ItemKind::Box && button.boxTitle) title = button.boxTitle;
    const auto recent = v.Settings().Recent().Colors();
    const ColorPickRequest request{title, TargetOf(v, button), false, {recent.begin(), recent.end()}};
    const std::optional<PixelValue> chosen = v.Host().Dialogs().PickColor(request);
    if (!chosen) return;
    // The item may be gone if the picker let other events run; look it up again.
    if (const CanvasItem* target = SoleSelected(v))
        if (const std::optional<ItemColorRole> role = button.roleOf(target->Kind()))
            v.Execute(MakeItemColorCommand(v.CurrentFrame()->Uid(), target->Uid(), *role, *chosen));
    (v.*button.setViewColor)(*chosen);
    v.Settings().AddRecentColor(*chosen);
    v.Host().UpdateNow();
}

void PickForeground(EditorView& v) { PickFor(v, kForeground); }
void PickBackground(EditorView& v) { PickFor(v, kBackground); }

void FrameShown(const EditorView& v, CommandUi& ui) { ui.enabled = v.CurrentFrame() != nullptr; }

// "Set Background Color...": the current frame's background colour, always
// opaque; a confirmed colour also drops the frame's background frame so
// that the colour shows.
void PickFrameBackground(EditorView& v) {
    const AnimFrame* frame = v.CurrentFrame();
    if (!frame) return;
    const auto recent = v.Settings().Recent().Colors();
    const ColorPickRequest request{"Frame Background Color", frame->backgroundColor, true, {recent.begin(), recent.end()}};
    const std::optional<PixelValue> chosen = v.Host().Dialogs().PickColor(request);
    if (!chosen || !v.CurrentFrame()) return;
    v.Execute(std::make_unique<SetFrameBackgroundCommand>(v.CurrentFrame()->Uid(), *chosen));
    v.Settings().AddRecentColor(*chosen);
    v.Host().RedrawAll();
}

constexpr CommandRoute<EditorView> kRoutes[] = {
    {C::ForegroundColor, nullptr, PickForeground},
    {C::BackgroundColor, nullptr, PickBackground},
    {C::SetBackgroundColor, FrameShown, PickFrameBackground},
};

}  // namespace

ColorTargets CurrentColorTargets(const EditorView& view) {
    return {TargetOf(view, kForeground), TargetOf(view, kBackground)};
}

ViewRoutes ColorRoutes() { return kRoutes; }

}  // namespace vantrel
