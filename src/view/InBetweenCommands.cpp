// The commands that put frames between the current frame and the next:
// the transitions of Frame > Transition Effects and Tween to Next Frame.
// Each asks its dialog, is refused with a message when the document cannot
// take the frames, and shows the first new frame.

#include <memory>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "edit/InBetweenCommands.h"
#include "view/EditorView.h"
#include "view/ViewCommands.h"
#include "view/ViewDialogs.h"

namespace vantrel {

namespace {

using C = CommandId;

// The frame that follows the current one, or null.
const AnimFrame* NextOf(const EditorView& v) {
    return v.CurrentFrame() != nullptr ? v.GetAnimation().NextFrame(v.CurrentFrame()) : nullptr;
}

// Both commands need a frame after the current one.
void NeedsNextFrame(const EditorView& v, CommandUi& ui) { ui.enabled = NextOf(v) != nullptr; }

void Run(EditorView& v, std::unique_ptr<InsertFramesCommand> command) {
    if (const Status fits = command->Fits(v.Document()); !fits) {
        v.Host().ShowMessage(fits.message(), MessageStyle::Error);
        return;
    }
    InsertFramesCommand& inserting = *command;
    if (v.Execute(std::move(command)) && !inserting.FrameUids().empty())
        v.ShowFrame(v.GetAnimation().FindFrameByUid(inserting.FrameUids().front()));
}

template <TransitionKind kind>
void Transition(EditorView& v) {
    const AnimFrame* current = v.CurrentFrame();
    TransitionRequest request{kind, &current->Image(), &NextOf(v)->Image(), {5, current->duration}};
    const std::optional<TransitionValues> chosen = v.Host().Dialogs().Transition(request);
    if (chosen) Run(v, std::make_unique<TransitionCommand>(current->Uid(), kind, chosen->frames, chosen->duration));
}

void Tween(EditorView& v) {
    const std::optional<TweenValues> chosen = v.Host().Dialogs().Tween({});
    if (chosen) Run(v, std::make_unique<TweenCommand>(v.CurrentFrame()->Uid(), chosen->frames, chosen->easing));
}

using K = TransitionKind;

constexpr CommandRoute<EditorView> kRoutes[] = {
    {C::TransitionFade, NeedsNextFrame, Transition<K::Fade>},
    {C::TransitionSlideLeft, NeedsNextFrame, Transition<K::SlideLeft>},
    {C::TransitionSlideRight, NeedsNextFrame, Transition<K::SlideRight>},
    {C::TransitionSlideUp, NeedsNextFrame, Transition<K::SlideUp>},
    {C::TransitionSlideDown, NeedsNextFrame, Transition<K::SlideDown>},
    {C::TransitionWipeLeft, NeedsNextFrame, Transition<K::WipeLeft>},
    {C::TransitionWipeRight, NeedsNextFrame, Transition<K::WipeRight>},
    {C::TransitionWipeUp, NeedsNextFrame, Transition<K::WipeUp>},
    {C::TransitionWipeDown, NeedsNextFrame, Transition<K::WipeDown>},
    {C::TransitionDissolve, NeedsNextFrame, Transition<K::Dissolve>},
    {C::TransitionZoomIn, NeedsNextFrame, Transition<K::ZoomIn>},
    {C::TweenToNextFrame, NeedsNextFrame, Tween},
};

}  // namespace

ViewRoutes InBetweenRoutes() { return kRoutes; }

}  // namespace vantrel
