#pragma once
// "Frame Setup": the canvas width and height, each 1 to 1200.

#include <optional>

#include "view/ViewHost.h"

class QWidget;

namespace vantrel {

// The size confirmed with OK, or nothing on Cancel.
std::optional<Size> AskFrameSetup(QWidget* parent, Size canvas);

}  // namespace vantrel
