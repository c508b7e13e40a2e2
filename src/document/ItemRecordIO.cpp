#include "document/ItemRecordIO.h"

#include <bit>
#include <cstring>

namespace vantrel {

void PutU32(ItemRecord& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutF64(ItemRecord& out, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    PutU32(out, static_cast<std::uint32_t>(bits));
    PutU32(out, static_cast<std::uint32_t>(bits >> 32));
}

void PutRecordHeader(ItemRecord& out, const RecordTag& tag, std::uint32_t headerSize, const Rect& bounds) {
    for (char c : tag) out.push_back(static_cast<std::uint8_t>(c));
    PutU32(out, headerSize);
    PutI32(out, bounds.left);
    PutI32(out, bounds.top);
    PutI32(out, bounds.right);
    PutI32(out, bounds.bottom);
}

std::optional<ItemRecordHeader> ReadRecordHeader(ByteReader& reader, const RecordTag& expected,
                                                 std::uint32_t minHeaderSize) {
    ItemRecordHeader header;
    reader.Read(header.tag.data(), header.tag.size());
    header.headerSize = reader.U32();
    header.bounds.left = reader.I32();
    header.bounds.top = reader.I32();
    header.bounds.right = reader.I32();
    header.bounds.bottom = reader.I32();
    if (reader.Exhausted() || header.tag != expected) return std::nullopt;
    if (header.headerSize < minHeaderSize || header.headerSize > reader.Size()) return std::nullopt;
    const Rect& b = header.bounds;
    for (int edge : {b.left, b.top, b.right, b.bottom}) {
        if (edge < -kMaxRecordCoordinate || edge > kMaxRecordCoordinate) return std::nullopt;
    }
    if (b.right < b.left || b.bottom < b.top) return std::nullopt;
    return header;
}

std::optional<RecordTag> PeekRecordTag(std::span<const std::uint8_t> record) {
    RecordTag tag{};
    if (record.size() < tag.size()) return std::nullopt;
    std::memcpy(tag.data(), record.data(), tag.size());
    return tag;
}

}  // namespace vantrel
