#pragma once
// "GoTo Frame": every frame of the animation by its name; the chosen one, or none.

#include <optional>

#include "document/CanvasItem.h"

class QWidget;

namespace vantrel {

class Animation;

// The frame chosen with OK (double-clicking an entry is OK too), or nothing
// on Cancel or with no entry selected. The current frame starts selected.
std::optional<ObjectUid> AskGoToFrame(QWidget* parent, const Animation& animation, ObjectUid current);

}  // namespace vantrel
