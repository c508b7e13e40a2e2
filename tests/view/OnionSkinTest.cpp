#include "view/OnionSkin.h"

#include <gtest/gtest.h>

#include "ViewTestUtil.h"
#include "view/EditorView.h"

namespace vantrel {
namespace {

using test::AddSolidItem;
using test::DocWithFrames;
using test::PixelsOf;
using test::RecordingHost;

constexpr PixelValue kRed = 0x00FF0000;
constexpr PixelValue kBlue = 0x000000FF;
constexpr PixelValue kYellow = 0x00FFFF80;
constexpr PixelValue kGrey = 0x00808080;

// Five frames of a 10 x 6 canvas at (595, 597) to (605, 603): a master frame,
// then a red square on yellow, the current frame (a blue corner on yellow),
// plain white and plain grey.
struct OnionDoc {
    OnionDoc() : doc(DocWithFrames(5, {true})) {
        Animation& animation = doc->GetAnimation();
        animation.SetSize(10, 6);
        Frame(0).backgroundColor = kBlue;
        Frame(1).backgroundColor = kYellow;
        Frame(2).backgroundColor = kYellow;
        Frame(4).backgroundColor = kGrey;
        AddSolidItem(Frame(1), kRedSquare, kRed);
        AddSolidItem(Frame(2), {595, 597, 597, 599}, kBlue);
        animation.RenderAll();
    }
    AnimFrame& Frame(std::size_t i) { return *doc->GetAnimation().Frames()[i]; }
    RasterPaintTarget Paint(const AnimFrame& current, const OnionSkinSettings& settings, int zoom = 1) {
        RasterPaintTarget target(ZoomRect(current.Canvas(), zoom).Inflate(12, 12));
        const std::vector<FaintPicture> onion = OnionSkinPictures(doc->GetAnimation(), current, settings);
        PaintInView(current, target, {600, 600, zoom, 0, 0}, onion);
        return target;
    }
    static constexpr Rect kRedSquare{600, 599, 603, 602};
    std::unique_ptr<CQVDoc> doc;
};

TEST(OnionSkinMix, GoesTheGivenShareOfTheWayRoundingToNearest) {
    EXPECT_EQ(MixColor(kYellow, kRed, 0), kYellow);
    EXPECT_EQ(MixColor(kYellow, kRed, 256), kRed);
    // Each channel separately: 0 -> 255 and 255 -> 0 at one half are 127.5 away.
    EXPECT_EQ(MixColor(0x0000FF00, 0x00FF0000, 128), MakePixel(128, 127, 0));
    // Yellow (255, 255, 128) toward red (255, 0, 0) by 96/256: green falls by
    // 95.625 -> 96, blue by 48.
    EXPECT_EQ(MixColor(kYellow, kRed, 96), MakePixel(255, 159, 80));
}

TEST(OnionSkinPainting, PreviousFrameShowsFaintlyWhereItDiffersAtZoomOneAndTwo) {
    for (const int zoom : {1, 2}) {
        OnionDoc d;
        const AnimFrame& current = d.Frame(2);
        const RasterPaintTarget plain = d.Paint(current, {});
        const RasterPaintTarget onion = d.Paint(current, {true, 1, 0}, zoom);
        auto at = [&](const RasterPaintTarget& t, int fx, int fy, int z) { return t.PixelAtDevice(fx * z, fy * z); };
        // The fixture: the current frame shows yellow where the previous one has red.
        ASSERT_EQ(at(plain, 601, 600, 1), kYellow);
        ASSERT_EQ(d.Frame(1).Image().GetPixel(601 - 595, 600 - 597) & 0xFFFFFF, kRed);
        EXPECT_EQ(at(onion, 601, 600, zoom), MakePixel(255, 159, 80)) << zoom;
        EXPECT_EQ(onion.PixelAtDevice(603 * zoom - 1, 602 * zoom - 1), MakePixel(255, 159, 80)) << zoom;
        // Both frames yellow: nothing changes; the current blue corner over
        // the previous yellow: blue moves 96/256 toward yellow.
        EXPECT_EQ(at(onion, 598, 598, zoom), kYellow) << zoom;
        EXPECT_EQ(at(onion, 595, 597, zoom), MakePixel(96, 96, 207)) << zoom;
        // Outside the canvas: the border and the work area are untouched.
        EXPECT_EQ(onion.PixelAtDevice(595 * zoom - 1, 600 * zoom), kOpaqueBlack) << zoom;
        EXPECT_EQ(onion.PixelAtDevice(595 * zoom - 5, 600 * zoom), kOpaqueWhite) << zoom;
    }
}

TEST(OnionSkinPainting, HiddenPaintsTheFrameAlone) {
    OnionDoc d;
    const RasterPaintTarget plain = d.Paint(d.Frame(2), {false, 3, 3});
    const PackedDib& image = d.Frame(2).Image();
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(plain.PixelAtDevice(595 + x, 597 + y), image.GetPixel(x, y) & 0xFFFFFF) << x << "," << y;
    EXPECT_TRUE(OnionSkinPictures(d.doc->GetAnimation(), d.Frame(2), {false, 3, 3}).empty());
}

TEST(OnionSkinPictures, FarthestFirstNearestMostVisibleMastersPassedOver) {
    OnionDoc d;
    const std::vector<FaintPicture> all = OnionSkinPictures(d.doc->GetAnimation(), d.Frame(2), {true, 3, 3});
    // Before: frame 1 only (frame 0 is a master frame); after: frames 3 and 4.
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].image, &d.Frame(4).Image());
    EXPECT_EQ(all[1].image, &d.Frame(1).Image());
    EXPECT_EQ(all[2].image, &d.Frame(3).Image());
    EXPECT_LT(all[0].opacity, all[1].opacity);
    EXPECT_EQ(all[1].opacity, all[2].opacity);
    EXPECT_GT(all[0].opacity, 0);

    // The frame after the master frame has nothing before it.
    EXPECT_TRUE(OnionSkinPictures(d.doc->GetAnimation(), d.Frame(1), {true, 1, 0}).empty());
    // The count is kept within 1 to 3 before and 0 to 3 after.
    const std::vector<FaintPicture> clamped = OnionSkinPictures(d.doc->GetAnimation(), d.Frame(4), {true, 0, 9});
    ASSERT_EQ(clamped.size(), 1u);
    EXPECT_EQ(clamped[0].image, &d.Frame(3).Image());
    EXPECT_EQ(WithinRanges({true, 7, -2}), (OnionSkinSettings{true, 3, 0}));
}

TEST(OnionSkinPictures, OpacityHalvesWithEachFrameFarther) {
    EXPECT_EQ(OnionSkinOpacity(2) * 2, OnionSkinOpacity(1));
    EXPECT_EQ(OnionSkinOpacity(3) * 2, OnionSkinOpacity(2));
    EXPECT_EQ(OnionSkinOpacity(0), 0);
    EXPECT_LT(OnionSkinOpacity(1), 128);  // faint: less than half way
}

TEST(OnionSkinInEditor, OnlyTheWindowShowsItTheFramesKeepTheirPictures) {
    OnionDoc d;
    RecordingHost host;
    EditorView view(*d.doc, host);
    view.OnInitialUpdate();
    view.ShowFrame(&d.Frame(2));
    const std::vector<std::uint8_t> before = PixelsOf(d.Frame(2).Image());
    const int redraws = host.redraws;
    view.SetOnionSkin({true, 1, 0});
    EXPECT_EQ(host.redraws, redraws + 1);
    view.SetOnionSkin({true, 1, 0});  // no change, no redraw
    EXPECT_EQ(host.redraws, redraws + 1);

    const Rect canvas = ZoomRect(d.Frame(2).Canvas(), view.Zoom());
    RasterPaintTarget target(canvas);
    view.Paint(target);
    const Point red = {(601 * view.Zoom().num) / view.Zoom().den, (600 * view.Zoom().num) / view.Zoom().den};
    EXPECT_EQ(target.PixelAtDevice(red.x, red.y), MakePixel(255, 159, 80));
    // What saving, printing and the preview read is the frame's own picture.
    EXPECT_EQ(PixelsOf(d.Frame(2).Image()), before);
    EXPECT_EQ(d.Frame(2).Image().GetPixel(601 - 595, 600 - 597) & 0xFFFFFF, kYellow);

    view.SetOnionSkin({false, 1, 0});
    RasterPaintTarget off(canvas);
    view.Paint(off);
    EXPECT_EQ(off.PixelAtDevice(red.x, red.y), kYellow);
}

}  // namespace
}  // namespace vantrel
