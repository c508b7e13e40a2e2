#include "app/OnionSkinPrefs.h"

#include <QSettings>

#include "app/AnimatorApp.h"

namespace vantrel {

namespace {

const char* const kShownKey = "Onion Skin/Shown";
const char* const kBeforeKey = "Onion Skin/Frames Before";
const char* const kAfterKey = "Onion Skin/Frames After";

}  // namespace

OnionSkinSettings LoadOnionSkinSettings() {
    const QSettings settings = CAnimatorApp::Settings();
    const OnionSkinSettings defaults;
    OnionSkinSettings loaded;
    loaded.shown = settings.value(QLatin1String(kShownKey), defaults.shown).toBool();
    loaded.framesBefore = settings.value(QLatin1String(kBeforeKey), defaults.framesBefore).toInt();
    loaded.framesAfter = settings.value(QLatin1String(kAfterKey), defaults.framesAfter).toInt();
    return WithinRanges(loaded);
}

void SaveOnionSkinSettings(const OnionSkinSettings& settings) {
    QSettings store = CAnimatorApp::Settings();
    store.setValue(QLatin1String(kShownKey), settings.shown);
    store.setValue(QLatin1String(kBeforeKey), settings.framesBefore);
    store.setValue(QLatin1String(kAfterKey), settings.framesAfter);
}

}  // namespace vantrel
