#include "core/PackedDib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "core/ByteWriter.h"

namespace vantrel {
namespace {

// A w x h buffer whose pixel (x, y) is base + y * 16 + x, so every pixel is
// distinct and its origin can be read back from the value.
PackedDib Numbered(int w, int h, PixelValue base) {
    PackedDib dib;
    dib.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) dib.Row(y)[x] = base + PixelValue(y * 16 + x);
    return dib;
}

TEST(PackedDib, SizeLifecycle) {
    PackedDib dib;
    EXPECT_FALSE(dib.HasBlock());
    EXPECT_EQ(dib.GetPixel(0, 0), kOpaqueWhite);

    ASSERT_TRUE(dib.SetSize(3, 2));
    EXPECT_EQ(dib.Header().biSizeImage, 24u);
    EXPECT_EQ(dib.Header().biBitCount, 32);
    EXPECT_EQ(dib.GetPixel(2, 1), 0x00000000u);

    dib.FillRect(0x00123456);
    ASSERT_TRUE(dib.SetSize(3, 2));  // same size keeps the pixels
    EXPECT_EQ(dib.GetPixel(1, 1), 0x00123456u);
    ASSERT_TRUE(dib.SetSize(2, 3));  // new size starts black
    EXPECT_EQ(dib.GetPixel(1, 1), 0x00000000u);

    EXPECT_FALSE(dib.SetSize(0, 5));
    EXPECT_FALSE(dib.HasBlock());
    EXPECT_EQ(dib.GetPixel(0, 0), kOpaqueWhite);
    EXPECT_EQ(dib.SizeImage(), 0u);

    EXPECT_FALSE(dib.SetSize(-1, 4));
    EXPECT_FALSE(dib.SetSize(1 << 15, 1 << 15));  // above kMaxPixels
    EXPECT_FALSE(dib.HasBlock());

    ASSERT_TRUE(dib.CreateBlank(2, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(dib.GetPixel(x, y), kTransparentWhite);
}

TEST(PackedDib, GeometryIsBottomUp) {
    PackedDib dib = Numbered(3, 2, 0);
    EXPECT_EQ(dib.GetPixel(0, 0), 0u);
    EXPECT_EQ(dib.GetPixel(-1, 0), kOpaqueWhite);
    EXPECT_EQ(dib.GetPixel(3, 0), kOpaqueWhite);
    EXPECT_EQ(dib.GetPixel(0, 2), kOpaqueWhite);
    // The top-left pixel is the first pixel of the last row of the block.
    const auto bytes = dib.Bytes();
    ASSERT_EQ(bytes.size(), 24u);
    EXPECT_EQ(bytes[12], 0);      // row 0 from the top, stored second
    EXPECT_EQ(bytes[0], 16);      // row 1 from the top, stored first
}

TEST(PackedDib, LockNestsAndGuardsSetPixel) {
    PackedDib dib;
    dib.SetSize(2, 2);
    dib.SetPixel(0, 0, 0x00ABCDEF);  // unlocked: nothing
    EXPECT_EQ(dib.GetPixel(0, 0), 0u);
    ASSERT_TRUE(dib.Lock());
    ASSERT_TRUE(dib.Lock());
    dib.Unlock();
    ASSERT_TRUE(dib.IsLocked());  // still held by the first Lock
    dib.SetPixel(1, 0, 0x00ABCDEF);
    dib.SetPixel(2, 0, 0x00FFFFFF);   // outside: nothing
    dib.SetPixel(-1, 0, 0x00FFFFFF);  // outside: nothing
    EXPECT_EQ(dib.PixelAt(1, 0), 0x00ABCDEFu);
    EXPECT_EQ(dib.GetPixel(1, 0), 0x00ABCDEFu);  // GetPixel keeps the lock
    EXPECT_TRUE(dib.IsLocked());
    dib.Unlock();
    EXPECT_FALSE(dib.IsLocked());

    PackedDib empty;
    EXPECT_FALSE(empty.Lock());
}

TEST(PackedDib, CopyFromAndCopyPixels) {
    const PackedDib src = Numbered(4, 3, 100);
    PackedDib copy;
    copy.CopyFrom(&src);
    ASSERT_EQ(copy.Width(), 4);
    ASSERT_EQ(copy.Height(), 3);
    EXPECT_EQ(copy.GetPixel(3, 2), 100u + 35);
    copy.CopyFrom(nullptr);
    EXPECT_EQ(copy.Width(), 4);

    PackedDib sameBytes;  // 6 x 2 holds as many bytes as 4 x 3
    sameBytes.SetSize(6, 2);
    sameBytes.CopyPixels(src);
    EXPECT_EQ(sameBytes.Bytes()[0], src.Bytes()[0]);
    PackedDib other;
    other.SetSize(2, 2);
    other.CopyPixels(src);  // different byte count: nothing
    EXPECT_EQ(other.GetPixel(0, 0), 0u);
}

TEST(PackedDib, FillRectClipsToTheBuffer) {
    PackedDib dib;
    dib.SetSize(4, 4);
    const Rect r{2, 1, 9, 3};
    dib.FillRect(0x00FF0000, &r);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dib.GetPixel(x, y), (x >= 2 && y >= 1 && y < 3) ? 0x00FF0000u : 0u) << x << "," << y;
}

// Where a 3 x 3 source placed at (x, y) on a 5 x 4 destination lands.
struct ClipCase {
    const char* name;
    int x, y;
};

class BlitClip : public ::testing::TestWithParam<ClipCase> {};

TEST_P(BlitClip, CopiesExactlyTheOverlap) {
    const auto [name, ox, oy] = GetParam();
    const PackedDib src = Numbered(3, 3, 0x00010000);
    PackedDib dest;
    dest.SetSize(5, 4);
    dest.FillRect(0x00777777);
    PackedDib blended;
    blended.CopyFrom(&dest);
    src.BlitTo(dest, ox, oy);
    src.BlendOnto(blended, ox, oy);  // opaque source: blending copies too
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            const int sx = x - ox, sy = y - oy;
            const bool inside = sx >= 0 && sx < 3 && sy >= 0 && sy < 3;
            const PixelValue want = inside ? 0x00010000 + PixelValue(sy * 16 + sx) : 0x00777777;
            EXPECT_EQ(dest.GetPixel(x, y), want) << name << " at " << x << "," << y;
            EXPECT_EQ(blended.GetPixel(x, y), want) << name << " blend at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    EdgesAndCorners, BlitClip,
    ::testing::Values(ClipCase{"inside", 1, 1}, ClipCase{"left", -2, 0}, ClipCase{"right", 4, 0},
                      ClipCase{"top", 1, -2}, ClipCase{"bottom", 1, 3}, ClipCase{"topleft", -1, -1},
                      ClipCase{"topright", 3, -1}, ClipCase{"bottomleft", -2, 2},
                      ClipCase{"bottomright", 4, 3}, ClipCase{"outside", 5, 0},
                      ClipCase{"outsideabove", 0, -3}, ClipCase{"far", -100000, 100000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PackedDib, BlendArithmetic) {
    struct Case {
        PixelValue src, dest, want;
    };
    const Case cases[] = {
        // Fully transparent source leaves the destination alone.
        {0xFF102030, 0x00405060, 0x00405060},
        {0xFF102030, 0x80405060, 0x80405060},
        // Opaque source replaces the destination and makes it opaque.
        {0x00102030, 0x00405060, 0x00102030},
        {0x00102030, 0xFF405060, 0x00102030},
        // T = 128 over opaque: (d * 128 + s * 127) / 255 per channel, stays opaque.
        {0x80FF0000, 0x000000FF, 0x007F0080},
        {0x80646464, 0x00C8C8C8, 0x00969696},  // (200*128 + 100*127) / 255 = 150
        // T = 128 over fully transparent: takes the source colour and transparency.
        {0x80FF0000, 0xFF0000FF, 0x80FF0000},
        // T = 128 over T = 128: wd = (127 * 128) / 255 = 63, ws = 127,
        // t = 128 - (127 * 128) / 255 = 65.
        {0x80FF0000, 0x800000FF, (65u << 24) | (((255u * 127) / 190) << 16) | ((255u * 63) / 190)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BlendPixel(c.src, c.dest), c.want) << std::hex << c.src << " over " << c.dest;
        PackedDib s, d;
        s.SetSize(1, 1);
        d.SetSize(1, 1);
        s.FillRect(c.src);
        d.FillRect(c.dest);
        s.BlendOnto(d, 0, 0);
        EXPECT_EQ(d.GetPixel(0, 0), c.want);
    }
}

TEST(PackedDib, ResampleAreaWeights) {
    // 3 x 1 to 2 x 1: each output pixel covers 1.5 source pixels.
    PackedDib dib;
    dib.SetSize(3, 1);
    dib.Row(0)[0] = 0x00000000;
    dib.Row(0)[1] = 0x00000064;  // blue 100
    dib.Row(0)[2] = 0x000000C8;  // blue 200
    dib.Resample(2, 1);
    ASSERT_EQ(dib.Width(), 2);
    // (0 * 1 + 100 * 0.5) / 1.5 = 33.33 -> 33; (100 * 0.5 + 200 * 1) / 1.5 = 166.67 -> 167
    EXPECT_EQ(dib.GetPixel(0, 0), 33u);
    EXPECT_EQ(dib.GetPixel(1, 0), 167u);

    // 0.49, not 0.5: an average of exactly .5 rounds down.
    PackedDib half;
    half.SetSize(2, 1);
    half.Row(0)[0] = 0x01000000;  // T = 1
    half.Row(0)[1] = 0x02000000;  // T = 2
    half.Resample(1, 1);
    EXPECT_EQ(half.GetPixel(0, 0), 0x01000000u);  // T averaged like a colour: 1.5 + 0.49 -> 1

    // A run of equal pixels resamples to the same value, up and down.
    PackedDib flat;
    flat.SetSize(7, 5);
    flat.FillRect(0x80A0B0C0);
    flat.Resample(3, 11);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(flat.GetPixel(x, y), 0x80A0B0C0u);

    // Nothing on an empty buffer or to an empty size.
    PackedDib empty;
    empty.Resample(4, 4);
    EXPECT_FALSE(empty.HasBlock());
    flat.Resample(0, 4);
    EXPECT_EQ(flat.Width(), 3);
    EXPECT_EQ(flat.GetPixel(0, 0), 0x80A0B0C0u);
}

TEST(PackedDib, ResampleUpDuplicatesPixels) {
    PackedDib dib = Numbered(2, 2, 0x00100000);
    dib.Resample(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dib.GetPixel(x, y), 0x00100000u + PixelValue((y / 2) * 16 + x / 2));
}

// Builds a packed DIB: header, colour table or masks, rows as given (bottom-up).
std::vector<std::uint8_t> MakeDib(int w, int h, int bits, std::uint32_t compression,
                                  const std::vector<std::uint32_t>& table,
                                  const std::vector<std::uint8_t>& rows, std::uint32_t clrUsed = 0) {
    std::vector<std::uint8_t> out;
    ByteWriter writer(out);
    writer.U32(40).I32(w).I32(h).U16(1).U16(std::uint16_t(bits)).U32(compression);
    writer.U32(std::uint32_t(rows.size())).I32(0).I32(0).U32(clrUsed).U32(0);
    for (auto entry : table) writer.U32(entry);
    writer.Bytes(rows);
    return out;
}

TEST(PackedDib, LoadPackedDibDepths) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> dib;
        int w, h;
        std::vector<PixelValue> want;  // top-down
    };
    const std::vector<Case> cases = {
        // 1 bit, width 9: rows of 4 bytes; bottom row first.
        {"1bit", MakeDib(9, 2, 1, 0, {0x00000000, 0x00FFFFFF},
                         {0x80, 0x80, 0, 0,    /* bottom: x=0, x=8 set */
                          0x55, 0x00, 0, 0}),  /* top: x=1,3,5,7 set */
         9, 2,
         {0, 0x00FFFFFF, 0, 0x00FFFFFF, 0, 0x00FFFFFF, 0, 0x00FFFFFF, 0,
          0x00FFFFFF, 0, 0, 0, 0, 0, 0, 0, 0x00FFFFFF}},
        // 4 bit, 3 colours used, width 3: rows of 4 bytes.
        {"4bit", MakeDib(3, 1, 4, 0, {0x00112233, 0x00445566, 0x00778899}, {0x12, 0x00, 0, 0}, 3), 3, 1,
         {0x00445566, 0x00778899, 0x00112233}},
        // 8 bit, width 5: rows padded to 8 bytes; RGBQUAD reserved byte ignored.
        {"8bit", MakeDib(5, 1, 8, 0, {0xAA0000FF, 0x0000FF00}, {1, 0, 1, 0, 1, 9, 9, 9}, 2), 5, 1,
         {0x0000FF00, 0x000000FF, 0x0000FF00, 0x000000FF, 0x0000FF00}},
        // 16 bit 5-5-5, width 3: rows padded to 8 bytes. 0x7C00 red, 0x03E0 green, 0x001F blue.
        {"16bit555", MakeDib(3, 1, 16, 0, {}, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xEE, 0xEE}), 3, 1,
         {0x00FF0000, 0x0000FF00, 0x000000FF}},
        // 16 bit bit fields 5-6-5: white is 0xFFFF; 0x0400 is green 32 of 63 -> 129.
        {"16bit565", MakeDib(2, 1, 16, 3, {0xF800, 0x07E0, 0x001F}, {0xFF, 0xFF, 0x00, 0x04}), 2, 1,
         {0x00FFFFFF, 0x00008100}},
        // 24 bit, width 5: rows of 16 bytes; bytes blue, green, red.
        {"24bit", MakeDib(5, 1, 24, 0, {}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0}), 5, 1,
         {0x00030201, 0x00060504, 0x00090807, 0x000C0B0A, 0x000F0E0D}},
        // 32 bit keeps the fourth byte as T.
        {"32bit", MakeDib(2, 1, 32, 0, {}, {1, 2, 3, 4, 5, 6, 7, 8}), 2, 1, {0x04030201, 0x08070605}},
    };
    for (const auto& c : cases) {
        PackedDib dib;
        ASSERT_TRUE(dib.LoadPackedDib(c.dib)) << c.name;
        ASSERT_EQ(dib.Width(), c.w) << c.name;
        ASSERT_EQ(dib.Height(), c.h) << c.name;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x)
                EXPECT_EQ(dib.GetPixel(x, y), c.want[std::size_t(y * c.w + x)])
                    << c.name << " at " << x << "," << y;

        // Every block one byte short of the rows loads nothing and keeps the old picture.
        PackedDib kept;
        kept.SetSize(1, 1);
        kept.FillRect(0x00ABCDEF);
        for (std::size_t cut = 0; cut < c.dib.size(); ++cut) {
            EXPECT_FALSE(kept.LoadPackedDib(std::span(c.dib.data(), cut))) << c.name << " cut " << cut;
        }
        EXPECT_EQ(kept.GetPixel(0, 0), 0x00ABCDEFu) << c.name;
    }
}

TEST(PackedDib, LoadPackedDibRefusesUnsupportedForms) {
    const std::vector<std::uint8_t> rows(64, 0);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> dib;
    };
    std::vector<Case> cases = {
        {"topdown", MakeDib(2, -2, 32, 0, {}, rows)},
        {"zerowidth", MakeDib(0, 2, 32, 0, {}, rows)},
        {"rle8", MakeDib(2, 2, 8, 1, {}, rows)},
        {"depth7", MakeDib(2, 2, 7, 0, {}, rows)},
        {"hugeclrused", MakeDib(2, 2, 8, 0, {}, rows, 100000)},
        {"huge", MakeDib(1 << 20, 1 << 20, 32, 0, {}, rows)},
    };
    auto longHeader = MakeDib(2, 2, 32, 0, {}, rows);
    longHeader[0] = 124;  // a V5 header is not read
    cases.push_back({"v5header", longHeader});
    for (const auto& c : cases) {
        PackedDib dib;
        EXPECT_FALSE(dib.LoadPackedDib(c.dib)) << c.name;
        EXPECT_FALSE(dib.HasBlock()) << c.name;
    }
}

// Every operation that writes leaves a buffer sharing the block unchanged.
TEST(PackedDib, SharedBlockIsCopiedBeforeAnyWrite) {
    const struct {
        const char* name;
        void (*write)(PackedDib&);
    } writers[] = {
        {"Row", [](PackedDib& d) { d.Row(1)[2] = 0x123456; }},
        {"Bytes", [](PackedDib& d) { d.Bytes()[0] = 0x77; }},
        {"Lock+SetPixel", [](PackedDib& d) { d.Lock(); d.SetPixel(0, 0, 7); d.Unlock(); }},
        {"FillBytes", [](PackedDib& d) { d.FillBytes(0xAB); }},
        {"FillRect part", [](PackedDib& d) { const Rect r{1, 1, 2, 2}; d.FillRect(9, &r); }},
        {"FillRect all", [](PackedDib& d) { d.FillRect(9); }},
        {"CopyPixels", [](PackedDib& d) { d.CopyPixels(Numbered(4, 3, 500)); }},
        {"CopyFrom", [](PackedDib& d) { const PackedDib other = Numbered(4, 3, 900); d.CopyFrom(&other); }},
        {"BlitTo target", [](PackedDib& d) { Numbered(2, 2, 40).BlitTo(d, 1, 1); }},
        {"BlendOnto target", [](PackedDib& d) { Numbered(2, 2, 40).BlendOnto(d, 0, 0); }},
        {"DetachForOverwrite", [](PackedDib& d) { d.DetachForOverwrite(); d.Row(0)[0] = 1; }},
    };
    for (const auto& w : writers) {
        SCOPED_TRACE(w.name);
        for (bool writeTheSharer : {true, false}) {
            PackedDib original = Numbered(4, 3, 100);
            PackedDib sharer;
            sharer.ShareFrom(original);
            ASSERT_TRUE(sharer.SharesBlockWith(original));
            const std::vector<std::uint8_t> before(original.Bytes().begin(), original.Bytes().end());
            PackedDib& written = writeTheSharer ? sharer : original;
            const PackedDib& kept = writeTheSharer ? original : sharer;
            w.write(written);
            EXPECT_FALSE(written.SharesBlockWith(kept));
            const auto bytes = std::as_const(kept).Bytes();
            EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), before.begin(), before.end()));
        }
    }
}

TEST(PackedDib, LockedBuffersAreCopiedNotShared) {
    PackedDib original = Numbered(3, 2, 1);
    ASSERT_TRUE(original.Lock());
    PackedDib sharer;
    sharer.ShareFrom(original);
    EXPECT_FALSE(sharer.SharesBlockWith(original));
    original.SetPixel(0, 0, 42);
    EXPECT_EQ(sharer.GetPixel(0, 0), Numbered(3, 2, 1).GetPixel(0, 0));
    original.Unlock();
}

TEST(PackedDib, OpaqueMeansNoTransparencyByteAnywhere) {
    for (int count : {1, 63, 64, 65, 200}) {
        PackedDib dib = Numbered(count, 1, 0);
        EXPECT_TRUE(dib.IsOpaque()) << count;
        dib.Row(0)[count - 1] |= 0x01000000;
        EXPECT_FALSE(dib.IsOpaque()) << count;
    }
    EXPECT_FALSE(PackedDib{}.IsOpaque());
}

TEST(PackedDib, MoveHandsOverTheBlock) {
    PackedDib a = Numbered(2, 2, 7);
    PackedDib b(std::move(a));
    EXPECT_FALSE(a.HasBlock());  // NOLINT(bugprone-use-after-move): checking the moved-from state
    EXPECT_EQ(a.Width(), 0);
    EXPECT_EQ(b.GetPixel(1, 1), 7u + 17);
}

}  // namespace
}  // namespace vantrel
