#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"

namespace vantrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Each value, the bytes it is written as, and whether reading them back
// gives the value again.
struct Field {
    const char* name;
    std::function<void(ByteWriter&)> write;
    Bytes expected;
    std::function<bool(ByteReader&)> readsBack;
};

TEST(ByteIOTest, NumbersAreWrittenLowByteFirstAndReadBack) {
    const Field fields[] = {
        {"u8", [](ByteWriter& w) { w.U8(0xAB); }, {0xAB}, [](ByteReader& r) { return r.U8() == 0xAB; }},
        {"u16", [](ByteWriter& w) { w.U16(0x1234); }, {0x34, 0x12}, [](ByteReader& r) { return r.U16() == 0x1234; }},
        {"u32", [](ByteWriter& w) { w.U32(0xDEADBEEF); }, {0xEF, 0xBE, 0xAD, 0xDE},
         [](ByteReader& r) { return r.U32() == 0xDEADBEEF; }},
        {"i32 -2", [](ByteWriter& w) { w.I32(-2); }, {0xFE, 0xFF, 0xFF, 0xFF},
         [](ByteReader& r) { return r.I32() == -2; }},
        // 1.0 is 0x3FF0000000000000; -2.5 is 0xC004000000000000.
        {"f64 1.0", [](ByteWriter& w) { w.F64(1.0); }, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F},
         [](ByteReader& r) { return r.F64() == 1.0; }},
        {"f64 -2.5", [](ByteWriter& w) { w.F64(-2.5); }, {0, 0, 0, 0, 0, 0, 0x04, 0xC0},
         [](ByteReader& r) { return r.F64() == -2.5; }},
        {"text", [](ByteWriter& w) { w.Text("GIF"); }, {'G', 'I', 'F'},
         [](ByteReader& r) { return r.U8() == 'G' && r.U8() == 'I' && r.U8() == 'F'; }},
        {"bytes", [](ByteWriter& w) { w.Bytes(Bytes{9, 0, 7}); }, {9, 0, 7},
         [](ByteReader& r) { return r.U8() == 9 && r.U8() == 0 && r.U8() == 7; }},
        {"zeros", [](ByteWriter& w) { w.Zeros(3); }, {0, 0, 0}, [](ByteReader& r) { return r.Skip(3); }},
    };
    for (const Field& f : fields) {
        SCOPED_TRACE(f.name);
        // Written after a byte already there, which stays as it was.
        Bytes out{0x55};
        ByteWriter writer(out);
        f.write(writer);
        EXPECT_EQ(writer.Size(), 1 + f.expected.size());
        EXPECT_EQ(Bytes(out.begin() + 1, out.end()), f.expected);
        EXPECT_EQ(out[0], 0x55);

        ByteReader reader(f.expected);
        EXPECT_TRUE(f.readsBack(reader));
        EXPECT_TRUE(reader.AtEnd());
        EXPECT_FALSE(reader.Exhausted());
    }
}

TEST(ByteIOTest, WritesChainInOrder) {
    Bytes out;
    ByteWriter(out).U8(1).U16(0x0302).U32(0x07060504);
    EXPECT_EQ(out, (Bytes{1, 2, 3, 4, 5, 6, 7}));
}

TEST(ByteIOTest, PatchesOverwriteOnlyTheirOwnBytes) {
    Bytes out(14, 0xEE);
    ByteWriter writer(out);
    writer.PatchU32(1, 0x04030201);
    writer.PatchF64(6, 1.0);
    EXPECT_EQ(out, (Bytes{0xEE, 1, 2, 3, 4, 0xEE, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    EXPECT_EQ(writer.Size(), 14u);
}

TEST(ByteIOTest, ADoubleCutShortReadsAsExhausted) {
    const Bytes seven = {0, 0, 0, 0, 0, 0, 0xF0};
    ByteReader reader(seven);
    reader.F64();
    EXPECT_TRUE(reader.Exhausted());
    EXPECT_TRUE(reader.AtEnd());
}

}  // namespace
}  // namespace vantrel
