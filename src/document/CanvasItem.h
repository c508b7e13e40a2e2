#pragma once
// CanvasItem: the common base of everything placed on a frame (bitmaps,
// labels, boxes, ellipses). An item owns its own pixels (`image`, with a
// transparency byte per pixel) and its `composite` (the image already blended
// over whatever lies beneath it), so that frames render and repaint by plain
// copies. It also carries the bounds, the selection flag, a one-step undo
// state, the eight resize handles and the item record it is stored as.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "core/CompactImage.h"
#include "core/Geometry.h"
#include "core/PackedDib.h"
#include "core/Pixel.h"
#include "document/ViewTypes.h"

namespace vantrel {

class ItemList;

// The kind of an item; the editor tests it to decide which tools and commands apply.
enum class ItemKind : std::uint16_t {
    None = 0,  // "no kind", as returned for mixed or empty selections
    Base = 1,
    Bitmap = 2,
    Label = 3,
    Box = 4,
    Ellipse = 5,
};

// The four-character tags that start item records, and the size of the
// common record header (tag, header size, bounds) every kind begins with.
using RecordTag = std::array<char, 4>;
inline constexpr RecordTag kBitmapRecordTag{'D', 'I', 'B', 'M'};
inline constexpr RecordTag kBoxRecordTag{'R', 'E', 'C', 'T'};
inline constexpr RecordTag kEllipseRecordTag{'E', 'L', 'P', 'S'};
inline constexpr RecordTag kLabelRecordTag{'L', 'A', 'B', 'L'};
inline constexpr std::size_t kRecordCommonHeaderSize = 24;

// An item record: the bytes an item is stored as in documents and item packs.
using ItemRecord = std::vector<std::uint8_t>;

// Process-wide identity of items and frames, stable for their whole life and
// never reused, so that commands can refer to them without holding pointers.
using ObjectUid = std::uint64_t;

// The 7 x 7 rectangle of handle n (1 to 8) of an item with these bounds at
// this zoom, in device pixels; an empty rectangle for other n.
Rect HandleRectFor(const Rect& bounds, int n, ZoomFactor zoom);
// Bounds multiplied by the zoom.
Rect ZoomRect(const Rect& r, ZoomFactor zoom);

class CanvasItem {
public:
    CanvasItem();
    virtual ~CanvasItem();
    CanvasItem& operator=(const CanvasItem&) = delete;

    // A deep copy with the same state and the same identity (Uid), unlinked:
    // a memento of the item that a command can put back in its place.
    virtual std::unique_ptr<CanvasItem> Clone() const;

    // ---- operations each kind may override ----
    // Forgets the undo state.
    virtual void DropUndoState();
    // Whether an undo state exists.
    virtual bool HasUndoState() const;
    // Records bounds and position (kinds add what they need).
    virtual void SaveUndoState();
    // Goes back to the recorded state and forgets it.
    virtual void RestoreUndoState();
    // Moves the bounds so that their top-left corner is (x, y); position := (x, y).
    virtual void MoveTo(int x, int y);
    // bounds := r; kinds with pixels crop or extend them, filling with fill.
    virtual void CropTo(const Rect& r, PixelValue fill);
    // bounds := r; kinds scale, re-lay out or re-rasterise.
    virtual void SetBounds(const Rect& r);
    // Whether the pointer's work-area point lies inside the bounds.
    virtual bool HitTest(const PointerState& hit) const;
    // The first handle 1..8 whose rectangle contains the pointer's device point; 0 for none.
    virtual int HitHandle(const PointerState& hit) const;
    // Reads the item's record. Returns false, leaving the item unusable,
    // when the record is shorter than its header and data need or is not this
    // kind's record; the base reads nothing and accepts any record.
    virtual bool LoadRecord(std::span<const std::uint8_t> record);
    // The item's record, or none when it has none (the base) or memory runs out.
    virtual std::optional<ItemRecord> SaveRecord() const;
    // Copies the composite into buffer at (bounds.left - origin.x,
    // bounds.top - origin.y), clipped to the buffer.
    virtual void ComposeInto(PackedDib& buffer, Point origin) const;
    // MoveTo (p.x - (left + right) / 2, p.y - (top + bottom) / 2): centres a
    // new item whose bounds start at (0, 0) on p.
    virtual void MoveCentreTo(Point p);
    // MoveTo (position.x + dx, position.y + dy).
    virtual void MoveBy(int dx, int dy);

    // ---- non-virtual operations ----
    // right := left + w, bottom := top + h; both buffers resized to w x h
    // (new contents zero; the same size keeps them).
    void SetSize(int width, int height);
    // An image without a transparent pixel is its own composite whatever
    // lies beneath: the composite then shares the image's pixels. Returns
    // whether it does.
    bool ShareOpaqueImage();
    // Blends image over composite: per channel (s * (255 - t) + d * t) / 255,
    // transparency 0. Runs over the full bounds.
    void BlendImage();
    // The composite filled with 0xFF bytes and the image blended over it, in
    // one pass over the pixels.
    void BlendImageOverWhite();
    // BlendImage or BlendImageOverWhite for the pixels inside area only
    // (item pixels, clipped to the buffers), after a write into that part of
    // the image.
    void BlendImageIn(const Rect& area, bool overWhite);
    // The image pixel at a work-area point; 0x00FFFFFF outside the image.
    PixelValue PixelAt(Point p) const;
    // Handle n's rectangle at this zoom (device pixels).
    Rect HandleRect(int n, ZoomFactor zoom) const { return HandleRectFor(bounds, n, zoom); }
    // The bounds at this zoom (device pixels).
    Rect ZoomedBounds(ZoomFactor zoom) const { return ZoomRect(bounds, zoom); }

    // ---- state ----
    ItemKind Kind() const { return kind; }
    ObjectUid Uid() const { return uid_; }
    const Rect& Bounds() const { return bounds; }
    Point Position() const { return position; }
    bool IsSelected() const { return selected; }
    void SetSelected(bool on) { selected = on; }
    bool BlendWithBeneath() const { return blendWithBeneath; }
    void SetBlendWithBeneath(bool on) { blendWithBeneath = on; }
    const Rect& UndoBounds() const { return undoBounds; }
    Point UndoPosition() const { return undoPosition; }
    // The image in full. An image held as runs is given its full form for
    // good, at the full cost: the engine reads HeldImage instead.
    const PackedDib& Image() const { return image.Full(); }
    // The image as held (in full or as runs), for reading either form.
    const CompactImage& HeldImage() const { return image; }
    const PackedDib& Composite() const { return composite; }
    PackedDib& Composite() { return composite; }

    // The item above (towards the top) and below, or null.
    CanvasItem* Next() const { return next_.get(); }
    CanvasItem* Prev() const { return prev_; }

protected:
    explicit CanvasItem(ItemKind itemKind);
    // Copies every field and both buffers (sharing their blocks until either
    // side is written), keeps the identity, not the links.
    CanvasItem(const CanvasItem& other);

    bool hasUndoState = false;
    Point undoPosition;
    Rect undoBounds;
    bool blendWithBeneath = false;
    Point position;  // the anchor: top-left of bounds, except for labels (baseline)
    ItemKind kind = ItemKind::Base;
    Rect bounds;
    CompactImage image;   // bounds-sized, own pixels with transparency
    PackedDib composite;  // bounds-sized, image over what lies beneath; T = 0 after blending
    bool selected = false;

private:
    friend class ItemList;

    // Whether image and composite both have blocks of the same size.
    bool BuffersMatch() const;

    ObjectUid uid_;
    std::unique_ptr<CanvasItem> next_;  // the list owns its items through the upward links
    CanvasItem* prev_ = nullptr;
};

// A fresh identity for a new item or frame.
ObjectUid NewObjectUid();

}  // namespace vantrel
