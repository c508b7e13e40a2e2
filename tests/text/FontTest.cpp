#include "text/Font.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>

#include "FontTestSupport.h"

namespace vantrel {
namespace {

using test::FontRequest;
using test::MakeFont;

std::string FileName(const Font& font) {
    return std::filesystem::path(font.FilePath()).filename().string();
}

TEST(FontTest, ArialResolvesToLiberationSans) {
    struct Case {
        FontRequest request;
        const char* file;
    };
    const Case cases[] = {
        {{}, "LiberationSans-Regular.ttf"},
        {{.weight = 700}, "LiberationSans-Bold.ttf"},
        {{.italic = true}, "LiberationSans-Italic.ttf"},
        {{.weight = 700, .italic = true}, "LiberationSans-BoldItalic.ttf"},
        {{.weight = 0}, "LiberationSans-Regular.ttf"},  // weight 0 means regular
    };
    // The second pass, in the other order, finds every face remembered from
    // the first: each request must still get its own.
    for (const bool reversed : {false, true}) {
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            const Case& c = cases[reversed ? std::size(cases) - 1 - i : i];
            const auto font = MakeFont(c.request);
            ASSERT_NE(font, nullptr);
            EXPECT_EQ(font->FamilyName(), "Liberation Sans");
            EXPECT_EQ(FileName(*font), c.file) << (reversed ? "remembered" : "first");
            EXPECT_TRUE(std::filesystem::exists(font->FilePath()));
            // Liberation Sans stands in for Arial: it is not the face asked for.
            EXPECT_FALSE(font->HasRequestedName());
        }
    }
}

TEST(FontTest, FaceAskedForByItsOwnNameIsRecognised) {
    for (const char* name : {"Liberation Sans", "liberation SANS"}) {
        const auto font = MakeFont({.face = name});
        ASSERT_NE(font, nullptr);
        EXPECT_TRUE(font->HasRequestedName()) << name;
    }
}

TEST(FontTest, UnknownFaceFallsBackWithoutFailing) {
    for (const char* name : {"Vantrel No Such Face 123", ""}) {
        const auto font = MakeFont({.face = name});
        ASSERT_NE(font, nullptr) << name;
        EXPECT_FALSE(font->HasRequestedName());
        EXPECT_FALSE(font->FamilyName().empty());
        EXPECT_TRUE(std::filesystem::exists(font->FilePath()));
        EXPECT_EQ(font->Metrics().height, 24);
        EXPECT_GT(font->TextExtent("Hello"), 0);
    }
}

TEST(FontTest, PositiveHeightIsTheCellHeight) {
    // Liberation Sans: win ascent 1854, win descent 434; ascent = round(1854 h / 2288).
    struct Case {
        int height;
        int ascent;
        int descent;
    };
    const Case cases[] = {
        {1, 1, 0}, {12, 10, 2}, {24, 19, 5}, {37, 30, 7}, {96, 78, 18}, {500, 405, 95},
    };
    for (const Case& c : cases) {
        const auto font = MakeFont({.height = c.height});
        ASSERT_NE(font, nullptr);
        const TextMetrics m = font->Metrics();
        EXPECT_EQ(m.height, c.height);
        EXPECT_EQ(m.ascent, c.ascent) << c.height;
        EXPECT_EQ(m.descent, c.descent) << c.height;
        EXPECT_EQ(m.ascent + m.descent, m.height);
    }
}

TEST(FontTest, NegativeHeightIsTheEmHeight) {
    // Em of 2048 units: ascent = round(1854 e / 2048), descent = round(434 e / 2048).
    struct Case {
        int height;
        int ascent;
        int descent;
    };
    const Case cases[] = {{-12, 11, 3}, {-24, 22, 5}, {-100, 91, 21}};
    for (const Case& c : cases) {
        const auto font = MakeFont({.height = c.height});
        ASSERT_NE(font, nullptr);
        const TextMetrics m = font->Metrics();
        EXPECT_EQ(m.ascent, c.ascent) << c.height;
        EXPECT_EQ(m.descent, c.descent) << c.height;
        EXPECT_EQ(m.height, c.ascent + c.descent);
        // The cell holds the em plus the leading, so it is taller than |height|.
        EXPECT_GT(m.height, -c.height);
        EXPECT_EQ(m.internalLeading, m.height + c.height);
    }
}

TEST(FontTest, ZeroHeightSelectsTheDefaultSize) {
    const auto zero = MakeFont({.height = 0});
    const auto byEm = MakeFont({.height = -Font::kDefaultEmHeight});
    ASSERT_NE(zero, nullptr);
    ASSERT_NE(byEm, nullptr);
    EXPECT_EQ(zero->Metrics(), byEm->Metrics());
    EXPECT_EQ(zero->Metrics().height, 17);  // 14 + 3 for a 16-pixel em
}

TEST(FontTest, AverageWidthFollowsTheWidthField) {
    const auto natural = MakeFont({});
    ASSERT_NE(natural, nullptr);
    EXPECT_EQ(natural->Metrics().averageCharWidth, 12);  // round(1187 x 24 / 2288)

    const std::string text = "Hello, world";
    const auto wide = MakeFont({.width = 20});
    const auto narrow = MakeFont({.width = 6});
    ASSERT_NE(wide, nullptr);
    ASSERT_NE(narrow, nullptr);
    EXPECT_EQ(wide->Metrics().averageCharWidth, 20);
    EXPECT_EQ(narrow->Metrics().averageCharWidth, 6);
    EXPECT_GT(wide->TextExtent(text), natural->TextExtent(text));
    EXPECT_LT(narrow->TextExtent(text), natural->TextExtent(text));
    // Stretching is horizontal only.
    EXPECT_EQ(wide->Metrics().height, natural->Metrics().height);
    EXPECT_EQ(wide->Metrics().ascent, natural->Metrics().ascent);
}

TEST(FontTest, BoldIsWiderThanRegular) {
    const auto regular = MakeFont({});
    const auto bold = MakeFont({.weight = 700});
    ASSERT_NE(regular, nullptr);
    ASSERT_NE(bold, nullptr);
    for (const char* text : {"Hello, world", "mmmm", "The quick brown fox"})
        EXPECT_GT(bold->TextExtent(text), regular->TextExtent(text)) << text;
    EXPECT_GT(bold->Metrics().averageCharWidth, regular->Metrics().averageCharWidth);
}

TEST(FontTest, PinnedLiberationSansWidths) {
    // Hinted advances of Liberation Sans 2.x (fonts-liberation2) with the
    // classic TrueType interpreter, one-bit rendering, no kerning.
    const auto regular = MakeFont({});
    const auto bold = MakeFont({.weight = 700});
    const auto em12 = MakeFont({.height = -12});
    ASSERT_NE(regular, nullptr);
    ASSERT_NE(bold, nullptr);
    ASSERT_NE(em12, nullptr);
    EXPECT_EQ(regular->Advance('H'), 14);
    EXPECT_EQ(regular->Advance('e'), 12);
    EXPECT_EQ(regular->TextExtent("Hello, world"), 107);
    EXPECT_EQ(regular->TextExtent("The quick brown fox"), 185);
    EXPECT_EQ(bold->TextExtent("Hello, world"), 115);
    EXPECT_EQ(em12->TextExtent("Hello, world"), 65);
}

TEST(FontTest, ExtentIsTheSumOfAdvancesPlusSpacingAfterEachCharacter) {
    const auto font = MakeFont({});
    ASSERT_NE(font, nullptr);
    for (const std::string text : {"", "a", "Hello", "The quick brown fox", "\x80\xE9\xFF"}) {
        int advances = 0;
        for (const char c : text) advances += font->Advance(static_cast<unsigned char>(c));
        const int n = static_cast<int>(text.size());
        for (const int extra : {0, 1, 3, -2}) {
            EXPECT_EQ(font->TextExtent(text, extra), advances + n * extra)
                << '"' << text << "\" extra " << extra;
        }
    }
}

TEST(FontTest, AbcWidthsAddUpToTheAdvance) {
    for (const FontRequest& request :
         {FontRequest{}, FontRequest{.height = 96}, FontRequest{.weight = 700, .italic = true},
          FontRequest{.width = 30}}) {
        const auto font = MakeFont(request);
        ASSERT_NE(font, nullptr);
        for (int code = 0; code < 256; ++code) {
            const auto c = static_cast<unsigned char>(code);
            const AbcWidths abc = font->Abc(c);
            EXPECT_EQ(abc.a + abc.b + abc.c, font->Advance(c)) << code;
            EXPECT_GE(abc.b, 0) << code;
        }
    }
}

TEST(FontTest, AbcWidthsDescribeTheBlackBox) {
    const auto font = MakeFont({});
    ASSERT_NE(font, nullptr);
    // H has side bearings on both sides; j reaches left of its origin.
    const AbcWidths h = font->Abc('H');
    EXPECT_GT(h.a, 0);
    EXPECT_GT(h.b, 0);
    EXPECT_GT(h.c, 0);
    EXPECT_LT(font->Abc('j').a, 0);
    // An italic f leans past its advance on the right.
    const auto italic = MakeFont({.height = 96, .italic = true});
    ASSERT_NE(italic, nullptr);
    EXPECT_LT(italic->Abc('f').c, 0);
}

TEST(FontTest, ExtremeRecordsAreClampedNotRefused) {
    struct Case {
        int height;
        int width;
        int weight;
    };
    const Case cases[] = {
        {INT_MAX, 0, 400}, {INT_MIN, 0, 400}, {24, INT_MAX, 400},
        {24, -5, 400},     {24, 0, -7},       {24, 0, INT_MAX},
    };
    for (const Case& c : cases) {
        const auto font = MakeFont({.height = c.height, .width = c.width, .weight = c.weight});
        ASSERT_NE(font, nullptr) << c.height << ' ' << c.width << ' ' << c.weight;
        const TextMetrics m = font->Metrics();
        EXPECT_GT(m.height, 0);
        EXPECT_LE(m.height, 2 * Font::kMaxPixelSize);
        EXPECT_EQ(m.ascent + m.descent, m.height);
        EXPECT_GT(font->TextExtent("Ab"), 0);
    }
    EXPECT_EQ(MakeFont({.height = INT_MAX})->Metrics().height, Font::kMaxPixelSize);
}

TEST(FontTest, RequestIsKept) {
    const LogFont request = test::MakeLogFont({.height = -30, .italic = true, .face = "Nowhere"});
    const auto font = Font::Create(request);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->Request(), request);
}

}  // namespace
}  // namespace vantrel
