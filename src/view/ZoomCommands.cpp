// Zoom In, Zoom Out and Zoom 1:1: every one redraws the whole view.

#include "view/EditorView.h"
#include "view/ViewCommands.h"

namespace vantrel {

namespace {

using C = CommandId;

constexpr CommandRoute<EditorView> kRoutes[] = {
    {C::ZoomIn, [](const EditorView& v, CommandUi& ui) { ui.enabled = v.Zoom() <= kZoomInLimit; },
     [](EditorView& v) {
         v.SetZoom(v.Zoom() * 2);
         v.Host().RedrawAll();
     }},
    {C::ZoomOut, [](const EditorView& v, CommandUi& ui) { ui.enabled = v.Zoom() > 1; },
     [](EditorView& v) {
         v.SetZoom(v.Zoom() / 2);
         v.Host().RedrawAll();
     }},
    {C::ZoomOneToOne, [](const EditorView& v, CommandUi& ui) { ui.enabled = v.Zoom() != 1; },
     [](EditorView& v) { v.ZoomOneToOne(); }},
};

}  // namespace

ViewRoutes ZoomRoutes() { return kRoutes; }

}  // namespace vantrel
