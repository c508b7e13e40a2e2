#include "edit/ItemCommands.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"

namespace vantrel {

namespace {

AnimFrame* FindFrame(CQVDoc& doc, ObjectUid uid) { return doc.GetAnimation().FindFrameByUid(uid); }

// The items of frame by identity, found in one walk of the list.
std::unordered_map<ObjectUid, CanvasItem*> ItemsByUid(const AnimFrame& frame) {
    std::unordered_map<ObjectUid, CanvasItem*> byUid;
    for (CanvasItem* item : frame.BottomToTop()) byUid.emplace(item->Uid(), item);
    return byUid;
}

// The items of frame with these identities, in the order of uids.
std::vector<CanvasItem*> FindItems(const AnimFrame& frame, const std::vector<ObjectUid>& uids) {
    const auto byUid = ItemsByUid(frame);
    std::vector<CanvasItem*> items;
    for (const ObjectUid uid : uids)
        if (const auto found = byUid.find(uid); found != byUid.end()) items.push_back(found->second);
    return items;
}

using TakenItem = RemoveItemsCommand::Taken;

// Takes items (all of frame) out, top first, and rebuilds once the
// composites from the lowest place they left; then renders.
std::vector<TakenItem> TakeOutAll(CQVDoc& doc, AnimFrame& frame, const std::vector<CanvasItem*>& items) {
    const std::unordered_set<const CanvasItem*> leaving(items.begin(), items.end());
    std::vector<CanvasItem*> topDown;
    for (CanvasItem* item : frame.TopToBottom())
        if (leaving.contains(item)) topDown.push_back(item);
    if (topDown.empty()) return {};
    // The item under the lowest one leaving stays: composing starts above it.
    CanvasItem* staysBelow = topDown.back()->Prev();
    Rect area;
    std::vector<TakenItem> taken;
    taken.reserve(topDown.size());
    for (CanvasItem* item : topDown) {
        area = Union(area, item->Bounds());
        taken.push_back({item->Prev() ? item->Prev()->Uid() : 0, frame.UnlinkUncomposed(item)});
    }
    frame.UpdateComposites(staysBelow ? staysBelow->Next() : frame.Bottom());
    doc.ItemsChanged(frame, area);
    return taken;
}

// Puts taken items back (top first, as TakeOutAll gave them), each above
// the item it lay on, and rebuilds once the composites from the lowest one;
// then renders. An item whose place is gone goes on top.
void PutBackAll(CQVDoc& doc, AnimFrame& frame, std::vector<TakenItem>& taken) {
    auto byUid = ItemsByUid(frame);
    std::unordered_set<const CanvasItem*> returned;
    Rect area;
    // Bottom first: each finds the item it lay on already in place.
    for (auto it = taken.rbegin(); it != taken.rend(); ++it) {
        if (!it->item) continue;
        area = Union(area, it->item->Bounds());
        const auto below = it->below != 0 ? byUid.find(it->below) : byUid.end();
        CanvasItem* linked =
            frame.LinkUncomposed(below != byUid.end() ? below->second : (it->below != 0 ? frame.Top() : nullptr),
                                 std::move(it->item));
        byUid.emplace(linked->Uid(), linked);
        returned.insert(linked);
    }
    taken.clear();
    CanvasItem* lowest = frame.Bottom();
    while (lowest != nullptr && !returned.contains(lowest)) lowest = lowest->Next();
    frame.UpdateComposites(lowest);
    doc.ItemsChanged(frame, area);
}

// Takes an item out of its frame; the composites that lay over it are rebuilt.
std::unique_ptr<CanvasItem> TakeOut(AnimFrame& frame, CanvasItem& item) {
    const Rect area = item.Bounds();
    std::unique_ptr<CanvasItem> taken = frame.Unlink(&item);
    frame.RecomposeOver(area);
    return taken;
}

}  // namespace

std::size_t ItemBytes(const CanvasItem& item) {
    // An opaque item's composite is its image: counted once.
    // Counted at the image's full size also when it is held as runs.
    const bool shared = item.HeldImage().SharesBlockWith(item.Composite());
    return item.HeldImage().SizeImage() + (shared ? 0 : item.Composite().SizeImage());
}

// ---- AddItemCommand ----

AddItemCommand::AddItemCommand(std::string label, ObjectUid frame, std::unique_ptr<CanvasItem> item)
    : AddItemCommand(std::move(label), frame, std::move(item), 0) {
    onTop_ = true;
}

AddItemCommand::AddItemCommand(std::string label, ObjectUid frame, std::unique_ptr<CanvasItem> item, ObjectUid below)
    : Command(std::move(label)),
      frame_(frame),
      itemUid_(item ? item->Uid() : 0),
      onTop_(false),
      below_(below),
      item_(std::move(item)),
      bytes_(item_ ? ItemBytes(*item_) : 0) {}

bool AddItemCommand::Execute(CQVDoc& doc) {
    AnimFrame* frame = FindFrame(doc, frame_);
    if (!frame || !item_) return false;
    CanvasItem* below = onTop_ ? frame->Top() : (below_ != 0 ? frame->FindItemByUid(below_) : nullptr);
    if (!onTop_ && below_ != 0 && below == nullptr) return false;
    const Rect area = item_->Bounds();
    if (!frame->InsertAbove(below, std::move(item_))) return false;
    doc.ItemsChanged(*frame, area);
    return true;
}

void AddItemCommand::Undo(CQVDoc& doc) {
    AnimFrame* frame = FindFrame(doc, frame_);
    CanvasItem* item = frame ? frame->FindItemByUid(itemUid_) : nullptr;
    if (!item) return;
    const Rect area = item->Bounds();
    item_ = TakeOut(*frame, *item);
    doc.ItemsChanged(*frame, area);
}

// ---- AddItemsCommand ----

AddItemsCommand::AddItemsCommand(std::string label, ObjectUid frame, std::vector<std::unique_ptr<CanvasItem>> items)
    : Command(std::move(label)), frame_(frame) {
    for (auto& item : items) {
        if (!item) continue;
        uids_.push_back(item->Uid());
        bytes_ += ItemBytes(*item);
        items_.push_back(std::move(item));
    }
}

bool AddItemsCommand::Execute(CQVDoc& doc) {
    AnimFrame* frame = FindFrame(doc, frame_);
    if (!frame || items_.empty()) return false;
    CanvasItem* lowest = nullptr;
    Rect area;
    for (auto& item : items_) {
        area = Union(area, item->Bounds());
        CanvasItem* linked = frame->LinkUncomposed(frame->Top(), std::move(item));
        if (lowest == nullptr) lowest = linked;
    }
    items_.clear();
    frame->UpdateComposites(lowest);
    doc.ItemsChanged(*frame, area);
    return true;
}

void AddItemsCommand::Undo(CQVDoc& doc) {
    AnimFrame* frame = FindFrame(doc, frame_);
    if (!frame) return;
    std::vector<TakenItem> taken = TakeOutAll(doc, *frame, FindItems(*frame, uids_));
    items_.clear();
    // TakeOutAll gives them top first.
    for (auto it = taken.rbegin(); it != taken.rend(); ++it) items_.push_back(std::move(it->item));
}

// ---- RemoveItemsCommand ----

RemoveItemsCommand::RemoveItemsCommand(std::string label, ObjectUid frame, std::vector<ObjectUid> items)
    : Command(std::move(label)), frame_(frame), uids_(std::move(items)) {}

bool RemoveItemsCommand::Execute(CQVDoc& doc) {
    AnimFrame* frame = FindFrame(doc, frame_);
    if (!frame) return false;
    const std::vector<CanvasItem*> items = FindItems(*frame, uids_);
    if (items.empty()) return false;
    // Top first, so that undo, putting them back bottom first, always finds
    // the item each lay on.
    removed_ = TakeOutAll(doc, *frame, items);
    return true;
}

void RemoveItemsCommand::Undo(CQVDoc& doc) {
    if (AnimFrame* frame = FindFrame(doc, frame_)) PutBackAll(doc, *frame, removed_);
}

std::size_t RemoveItemsCommand::MemoryBytes() const {
    std::size_t bytes = 0;
    for (const TakenItem& r : removed_)
        if (r.item) bytes += ItemBytes(*r.item);
    return bytes;
}

// ---- MoveItemsCommand ----

MoveItemsCommand::MoveItemsCommand(std::string label, ObjectUid frame, std::vector<ObjectUid> items, Point offset)
    : Command(std::move(label)), frame_(frame), uids_(std::move(items)), offset_(offset) {}

bool MoveItemsCommand::MoveBy(CQVDoc& doc, Point offset, Point* applied) {
    AnimFrame* frame = FindFrame(doc, frame_);
    if (!frame) return false;
    const std::vector<CanvasItem*> items = FindItems(*frame, uids_);
    Rect area;
    for (const CanvasItem* item : items) area = Union(area, item->Bounds());
    const Point done = frame->MoveItemsBy(items, offset.x, offset.y);
    if (applied) *applied = done;
    if (done == Point{}) return false;
    doc.ItemsChanged(*frame, Union(area, area.Offset(done.x, done.y)));
    return true;
}

bool MoveItemsCommand::Execute(CQVDoc& doc) {
    if (ran_) return MoveBy(doc, offset_, nullptr);
    ran_ = true;
    return MoveBy(doc, offset_, &offset_);
}

void MoveItemsCommand::Undo(CQVDoc& doc) { MoveBy(doc, {-offset_.x, -offset_.y}, nullptr); }

bool MoveItemsCommand::MergeWith(Command& next) {
    auto* other = dynamic_cast<MoveItemsCommand*>(&next);
    if (!other || other->frame_ != frame_ || other->uids_ != uids_) return false;
    offset_.x += other->offset_.x;
    offset_.y += other->offset_.y;
    return true;
}

// ---- ZOrderCommand ----

ZOrderCommand::ZOrderCommand(std::string label, ObjectUid frame, std::vector<ObjectUid> items, ZOrderPlace place)
    : Command(std::move(label)), frame_(frame), uids_(std::move(items)), place_(place) {}

bool ZOrderCommand::Execute(CQVDoc& doc) {
    AnimFrame* frame = FindFrame(doc, frame_);
    if (!frame) return false;
    const std::vector<CanvasItem*> items = FindItems(*frame, uids_);
    if (items.empty()) return false;
    // The moved items in stack order, bottom first, and the order wanted
    // (membership by set: a frame may hold thousands of items).
    const std::unordered_set<const CanvasItem*> chosen(items.begin(), items.end());
    const std::vector<CanvasItem*> old = frame->Items();
    std::vector<CanvasItem*> moving;
    std::vector<CanvasItem*> wanted;
    for (CanvasItem* item : old) (chosen.contains(item) ? moving : wanted).push_back(item);
    wanted.insert(place_ == ZOrderPlace::Front ? wanted.end() : wanted.begin(), moving.begin(), moving.end());
    if (wanted == old) return false;

    before_.clear();
    std::vector<std::unique_ptr<CanvasItem>> taken;
    for (auto it = moving.rbegin(); it != moving.rend(); ++it) {
        CanvasItem* item = *it;
        before_.push_back({item->Uid(), item->Prev() ? item->Prev()->Uid() : 0});
        taken.push_back(frame->Unlink(item));
    }
    // taken holds them top first.
    if (place_ == ZOrderPlace::Front) {
        for (auto it = taken.rbegin(); it != taken.rend(); ++it) frame->InsertAbove(frame->Top(), std::move(*it));
    } else {
        for (auto& item : taken) frame->InsertAbove(nullptr, std::move(item));
    }
    frame->UpdateAllComposites();
    doc.ItemsChanged(*frame, frame->ItemBounds(false));
    return true;
}

void ZOrderCommand::Undo(CQVDoc& doc) {
    AnimFrame* frame = FindFrame(doc, frame_);
    if (!frame) return;
    // Items keep their identities and addresses while unlinked: one walk finds them all.
    const auto byUid = ItemsByUid(*frame);
    const auto find = [&byUid](ObjectUid uid) -> CanvasItem* {
        const auto found = byUid.find(uid);
        return found != byUid.end() ? found->second : nullptr;
    };
    std::vector<std::pair<ObjectUid, std::unique_ptr<CanvasItem>>> taken;  // top first
    std::unordered_set<ObjectUid> out;
    for (const Place& place : before_) {
        if (CanvasItem* item = find(place.uid)) {
            taken.emplace_back(place.below, frame->Unlink(item));
            out.insert(place.uid);
        }
    }
    // Bottom first: each finds the item it lay on, moved or not, already in
    // place (one still out of the list counts as none).
    for (auto it = taken.rbegin(); it != taken.rend(); ++it) {
        CanvasItem* below = it->first != 0 && !out.contains(it->first) ? find(it->first) : nullptr;
        out.erase(it->second->Uid());
        frame->InsertAbove(below, std::move(it->second));
    }
    frame->UpdateAllComposites();
    doc.ItemsChanged(*frame, frame->ItemBounds(false));
}

// ---- SwapItemCommand ----

SwapItemCommand::SwapItemCommand(std::string label, ObjectUid frame, ObjectUid item)
    : Command(std::move(label)), frame_(frame), liveUid_(item) {}

bool SwapItemCommand::Execute(CQVDoc& doc) {
    if (ran_) {
        Swap(doc);
        return true;
    }
    AnimFrame* frame = FindFrame(doc, frame_);
    CanvasItem* item = frame ? frame->FindItemByUid(liveUid_) : nullptr;
    if (!item) return false;
    ran_ = true;
    return FirstRun(doc, *frame, *item);
}

void SwapItemCommand::Undo(CQVDoc& doc) { Swap(doc); }

void SwapItemCommand::Swap(CQVDoc& doc) {
    AnimFrame* frame = FindFrame(doc, frame_);
    CanvasItem* live = frame ? frame->FindItemByUid(liveUid_) : nullptr;
    if (!live || !held_) return;
    const Rect area = Union(live->Bounds(), held_->Bounds());
    const ObjectUid incoming = held_->Uid();
    held_ = frame->ReplaceItem(live, std::move(held_));
    liveUid_ = incoming;
    doc.ItemsChanged(*frame, area);
}

std::size_t SwapItemCommand::MemoryBytes() const { return held_ ? ItemBytes(*held_) : 0; }

// ---- ReplaceItemCommand ----

ReplaceItemCommand::ReplaceItemCommand(std::string label, ObjectUid frame, ObjectUid item,
                                       std::unique_ptr<CanvasItem> replacement)
    : SwapItemCommand(std::move(label), frame, item) {
    held_ = std::move(replacement);
}

bool ReplaceItemCommand::FirstRun(CQVDoc& doc, AnimFrame& /*frame*/, CanvasItem& /*item*/) {
    if (!held_) return false;
    Swap(doc);
    return true;
}

}  // namespace vantrel
