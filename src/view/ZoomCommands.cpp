// Zoom In, Zoom Out, Zoom 1:1 and Zoom to Fit: every one redraws the whole view.

#include "view/EditorView.h"
#include "view/ViewCommands.h"
#include "view/ZoomLevels.h"

namespace vantrel {

namespace {

using C = CommandId;

constexpr CommandRoute<EditorView> kRoutes[] = {
    {C::ZoomIn, [](const EditorView& v, CommandUi& ui) { ui.enabled = v.Zoom() <= kZoomInLimit; },
     [](EditorView& v) {
         v.SetZoom(ZoomedIn(v.Zoom()));
         v.Host().RedrawAll();
     }},
    {C::ZoomOut, [](const EditorView& v, CommandUi& ui) { ui.enabled = v.Zoom() > kSmallestZoom; },
     [](EditorView& v) {
         v.SetZoom(ZoomedOut(v.Zoom()));
         v.Host().RedrawAll();
     }},
    {C::ZoomOneToOne, [](const EditorView& v, CommandUi& ui) { ui.enabled = v.Zoom() != 1; },
     [](EditorView& v) { v.ZoomOneToOne(); }},
    {C::ZoomToFit, [](const EditorView&, CommandUi& ui) { ui.enabled = true; }, [](EditorView& v) { v.ZoomToFit(); }},
};

}  // namespace

ViewRoutes ZoomRoutes() { return kRoutes; }

}  // namespace vantrel
