// Ellipses: plain and smoothed rasterising of tiny ellipses checked against
// sample counts worked out by hand, the "ELPS" record, editing and undo.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/DocTestUtil.h"
#include "document/EllipseItem.h"
#include "document/ItemRecordBytes.h"

namespace vantrel {
namespace {

using test::PeekU32;
using test::PokeU32;

constexpr PixelValue kRgb = 0x00336699;

std::unique_ptr<EllipseItem> MakeEllipse(int width, int height, PixelValue color, bool antiAliased) {
    auto ellipse = std::make_unique<EllipseItem>();
    ellipse->SetStyle({color, antiAliased});
    ellipse->SetBounds({0, 0, width, height});
    return ellipse;
}

// The transparency bytes of the image, row by row.
std::vector<std::vector<int>> Transparencies(const EllipseItem& ellipse) {
    std::vector<std::vector<int>> rows;
    for (int y = 0; y < ellipse.Image().Height(); ++y) {
        rows.emplace_back();
        for (int x = 0; x < ellipse.Image().Width(); ++x)
            rows.back().push_back(TransparencyOf(ellipse.Image().GetPixel(x, y)));
    }
    return rows;
}

struct RasterCase {
    const char* name;
    int width;
    int height;
    PixelValue color;
    bool antiAliased;
    std::vector<std::vector<int>> transparencies;
};

// Worked out by hand. Smoothed 1 x 1: a = b = 0.5, the corner samples lie at
// (0.375^2 + 0.375^2) / 0.25 = 1.125 (outside), the other 12 inside:
// 255 - 12 * 255 / 16 = 64. Smoothed 4 x 4: with dx, dy the sample offsets
// from the centre, a sample is inside when dx^2 + dy^2 < 4; a corner pixel
// has 6 samples inside (255 - 6 * 255 / 16 = 160), an edge-middle pixel 15
// (255 - 239 = 16), a centre pixel all 16 (0). Plain 4 x 4: the corner pixel
// centres lie at 1.5^2 + 1.5^2 = 4.5 (outside), the edge centres at 2.5.
// With transparency 0x40 the opacity is 191: corners 255 - 6 * 191 / 16 = 184,
// edge middles 255 - 15 * 191 / 16 = 76, the centre keeps 0x40.
TEST(EllipseItemTest, TinyEllipsesCoverWhatTheirSamplesSay) {
    const RasterCase cases[] = {
        {"plain 1 x 1", 1, 1, kRgb, false, {{0}}},
        {"smoothed 1 x 1", 1, 1, kRgb, true, {{64}}},
        {"plain 4 x 4", 4, 4, kRgb, false, {{255, 0, 0, 255}, {0, 0, 0, 0}, {0, 0, 0, 0}, {255, 0, 0, 255}}},
        {"smoothed 4 x 4", 4, 4, kRgb, true,
         {{160, 16, 16, 160}, {16, 0, 0, 16}, {16, 0, 0, 16}, {160, 16, 16, 160}}},
        {"smoothed 4 x 4 of transparency 0x40", 4, 4, kRgb | 0x40000000, true,
         {{184, 76, 76, 184}, {76, 0x40, 0x40, 76}, {76, 0x40, 0x40, 76}, {184, 76, 76, 184}}},
        {"plain 4 x 4 of transparency 0x40", 4, 4, kRgb | 0x40000000, false,
         {{255, 0x40, 0x40, 255}, {0x40, 0x40, 0x40, 0x40}, {0x40, 0x40, 0x40, 0x40}, {255, 0x40, 0x40, 255}}},
        // A 1 x 3 column: a = 0.5, b = 1.5. Plain: every centre lies on the
        // vertical axis at most 1 from the middle: 0 + 1 / 2.25 < 1.
        {"plain 1 x 3", 1, 3, kRgb, false, {{0}, {0}, {0}}},
    };
    for (const RasterCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto ellipse = MakeEllipse(c.width, c.height, c.color, c.antiAliased);
        EXPECT_EQ(Transparencies(*ellipse), c.transparencies);
        // Inside or out, every pixel carries the colour's own red, green and blue.
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) EXPECT_TRUE(SameColor(ellipse->Image().GetPixel(x, y), kRgb));
        }
        EXPECT_TRUE(ellipse->BlendWithBeneath());
    }
}

TEST(EllipseItemTest, PointsOnTheBoundaryAreOutside) {
    // a = 2, b = 1: (0, 1) and (2, 0) lie exactly on the ellipse.
    EXPECT_FALSE(InsideInscribedEllipse(0.0, 1.0, 2.0, 1.0));
    EXPECT_FALSE(InsideInscribedEllipse(2.0, 0.0, 2.0, 1.0));
    EXPECT_TRUE(InsideInscribedEllipse(0.01, 1.0, 2.0, 1.0));
    EXPECT_TRUE(InsideInscribedEllipse(2.0, 1.0, 2.0, 1.0));
}

TEST(EllipseItemTest, LargerEllipseIsSymmetricAndSmoothOnlyAtItsEdge) {
    const auto ellipse = MakeEllipse(40, 20, kRgb, true);
    const auto t = Transparencies(*ellipse);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(t[y][x], t[19 - y][x]) << x << "," << y;
            ASSERT_EQ(t[y][x], t[y][39 - x]) << x << "," << y;
        }
    }
    EXPECT_EQ(t[0][0], 255);    // the corner lies far outside
    EXPECT_EQ(t[10][20], 0);    // the middle is fully covered
    // The middle of the left edge: the outermost sample pair gives
    // 19.875^2 / 400 + 0.875^2 / 100 = 0.9952 < 1, so all 16 samples are inside.
    EXPECT_EQ(t[10][0], 0);
    EXPECT_EQ(t[9][0], 0);
}

TEST(EllipseItemTest, NewEllipseIsSmoothedAndBlends) {
    const EllipseItem ellipse;
    EXPECT_EQ(ellipse.Kind(), ItemKind::Ellipse);
    EXPECT_TRUE(ellipse.AntiAliased());
    EXPECT_TRUE(ellipse.BlendWithBeneath());
}

TEST(EllipseItemTest, SetBoundsAndSettersRasteriseAgain) {
    auto ellipse = MakeEllipse(1, 1, kRgb, false);
    ellipse->SetBounds({50, 60, 54, 64});
    EXPECT_EQ(ellipse->Position(), (Point{50, 60}));
    EXPECT_EQ(ellipse->Composite().Width(), 4);
    EXPECT_EQ(TransparencyOf(ellipse->Image().GetPixel(0, 0)), 255);
    EXPECT_EQ(TransparencyOf(ellipse->Image().GetPixel(1, 0)), 0);

    ellipse->SetAntiAliased(true);
    EXPECT_EQ(TransparencyOf(ellipse->Image().GetPixel(0, 0)), 160);
    ellipse->SetColor(0x00010203);
    EXPECT_EQ(ellipse->Image().GetPixel(1, 1), 0x00010203u);
    EXPECT_EQ(ellipse->Image().GetPixel(0, 0), 0xA0010203u);

    // No side grows beyond the work area.
    ellipse->SetBounds({0, 0, 5000, 3});
    EXPECT_EQ(ellipse->Bounds(), (Rect{0, 0, kMaxShapeSide, 3}));
}

TEST(EllipseItemTest, UndoPutsBackSizeColourAndPixels) {
    auto ellipse = MakeEllipse(4, 4, kRgb, true);
    ellipse->MoveTo(10, 10);
    ellipse->SaveUndoState();
    ellipse->SetBounds({10, 10, 30, 40});
    ellipse->SetStyle({0x80FFFFFF, false});
    ellipse->RestoreUndoState();
    EXPECT_EQ(ellipse->Bounds(), (Rect{10, 10, 14, 14}));
    EXPECT_EQ(ellipse->Style(), (EllipseStyle{kRgb, true}));
    EXPECT_EQ(Transparencies(*ellipse),
              (std::vector<std::vector<int>>{{160, 16, 16, 160}, {16, 0, 0, 16}, {16, 0, 0, 16}, {160, 16, 16, 160}}));
}

TEST(EllipseItemTest, RecordLayoutAndRoundTrip) {
    auto original = MakeEllipse(7, 5, 0x20ABCDEF, false);
    original->MoveTo(-3, 9);
    const auto record = original->SaveRecord();
    ASSERT_TRUE(record);
    ASSERT_EQ(record->size(), 32u);
    EXPECT_EQ(std::string(record->begin(), record->begin() + 4), "ELPS");
    const std::uint32_t expected[] = {32, std::uint32_t(-3), 9, 4, 14, 0x20ABCDEF, 0};
    for (std::size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(PeekU32(*record, 4 + 4 * i), expected[i]) << i;

    EllipseItem loaded;
    ASSERT_TRUE(loaded.LoadRecord(*record));
    EXPECT_EQ(loaded.Bounds(), (Rect{-3, 9, 4, 14}));
    EXPECT_EQ(loaded.Position(), (Point{-3, 9}));
    EXPECT_EQ(loaded.Style(), (EllipseStyle{0x20ABCDEF, false}));
    EXPECT_EQ(test::PixelsOf(loaded.Image()), test::PixelsOf(original->Image()));

    // Any non-zero flag reads as smoothed.
    ItemRecord flagged = *record;
    PokeU32(flagged, 28, 7);
    EllipseItem smoothed;
    ASSERT_TRUE(smoothed.LoadRecord(flagged));
    EXPECT_TRUE(smoothed.AntiAliased());
}

TEST(EllipseItemTest, DamagedRecordsAreRefused) {
    const ItemRecord good = *MakeEllipse(3, 3, kRgb, true)->SaveRecord();
    test::ExpectEveryCutRefused<EllipseItem>(good);
    const test::U32Damage damages[] = {
        {"header size below the record", 4, 28},
        {"header size beyond the bytes", 4, 33},
        {"other tag", 0, 0x54434552},  // "RECT"
        {"reversed bounds", 20, std::uint32_t(-2)},
        {"taller than the work area", 20, 1201},
        {"coordinate far outside", 8, 0x7FFFFFF0},
    };
    test::ExpectDamagesRefused<EllipseItem>(good, damages);
}

}  // namespace
}  // namespace vantrel
