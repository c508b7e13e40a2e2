#pragma once
// The texts, keys and pictures of every command: menu text (with the
// shortcut text after a tab), the prompt shown in the status bar while the
// pointer rests on an entry, the tool tip of its button, and the accelerator
// keys that send it.

#include <QKeySequence>
#include <QList>
#include <span>

#include "view/CommandIds.h"

namespace vantrel {

struct CommandInfo {
    CommandId id;
    const char* text;     // menu text; empty for commands only on buttons or keys
    const char* prompt;   // fly-by prompt in the status bar
    const char* toolTip;  // button tool tip; empty without a button
    const char* icon;     // picture name under :/icons/, or empty
};

std::span<const CommandInfo> AllCommands();
// The entry of id; every CommandId has one.
const CommandInfo& CommandInfoFor(CommandId id);
// The accelerator keys of a command, from the one accelerator table.
QList<QKeySequence> AcceleratorsFor(CommandId id);

}  // namespace vantrel
