// The bitmap item: pixel tools, crop, scaling resize, undo, records, and the
// list operations that make bitmaps.

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/DocTestUtil.h"
#include "document/ItemRecordIO.h"

namespace vantrel {
namespace {

using test::SolidImage;
using test::SolidItem;

// The image as rows of characters: '#' where the pixel equals ink, '.' elsewhere.
std::vector<std::string> Picture(const PackedDib& image, PixelValue ink) {
    std::vector<std::string> rows;
    for (int y = 0; y < image.Height(); ++y) {
        std::string row;
        for (int x = 0; x < image.Width(); ++x) row += image.GetPixel(x, y) == ink ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST(BitmapDrawLineTest, StepsAreTruncatedTowardZero) {
    const PixelValue ink = 0x00000001;
    auto item = SolidItem({0, 0, 5, 3}, 0x00FFFFFF);
    item->DrawLine(0, 0, 4, 2, ink);
    EXPECT_EQ(Picture(item->Image(), ink), (std::vector<std::string>{"##...", "..##.", "....#"}));

    // Left of and above the work area's origin the sums still truncate toward
    // zero (not down): (-3, -1.5) becomes (-3, -1).
    auto outside = SolidItem({-5, -3, 1, 1}, 0x00FFFFFF);
    outside->DrawLine(-4, -2, 0, 0, ink);
    EXPECT_EQ(Picture(outside->Image(), ink),
              (std::vector<std::string>{"......", ".#....", "..##..", "....##"}));
}

TEST(BitmapDrawLineTest, WorksInWorkAreaPointsAndSkipsPixelsOutside) {
    const PixelValue ink = 0x00000001;
    auto item = SolidItem({100, 50, 103, 52}, 0x00FFFFFF);
    item->DrawLine(98, 51, 106, 51, ink);  // runs past both sides
    EXPECT_EQ(Picture(item->Image(), ink), (std::vector<std::string>{"...", "###"}));
    item->DrawLine(101, 50, 101, 50, ink);  // a click: one pixel
    EXPECT_EQ(Picture(item->Image(), ink), (std::vector<std::string>{".#.", "###"}));
    EXPECT_FALSE(item->BlendWithBeneath());
    item->DrawLine(100, 50, 100, 50, 0x80000000);  // a transparent colour makes it blend
    EXPECT_TRUE(item->BlendWithBeneath());
}

TEST(BitmapFloodFillTest, FourConnectedExactValues) {
    const PixelValue paper = 0x00FFFFFF;
    const PixelValue wall = 0x00000000;
    const PixelValue paint = 0x00FF0000;
    // A one-pixel diagonal gap: the wall pixels touch only at corners.
    //   . . # .
    //   . # . .
    //   # . . .
    auto item = SolidItem({0, 0, 4, 3}, paper);
    item->DrawLine(2, 0, 0, 2, wall);
    item->FloodFill(0, 0, paint);
    EXPECT_EQ(Picture(item->Image(), paint), (std::vector<std::string>{"##..", "#...", "...."}));

    // Pixels that differ from the start pixel only in T are not filled.
    auto shaded = SolidItem({0, 0, 3, 1}, paper);
    shaded->EditImage().Row(0)[1] = 0x01FFFFFF;
    shaded->FloodFill(0, 0, paint);
    EXPECT_EQ(Picture(shaded->Image(), paint), (std::vector<std::string>{"#.."}));

    // The colour already under the point: nothing changes.
    auto same = SolidItem({0, 0, 2, 2}, paint);
    same->FloodFill(1, 1, paint);
    EXPECT_EQ(Picture(same->Image(), paint), (std::vector<std::string>{"##", "##"}));
}

TEST(BitmapFloodFillTest, LargeSpiralDoesNotExhaustTheStack) {
    // A 1000 x 1000 maze of one-pixel corridors: every pixel of the corridor
    // is reached, the walls are untouched.
    const int size = 1000;
    const PixelValue wall = 0x00000000, paper = 0x00FFFFFF, paint = 0x000000FF;
    auto item = SolidItem({0, 0, size, size}, paper);
    PackedDib& image = item->EditImage();
    std::uint64_t paperCount = 0;
    for (int y = 0; y < size; ++y) {
        PixelValue* row = image.Row(y);
        for (int x = 0; x < size; ++x) {
            // walls on odd rows, each with one opening alternating left and right
            const bool isWall = y % 2 == 1 && x != ((y / 2) % 2 == 0 ? size - 1 : 0);
            row[x] = isWall ? wall : paper;
            paperCount += isWall ? 0 : 1;
        }
    }
    item->FloodFill(0, 0, paint);
    std::uint64_t painted = 0, walls = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const PixelValue p = item->Image().GetPixel(x, y);
            painted += p == paint;
            walls += p == wall;
        }
    }
    EXPECT_EQ(painted, paperCount);
    EXPECT_EQ(walls, std::uint64_t(size) * size - paperCount);
}

TEST(BitmapCropTest, CropKeepsPixelsInPlaceAndFillsTheRest) {
    auto item = SolidItem({10, 10, 14, 12}, 0x00000001);
    item->EditImage().Row(0)[3] = 0x00000002;  // work area (13, 10)
    item->CropTo({12, 9, 16, 11}, 0x00000009);
    EXPECT_EQ(item->Bounds(), (Rect{12, 9, 16, 11}));
    EXPECT_EQ(item->Position(), (Point{12, 9}));
    EXPECT_EQ(item->PixelAt({12, 9}), 0x00000009u);
    EXPECT_EQ(item->PixelAt({12, 10}), 0x00000001u);
    EXPECT_EQ(item->PixelAt({13, 10}), 0x00000002u);
    EXPECT_EQ(item->PixelAt({14, 10}), 0x00000009u);
    EXPECT_EQ(item->Composite().Width(), 4);
    EXPECT_FALSE(item->BlendWithBeneath());

    // Wholly outside: only the fill colour; a transparent fill makes it blend.
    item->CropTo({100, 100, 103, 102}, 0xFF00FF00);
    EXPECT_EQ(Picture(item->Image(), 0xFF00FF00), (std::vector<std::string>{"###", "###"}));
    EXPECT_TRUE(item->BlendWithBeneath());
}

TEST(BitmapResizeTest, ResizingStartsFromTheSourceImage) {
    // A 100 x 100 checkerboard of 10-pixel squares.
    PackedDib board;
    board.SetSize(100, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) board.Row(y)[x] = ((x / 10 + y / 10) % 2) ? 0x00FFFFFF : 0x00000000;
    PackedDib original;
    original.CopyFrom(&board);
    auto item = BitmapItem::FromImage(std::move(board));
    item->MoveTo(5, 6);

    item->SetBounds({5, 6, 15, 16});
    EXPECT_EQ(item->Image().Width(), 10);
    ASSERT_NE(item->SourceImage(), nullptr);
    item->SetBounds({7, 8, 107, 108});
    EXPECT_EQ(item->Bounds(), (Rect{7, 8, 107, 108}));
    // Back at full size from the source: the original pixels, not a blown-up 10 x 10.
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) ASSERT_EQ(item->Image().GetPixel(x, y), original.GetPixel(x, y)) << x << "," << y;

    // A pixel edit ends resizing from the source: the next resize starts
    // from the edited 10 x 10 picture, so its dot grows to a 10 x 10 block.
    item->SetBounds({7, 8, 17, 18});
    item->DrawLine(7, 8, 7, 8, 0x00123456);
    EXPECT_EQ(item->SourceImage(), nullptr);
    item->SetBounds({7, 8, 107, 108});
    EXPECT_EQ(item->Image().GetPixel(9, 9), 0x00123456u);
    EXPECT_EQ(original.GetPixel(9, 9), 0x00000000u);
}

TEST(BitmapUndoTest, RestoreBringsBackPixelsAndSize) {
    auto item = SolidItem({0, 0, 3, 3}, 0x00000005);
    item->SaveUndoState();
    ASSERT_NE(item->UndoImage(), nullptr);
    item->CropTo({0, 0, 6, 2}, 0x00000007);
    item->DrawLine(0, 0, 5, 0, 0x00000008);
    item->RestoreUndoState();
    EXPECT_FALSE(item->HasUndoState());
    EXPECT_EQ(item->UndoImage(), nullptr);
    EXPECT_EQ(item->Bounds(), (Rect{0, 0, 3, 3}));
    EXPECT_EQ(Picture(item->Image(), 0x00000005), (std::vector<std::string>{"###", "###", "###"}));
    EXPECT_EQ(item->Composite().Width(), 3);

    item->SaveUndoState();
    item->DropUndoState();
    EXPECT_EQ(item->UndoImage(), nullptr);
}

TEST(BitmapRecordTest, RoundTripAndLayout) {
    auto item = SolidItem({-3, 4, -1, 7}, 0x11223344, true);  // 2 x 3
    item->EditImage().Row(2)[0] = 0x55667788;                 // bottom-left: first stored pixel
    const auto record = item->SaveRecord();
    ASSERT_TRUE(record.has_value());
    ASSERT_EQ(record->size(), 52u);
    EXPECT_EQ(std::memcmp(record->data(), "DIBM", 4), 0);
    EXPECT_EQ((*record)[4], 28);
    EXPECT_EQ((*record)[8], 0xFD);  // left -3, little-endian
    EXPECT_EQ((*record)[24], 1);    // blend flag
    EXPECT_EQ((*record)[28], 0x88);
    EXPECT_EQ((*record)[31], 0x55);

    BitmapItem loaded;
    ItemRecord padded = *record;
    padded.resize(padded.size() + 5, 0);  // trailing zeros are ignored
    ASSERT_TRUE(loaded.LoadRecord(padded));
    EXPECT_EQ(loaded.Bounds(), (Rect{-3, 4, -1, 7}));
    EXPECT_EQ(loaded.Position(), (Point{-3, 4}));
    EXPECT_TRUE(loaded.BlendWithBeneath());
    EXPECT_EQ(loaded.PixelAt({-3, 6}), 0x55667788u);
    EXPECT_EQ(loaded.PixelAt({-2, 6}), 0x11223344u);
    EXPECT_EQ(loaded.Composite().Width(), 2);
}

TEST(BitmapRecordTest, DamagedRecordsAreRefused) {
    const auto good = *SolidItem({0, 0, 2, 2}, 0)->SaveRecord();
    auto with = [&](std::size_t at, std::uint8_t value) {
        ItemRecord r = good;
        r[at] = value;
        return r;
    };
    const std::vector<std::pair<const char*, ItemRecord>> cases = {
        {"cut in the pixels", ItemRecord(good.begin(), good.end() - 1)},
        {"cut in the header", ItemRecord(good.begin(), good.begin() + 20)},
        {"empty", ItemRecord{}},
        {"wrong tag", with(0, 'X')},
        {"header size too small", with(4, 27)},
        {"header size past the end", with(5, 1)},
        {"reversed bounds", with(8, 5)},                      // left 5 > right 2
        {"bounds too large for the pixels", with(20, 3)},     // bottom 3
        {"coordinate out of range", with(19, 0x40)},
    };
    for (const auto& [name, record] : cases) {
        BitmapItem item;
        EXPECT_FALSE(item.LoadRecord(record)) << name;
    }
}

TEST(BitmapItemTest, SetImageFromPackedDibConvertsAndPlacesAtOrigin) {
    // A 24-bit packed DIB of 2 x 1: rows padded to 8 bytes.
    std::vector<std::uint8_t> dib(40 + 8, 0);
    const std::uint8_t header[] = {40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0};
    std::memcpy(dib.data(), header, sizeof header);
    const std::uint8_t pixels[] = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60};  // blue, green, red
    std::memcpy(dib.data() + 40, pixels, sizeof pixels);
    auto item = SolidItem({50, 50, 60, 60}, 0);
    ASSERT_TRUE(item->SetImageFromPackedDib(dib));
    EXPECT_EQ(item->Bounds(), (Rect{0, 0, 2, 1}));
    EXPECT_EQ(item->PixelAt({0, 0}), 0x00302010u);
    EXPECT_EQ(item->PixelAt({1, 0}), 0x00605040u);
    EXPECT_FALSE(item->SetImageFromPackedDib(std::span(dib).first(30)));
    EXPECT_EQ(item->Bounds(), (Rect{0, 0, 2, 1}));
}

TEST(ConvertToBitmapTest, KeepsPlaceSelectionBlendAndPixels) {
    Animation animation;
    AnimFrame& frame = *animation.FirstFrame();
    CanvasItem* below = frame.AppendItem(SolidItem({600, 600, 604, 602}, 0x00000001));
    // A plain item standing in for a label or shape: its pixels come from outside.
    auto plain = std::make_unique<CanvasItem>();
    plain->SetBounds({601, 600, 601, 600});
    CanvasItem* shape = frame.AppendItem(std::move(plain));
    CanvasItem* above = frame.AppendItem(SolidItem({600, 600, 601, 601}, 0x00000003));
    shape->SetSelected(true);
    shape->SetBlendWithBeneath(true);

    BitmapItem* bitmap = frame.ConvertToBitmap(shape);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Kind(), ItemKind::Bitmap);
    EXPECT_EQ(bitmap->Prev(), below);
    EXPECT_EQ(bitmap->Next(), above);
    EXPECT_TRUE(bitmap->IsSelected());
    EXPECT_TRUE(bitmap->BlendWithBeneath());
    EXPECT_EQ(frame.CountItems(), 3);

    // A bitmap converts into a bitmap with the same pixels and composite.
    const PixelValue composite = below->Composite().GetPixel(1, 1);
    BitmapItem* again = frame.ConvertToBitmap(below);
    EXPECT_EQ(frame.Bottom(), again);
    EXPECT_EQ(again->PixelAt({603, 601}), 0x00000001u);
    EXPECT_EQ(again->Composite().GetPixel(1, 1), composite);
    EXPECT_FALSE(again->IsSelected());
}

TEST(CombineSelectedTest, BlendsOverTransparentWhiteAndKeepsTransparency) {
    Animation animation;
    AnimFrame& frame = *animation.FirstFrame();
    CanvasItem* a = frame.AppendItem(SolidItem({100, 100, 102, 101}, 0x00FF0000));
    CanvasItem* b = frame.AppendItem(SolidItem({103, 100, 104, 102}, 0x800000FF, true));
    a->SetSelected(true);
    b->SetSelected(true);
    BitmapItem* combined = frame.CombineSelected();
    ASSERT_NE(combined, nullptr);
    EXPECT_EQ(frame.Top(), combined);
    EXPECT_FALSE(combined->IsSelected());
    EXPECT_TRUE(combined->BlendWithBeneath());
    EXPECT_EQ(combined->Bounds(), (Rect{100, 100, 104, 102}));
    EXPECT_EQ(combined->PixelAt({100, 100}), 0x00FF0000u);  // opaque source replaces
    EXPECT_EQ(combined->PixelAt({102, 100}), 0xFFFFFFFFu);  // nothing: transparent white
    EXPECT_EQ(combined->PixelAt({100, 101}), 0xFFFFFFFFu);
    // T = 128 over transparent white: the source colour, the source's transparency
    EXPECT_EQ(combined->PixelAt({103, 101}), 0x800000FFu);
    EXPECT_EQ(frame.CountSelected(), 2);  // the caller deletes those
    frame.DeselectAll();
    EXPECT_EQ(frame.CombineSelected(), nullptr);
}

}  // namespace
}  // namespace vantrel
