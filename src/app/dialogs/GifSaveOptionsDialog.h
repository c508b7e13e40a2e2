#pragma once
// "GIF Save Options": the exact palette or "Reduce to:" a number of colours,
// and whether the animation is made smaller by writing only what changes.

#include <optional>

#include "document/Export.h"

class QWidget;

namespace vantrel {

std::optional<GifExportOptions> AskGifSaveOptions(QWidget* parent, const GifExportRequest& request);

}  // namespace vantrel
