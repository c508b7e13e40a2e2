// Effects on small pictures whose results can be worked out by hand.

#include <gtest/gtest.h>

#include "PictureUtil.h"
#include "imaging/Effects.h"

namespace vantrel {
namespace {

using test::SolidImage;

EffectResult Apply(const PackedDib& picture, EffectSettings settings) {
    std::optional<EffectResult> result = ApplyEffect(picture, settings);
    EXPECT_TRUE(result.has_value());
    return result ? std::move(*result) : EffectResult{};
}

TEST(Effects, GrayscaleOfPureColoursIsTheirLumaAndKeepsTransparency) {
    struct Case {
        PixelValue colour;
        std::uint8_t gray;
    };
    const Case cases[] = {{0x00FF0000, 76}, {0x0000FF00, 150}, {0x000000FF, 29}, {0x40FFFFFF, 255}, {0x00000000, 0}};
    for (const Case& c : cases) {
        const EffectResult r = Apply(SolidImage(2, 2, c.colour), {.kind = EffectKind::Grayscale});
        EXPECT_EQ(r.picture.GetPixel(1, 1), MakePixel(c.gray, c.gray, c.gray, TransparencyOf(c.colour))) << std::hex << c.colour;
        EXPECT_EQ(r.shift, Point{});
    }
}

TEST(Effects, InvertTwiceGivesThePictureBack) {
    PackedDib p;
    p.SetSize(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) p.Row(y)[x] = MakePixel(std::uint8_t(x * 50), std::uint8_t(y * 90), std::uint8_t(x * y), std::uint8_t(x));
    const EffectResult once = Apply(p, {.kind = EffectKind::Invert});
    EXPECT_EQ(once.picture.GetPixel(1, 2), MakePixel(255 - 50, 255 - 180, 255 - 2, 1));
    const EffectResult twice = Apply(once.picture, {.kind = EffectKind::Invert});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(twice.picture.GetPixel(x, y), p.GetPixel(x, y));
}

TEST(Effects, BlurOfAFlatPictureIsFlatAndSpreadsAnEdge) {
    for (const int radius : {1, 3, 20}) {
        const EffectResult r = Apply(SolidImage(7, 4, 0x20406080), {.kind = EffectKind::Blur, .radius = radius});
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 7; ++x) ASSERT_EQ(r.picture.GetPixel(x, y), 0x20406080u) << radius;
    }
    // A black column in white: radius 1 spreads it a third into each neighbour.
    PackedDib edge = SolidImage(5, 1, 0x00FFFFFF);
    edge.Row(0)[2] = 0x00000000;
    const EffectResult r = Apply(edge, {.kind = EffectKind::Blur, .radius = 1});
    EXPECT_EQ(r.picture.GetPixel(1, 0), 0x00AAAAAAu);
    EXPECT_EQ(r.picture.GetPixel(2, 0), 0x00AAAAAAu);
    EXPECT_EQ(r.picture.GetPixel(0, 0), 0x00FFFFFFu);
}

TEST(Effects, SharpenLeavesFlatAloneAndDeepensAnEdge) {
    const EffectResult flat = Apply(SolidImage(4, 4, 0x00808080), {.kind = EffectKind::Sharpen});
    EXPECT_EQ(flat.picture.GetPixel(2, 2), 0x00808080u);
    PackedDib step = SolidImage(4, 3, 0x00404040);
    for (int y = 0; y < 3; ++y) step.Row(y)[2] = step.Row(y)[3] = 0x00C0C0C0;
    const EffectResult r = Apply(step, {.kind = EffectKind::Sharpen});
    EXPECT_LT(RedOf(r.picture.GetPixel(1, 1)), 0x40);
    EXPECT_GT(RedOf(r.picture.GetPixel(2, 1)), 0xC0);
}

TEST(Effects, BrightnessAndContrastAtTheirEnds) {
    const PackedDib grey = SolidImage(1, 1, 0x00102030);
    EXPECT_EQ(Apply(grey, {.kind = EffectKind::BrightnessContrast, .brightness = 100}).picture.GetPixel(0, 0), 0x00FFFFFFu);
    EXPECT_EQ(Apply(grey, {.kind = EffectKind::BrightnessContrast, .contrast = -100}).picture.GetPixel(0, 0), 0x00808080u);
    EXPECT_EQ(Apply(grey, {.kind = EffectKind::BrightnessContrast}).picture.GetPixel(0, 0), 0x00102030u);
}

TEST(Effects, AHardShadowLiesAtItsOffsetBehindThePicture) {
    // A 2 x 2 opaque red square, shadow 3 right and 1 down, blue, not soft.
    const EffectResult r = Apply(SolidImage(2, 2, 0x00FF0000),
                                 {.kind = EffectKind::DropShadow, .offset = {3, 1}, .softness = 0, .color = 0x000000FF});
    EXPECT_EQ(r.shift, Point{});
    ASSERT_EQ(r.picture.Width(), 5);
    ASSERT_EQ(r.picture.Height(), 3);
    const char* expected[] = {"RR...", "RR.BB", "...BB"};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const PixelValue p = r.picture.GetPixel(x, y);
            const char c = expected[y][x];
            const PixelValue want = c == 'R' ? 0x00FF0000 : c == 'B' ? 0x000000FF : 0xFF0000FF;
            EXPECT_EQ(IsOpaque(p), c != '.') << x << "," << y;
            if (c != '.') {
                EXPECT_EQ(p, want) << x << "," << y;
            }
        }
    // Up and to the left the picture moves within the grown one.
    const EffectResult up = Apply(SolidImage(2, 2, 0x00FF0000), {.kind = EffectKind::DropShadow, .offset = {-2, -1}, .softness = 1});
    EXPECT_EQ(up.shift, (Point{-3, -2}));
    EXPECT_EQ(up.picture.GetPixel(3, 2), 0x00FF0000u);
}

TEST(Effects, AnOutlineRingsTheOpaquePixels) {
    PackedDib dot;
    dot.CreateBlank(3, 3);
    dot.Row(1)[1] = 0x00FF0000;
    const EffectResult r = Apply(dot, {.kind = EffectKind::Outline, .color = 0x0000FF00, .width = 1});
    EXPECT_EQ(r.shift, (Point{-1, -1}));
    ASSERT_EQ(r.picture.Width(), 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool centre = x == 2 && y == 2;
            const bool ring = !centre && x >= 1 && x <= 3 && y >= 1 && y <= 3;
            EXPECT_EQ(r.picture.GetPixel(x, y), centre ? 0x00FF0000u : ring ? 0x0000FF00u : 0xFFFFFFFFu) << x << "," << y;
        }
}

TEST(Effects, NothingComesOfAnEmptyPicture) {
    for (const EffectKind kind : kEffectKinds) {
        EXPECT_FALSE(ApplyEffect(PackedDib(), {.kind = kind}).has_value()) << EffectTitle(kind);
    }
}

}  // namespace
}  // namespace vantrel
