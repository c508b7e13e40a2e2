// Pictures held as runs against the same pictures held in full: every
// reader gives the full form's pixels (PackedDib's own operations are the
// oracle), writes give the full form first, and the runs are chosen only
// where they take at most half the bytes.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/CompactImage.h"
#include "core/PackedDib.h"

namespace vantrel {
namespace {

constexpr PixelValue kClear = 0xFF102030;      // fully transparent, the fill
constexpr PixelValue kUndecoded = 0xFFFFFFFF;  // another fully transparent value
constexpr PixelValue kMarker = 0x5A5A5A5A;     // what a destination held before

PackedDib Picture(int width, int height, const std::function<PixelValue(int, int)>& pixel) {
    PackedDib image;
    EXPECT_TRUE(image.SetSize(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.Row(y)[x] = pixel(x, y);
    return image;
}

std::vector<std::uint8_t> BytesOf(const PackedDib& image) {
    const auto bytes = image.Bytes();
    return {bytes.begin(), bytes.end()};
}

// A pixel value that differs with its place, opaque or half transparent.
PixelValue Ink(int x, int y) { return (std::uint32_t(x * 7 + y * 13) & 0x00FFFFFF) | (((x + y) % 3 == 0) ? 0x80000000 : 0); }

struct Shape {
    std::string name;
    int width;
    int height;
    std::function<PixelValue(int, int)> pixel;
    bool sparse;  // whether the runs take at most half the bytes
};

std::vector<Shape> Shapes() {
    return {
        {"all transparent", 40, 30, [](int, int) { return kClear; }, true},
        {"all opaque", 40, 30, [](int x, int y) { return Ink(x, y) & 0x00FFFFFF; }, false},
        {"scattered", 97, 41,
         [](int x, int y) { return (std::uint32_t(x * 2654435761u + y * 40503u) >> 27) == 0 ? Ink(x, y) : kClear; },
         true},
        {"runs at row edges", 50, 20,
         [](int x, int y) { return x < y % 4 || x >= 50 - y % 3 ? Ink(x, y) : kClear; }, true},
        {"whole rows among clear ones", 30, 30, [](int x, int y) { return y % 5 == 2 ? Ink(x, y) : kClear; }, true},
        {"two transparent values", 60, 10, [](int x, int y) { return x + y * 60 >= 450 ? kUndecoded : kClear; }, true},
        {"1 x 1", 1, 1, [](int, int) { return kClear; }, false},
        {"width 1200", 1200, 3, [](int x, int y) { return x % 97 == y ? Ink(x, y) : kClear; }, true},
        // runs that would save a little, not half: the full form stays
        {"half the rows inked", 40, 30, [](int x, int y) { return y % 2 == 0 ? Ink(x, y) : kClear; }, false},
        {"mostly opaque", 40, 30, [](int x, int y) { return x == 3 && y == 4 ? kClear : Ink(x, y); }, false},
    };
}

// A held copy of image, kept as runs where that pays.
CompactImage Compacted(const PackedDib& image) {
    PackedDib copy;
    copy.CopyFrom(&image);
    CompactImage held(std::move(copy));
    held.Compact();
    return held;
}

TEST(CompactImageTest, RunsAreChosenOnlyWhereTheyHalveTheBytes) {
    for (const Shape& shape : Shapes()) {
        const PackedDib full = Picture(shape.width, shape.height, shape.pixel);
        const CompactImage held = Compacted(full);
        EXPECT_EQ(held.IsSparse(), shape.sparse) << shape.name;
        EXPECT_EQ(held.Width(), shape.width) << shape.name;
        EXPECT_EQ(held.Height(), shape.height) << shape.name;
        EXPECT_EQ(held.SizeImage(), full.SizeImage()) << shape.name;
        EXPECT_TRUE(held.HasBlock()) << shape.name;
        if (shape.sparse) {
            EXPECT_LE(held.HeldBytes(), full.SizeImage() / 2) << shape.name;
        } else {
            EXPECT_EQ(held.HeldBytes(), full.SizeImage()) << shape.name;
        }
    }
}

TEST(CompactImageTest, EveryReaderGivesTheFullFormsPixels) {
    for (const Shape& shape : Shapes()) {
        const PackedDib full = Picture(shape.width, shape.height, shape.pixel);
        const CompactImage held = Compacted(full);
        const int w = shape.width;
        const int h = shape.height;

        // pixels, inside and around the picture
        for (int y = -1; y <= h; ++y)
            for (int x = -1; x <= w; ++x)
                ASSERT_EQ(held.GetPixel(x, y), full.GetPixel(x, y)) << shape.name << " " << x << "," << y;
        // whole rows
        CompactImage::RowReader rows(held);
        for (int y = 0; y < h; ++y) {
            const PixelValue* row = rows.Row(y);
            ASSERT_EQ(std::vector<PixelValue>(row, row + w), std::vector<PixelValue>(full.Row(y), full.Row(y) + w))
                << shape.name << " row " << y;
        }
        // a copy in full, and the picture itself left as it was held
        EXPECT_EQ(BytesOf(held.Copy()), BytesOf(full)) << shape.name;
        EXPECT_EQ(held.IsSparse(), shape.sparse) << shape.name;
        // blits and blends, placed inside, across each edge and outside
        const std::vector<std::pair<int, int>> places{{0, 0}, {3, 2}, {-5, -1}, {w - 2, h - 1}, {-w, 0}, {7, -h + 1}};
        for (const auto& [x, y] : places) {
            PackedDib expected = Picture(w + 6, h + 4, [](int, int) { return kMarker; });
            PackedDib got = Picture(w + 6, h + 4, [](int, int) { return kMarker; });
            full.BlitTo(expected, x, y);
            held.BlitTo(got, x, y);
            ASSERT_EQ(BytesOf(got), BytesOf(expected)) << shape.name << " blit at " << x << "," << y;
            full.BlendOnto(expected, x, y);
            held.BlendOnto(got, x, y);
            ASSERT_EQ(BytesOf(got), BytesOf(expected)) << shape.name << " blend at " << x << "," << y;
        }
        // opacity, of the whole and of parts
        EXPECT_EQ(held.IsOpaque(), full.IsOpaque()) << shape.name;
        for (const Rect& r : {Rect{0, 0, w, h}, Rect{1, 1, 3, 2}, Rect{w - 1, 0, w + 4, 1}, Rect{0, h - 1, 2, h}})
            EXPECT_EQ(held.IsOpaqueIn(r), full.IsOpaqueIn(r)) << shape.name << " " << r.left << "," << r.top;
    }
}

TEST(CompactImageTest, FullFormRoundTripsAndStaysFull) {
    for (const Shape& shape : Shapes()) {
        const PackedDib full = Picture(shape.width, shape.height, shape.pixel);
        const CompactImage held = Compacted(full);
        EXPECT_EQ(BytesOf(held.Full()), BytesOf(full)) << shape.name;
        EXPECT_FALSE(held.IsSparse()) << shape.name;
        EXPECT_EQ(held.HeldBytes(), full.SizeImage()) << shape.name;
    }
}

TEST(CompactImageTest, AWriteGivesTheFullFormAndLeavesSharersAlone) {
    const Shape shape = Shapes()[2];  // scattered
    const PackedDib full = Picture(shape.width, shape.height, shape.pixel);
    CompactImage written = Compacted(full);
    ASSERT_TRUE(written.IsSparse());
    CompactImage sharer;
    sharer.ShareFrom(written);
    EXPECT_TRUE(sharer.IsSparse());

    written.Row(5)[7] = 0x00ABCDEF;
    const Rect corner{0, 0, 2, 2};
    written.FillRect(0x00010203, &corner);
    EXPECT_FALSE(written.IsSparse());

    PackedDib expected;
    expected.CopyFrom(&full);
    expected.Row(5)[7] = 0x00ABCDEF;
    expected.FillRect(0x00010203, &corner);
    EXPECT_EQ(BytesOf(written.Full()), BytesOf(expected));
    // The runs another picture shares are never written.
    EXPECT_TRUE(sharer.IsSparse());
    EXPECT_EQ(BytesOf(sharer.Copy()), BytesOf(full));

    // Compacting again gives runs of the written pixels.
    written.Compact();
    EXPECT_TRUE(written.IsSparse());
    EXPECT_EQ(BytesOf(written.Copy()), BytesOf(expected));
}

TEST(CompactImageTest, SharingAFullPictureSharesItsBlockUntilAWrite) {
    const PackedDib full = Picture(8, 4, [](int x, int y) { return Ink(x, y) & 0x00FFFFFF; });
    CompactImage a = Compacted(full);
    ASSERT_FALSE(a.IsSparse());
    CompactImage b;
    b.ShareFrom(a);
    EXPECT_TRUE(b.SharesBlockWith(a.Full()));
    b.Row(0)[0] = 0x00FFFFFF;
    EXPECT_FALSE(b.SharesBlockWith(a.Full()));
    EXPECT_EQ(a.GetPixel(0, 0), full.GetPixel(0, 0));
    // Runs share no block with anything.
    CompactImage runs = Compacted(Picture(40, 30, [](int, int) { return kClear; }));
    ASSERT_TRUE(runs.IsSparse());
    PackedDib other = runs.Copy();
    EXPECT_FALSE(runs.SharesBlockWith(other));
}

TEST(CompactImageTest, SetSizeKeepsThePixelsOnlyAtTheSameSize) {
    const PackedDib full = Picture(40, 30, [](int x, int y) { return x == y ? Ink(x, y) : kClear; });
    CompactImage held = Compacted(full);
    ASSERT_TRUE(held.IsSparse());
    EXPECT_TRUE(held.SetSize(40, 30));
    EXPECT_TRUE(held.IsSparse());
    EXPECT_EQ(BytesOf(held.Copy()), BytesOf(full));

    // Another size: a new block of opaque black, as PackedDib::SetSize gives.
    EXPECT_TRUE(held.SetSize(12, 5));
    EXPECT_FALSE(held.IsSparse());
    EXPECT_EQ(held.Width(), 12);
    EXPECT_EQ(held.GetPixel(11, 4), 0x00000000u);
}

TEST(CompactImageTest, PicturesWithoutBlockOrPixelsStayAsTheyAre) {
    CompactImage empty;
    empty.Compact();
    EXPECT_FALSE(empty.HasBlock());
    EXPECT_FALSE(empty.IsSparse());
    EXPECT_EQ(empty.HeldBytes(), 0u);
    EXPECT_FALSE(empty.Copy().HasBlock());
    EXPECT_EQ(SparseImage::Of(PackedDib()), nullptr);
    // A width of 0: no pixels to hold as runs.
    PackedDib none;
    none.SetSize(0, 4);
    EXPECT_EQ(SparseImage::Of(none), nullptr);
}

}  // namespace
}  // namespace vantrel
