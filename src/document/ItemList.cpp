#include "document/ItemList.h"

#include <unordered_set>
#include <utility>

#include "document/BitmapItem.h"

namespace vantrel {

ItemList::~ItemList() {
    // Top down, one item at a time, so that no chain of owning links is
    // destroyed recursively however many items the list holds.
    while (top_ != nullptr) Detach(top_);
}

std::vector<CanvasItem*> ItemList::Items() const {
    std::vector<CanvasItem*> items;
    for (CanvasItem* item : BottomToTop()) items.push_back(item);
    return items;
}

int ItemList::CountItems() const {
    int count = 0;
    for (CanvasItem* item : BottomToTop()) {
        (void)item;
        ++count;
    }
    return count;
}

CanvasItem* ItemList::FindItemByUid(ObjectUid uid) const {
    for (CanvasItem* item : BottomToTop()) {
        if (item->Uid() == uid) return item;
    }
    return nullptr;
}

bool ItemList::Contains(const CanvasItem* item) const {
    if (item == nullptr) return false;
    for (CanvasItem* it : BottomToTop()) {
        if (it == item) return true;
    }
    return false;
}

ItemBackdrop ItemList::Backdrop() const { return {}; }

void ItemList::ComposeItemsInto(PackedDib& buffer, Point origin) const {
    // Whatever lies under an item covering the whole buffer is overwritten by it.
    const Rect area{origin.x, origin.y, origin.x + buffer.Width(), origin.y + buffer.Height()};
    const CanvasItem* covering = CoveringItem(area);
    for (const CanvasItem* item = covering ? covering : Bottom(); item != nullptr; item = item->Next())
        item->ComposeInto(buffer, origin);
}

const CanvasItem* ItemList::CoveringItem(const Rect& area) const {
    for (const CanvasItem* item : TopToBottom()) {
        const Rect& b = item->bounds;
        const PackedDib& composite = item->composite;
        if (composite.HasBlock() && composite.Width() == b.Width() && composite.Height() == b.Height() &&
            b.left <= area.left && b.top <= area.top && b.right >= area.right && b.bottom >= area.bottom)
            return item;
    }
    return nullptr;
}

// ---- linking ----

void ItemList::LinkAbove(CanvasItem* below, std::unique_ptr<CanvasItem> item) {
    std::unique_ptr<CanvasItem>& slot = below ? below->next_ : bottom_;
    CanvasItem* raw = item.get();
    raw->prev_ = below;
    raw->next_ = std::move(slot);
    if (raw->next_) {
        raw->next_->prev_ = raw;
    } else {
        top_ = raw;
    }
    slot = std::move(item);
}

CanvasItem* ItemList::AppendItem(std::unique_ptr<CanvasItem> item) {
    if (!item) return nullptr;
    CanvasItem* raw = item.get();
    LinkAbove(top_, std::move(item));
    ComposeBeneath(*raw);
    return raw;
}

CanvasItem* ItemList::AppendItemUncomposed(std::unique_ptr<CanvasItem> item) {
    if (!item) return nullptr;
    CanvasItem* raw = item.get();
    LinkAbove(top_, std::move(item));
    return raw;
}

CanvasItem* ItemList::LinkUncomposed(CanvasItem* below, std::unique_ptr<CanvasItem> item) {
    if (!item) return nullptr;
    CanvasItem* raw = item.get();
    LinkAbove(below, std::move(item));
    return raw;
}

CanvasItem* ItemList::InsertAtBottom(std::unique_ptr<CanvasItem> item) {
    if (!item) return nullptr;
    CanvasItem* raw = item.get();
    raw->selected = true;
    LinkAbove(nullptr, std::move(item));
    // Everything above now lies over a new item: rebuild them all.
    UpdateComposites(raw);
    return raw;
}

CanvasItem* ItemList::InsertAbove(CanvasItem* below, std::unique_ptr<CanvasItem> item) {
    if (!item || (below != nullptr && !Contains(below))) return nullptr;
    CanvasItem* raw = item.get();
    LinkAbove(below, std::move(item));
    UpdateComposites(raw);
    return raw;
}

std::unique_ptr<CanvasItem> ItemList::Unlink(CanvasItem* item) {
    if (!Contains(item)) return nullptr;
    return Detach(item);
}

std::unique_ptr<CanvasItem> ItemList::Detach(CanvasItem* item) {
    std::unique_ptr<CanvasItem>& slot = item->prev_ ? item->prev_->next_ : bottom_;
    std::unique_ptr<CanvasItem> taken = std::move(slot);
    slot = std::move(taken->next_);
    if (slot) {
        slot->prev_ = taken->prev_;
    } else {
        top_ = taken->prev_;
    }
    taken->prev_ = nullptr;
    return taken;
}

std::unique_ptr<CanvasItem> ItemList::ReplaceItem(CanvasItem* old, std::unique_ptr<CanvasItem> replacement) {
    if (!replacement || !Contains(old)) return nullptr;
    CanvasItem* raw = replacement.get();
    LinkAbove(old->prev_, std::move(replacement));
    std::unique_ptr<CanvasItem> taken = Unlink(old);
    UpdateComposites(raw);
    return taken;
}

// ---- selection ----

int ItemList::SelectAll() {
    int count = 0;
    for (CanvasItem* item : BottomToTop()) {
        item->selected = true;
        ++count;
    }
    return count;
}

void ItemList::DeselectAll() {
    for (CanvasItem* item : BottomToTop()) item->selected = false;
}

int ItemList::CountSelected() const {
    int count = 0;
    for (CanvasItem* item : BottomToTop()) count += item->selected ? 1 : 0;
    return count;
}

ItemKind ItemList::SelectedKind() const {
    ItemKind kind = ItemKind::None;
    for (CanvasItem* item : BottomToTop()) {
        if (!item->selected) continue;
        if (kind == ItemKind::None) {
            kind = item->kind;
        } else if (kind != item->kind) {
            return ItemKind::None;
        }
    }
    return kind;
}

CanvasItem* ItemList::NthSelected(int n) const {
    for (CanvasItem* item : BottomToTop()) {
        if (item->selected && n-- == 0) return item;
    }
    return nullptr;
}

void ItemList::DeleteSelected() {
    CanvasItem* lowestKept = nullptr;  // first item above the lowest deleted one
    Rect changed;                      // where deleted items lay
    CanvasItem* item = bottom_.get();
    while (item != nullptr) {
        CanvasItem* next = item->Next();
        if (item->selected) {
            changed = Union(changed, item->bounds);
            Detach(item);
        } else if (!changed.IsEmpty() && lowestKept == nullptr) {
            lowestKept = item;
        }
        item = next;
    }
    // The items above a deleted one no longer have it beneath them.
    UpdateComposites(lowestKept, changed);
}

// ---- moving and ordering ----

void ItemList::MoveSelectedBy(int dx, int dy) { MoveItemsBy(SelectedItems(), dx, dy); }

std::vector<CanvasItem*> ItemList::SelectedItems() const {
    std::vector<CanvasItem*> selected;
    for (CanvasItem* item : BottomToTop())
        if (item->selected) selected.push_back(item);
    return selected;
}

Point ItemList::MoveItemsBy(const std::vector<CanvasItem*>& items, int dx, int dy) {
    Rect all;
    for (const CanvasItem* item : items) all = Union(all, item->bounds);
    const Rect moved = all.Offset(dx, dy);
    if (moved.IsEmpty()) return {};
    if (moved.left < 0) dx -= moved.left;
    if (moved.top < 0) dy -= moved.top;
    if (moved.right > kWorkAreaSize) dx -= moved.right - kWorkAreaSize;
    if (moved.bottom > kWorkAreaSize) dy -= moved.bottom - kWorkAreaSize;
    if (dx == 0 && dy == 0) return {};
    Rect changed = all;
    for (CanvasItem* item : items) item->MoveBy(dx, dy);
    changed = Union(changed, all.Offset(dx, dy));
    // One rebuild from the lowest moved item gives the same composites as a
    // rebuild after each move (no item depends on the items above it); the
    // moved items themselves are rebuilt as they may blend with new ground.
    const std::unordered_set<const CanvasItem*> moving(items.begin(), items.end());
    CanvasItem* lowest = nullptr;
    for (CanvasItem* item = bottom_.get(); item != nullptr && lowest == nullptr; item = item->Next())
        if (moving.contains(item)) lowest = item;
    for (CanvasItem* item = lowest; item != nullptr; item = item->Next()) {
        if (moving.contains(item) || (item->blendWithBeneath && !Intersect(item->bounds, changed).IsEmpty()))
            ComposeBeneath(*item);
    }
    return {dx, dy};
}

void ItemList::MoveItemTo(CanvasItem* item, int x, int y) {
    if (!Contains(item)) return;
    item->MoveTo(x, y);
    UpdateComposites(item);
}

void ItemList::MoveAllBy(int dx, int dy) {
    for (CanvasItem* item : BottomToTop()) item->MoveBy(dx, dy);
}

void ItemList::BringSelectedToFront() {
    std::vector<CanvasItem*> selected;
    for (CanvasItem* item : BottomToTop()) {
        if (item->selected) selected.push_back(item);
    }
    if (selected.empty()) return;
    CanvasItem* below = selected.front()->prev_;  // stays where it is
    for (CanvasItem* item : selected) LinkAbove(top_, Detach(item));
    UpdateComposites(below ? below->Next() : Bottom());
}

void ItemList::SendSelectedToBack() {
    std::vector<CanvasItem*> selected;
    for (CanvasItem* item : TopToBottom()) {
        if (item->selected) selected.push_back(item);
    }
    if (selected.empty()) return;
    // Top to bottom, each to the bottom: the lowest ends lowest.
    for (CanvasItem* item : selected) LinkAbove(nullptr, Detach(item));
    UpdateComposites(Bottom());
}

Rect ItemList::ItemBounds(bool selectedOnly) const {
    Rect all;
    for (CanvasItem* item : BottomToTop()) {
        if (!selectedOnly || item->selected) all = Union(all, item->bounds);
    }
    return all;
}

// ---- pixels ----

PixelValue ItemList::PickColor(Point p) const {
    for (CanvasItem* item : TopToBottom()) {
        if (item->bounds.Contains(p)) return item->PixelAt(p);
    }
    const ItemBackdrop backdrop = Backdrop();
    if (!backdrop.canvas.Contains(p)) return kOutsideCanvasColor;
    if (backdrop.backgroundImage != nullptr)
        return backdrop.backgroundImage->GetPixel(p.x - backdrop.canvas.left, p.y - backdrop.canvas.top);
    return backdrop.backgroundColor;
}

// ---- undo ----

bool ItemList::AnyUndoState() const {
    for (CanvasItem* item : BottomToTop()) {
        if (item->HasUndoState()) return true;
    }
    return false;
}

void ItemList::RestoreUndoStates() {
    for (CanvasItem* item : BottomToTop()) {
        if (item->HasUndoState()) item->RestoreUndoState();
    }
}

// ---- items that make bitmaps ----

BitmapItem* ItemList::ConvertToBitmap(CanvasItem* item) {
    if (!Contains(item)) return nullptr;
    auto bitmap = std::make_unique<BitmapItem>();
    bitmap->bounds = item->bounds;
    bitmap->position = item->position;
    bitmap->selected = item->selected;
    bitmap->blendWithBeneath = item->blendWithBeneath;
    bitmap->image = std::move(item->image);
    bitmap->composite = std::move(item->composite);
    BitmapItem* raw = bitmap.get();
    // The composite came along, so nothing needs rebuilding.
    LinkAbove(item->prev_, std::move(bitmap));
    Unlink(item);
    raw->MoveTo(raw->bounds.left, raw->bounds.top);
    return raw;
}

BitmapItem* ItemList::CombineSelected() {
    std::unique_ptr<BitmapItem> combined = BitmapItem::Combining(SelectedItems());
    return combined ? static_cast<BitmapItem*>(AppendItem(std::move(combined))) : nullptr;
}

// ---- rendering ----

namespace {

// Lists up to this long rebuild item by item: one shared buffer would cost
// more than the few items beneath each one.
constexpr int kItemsComposedOneByOne = 32;

}  // namespace

void ItemList::UpdateComposites(CanvasItem* from) {
    // Many items over from: rebuilding them all through one buffer costs the
    // pixels of the list, item by item the square of its length.
    int over = 0;
    for (CanvasItem* item = from; item != nullptr && over <= kItemsComposedOneByOne; item = item->Next()) ++over;
    if (over > kItemsComposedOneByOne && Contains(from) && ComposeAllThroughOneBuffer()) return;
    for (CanvasItem* item = Contains(from) ? from : nullptr; item != nullptr; item = item->Next())
        ComposeBeneath(*item);
}

// The same composites as ComposeBeneath item by item from the bottom: the
// buffer holds, over the union of the composites, what ComposeBeneath lays
// down before an item (white, the backdrop, the lower composites in order),
// so a blending item's composite is the buffer's part under it.
bool ItemList::ComposeAllThroughOneBuffer() {
    Rect area;
    for (const CanvasItem* item : BottomToTop()) {
        const PackedDib& composite = item->composite;
        if (!composite.HasBlock()) continue;
        const Point at = item->bounds.TopLeft();
        area = Union(area, Rect{at.x, at.y, at.x + composite.Width(), at.y + composite.Height()});
    }
    PackedDib beneath;
    if (area.IsEmpty() || !beneath.SetSizeForOverwrite(area.Width(), area.Height())) return false;
    beneath.FillBytes(0xFF);
    const ItemBackdrop backdrop = Backdrop();
    if (backdrop.backgroundImage != nullptr) {
        backdrop.backgroundImage->BlitTo(beneath, backdrop.canvas.left - area.left, backdrop.canvas.top - area.top);
    } else {
        const Rect inside = Intersect(backdrop.canvas, area).Offset(-area.left, -area.top);
        if (!inside.IsEmpty()) beneath.FillRect(backdrop.backgroundColor, &inside);
    }
    for (CanvasItem* item : BottomToTop()) {
        if (!item->composite.HasBlock()) continue;
        if (item->ShareOpaqueImage()) {
            // nothing beneath shows through
        } else if (item->blendWithBeneath) {
            beneath.BlitTo(item->composite, area.left - item->bounds.left, area.top - item->bounds.top);
            item->BlendImage();
        } else {
            item->BlendImageOverWhite();
        }
        item->ComposeInto(beneath, area.TopLeft());
    }
    return true;
}

void ItemList::UpdateComposites(CanvasItem* from, const Rect& changed) {
    if (!Contains(from)) return;
    ComposeBeneath(*from);
    // A composite depends on what lies beneath only where the item blends
    // with it, and beneath any point outside changed nothing differs.
    for (CanvasItem* item = from->Next(); item != nullptr; item = item->Next()) {
        if (item->blendWithBeneath && !Intersect(item->bounds, changed).IsEmpty()) ComposeBeneath(*item);
    }
}

void ItemList::RecomposeOver(const Rect& changed) {
    for (CanvasItem* item : BottomToTop())
        if (item->blendWithBeneath && !Intersect(item->bounds, changed).IsEmpty()) ComposeBeneath(*item);
}

void ItemList::ComposeBeneath(CanvasItem& item) const {
    PackedDib& composite = item.composite;
    if (!composite.HasBlock() || item.ShareOpaqueImage()) return;
    if (item.blendWithBeneath) {
        composite.DetachForOverwrite();  // every pixel is laid down below
        LayBeneath(item, composite, item.bounds);
        item.BlendImage();
    } else {
        item.BlendImageOverWhite();
    }
}

void ItemList::LayBeneath(const CanvasItem& item, PackedDib& dest, const Rect& area) const {
    // A lower item whose bounds hold the area overwrites all of it when
    // copied: start there, skipping what lies under it.
    CanvasItem* first = bottom_.get();
    bool covered = false;
    for (CanvasItem* lower = item.prev_; lower != nullptr && !covered; lower = lower->prev_) {
        const Rect& b = lower->bounds;
        covered = lower->composite.HasBlock() && b.left <= area.left && b.top <= area.top && b.right >= area.right &&
                  b.bottom >= area.bottom;
        if (covered) first = lower;
    }
    if (!covered) {
        const ItemBackdrop backdrop = Backdrop();
        const Rect inside = Intersect(backdrop.canvas, area).Offset(-area.left, -area.top);
        // The backdrop overwrites all of dest that lies on the canvas; only
        // the rest needs its white first.
        const bool onCanvas = inside == dest.Bounds();
        const PackedDib* background = backdrop.backgroundImage;
        const bool backgroundFits = background == nullptr || (background->Width() == backdrop.canvas.Width() &&
                                                              background->Height() == backdrop.canvas.Height());
        if (!onCanvas || !backgroundFits) dest.FillBytes(0xFF);
        if (background != nullptr) {
            background->BlitTo(dest, backdrop.canvas.left - area.left, backdrop.canvas.top - area.top);
        } else if (!inside.IsEmpty()) {
            dest.FillRect(backdrop.backgroundColor, &inside);
        }
    }
    for (const CanvasItem* lower = first; lower != nullptr && lower != &item; lower = lower->Next())
        lower->ComposeInto(dest, area.TopLeft());
}

void ItemList::ComposeBeneathIn(CanvasItem& item, const Rect& area) const {
    const Rect part = Intersect(area, item.bounds);
    PackedDib& composite = item.composite;
    if (part.IsEmpty() || !composite.HasBlock() || item.image.SharesBlockWith(composite)) return;
    const Rect local = part.Offset(-item.bounds.left, -item.bounds.top);
    if (item.blendWithBeneath) {
        PackedDib beneath;
        if (!beneath.SetSizeForOverwrite(part.Width(), part.Height())) return;
        LayBeneath(item, beneath, part);
        beneath.BlitTo(composite, local.left, local.top);
    }
    item.BlendImageIn(local, !item.blendWithBeneath);
}

PixelWrite ItemList::BeginPixelWrite(CanvasItem& item) {
    PixelWrite write;
    write.sharedOpaque = item.image.SharesBlockWith(item.composite);
    write.blend = item.blendWithBeneath;
    // The composite lets go of the image's block (EndPixelWrite gives it one
    // again), so that the write does not copy the whole image.
    if (write.sharedOpaque) item.composite = PackedDib();
    return write;
}

Rect ItemList::EndPixelWrite(CanvasItem& item, const Rect& area, const PixelWrite& before) {
    if (!Contains(&item)) return {};
    const Rect local = Intersect(area, item.bounds).Offset(-item.bounds.left, -item.bounds.top);
    if (before.sharedOpaque && item.image.IsOpaqueIn(local)) {
        // Opaque before and opaque where written: still its own composite.
        item.composite.ShareFrom(item.image.Full());
    } else if (before.sharedOpaque || before.blend != item.blendWithBeneath) {
        // Every pixel's composite may differ.
        if (!item.composite.HasBlock()) item.composite.SetSizeForOverwrite(item.image.Width(), item.image.Height());
        UpdateComposites(&item, item.bounds);
        return item.bounds;
    } else {
        ComposeBeneathIn(item, area);
    }
    for (CanvasItem* above = item.Next(); above != nullptr; above = above->Next())
        if (above->blendWithBeneath) ComposeBeneathIn(*above, area);
    return area;
}

}  // namespace vantrel
