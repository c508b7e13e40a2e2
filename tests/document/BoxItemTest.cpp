// Boxes: the four line styles drawn as character maps, the blend rule, the
// "RECT" record and its damaged forms, editing and undo.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/BoxItem.h"
#include "document/DocTestUtil.h"
#include "document/ItemRecordBytes.h"

namespace vantrel {
namespace {

using test::PeekU32;
using test::PokeU32;

constexpr PixelValue kLine = 0x00102030;
constexpr PixelValue kFill = 0x00A0B0C0;

// The image as rows of 'L' (line colour), 'F' (fill colour) or '?'.
std::vector<std::string> Pattern(const BoxItem& box) {
    std::vector<std::string> rows;
    const PackedDib& image = box.Image();
    for (int y = 0; y < image.Height(); ++y) {
        std::string row;
        for (int x = 0; x < image.Width(); ++x) {
            const PixelValue p = image.GetPixel(x, y);
            row += p == box.Style().lineColor ? 'L' : p == box.Style().fillColor ? 'F' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

std::unique_ptr<BoxItem> MakeBox(const Rect& r, BoxLineStyle style, int lineWidth, int spaceWidth) {
    auto box = std::make_unique<BoxItem>();
    box->SetStyle({kFill, kLine, lineWidth, spaceWidth, style});
    box->SetBounds(r);
    return box;
}

struct PatternCase {
    const char* name;
    BoxLineStyle style;
    int lineWidth;
    int spaceWidth;
    int width;
    int height;
    std::vector<std::string> expected;
};

TEST(BoxItemTest, StylesAndLineWidthsDrawTheirPatterns) {
    const std::string l10(10, 'L');
    const std::string f10(10, 'F');
    const PatternCase cases[] = {
        {"solid ignores widths", BoxLineStyle::Solid, 2, 1, 4, 2, {"LLLL", "LLLL"}},
        {"outline 2 leaves a 6 x 6 inside", BoxLineStyle::Outline, 2, 1, 10, 10,
         {l10, l10, "LLFFFFFFLL", "LLFFFFFFLL", "LLFFFFFFLL", "LLFFFFFFLL", "LLFFFFFFLL", "LLFFFFFFLL", l10, l10}},
        {"outline 5 covers 10 x 10", BoxLineStyle::Outline, 5, 1, 10, 10,
         {l10, l10, l10, l10, l10, l10, l10, l10, l10, l10}},
        {"outline 0 is all fill", BoxLineStyle::Outline, 0, 1, 10, 2, {f10, f10}},
        {"horizontal 2 + 1", BoxLineStyle::Horizontal, 2, 1, 3, 9,
         {"LLL", "LLL", "FFF", "LLL", "LLL", "FFF", "LLL", "LLL", "FFF"}},
        {"horizontal 5 + 2", BoxLineStyle::Horizontal, 5, 2, 2, 9,
         {"LL", "LL", "LL", "LL", "LL", "FF", "FF", "LL", "LL"}},
        {"horizontal 0 is all fill", BoxLineStyle::Horizontal, 0, 3, 2, 3, {"FF", "FF", "FF"}},
        {"vertical 2 + 1", BoxLineStyle::Vertical, 2, 1, 10, 2, {"LLFLLFLLFL", "LLFLLFLLFL"}},
        {"vertical 5 + 3", BoxLineStyle::Vertical, 5, 3, 10, 1, {"LLLLLFFFLL"}},
        {"vertical 0 is all fill", BoxLineStyle::Vertical, 0, 1, 10, 1, {f10}},
    };
    for (const PatternCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto box = MakeBox({0, 0, c.width, c.height}, c.style, c.lineWidth, c.spaceWidth);
        EXPECT_EQ(Pattern(*box), c.expected);
    }
}

TEST(BoxItemTest, StripesStartAtTheBoxsOwnEdge) {
    // Wherever the box lies, its first row and column begin a line.
    for (const Rect r : {Rect{0, 0, 5, 5}, Rect{7, 3, 12, 8}, Rect{1, 2, 6, 7}}) {
        SCOPED_TRACE(r.left);
        EXPECT_EQ(Pattern(*MakeBox(r, BoxLineStyle::Horizontal, 1, 2)),
                  (std::vector<std::string>{"LLLLL", "FFFFF", "FFFFF", "LLLLL", "FFFFF"}));
        EXPECT_EQ(Pattern(*MakeBox(r, BoxLineStyle::Vertical, 1, 2)), std::vector<std::string>(5, "LFFLF"));
    }
}

TEST(BoxItemTest, BlendsWhenEitherColourHasTransparency) {
    struct Case {
        PixelValue line;
        PixelValue fill;
        bool blend;
    };
    const Case cases[] = {
        {0x00000000, 0x00FFFFFF, false},
        {0x00000000, 0x01FFFFFF, true},  // fill of transparency 1
        {0x80000000, 0x00FFFFFF, true},
        {0xFF000000, 0xFFFFFFFF, true},
    };
    for (const Case& c : cases) {
        BoxItem box;
        box.SetStyle({c.fill, c.line, 1, 1, BoxLineStyle::Solid});
        box.SetBounds({0, 0, 2, 2});
        EXPECT_EQ(box.BlendWithBeneath(), c.blend) << std::hex << c.line << " " << c.fill;
    }
}

TEST(BoxItemTest, NewBoxHasTheFactoryStyle) {
    const BoxItem box;
    EXPECT_EQ(box.Kind(), ItemKind::Box);
    EXPECT_EQ(box.Style().fillColor, 0x008080FFu);
    EXPECT_EQ(box.Style().lineColor, 0u);
    EXPECT_EQ(box.Style().lineWidth, 2);
    EXPECT_EQ(box.Style().spaceWidth, 1);
    EXPECT_EQ(box.Style().lineStyle, BoxLineStyle::Horizontal);
}

TEST(BoxItemTest, SetBoundsRasterisesAtTheNewSizeAndMovesTheAnchor) {
    auto owned = MakeBox({0, 0, 3, 3}, BoxLineStyle::Outline, 1, 1);
    BoxItem& box = *owned;
    box.SetBounds({20, 30, 25, 34});
    EXPECT_EQ(box.Bounds(), (Rect{20, 30, 25, 34}));
    EXPECT_EQ(box.Position(), (Point{20, 30}));
    EXPECT_EQ(box.Composite().Width(), 5);
    EXPECT_EQ(Pattern(box), (std::vector<std::string>{"LLLLL", "LFFFL", "LFFFL", "LLLLL"}));
}

TEST(BoxItemTest, SettersLimitWidthsAndRedraw) {
    auto owned = MakeBox({0, 0, 4, 1}, BoxLineStyle::Vertical, 1, 1);
    BoxItem& box = *owned;
    EXPECT_EQ(Pattern(box), std::vector<std::string>{"LFLF"});
    box.SetStyle({kFill, kLine, 40, 0, BoxLineStyle::Vertical});
    EXPECT_EQ(box.Style().lineWidth, kMaxBoxLineWidth);
    EXPECT_EQ(box.Style().spaceWidth, kMinBoxSpaceWidth);
    EXPECT_EQ(Pattern(box), std::vector<std::string>{"LLLL"});
    box.SetLineColor(0x7F010203);
    EXPECT_EQ(box.Image().GetPixel(0, 0), 0x7F010203u);
    EXPECT_TRUE(box.BlendWithBeneath());
    box.SetFillColor(0x00040506);
    box.SetStyle({0x00040506, 0x7F010203, -3, 1, BoxLineStyle::Vertical});
    EXPECT_EQ(box.Style().lineWidth, 0);
    EXPECT_EQ(box.Image().GetPixel(3, 0), 0x00040506u);
}

TEST(BoxItemTest, UndoPutsBackSizeStyleAndPixels) {
    auto owned = MakeBox({10, 10, 16, 14}, BoxLineStyle::Outline, 1, 1);
    BoxItem& box = *owned;
    const std::vector<std::string> before = Pattern(box);
    box.SaveUndoState();
    box.SetBounds({10, 10, 30, 30});
    box.SetStyle({kFill, kLine, 3, 2, BoxLineStyle::Horizontal});
    box.RestoreUndoState();
    EXPECT_FALSE(box.HasUndoState());
    EXPECT_EQ(box.Bounds(), (Rect{10, 10, 16, 14}));
    EXPECT_EQ(box.Style().lineStyle, BoxLineStyle::Outline);
    EXPECT_EQ(Pattern(box), before);
}

TEST(BoxItemTest, RecordHasTheFixedLayout) {
    BoxItem box;
    box.SetStyle({0x11223344, 0x80AABBCC, 7, 3, BoxLineStyle::Vertical});
    box.SetBounds({-5, 6, 25, 16});
    const auto record = box.SaveRecord();
    ASSERT_TRUE(record);
    ASSERT_EQ(record->size(), 44u);
    EXPECT_EQ(std::string(record->begin(), record->begin() + 4), "RECT");
    const std::uint32_t expected[] = {44, std::uint32_t(-5), 6, 25, 16, 0x11223344, 0x80AABBCC, 7, 3, 3};
    for (std::size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(PeekU32(*record, 4 + 4 * i), expected[i]) << i;
}

TEST(BoxItemTest, RecordRoundTripKeepsEveryField) {
    BoxItem original;
    original.SetStyle({0x11223344, 0x80AABBCC, 7, 3, BoxLineStyle::Vertical});
    original.SetBounds({100, 200, 131, 212});
    const auto record = original.SaveRecord();
    ASSERT_TRUE(record);

    BoxItem loaded;
    ASSERT_TRUE(loaded.LoadRecord(*record));
    EXPECT_EQ(loaded.Style(), original.Style());
    EXPECT_EQ(loaded.Bounds(), original.Bounds());
    EXPECT_EQ(loaded.Position(), (Point{100, 200}));
    EXPECT_TRUE(loaded.BlendWithBeneath());
    EXPECT_EQ(loaded.Composite().Width(), 31);
    EXPECT_EQ(test::PixelsOf(loaded.Image()), test::PixelsOf(original.Image()));

    // Trailing zero bytes after the record's content are ignored.
    ItemRecord padded = *record;
    padded.resize(padded.size() + 8, 0);
    BoxItem fromPadded;
    EXPECT_TRUE(fromPadded.LoadRecord(padded));
    EXPECT_EQ(fromPadded.Style(), original.Style());
}

TEST(BoxItemTest, DamagedRecordsAreRefused) {
    BoxItem box;
    box.SetBounds({0, 0, 4, 4});
    const ItemRecord good = *box.SaveRecord();

    test::ExpectEveryCutRefused<BoxItem>(good);
    const test::U32Damage damages[] = {
        {"header size below the record", 4, 40},
        {"header size beyond the bytes", 4, 48},
        {"other tag", 0, 0x53504C45},  // "ELPS"
        {"reversed bounds", 16, std::uint32_t(-1)},
        {"wider than the work area", 16, 1201},
        {"taller than the work area", 20, 1201},
        {"line width above 32", 32, 33},
        {"negative line width", 32, std::uint32_t(-1)},
        {"space width 0", 36, 0},
        {"space width above 32", 36, 33},
        {"unknown line style", 40, 4},
    };
    test::ExpectDamagesRefused<BoxItem>(good, damages);

    // The limits themselves are accepted.
    ItemRecord edge = good;
    PokeU32(edge, 16, 1200);
    PokeU32(edge, 32, 32);
    PokeU32(edge, 36, 32);
    BoxItem target;
    EXPECT_TRUE(target.LoadRecord(edge));
    EXPECT_EQ(target.Bounds().Width(), 1200);
}

}  // namespace
}  // namespace vantrel
