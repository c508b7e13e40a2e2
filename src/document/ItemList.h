#pragma once
// ItemList: the z-ordered list of items of a frame. It owns its items; they
// are linked upward (bottom to top) by owning links and downward by plain
// ones. Besides the list operations it holds the composite rebuilding of
// frame rendering, since a composite depends on everything beneath its item.

#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include "core/Geometry.h"
#include "core/PackedDib.h"
#include "core/Pixel.h"
#include "document/CanvasItem.h"
#include "document/WorkArea.h"

namespace vantrel {

class BitmapItem;

// What lies beneath the items of a list: the background image (canvas-sized)
// or, without one, the background colour, both limited to the canvas.
struct ItemBackdrop {
    const PackedDib* backgroundImage = nullptr;
    PixelValue backgroundColor = kOpaqueWhite;
    Rect canvas = kWorkAreaRect;
};

// Colour PickColor reports outside the canvas where no item lies.
inline constexpr PixelValue kOutsideCanvasColor = 0x00C0C0C0;

// What BeginPixelWrite found before a write into an item's image: whether
// the composite (and perhaps the frame's picture) showed the image's block,
// which only an opaque image does, and the item's blend flag.
struct PixelWrite {
    bool sharedOpaque = false;
    bool blend = false;
    bool framePicture = false;
};

class ItemList {
public:
    ItemList() = default;
    virtual ~ItemList();
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;

    // Walks the items from bottom to top (or, reversed, top to bottom).
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = CanvasItem*;
        using difference_type = std::ptrdiff_t;
        using pointer = CanvasItem* const*;
        using reference = CanvasItem*;
        Iterator() = default;
        Iterator(CanvasItem* item, bool upward) : item_(item), upward_(upward) {}
        CanvasItem* operator*() const { return item_; }
        Iterator& operator++() {
            item_ = upward_ ? item_->Next() : item_->Prev();
            return *this;
        }
        Iterator operator++(int) {
            Iterator old = *this;
            ++*this;
            return old;
        }
        friend bool operator==(const Iterator& a, const Iterator& b) { return a.item_ == b.item_; }

    private:
        CanvasItem* item_ = nullptr;
        bool upward_ = true;
    };
    struct Range {
        Iterator first;
        Iterator begin() const { return first; }
        Iterator end() const { return {}; }
    };
    Range BottomToTop() const { return {Iterator(bottom_.get(), true)}; }
    Range TopToBottom() const { return {Iterator(top_, false)}; }
    // The items from bottom to top as a vector, for callers that index them.
    std::vector<CanvasItem*> Items() const;

    CanvasItem* Top() const { return top_; }
    CanvasItem* Bottom() const { return bottom_.get(); }
    bool IsEmpty() const { return !bottom_; }
    int CountItems() const;
    // The item with this identity, or null.
    CanvasItem* FindItemByUid(ObjectUid uid) const;

    // ---- what a frame overrides: composing into a buffer, what lies beneath ----
    // Copies every item's composite into buffer at its bounds' top-left
    // corner minus origin, bottom to top, clipped (from the topmost item that
    // covers the whole buffer: nothing beneath it would show).
    virtual void ComposeItemsInto(PackedDib& buffer, Point origin) const;
    // What lies beneath the items (a frame gives its background); the base
    // list lies on opaque white over the whole work area.
    virtual ItemBackdrop Backdrop() const;

    // ---- linking ----
    // Links the item on top, composes what lies beneath into its composite
    // and blends its image. Returns the item.
    CanvasItem* AppendItem(std::unique_ptr<CanvasItem> item);
    // Links the item on top without building its composite: for loaders that
    // link a whole list and then build every composite once (UpdateAllComposites).
    CanvasItem* AppendItemUncomposed(std::unique_ptr<CanvasItem> item);
    // Links the item at the bottom and marks it selected; its composite and
    // those of the items above (which now lie over it) are rebuilt.
    CanvasItem* InsertAtBottom(std::unique_ptr<CanvasItem> item);
    // Removes the item from the list without destroying it; null when it is not in the list.
    std::unique_ptr<CanvasItem> Unlink(CanvasItem* item);
    // For commands that link or take out many items and then rebuild the
    // composites once (UpdateComposites from the lowest place that changed):
    // links item directly above below (at the bottom when null), which must
    // be in the list, without composing; and unlinks an item that is in the
    // list. Neither walks the list, so loops over many items stay linear.
    CanvasItem* LinkUncomposed(CanvasItem* below, std::unique_ptr<CanvasItem> item);
    std::unique_ptr<CanvasItem> UnlinkUncomposed(CanvasItem* item) { return Detach(item); }
    // Links the item directly above below (at the bottom when below is null)
    // and rebuilds the composites from it upward. Null when below is given
    // but not in the list.
    CanvasItem* InsertAbove(CanvasItem* below, std::unique_ptr<CanvasItem> item);
    // replacement takes old's place in the z-order and the composites from it
    // upward are rebuilt; returns old, unlinked (null when old is not in the list).
    std::unique_ptr<CanvasItem> ReplaceItem(CanvasItem* old, std::unique_ptr<CanvasItem> replacement);

    // ---- selection ----
    // Selects every item; returns their number.
    int SelectAll();
    void DeselectAll();
    int CountSelected() const;
    // The kind shared by all selected items; ItemKind::None when none is
    // selected or their kinds differ.
    ItemKind SelectedKind() const;
    // The n-th selected item counting from the bottom from 0, or null.
    CanvasItem* NthSelected(int n) const;
    // Unlinks and destroys every selected item; the composites that lay over
    // them are rebuilt.
    void DeleteSelected();

    // ---- moving and ordering ----
    // Moves the selected items by (dx, dy), clamped so that their union stays
    // inside the work area, rebuilding composites from each moved item up.
    void MoveSelectedBy(int dx, int dy);
    // Moves items (all of this list) by (dx, dy), clamped in the same way;
    // returns the offset applied.
    Point MoveItemsBy(const std::vector<CanvasItem*>& items, int dx, int dy);
    // The selected items from bottom to top.
    std::vector<CanvasItem*> SelectedItems() const;
    // MoveTo on the item, then the composites from it upward are rebuilt.
    void MoveItemTo(CanvasItem* item, int x, int y);
    // MoveBy on every item (composites are the caller's to rebuild).
    void MoveAllBy(int dx, int dy);
    // Moves every selected item to the top, keeping their relative order;
    // the composites from the lowest moved place upward are rebuilt.
    void BringSelectedToFront();
    // Moves every selected item to the bottom, keeping their relative order;
    // every composite is rebuilt.
    void SendSelectedToBack();
    // Union of the bounds of all items, or of the selected ones; (0, 0, 0, 0) when none.
    Rect ItemBounds(bool selectedOnly) const;

    // ---- pixels ----
    // The colour under a work-area point: the topmost item whose bounds hold
    // it gives its image pixel; else the backdrop inside the canvas, or
    // kOutsideCanvasColor outside it.
    PixelValue PickColor(Point p) const;

    // ---- undo ----
    bool AnyUndoState() const;
    // RestoreUndoState on every item that has an undo state (composites are
    // the caller's to rebuild).
    void RestoreUndoStates();

    // ---- items that make bitmaps ----
    // A bitmap item takes over item's bounds, position, selection, blend flag
    // and buffers and its place in the z-order; item is destroyed. Returns the
    // new item, or null when item is not in the list.
    BitmapItem* ConvertToBitmap(CanvasItem* item);
    // A new bitmap item holding the selected items' images blended bottom to
    // top over transparent white, appended on top, not selected. The selected
    // items stay (the caller deletes them). Null when nothing is selected.
    BitmapItem* CombineSelected();

    // ---- rendering ----
    // Rebuilds the composites of from and of every item above it. Null does nothing.
    // With many items above from, every composite is cut from one buffer
    // holding what lies beneath the items so far, so that the work grows with
    // the pixels rather than with the square of the item count.
    void UpdateComposites(CanvasItem* from);
    // The same result when everything that changed beneath the items above
    // from lies inside changed (work-area pixels; for a move, the old and new
    // bounds): from is rebuilt, and of the items above only those that blend
    // with what lies beneath and overlap changed, since no other composite
    // can differ.
    void UpdateComposites(CanvasItem* from, const Rect& changed);
    // Rebuilds every composite.
    void UpdateAllComposites() { UpdateComposites(Bottom()); }
    // What lies beneath every item changed inside changed (work-area
    // pixels), as when the background changed: rebuilds the composites of
    // the items that blend with it there.
    void RecomposeOver(const Rect& changed);
    // Composite of one item from what lies beneath it: white, then the
    // backdrop and the lower items when the item blends with them, then its
    // image blended over.
    void ComposeBeneath(CanvasItem& item) const;
    // ComposeBeneath for the part of the item inside area (work-area pixels) only.
    void ComposeBeneathIn(CanvasItem& item, const Rect& area) const;

    // ---- pixel writes ----
    // Around a write into part of an item's image (painting): Begin lets the
    // pictures that show the image's block let go of it, so that the write
    // changes the pixels in place instead of copying the whole picture; End,
    // given the written area (work-area pixels), rebuilds the composites
    // there: the item's (or the whole of it when its blend flag changed or
    // it stopped being opaque) and those of the blending items above it.
    // End returns the area whose composites it rebuilt.
    virtual PixelWrite BeginPixelWrite(CanvasItem& item);
    virtual Rect EndPixelWrite(CanvasItem& item, const Rect& area, const PixelWrite& before);

protected:
    // The topmost item whose composite covers all of area (work-area pixels),
    // or null: nothing beneath it shows there.
    const CanvasItem* CoveringItem(const Rect& area) const;

private:
    // Lays into dest what lies beneath item over area (work-area pixels, the
    // size of dest): white, the backdrop, the lower items' composites.
    void LayBeneath(const CanvasItem& item, PackedDib& dest, const Rect& area) const;
    // UpdateComposites from the bottom through one buffer of what lies beneath;
    // false (nothing done) when that buffer cannot be had.
    bool ComposeAllThroughOneBuffer();
    void LinkAbove(CanvasItem* below, std::unique_ptr<CanvasItem> item);
    bool Contains(const CanvasItem* item) const;
    // Unlink for an item known to be in the list (walks nothing, so loops
    // over the list stay linear).
    std::unique_ptr<CanvasItem> Detach(CanvasItem* item);

    std::unique_ptr<CanvasItem> bottom_;
    CanvasItem* top_ = nullptr;
};

}  // namespace vantrel
