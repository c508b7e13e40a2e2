#pragma once
// Reading and writing the common header every item record starts with:
// four-character tag, header size (u32), bounds (four i32), little-endian.

#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <span>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/Geometry.h"
#include "document/CanvasItem.h"

namespace vantrel {

// Bounds read from a record must lie within this distance of the work area's
// origin; nothing the editor makes comes near it, and it keeps every later
// sum of coordinates far from overflow.
inline constexpr int kMaxRecordCoordinate = 1 << 20;

struct ItemRecordHeader {
    RecordTag tag{};
    std::uint32_t headerSize = 0;
    Rect bounds;
};

// Appends tag, header size and bounds to a record under construction.
void PutRecordHeader(ByteWriter& out, const RecordTag& tag, std::uint32_t headerSize, const Rect& bounds);

// A whole record: room for expectedSize bytes, the common header, then what
// putFields(ByteWriter&) appends. None when memory runs out: the writers
// skip an item they cannot hold.
template <typename PutFields>
std::optional<ItemRecord> BuildRecord(const RecordTag& tag, std::uint32_t headerSize, const Rect& bounds,
                                      std::size_t expectedSize, PutFields putFields) {
    try {
        ItemRecord record;
        record.reserve(expectedSize);
        ByteWriter writer(record);
        PutRecordHeader(writer, tag, headerSize, bounds);
        putFields(writer);
        return record;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

// Reads the common header. None when the record is shorter than it, when its
// tag is not expected, when the header size is below minHeaderSize or above
// the record's length, or when the bounds are reversed or out of range.
std::optional<ItemRecordHeader> ReadRecordHeader(ByteReader& reader, const RecordTag& expected,
                                                 std::uint32_t minHeaderSize);

// The tag a record starts with, or none when it is shorter than a tag.
std::optional<RecordTag> PeekRecordTag(std::span<const std::uint8_t> record);

}  // namespace vantrel
