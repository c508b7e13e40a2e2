#pragma once
// Reading and patching little-endian fields of item records in tests.

#include <bit>
#include <cstddef>
#include <cstdint>

#include "document/CanvasItem.h"

namespace vantrel::test {

inline std::uint32_t PeekU32(const ItemRecord& record, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | record[at + i];
    return value;
}

inline double PeekF64(const ItemRecord& record, std::size_t at) {
    return std::bit_cast<double>(std::uint64_t{PeekU32(record, at)} | (std::uint64_t{PeekU32(record, at + 4)} << 32));
}

inline void PokeU32(ItemRecord& record, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) record[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void PokeF64(ItemRecord& record, std::size_t at, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    PokeU32(record, at, static_cast<std::uint32_t>(bits));
    PokeU32(record, at + 4, static_cast<std::uint32_t>(bits >> 32));
}

}  // namespace vantrel::test
