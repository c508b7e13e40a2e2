#include "view/SaveOptions.h"

#include <algorithm>

#include "codec/GifFile.h"

namespace vantrel {

GifSaveChoices SanitizedGifSaveChoices(GifSaveChoices choices) {
    choices.options.colorCount = std::clamp(choices.options.colorCount, 2, 256);
    choices.options.lossy = std::clamp(choices.options.lossy, 0, kMaxLossy);
    if (choices.options.quantizer != PaletteMethod::MedianCut) choices.options.quantizer = PaletteMethod::Refined;
    choices.fitKilobytes = std::clamp(choices.fitKilobytes, kMinFitKilobytes, kMaxFitKilobytes);
    return choices;
}

GifOptionsDialogState GifOptionsDialogStateFor(const GifExportRequest& request, const GifSaveChoices* last) {
    const int n = request.distinctColors;
    GifOptionsDialogState state;
    state.reduceSelected = n > 256;  // exactly 256 colours keep their exact palette
    if (n <= 256) {
        state.exactText = n == 1 ? "Exact Palette (1 Color)" : "Exact Palette (" + std::to_string(n) + " Colors)";
    } else {
        state.exactText = "Use exact palette";
        state.exactEnabled = false;
    }
    state.choices = ReduceToChoices(n);
    state.reduceEnabled = n > 4;
    state.sizeReductionEnabled = request.animated;
    state.onePaletteEnabled = request.animated;
    if (last == nullptr) return state;

    const GifSaveChoices choices = SanitizedGifSaveChoices(*last);
    const GifExportOptions& options = choices.options;
    if (options.reduce ? state.reduceEnabled : state.exactEnabled) state.reduceSelected = options.reduce;
    if (!state.choices.empty()) {
        // The list runs from the largest count down.
        const auto fits = std::find_if(state.choices.begin(), state.choices.end(),
                                       [&](int count) { return count <= options.colorCount; });
        state.selectedChoice = fits != state.choices.end() ? std::size_t(fits - state.choices.begin())
                                                          : state.choices.size() - 1;
    }
    state.sizeReductionChecked = options.sizeReduction;
    state.dither = options.dither;
    state.classic = options.quantizer == PaletteMethod::MedianCut;
    state.onePalette = options.onePalette;
    state.lossy = options.lossy;
    state.fit = choices.fit;
    state.fitKilobytes = choices.fitKilobytes;
    return state;
}

std::string OwnPalettesNote(const GifExportReport& report) {
    if (report.ownPalettes <= 0) return {};
    if (report.ownPalettes == report.images) return ", a palette per frame";
    return ", own palettes for " + std::to_string(report.ownPalettes) +
           (report.ownPalettes == 1 ? " frame" : " frames");
}

}  // namespace vantrel
