// The pictures of transitions, checked pixel by pixel against the rules
// worked out here independently: fades by the formula in floating point,
// slides and wipes by where each pixel of each picture must end up.

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "imaging/Transitions.h"

namespace vantrel {
namespace {

// A picture whose every pixel says where it is and which picture it is from:
// red x, green y, blue tag, transparency x + y (all four bytes differ).
PackedDib Tagged(int width, int height, std::uint8_t tag) {
    PackedDib picture;
    picture.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.Row(y)[x] = MakePixel(std::uint8_t(x), std::uint8_t(y), tag, std::uint8_t(x + y));
    return picture;
}

PackedDib Make(const PackedDib& a, const PackedDib& b, TransitionKind kind, int step, int steps) {
    PackedDib out;
    EXPECT_TRUE(MakeTransitionPicture(a, b, kind, step, steps, out));
    return out;
}

constexpr std::uint8_t kFirst = 0x11;
constexpr std::uint8_t kSecond = 0xEE;

TEST(Transitions, FadeFramesFollowTheFormulaInEveryChannel) {
    // Every byte of first and second differs, in both directions.
    PackedDib a;
    PackedDib b;
    a.SetSize(16, 16);
    b.SetSize(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            a.Row(y)[x] = MakePixel(std::uint8_t(x * 16), std::uint8_t(255 - y * 7), std::uint8_t(x * y), std::uint8_t(y * 3));
            b.Row(y)[x] = MakePixel(std::uint8_t(255 - x * 9), std::uint8_t(y * 16), std::uint8_t(200 - x), std::uint8_t(x * 11));
        }
    for (const int steps : {1, 3, 5}) {
        for (int i = 1; i <= steps; ++i) {
            const PackedDib out = Make(a, b, TransitionKind::Fade, i, steps);
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    for (int shift = 0; shift < 32; shift += 8) {
                        const double from = (a.Row(y)[x] >> shift) & 0xFF;
                        const double to = (b.Row(y)[x] >> shift) & 0xFF;
                        const auto expected = std::lround(from + (to - from) * i / (steps + 1));
                        ASSERT_EQ(long((out.Row(y)[x] >> shift) & 0xFF), expected)
                            << "step " << i << " of " << steps << " at " << x << "," << y << " shift " << shift;
                    }
        }
    }
}

TEST(Transitions, FadeRoundsHalvesToTheNearestUp) {
    // 0 to 255 in one step: 127.5 rounds to 128; 255 to 0: 127.5 rounds to 128.
    const PackedDib black = [] {
        PackedDib p;
        p.SetSize(1, 1);
        p.FillRect(0x00000000);
        return p;
    }();
    PackedDib white;
    white.SetSize(1, 1);
    white.FillRect(0xFFFFFFFF);
    EXPECT_EQ(Make(black, white, TransitionKind::Fade, 1, 1).Row(0)[0], 0x80808080u);
    EXPECT_EQ(Make(white, black, TransitionKind::Fade, 1, 1).Row(0)[0], 0x80808080u);
}

// Where pixel (x, y) of a step must come from: which picture, and its place.
struct Source {
    std::uint8_t tag;
    int x;
    int y;
};

using Rule = Source (*)(int x, int y, int w, int h, int offset);

struct Case {
    TransitionKind kind;
    bool horizontal;
    Rule rule;
};

const Case kMoves[] = {
    // Slide Left: the first leaves by the left edge, the second follows from the right.
    {TransitionKind::SlideLeft, true,
     [](int x, int y, int w, int, int o) { return x < w - o ? Source{kFirst, x + o, y} : Source{kSecond, x - (w - o), y}; }},
    {TransitionKind::SlideRight, true,
     [](int x, int y, int w, int, int o) { return x >= o ? Source{kFirst, x - o, y} : Source{kSecond, x + (w - o), y}; }},
    {TransitionKind::SlideUp, false,
     [](int x, int y, int, int h, int o) { return y < h - o ? Source{kFirst, x, y + o} : Source{kSecond, x, y - (h - o)}; }},
    {TransitionKind::SlideDown, false,
     [](int x, int y, int, int h, int o) { return y >= o ? Source{kFirst, x, y - o} : Source{kSecond, x, y + (h - o)}; }},
    // Wipe Left: the second is uncovered from the right edge toward the left; nothing moves.
    {TransitionKind::WipeLeft, true,
     [](int x, int y, int w, int, int o) { return Source{x >= w - o ? kSecond : kFirst, x, y}; }},
    {TransitionKind::WipeRight, true, [](int x, int y, int, int, int o) { return Source{x < o ? kSecond : kFirst, x, y}; }},
    {TransitionKind::WipeUp, false,
     [](int x, int y, int, int h, int o) { return Source{y >= h - o ? kSecond : kFirst, x, y}; }},
    {TransitionKind::WipeDown, false, [](int x, int y, int, int, int o) { return Source{y < o ? kSecond : kFirst, x, y}; }},
};

TEST(Transitions, SlidesAndWipesPutEachPixelWhereItsMovementSays) {
    const int w = 13;
    const int h = 7;
    const PackedDib a = Tagged(w, h, kFirst);
    const PackedDib b = Tagged(w, h, kSecond);
    const int steps = 4;
    for (const Case& c : kMoves) {
        for (int i = 1; i <= steps; ++i) {
            const int offset = int(std::lround((c.horizontal ? w : h) * double(i) / (steps + 1)));
            const PackedDib out = Make(a, b, c.kind, i, steps);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const Source s = c.rule(x, y, w, h, offset);
                    ASSERT_EQ(out.Row(y)[x], MakePixel(std::uint8_t(s.x), std::uint8_t(s.y), s.tag, std::uint8_t(s.x + s.y)))
                        << TransitionTitle(c.kind) << " step " << i << " at " << x << "," << y;
                }
        }
    }
}

int CountSecond(const PackedDib& out) {
    int count = 0;
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x) count += BlueOf(out.Row(y)[x]) == kSecond;
    return count;
}

TEST(Transitions, DissolveTurnsAGrowingShareOfPixelsInAFixedScatteredOrder) {
    const int w = 20;
    const int h = 10;
    const PackedDib a = Tagged(w, h, kFirst);
    const PackedDib b = Tagged(w, h, kSecond);
    const int steps = 3;
    PackedDib previous;
    previous.CopyFrom(&a);
    for (int i = 1; i <= steps; ++i) {
        const PackedDib out = Make(a, b, TransitionKind::Dissolve, i, steps);
        EXPECT_EQ(CountSecond(out), std::lround(w * h * double(i) / (steps + 1)));
        // Pixels keep their place; once turned a pixel stays turned.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const PixelValue p = out.Row(y)[x];
                ASSERT_EQ(p, BlueOf(p) == kSecond ? b.Row(y)[x] : a.Row(y)[x]);
                if (BlueOf(previous.Row(y)[x]) == kSecond) {
                    ASSERT_EQ(BlueOf(p), kSecond);
                }
            }
        previous.CopyFrom(&out);
    }
    // The same order on every run, and not the rows in order.
    EXPECT_EQ(DissolveRanks(w, h), DissolveRanks(w, h));
    const std::vector<std::uint32_t> ranks = DissolveRanks(w, h);
    EXPECT_EQ(std::set<std::uint32_t>(ranks.begin(), ranks.end()).size(), ranks.size());
    int turnedInFirstRow = 0;
    for (int x = 0; x < w; ++x) turnedInFirstRow += ranks[std::size_t(x)] < std::uint32_t(w * h / 2);
    EXPECT_GT(turnedInFirstRow, 0);
    EXPECT_LT(turnedInFirstRow, w);
}

TEST(Transitions, ZoomGrowsTheSecondFromTheCentre) {
    const int w = 20;
    const int h = 10;
    const PackedDib a = Tagged(w, h, kFirst);
    const PackedDib b = Tagged(w, h, kSecond);
    const PackedDib early = Make(a, b, TransitionKind::ZoomIn, 1, 4);  // 4 x 2 in the middle
    EXPECT_EQ(CountSecond(early), 4 * 2);
    EXPECT_EQ(BlueOf(early.Row(h / 2)[w / 2]), kSecond);
    EXPECT_EQ(early.Row(0)[0], a.Row(0)[0]);
    const PackedDib late = Make(a, b, TransitionKind::ZoomIn, 4, 4);  // 16 x 8, corners of the second shown
    EXPECT_EQ(CountSecond(late), 16 * 8);
    EXPECT_EQ(late.Row(1)[2], b.Row(0)[0]);
    EXPECT_EQ(late.Row(0)[0], a.Row(0)[0]);
}

TEST(Transitions, RefusesPicturesOfDifferentSizesAndStepsOutOfRange) {
    const PackedDib a = Tagged(4, 4, kFirst);
    const PackedDib b = Tagged(4, 5, kSecond);
    PackedDib out;
    EXPECT_FALSE(MakeTransitionPicture(a, b, TransitionKind::Fade, 1, 1, out));
    EXPECT_FALSE(MakeTransitionPicture(a, a, TransitionKind::Fade, 0, 1, out));
    EXPECT_FALSE(MakeTransitionPicture(a, a, TransitionKind::Fade, 2, 1, out));
    EXPECT_FALSE(MakeTransitionPicture(PackedDib(), PackedDib(), TransitionKind::Fade, 1, 1, out));
    EXPECT_FALSE(out.HasBlock());
}

TEST(Transitions, KeywordsNameEachKindOnce) {
    std::set<std::string_view> keywords;
    for (const TransitionKind kind : kTransitionKinds) {
        EXPECT_EQ(TransitionFromKeyword(TransitionKeyword(kind)), kind);
        keywords.insert(TransitionKeyword(kind));
    }
    EXPECT_EQ(keywords.size(), std::size(kTransitionKinds));
    EXPECT_EQ(TransitionFromKeyword("fade-out"), std::nullopt);
    EXPECT_EQ(TransitionFromKeyword("zoom"), TransitionKind::ZoomIn);
}

}  // namespace
}  // namespace vantrel
