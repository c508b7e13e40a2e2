// Labels: layout sizes from the font's metrics, the plain and smoothed pixel
// rules, moving onto the baseline, the three resize cases, the special
// handles, the "LABL" record and its damaged forms, editing and undo.
//
// Metrics worked out by hand for "Arial" (Liberation Sans: win ascent 1854,
// win descent 434, so a cell of h pixels has ascent round(1854 h / 2288)):
// h = 24 gives ascent 19 and descent 5; h = 22 gives 18 and 4; h = 96 (a
// smoothed label of height 24 draws at four times the size) gives 78 and 18,
// which become ceil(78 / 4) = 20 and ceil(18 / 4) = 5 image pixels.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "document/LabelItem.h"
#include "document/ItemRecordBytes.h"

namespace vantrel {
namespace {

using test::PeekU32;
using test::PokeU32;
using test::PeekF64;

LabelParams Arial(int height, const std::string& text, bool antiAliased = false, PixelValue color = kOpaqueBlack) {
    LabelParams p;
    p.font = LogFont::DocumentDefault();
    p.font.height = height;
    p.text = text;
    p.antiAliased = antiAliased;
    p.textColor = color;
    return p;
}

std::unique_ptr<LabelItem> MakeLabel(const LabelParams& params) {
    auto label = std::make_unique<LabelItem>();
    EXPECT_TRUE(label->SetParams(params));
    return label;
}

std::vector<PixelValue> Pixels(const CanvasItem& item) {
    std::vector<PixelValue> pixels;
    for (int y = 0; y < item.Image().Height(); ++y) {
        for (int x = 0; x < item.Image().Width(); ++x) pixels.push_back(item.Image().GetPixel(x, y));
    }
    return pixels;
}

TEST(LabelLayoutTest, HeightComesFromTheFontMetrics) {
    struct Case {
        const char* name;
        int fontHeight;
        bool antiAliased;
        int ascent;
        int descent;
    };
    const Case cases[] = {
        {"plain 24", 24, false, 19, 5},
        {"plain 22", 22, false, 18, 4},
        {"smoothed 24", 24, true, 20, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* text : {"", "abc"}) {
            const auto label = MakeLabel(Arial(c.fontHeight, text, c.antiAliased));
            EXPECT_EQ(label->Ascent(), c.ascent);
            EXPECT_EQ(label->Descent(), c.descent);
            EXPECT_EQ(label->Bounds().Height(), c.ascent + c.descent);
            EXPECT_EQ(label->Image().Height(), c.ascent + c.descent);
            EXPECT_EQ(label->Composite().Height(), c.ascent + c.descent);
        }
    }
    // The smoothed label measures its font at four times the size.
    EXPECT_EQ(MakeLabel(Arial(24, "abc", true))->Metrics().height, 96);
}

TEST(LabelLayoutTest, EmptyTextHasZeroWidthAndTheFontsHeight) {
    for (const bool antiAliased : {false, true}) {
        const auto label = MakeLabel(Arial(24, "", antiAliased));
        EXPECT_EQ(label->Bounds().Width(), 0);
        EXPECT_EQ(label->Bounds().Height(), antiAliased ? 25 : 24);
        EXPECT_EQ(label->TextWidth(), 0);
        EXPECT_EQ(label->LeftOverhang(), 0.0f);
        EXPECT_EQ(label->RightOverhang(), 0.0f);
        EXPECT_TRUE(label->BlendWithBeneath());
    }
}

TEST(LabelLayoutTest, PlainPixelsAreTheColourOrFullyTransparent) {
    constexpr PixelValue kColor = 0x40123456;
    const auto label = MakeLabel(Arial(24, "Hello", false, kColor));
    int covered = 0;
    int uncovered = 0;
    for (const PixelValue p : Pixels(*label)) {
        if (p == kColor)
            ++covered;
        else if (p == 0xFF123456)
            ++uncovered;
        else
            ADD_FAILURE() << std::hex << p;
    }
    EXPECT_GT(covered, 20);
    EXPECT_GT(uncovered, covered);
}

TEST(LabelLayoutTest, SmoothedTransparencyFollowsTheColoursOwn) {
    // The same text once opaque (transparency = a, the block's average
    // whiteness) and once at transparency 128, where every pixel must be
    // a + ((255 - a) * 128) / 255: 128 where covered, 255 where not.
    const auto opaque = MakeLabel(Arial(60, "HI", true, 0x00123456));
    const auto half = MakeLabel(Arial(60, "HI", true, 0x80123456));
    const std::vector<PixelValue> a = Pixels(*opaque);
    const std::vector<PixelValue> b = Pixels(*half);
    ASSERT_EQ(a.size(), b.size());
    int full = 0;
    int none = 0;
    int partial = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        ASSERT_TRUE(SameColor(a[i], 0x123456));
        ASSERT_TRUE(SameColor(b[i], 0x123456));
        const int ta = TransparencyOf(a[i]);
        const int tb = TransparencyOf(b[i]);
        if (ta == 0) {
            ++full;
            ASSERT_EQ(tb, 128);
        } else if (ta == 255) {
            ++none;
            ASSERT_EQ(tb, 255);
        } else {
            ++partial;
            ASSERT_EQ(tb, ta + ((255 - ta) * 128) / 255) << ta;
        }
    }
    // The strokes of H and I at this size cover whole 4 x 4 blocks.
    EXPECT_GT(full, 50);
    EXPECT_GT(none, full);
    EXPECT_GT(partial, 0);
}

TEST(LabelLayoutTest, GlyphReachingLeftOfItsOriginIsNotCut) {
    // 'j' hooks left of its origin (a negative A width): the drawing moves
    // right by that much, so the leftmost image column holds ink.
    const auto label = MakeLabel(Arial(24, "j", false));
    ASSERT_LT(label->LeftOverhang(), 0.0f);
    bool inkInFirstColumn = false;
    for (int y = 0; y < label->Image().Height(); ++y) inkInFirstColumn |= IsOpaque(label->Image().GetPixel(0, y));
    EXPECT_TRUE(inkInFirstColumn);
}

TEST(LabelMoveTest, AnchorIsTheLeftEndOfTheBaseline) {
    const auto label = MakeLabel(Arial(22, "abc"));
    ASSERT_EQ(label->Ascent(), 18);
    const int width = label->Bounds().Width();
    label->MoveTo(100, 50);
    EXPECT_EQ(label->Position(), (Point{100, 50}));
    EXPECT_EQ(label->Bounds(), (Rect{100, 32, 100 + width, 54}));
    label->MoveBy(-5, 10);
    EXPECT_EQ(label->Position(), (Point{95, 60}));
    EXPECT_EQ(label->Bounds(), (Rect{95, 42, 95 + width, 64}));
}

TEST(LabelResizeTest, WidthOnlySpreadsTheCharacters) {
    const auto label = MakeLabel(Arial(24, "abc"));
    label->MoveTo(100, 50);
    const Rect before = label->Bounds();
    const int textWidth = label->TextWidth();
    // 12 pixels beyond the text width over the 2 gaps of "abc": 6 each.
    label->SetBounds({before.left, before.top, before.left + textWidth + 12, before.bottom});
    EXPECT_EQ(label->CharSpacing(), 6.0);
    EXPECT_EQ(label->LabelFont().height, 24);
    EXPECT_EQ(label->WidthFactor(), 1.0);
    // Each of the first two characters is followed by 6 more pixels; the
    // spacing after the last is not part of the image.
    EXPECT_EQ(label->Bounds(), (Rect{before.left, before.top, before.right + 12, before.bottom}));
    EXPECT_EQ(label->TextWidth(), textWidth);

    // Narrower than the text: the spacing is clamped at 0 and the label
    // goes back to its text width.
    label->SetBounds({before.left, before.top, before.left + textWidth - 5, before.bottom});
    EXPECT_EQ(label->CharSpacing(), 0.0);
    EXPECT_EQ(label->Bounds(), before);

    // One character has no gap to spread.
    const auto single = MakeLabel(Arial(24, "W"));
    const Rect b = single->Bounds();
    single->SetBounds({b.left, b.top, b.right + 30, b.bottom});
    EXPECT_EQ(single->CharSpacing(), 0.0);
    EXPECT_EQ(single->Bounds(), b);
}

TEST(LabelResizeTest, HeightOnlyScalesTheFontAndKeepsTheTextWidth) {
    const auto label = MakeLabel(Arial(24, "abc"));
    label->MoveTo(100, 50);
    const Rect before = label->Bounds();
    ASSERT_EQ(before.Height(), 24);
    // Dragging the top handle up by 24 pixels: height 24 -> 48.
    label->SetBounds({before.left, before.top - 24, before.right, before.bottom});
    EXPECT_EQ(label->LabelFont().height, 48);
    EXPECT_EQ(label->WidthFactor(), 0.5);
    EXPECT_EQ(label->CharSpacing(), 0.0);
    EXPECT_EQ(label->Bounds().TopLeft(), before.TopLeft());  // the layout keeps the corner
    EXPECT_EQ(label->Bounds().Height(), 48);
    EXPECT_NEAR(label->Bounds().Width(), before.Width(), 2);

    // A height below 1 has no font to give: nothing changes.
    const Rect now = label->Bounds();
    label->SetBounds({now.left, now.bottom, now.right, now.bottom});
    EXPECT_EQ(label->Bounds(), now);
    EXPECT_EQ(label->LabelFont().height, 48);
}

TEST(LabelResizeTest, BothScaleFontHeightAndSpacing) {
    LabelParams params = Arial(24, "abc");
    params.charSpacing = 2.0;
    const auto label = MakeLabel(params);
    const Rect before = label->Bounds();
    label->SetBounds({before.left, before.top, before.right + 40, before.top + 48});
    EXPECT_EQ(label->LabelFont().height, 48);
    EXPECT_EQ(label->CharSpacing(), 4.0);  // 2 x 48 / 24
    EXPECT_EQ(label->WidthFactor(), 1.0);
    EXPECT_EQ(label->Bounds().Height(), 48);
    EXPECT_EQ(label->Bounds().TopLeft(), before.TopLeft());
}

TEST(LabelResizeTest, LayoutBeyondTheLimitsIsRefused) {
    const auto label = MakeLabel(Arial(24, "abc"));
    label->MoveTo(10, 40);
    const LabelParams before = label->Params();
    const Rect bounds = label->Bounds();
    const std::vector<PixelValue> pixels = Pixels(*label);

    LogFont huge = before.font;
    huge.height = 3 * kMaxLabelSide;
    EXPECT_FALSE(label->SetLabelFont(huge));
    EXPECT_FALSE(label->SetText(std::string(kMaxLabelTextLength + 1, 'x')));
    EXPECT_FALSE(label->SetText(std::string("a\0b", 3)));
    LabelParams wide = before;
    wide.charSpacing = 1e300;
    EXPECT_FALSE(label->SetParams(wide));
    wide.charSpacing = -1.0;
    EXPECT_FALSE(label->SetParams(wide));
    // Resizing the height to more than the limit is refused as a whole.
    label->SetBounds({bounds.left, bounds.top, bounds.right + 1, bounds.top + 3 * kMaxLabelSide});

    EXPECT_EQ(label->Params(), before);
    EXPECT_EQ(label->Bounds(), bounds);
    EXPECT_EQ(Pixels(*label), pixels);
}

TEST(LabelEditTest, SettersLayOutAgain) {
    const auto label = MakeLabel(Arial(24, "ab"));
    const int narrow = label->Bounds().Width();
    ASSERT_TRUE(label->SetText("abab"));
    EXPECT_GT(label->Bounds().Width(), narrow);
    ASSERT_TRUE(label->SetTextColor(0x00FF0000));
    for (const PixelValue p : Pixels(*label)) ASSERT_TRUE(SameColor(p, 0xFF0000));
    ASSERT_TRUE(label->SetAntiAliased(true));
    EXPECT_EQ(label->Bounds().Height(), 25);
    LogFont bigger = label->LabelFont();
    bigger.height = 40;
    ASSERT_TRUE(label->SetLabelFont(bigger));
    EXPECT_EQ(label->Metrics().height, 160);
}

TEST(LabelEditTest, UndoPutsBackParametersSizeAndPixels) {
    const auto label = MakeLabel(Arial(24, "abc", true));
    label->MoveTo(200, 300);
    const LabelParams before = label->Params();
    const Rect bounds = label->Bounds();
    const std::vector<PixelValue> pixels = Pixels(*label);
    label->SaveUndoState();
    label->SetBounds({bounds.left, bounds.top, bounds.right + 30, bounds.top + 40});
    ASSERT_NE(label->Bounds(), bounds);
    label->RestoreUndoState();
    EXPECT_FALSE(label->HasUndoState());
    EXPECT_EQ(label->Params(), before);
    EXPECT_EQ(label->Bounds(), bounds);
    EXPECT_EQ(label->Position(), (Point{200, 300}));
    EXPECT_EQ(Pixels(*label), pixels);
}

TEST(LabelHandleTest, OnlyTheThreeSpecialHandlesAnswerTopRightFirst) {
    // An empty label at (100, 50): bounds (100, 31, 100, 55), so at zoom 1
    // handle 1 is (92, 23, 99, 30), 2 (96, 23, 103, 30), 3 (101, 23, 108, 30),
    // 4 (101, 39, 108, 46), 5 (101, 56, 108, 63), 8 (92, 39, 99, 46).
    const auto label = MakeLabel(Arial(24, ""));
    label->MoveTo(100, 50);
    ASSERT_EQ(label->Bounds(), (Rect{100, 31, 100, 55}));
    struct Case {
        int x;
        int y;
        int handle;
    };
    const Case cases[] = {
        {101, 26, kHandleTopRight},  // inside handles 2 and 3: 3 is tested first
        {97, 26, kHandleTop},        // inside handles 1 and 2: 1 is not offered
        {104, 42, kHandleRight},
        {107, 29, kHandleTopRight},
        {108, 26, kNoHandle},        // right edge excluded
        {104, 30, kNoHandle},        // bottom edge excluded
        {104, 59, kNoHandle},        // handle 5
        {95, 42, kNoHandle},         // handle 8
        {93, 59, kNoHandle},         // handle 7
    };
    for (const Case& c : cases) {
        EXPECT_EQ(label->HitHandle(PointerState::AtDevice(c.x, c.y, 1)), c.handle) << c.x << "," << c.y;
    }
    // At zoom 2 the handles follow the zoomed bounds (200, 62, 200, 110).
    EXPECT_EQ(label->HitHandle(PointerState::AtDevice(201, 54, 2)), kHandleTopRight);
    EXPECT_EQ(label->HitHandle(PointerState::AtDevice(204, 86, 2)), kHandleRight);
}

TEST(LabelHandleTest, GlyphAndOutlineGeometry) {
    const Rect box{10, 20, 17, 27};
    const LabelHandleGlyph topRight = LabelHandleGlyphFor(box, kHandleTopRight);
    EXPECT_EQ(topRight.box, box);
    EXPECT_EQ(topRight.innerBox, (Rect{10, 22, 15, 27}));
    EXPECT_TRUE(topRight.strokes.empty());

    const LabelHandleGlyph right = LabelHandleGlyphFor(box, kHandleRight);
    EXPECT_TRUE(right.innerBox.IsEmpty());
    EXPECT_EQ(right.strokes, (std::vector<LineSegment>{{{11, 23}, {15, 23}}, {{15, 23}, {13, 21}}, {{15, 23}, {13, 25}}}));

    const LabelHandleGlyph top = LabelHandleGlyphFor(box, kHandleTop);
    EXPECT_EQ(top.strokes, (std::vector<LineSegment>{{{13, 25}, {13, 21}}, {{13, 21}, {11, 23}}, {{13, 21}, {15, 23}}}));

    // Bounds (10, 20, 30, 40), baseline 35, shifted by (1, 2), zoom 2.
    const auto outline = LabelOutline({10, 20, 30, 40}, 35, 1, 2, 2);
    EXPECT_EQ(outline[0], (LineSegment{{22, 74}, {22, 44}}));
    EXPECT_EQ(outline[1], (LineSegment{{23, 74}, {62, 74}}));

    const auto label = MakeLabel(Arial(24, ""));
    label->MoveTo(100, 50);
    EXPECT_EQ(label->HandleGlyph(kHandleTopRight, 1).box, (Rect{101, 23, 108, 30}));
    EXPECT_EQ(label->Outline(0, 0, 1)[1], (LineSegment{{101, 50}, {100, 50}}));
}

TEST(LabelRecordTest, AbcRecordIs124BytesEndingInNul) {
    const auto label = MakeLabel(Arial(24, "abc", false, 0x00112233));
    label->MoveTo(100, 50);
    const auto record = label->SaveRecord();
    ASSERT_TRUE(record);
    ASSERT_EQ(record->size(), 124u);
    EXPECT_EQ(record->back(), 0);
    EXPECT_EQ(std::string(record->begin(), record->begin() + 4), "LABL");
    EXPECT_EQ(PeekU32(*record, 4), 120u);
    EXPECT_EQ(PeekU32(*record, 8), 100u);
    EXPECT_EQ(PeekU32(*record, 12), 31u);  // top = 50 - ascent 19
    EXPECT_EQ(PeekU32(*record, 20), 55u);
    EXPECT_EQ(PeekF64(*record, 24), 1.0);
    EXPECT_EQ(PeekF64(*record, 32), 0.0);
    EXPECT_EQ(PeekU32(*record, 40), 0u);
    EXPECT_EQ(PeekU32(*record, 44), 0x00112233u);
    EXPECT_EQ(PeekU32(*record, 48), 24u);  // the font block starts with its height
    EXPECT_EQ(std::string(record->begin() + 76, record->begin() + 81), "Arial");
    EXPECT_EQ(PeekU32(*record, 108), 100u);
    EXPECT_EQ(PeekU32(*record, 112), 50u);
    EXPECT_EQ(PeekU32(*record, 116), 0u);
    EXPECT_EQ(std::string(record->begin() + 120, record->end()), std::string("abc\0", 4));
}

TEST(LabelRecordTest, RoundTripKeepsEveryField) {
    LabelParams params = Arial(30, "Hello", true, 0x40123456);
    params.font.weight = 700;
    params.font.italic = 1;
    params.font.underline = 1;
    params.widthFactor = 1.25;
    params.charSpacing = 1.5;
    const auto original = MakeLabel(params);
    original->MoveTo(300, 200);
    const auto record = original->SaveRecord();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->size(), 121u + 5u);

    LabelItem loaded;
    ASSERT_TRUE(loaded.LoadRecord(*record));
    EXPECT_EQ(loaded.Params(), params);
    EXPECT_EQ(loaded.Position(), (Point{300, 200}));
    EXPECT_EQ(loaded.Bounds(), original->Bounds());
    EXPECT_EQ(loaded.Composite().Width(), original->Bounds().Width());
    EXPECT_EQ(Pixels(loaded), Pixels(*original));
    EXPECT_EQ(loaded.SaveRecord(), record);

    // Trailing zero bytes are ignored; a header size pointing further on
    // finds the text there.
    ItemRecord padded = *record;
    padded.resize(padded.size() + 6, 0);
    LabelItem fromPadded;
    ASSERT_TRUE(fromPadded.LoadRecord(padded));
    EXPECT_EQ(fromPadded.Text(), "Hello");
    ItemRecord later = *record;
    PokeU32(later, 4, 122);  // skips "He"
    LabelItem fromLater;
    ASSERT_TRUE(fromLater.LoadRecord(later));
    EXPECT_EQ(fromLater.Text(), "llo");
}

TEST(LabelRecordTest, DamagedRecordsAreRefused) {
    const auto label = MakeLabel(Arial(24, "abc"));
    const ItemRecord good = *label->SaveRecord();
    test::ExpectEveryCutRefused<LabelItem>(good);
    const test::U32Damage damages[] = {
        {"text without NUL", 120, 0x78636261},  // "abcx"
        {"header size below the fixed fields", 4, 119},
        {"header size beyond the bytes", 4, 125},
        {"other tag", 0, 0x4D424944},  // "DIBM"
        {"reversed bounds", 16, std::uint32_t(-100)},
        {"anchor far outside", 108, 0x40000000},
        {"anchor far outside upward", 112, 0xC0000000},
    };
    test::ExpectDamagesRefused<LabelItem>(good, damages);

    const test::F64Damage numbers[] = {
        {"width factor not a number", 24, std::numeric_limits<double>::quiet_NaN()},
        {"width factor infinite", 24, std::numeric_limits<double>::infinity()},
        {"width factor 0", 24, 0.0},
        {"width factor negative", 24, -1.0},
        {"spacing negative", 32, -0.5},
        {"spacing not a number", 32, std::numeric_limits<double>::quiet_NaN()},
        {"spacing too wide to lay out", 32, 1e12},
    };
    test::ExpectDamagesRefused<LabelItem>(good, numbers);

    ItemRecord hugeFont = good;
    PokeU32(hugeFont, 48, 0x7FFFFFFF);
    LabelItem target;
    EXPECT_FALSE(target.LoadRecord(hugeFont));

    ItemRecord longText(good.begin(), good.begin() + 120);
    longText.insert(longText.end(), kMaxLabelTextLength + 1, 'x');
    longText.push_back(0);
    EXPECT_FALSE(target.LoadRecord(longText));
}

}  // namespace
}  // namespace vantrel
