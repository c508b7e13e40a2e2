#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>

#include "FontTestSupport.h"
#include "core/PackedDib.h"
#include "text/Font.h"
#include "text/GreyBitmap.h"

namespace vantrel {
namespace {

using test::FontRequest;
using test::MakeFont;

GreyBitmap White(int width, int height) {
    GreyBitmap bitmap;
    EXPECT_TRUE(bitmap.Create(width, height));
    return bitmap;
}

struct Box {
    int left = INT_MAX;
    int top = INT_MAX;
    int right = INT_MIN;  // inclusive
    int bottom = INT_MIN;
    int count = 0;
};

// The bounds and number of the black pixels.
Box BlackBox(const GreyBitmap& bitmap) {
    Box box;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            if (bitmap.At(x, y) != 0) continue;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
            ++box.count;
        }
    }
    return box;
}

// The pixels of a window of a bitmap, row by row.
std::string Window(const GreyBitmap& bitmap, int left, int top, int width, int height) {
    std::string pixels;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) pixels += static_cast<char>(bitmap.At(x, y));
    return pixels;
}

TEST(FontDrawTest, CapitalHFillsItsBlackBoxAboveTheBaseline) {
    const auto font = MakeFont({});
    ASSERT_NE(font, nullptr);
    const TextMetrics m = font->Metrics();
    const AbcWidths abc = font->Abc('H');
    const int x = 5;
    const int y = 3;
    GreyBitmap bitmap = White(40, 40);
    font->DrawText(bitmap, x, y, "H");

    const Box box = BlackBox(bitmap);
    ASSERT_GT(box.count, 0);
    // Exactly the ABC black box horizontally, resting on the baseline, and
    // inside the upper part of the cell.
    EXPECT_EQ(box.left, x + abc.a);
    EXPECT_EQ(box.right, x + abc.a + abc.b - 1);
    EXPECT_EQ(box.bottom, y + m.ascent - 1);
    EXPECT_GE(box.top, y + m.internalLeading);
    // The left stem runs the full height of the letter.
    for (int row = box.top; row <= box.bottom; ++row) EXPECT_EQ(bitmap.At(box.left, row), 0) << row;
}

TEST(FontDrawTest, PlainDrawingIsBlackAndWhiteOnly) {
    const auto font = MakeFont({.height = 31, .weight = 700, .italic = true, .underline = true});
    ASSERT_NE(font, nullptr);
    const std::string text = "Quality & grey? No: \x80 \xE9";
    const int width = font->TextExtent(text, 1) + 10;
    const int height = font->Metrics().height + 4;

    GreyBitmap grey = White(width, height);
    font->DrawText(grey, 4, 2, text, 1);
    PackedDib dib;
    ASSERT_TRUE(dib.SetSize(width, height));
    dib.FillRect(kOpaqueWhite);
    font->DrawText(dib, 4, 2, text, 1);

    int black = 0;
    for (int y = 0; y < height; ++y) {
        const PixelValue* row = dib.Row(y);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t g = grey.At(x, y);
            ASSERT_TRUE(g == 0 || g == 255) << x << ',' << y << " = " << int(g);
            // The same pixels on both bitmaps, black being opaque black.
            EXPECT_EQ(row[x], g == 0 ? kOpaqueBlack : kOpaqueWhite) << x << ',' << y;
            black += g == 0;
        }
    }
    EXPECT_GT(black, 0);
}

TEST(FontDrawTest, DrawingIsClippedToTheBitmap) {
    const auto font = MakeFont({.underline = true});
    ASSERT_NE(font, nullptr);
    const std::string text = "Wjg|";
    constexpr int kWidth = 20;
    constexpr int kHeight = 12;
    constexpr int kMargin = 60;
    const struct {
        int x;
        int y;
    } origins[] = {{-7, -10}, {3, 2}, {12, 5}, {-30, 0}, {0, -20}};
    for (const auto o : origins) {
        // The same text on a bitmap large enough for all of it, shifted by the margin.
        GreyBitmap large = White(kWidth + 2 * kMargin, kHeight + 2 * kMargin);
        font->DrawText(large, o.x + kMargin, o.y + kMargin, text);
        GreyBitmap small = White(kWidth, kHeight);
        font->DrawText(small, o.x, o.y, text);
        EXPECT_EQ(Window(small, 0, 0, kWidth, kHeight),
                  Window(large, kMargin, kMargin, kWidth, kHeight))
            << o.x << ',' << o.y;
    }
}

TEST(FontDrawTest, TextWhollyOutsideLeavesTheBitmapWhite) {
    const auto font = MakeFont({.underline = true, .strikeOut = true});
    ASSERT_NE(font, nullptr);
    // Far-away origins and huge spacing must not wrap around into the bitmap.
    const struct {
        int x;
        int y;
        int extra;
    } origins[] = {
        {100, 0, 1000}, {-500, 0, 0},           {0, 50, 0},          {0, -40, 0},
        {INT_MAX, INT_MAX, INT_MAX},            {INT_MIN, INT_MIN, 0},
        {INT_MAX - 3, 0, 7},                    {-100, 0, INT_MIN},
    };
    for (const auto o : origins) {
        GreyBitmap bitmap = White(30, 30);
        font->DrawText(bitmap, o.x, o.y, "Hello", o.extra);
        EXPECT_EQ(BlackBox(bitmap).count, 0) << o.x << ',' << o.y << " extra " << o.extra;
    }
    // Nothing to draw on, nothing drawn.
    GreyBitmap empty;
    font->DrawText(empty, 0, 0, "Hello");
    PackedDib noBlock;
    font->DrawText(noBlock, 0, 0, "Hello");
    EXPECT_FALSE(noBlock.HasBlock());
}

TEST(FontDrawTest, CharacterSpacingMovesEachFollowingGlyph) {
    const auto font = MakeFont({});
    ASSERT_NE(font, nullptr);
    const int advance = font->Advance('I');
    for (const int extra : {0, 5}) {
        GreyBitmap pair = White(60, 30);
        font->DrawText(pair, 2, 1, "II", extra);
        GreyBitmap separate = White(60, 30);
        font->DrawText(separate, 2, 1, "I");
        font->DrawText(separate, 2 + advance + extra, 1, "I");
        EXPECT_EQ(Window(pair, 0, 0, 60, 30), Window(separate, 0, 0, 60, 30)) << extra;
    }
}

TEST(FontDrawTest, UnderlineAndStrikeOutSpanTheWholeExtent) {
    struct Case {
        FontRequest request;
        bool belowBaseline;
    };
    const Case cases[] = {{{.underline = true}, true}, {{.strikeOut = true}, false}};
    for (const Case& c : cases) {
        const auto font = MakeFont(c.request);
        ASSERT_NE(font, nullptr);
        const TextMetrics m = font->Metrics();
        // Spaces draw no glyph pixels: only the line is left.
        const std::string text = "   ";
        const int extent = font->TextExtent(text, 2);
        const int x = 3;
        const int y = 4;
        GreyBitmap bitmap = White(extent + 10, m.height + 10);
        font->DrawText(bitmap, x, y, text, 2);

        const Box box = BlackBox(bitmap);
        ASSERT_GT(box.count, 0);
        EXPECT_EQ(box.left, x);
        EXPECT_EQ(box.right, x + extent - 1);
        // A solid band of whole rows.
        EXPECT_EQ(box.count, extent * (box.bottom - box.top + 1));
        const int baseline = y + m.ascent;
        if (c.belowBaseline) {
            EXPECT_GE(box.top, baseline);
            EXPECT_LT(box.bottom, y + m.height);
        } else {
            EXPECT_GE(box.top, y);
            EXPECT_LT(box.bottom, baseline - 1);
        }
    }
}

TEST(FontDrawTest, EmptyTextDrawsNothing) {
    const auto font = MakeFont({.underline = true});
    ASSERT_NE(font, nullptr);
    GreyBitmap bitmap = White(20, 30);
    font->DrawText(bitmap, 0, 0, "");
    EXPECT_EQ(BlackBox(bitmap).count, 0);
}

TEST(GreyBitmapTest, SizesOutsideTheBoundsMakeNoBitmap) {
    GreyBitmap bitmap;
    EXPECT_FALSE(bitmap.Create(-1, 5));
    EXPECT_TRUE(bitmap.IsEmpty());
    EXPECT_FALSE(bitmap.Create(1 << 15, 1 << 14));  // 2^29 pixels, twice the bound
    EXPECT_TRUE(bitmap.IsEmpty());
    EXPECT_EQ(bitmap.Width(), 0);

    ASSERT_TRUE(bitmap.Create(3, 2, 7));
    EXPECT_EQ(bitmap.Row(1) - bitmap.Row(0), 3);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(bitmap.At(x, y), 7);
    EXPECT_EQ(bitmap.At(3, 0), 255);  // outside reads as white
    EXPECT_EQ(bitmap.At(0, -1), 255);
    bitmap.Fill(0);
    EXPECT_EQ(bitmap.At(2, 1), 0);
}

}  // namespace
}  // namespace vantrel
