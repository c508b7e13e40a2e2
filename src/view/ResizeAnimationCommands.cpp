// Image > Resize Animation: asks for the new size, is refused with a message
// when the document could not hold the result, and scales everything in
// one step.

#include <memory>

#include "document/Animation.h"
#include "edit/ResizeAnimation.h"
#include "view/EditorView.h"
#include "view/ViewCommands.h"
#include "view/ViewDialogs.h"

namespace vantrel {

namespace {

void ResizeAnimation(EditorView& v) {
    const Animation& animation = v.GetAnimation();
    const ResizeAnimationValues start{{animation.Width(), animation.Height()}, v.resizeResampling};
    const std::optional<ResizeAnimationValues> chosen = v.Host().Dialogs().ResizeAnimation(start);
    if (!chosen) return;
    v.resizeResampling = chosen->resampling;
    auto command = std::make_unique<ResizeAnimationCommand>("Resize Animation", chosen->size, chosen->resampling);
    if (const Status fits = command->Fits(v.Document()); !fits) {
        v.Host().ShowMessage(fits.message(), MessageStyle::Error);
        return;
    }
    v.Execute(std::move(command), v.RenderProgress());
}

constexpr CommandRoute<EditorView> kRoutes[] = {
    {CommandId::ResizeAnimation, [](const EditorView& v, CommandUi& ui) { ui.enabled = v.CurrentFrame() != nullptr; },
     ResizeAnimation},
};

}  // namespace

ViewRoutes ResizeAnimationRoutes() { return kRoutes; }

}  // namespace vantrel
