#include "imaging/Effects.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace vantrel {

namespace {

constexpr std::array<std::string_view, 7> kTitles = {
    "Grayscale", "Invert", "Brightness/Contrast", "Blur", "Sharpen", "Drop Shadow", "Outline"};

std::uint8_t Clamp255(int v) { return std::uint8_t(std::clamp(v, 0, 255)); }

// A new picture of source's size with each pixel mapped by map.
template <typename Map>
PackedDib MapPixels(const PackedDib& source, Map map) {
    PackedDib out;
    if (!out.SetSizeForOverwrite(source.Width(), source.Height())) return out;
    for (int y = 0; y < source.Height(); ++y) {
        const PixelValue* s = source.Row(y);
        PixelValue* o = out.Row(y);
        for (int x = 0; x < source.Width(); ++x) o[x] = map(s[x]);
    }
    return out;
}

// Each of the three colour bytes mapped by map; the transparency byte kept.
template <typename Map>
PackedDib MapColors(const PackedDib& source, Map map) {
    return MapPixels(source, [&map](PixelValue p) {
        return MakePixel(map(RedOf(p)), map(GreenOf(p)), map(BlueOf(p)), TransparencyOf(p));
    });
}

// Rec. 601 luma, rounded.
std::uint8_t Luma(PixelValue p) { return std::uint8_t((299 * RedOf(p) + 587 * GreenOf(p) + 114 * BlueOf(p) + 500) / 1000); }

PackedDib Grayscale(const PackedDib& source) {
    return MapPixels(source, [](PixelValue p) {
        const std::uint8_t g = Luma(p);
        return MakePixel(g, g, g, TransparencyOf(p));
    });
}

// One pass of a box blur of radius r along rows (horizontal) or columns,
// every byte of each pixel, the edge pixels repeated beyond the edge.
void BoxPass(const PackedDib& source, PackedDib& out, int r, bool horizontal) {
    const int w = source.Width();
    const int h = source.Height();
    const int n = 2 * r + 1;
    const int length = horizontal ? w : h;
    std::vector<PixelValue> line(static_cast<std::size_t>(length));
    for (int lane = 0; lane < (horizontal ? h : w); ++lane) {
        for (int i = 0; i < length; ++i) line[std::size_t(i)] = horizontal ? source.Row(lane)[i] : source.Row(i)[lane];
        for (int i = 0; i < length; ++i) {
            std::array<int, 4> sum{};
            for (int k = -r; k <= r; ++k) {
                const PixelValue p = line[std::size_t(std::clamp(i + k, 0, length - 1))];
                for (int c = 0; c < 4; ++c) sum[std::size_t(c)] += int((p >> (8 * c)) & 0xFF);
            }
            PixelValue value = 0;
            for (int c = 0; c < 4; ++c) value |= PixelValue((sum[std::size_t(c)] + n / 2) / n) << (8 * c);
            if (horizontal)
                out.Row(lane)[i] = value;
            else
                out.Row(i)[lane] = value;
        }
    }
}

PackedDib Blur(const PackedDib& source, int radius) {
    PackedDib across;
    PackedDib out;
    if (!across.SetSizeForOverwrite(source.Width(), source.Height()) ||
        !out.SetSizeForOverwrite(source.Width(), source.Height()))
        return {};
    BoxPass(source, across, radius, true);
    BoxPass(across, out, radius, false);
    return out;
}

// Each colour pushed away from its neighbourhood's mean: v + (v - blur(v)).
PackedDib Sharpen(const PackedDib& source) {
    PackedDib out = Blur(source, 1);
    if (!out.HasBlock()) return out;
    for (int y = 0; y < source.Height(); ++y) {
        const PixelValue* s = source.Row(y);
        PixelValue* o = out.Row(y);
        for (int x = 0; x < source.Width(); ++x) {
            auto sharp = [&](int shift) { return Clamp255(2 * int((s[x] >> shift) & 0xFF) - int((o[x] >> shift) & 0xFF)); };
            o[x] = MakePixel(sharp(16), sharp(8), sharp(0), TransparencyOf(s[x]));
        }
    }
    return out;
}

// A transparent picture of the given size.
std::optional<PackedDib> Clear(int width, int height) {
    PackedDib picture;
    if (!picture.CreateBlank(width, height)) return std::nullopt;
    return picture;
}

std::optional<EffectResult> DropShadow(const PackedDib& source, const EffectSettings& s) {
    const int w = source.Width();
    const int h = source.Height();
    const int left = std::min(0, s.offset.x - s.softness);
    const int top = std::min(0, s.offset.y - s.softness);
    const int right = std::max(w, w + s.offset.x + s.softness);
    const int bottom = std::max(h, h + s.offset.y + s.softness);
    std::optional<PackedDib> shadow = Clear(right - left, bottom - top);
    if (!shadow) return std::nullopt;
    // The shadow colour everywhere, as opaque as the picture where it falls.
    const PixelValue colour = s.color & 0x00FFFFFF;
    for (int y = 0; y < shadow->Height(); ++y) {
        PixelValue* row = shadow->Row(y);
        const int sy = y + top - s.offset.y;
        for (int x = 0; x < shadow->Width(); ++x) {
            const int sx = x + left - s.offset.x;
            const bool inside = sx >= 0 && sx < w && sy >= 0 && sy < h;
            row[x] = colour | (PixelValue(inside ? TransparencyOf(source.Row(sy)[sx]) : 255) << 24);
        }
    }
    EffectResult result{s.softness > 0 ? Blur(*shadow, s.softness) : std::move(*shadow), {left, top}};
    if (!result.picture.HasBlock()) return std::nullopt;
    source.BlendOnto(result.picture, -left, -top);
    return result;
}

// Dilates a mask (1 where the picture is mostly opaque) by width pixels in
// every direction, rows then columns.
std::vector<std::uint8_t> Dilate(std::vector<std::uint8_t> mask, int w, int h, int width) {
    std::vector<std::uint8_t> across(mask.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t any = 0;
            for (int k = std::max(0, x - width); k <= std::min(w - 1, x + width) && !any; ++k)
                any = mask[std::size_t(y) * std::size_t(w) + std::size_t(k)];
            across[std::size_t(y) * std::size_t(w) + std::size_t(x)] = any;
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t any = 0;
            for (int k = std::max(0, y - width); k <= std::min(h - 1, y + width) && !any; ++k)
                any = across[std::size_t(k) * std::size_t(w) + std::size_t(x)];
            mask[std::size_t(y) * std::size_t(w) + std::size_t(x)] = any;
        }
    return mask;
}

std::optional<EffectResult> Outline(const PackedDib& source, const EffectSettings& s) {
    const int grow = s.width;
    std::optional<PackedDib> out = Clear(source.Width() + 2 * grow, source.Height() + 2 * grow);
    if (!out) return std::nullopt;
    source.BlitTo(*out, grow, grow);
    const int w = out->Width();
    const int h = out->Height();
    std::vector<std::uint8_t> solid(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) solid[std::size_t(y) * std::size_t(w) + std::size_t(x)] = TransparencyOf(out->Row(y)[x]) < 128;
    const std::vector<std::uint8_t> near = Dilate(solid, w, h, grow);
    const PixelValue colour = s.color & 0x00FFFFFF;
    for (int y = 0; y < h; ++y) {
        PixelValue* row = out->Row(y);
        for (int x = 0; x < w; ++x) {
            const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
            if (near[i] && !solid[i]) row[x] = colour;
        }
    }
    return EffectResult{std::move(*out), {-grow, -grow}};
}

}  // namespace

std::string_view EffectTitle(EffectKind kind) { return kTitles[std::size_t(kind)]; }

EffectSettings LimitedSettings(EffectSettings s) {
    s.brightness = std::clamp(s.brightness, -kMaxEffectLevel, kMaxEffectLevel);
    s.contrast = std::clamp(s.contrast, -kMaxEffectLevel, kMaxEffectLevel);
    s.radius = std::clamp(s.radius, 1, kMaxBlurRadius);
    s.offset.x = std::clamp(s.offset.x, -kMaxShadowOffset, kMaxShadowOffset);
    s.offset.y = std::clamp(s.offset.y, -kMaxShadowOffset, kMaxShadowOffset);
    s.softness = std::clamp(s.softness, 0, kMaxShadowSoftness);
    s.width = std::clamp(s.width, 1, kMaxOutlineWidth);
    return s;
}

std::optional<EffectResult> ApplyEffect(const PackedDib& picture, const EffectSettings& settings) {
    if (!picture.HasBlock() || picture.Width() <= 0 || picture.Height() <= 0) return std::nullopt;
    const EffectSettings s = LimitedSettings(settings);
    EffectResult result;
    switch (s.kind) {
    case EffectKind::Grayscale: result.picture = Grayscale(picture); break;
    case EffectKind::Invert:
        result.picture = MapColors(picture, [](std::uint8_t v) { return std::uint8_t(255 - v); });
        break;
    case EffectKind::BrightnessContrast: {
        std::array<std::uint8_t, 256> table{};
        for (int v = 0; v < 256; ++v)
            table[std::size_t(v)] =
                Clamp255((v - 128) * (100 + s.contrast) / 100 + 128 + s.brightness * 255 / 100);
        result.picture = MapColors(picture, [&table](std::uint8_t v) { return table[v]; });
        break;
    }
    case EffectKind::Blur: result.picture = Blur(picture, s.radius); break;
    case EffectKind::Sharpen: result.picture = Sharpen(picture); break;
    case EffectKind::DropShadow: return DropShadow(picture, s);
    case EffectKind::Outline: return Outline(picture, s);
    }
    if (!result.picture.HasBlock()) return std::nullopt;
    return result;
}

}  // namespace vantrel
