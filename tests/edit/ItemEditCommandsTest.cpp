// The edits of one item in place. Pen painting is checked against an
// oracle: the same lines drawn straight into the bitmap, then every
// composite and frame rebuilt from scratch; what the command rebuilds only
// where it painted must match that to the byte.

#include "edit/ItemEditCommands.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "EditTestUtil.h"
#include "document/Animation.h"
#include "edit/ColorCommands.h"

namespace vantrel {
namespace {

using test::Snapshot;
using test::PixelsOf;
using test::Take;

// A scene for painting: the bitmap painted on and the document around it.
struct PaintScene {
    std::unique_ptr<CQVDoc> doc = std::make_unique<CQVDoc>();
    ObjectUid frame = 0;
    ObjectUid bitmap = 0;

    AnimFrame& Frame() const { return *doc->GetAnimation().FindFrameByUid(frame); }
    BitmapItem& Bitmap() const { return static_cast<BitmapItem&>(*Frame().FindItemByUid(bitmap)); }
};

// An opaque bitmap exactly covering the canvas, as a frame read from a GIF:
// its image, its composite and the frame's picture are one block.
PaintScene CoveringPicture() {
    PaintScene s;
    AnimFrame& f = *s.doc->GetAnimation().FirstFrame();
    const Rect c = f.Canvas();
    PackedDib image;
    image.SetSize(c.Width(), c.Height());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) image.Row(y)[x] = PixelValue(x * 0x030507 + y * 0x0B0D11) & 0xFFFFFF;
    auto item = BitmapItem::FromImage(std::move(image));
    item->MoveTo(c.left, c.top);
    s.bitmap = f.AppendItem(std::move(item))->Uid();
    s.frame = f.Uid();
    s.doc->GetAnimation().RenderAll();
    s.doc->SetModifiedFlag(false);
    return s;
}

// A half-transparent bitmap that blends, over an opaque item and under a
// blending one, in a frame that a later frame lies over.
PaintScene LayeredPicture() {
    PaintScene s;
    Animation& a = s.doc->GetAnimation();
    AnimFrame& f = *a.FirstFrame();
    const Rect c = f.Canvas();
    f.backgroundColor = 0x00336699;
    f.AppendItem(test::SolidItem({c.left + 5, c.top + 5, c.left + 60, c.top + 50}, 0x00FF0000));
    auto painted = test::SolidItem({c.left + 20, c.top + 10, c.left + 100, c.top + 70}, 0x8000FF00, true);
    const Rect opaquePart{10, 10, 30, 30};
    painted->EditImage().FillRect(0x000000FF, &opaquePart);
    s.bitmap = f.AppendItem(std::move(painted))->Uid();
    f.AppendItem(test::SolidItem({c.left + 25, c.top + 12, c.left + 70, c.top + 90}, 0x60FFFF00, true));
    AnimFrame* later = a.AppendFrame();
    later->SetBackgroundFrame(&f);
    later->AppendItem(test::SolidItem({c.left + 30, c.top + 20, c.left + 50, c.top + 40}, 0x40000000, true));
    s.frame = f.Uid();
    a.RenderAll();
    s.doc->SetModifiedFlag(false);
    return s;
}

// The lines of a stroke, relative to the bitmap's top-left corner: some
// inside others, one leaving the picture.
std::vector<std::pair<Point, Point>> Stroke() {
    return {{{3, 4}, {9, 6}}, {{9, 6}, {12, 15}}, {{12, 15}, {10, 10}}, {{10, 10}, {-20, 30}}, {{4, 5}, {8, 5}}};
}

// Every item's composite and every frame's picture.
std::vector<std::vector<std::uint8_t>> Pictures(const CQVDoc& doc) {
    std::vector<std::vector<std::uint8_t>> all;
    for (const auto& frame : doc.GetAnimation().Frames()) {
        for (const CanvasItem* item : frame->BottomToTop()) all.push_back(PixelsOf(item->Composite()));
        all.push_back(PixelsOf(frame->Image()));
    }
    return all;
}

using SceneMaker = PaintScene (*)();

class PaintStroke : public ::testing::TestWithParam<std::tuple<SceneMaker, PixelValue>> {};

TEST_P(PaintStroke, MatchesTheLinesDrawnStraightAndUndoesAndRedoesAsOneStep) {
    const auto [make, color] = GetParam();
    PaintScene s = make();
    PaintScene oracle = make();
    const Point at = s.Bitmap().Bounds().TopLeft();
    const Snapshot before = Take(*s.doc);
    for (const auto& [from, to] : Stroke()) {
        const Point a{at.x + from.x, at.y + from.y}, b{at.x + to.x, at.y + to.y};
        auto paint = std::make_unique<PaintLineCommand>(s.frame, s.bitmap, a, b, color);
        paint->SetMergeKey(7);
        EXPECT_TRUE(s.doc->Execute(std::move(paint)));
        oracle.Bitmap().DrawLine(a.x, a.y, b.x, b.y, color);
    }
    oracle.doc->GetAnimation().RenderAll();
    EXPECT_EQ(s.doc->History().StepCount(), 1u);
    EXPECT_EQ(Take(*s.doc), Take(*oracle.doc));
    EXPECT_EQ(Pictures(*s.doc), Pictures(*oracle.doc));
    EXPECT_EQ(s.Bitmap().BlendWithBeneath(), oracle.Bitmap().BlendWithBeneath());

    s.doc->History().Undo();
    EXPECT_EQ(Take(*s.doc), before);
    EXPECT_EQ(Pictures(*s.doc), Pictures(*make().doc));
    EXPECT_FALSE(s.doc->IsModified());
    s.doc->History().Redo();
    EXPECT_EQ(Take(*s.doc), Take(*oracle.doc));
    EXPECT_EQ(Pictures(*s.doc), Pictures(*oracle.doc));
}

INSTANTIATE_TEST_SUITE_P(ScenesAndColors, PaintStroke,
                         ::testing::Combine(::testing::Values(&CoveringPicture, &LayeredPicture),
                                            ::testing::Values(PixelValue{0x00204060}, PixelValue{0x80FF0000},
                                                              PixelValue{0xFF000000})));

TEST(PaintLine, AnOpaqueLineOnAnOpaquePictureKeepsItsBlocksShared) {
    PaintScene s = CoveringPicture();
    const Point at = s.Bitmap().Bounds().TopLeft();
    ASSERT_TRUE(s.doc->Execute(std::make_unique<PaintLineCommand>(s.frame, s.bitmap, at, Point{at.x + 5, at.y + 9},
                                                                  0x00FFFFFF)));
    // Painting wrote in place: the picture still is its own composite and the frame's.
    EXPECT_TRUE(s.Bitmap().Composite().SharesBlockWith(s.Bitmap().Image()));
    EXPECT_TRUE(s.Frame().Image().SharesBlockWith(s.Bitmap().Image()));
    s.doc->History().Undo();
    EXPECT_TRUE(s.Frame().Image().SharesBlockWith(s.Bitmap().Image()));
}

TEST(PaintLine, AStrokeHoldsTheRectanglesOfItsLinesNotTheBitmap) {
    PaintScene s = CoveringPicture();
    const Point at = s.Bitmap().Bounds().TopLeft();
    for (int i = 0; i < 20; ++i) {
        auto paint = std::make_unique<PaintLineCommand>(s.frame, s.bitmap, Point{at.x + 5 * i, at.y + 10},
                                                        Point{at.x + 5 * i + 4, at.y + 13}, 0x00000000);
        paint->SetMergeKey(3);
        ASSERT_TRUE(s.doc->Execute(std::move(paint)));
    }
    // Twenty lines of 5 x 4 pixels; the bitmap is the whole canvas.
    EXPECT_EQ(s.doc->History().MemoryBytes(), 20u * 5 * 4 * 4);
    // A line inside the rectangle of one already held adds nothing.
    auto inside = std::make_unique<PaintLineCommand>(s.frame, s.bitmap, Point{at.x + 1, at.y + 11},
                                                     Point{at.x + 3, at.y + 11}, 0x00000000);
    inside->SetMergeKey(3);
    ASSERT_TRUE(s.doc->Execute(std::move(inside)));
    EXPECT_EQ(s.doc->History().MemoryBytes(), 20u * 5 * 4 * 4);
}

TEST(PaintLine, UndoGivesBackTheSourceImageResizesStartFrom) {
    PaintScene s = CoveringPicture();
    const Rect b = s.Bitmap().Bounds();
    ASSERT_TRUE(s.doc->Execute(std::make_unique<ResizeItemCommand>("Resize", s.frame, s.bitmap, b.Inflate(-10, -10))));
    ASSERT_NE(s.Bitmap().SourceImage(), nullptr);
    const Point at = s.Bitmap().Bounds().TopLeft();
    ASSERT_TRUE(s.doc->Execute(std::make_unique<PaintLineCommand>(s.frame, s.bitmap, at, at, 0x00FF00FF)));
    EXPECT_EQ(s.Bitmap().SourceImage(), nullptr);
    s.doc->History().Undo();
    ASSERT_NE(s.Bitmap().SourceImage(), nullptr);
    EXPECT_EQ(s.Bitmap().SourceImage()->Width(), b.Width());
    s.doc->History().Redo();
    EXPECT_EQ(s.Bitmap().SourceImage(), nullptr);
}

TEST(PaintLine, ALineThatMissesThePictureOrAnItemThatIsNoBitmapChangesNothing) {
    PaintScene s = LayeredPicture();
    const Rect b = s.Bitmap().Bounds();
    EXPECT_FALSE(s.doc->Execute(std::make_unique<PaintLineCommand>(s.frame, s.bitmap, Point{b.right, b.top},
                                                                   Point{b.right + 10, b.top - 5}, 0)));
    EXPECT_FALSE(s.doc->Execute(std::make_unique<PaintLineCommand>(s.frame, 0, b.TopLeft(), b.TopLeft(), 0)));
    EXPECT_EQ(s.doc->History().StepCount(), 0u);
}

// ---- the edits undone by a copy ----

struct EditCase {
    const char* name;
    bool relative;  // its values follow from the item's: made again, it changes the item again
    std::function<std::unique_ptr<Command>(const CQVDoc&, ObjectUid frame, const CanvasItem& item)> make;
    std::function<std::unique_ptr<CanvasItem>(const Rect& canvas)> item;
};

std::unique_ptr<CanvasItem> Box(const Rect& c) {
    auto box = std::make_unique<BoxItem>();
    box->SetBounds({c.left + 10, c.top + 10, c.left + 70, c.top + 50});
    return box;
}

std::unique_ptr<CanvasItem> Label(const Rect& c) { return test::TextLabel("Edit", 18, {c.left + 8, c.top + 8}); }

std::unique_ptr<CanvasItem> Picture(const Rect& c) {
    auto bitmap = test::SolidItem({c.left + 10, c.top + 10, c.left + 50, c.top + 40}, 0x00808080);
    const Rect leftHalf{0, 0, 20, 30};
    bitmap->EditImage().FillRect(0x00FF0000, &leftHalf);
    return bitmap;
}

const EditCase kEdits[] = {
    {"Resize", true,
     [](const CQVDoc&, ObjectUid f, const CanvasItem& i) {
         return std::make_unique<ResizeItemCommand>("Resize", f, i.Uid(), i.Bounds().Inflate(6, 3));
     },
     Picture},
    {"Smooth Resize", true,
     [](const CQVDoc&, ObjectUid f, const CanvasItem& i) {
         return std::make_unique<ResizeItemCommand>("Smooth Resize", f, i.Uid(), i.Bounds().Inflate(7, 2),
                                                    ResampleMode::Smooth);
     },
     Picture},
    {"Crop", true,
     [](const CQVDoc&, ObjectUid f, const CanvasItem& i) {
         const Rect b = i.Bounds();
         return std::make_unique<CropItemCommand>("Crop", f, i.Uid(), Rect{b.left - 4, b.top + 3, b.right - 9, b.bottom},
                                                  0x00123456);
     },
     Picture},
    {"Fill", false,
     [](const CQVDoc&, ObjectUid f, const CanvasItem& i) {
         return std::make_unique<FillCommand>(f, i.Uid(), Point{i.Bounds().left + 30, i.Bounds().top + 5}, 0x000000FF);
     },
     Picture},
    {"Rectangle Style", true,
     [](const CQVDoc&, ObjectUid f, const CanvasItem& i) {
         BoxStyle style = static_cast<const BoxItem&>(i).Style();
         style.lineWidth += 3;
         style.lineStyle = BoxLineStyle::Vertical;
         return std::make_unique<SetBoxStyleCommand>("Rectangle Style", f, i.Uid(), style);
     },
     Box},
    {"Edit Text", false,
     [](const CQVDoc&, ObjectUid f, const CanvasItem& i) {
         LabelParams params = static_cast<const LabelItem&>(i).Params();
         params.text = "Edited text";
         return std::make_unique<SetLabelParamsCommand>("Edit Text", f, i.Uid(), params);
     },
     Label},
    {"Fill Color", false,
     [](const CQVDoc&, ObjectUid f, const CanvasItem& i) {
         return MakeItemColorCommand(f, i.Uid(), ItemColorRole::Fill, 0x4000FF00);
     },
     Box},
};

TEST(ItemEdits, EachUndoesToTheBytesAndFramesRedoesAndRepeatedChangesNothing) {
    for (const EditCase& edit : kEdits) {
        CQVDoc doc;
        AnimFrame& f = *doc.GetAnimation().FirstFrame();
        f.AppendItem(test::SolidItem({f.Canvas().left, f.Canvas().top, f.Canvas().left + 30, f.Canvas().top + 30},
                                     0x00FFFF00));
        CanvasItem& item = *f.AppendItem(edit.item(f.Canvas()));
        doc.GetAnimation().RenderAll();
        doc.SetModifiedFlag(false);
        const Snapshot before = Take(doc);
        ASSERT_TRUE(doc.Execute(edit.make(doc, f.Uid(), item))) << edit.name;
        const Snapshot after = Take(doc);
        EXPECT_NE(after, before) << edit.name;
        EXPECT_EQ(doc.History().UndoLabel(), edit.name);
        doc.History().Undo();
        EXPECT_EQ(Take(doc), before) << edit.name;
        doc.History().Redo();
        EXPECT_EQ(Take(doc), after) << edit.name;
        // The item the frame holds now already has the values: no new step.
        const CanvasItem& edited = *f.Top();
        if (!edit.relative) {
            EXPECT_FALSE(doc.Execute(edit.make(doc, f.Uid(), edited))) << edit.name;
        }
        EXPECT_EQ(doc.History().StepCount(), 1u) << edit.name;
    }
}

TEST(ItemEdits, ResizeAndCropToTheBoundsTheItemHasChangeNothing) {
    CQVDoc doc;
    AnimFrame& f = *doc.GetAnimation().FirstFrame();
    const CanvasItem& item = *f.AppendItem(Picture(f.Canvas()));
    EXPECT_FALSE(doc.Execute(std::make_unique<ResizeItemCommand>("Resize", f.Uid(), item.Uid(), item.Bounds())));
    EXPECT_FALSE(doc.Execute(std::make_unique<CropItemCommand>("Crop", f.Uid(), item.Uid(), item.Bounds(), 0)));
    EXPECT_EQ(doc.History().StepCount(), 0u);
}

TEST(ItemEdits, ResizeScalesBitmapsTheWayItsResamplingSays) {
    for (const ResampleMode mode : {ResampleMode::Sharp, ResampleMode::Smooth}) {
        CQVDoc doc;
        AnimFrame& f = *doc.GetAnimation().FirstFrame();
        const CanvasItem& item = *f.AppendItem(Picture(f.Canvas()));
        const PackedDib source = [&] {
            PackedDib copy;
            copy.CopyFrom(&item.Image());
            return copy;
        }();
        const Rect target = item.Bounds().Inflate(13, 5);
        ASSERT_TRUE(doc.Execute(std::make_unique<ResizeItemCommand>("Resize", f.Uid(), item.Uid(), target, mode)));
        const CanvasItem& resized = *f.Top();
        EXPECT_EQ(resized.Bounds(), target);
        const std::optional<PackedDib> expected = Resampled(source, target.Width(), target.Height(), mode);
        ASSERT_TRUE(expected.has_value());
        EXPECT_EQ(test::PixelsOf(resized.Image()), test::PixelsOf(*expected)) << ResampleTitle(mode);
    }
    // The two ways differ on this picture (its red and grey halves meet inside new pixels).
    CQVDoc doc;
    const auto picture = Picture(doc.GetAnimation().FirstFrame()->Canvas());
    EXPECT_NE(test::PixelsOf(*Resampled(picture->Image(), 53, 35, ResampleMode::Sharp)),
              test::PixelsOf(*Resampled(picture->Image(), 53, 35, ResampleMode::Smooth)));
}

}  // namespace
}  // namespace vantrel
