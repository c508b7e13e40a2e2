// Going through the frames: first, previous, next, last.

#include "document/Animation.h"
#include "view/EditorView.h"
#include "view/ViewCommands.h"

namespace vantrel {

namespace {

using C = CommandId;

void NotFirst(const EditorView& v, CommandUi& ui) {
    ui.enabled = v.CurrentFrame() && v.CurrentFrame() != v.GetAnimation().FirstFrame();
}

void HasNext(const EditorView& v, CommandUi& ui) {
    ui.enabled = v.CurrentFrame() && v.GetAnimation().NextFrame(v.CurrentFrame()) != nullptr;
}

constexpr CommandRoute<EditorView> kRoutes[] = {
    {C::FirstFrame, NotFirst, [](EditorView& v) { v.ShowFrame(v.GetAnimation().FirstFrame()); }},
    {C::PreviousFrame, NotFirst, [](EditorView& v) { v.ShowFrame(v.GetAnimation().PreviousFrame(v.CurrentFrame())); }},
    {C::NextFrame, HasNext, [](EditorView& v) { v.ShowFrame(v.GetAnimation().NextFrame(v.CurrentFrame())); }},
    {C::LastFrame, HasNext, [](EditorView& v) { v.ShowFrame(v.GetAnimation().LastFrame()); }},
};

}  // namespace

ViewRoutes NavigationRoutes() { return kRoutes; }

}  // namespace vantrel
