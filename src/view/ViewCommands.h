#pragma once
// The routing tables of the editor view, one per family of commands, each
// in its own file; EditorView registers them all.

#include <span>

#include "view/CommandRoutes.h"

namespace vantrel {

class EditorView;
using ViewRoutes = std::span<const CommandRoute<EditorView>>;

ViewRoutes ZoomRoutes();        // ZoomCommands.cpp
ViewRoutes NavigationRoutes();  // NavigationCommands.cpp
ViewRoutes ToolRoutes();        // ToolCommands.cpp
ViewRoutes HistoryRoutes();     // HistoryCommands.cpp: undo, redo
ViewRoutes TextRoutes();        // TextCommands.cpp: Edit Text, Change Font
ViewRoutes ItemRoutes();        // ItemCommands.cpp: arranging, sizing, converting, importing
ViewRoutes ClipboardRoutes();   // ClipboardCommands.cpp: cut, copy, paste
ViewRoutes ColorRoutes();       // ColorCommands.cpp: the colour buttons, Set Background Color
ViewRoutes FrameRoutes();       // FrameCommands.cpp: the frame list, frame and animation settings, saving
ViewRoutes InBetweenRoutes();   // InBetweenCommands.cpp: transitions and tweens
ViewRoutes EffectRoutes();      // EffectCommands.cpp: Image > Effects
ViewRoutes ResizeAnimationRoutes();  // ResizeAnimationCommands.cpp: Image > Resize Animation

}  // namespace vantrel
