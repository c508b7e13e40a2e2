#pragma once
// Effects on whole pictures: grayscale, invert, brightness and contrast,
// blur, sharpen, drop shadow and outline. Pure functions from a picture to a
// new one; the transparency byte of each pixel is kept unless the effect
// says otherwise. Shadow and outline may grow the picture: they say by how
// much its top-left corner moved.

#include <optional>
#include <string_view>

#include "core/Geometry.h"
#include "core/PackedDib.h"
#include "core/Pixel.h"

namespace vantrel {

enum class EffectKind { Grayscale, Invert, BrightnessContrast, Blur, Sharpen, DropShadow, Outline };

inline constexpr EffectKind kEffectKinds[] = {EffectKind::Grayscale, EffectKind::Invert,
                                              EffectKind::BrightnessContrast, EffectKind::Blur,
                                              EffectKind::Sharpen, EffectKind::DropShadow, EffectKind::Outline};

// "Grayscale", "Invert", "Brightness/Contrast", ...
std::string_view EffectTitle(EffectKind kind);

inline constexpr int kMaxEffectLevel = 100;   // brightness and contrast: -100..100
inline constexpr int kMaxBlurRadius = 20;
inline constexpr int kMaxShadowOffset = 50;
inline constexpr int kMaxShadowSoftness = 20;
inline constexpr int kMaxOutlineWidth = 20;

// One effect and its settings (those it does not use are ignored).
struct EffectSettings {
    EffectKind kind = EffectKind::Grayscale;
    int brightness = 0;       // -100..100: added, in percent of full scale
    int contrast = 0;         // -100..100: spread about the middle, in percent
    int radius = 1;           // blur: 1..kMaxBlurRadius
    Point offset{4, 4};       // shadow: each -kMaxShadowOffset..kMaxShadowOffset
    int softness = 2;         // shadow: 0..kMaxShadowSoftness
    PixelValue color = 0x00000000;  // shadow and outline colour
    int width = 1;            // outline: 1..kMaxOutlineWidth
    friend bool operator==(const EffectSettings&, const EffectSettings&) = default;
};

// The settings with every number limited to its range.
EffectSettings LimitedSettings(EffectSettings settings);

struct EffectResult {
    PackedDib picture;
    Point shift;  // where the new picture's top-left corner lies relative to the old one's
};

// The picture with the effect applied; none for a picture without pixels
// or a result that cannot be allocated.
std::optional<EffectResult> ApplyEffect(const PackedDib& picture, const EffectSettings& settings);

}  // namespace vantrel
