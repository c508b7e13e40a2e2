#include "document/CanvasItem.h"

#include <algorithm>
#include <atomic>
#include <utility>

#include "core/PixelLoop.h"

namespace vantrel {

ObjectUid NewObjectUid() {
    static std::atomic<ObjectUid> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

Rect ZoomRect(const Rect& r, ZoomFactor zoom) {
    return {zoom.Scale(r.left), zoom.Scale(r.top), zoom.Scale(r.right), zoom.Scale(r.bottom)};
}

Rect HandleRectFor(const Rect& bounds, int n, ZoomFactor zoom) {
    const Rect z = ZoomRect(bounds, zoom);
    const int midX0 = (z.left + z.right - 7) / 2;
    const int midX1 = (z.left + z.right + 7) / 2;
    const int midY0 = (z.top + z.bottom - 7) / 2;
    const int midY1 = (z.top + z.bottom + 7) / 2;
    switch (n) {
    case kHandleTopLeft: return {z.left - 8, z.top - 8, z.left - 1, z.top - 1};
    case kHandleTop: return {midX0, z.top - 8, midX1, z.top - 1};
    case kHandleTopRight: return {z.right + 1, z.top - 8, z.right + 8, z.top - 1};
    case kHandleRight: return {z.right + 1, midY0, z.right + 8, midY1};
    case kHandleBottomRight: return {z.right + 1, z.bottom + 1, z.right + 8, z.bottom + 8};
    case kHandleBottom: return {midX0, z.bottom + 1, midX1, z.bottom + 8};
    case kHandleBottomLeft: return {z.left - 8, z.bottom + 1, z.left - 1, z.bottom + 8};
    case kHandleLeft: return {z.left - 8, midY0, z.left - 1, midY1};
    default: return {};
    }
}

CanvasItem::CanvasItem() : CanvasItem(ItemKind::Base) {}

CanvasItem::CanvasItem(ItemKind itemKind) : kind(itemKind), uid_(NewObjectUid()) {}

CanvasItem::CanvasItem(const CanvasItem& other)
    : hasUndoState(other.hasUndoState),
      undoPosition(other.undoPosition),
      undoBounds(other.undoBounds),
      blendWithBeneath(other.blendWithBeneath),
      position(other.position),
      kind(other.kind),
      bounds(other.bounds),
      selected(other.selected),
      uid_(other.uid_) {
    // The buffers share their blocks until either side is written, so a
    // memento costs no pixels until the item it stands for changes.
    image.ShareFrom(other.image);
    composite.ShareFrom(other.composite);
}

std::unique_ptr<CanvasItem> CanvasItem::Clone() const { return std::unique_ptr<CanvasItem>(new CanvasItem(*this)); }

// The list destroys items from the top down, so an item never holds a chain above it here.
CanvasItem::~CanvasItem() = default;

void CanvasItem::DropUndoState() { hasUndoState = false; }

bool CanvasItem::HasUndoState() const { return hasUndoState; }

void CanvasItem::SaveUndoState() {
    hasUndoState = true;
    undoBounds = bounds;
    undoPosition = position;
}

void CanvasItem::RestoreUndoState() {
    if (!hasUndoState) return;
    hasUndoState = false;
    if (undoBounds.Width() != bounds.Width() || undoBounds.Height() != bounds.Height())
        SetSize(undoBounds.Width(), undoBounds.Height());
    bounds = undoBounds;
    position = undoPosition;
}

void CanvasItem::MoveTo(int x, int y) {
    bounds = Rect{x, y, x + bounds.Width(), y + bounds.Height()};
    position = {x, y};
}

void CanvasItem::CropTo(const Rect& r, PixelValue /*fill*/) { bounds = r; }

void CanvasItem::SetBounds(const Rect& r) { bounds = r; }

bool CanvasItem::HitTest(const PointerState& hit) const { return bounds.Contains({hit.frameX, hit.frameY}); }

int CanvasItem::HitHandle(const PointerState& hit) const {
    for (int n = kHandleTopLeft; n <= kHandleLeft; ++n) {
        if (HandleRect(n, hit.zoom).Contains({hit.deviceX, hit.deviceY})) return n;
    }
    return kNoHandle;
}

bool CanvasItem::LoadRecord(std::span<const std::uint8_t> /*record*/) { return true; }

std::optional<ItemRecord> CanvasItem::SaveRecord() const { return std::nullopt; }

void CanvasItem::ComposeInto(PackedDib& buffer, Point origin) const {
    composite.BlitTo(buffer, bounds.left - origin.x, bounds.top - origin.y);
}

void CanvasItem::MoveCentreTo(Point p) {
    MoveTo(p.x - (bounds.left + bounds.right) / 2, p.y - (bounds.top + bounds.bottom) / 2);
}

void CanvasItem::MoveBy(int dx, int dy) { MoveTo(position.x + dx, position.y + dy); }

void CanvasItem::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    bounds.right = bounds.left + width;
    bounds.bottom = bounds.top + height;
    image.SetSize(width, height);
    composite.SetSize(width, height);
}

namespace {

// One step of BlendImage: image pixel s over composite pixel d.
VANTREL_PIXEL_LOOP inline PixelValue BlendItemPixel(PixelValue s, PixelValue d) {
    const std::uint32_t t = s >> 24;
    if (t == 0) return s;
    if (t == 255) return d & 0x00FFFFFF;
    const std::uint32_t ws = 255 - t;
    const std::uint32_t red = (RedOf(s) * ws + RedOf(d) * t) / 255;
    const std::uint32_t green = (GreenOf(s) * ws + GreenOf(d) * t) / 255;
    const std::uint32_t blue = (BlueOf(s) * ws + BlueOf(d) * t) / 255;
    return (red << 16) | (green << 8) | blue;
}

// What the composite holds before an item that does not blend with what
// lies beneath it is blended over it: every byte 0xFF.
constexpr PixelValue kCompositeWhite = 0xFFFFFFFF;

}  // namespace

bool CanvasItem::ShareOpaqueImage() {
    if (!composite.HasBlock() || image.Width() != composite.Width() || image.Height() != composite.Height() ||
        !image.IsOpaque())
        return false;
    composite.ShareFrom(image.Full());  // held in full: an opaque image is never kept as runs
    return true;
}

namespace {

// BlendItemPixel of each of pixels over dst, or over white.
template <bool OverWhite>
VANTREL_PIXEL_LOOP inline void BlendSpan(const PixelValue* pixels, PixelValue* dst, int count) {
    for (int i = 0; i < count; ++i) dst[i] = BlendItemPixel(pixels[i], OverWhite ? kCompositeWhite : dst[i]);
}

// BlendItemPixel of one fully transparent value over count pixels of dst:
// what lies beneath shows, without its transparency; over white, white.
template <bool OverWhite>
VANTREL_PIXEL_LOOP inline void BlendClearSpan(PixelValue* dst, int count) {
    if (OverWhite) {
        std::fill(dst, dst + count, kCompositeWhite & 0x00FFFFFF);
    } else {
        for (int i = 0; i < count; ++i) dst[i] &= 0x00FFFFFF;
    }
}

// Blends the image's pixels inside r over the composite's, or over white.
// An image held as runs is blended stretch by stretch: its fill (always
// fully transparent) only lets what lies beneath show.
template <bool OverWhite>
VANTREL_PIXEL_LOOP void BlendRows(const CompactImage& image, PackedDib& composite, const Rect& r) {
    if (const SparseImage* sparse = image.Sparse()) {
        for (int y = r.top; y < r.bottom; ++y) {
            PixelValue* dst = composite.Row(y);
            sparse->VisitRow(
                y, r.left, r.right, [&](int from, int to) { BlendClearSpan<OverWhite>(dst + from, to - from); },
                [&](int from, int to, const PixelValue* pixels) {
                    BlendSpan<OverWhite>(pixels, dst + from, to - from);
                });
        }
        return;
    }
    const PackedDib& full = image.Full();  // held in full: nothing to make
    for (int y = r.top; y < r.bottom; ++y) BlendSpan<OverWhite>(full.Row(y) + r.left, composite.Row(y) + r.left, r.Width());
}

}  // namespace

bool CanvasItem::BuffersMatch() const {
    return image.HasBlock() && composite.HasBlock() && image.Width() == composite.Width() &&
           image.Height() == composite.Height();
}

void CanvasItem::BlendImage() { BlendImageIn(image.Bounds(), false); }

void CanvasItem::BlendImageOverWhite() {
    if (!BuffersMatch()) {
        composite.FillBytes(0xFF);
        return;
    }
    BlendImageIn(image.Bounds(), true);
}

void CanvasItem::BlendImageIn(const Rect& area, bool overWhite) {
    const Rect r = Intersect(area, image.Bounds());
    if (!BuffersMatch() || r.IsEmpty()) return;
    if (overWhite) {
        BlendRows<true>(image, composite, r);
    } else {
        BlendRows<false>(image, composite, r);
    }
}

PixelValue CanvasItem::PixelAt(Point p) const { return image.GetPixel(p.x - bounds.left, p.y - bounds.top); }

}  // namespace vantrel
