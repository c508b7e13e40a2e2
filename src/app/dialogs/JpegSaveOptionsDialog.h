#pragma once
// "JPEG Save Options": the quality, 0 (small file) to 10 (large file).

#include <optional>

class QWidget;

namespace vantrel {

std::optional<int> AskJpegQuality(QWidget* parent, int quality);

}  // namespace vantrel
