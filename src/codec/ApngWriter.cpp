#include "codec/ApngWriter.h"

#include <algorithm>
#include <span>

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

FramePlan PlanFrame(const PackedDib* before, const PackedDib& after, bool rgba) {
    if (before == nullptr) return {{0, 0, after.Width(), after.Height()}, kBlendSource};
    Rect area = ChangedRect(*before, after);
    // A frame the same as the one before still needs a rectangle: one pixel, unchanged.
    if (area.IsEmpty()) return {{0, 0, 1, 1}, kBlendSource};
    const bool over = rgba && ChangesOpaque(before, after, area);
    return {area, over ? kBlendOver : kBlendSource};
}

// The filtered rows of the frame's rectangle; with blending OVER the pixels
// the frame before already shows become fully transparent.
void FilterArea(const PackedDib* before, const PackedDib& after, const FramePlan& plan, bool rgba,
                std::vector<PixelValue>& row, std::vector<std::uint8_t>& filtered) {
    const int width = plan.area.Width();
    const std::size_t stride = std::size_t(width) * (rgba ? 4 : 3) + 1;
    filtered.resize(stride * std::size_t(plan.area.Height()));
    row.resize(std::size_t(width));
    for (int y = plan.area.top; y < plan.area.bottom; ++y) {
        const PixelValue* pixels = after.Row(y) + plan.area.left;
        if (plan.blend == kBlendOver) {
            const PixelValue* old = before->Row(y) + plan.area.left;
            for (int x = 0; x < width; ++x) row[std::size_t(x)] = pixels[x] == old[x] ? kClearPixel : pixels[x];
            pixels = row.data();
        }
        std::uint8_t* out = filtered.data() + std::size_t(y - plan.area.top) * stride;
        if (rgba)
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

Status EncodeApng(const AnimationFrames& animation, std::vector<std::uint8_t>& out) {
    out.clear();
    if (Status checked = CheckAnimationFrames(animation); !checked) return checked;
    const bool rgba = std::any_of(animation.frames.begin(), animation.frames.end(),
                                  [](const AnimationFrame& frame) { return !frame.image->IsOpaque(); });

    out.insert(out.end(), png::kSignature.begin(), png::kSignature.end());
    const std::size_t header = png::OpenChunk(out);
    png::PutHeader(out, animation.width, animation.height, rgba ? png::kColorTypeRgba : png::kColorTypeRgb);
    png::CloseChunk(out, header, "IHDR");
    const std::size_t control = png::OpenChunk(out);
    png::PutBigEndian(out, static_cast<std::uint32_t>(animation.frames.size()));
    png::PutBigEndian(out, animation.plays);
    png::CloseChunk(out, control, "acTL");

    std::uint32_t sequence = 0;
    std::vector<PixelValue> row;
    std::vector<std::uint8_t> filtered;
    std::vector<std::uint8_t> stream;
    const PackedDib* before = nullptr;
    for (const AnimationFrame& frame : animation.frames) {
        const FramePlan plan = PlanFrame(before, *frame.image, rgba);
        FilterArea(before, *frame.image, plan, rgba, row, filtered);
        stream.clear();
        if (!png::AppendZlib(filtered, kApngZlibLevel, stream)) {
            out.clear();
            return Status::Error("The animated PNG file could not be compressed.");
        }
        PutFrameControl(out, sequence, plan, frame.milliseconds);
        PutImageData(out, sequence, stream, before == nullptr);
        before = frame.image;
    }
    png::CloseChunk(out, png::OpenChunk(out), "IEND");
    return Status::Ok();
}

}  // namespace vantrel
