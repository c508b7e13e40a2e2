#pragma once
// The dialog of an effect of Image > Effects: the fields the effect uses and
// a live preview of it on a picture of the selection.

#include <optional>

#include "view/ViewDialogs.h"

class QWidget;

namespace vantrel {

// The settings confirmed with OK, or nothing on Cancel.
std::optional<EffectSettings> AskEffect(QWidget* parent, const EffectRequest& request);

}  // namespace vantrel
