#include "view/SaveOptions.h"

namespace vantrel {

GifOptionsDialogState GifOptionsDialogStateFor(const GifExportRequest& request) {
    const int n = request.distinctColors;
    GifOptionsDialogState state;
    state.reduceSelected = n >= 256;
    if (n <= 256) {
        state.exactText = n == 1 ? "Exact Palette (1 Color)" : "Exact Palette (" + std::to_string(n) + " Colors)";
    } else {
        state.exactText = "Use exact palette";
        state.exactEnabled = false;
    }
    state.choices = ReduceToChoices(n);
    state.reduceEnabled = n > 4;
    state.sizeReductionEnabled = request.animated;
    return state;
}

}  // namespace vantrel
