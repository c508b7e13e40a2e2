#pragma once
// The dialogs of the commands that put frames between the current frame and
// the next: a transition (frames, duration, a preview of the middle frame)
// and "Tween to Next Frame" (frames, easing).

#include <optional>

#include "view/ViewDialogs.h"

class QWidget;

namespace vantrel {

// The values confirmed with OK, or nothing on Cancel.
std::optional<TransitionValues> AskTransition(QWidget* parent, const TransitionRequest& request);
std::optional<TweenValues> AskTween(QWidget* parent, const TweenValues& values);

}  // namespace vantrel
