#pragma once
// The state the "GIF Save Options" dialog opens in, decided from the number
// of distinct colours (257 standing for more than 256), whether the file is
// an animation, and the choices made the last time the dialog was confirmed.

#include <string>
#include <vector>

#include "document/Export.h"

namespace vantrel {

// What "GIF Save Options" remembers from one save to the next (kept with the
// program's settings): the choices as the dialog showed them when it was
// confirmed, before any "Fit under" search changed the colour count.
// options.reduce is true only when "Reduce to:" was chosen while the exact
// palette could have been: a palette reduced because it had to be does not
// reduce the next animation, which may have few colours.
inline constexpr int kDefaultFitKilobytes = 500;
struct GifSaveChoices {
    GifExportOptions options;
    bool fit = false;  // "Fit under" ticked
    int fitKilobytes = kDefaultFitKilobytes;
};

// The range of the "Fit under" box, in kilobytes.
inline constexpr int kMinFitKilobytes = 1;
inline constexpr int kMaxFitKilobytes = 4'000'000;

// Choices read from outside (the settings store) brought into range: the
// colour count 2 to 256, lossy 0 to kMaxLossy, the budget within the box's range.
GifSaveChoices SanitizedGifSaveChoices(GifSaveChoices choices);

struct GifOptionsDialogState {
    std::string exactText;       // "Exact Palette (%d Colors)", "(1 Color)", or "Use exact palette"
    bool exactEnabled = true;    // off above 256 colours
    bool reduceSelected = false; // "Reduce to:" chosen at the start (from 256 colours on)
    std::vector<int> choices;    // the "Reduce to:" list, largest first; its first entry selected
    bool reduceEnabled = true;   // the "Reduce to:" button, list and "colors" text; off up to 4 colours
    bool sizeReductionEnabled = true;  // only for animations
    bool sizeReductionChecked = true;  // ticked whatever the state, unless unticked last time
    std::size_t selectedChoice = 0;    // index into choices
    bool dither = false;
    bool classic = false;              // the median cut rather than the refined palette
    bool onePaletteEnabled = true;     // only for animations (a single image has one palette)
    bool onePalette = false;           // "One palette for all frames"
    int lossy = 0;
    bool fit = false;
    int fitKilobytes = kDefaultFitKilobytes;
};

// Without last, the defaults. With last, its choices where this request
// allows them: "Reduce to:" or the exact palette as last time when that
// button is enabled, the last colour count when the list offers it (else
// the largest count below it, else the smallest), and the other choices as
// they were.
GifOptionsDialogState GifOptionsDialogStateFor(const GifExportRequest& request,
                                               const GifSaveChoices* last = nullptr);

// What the dialog adds to a file's description when some of its images have
// palettes of their own: ", a palette per frame" when all do, ", own
// palettes for N frames" when some do; nothing when none do.
std::string OwnPalettesNote(const GifExportReport& report);

// The JPEG quality the "JPEG Save Options" slider starts at (0 to 10).
inline constexpr int kDefaultJpegQuality = 7;

}  // namespace vantrel
