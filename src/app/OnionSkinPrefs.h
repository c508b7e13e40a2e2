#pragma once
// The onion skin settings kept between sessions in the program's settings store.

#include "view/OnionSkin.h"

namespace vantrel {

// The settings saved last, or the defaults (hidden, one frame before).
OnionSkinSettings LoadOnionSkinSettings();
void SaveOnionSkinSettings(const OnionSkinSettings& settings);

}  // namespace vantrel
