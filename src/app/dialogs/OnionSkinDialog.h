#pragma once
// "Onion Skin Settings": how many frames before and after the current one
// the onion skin shows.

#include <optional>

#include "view/OnionSkin.h"

class QWidget;

namespace vantrel {

// The chosen counts (the on/off state kept from start), or nothing on Cancel.
std::optional<OnionSkinSettings> AskOnionSkinSettings(QWidget* parent, const OnionSkinSettings& start);

}  // namespace vantrel
