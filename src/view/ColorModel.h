#pragma once
// The arithmetic of colours with a transparency as the user sees and picks
// them: opacity in percent, the two-tone checkerboard that makes a
// transparency visible, hue/saturation/value in whole numbers, the geometry
// of the hue/saturation wheel and the value strip, hexadecimal entry, the
// predefined colours and a short list of recently used ones. No windowing
// code: the dialogs and bars only draw what these functions compute.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/Geometry.h"
#include "core/Pixel.h"

namespace vantrel {

// ---- opacity ----

// 100 - T x 100 / 255 (integer division): T 0 is 100%, T 255 is 0%.
int OpacityPercentOf(PixelValue color);
// 255 - p x 255 / 100 (integer division), p limited to 0..100.
std::uint8_t TransparencyForPercent(int percent);

// ---- transparency preview ----

// A colour shown as two opaque tones: over white and over light grey (192),
// each channel (T x W + (255 - T) x channel) / 255.
struct PreviewTones {
    PixelValue overWhite = 0;
    PixelValue overGrey = 0;
    friend bool operator==(const PreviewTones&, const PreviewTones&) = default;
};
PreviewTones PreviewTonesOf(PixelValue color);
// The tone of checkerboard cell (column, row), both from 0 at the top-left:
// grey when column + row is even, white when odd.
PixelValue CheckerTone(const PreviewTones& tones, int column, int row);

// ---- hue, saturation, value ----

// Hue in degrees 0..360, saturation and value in percent, all whole numbers.
struct Hsv {
    int hue = 0;
    int saturation = 0;
    int value = 0;
    friend bool operator==(const Hsv&, const Hsv&) = default;
};
Hsv RgbToHsv(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
// The opaque colour (T = 0) of a hue (limited to 0..360; 360 is red like 0),
// saturation and value (each limited to 0..100).
PixelValue HsvToRgb(int hue, int saturation, int value);

// ---- the wheel and the strip ----

// The wheel is kWheelSide pixels square with its centre at (kWheelCentre,
// kWheelCentre); hue 0 lies to the right, 90 above, 180 left, 270 below.
inline constexpr int kWheelSide = 201;
inline constexpr int kWheelCentre = 100;
inline constexpr PixelValue kWheelOutside = 0x00C0C0C0;
// The value strip is kStripWidth x kStripHeight: value 100 at the top, 0 at the bottom.
inline constexpr int kStripWidth = 20;
inline constexpr int kStripHeight = 202;

struct HueSaturation {
    int hue = 0;
    int saturation = 0;
    friend bool operator==(const HueSaturation&, const HueSaturation&) = default;
};

// The hue and saturation of a point of the wheel given as its offset from
// the centre (dx to the right, dy upwards), or nothing when it lies outside
// the disc (distance 100.5 or more). The centre itself is hue 0, saturation 0.
std::optional<HueSaturation> WheelColorAt(double dx, double dy);

// Where the marker of a hue and saturation sits on the wheel, in wheel pixels.
Point WheelMarkerFor(int hue, int saturation);

// A press or drag at wheel pixel (x, y): the hue and saturation it picks and
// where the marker goes. Outside the disc the saturation becomes 100 and the
// marker goes onto the rim in the direction of the point.
struct WheelPick {
    HueSaturation color;
    Point marker;
};
WheelPick PickOnWheel(int x, int y);

// The strip: the marker for a value, and the value under strip row y.
Point StripMarkerFor(int value);
struct StripPick {
    int value = 0;
    Point marker;
};
StripPick PickOnStrip(int y);

// A picture of the wheel or strip: top-down rows of opaque colour values.
struct ColorImage {
    int width = 0;
    int height = 0;
    std::vector<PixelValue> pixels;
    PixelValue At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
// The wheel painted with value, at scale device pixels per wheel pixel
// (1 or 2): at scale 1 each pixel (i, j) shows the colour of the point
// (i, j); at scale 2 each device pixel shows the point at its own centre,
// so the rim stays smooth on a dense screen.
ColorImage BuildWheelImage(int value, int scale);
// The strip for a hue and saturation: 101 bands of two rows each (times scale).
ColorImage BuildStripImage(int hue, int saturation, int scale);

// ---- hexadecimal entry ----

// Two upper-case hexadecimal digits each for red, green and blue ("FF8000").
std::string HexTextOf(PixelValue color);
// Reads the leading hexadecimal number of text (optional blanks, sign, "#"
// or "0x" before the digits), keeps its low 24 bits as red, green and blue
// and keeps the transparency of current. Nothing when no hexadecimal digit
// starts the text, so the caller leaves the colour as it was.
std::optional<PixelValue> ParseHexColor(std::string_view text, PixelValue current);

// ---- named and recent colours ----

struct NamedColor {
    const char* name;
    PixelValue value;
};
// The predefined colours in list order, all opaque.
std::span<const NamedColor> PredefinedColors();

// The colours last chosen in one document, most recent first, without
// repeats: choosing a colour that is already listed moves it to the front.
class RecentColors {
public:
    static constexpr std::size_t kCapacity = 8;
    void Add(PixelValue color);
    std::span<const PixelValue> Colors() const { return {colors_.data(), count_}; }

private:
    std::array<PixelValue, kCapacity> colors_{};
    std::size_t count_ = 0;
};

// ---- the picker's state ----

// What the colour picker shows and how each of its controls changes it. The
// colour is recomposed from the shown fields after every change, so a
// transparency no percentage produces becomes that percentage's one.
class ColorPickerState {
public:
    enum class Channel { Red, Green, Blue };

    explicit ColorPickerState(PixelValue initial);

    PixelValue Initial() const { return initial_; }
    PixelValue Color() const { return color_; }
    int Red() const { return red_; }
    int Green() const { return green_; }
    int Blue() const { return blue_; }
    int ChannelValue(Channel channel) const;
    int Opacity() const { return opacity_; }
    const Hsv& HueSatValue() const { return hsv_; }
    std::string HexText() const { return HexTextOf(color_); }

    // Each returns false, changing nothing, when the value equals the shown one.
    // A point of the wheel (hue and saturation) or of the strip (value):
    // the channels follow, the opacity stays.
    bool SetHueSaturation(HueSaturation picked);
    bool SetValue(int value);
    // A channel (limited to 0..255) or the opacity (limited to 0..100).
    bool SetChannel(Channel channel, int value);
    bool SetOpacity(int percent);
    // A whole colour with its own transparency (a predefined colour).
    void SetColor(PixelValue color);
    // Hexadecimal text: red, green and blue from it, the opacity kept; text
    // that does not parse changes nothing (false).
    bool ApplyHex(std::string_view text);

private:
    void Split(PixelValue color);
    void Compose();

    PixelValue initial_;
    PixelValue color_;
    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;
    int opacity_ = 100;
    Hsv hsv_;
};

}  // namespace vantrel
