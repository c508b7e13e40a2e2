// Bitmap items whose images are held as runs behave as items holding the
// same images in full: each test builds twins, one kept as runs and one
// given the full form, and compares what every operation makes of them.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/BitmapItem.h"
#include "document/CQVDoc.h"
#include "document/DocTestUtil.h"
#include "document/DocumentFile.h"
#include "document/DocumentMemory.h"
#include "document/Importers.h"
#include "document/ItemPack.h"
#include "support/GiflibRef.h"

namespace vantrel {
namespace {

using test::PixelsOf;

constexpr PixelValue kClear = 0xFF405060;  // fully transparent

// Mostly transparent, with a few opaque and half transparent pixels
// scattered over it and one at each corner.
PackedDib SparsePicture(int width, int height, unsigned seed) {
    PackedDib image;
    image.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t h = (std::uint32_t(x) * 2654435761u) ^ (std::uint32_t(y) * 40503u + seed);
            const bool corner = (x == 0 || x == width - 1) && (y == 0 || y == height - 1);
            PixelValue p = kClear;
            if (corner || (h >> 26) == 0) p = (h & 0x00FFFFFF) | ((h & 0x100) ? 0x80000000 : 0);
            image.Row(y)[x] = p;
        }
    }
    return image;
}

// Two items of the same picture at the same place: the first holds it as
// runs, the second in full.
struct Twins {
    std::unique_ptr<BitmapItem> runs;
    std::unique_ptr<BitmapItem> full;
};

Twins MakeTwins(const Rect& at, unsigned seed = 1, bool blend = true) {
    Twins twins;
    twins.runs = BitmapItem::FromImage(SparsePicture(at.Width(), at.Height(), seed), blend);
    twins.runs->MoveTo(at.left, at.top);
    twins.full = BitmapItem::FromImage(SparsePicture(at.Width(), at.Height(), seed), blend);
    twins.full->MoveTo(at.left, at.top);
    twins.full->EditImage();
    EXPECT_TRUE(twins.runs->HeldImage().IsSparse());
    EXPECT_FALSE(twins.full->HeldImage().IsSparse());
    return twins;
}

std::vector<std::uint8_t> CopyOf(const CompactImage& image) { return PixelsOf(image.Copy()); }

// A frame of 60 x 40 whose backdrop is a background colour, holding a box
// beneath the item.
std::unique_ptr<AnimFrame> FrameWith(std::unique_ptr<CanvasItem> item) {
    auto frame = std::make_unique<AnimFrame>(Rect{100, 100, 160, 140});
    frame->backgroundColor = 0x00336699;
    frame->AppendItem(test::SolidItem({110, 105, 130, 125}, 0x00CC2211));
    frame->AppendItem(std::move(item));
    frame->Render();
    return frame;
}

TEST(CompactItemTest, CompositesRecordsAndPixelsAreThoseOfTheFullForm) {
    Twins t = MakeTwins({95, 98, 150, 133});
    const auto recordRuns = t.runs->SaveRecord();
    const auto recordFull = t.full->SaveRecord();
    ASSERT_TRUE(recordRuns && recordFull);
    EXPECT_EQ(*recordRuns, *recordFull);
    for (int y = 90; y < 140; ++y)
        for (int x = 90; x < 155; ++x) ASSERT_EQ(t.runs->PixelAt({x, y}), t.full->PixelAt({x, y})) << x << "," << y;

    const auto runsFrame = FrameWith(std::move(t.runs));
    const auto fullFrame = FrameWith(std::move(t.full));
    EXPECT_EQ(PixelsOf(runsFrame->Image()), PixelsOf(fullFrame->Image()));
    EXPECT_EQ(PixelsOf(runsFrame->Top()->Composite()), PixelsOf(fullFrame->Top()->Composite()));
    for (int y = 95; y < 145; y += 3)
        for (int x = 95; x < 165; x += 2) ASSERT_EQ(runsFrame->PickColor({x, y}), fullFrame->PickColor({x, y}));
    EXPECT_TRUE(runsFrame->Top()->HeldImage().IsSparse());
}

TEST(CompactItemTest, AnItemNotBlendingWithWhatLiesBeneathShowsWhiteAsInFull) {
    Twins t = MakeTwins({105, 102, 150, 133}, 3, false);
    const auto runsFrame = FrameWith(std::move(t.runs));
    const auto fullFrame = FrameWith(std::move(t.full));
    EXPECT_EQ(PixelsOf(runsFrame->Top()->Composite()), PixelsOf(fullFrame->Top()->Composite()));
    EXPECT_EQ(PixelsOf(runsFrame->Image()), PixelsOf(fullFrame->Image()));
    EXPECT_EQ(runsFrame->Image().GetPixel(6, 2) & 0x00FFFFFF, kOpaqueWhite);  // (106, 102): a clear pixel of the item
}

TEST(CompactItemTest, ItemsMadeFromItemsReadTheRuns) {
    Twins t = MakeTwins({0, 0, 70, 30});
    // a clone, the picture of the item, a combination over another item
    EXPECT_EQ(CopyOf(t.runs->Clone()->HeldImage()), CopyOf(t.full->HeldImage()));
    EXPECT_TRUE(t.runs->Clone()->HeldImage().IsSparse());
    EXPECT_EQ(CopyOf(BitmapItem::PictureOf(*t.runs)->HeldImage()), CopyOf(t.full->HeldImage()));
    const auto under = test::SolidItem({-5, 10, 20, 50}, 0x00112233);
    const auto combinedRuns = BitmapItem::Combining({under.get(), t.runs.get()});
    const auto combinedFull = BitmapItem::Combining({under.get(), t.full.get()});
    ASSERT_TRUE(combinedRuns && combinedFull);
    EXPECT_EQ(combinedRuns->Bounds(), combinedFull->Bounds());
    EXPECT_EQ(CopyOf(combinedRuns->HeldImage()), CopyOf(combinedFull->HeldImage()));
    // a crop and a resize
    t.runs->CropTo({-3, 5, 40, 45}, 0x00ABCDEF);
    t.full->CropTo({-3, 5, 40, 45}, 0x00ABCDEF);
    EXPECT_EQ(CopyOf(t.runs->HeldImage()), CopyOf(t.full->HeldImage()));
    Twins scaled = MakeTwins({0, 0, 70, 30}, 7);
    scaled.runs->ScaleTo({0, 0, 35, 45}, ResampleMode::Smooth);
    scaled.full->ScaleTo({0, 0, 35, 45}, ResampleMode::Smooth);
    EXPECT_EQ(CopyOf(scaled.runs->HeldImage()), CopyOf(scaled.full->HeldImage()));
    // Back to the first size from the source, which kept the runs.
    ASSERT_NE(scaled.runs->SourceImage(), nullptr);
    EXPECT_TRUE(scaled.runs->SourceImage()->IsSparse());
    scaled.runs->ScaleTo({0, 0, 70, 30}, ResampleMode::Sharp);
    EXPECT_EQ(CopyOf(scaled.runs->HeldImage()), PixelsOf(SparsePicture(70, 30, 7)));
}

TEST(CompactItemTest, AWriteGivesTheFullFormAndUndoBringsBackTheRuns) {
    Twins t = MakeTwins({0, 0, 64, 48});
    const std::vector<std::uint8_t> before = CopyOf(t.runs->HeldImage());
    t.runs->SaveUndoState();
    t.runs->DrawLine(2, 3, 60, 40, 0x00010203);
    t.runs->FloodFill(63, 20, 0x00FF0000);
    t.full->DrawLine(2, 3, 60, 40, 0x00010203);
    t.full->FloodFill(63, 20, 0x00FF0000);
    EXPECT_FALSE(t.runs->HeldImage().IsSparse());
    EXPECT_EQ(CopyOf(t.runs->HeldImage()), CopyOf(t.full->HeldImage()));
    EXPECT_NE(CopyOf(t.runs->HeldImage()), before);

    t.runs->RestoreUndoState();
    EXPECT_TRUE(t.runs->HeldImage().IsSparse());
    EXPECT_EQ(CopyOf(t.runs->HeldImage()), before);
}

TEST(CompactItemTest, APatchTakenFromRunsPutsThemBack) {
    Twins t = MakeTwins({10, 10, 74, 58});
    const std::vector<std::uint8_t> before = CopyOf(t.runs->HeldImage());
    const Rect area{5, 6, 30, 20};
    PixelPatch patch = t.runs->TakePatch(area);
    PixelPatch fullPatch = t.full->TakePatch(area);
    EXPECT_EQ(PixelsOf(patch.pixels), PixelsOf(fullPatch.pixels));
    t.runs->DrawLine(15, 16, 39, 29, 0x00FFFF00);
    t.runs->SwapPatch(patch);  // undo
    EXPECT_EQ(CopyOf(t.runs->HeldImage()), before);
    t.runs->SwapPatch(patch);  // redo
    EXPECT_EQ(t.runs->PixelAt({15, 16}), 0x00FFFF00u);
}

TEST(CompactItemTest, APixelWriteInAFrameRebuildsWhatTheFullFormWould) {
    Twins t = MakeTwins({100, 100, 160, 140});
    BitmapItem* runs = t.runs.get();
    BitmapItem* full = t.full.get();
    const auto runsFrame = FrameWith(std::move(t.runs));
    const auto fullFrame = FrameWith(std::move(t.full));
    for (auto [frame, item] : {std::pair{runsFrame.get(), runs}, std::pair{fullFrame.get(), full}}) {
        const PixelWrite write = frame->BeginPixelWrite(*item);
        item->DrawLine(100, 139, 159, 100, 0x00000000);
        frame->EndPixelWrite(*item, {100, 100, 160, 140}, write);
        frame->Render();
    }
    EXPECT_EQ(PixelsOf(runsFrame->Image()), PixelsOf(fullFrame->Image()));
    EXPECT_EQ(PixelsOf(runsFrame->Top()->Composite()), PixelsOf(fullFrame->Top()->Composite()));
}

TEST(CompactItemTest, MemoryIsCountedAtTheFullSize) {
    Twins t = MakeTwins({0, 0, 200, 100});
    EXPECT_LE(t.runs->HeldImage().HeldBytes(), t.full->HeldImage().HeldBytes() / 2);
    Animation runs, full;
    runs.SetSize(200, 100);
    full.SetSize(200, 100);
    runs.FirstFrame()->AppendItem(std::move(t.runs));
    full.FirstFrame()->AppendItem(std::move(t.full));
    EXPECT_EQ(MemoryOf(runs).Total(), MemoryOf(full).Total());
    EXPECT_EQ(MemoryOf(runs).itemBytes, ItemMemoryBytes(200, 100));
}

// A GIF of frames that each change a few scattered pixels over the last,
// as animations cut down to their changes are.
std::vector<std::uint8_t> ScatteredGif(int width, int height, int frames) {
    test::RefGif gif;
    gif.screenWidth = width;
    gif.screenHeight = height;
    gif.loopCount = 0;
    for (int i = 0; i < 4; ++i) gif.globalColors.push_back({std::uint8_t(60 * i), std::uint8_t(200 - 40 * i), 90});
    for (int f = 0; f < frames; ++f) {
        test::RefImage image;
        image.width = width;
        image.height = height;
        image.hasControl = true;
        image.delay = 5;
        image.disposal = 1;
        image.transparentIndex = 0;
        image.indices.assign(std::size_t(width) * std::size_t(height), 0);
        for (std::size_t k = std::size_t(f) * 7; k < image.indices.size(); k += 61)
            image.indices[k] = std::uint8_t(1 + (k + std::size_t(f)) % 3);
        gif.images.push_back(std::move(image));
    }
    return test::EncodeWithGiflib(gif).value_or(std::vector<std::uint8_t>{});
}

bool AllItemsSparse(const Animation& animation) {
    for (const auto& frame : animation.Frames())
        for (const CanvasItem* item : frame->BottomToTop())
            if (!item->HeldImage().IsSparse()) return false;
    return true;
}

TEST(CompactItemTest, AnOpenedGifKeepsItsFramesAsRunsThroughRenderingSavingAndCopying) {
    const std::vector<std::uint8_t> gif = ScatteredGif(300, 40, 6);
    ASSERT_FALSE(gif.empty());
    CQVDoc runs, full;
    ASSERT_TRUE(OpenGifDocument(runs, gif, "scattered.gif").ok());
    ASSERT_TRUE(OpenGifDocument(full, gif, "scattered.gif").ok());
    EXPECT_TRUE(AllItemsSparse(runs.GetAnimation()));
    // The twin document holds every image in full.
    for (const auto& frame : full.GetAnimation().Frames())
        for (CanvasItem* item : frame->BottomToTop()) static_cast<BitmapItem*>(item)->EditImage();
    full.GetAnimation().RenderAll();
    runs.GetAnimation().RenderAll();

    const Animation& a = runs.GetAnimation();
    const Animation& b = full.GetAnimation();
    ASSERT_EQ(a.FrameCount(), b.FrameCount());
    for (std::size_t i = 0; i < a.FrameCount(); ++i)
        EXPECT_EQ(PixelsOf(a.Frames()[i]->Image()), PixelsOf(b.Frames()[i]->Image())) << "frame " << i + 1;
    const auto bytes = DocumentBytes(runs);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes, DocumentBytes(full));
    EXPECT_EQ(MemoryOf(a).Total(), MemoryOf(b).Total());
    a.LastFrame()->SelectAll();
    b.LastFrame()->SelectAll();
    EXPECT_EQ(CopySelectedToBlock(*a.LastFrame()), CopySelectedToBlock(*b.LastFrame()));
    // None of that gave an image its full form.
    EXPECT_TRUE(AllItemsSparse(a));

    // Read back from the document file, the frames are runs again.
    CQVDoc loaded;
    ASSERT_TRUE(LoadDocumentBytes(loaded, *bytes).ok());
    EXPECT_TRUE(AllItemsSparse(loaded.GetAnimation()));
    EXPECT_EQ(DocumentBytes(loaded), bytes);
}

}  // namespace
}  // namespace vantrel
