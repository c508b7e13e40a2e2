#include "document/ItemRecordIO.h"

#include <cstring>
#include <string_view>

namespace vantrel {

void PutRecordHeader(ByteWriter& out, const RecordTag& tag, std::uint32_t headerSize, const Rect& bounds) {
    out.Text(std::string_view(tag.data(), tag.size())).U32(headerSize);
    out.I32(bounds.left).I32(bounds.top).I32(bounds.right).I32(bounds.bottom);
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
