#pragma once
// When the frame commands (beyond going from frame to frame) may run and what their menu entries say, decided
// from the animation and the current frame alone. At least one frame that is
// not a master frame always remains: it can be neither deleted nor turned
// into a master frame.

#include <optional>

#include "view/CommandIds.h"

namespace vantrel {

class AnimFrame;
class Animation;

// The state of a frame command's menu entry and buttons, or nothing when id
// is not a frame command. current may be null (no frame shown).
std::optional<CommandUi> FrameCommandState(CommandId id, const Animation& animation, const AnimFrame* current);

// The frame commands the rules above decide, for tables and tests.
inline constexpr CommandId kFrameCommandIds[] = {
    CommandId::InsertFrameBefore, CommandId::InsertFrameAfter, CommandId::InsertFrameAtEnd,
    CommandId::DuplicateFrame,    CommandId::DeleteFrame,      CommandId::MasterFrame,       CommandId::FrameDuration,    CommandId::LoopCount,
    CommandId::AutoFrameSize,     CommandId::FrameSetup,
    CommandId::PreviewAnimation,  CommandId::GoToFrame,        CommandId::ExportFrame,
    CommandId::SaveAnimationAs,   CommandId::SaveAnimation,
};

}  // namespace vantrel
