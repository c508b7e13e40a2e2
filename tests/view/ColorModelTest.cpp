// Colour arithmetic of the picker and the colour bars: opacity, preview
// tones, hue/saturation/value, the wheel and strip geometry, hexadecimal
// entry, and the picker's reactions.

#include "view/ColorModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace vantrel {
namespace {

// ---- opacity ----

TEST(Opacity, EveryPercentRoundTripsThroughItsTransparency) {
    for (int p = 0; p <= 100; ++p)
        EXPECT_EQ(OpacityPercentOf(PixelValue{TransparencyForPercent(p)} << 24), p) << p;
    EXPECT_EQ(TransparencyForPercent(100), 0);
    EXPECT_EQ(TransparencyForPercent(0), 255);
    EXPECT_EQ(TransparencyForPercent(150), 0);
    EXPECT_EQ(TransparencyForPercent(-3), 255);
}

TEST(Opacity, EveryTransparencySettlesOnItsPercentsTransparency) {
    for (int t = 0; t <= 255; ++t) {
        const int p = OpacityPercentOf(PixelValue(t) << 24);
        ASSERT_GE(p, 0);
        ASSERT_LE(p, 100);
        const int settled = TransparencyForPercent(p);
        EXPECT_LE(std::abs(settled - t), 3) << t;
        EXPECT_EQ(OpacityPercentOf(PixelValue(settled) << 24), p) << t;
        EXPECT_EQ(TransparencyForPercent(OpacityPercentOf(PixelValue(settled) << 24)), settled) << t;
    }
    EXPECT_EQ(OpacityPercentOf(0x01000000), 100);
    EXPECT_EQ(TransparencyForPercent(100), 0);  // so T = 1 becomes 0
    EXPECT_EQ(OpacityPercentOf(0x80000000), 50);
    EXPECT_EQ(TransparencyForPercent(50), 128);
}

// ---- preview ----

TEST(Preview, TonesMixTheColourOverWhiteAndGrey) {
    struct Case {
        PixelValue color;
        PreviewTones tones;
    };
    const Case cases[] = {
        {0x00123456, {0x00123456, 0x00123456}},  // opaque: both tones are the colour
        {0xFF123456, {0x00FFFFFF, 0x00C0C0C0}},  // invisible: the backdrops
        {0x80000000, {0x00808080, 0x00606060}},  // 128 x 255 / 255, 128 x 192 / 255
        // red over grey: (128 x 192 + 127 x 255) / 255 = 223
        {0x80FF0000, {0x00FF8080, 0x00DF6060}},
    };
    for (const Case& c : cases) EXPECT_EQ(PreviewTonesOf(c.color), c.tones) << std::hex << c.color;
}

TEST(Preview, CheckerboardStartsGreyAtTheTopLeftAndAlternates) {
    const PreviewTones tones{0x00FFFFFF, 0x00C0C0C0};
    EXPECT_EQ(CheckerTone(tones, 0, 0), tones.overGrey);
    EXPECT_EQ(CheckerTone(tones, 1, 0), tones.overWhite);
    EXPECT_EQ(CheckerTone(tones, 0, 1), tones.overWhite);
    EXPECT_EQ(CheckerTone(tones, 3, 5), tones.overGrey);
    EXPECT_EQ(CheckerTone(tones, 6, 3), tones.overWhite);
}

// ---- hue, saturation, value ----

TEST(Hsv, NamedColoursHaveTheirHueSaturationAndValue) {
    struct Case {
        const char* name;
        Hsv hsv;
    };
    // Worked by hand from the integer rules: Orange 255,128,0 has
    // g' = 128 x 60 / 255 = 30 and b' = 0, so hue = 30 - 60 + 60 = 30.
    const Case cases[] = {
        {"White", {0, 0, 100}},       {"Black", {0, 0, 0}},         {"Red", {0, 100, 100}},
        {"Green", {120, 100, 100}},   {"Blue", {240, 100, 100}},    {"75% Gray", {0, 0, 25}},
        {"50% Gray", {0, 0, 50}},     {"25% Gray", {0, 0, 75}},     {"Yellow", {60, 100, 100}},
        {"Cyan", {180, 100, 100}},    {"Magenta", {300, 100, 100}}, {"Orange", {30, 100, 100}},
        {"Violet", {270, 100, 100}},
    };
    ASSERT_EQ(PredefinedColors().size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const NamedColor& named = PredefinedColors()[i];
        ASSERT_STREQ(named.name, cases[i].name);
        EXPECT_TRUE(IsOpaque(named.value)) << named.name;
        EXPECT_EQ(RgbToHsv(RedOf(named.value), GreenOf(named.value), BlueOf(named.value)), cases[i].hsv) << named.name;
    }
    EXPECT_EQ(HsvToRgb(30, 100, 100), 0x00FF7F00u);  // 30 x 255 / 60 = 127
    EXPECT_EQ(HsvToRgb(360, 100, 100), 0x00FF0000u);
    EXPECT_EQ(HsvToRgb(270, 100, 100), 0x007F00FFu);  // 18 x 255 / 60 = 127 for Violet's red
}

// A floating-point model of the same colour cone.
void ReferenceHsv(double hue, double saturation, double value, double rgb[3]) {
    for (int c = 0; c < 3; ++c) {
        // Distance of the hue from this channel's own peak (red 0, green 120, blue 240).
        double d = std::fabs(std::fmod(hue - 120.0 * c + 540.0, 360.0) - 180.0);
        const double pure = 255.0 * std::clamp(2.0 - d / 60.0, 0.0, 1.0);
        rgb[c] = (pure + (255.0 - pure) * (1.0 - saturation / 100.0)) * value / 100.0;
    }
}

TEST(Hsv, IntegerConversionStaysWithinRoundingOfTheExactCone) {
    for (int h = 0; h <= 360; ++h)
        for (int s = 0; s <= 100; s += 10)
            for (int v = 0; v <= 100; v += 10) {
                const PixelValue got = HsvToRgb(h, s, v);
                double want[3];
                ReferenceHsv(h, s, v, want);
                const int channels[3] = {RedOf(got), GreenOf(got), BlueOf(got)};
                for (int c = 0; c < 3; ++c)
                    ASSERT_LE(std::fabs(channels[c] - want[c]), 3.0) << h << " " << s << " " << v << " ch " << c;
                ASSERT_TRUE(IsOpaque(got));
            }
}

TEST(Hsv, PureHuesComeBackFromRgb) {
    for (int h = 0; h < 360; ++h) {
        const PixelValue c = HsvToRgb(h, 100, 100);
        const Hsv back = RgbToHsv(RedOf(c), GreenOf(c), BlueOf(c));
        EXPECT_LE(std::abs(back.hue - h), 1) << h;
        EXPECT_EQ(back.saturation, 100) << h;
        EXPECT_EQ(back.value, 100) << h;
    }
}

// ---- wheel ----

TEST(Wheel, PointsAtTheCentreTheAxesAndOutside) {
    struct Case {
        int x, y;
        HueSaturation picked;
        Point marker;
    };
    const Case cases[] = {
        {100, 100, {0, 0}, {100, 100}},    // centre
        {200, 100, {0, 100}, {200, 100}},  // rim, right
        {100, 0, {90, 100}, {100, 0}},     // rim, top
        {0, 100, {180, 100}, {0, 100}},    // rim, left
        {100, 200, {270, 100}, {100, 200}},
        {150, 100, {0, 51}, {150, 100}},   // r 50: trunc(50 - 50 / 96) + 2
        {102, 100, {0, 0}, {102, 100}},    // inside the white spot
        {103, 100, {0, 3}, {103, 100}},
        {400, 100, {0, 100}, {200, 100}},  // outside: onto the rim
        {100, -60, {90, 100}, {100, 0}},
        {201, 100, {0, 100}, {200, 100}},  // r 101 > 100.5
    };
    for (const Case& c : cases) {
        const WheelPick pick = PickOnWheel(c.x, c.y);
        EXPECT_EQ(pick.color, c.picked) << c.x << "," << c.y;
        EXPECT_EQ(pick.marker, c.marker) << c.x << "," << c.y;
    }
}

TEST(Wheel, OutsideClicksLandOnTheRimInTheirDirection) {
    const int points[][2] = {{0, 0}, {230, 20}, {-40, 260}, {260, 230}, {5, 170}};
    for (const auto& p : points) {
        const WheelPick pick = PickOnWheel(p[0], p[1]);
        EXPECT_EQ(pick.color.saturation, 100);
        const double mx = pick.marker.x - 100.0, my = 100.0 - pick.marker.y;
        EXPECT_NEAR(std::hypot(mx, my), 100.0, 1.5);
        const double want = std::atan2(100.0 - p[1], p[0] - 100.0);
        const double got = std::atan2(my, mx);
        EXPECT_NEAR(std::remainder(got - want, 2 * std::numbers::pi), 0.0, 0.03) << p[0] << "," << p[1];
    }
}

TEST(Wheel, SaturationGrowsWithDistanceAndMarkersRoundTrip) {
    int last = 0;
    for (double r = 0; r < 100.5; r += 0.25) {
        const std::optional<HueSaturation> hs = WheelColorAt(r, 0);
        ASSERT_TRUE(hs);
        EXPECT_GE(hs->saturation, last) << r;
        last = hs->saturation;
    }
    EXPECT_EQ(last, 100);
    EXPECT_FALSE(WheelColorAt(100.5, 0));
    for (int h = 0; h < 360; h += 15) {
        const Point m = WheelMarkerFor(h, 100);
        const WheelPick pick = PickOnWheel(m.x, m.y);
        EXPECT_EQ(pick.color.saturation, 100) << h;
        EXPECT_LE(std::abs(pick.color.hue - h), 2) << h;
    }
}

TEST(Wheel, ImageShowsTheHuesOnTheDiscAndGreyAround) {
    const ColorImage wheel = BuildWheelImage(100, 1);
    ASSERT_EQ(wheel.width, 201);
    ASSERT_EQ(wheel.height, 201);
    EXPECT_EQ(wheel.At(100, 100), 0x00FFFFFFu);
    EXPECT_EQ(wheel.At(200, 100), 0x00FF0000u);
    EXPECT_EQ(wheel.At(100, 0), 0x0080FF00u);  // hue 90
    EXPECT_EQ(wheel.At(0, 100), 0x0000FFFFu);  // hue 180
    EXPECT_EQ(wheel.At(0, 0), kWheelOutside);
    EXPECT_EQ(wheel.At(200, 200), kWheelOutside);
    EXPECT_EQ(BuildWheelImage(50, 1).At(100, 100), 0x007F7F7Fu);

    // Twice as dense, the same disc: four device pixels per wheel pixel.
    const ColorImage dense = BuildWheelImage(100, 2);
    ASSERT_EQ(dense.width, 402);
    auto discPixels = [](const ColorImage& image) {
        return std::count_if(image.pixels.begin(), image.pixels.end(), [](PixelValue p) { return p != kWheelOutside; });
    };
    const double ratio = static_cast<double>(discPixels(dense)) / static_cast<double>(discPixels(wheel));
    EXPECT_NEAR(ratio, 4.0, 0.04);
    EXPECT_EQ(dense.At(201, 201), 0x00FFFFFFu);
    EXPECT_EQ(dense.At(0, 0), kWheelOutside);
}

// ---- strip ----

TEST(Strip, ValuesRunFromTopToBottomAndMarkersRoundTrip) {
    EXPECT_EQ(PickOnStrip(0).value, 100);
    EXPECT_EQ(PickOnStrip(200).value, 0);
    EXPECT_EQ(PickOnStrip(500).value, 0);
    EXPECT_EQ(PickOnStrip(500).marker, (Point{10, 200}));
    EXPECT_EQ(PickOnStrip(-5).value, 100);
    EXPECT_EQ(PickOnStrip(-5).marker, (Point{10, 0}));
    EXPECT_EQ(PickOnStrip(101).value, 50);

    for (int scale = 1; scale <= 2; ++scale) {
        const ColorImage strip = BuildStripImage(30, 100, scale);
        ASSERT_EQ(strip.width, 20 * scale);
        ASSERT_EQ(strip.height, 202 * scale);
        EXPECT_EQ(strip.At(0, 0), 0x00FF7F00u);
        EXPECT_EQ(strip.At(strip.width - 1, strip.height - 1), 0u);
        for (int v = 0; v <= 100; ++v) {
            const Point m = StripMarkerFor(v);
            EXPECT_EQ(PickOnStrip(m.y).value, v);
            // The strip shows the marker's value under the marker.
            EXPECT_EQ(strip.At(m.x * scale, m.y * scale), HsvToRgb(30, 100, v)) << v;
            EXPECT_EQ(strip.At(m.x * scale, m.y * scale + scale), HsvToRgb(30, 100, v)) << v;
        }
    }
}

// ---- hexadecimal ----

TEST(Hex, TextIsReadAsFarAsItGoesMaskedAndKeepsTheOpacity) {
    struct Case {
        const char* text;
        std::optional<PixelValue> result;
    };
    const PixelValue current = 0x80123456;
    const Case cases[] = {
        {"FF", 0x800000FF},      {"ff8000", 0x80FF8000}, {"#FF8000", 0x80FF8000}, {"0x1A", 0x8000001A},
        {"12zz", 0x80000012},    {"-1", 0x80FFFFFF},     {"1234567", 0x80234567}, {"FFFFFFFFFFFF", 0x80FFFFFF},
        {"", std::nullopt},      {"zz", std::nullopt},   {"-", std::nullopt},     {"  ", std::nullopt},
        {"0", 0x80000000},       {" 7f", 0x8000007F},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseHexColor(c.text, current), c.result) << c.text;
    // Even over an opaque colour "-1" stays opaque.
    EXPECT_EQ(ParseHexColor("-1", 0x00000000), 0x00FFFFFFu);
}

TEST(Hex, TextOfAColourReadsBackToIt) {
    EXPECT_EQ(HexTextOf(0x80FF8000), "FF8000");
    EXPECT_EQ(HexTextOf(0x000A0B0C), "0A0B0C");
    std::mt19937 random(7);
    for (int i = 0; i < 500; ++i) {
        const PixelValue c = random();
        EXPECT_EQ(ParseHexColor(HexTextOf(c), c), c);
    }
}

// ---- recent colours ----

TEST(Recent, KeepsEightMostRecentFirstWithoutRepeats) {
    RecentColors recent;
    EXPECT_TRUE(recent.Colors().empty());
    for (PixelValue c = 1; c <= 10; ++c) recent.Add(c);
    ASSERT_EQ(recent.Colors().size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(recent.Colors()[i], 10 - i);
    recent.Add(5);  // already there: moves to the front
    const std::vector<PixelValue> want{5, 10, 9, 8, 7, 6, 4, 3};
    EXPECT_EQ(std::vector<PixelValue>(recent.Colors().begin(), recent.Colors().end()), want);
    recent.Add(5);
    EXPECT_EQ(std::vector<PixelValue>(recent.Colors().begin(), recent.Colors().end()), want);
    recent.Add(0x80000005);  // the same colour with another opacity is another entry
    EXPECT_EQ(recent.Colors()[0], 0x80000005u);
    EXPECT_EQ(recent.Colors()[1], 5u);
}

// ---- picker state ----

TEST(PickerState, OpensOnHalfTransparentRedAndKeepsItUntilChanged) {
    ColorPickerState s(0x80FF0000);
    EXPECT_EQ(s.Red(), 255);
    EXPECT_EQ(s.Green(), 0);
    EXPECT_EQ(s.Blue(), 0);
    EXPECT_EQ(s.Opacity(), 50);
    EXPECT_EQ(s.HexText(), "FF0000");
    EXPECT_EQ(s.HueSatValue(), (Hsv{0, 100, 100}));
    EXPECT_EQ(s.Color(), 0x80FF0000u);
    EXPECT_TRUE(s.SetChannel(ColorPickerState::Channel::Green, 16));
    EXPECT_EQ(s.Color(), 0x80FF1000u);  // 50% composes as T 128 again
    EXPECT_EQ(s.Initial(), 0x80FF0000u);
}

TEST(PickerState, AnUnreachableTransparencyStaysUntilAControlComposes) {
    ColorPickerState s(0x01FF0000);
    EXPECT_EQ(s.Opacity(), 100);
    EXPECT_EQ(s.Color(), 0x01FF0000u);
    EXPECT_FALSE(s.SetOpacity(100));
    EXPECT_EQ(s.Color(), 0x01FF0000u);
    EXPECT_TRUE(s.SetValue(50));
    EXPECT_EQ(s.Color(), 0x007F0000u);
}

TEST(PickerState, ControlsChangeTheColourAndTheOtherFields) {
    ColorPickerState s(0x00000000);
    s.SetColor(0x00FF8000);  // "Orange"
    EXPECT_EQ(s.HueSatValue(), (Hsv{30, 100, 100}));
    EXPECT_EQ(s.Opacity(), 100);

    EXPECT_TRUE(s.SetChannel(ColorPickerState::Channel::Green, 300));
    EXPECT_EQ(s.Color(), 0x00FFFF00u);
    EXPECT_EQ(s.HueSatValue(), (Hsv{60, 100, 100}));
    EXPECT_FALSE(s.SetChannel(ColorPickerState::Channel::Green, 255));
    EXPECT_TRUE(s.SetChannel(ColorPickerState::Channel::Green, 128));
    EXPECT_TRUE(s.SetChannel(ColorPickerState::Channel::Blue, 255));
    EXPECT_EQ(s.Color(), 0x00FF80FFu);
    EXPECT_EQ(s.HueSatValue().saturation, 49);  // (255 - 128) x 100 / 255

    EXPECT_TRUE(s.SetOpacity(0));
    EXPECT_EQ(s.Color(), 0xFFFF80FFu);
    EXPECT_TRUE(s.SetOpacity(250));
    EXPECT_EQ(s.Opacity(), 100);

    EXPECT_TRUE(s.SetOpacity(50));
    EXPECT_TRUE(s.SetHueSaturation({240, 100}));
    EXPECT_EQ(s.Color(), 0x800000FFu);
    EXPECT_FALSE(s.SetHueSaturation({240, 100}));
    EXPECT_TRUE(s.SetValue(0));
    EXPECT_EQ(s.Color(), 0x80000000u);
    EXPECT_EQ(s.HueSatValue(), (Hsv{240, 100, 0}));  // the wheel keeps its point at value 0

    EXPECT_FALSE(s.ApplyHex("zz"));
    EXPECT_EQ(s.Color(), 0x80000000u);
    EXPECT_TRUE(s.ApplyHex("-1"));
    EXPECT_EQ(s.Color(), 0x80FFFFFFu);
    EXPECT_EQ(s.HueSatValue(), (Hsv{0, 0, 100}));
}

}  // namespace
}  // namespace vantrel
