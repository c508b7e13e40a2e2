#include "document/ItemPack.h"

#include <algorithm>
#include <limits>
#include <new>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "document/Archive.h"
#include "document/BitmapItem.h"
#include "document/BoxItem.h"
#include "document/EllipseItem.h"
#include "document/ItemRecordIO.h"
#include "document/LabelItem.h"

namespace vantrel {

namespace {

bool WithinCoordinateLimit(int value) { return value >= -kMaxItemCoordinate && value <= kMaxItemCoordinate; }

Status FormatError() { return Status::Error(std::string(kUnexpectedFileFormat)); }

// The kinds the factory makes, by tag, in the order tags are compared.
struct KindByTag {
    RecordTag tag;
    std::unique_ptr<CanvasItem> (*make)();
};
template <typename Item>
std::unique_ptr<CanvasItem> Make() {
    return std::make_unique<Item>();
}
constexpr KindByTag kKinds[] = {
    {kBitmapRecordTag, Make<BitmapItem>},
    {kBoxRecordTag, Make<BoxItem>},
    {kEllipseRecordTag, Make<EllipseItem>},
    {kLabelRecordTag, Make<LabelItem>},
};

const KindByTag* FindKind(const RecordTag& tag) {
    for (const KindByTag& kind : kKinds) {
        if (kind.tag == tag) return &kind;
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<CanvasItem> NewItemForTag(const RecordTag& tag) {
    const KindByTag* kind = FindKind(tag);
    return kind != nullptr ? kind->make() : nullptr;
}

std::optional<std::uint64_t> ItemRecordCost(std::span<const std::uint8_t> record) {
    const auto tag = PeekRecordTag(record);
    if (!tag || FindKind(*tag) == nullptr) return std::nullopt;
    ByteReader reader(record);
    const auto header = ReadRecordHeader(reader, *tag, kRecordCommonHeaderSize);
    if (!header) return std::nullopt;
    const Rect& b = header->bounds;
    if (!WithinCoordinateLimit(b.left) || !WithinCoordinateLimit(b.top) || !WithinCoordinateLimit(b.right) ||
        !WithinCoordinateLimit(b.bottom))
        return std::nullopt;
    const std::uint64_t width = std::uint64_t(b.Width());
    const std::uint64_t height = std::uint64_t(b.Height());
    // A picture carries the pixels of its bounds: a record too short for them
    // is damaged, whatever the memory limit.
    if (*tag == kBitmapRecordTag && width * height * 4 > record.size() - header->headerSize) return std::nullopt;
    return ItemMemoryBytes(width, height);
}

CanvasItem* CreateItemFromRecord(ItemList& list, std::span<const std::uint8_t> record, MemoryBudget* budget,
                                 bool compose) {
    auto cost = ItemRecordCost(record);
    if (!cost) return nullptr;
    // A label's size comes from its text and font, not from the stored
    // bounds. Where the budget has no room for the largest label, it is
    // measured and counted before it is drawn: a large font takes long to
    // draw only to be refused.
    static const std::uint64_t kLargestLabel = ItemMemoryBytes(kMaxLabelSide, kMaxLabelSide);
    const bool label = *PeekRecordTag(record) == kLabelRecordTag;
    if (label && budget != nullptr && budget->Remaining() < kLargestLabel + *cost) {
        const std::optional<LabelItem::ImageSize> size = LabelItem::RecordImageSize(record);
        if (!size) return nullptr;
        cost = std::max(*cost, ItemMemoryBytes(std::uint64_t(size->width), std::uint64_t(size->height)));
    }
    if (budget != nullptr && !budget->Take(*cost)) return nullptr;
    std::unique_ptr<CanvasItem> item = NewItemForTag(*PeekRecordTag(record));
    if (!item->LoadRecord(record)) return nullptr;
    if (label && budget != nullptr) {
        // Counted at the size it was drawn at, when it was not measured.
        const CompactImage& image = item->HeldImage();
        const std::uint64_t held = ItemMemoryBytes(std::uint64_t(image.Width()), std::uint64_t(image.Height()));
        if (held > *cost && !budget->Take(held - *cost)) return nullptr;
    }
    return compose ? list.AppendItem(std::move(item)) : list.AppendItemUncomposed(std::move(item));
}

std::optional<std::vector<std::uint8_t>> CopySelectedToBlock(const ItemList& list) {
    const int selected = list.CountSelected();
    if (selected == 0) return std::nullopt;
    try {
        // The table, zero-filled: entries not written stay 0 and end it.
        std::vector<std::uint8_t> block(4 * (std::size_t(selected) + 1), 0);
        ByteWriter writer(block);
        std::size_t entry = 0;
        for (const CanvasItem* item : list.BottomToTop()) {
            if (!item->IsSelected()) continue;
            const auto record = item->SaveRecord();
            if (!record || record->empty()) continue;
            // Offsets are 32-bit: a pack cannot grow past 4 GiB.
            if (block.size() + record->size() > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
            writer.PatchU32(4 * entry++, static_cast<std::uint32_t>(block.size()));
            writer.Bytes(*record);
        }
        if (entry == 0) return std::nullopt;
        return block;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<std::uint64_t> PackEntryCount(std::span<const std::uint8_t> block) {
    ByteReader table(block);
    for (std::uint64_t entries = 0;; ++entries) {
        const std::uint32_t offset = table.U32();
        if (table.Exhausted()) return std::nullopt;
        if (offset == 0) return entries;
    }
}

Status PasteBlock(ItemList& list, std::span<const std::uint8_t> block, const DocumentLimits& limits,
                  std::uint64_t documentBytes) {
    // A pack too long for the frame is refused before anything is made of it.
    const auto entries = PackEntryCount(block);
    if (!entries) return FormatError();
    if (Status fits = CheckItemsFit(limits, std::uint64_t(list.CountItems()), *entries); !fits) return fits;
    MemoryBudget budget(limits.memoryBudget, documentBytes);
    ByteReader table(block);
    try {
        for (;;) {
            const std::uint32_t offset = table.U32();
            if (offset == 0) return budget.Exceeded() ? budget.Refusal() : Status::Ok();
            if (offset >= block.size()) return FormatError();
            // Past the limit the factory makes nothing and only counts, so that
            // the refusal names the whole total.
            CanvasItem* item = CreateItemFromRecord(list, block.subspan(offset), &budget);
            if (item == nullptr) {
                if (budget.Exceeded()) continue;
                return FormatError();
            }
            item->SetSelected(true);
        }
    } catch (const std::bad_alloc&) {
        return Status::Error(std::string(kNotEnoughMemory));
    }
}

}  // namespace vantrel
