#include "codec/ApngWriter.h"

#include <algorithm>
#include <optional>
#include <span>
#include <unordered_map>

#include "codec/PngChunks.h"
#include "core/Geometry.h"

namespace vantrel {

namespace {

// Compressing harder than the still-picture writer: an animation is written
// once and its size is what it is chosen for.
constexpr int kApngZlibLevel = 9;
constexpr std::uint8_t kDisposeNone = 0;
constexpr std::uint8_t kBlendSource = 0;
constexpr std::uint8_t kBlendOver = 1;
constexpr PixelValue kClearPixel = 0xFF000000;  // fully transparent black
constexpr std::uint8_t kColorTypeIndexed = 3;
constexpr std::uint8_t kFilterNone = 0;
constexpr std::size_t kMaxPaletteSize = 256;

// The colours of an animation of at most 256 of them (transparency
// included), the non-opaque ones first so that tRNS stays short, with a
// fully transparent entry to leave pixels unchanged when one is free.
struct Palette {
    std::vector<PixelValue> colors;
    std::unordered_map<PixelValue, std::uint8_t> indexOf;
    std::optional<std::uint8_t> clear;
};

std::optional<Palette> CollectPalette(const AnimationFrames& animation) {
    std::unordered_map<PixelValue, std::uint8_t> seen;
    for (const AnimationFrame& frame : animation.frames) {
        const PackedDib& image = *frame.image;
        for (int y = 0; y < image.Height(); ++y) {
            const PixelValue* row = image.Row(y);
            PixelValue last = row[0];
            seen.emplace(last, 0);
            for (int x = 1; x < image.Width(); ++x) {
                if (row[x] == last) continue;
                last = row[x];
                seen.emplace(last, 0);
                if (seen.size() > kMaxPaletteSize) return std::nullopt;
            }
        }
    }
    if (seen.size() > kMaxPaletteSize) return std::nullopt;
    Palette palette;
    for (const auto& [color, unused] : seen) palette.colors.push_back(color);
    const bool hasClear = std::any_of(palette.colors.begin(), palette.colors.end(),
                                      [](PixelValue c) { return TransparencyOf(c) == 255; });
    if (!hasClear && palette.colors.size() < kMaxPaletteSize) palette.colors.push_back(kClearPixel);
    // Non-opaque first, then by value: the same palette whatever order the map kept.
    std::sort(palette.colors.begin(), palette.colors.end(), [](PixelValue a, PixelValue b) {
        return IsOpaque(a) != IsOpaque(b) ? !IsOpaque(a) : a < b;
    });
    for (std::size_t i = 0; i < palette.colors.size(); ++i) {
        const PixelValue color = palette.colors[i];
        palette.indexOf[color] = static_cast<std::uint8_t>(i);
        if (!palette.clear && TransparencyOf(color) == 255) palette.clear = static_cast<std::uint8_t>(i);
    }
    return palette;
}

void PutPalette(std::vector<std::uint8_t>& out, const Palette& palette) {
    const std::size_t colors = png::OpenChunk(out);
    for (PixelValue c : palette.colors) out.insert(out.end(), {RedOf(c), GreenOf(c), BlueOf(c)});
    png::CloseChunk(out, colors, "PLTE");
    const auto opaque = std::find_if(palette.colors.begin(), palette.colors.end(), [](PixelValue c) { return IsOpaque(c); });
    if (opaque == palette.colors.begin()) return;
    const std::size_t alphas = png::OpenChunk(out);
    for (auto it = palette.colors.begin(); it != opaque; ++it) out.push_back(static_cast<std::uint8_t>(255 - TransparencyOf(*it)));
    png::CloseChunk(out, alphas, "tRNS");
}

// How the pixels are stored: indices into a palette, or samples.
enum class Layout { Rgb, Rgba, Indexed };

// The smallest rectangle holding every pixel that differs between the two
// pictures; empty when they are the same.
Rect ChangedRect(const PackedDib& before, const PackedDib& after) {
    int left = after.Width(), top = after.Height(), right = 0, bottom = 0;
    for (int y = 0; y < after.Height(); ++y) {
        const PixelValue* a = before.Row(y);
        const PixelValue* b = after.Row(y);
        int first = 0;
        while (first < after.Width() && a[first] == b[first]) ++first;
        if (first == after.Width()) continue;
        int last = after.Width() - 1;
        while (a[last] == b[last]) --last;
        left = std::min(left, first);
        right = std::max(right, last + 1);
        top = std::min(top, y);
        bottom = y + 1;
    }
    if (right <= left) return {};
    return {left, top, right, bottom};
}

// Whether every pixel of after that differs from before inside area is opaque.
bool ChangesOpaque(const PackedDib* before, const PackedDib& after, const Rect& area) {
    for (int y = area.top; y < area.bottom; ++y) {
        const PixelValue* b = after.Row(y);
        const PixelValue* a = before != nullptr ? before->Row(y) : nullptr;
        for (int x = area.left; x < area.right; ++x)
            if (!IsOpaque(b[x]) && (a == nullptr || a[x] != b[x])) return false;
    }
    return true;
}

// What one frame stores: its rectangle and how it is drawn.
struct FramePlan {
    Rect area;
    std::uint8_t blend = kBlendSource;
};

FramePlan PlanFrame(const PackedDib* before, const PackedDib& after, bool canLeavePixels) {
    if (before == nullptr) return {{0, 0, after.Width(), after.Height()}, kBlendSource};
    Rect area = ChangedRect(*before, after);
    // A frame the same as the one before still needs a rectangle: one pixel, unchanged.
    if (area.IsEmpty()) return {{0, 0, 1, 1}, kBlendSource};
    const bool over = canLeavePixels && ChangesOpaque(before, after, area);
    return {area, over ? kBlendOver : kBlendSource};
}

// The filtered rows of the frame's rectangle; with blending OVER the pixels
// the frame before already shows become fully transparent. Palette indices
// are not filtered: differences between indices mean nothing.
void FilterArea(const PackedDib* before, const PackedDib& after, const FramePlan& plan, Layout layout,
                const Palette* palette, std::vector<PixelValue>& row, std::vector<std::uint8_t>& filtered) {
    const int width = plan.area.Width();
    const std::size_t bytesPerPixel = layout == Layout::Indexed ? 1 : layout == Layout::Rgba ? 4 : 3;
    const std::size_t stride = std::size_t(width) * bytesPerPixel + 1;
    filtered.resize(stride * std::size_t(plan.area.Height()));
    row.resize(std::size_t(width));
    for (int y = plan.area.top; y < plan.area.bottom; ++y) {
        const PixelValue* pixels = after.Row(y) + plan.area.left;
        const PixelValue* old = plan.blend == kBlendOver ? before->Row(y) + plan.area.left : nullptr;
        std::uint8_t* out = filtered.data() + std::size_t(y - plan.area.top) * stride;
        if (layout == Layout::Indexed) {
            *out++ = kFilterNone;
            for (int x = 0; x < width; ++x)
                out[x] = old != nullptr && pixels[x] == old[x] ? *palette->clear : palette->indexOf.at(pixels[x]);
            continue;
        }
        if (old != nullptr) {
            for (int x = 0; x < width; ++x) row[std::size_t(x)] = pixels[x] == old[x] ? kClearPixel : pixels[x];
            pixels = row.data();
        }
        if (layout == Layout::Rgba)
            png::FilterRowRgba(pixels, width, false, out);
        else
            png::FilterRowRgb(pixels, width, out);
    }
}

// The delay as a fraction of a second that holds it exactly: milliseconds
// when they fit 16 bits, else hundredths (the durations of the program are
// whole hundredths), else the nearest hundredth.
void PutDelay(std::vector<std::uint8_t>& out, std::uint32_t milliseconds) {
    if (milliseconds <= 0xFFFF) {
        png::PutBigEndian16(out, static_cast<std::uint16_t>(milliseconds));
        png::PutBigEndian16(out, 1000);
    } else {
        png::PutBigEndian16(out, static_cast<std::uint16_t>(std::min<std::uint32_t>((milliseconds + 5) / 10, 0xFFFF)));
        png::PutBigEndian16(out, 100);
    }
}

void PutFrameControl(std::vector<std::uint8_t>& out, std::uint32_t& sequence, const FramePlan& plan,
                     std::uint32_t milliseconds) {
    const std::size_t chunk = png::OpenChunk(out);
    png::PutBigEndian(out, sequence++);
    png::PutBigEndian(out, static_cast<std::uint32_t>(plan.area.Width()));
    png::PutBigEndian(out, static_cast<std::uint32_t>(plan.area.Height()));
    png::PutBigEndian(out, static_cast<std::uint32_t>(plan.area.left));
    png::PutBigEndian(out, static_cast<std::uint32_t>(plan.area.top));
    PutDelay(out, milliseconds);
    out.insert(out.end(), {kDisposeNone, plan.blend});
    png::CloseChunk(out, chunk, "fcTL");
}

// The zlib stream of a frame as IDAT chunks (the first frame) or fdAT chunks,
// each at most kMaxApngDataChunk bytes of image data.
void PutImageData(std::vector<std::uint8_t>& out, std::uint32_t& sequence, std::span<const std::uint8_t> stream,
                  bool defaultImage) {
    do {
        const std::span<const std::uint8_t> piece = stream.first(std::min(stream.size(), kMaxApngDataChunk));
        const std::size_t chunk = png::OpenChunk(out);
        if (!defaultImage) png::PutBigEndian(out, sequence++);
        out.insert(out.end(), piece.begin(), piece.end());
        png::CloseChunk(out, chunk, defaultImage ? "IDAT" : "fdAT");
        stream = stream.subspan(piece.size());
    } while (!stream.empty());
}

}  // namespace

Status EncodeApng(const AnimationFrames& animation, std::vector<std::uint8_t>& out, ProgressSteps* steps) {
    out.clear();
    if (Status checked = CheckAnimationFrames(animation); !checked) return checked;
    const std::optional<Palette> palette = CollectPalette(animation);
    const bool opaque = std::all_of(animation.frames.begin(), animation.frames.end(),
                                    [](const AnimationFrame& frame) { return frame.image->IsOpaque(); });
    const Layout layout = palette ? Layout::Indexed : opaque ? Layout::Rgb : Layout::Rgba;
    const bool canLeavePixels = palette ? palette->clear.has_value() : layout == Layout::Rgba;

    out.insert(out.end(), png::kSignature.begin(), png::kSignature.end());
    const std::size_t header = png::OpenChunk(out);
    png::PutHeader(out, animation.width, animation.height,
                   layout == Layout::Indexed ? kColorTypeIndexed
                   : layout == Layout::Rgba  ? png::kColorTypeRgba
                                             : png::kColorTypeRgb);
    png::CloseChunk(out, header, "IHDR");
    const std::size_t control = png::OpenChunk(out);
    png::PutBigEndian(out, static_cast<std::uint32_t>(animation.frames.size()));
    png::PutBigEndian(out, animation.plays);
    png::CloseChunk(out, control, "acTL");
    if (palette) PutPalette(out, *palette);

    std::uint32_t sequence = 0;
    std::vector<PixelValue> row;
    std::vector<std::uint8_t> filtered;
    std::vector<std::uint8_t> stream;
    const PackedDib* before = nullptr;
    for (const AnimationFrame& frame : animation.frames) {
        const FramePlan plan = PlanFrame(before, *frame.image, canLeavePixels);
        FilterArea(before, *frame.image, plan, layout, palette ? &*palette : nullptr, row, filtered);
        stream.clear();
        if (!png::AppendZlib(filtered, kApngZlibLevel, stream)) {
            out.clear();
            return Status::Error("The animated PNG file could not be compressed.");
        }
        PutFrameControl(out, sequence, plan, frame.milliseconds);
        PutImageData(out, sequence, stream, before == nullptr);
        before = frame.image;
        if (steps != nullptr && !steps->Step()) {
            out.clear();
            return Status::Error(std::string(kStoppedByUser));
        }
    }
    png::CloseChunk(out, png::OpenChunk(out), "IEND");
    return Status::Ok();
}

}  // namespace vantrel
