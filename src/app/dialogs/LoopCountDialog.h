#pragma once
// "Animation Loop Count": how many times the animation plays. The count is
// the number of plays: "Play infinite" is 0 (without end). In the GIF file it
// is written as plays - 1 repetitions, with no looping block for one play.

#include <cstdint>
#include <optional>

class QWidget;

namespace vantrel {

std::optional<std::uint32_t> AskLoopCount(QWidget* parent, std::uint32_t loopCount);

}  // namespace vantrel
