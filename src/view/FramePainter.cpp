#include "view/FramePainter.h"

#include <algorithm>
#include <cstdlib>

#include "document/AnimFrame.h"
#include "document/CanvasItem.h"
#include "document/ItemList.h"
#include "document/LabelItem.h"
#include "document/WorkArea.h"

namespace vantrel {

namespace {

constexpr PixelValue kHandlePen = kOpaqueBlack;
constexpr PixelValue kHandleBrush = kOpaqueWhite;

// A label's three handles carry glyphs telling what they change.
void DrawLabelHandles(const LabelItem& label, PaintTarget& target, ZoomFactor zoom) {
    for (const int n : kLabelHandles) {
        const LabelHandleGlyph glyph = label.HandleGlyph(n, zoom);
        target.DrawBox(glyph.box, kHandlePen, kHandleBrush);
        if (!glyph.innerBox.IsEmpty()) target.DrawBox(glyph.innerBox, kHandlePen, kHandleBrush);
        for (const LineSegment& stroke : glyph.strokes) target.DrawLine(stroke.from, stroke.to, kHandlePen);
    }
}

}  // namespace

void DrawItemHandles(const CanvasItem& item, PaintTarget& target, ZoomFactor zoom) {
    if (item.Kind() == ItemKind::Label) {
        DrawLabelHandles(static_cast<const LabelItem&>(item), target, zoom);
        return;
    }
    for (int n = kHandleTopLeft; n <= kHandleLeft; ++n)
        target.DrawBox(item.HandleRect(n, zoom), kHandlePen, kHandleBrush);
}

void PaintItems(const ItemList& list, PaintTarget& target, ZoomFactor zoom) {
    for (const CanvasItem* item : list.TopToBottom()) {
        const Rect bounds = item->ZoomedBounds(zoom);
        target.DrawImage(item->Composite(), bounds);
        target.ExcludeRect(bounds);
    }
}

void PaintHandles(const ItemList& list, PaintTarget& target, ZoomFactor zoom) {
    for (const CanvasItem* item : list.BottomToTop())
        if (item->IsSelected()) DrawItemHandles(*item, target, zoom);
}

void PaintInView(const AnimFrame& frame, PaintTarget& target, const ViewMapping& mapping,
                 std::span<const FaintPicture> faint, HandleDrawing handles) {
    const ZoomFactor zoom = mapping.zoom;
    const Rect canvas = ZoomRect(frame.Canvas(), zoom);
    target.SaveClip();

    PaintItems(frame, target, zoom);

    if (const PackedDib* background = frame.BackgroundImage())
        target.DrawImage(*background, canvas);
    else
        target.FillRect(canvas, frame.backgroundColor);

    const Rect border = canvas.Inflate(1, 1);
    target.DrawBox(border, kOpaqueBlack, std::nullopt);
    target.ExcludeRect(border);

    const Rect shadowBelow{border.left + kCanvasShadowWidth, border.bottom, border.right + kCanvasShadowWidth,
                           border.bottom + kCanvasShadowWidth};
    const Rect shadowRight{border.right, border.top + kCanvasShadowWidth, border.right + kCanvasShadowWidth,
                           border.bottom + kCanvasShadowWidth};
    target.FillRect(shadowBelow, kCanvasShadowColor);
    target.ExcludeRect(shadowBelow);
    target.FillRect(shadowRight, kCanvasShadowColor);
    target.ExcludeRect(shadowRight);

    target.FillRect(ZoomRect(kWorkAreaRect, zoom), kOpaqueWhite);

    target.RestoreClip();
    for (const FaintPicture& picture : faint)
        if (picture.image != nullptr && picture.opacity > 0) target.BlendImage(*picture.image, canvas, picture.opacity);
    if (handles == HandleDrawing::Shown) PaintHandles(frame, target, zoom);
}

// ---- RasterPaintTarget ----

RasterPaintTarget::RasterPaintTarget(const Rect& area)
    : area_(area.IsEmpty() ? Rect{area.left, area.top, area.left, area.top} : area),
      pixels_(static_cast<std::size_t>(area_.Width()) * static_cast<std::size_t>(area_.Height()),
              ScreenPixel(kOpaqueWhite)),
      excluded_(pixels_.size(), 0) {}

PixelValue RasterPaintTarget::PixelAtDevice(int x, int y) const {
    if (!area_.Contains({x, y})) return kOpaqueWhite;
    return pixels_[Index(x, y)] & 0x00FFFFFFu;
}

void RasterPaintTarget::SaveClip() { savedClips_.push_back(excluded_); }

void RasterPaintTarget::RestoreClip() {
    if (savedClips_.empty()) return;
    excluded_ = std::move(savedClips_.back());
    savedClips_.pop_back();
}

void RasterPaintTarget::ExcludeRect(const Rect& r) {
    const Rect clip = Intersect(Normalized(r), area_);
    for (int y = clip.top; y < clip.bottom; ++y) {
        std::uint8_t* row = excluded_.data() + Index(clip.left, y);
        std::fill(row, row + clip.Width(), std::uint8_t{1});
    }
}

void RasterPaintTarget::FillRect(const Rect& r, PixelValue color) {
    const Rect clip = Intersect(Normalized(r), area_);
    const std::uint32_t value = ScreenPixel(color);
    for (int y = clip.top; y < clip.bottom; ++y) {
        const std::size_t start = Index(clip.left, y);
        std::uint32_t* out = pixels_.data() + start;
        const std::uint8_t* mask = excluded_.data() + start;
        for (int i = 0; i < clip.Width(); ++i)
            if (!mask[i]) out[i] = value;
    }
}

template <typename Write>
void RasterPaintTarget::StretchImage(const PackedDib& image, const Rect& dest, Write write) {
    if (!image.HasBlock() || image.Width() <= 0 || image.Height() <= 0 || dest.IsEmpty()) return;
    const Rect clip = Intersect(dest, area_);
    if (clip.IsEmpty()) return;
    // Nearest source pixel of every destination column and row, chosen once.
    const std::int64_t destW = dest.Width();
    const std::int64_t destH = dest.Height();
    std::vector<int> sourceColumn(static_cast<std::size_t>(clip.Width()));
    for (int x = clip.left; x < clip.right; ++x)
        sourceColumn[static_cast<std::size_t>(x - clip.left)] =
            static_cast<int>((x - dest.left) * static_cast<std::int64_t>(image.Width()) / destW);
    for (int y = clip.top; y < clip.bottom; ++y) {
        const int sourceY = static_cast<int>((y - dest.top) * static_cast<std::int64_t>(image.Height()) / destH);
        const PixelValue* in = image.Row(sourceY);
        const std::size_t start = Index(clip.left, y);
        std::uint32_t* out = pixels_.data() + start;
        const std::uint8_t* mask = excluded_.data() + start;
        for (std::size_t i = 0; i < sourceColumn.size(); ++i)
            if (!mask[i]) write(out[i], in[sourceColumn[i]]);
    }
}

void RasterPaintTarget::DrawImage(const PackedDib& image, const Rect& dest) {
    StretchImage(image, dest, [](std::uint32_t& out, PixelValue source) { out = ScreenPixel(source); });
}

void RasterPaintTarget::BlendImage(const PackedDib& image, const Rect& dest, int opacity) {
    opacity = std::clamp(opacity, 0, 256);
    StretchImage(image, dest, [opacity](std::uint32_t& out, PixelValue source) {
        out = ScreenPixel(MixColor(out, source, opacity));
    });
}

void RasterPaintTarget::DrawBox(const Rect& r, PixelValue pen, std::optional<PixelValue> brush) {
    const Rect box = Normalized(r);
    if (box.IsEmpty()) return;
    if (brush) FillRect(box.Inflate(-1, -1), *brush);
    FillRect({box.left, box.top, box.right, box.top + 1}, pen);
    FillRect({box.left, box.bottom - 1, box.right, box.bottom}, pen);
    FillRect({box.left, box.top, box.left + 1, box.bottom}, pen);
    FillRect({box.right - 1, box.top, box.right, box.bottom}, pen);
}

void RasterPaintTarget::DrawLine(Point a, Point b, PixelValue color) {
    const std::uint32_t value = ScreenPixel(color);
    const int dx = std::abs(b.x - a.x);
    const int dy = -std::abs(b.y - a.y);
    const int stepX = a.x < b.x ? 1 : -1;
    const int stepY = a.y < b.y ? 1 : -1;
    int error = dx + dy;
    Point p = a;
    while (!(p == b)) {
        Plot(p.x, p.y, value);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            p.x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            p.y += stepY;
        }
    }
}

void RasterPaintTarget::Plot(int x, int y, std::uint32_t value) {
    if (!area_.Contains({x, y})) return;
    const std::size_t i = Index(x, y);
    if (!excluded_[i]) pixels_[i] = value;
}

}  // namespace vantrel
