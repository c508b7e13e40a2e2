#pragma once
// "Resize Animation": a percentage, or a width with the height following,
// and whether bitmaps are resampled smoothly; the resulting size is shown.

#include <optional>

#include "view/ViewDialogs.h"

class QWidget;

namespace vantrel {

std::optional<ResizeAnimationValues> AskResizeAnimation(QWidget* parent, const ResizeAnimationValues& values);

}  // namespace vantrel
