#include "view/ColorModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantrel {

namespace {

constexpr double kDegreesPerRadian = 57.29577951326093;
// Points this far from the centre or farther lie outside the disc.
constexpr double kWheelRadius = 100.5;

// The hue of a point of the wheel at distance r > 0 from the centre.
int WheelHue(double dx, double dy, double r) {
    const double cosine = std::clamp(dx / r, -1.0, 1.0);
    int hue = std::clamp(static_cast<int>(std::trunc(std::acos(cosine) * kDegreesPerRadian)), 0, 180);
    if (dy < 0) hue = 360 - hue;
    return hue;
}

// The saturation at distance r inside the disc: 0 in a small centre spot,
// 100 on the outer ring, in between a little below the distance itself.
int WheelSaturation(double r) {
    if (r <= 2) return 0;
    if (r >= 98) return 100;
    const double f = std::floor(r);
    return static_cast<int>(std::trunc(f + (100 - f) * -0.010416666666666666)) + 2;
}

std::uint8_t OverBackdrop(std::uint8_t channel, unsigned transparency, unsigned backdrop) {
    return static_cast<std::uint8_t>((transparency * backdrop + (255 - transparency) * channel) / 255);
}

PixelValue ToneOver(PixelValue color, unsigned backdrop) {
    const unsigned t = TransparencyOf(color);
    return MakePixel(OverBackdrop(RedOf(color), t, backdrop), OverBackdrop(GreenOf(color), t, backdrop),
                     OverBackdrop(BlueOf(color), t, backdrop));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

constexpr PixelValue kRgbMask = 0x00FFFFFF;

constexpr NamedColor kPredefined[] = {
    {"White", 0x00FFFFFF},  {"Black", 0x00000000},    {"Red", 0x00FF0000},     {"Green", 0x0000FF00},
    {"Blue", 0x000000FF},   {"75% Gray", 0x00404040}, {"50% Gray", 0x00808080}, {"25% Gray", 0x00C0C0C0},
    {"Yellow", 0x00FFFF00}, {"Cyan", 0x0000FFFF},     {"Magenta", 0x00FF00FF}, {"Orange", 0x00FF8000},
    {"Violet", 0x008000FF},
};

}  // namespace

// ---- opacity ----

int OpacityPercentOf(PixelValue color) { return 100 - TransparencyOf(color) * 100 / 255; }

std::uint8_t TransparencyForPercent(int percent) {
    return static_cast<std::uint8_t>(255 - std::clamp(percent, 0, 100) * 255 / 100);
}

// ---- transparency preview ----

PreviewTones PreviewTonesOf(PixelValue color) { return {ToneOver(color, 255), ToneOver(color, 192)}; }

PixelValue CheckerTone(const PreviewTones& tones, int column, int row) {
    return (column + row) % 2 == 0 ? tones.overGrey : tones.overWhite;
}

// ---- hue, saturation, value ----

Hsv RgbToHsv(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    const int m = std::max({red, green, blue});
    const int n = std::min({red, green, blue});
    Hsv hsv;
    hsv.value = m * 100 / 255;
    hsv.saturation = m == 0 ? 0 : (m - n) * 100 / m;
    if (m == n) return hsv;
    const int d = m - n;
    const int r = (red - n) * 60 / d;
    const int g = (green - n) * 60 / d;
    const int b = (blue - n) * 60 / d;
    // The channel at the minimum names the sextant pair; when two channels
    // share it, the later rule wins.
    if (r == 0) hsv.hue = b - g + 180;
    if (g == 0) hsv.hue = r - b + 300;
    if (b == 0) hsv.hue = g - r + 60;
    return hsv;
}

PixelValue HsvToRgb(int hue, int saturation, int value) {
    const unsigned h = static_cast<unsigned>(std::clamp(hue, 0, 360));
    const unsigned s = static_cast<unsigned>(std::clamp(saturation, 0, 100));
    const unsigned v = static_cast<unsigned>(std::clamp(value, 0, 100));
    unsigned rgb[3];
    if (h < 60) rgb[0] = 255, rgb[1] = h * 255 / 60, rgb[2] = 0;
    else if (h < 120) rgb[0] = 255 - (h * 255 - 15300) / 60, rgb[1] = 255, rgb[2] = 0;
    else if (h < 180) rgb[0] = 0, rgb[1] = 255, rgb[2] = (h * 255 - 30600) / 60;
    else if (h < 240) rgb[0] = 0, rgb[1] = 255 - (h * 255 - 45900) / 60, rgb[2] = 255;
    else if (h < 300) rgb[0] = (h * 255 - 61200) / 60, rgb[1] = 0, rgb[2] = 255;
    else rgb[0] = 255, rgb[1] = 0, rgb[2] = 255 - (h * 255 - 76500) / 60;
    for (unsigned& c : rgb) {
        c = c + (255 - c) * (100 - s) / 100;
        c = c * v / 100;
    }
    return MakePixel(static_cast<std::uint8_t>(rgb[0]), static_cast<std::uint8_t>(rgb[1]),
                     static_cast<std::uint8_t>(rgb[2]));
}

// ---- the wheel and the strip ----

std::optional<HueSaturation> WheelColorAt(double dx, double dy) {
    const double r = std::sqrt(dx * dx + dy * dy);
    if (r >= kWheelRadius) return std::nullopt;
    if (r == 0) return HueSaturation{0, 0};
    return HueSaturation{WheelHue(dx, dy, r), WheelSaturation(r)};
}

Point WheelMarkerFor(int hue, int saturation) {
    const double angle = hue * std::numbers::pi / 180;
    return {static_cast<int>(std::trunc(saturation * std::cos(angle) + kWheelCentre)),
            static_cast<int>(std::trunc(kWheelCentre - saturation * std::sin(angle)))};
}

WheelPick PickOnWheel(int x, int y) {
    const double dx = x - kWheelCentre;
    const double dy = kWheelCentre - y;
    if (const std::optional<HueSaturation> inside = WheelColorAt(dx, dy)) return {*inside, {x, y}};
    const int hue = WheelHue(dx, dy, std::sqrt(dx * dx + dy * dy));
    return {{hue, 100}, WheelMarkerFor(hue, 100)};
}

Point StripMarkerFor(int value) { return {kStripWidth / 2, std::clamp(2 * (100 - value), 0, kStripHeight - 2)}; }

StripPick PickOnStrip(int y) {
    const int row = std::clamp(y, 0, kStripHeight - 2);
    return {100 - row / 2, {kStripWidth / 2, row}};
}

ColorImage BuildWheelImage(int value, int scale) {
    scale = std::max(scale, 1);
    ColorImage image{kWheelSide * scale, kWheelSide * scale, {}};
    image.pixels.assign(static_cast<std::size_t>(image.width) * image.height, kWheelOutside);
    for (int j = 0; j < image.height; ++j) {
        PixelValue* row = image.pixels.data() + static_cast<std::size_t>(j) * image.width;
        const double dy = kWheelCentre - ((j + 0.5) / scale - 0.5);
        for (int i = 0; i < image.width; ++i) {
            const double dx = (i + 0.5) / scale - 0.5 - kWheelCentre;
            if (const std::optional<HueSaturation> hs = WheelColorAt(dx, dy))
                row[i] = HsvToRgb(hs->hue, hs->saturation, value);
        }
    }
    return image;
}

ColorImage BuildStripImage(int hue, int saturation, int scale) {
    scale = std::max(scale, 1);
    ColorImage image{kStripWidth * scale, kStripHeight * scale, {}};
    image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (int j = 0; j < image.height; ++j) {
        // Value k fills strip rows 200 - 2k and 201 - 2k.
        const int k = (kStripHeight - 1 - j / scale) / 2;
        PixelValue* row = image.pixels.data() + static_cast<std::size_t>(j) * image.width;
        std::fill(row, row + image.width, HsvToRgb(hue, saturation, k));
    }
    return image;
}

// ---- hexadecimal entry ----

std::string HexTextOf(PixelValue color) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(6, '0');
    for (int i = 0; i < 6; ++i) text[static_cast<std::size_t>(i)] = kDigits[(color >> (20 - 4 * i)) & 0xF];
    return text;
}

std::optional<PixelValue> ParseHexColor(std::string_view text, PixelValue current) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i < text.size() && text[i] == '#') ++i;
    else if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
             HexDigit(text[i + 2]) >= 0)
        i += 2;
    if (i >= text.size() || HexDigit(text[i]) < 0) return std::nullopt;
    // Only the low 24 bits are kept, so the sum never overflows.
    PixelValue rgb = 0;
    for (; i < text.size() && HexDigit(text[i]) >= 0; ++i)
        rgb = ((rgb << 4) | static_cast<PixelValue>(HexDigit(text[i]))) & kRgbMask;
    if (negative) rgb = (0u - rgb) & kRgbMask;
    return (current & ~kRgbMask) | rgb;
}

// ---- named and recent colours ----

std::span<const NamedColor> PredefinedColors() { return kPredefined; }

void RecentColors::Add(PixelValue color) {
    auto end = colors_.begin() + static_cast<std::ptrdiff_t>(count_);
    auto found = std::find(colors_.begin(), end, color);
    if (found == end) {
        if (count_ < kCapacity) ++count_;
        found = colors_.begin() + static_cast<std::ptrdiff_t>(count_ - 1);
    }
    // Shift the colours before it one place back and put it in front.
    std::move_backward(colors_.begin(), found, found + 1);
    colors_[0] = color;
}

// ---- the picker's state ----

ColorPickerState::ColorPickerState(PixelValue initial) : initial_(initial), color_(initial) {
    Split(initial);
    hsv_ = RgbToHsv(static_cast<std::uint8_t>(red_), static_cast<std::uint8_t>(green_),
                    static_cast<std::uint8_t>(blue_));
}

int ColorPickerState::ChannelValue(Channel channel) const {
    switch (channel) {
        case Channel::Red: return red_;
        case Channel::Green: return green_;
        case Channel::Blue: return blue_;
    }
    return 0;
}

void ColorPickerState::Split(PixelValue color) {
    red_ = RedOf(color);
    green_ = GreenOf(color);
    blue_ = BlueOf(color);
    opacity_ = OpacityPercentOf(color);
}

void ColorPickerState::Compose() {
    color_ = MakePixel(static_cast<std::uint8_t>(red_), static_cast<std::uint8_t>(green_),
                       static_cast<std::uint8_t>(blue_), TransparencyForPercent(opacity_));
}

bool ColorPickerState::SetHueSaturation(HueSaturation picked) {
    if (picked.hue == hsv_.hue && picked.saturation == hsv_.saturation) return false;
    hsv_.hue = picked.hue;
    hsv_.saturation = picked.saturation;
    Split((color_ & ~kRgbMask) | HsvToRgb(hsv_.hue, hsv_.saturation, hsv_.value));
    Compose();
    return true;
}

bool ColorPickerState::SetValue(int value) {
    value = std::clamp(value, 0, 100);
    if (value == hsv_.value) return false;
    hsv_.value = value;
    Split((color_ & ~kRgbMask) | HsvToRgb(hsv_.hue, hsv_.saturation, hsv_.value));
    Compose();
    return true;
}

bool ColorPickerState::SetChannel(Channel channel, int value) {
    value = std::clamp(value, 0, 255);
    int& field = channel == Channel::Red ? red_ : channel == Channel::Green ? green_ : blue_;
    if (field == value) return false;
    field = value;
    Compose();
    hsv_ = RgbToHsv(RedOf(color_), GreenOf(color_), BlueOf(color_));
    return true;
}

bool ColorPickerState::SetOpacity(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (percent == opacity_) return false;
    opacity_ = percent;
    Compose();
    return true;
}

void ColorPickerState::SetColor(PixelValue color) {
    Split(color);
    hsv_ = RgbToHsv(RedOf(color), GreenOf(color), BlueOf(color));
    Compose();
}

bool ColorPickerState::ApplyHex(std::string_view text) {
    const std::optional<PixelValue> parsed = ParseHexColor(text, color_);
    if (!parsed) return false;
    SetColor(*parsed);
    return true;
}

}  // namespace vantrel
