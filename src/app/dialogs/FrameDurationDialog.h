#pragma once
// "Frame Duration": the display time of a frame in seconds, 0 to 655.35.

#include <cstdint>
#include <optional>

class QWidget;

namespace vantrel {

// The duration confirmed with OK, in hundredths of a second (rounded to the
// nearest hundredth), or nothing on Cancel.
std::optional<std::uint32_t> AskFrameDuration(QWidget* parent, std::uint32_t hundredths);

}  // namespace vantrel
