#pragma once
// Reading and patching little-endian fields of item records (and of any
// other byte vector) in tests.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "document/CanvasItem.h"

namespace vantrel::test {

// A reader standing at offset at of record.
inline ByteReader ReaderAt(const ItemRecord& record, std::size_t at) {
    return ByteReader(std::span<const std::uint8_t>(record).subspan(at));
}

inline std::uint32_t PeekU32(const ItemRecord& record, std::size_t at) { return ReaderAt(record, at).U32(); }

inline double PeekF64(const ItemRecord& record, std::size_t at) { return ReaderAt(record, at).F64(); }

inline void PokeU32(ItemRecord& record, std::size_t at, std::uint32_t value) { ByteWriter(record).PatchU32(at, value); }

inline void PokeF64(ItemRecord& record, std::size_t at, double value) { ByteWriter(record).PatchF64(at, value); }

// A field of a good record overwritten with a value the reader must refuse.
template <typename Value>
struct RecordDamage {
    const char* name;
    std::size_t at;
    Value value;
};
using U32Damage = RecordDamage<std::uint32_t>;
using F64Damage = RecordDamage<double>;

inline void Poke(ItemRecord& record, std::size_t at, std::uint32_t value) { PokeU32(record, at, value); }
inline void Poke(ItemRecord& record, std::size_t at, double value) { PokeF64(record, at, value); }

// A fresh Item refuses every record shorter than good.
template <typename Item>
void ExpectEveryCutRefused(const ItemRecord& good) {
    for (std::size_t size = 0; size < good.size(); ++size) {
        const ItemRecord cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
        Item target;
        EXPECT_FALSE(target.LoadRecord(cut)) << "cut at " << size;
    }
}

// A fresh Item refuses good with any one of the damages applied.
template <typename Item, typename Value, std::size_t N>
void ExpectDamagesRefused(const ItemRecord& good, const RecordDamage<Value> (&damages)[N]) {
    for (const RecordDamage<Value>& d : damages) {
        ItemRecord damaged = good;
        Poke(damaged, d.at, d.value);
        Item target;
        EXPECT_FALSE(target.LoadRecord(damaged)) << d.name;
    }
}

}  // namespace vantrel::test
