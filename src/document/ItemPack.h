#pragma once
// Item records turned back into items, and item packs.
//
// The item factory makes the item a record's tag names and lets it read the
// record; document files and pasting both use it. Records come from outside
// (files, the clipboard), so the factory checks the common header and what
// the item would cost in memory before anything is made.
//
// An item pack holds the selected items of a list as one block: an offset
// table (one 32-bit little-endian offset per record, bottom-most item first,
// then a 0 entry) followed by the records, each appended after the previous.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "core/Status.h"
#include "document/CanvasItem.h"
#include "document/DocumentMemory.h"
#include "document/Importers.h"
#include "document/ItemList.h"

namespace vantrel {

// Item bounds read from a record must lie within this distance of the work
// area's origin on every side, so that moving, zooming and composing them
// stays far from integer overflow.
inline constexpr int kMaxItemCoordinate = 1 << 20;

// The memory an item read from this record holds (image and composite of its
// bounds, plus bookkeeping), or none when the record cannot be an item: its
// tag is none of the four, it is shorter than its common header, its header
// size lies outside the record, its bounds are reversed or lie beyond
// kMaxItemCoordinate, or it is a picture too short for the pixels of its bounds.
std::optional<std::uint64_t> ItemRecordCost(std::span<const std::uint8_t> record);

// A new item of the kind the tag names ("DIBM", "RECT", "ELPS", "LABL"), not
// yet read; null for any other tag.
std::unique_ptr<CanvasItem> NewItemForTag(const RecordTag& tag);

// The item factory: makes the item the record names, lets it read the record,
// appends it on top of list and returns it. Null, leaving list as it was, when
// the record cannot be an item (see ItemRecordCost), the item refuses the
// record, or the item would not fit in budget (when one is given; its cost is
// counted all the same, and once the budget is passed nothing more is made).
// With compose false the item's composite is left for the caller to build (a
// loader linking a whole list builds them all at once).
CanvasItem* CreateItemFromRecord(ItemList& list, std::span<const std::uint8_t> record,
                                 MemoryBudget* budget = nullptr, bool compose = true);

// Packs the records of the selected items, bottom-most first. None when
// nothing is selected, when no selected item yields a record, or when memory
// runs out. An item that yields no record gets no table entry.
std::optional<std::vector<std::uint8_t>> CopySelectedToBlock(const ItemList& list);

// The number of table entries before the first 0; none when the table runs
// past the block.
std::optional<std::uint64_t> PackEntryCount(std::span<const std::uint8_t> block);

// Unpacks a block: for each table entry up to the first 0, the record at
// that offset becomes a new item appended on top of list and selected. A
// table that runs past the block, a record that does not fit in it, an
// unknown tag or a damaged record ends unpacking with kUnexpectedFileFormat.
// A pack with more entries than list can take (limits.itemsPerFrame) is
// refused, naming both numbers, before anything is made; a document (holding
// documentBytes, see MemoryOf) that would pass limits.memoryBudget is refused
// with the total it would need. The items made before a failure stay. The
// caller clears the selection beforehand if it wants only the pasted items
// selected.
Status PasteBlock(ItemList& list, std::span<const std::uint8_t> block, const DocumentLimits& limits = {},
                  std::uint64_t documentBytes = 0);

}  // namespace vantrel
