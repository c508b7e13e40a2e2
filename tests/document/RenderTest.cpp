// Frame rendering: composites, backgrounds, clipping to the canvas.

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/DocTestUtil.h"

namespace vantrel {
namespace {

using test::SolidImage;
using test::SolidItem;

TEST(RenderTest, HalfTransparentPixelOverWhite) {
    // s = (0x10, 0x80, 0xF0) with T = 128 over opaque white, per channel
    // (s * 127 + 255 * 128) / 255, truncated.
    const PixelValue s = 0x801080F0;
    const auto channel = [](int v) { return (v * 127 + 255 * 128) / 255; };
    const PixelValue expected = MakePixel(std::uint8_t(channel(0x10)), std::uint8_t(channel(0x80)),
                                          std::uint8_t(channel(0xF0)));
    ASSERT_EQ(expected, 0x0087BFF7u);  // 135, 191, 247
    Animation animation;
    AnimFrame& frame = *animation.FirstFrame();
    CanvasItem* item = frame.AppendItem(SolidItem({600, 600, 601, 601}, s, true));
    EXPECT_EQ(item->Composite().GetPixel(0, 0), expected);
    frame.Render();
    EXPECT_EQ(frame.Image().GetPixel(600 - 366, 600 - 570), expected);
}

TEST(RenderTest, TransparentItemWithoutBlendIsAWhiteRectangle) {
    Animation animation;
    AnimFrame& frame = *animation.FirstFrame();
    frame.backgroundColor = 0x00000080;
    frame.SetBackgroundFrame(nullptr);
    frame.AppendItem(SolidItem({400, 580, 402, 581}, 0xFF123456, false));
    frame.Render();
    EXPECT_EQ(frame.Image().GetPixel(400 - 366, 10), 0x00FFFFFFu);
    EXPECT_EQ(frame.Image().GetPixel(402 - 366, 10), 0x00000080u);
}

TEST(RenderTest, ItemHalfOutsideTheCanvas) {
    // Canvas 10 x 10 at (595, 595); the item covers x 590..599, half outside.
    for (bool blend : {false, true}) {
        Animation animation;
        animation.SetSize(10, 10);
        AnimFrame& frame = *animation.FirstFrame();
        frame.backgroundColor = 0x00000080;
        frame.SetBackgroundFrame(nullptr);
        CanvasItem* item = frame.AppendItem(SolidItem({590, 597, 600, 598}, 0xFF00FF00, blend));
        for (int x = 0; x < 10; ++x) {
            const bool inside = 590 + x >= 595;
            const PixelValue expected = blend && inside ? 0x00000080u : 0x00FFFFFFu;
            EXPECT_EQ(item->Composite().GetPixel(x, 0), expected) << "blend " << blend << " x " << x;
        }
        frame.Render();
        for (int x = 0; x < 10; ++x) {
            const PixelValue expected = x < 5 ? (blend ? 0x00000080u : 0x00FFFFFFu) : 0x00000080u;
            EXPECT_EQ(frame.Image().GetPixel(x, 2), expected) << "blend " << blend << " x " << x;
        }
    }
}

TEST(RenderTest, BackgroundFrameShowsThroughTransparentPixels) {
    Animation animation;
    animation.SetSize(4, 1);  // canvas (598, 599) to (602, 600)
    AnimFrame* back = animation.FirstFrame();
    back->AppendItem(SolidItem({598, 599, 602, 600}, 0x00112233));
    back->Render();
    AnimFrame* front = animation.AppendFrame();
    front->backgroundColor = 0x00FF0000;
    // Pixels: opaque blue, fully transparent, half transparent red.
    PackedDib image;
    image.SetSize(3, 1);
    image.Row(0)[0] = 0x000000FF;
    image.Row(0)[1] = 0xFF00FF00;
    image.Row(0)[2] = 0x80FF0000;
    auto item = BitmapItem::FromImage(std::move(image), true);
    item->MoveTo(599, 599);
    front->AppendItem(std::move(item));
    front->SetBackgroundFrame(back);
    const PixelValue half = MakePixel(std::uint8_t((255 * 127 + 0x11 * 128) / 255), std::uint8_t((0x22 * 128) / 255),
                                      std::uint8_t((0x33 * 128) / 255));
    const PixelValue expected[] = {0x00112233, 0x000000FF, 0x00112233, half};
    for (int x = 0; x < 4; ++x) EXPECT_EQ(front->Image().GetPixel(x, 0), expected[x]) << x;

    front->SetBackgroundFrame(nullptr);  // on its colour now
    EXPECT_EQ(front->Image().GetPixel(0, 0), 0x00FF0000u);
    EXPECT_EQ(front->Image().GetPixel(2, 0), 0x00FF0000u);
}

// An independent model of a rendered frame: for every canvas pixel, the
// topmost item holding it gives its composite, worked out recursively from
// what lies beneath it at that point.
struct ModelItem {
    Rect bounds;
    bool blend;
    std::vector<PixelValue> pixels;  // row-major, top-down
    PixelValue At(int x, int y) const { return pixels[std::size_t((y - bounds.top) * bounds.Width() + (x - bounds.left))]; }
};

PixelValue ModelComposite(const std::vector<ModelItem>& items, std::size_t k, int x, int y, const Rect& canvas,
                          PixelValue background) {
    PixelValue beneath = 0x00FFFFFF;
    if (items[k].blend) {
        if (canvas.Contains({x, y})) beneath = background;
        for (std::size_t j = k; j-- > 0;) {
            if (items[j].bounds.Contains({x, y})) {
                beneath = ModelComposite(items, j, x, y, canvas, background);
                break;
            }
        }
    }
    const PixelValue s = items[k].At(x, y);
    const unsigned t = s >> 24;
    auto mix = [&](int shift) { return ((((s >> shift) & 0xFF) * (255 - t) + ((beneath >> shift) & 0xFF) * t) / 255) << shift; };
    return mix(16) | mix(8) | mix(0);
}

TEST(RenderTest, RandomStacksMatchAnIndependentModel) {
    std::mt19937 random(1234);
    for (int round = 0; round < 30; ++round) {
        Animation animation;
        animation.SetSize(20, 12);  // canvas (590, 594) to (610, 606)
        AnimFrame& frame = *animation.FirstFrame();
        frame.backgroundColor = 0x00336699;
        std::vector<ModelItem> model;
        const int count = 1 + int(random() % 8);
        for (int i = 0; i < count; ++i) {
            const int left = 580 + int(random() % 35), top = 588 + int(random() % 22);
            // some items hold the previous one entirely, which lets composites start there
            Rect r{left, top, left + 1 + int(random() % 15), top + 1 + int(random() % 10)};
            if (i > 0 && random() % 3 == 0) r = model.back().bounds.Inflate(int(random() % 2), 0);
            ModelItem m{r, random() % 4 != 0, {}};
            PackedDib image;
            image.SetSize(r.Width(), r.Height());
            for (int y = 0; y < r.Height(); ++y) {
                for (int x = 0; x < r.Width(); ++x) {
                    const std::uint32_t t[] = {0, 255, 128, std::uint32_t(random() % 256)};
                    const PixelValue p = (t[random() % 4] << 24) | (random() & 0xFFFFFF);
                    image.Row(y)[x] = p;
                    m.pixels.push_back(p);
                }
            }
            auto item = BitmapItem::FromImage(std::move(image), m.blend);
            item->MoveTo(r.left, r.top);
            frame.AppendItem(std::move(item));
            model.push_back(std::move(m));
        }
        animation.RenderAll();
        const Rect canvas = animation.Canvas();
        for (int y = canvas.top; y < canvas.bottom; ++y) {
            for (int x = canvas.left; x < canvas.right; ++x) {
                PixelValue expected = frame.backgroundColor;
                for (std::size_t k = model.size(); k-- > 0;) {
                    if (model[k].bounds.Contains({x, y})) {
                        expected = ModelComposite(model, k, x, y, canvas, frame.backgroundColor);
                        break;
                    }
                }
                ASSERT_EQ(frame.Image().GetPixel(x - canvas.left, y - canvas.top), expected)
                    << "round " << round << " at " << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// Every composite of the frame, copied.
std::vector<std::vector<PixelValue>> Composites(const ItemList& list) {
    std::vector<std::vector<PixelValue>> all;
    for (const CanvasItem* item : list.BottomToTop()) {
        const PackedDib& c = item->Composite();
        std::vector<PixelValue> pixels;
        for (int y = 0; y < c.Height(); ++y) pixels.insert(pixels.end(), c.Row(y), c.Row(y) + c.Width());
        all.push_back(std::move(pixels));
    }
    return all;
}

TEST(RenderTest, EditsRebuildingPartOfTheStackEqualAFullRebuild) {
    // Moves and deletions rebuild only the composites that can change; the
    // result must be what rebuilding every composite gives.
    std::mt19937 random(5);
    for (int round = 0; round < 60; ++round) {
        Animation animation;
        animation.SetSize(30, 30);  // canvas (585, 585) to (615, 615)
        AnimFrame& frame = *animation.FirstFrame();
        for (int i = 0; i < 12; ++i) {
            const int w = 1 + int(random() % 12), h = 1 + int(random() % 12);
            PackedDib image;
            image.SetSize(w, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) image.Row(y)[x] = (random() % 2 ? 0xFF000000u : 0u) | (random() & 0xFFFFFF);
            auto item = BitmapItem::FromImage(std::move(image), random() % 3 != 0);
            item->MoveTo(580 + int(random() % 35), 580 + int(random() % 35));
            item->SetSelected(random() % 4 == 0);
            frame.AppendItem(std::move(item));
        }
        frame.UpdateAllComposites();
        if (round % 3 == 2) {
            frame.DeleteSelected();
        } else {
            frame.MoveSelectedBy(int(random() % 21) - 10, int(random() % 21) - 10);
        }
        const auto partial = Composites(frame);
        frame.UpdateAllComposites();
        ASSERT_EQ(partial, Composites(frame)) << "round " << round;
    }
}

// A long list rebuilds all its composites through one buffer of what lies
// beneath; the result must be what rebuilding item by item gives, whatever
// the blend flags, overlaps, half-transparent pixels, items outside the
// canvas and the background frame beneath.
TEST(CompositeRebuild, AllAtOnceEqualsItemByItem) {
    Animation animation;
    animation.SetSize(120, 90);
    const Rect canvas = animation.Canvas();
    AnimFrame* below = animation.FirstFrame();
    below->backgroundColor = 0x00336699;
    below->AppendItem(SolidItem({canvas.left + 10, canvas.top + 10, canvas.left + 60, canvas.top + 50}, 0x00FF0000));
    AnimFrame* frame = animation.AppendFrame();
    frame->backgroundColor = 0x00102030;
    std::mt19937 random(5);
    for (int i = 0; i < 80; ++i) {
        const int x = canvas.left - 20 + static_cast<int>(random() % 150);
        const int y = canvas.top - 20 + static_cast<int>(random() % 120);
        const int w = 1 + static_cast<int>(random() % 40);
        const int h = 1 + static_cast<int>(random() % 30);
        PackedDib image = SolidImage(w, h, 0);
        for (int row = 0; row < h; ++row) {
            for (int col = 0; col < w; ++col) {
                const std::uint32_t t = std::array<std::uint32_t, 3>{0, 128, 255}[random() % 3];
                image.Row(row)[col] = (t << 24) | (random() & 0x00FFFFFF);
            }
        }
        auto item = BitmapItem::FromImage(std::move(image), i % 3 != 0);
        item->MoveTo(x, y);
        frame->AppendItemUncomposed(std::move(item));
    }
    ASSERT_GT(frame->CountItems(), 32);  // long enough for the one-buffer path

    for (AnimFrame* background : {static_cast<AnimFrame*>(nullptr), below}) {
        frame->LinkBackgroundFrame(background);
        frame->UpdateAllComposites();
        std::vector<std::vector<std::uint8_t>> once;
        for (const CanvasItem* item : frame->BottomToTop()) once.push_back(test::PixelsOf(item->Composite()));
        for (CanvasItem* item : frame->BottomToTop()) frame->ComposeBeneath(*item);
        std::size_t i = 0;
        for (const CanvasItem* item : frame->BottomToTop()) {
            EXPECT_EQ(once[i], test::PixelsOf(item->Composite())) << "item " << i << (background ? " over a frame" : "");
            ++i;
        }
    }
}

}  // namespace
}  // namespace vantrel
