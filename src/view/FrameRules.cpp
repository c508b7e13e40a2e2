#include "view/FrameRules.h"

#include "document/AnimFrame.h"
#include "document/Animation.h"

namespace vantrel {

std::optional<CommandUi> FrameCommandState(CommandId id, const Animation& animation, const AnimFrame* current) {
    using C = CommandId;
    const bool shown = current != nullptr;
    const bool isMaster = shown && current->isMaster;
    const int normal = animation.CountFrames(false);
    // A master frame may always change; a normal one only while another normal frame remains.
    const bool mayLoseNormal = isMaster || normal > 1;
    const bool animated = normal > 1;

    CommandUi ui;
    switch (id) {
        case C::InsertFrameBefore:
        case C::InsertFrameAfter:
        case C::DuplicateFrame:
            ui.enabled = shown;
            break;
        case C::InsertFrameAtEnd:
        case C::FrameSetup:
        case C::PreviewAnimation:
        case C::GoToFrame:
            ui.enabled = true;
            break;
        case C::ExportFrame:
            ui.enabled = shown;
            break;
        case C::DeleteFrame:
            ui.enabled = shown && animation.FrameCount() > 1 && mayLoseNormal;
            break;
        case C::MasterFrame:
            ui.enabled = shown && mayLoseNormal;
            ui.checked = isMaster;
            break;
        case C::FrameDuration:
            ui.enabled = shown && animation.FrameCount() > 1;
            break;
        case C::LoopCount:
            ui.enabled = animated;
            break;
        case C::AutoFrameSize:
            ui.enabled = shown && !current->IsEmpty();
            break;
        case C::SaveAnimationAs:
            ui.enabled = true;
            ui.text = animated ? "Save Animation As..." : "Save Image As...";
            break;
        case C::SaveAnimation:
            ui.enabled = true;
            ui.text = animated ? "Sav&e Animation\tCtrl+E" : "Save Image\tCtrl+E";
            break;
        default:
            return std::nullopt;
    }
    return ui;
}

}  // namespace vantrel
