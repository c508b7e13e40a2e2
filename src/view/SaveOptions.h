#pragma once
// The state the "GIF Save Options" dialog opens in, decided from the number
// of distinct colours (257 standing for more than 256) and whether the file
// is an animation.

#include <string>
#include <vector>

#include "document/Export.h"

namespace vantrel {

struct GifOptionsDialogState {
    std::string exactText;       // "Exact Palette (%d Colors)", "(1 Color)", or "Use exact palette"
    bool exactEnabled = true;    // off above 256 colours
    bool reduceSelected = false; // "Reduce to:" chosen at the start (from 256 colours on)
    std::vector<int> choices;    // the "Reduce to:" list, largest first; its first entry selected
    bool reduceEnabled = true;   // the "Reduce to:" button, list and "colors" text; off up to 4 colours
    bool sizeReductionEnabled = true;  // only for animations
    bool sizeReductionChecked = true;  // ticked whatever the state
};

GifOptionsDialogState GifOptionsDialogStateFor(const GifExportRequest& request);

// The JPEG quality the "JPEG Save Options" slider starts at (0 to 10).
inline constexpr int kDefaultJpegQuality = 7;

}  // namespace vantrel
