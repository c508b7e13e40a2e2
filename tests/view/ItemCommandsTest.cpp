// The item commands, the clipboard and the context menu's choice, driven
// through EditorView with scripted dialogs and an in-memory clipboard.

#include <gtest/gtest.h>

#include <functional>

#include "../edit/EditTestUtil.h"
#include "ToolFixture.h"
#include "document/BoxItem.h"
#include "document/EllipseItem.h"
#include "document/LabelItem.h"
#include "view/ContextMenu.h"
#include "support/GiflibRef.h"
#include "support/TestPaths.h"
#include "view/EditorView.h"

namespace vantrel {
namespace {

using test::AddSolidItem;
using test::Take;
using C = CommandId;

// The tool fixture with items of every kind and the questions these tests ask.
struct Fixture : test::ToolFixture {
    CanvasItem* Add(std::unique_ptr<CanvasItem> item) { return Frame().AppendItem(std::move(item)); }
    CanvasItem* Box(const Rect& r) {
        auto box = std::make_unique<BoxItem>();
        box->SetBounds(r);
        return Add(std::move(box));
    }
    CanvasItem* Ellipse(const Rect& r) {
        auto ellipse = std::make_unique<EllipseItem>();
        ellipse->SetBounds(r);
        return Add(std::move(ellipse));
    }
    CanvasItem* Label(Point at) {
        auto label = std::make_unique<LabelItem>();
        label->SetText("Hi");
        label->MoveTo(at.x, at.y);
        return Add(std::move(label));
    }
    void SelectOnly(std::initializer_list<CanvasItem*> items) {
        Frame().DeselectAll();
        for (CanvasItem* item : items) item->SetSelected(true);
    }
    bool Enabled(CommandId id) {
        CommandUi ui;
        return view.UpdateCommand(id, ui) && ui.enabled;
    }
    void RightClick(Point p) {
        view.OnPointerMove(p, {});
        view.OnSecondaryDown(p, {});
    }
};

TEST(ItemCommands, EnableRulesFollowTheSelection) {
    Fixture f;
    CanvasItem* bitmap = AddSolidItem(f.Frame(), {400, 580, 440, 600}, 0);
    CanvasItem* label = f.Label({500, 600});
    CanvasItem* box = f.Box({600, 580, 640, 600});
    CanvasItem* ellipse = f.Ellipse({700, 580, 740, 600});
    const C commands[] = {C::DeleteItems, C::AlignCenter,     C::MoveBy,  C::BringToFront,   C::SendToBack,
                          C::ImageSize,   C::CanvasSize,      C::Combine, C::ConvertToBitmap, C::RectangleStyle,
                          C::EditCut,     C::EditCopy,        C::SelectAll, C::ImportImage};
    struct Case {
        std::vector<CanvasItem*> selection;
        const char* enabled;  // one letter per command above
    };
    const Case cases[] = {
        {{}, "------------yy"},
        {{bitmap}, "yyyyyyy---yyyy"},
        {{label}, "yyyyyy--y-yyyy"},
        {{box}, "yyyyyy--yyyyyy"},
        {{ellipse}, "yyyyyy--y-yyyy"},
        {{bitmap, box}, "yyyyy--y--yyyy"},
    };
    for (const Case& c : cases) {
        f.Frame().DeselectAll();
        for (CanvasItem* item : c.selection) item->SetSelected(true);
        std::string got;
        for (const C id : commands) got += f.Enabled(id) ? 'y' : '-';
        EXPECT_EQ(got, c.enabled) << c.selection.size() << " selected";
    }
    f.Frame().DeselectAll();
    EXPECT_FALSE(f.Enabled(C::EditPaste));  // nothing on the clipboard
}

TEST(ItemCommands, AlignCenterMovesTheSelectionToTheCanvasCentre) {
    Fixture f;
    CanvasItem* item = AddSolidItem(f.Frame(), {10, 10, 110, 50}, 0);
    f.SelectOnly({item});
    ASSERT_EQ(f.Frame().Canvas(), (Rect{366, 570, 834, 630}));
    ASSERT_TRUE(f.view.ExecuteCommand(C::AlignCenter));
    EXPECT_EQ(item->Bounds().TopLeft(), (Point{550, 580}));
    EXPECT_EQ(f.doc->History().UndoLabel(), "Align Center");
}

TEST(ItemCommands, MoveByStopsAtTheWorkAreaAndRemembersItsValues) {
    Fixture f;
    CanvasItem* item = AddSolidItem(f.Frame(), {20, 100, 60, 140}, 0);
    f.SelectOnly({item});
    f.host.dialogs.moveBy.answer = MoveByValues{MoveDirection::Left, 30};
    ASSERT_TRUE(f.view.ExecuteCommand(C::MoveBy));
    EXPECT_EQ(item->Bounds().TopLeft(), (Point{0, 100}));
    EXPECT_EQ(f.host.dialogs.moveBy.shown->distance, 0);  // the first opening shows 0 up
    f.host.dialogs.moveBy.answer = MoveByValues{MoveDirection::Down, 7};
    f.view.ExecuteCommand(C::MoveBy);
    EXPECT_EQ(f.host.dialogs.moveBy.shown->direction, MoveDirection::Left);
    EXPECT_EQ(f.host.dialogs.moveBy.shown->distance, 30);
    EXPECT_EQ(item->Bounds().TopLeft(), (Point{0, 107}));
    // No direction: nothing moves and no step is made.
    const std::size_t steps = f.Steps();
    f.host.dialogs.moveBy.answer = MoveByValues{MoveDirection::None, 50};
    f.view.ExecuteCommand(C::MoveBy);
    EXPECT_EQ(item->Bounds().TopLeft(), (Point{0, 107}));
    EXPECT_EQ(f.Steps(), steps);
    // Cancel keeps the remembered values.
    f.host.dialogs.moveBy.answer.reset();
    f.view.ExecuteCommand(C::MoveBy);
    EXPECT_EQ(f.view.Settings().LastMoveBy().direction, MoveDirection::None);
}

TEST(ItemCommands, ImageSizeKeepsTheCentre) {
    Fixture f;
    CanvasItem* item = AddSolidItem(f.Frame(), {10, 10, 111, 61}, 0);
    f.SelectOnly({item});
    f.host.dialogs.imageSize.answer = ImageSizeValues{50, 25};
    ASSERT_TRUE(f.view.ExecuteCommand(C::ImageSize));
    EXPECT_EQ(f.host.dialogs.imageSize.shown->width, 101);
    EXPECT_EQ(f.host.dialogs.imageSize.shown->height, 51);
    EXPECT_EQ(item->Bounds(), (Rect{35, 23, 85, 48}));
}

TEST(ItemCommands, ImageSizeResamplesTheWayTheDialogSaysAndRemembersIt) {
    Fixture f;
    CanvasItem* item = AddSolidItem(f.Frame(), {10, 10, 30, 20}, 0x00FFFFFF);
    const Rect left{0, 0, 10, 10};
    static_cast<BitmapItem*>(item)->EditImage().FillRect(0x00000000, &left);
    PackedDib source;
    source.CopyFrom(&item->Image());
    f.SelectOnly({item});
    f.host.dialogs.imageSize.answer = ImageSizeValues{33, 17, ResampleMode::Smooth};
    ASSERT_TRUE(f.view.ExecuteCommand(C::ImageSize));
    EXPECT_EQ(f.host.dialogs.imageSize.shown->resampling, ResampleMode::Sharp);  // the first time
    EXPECT_EQ(f.view.Settings().ResizeResampling(), ResampleMode::Smooth);
    const CanvasItem& resized = *f.Frame().Top();
    const std::optional<PackedDib> smooth = Resampled(source, 33, 17, ResampleMode::Smooth);
    const std::optional<PackedDib> sharp = Resampled(source, 33, 17, ResampleMode::Sharp);
    ASSERT_TRUE(smooth && sharp);
    ASSERT_NE(test::PixelsOf(*smooth), test::PixelsOf(*sharp));  // the fixture tells the two apart
    EXPECT_EQ(test::PixelsOf(resized.Image()), test::PixelsOf(*smooth));
    f.host.dialogs.imageSize.answer = ImageSizeValues{20, 10, ResampleMode::Smooth};
    ASSERT_TRUE(f.view.ExecuteCommand(C::ImageSize));
    EXPECT_EQ(f.host.dialogs.imageSize.shown->resampling, ResampleMode::Smooth);  // offered again
}

TEST(ItemCommands, CanvasSizeCropsAndExtendsInPlaceAndRefusesEmptyResults) {
    struct Case {
        Rect start;
        CanvasSizeValues amounts;
        Rect result;  // empty: refused
    };
    const Case cases[] = {
        {{200, 200, 300, 300}, {0, 0, -10, -10, -10, -10}, {210, 210, 290, 290}},
        {{40, 200, 140, 300}, {0, 0, 50, 0, 0, 0}, {16, 200, 140, 300}},
        {{200, 1150, 300, 1190}, {0, 0, 0, 0, 0, 30}, {200, 1150, 300, 1190}},  // already beyond the margin: no change
        {{5, 200, 105, 300}, {0, 0, 3, 0, 0, 0}, {5, 200, 105, 300}},           // nor does a side lying outside it move in
        {{200, 200, 300, 300}, {0, 0, -60, 0, -60, 0}, {}},
        {{200, 200, 300, 300}, {0, 0, 0, -100, 0, 0}, {}},
    };
    for (const Case& c : cases) {
        Fixture f;
        CanvasItem* item = AddSolidItem(f.Frame(), c.start, 0x00102030);
        f.SelectOnly({item});
        f.view.SetBackgroundColor(0x00ABCDEF);
        f.host.dialogs.canvasSize.answer = c.amounts;
        ASSERT_TRUE(f.view.ExecuteCommand(C::CanvasSize));
        if (c.result.IsEmpty()) {
            EXPECT_EQ(f.host.messages.size(), 1u);
            EXPECT_EQ(item->Bounds(), c.start);
            EXPECT_EQ(f.Steps(), 0u);
            continue;
        }
        EXPECT_TRUE(f.host.messages.empty());
        EXPECT_EQ(item->Bounds(), c.result);
        // Kept pixels stay where they were; new ones take the background colour.
        const Rect kept = Intersect(c.start, c.result);
        EXPECT_EQ(item->PixelAt(kept.TopLeft()), 0x00102030u);
        if (c.result.left < c.start.left) {
            EXPECT_EQ(item->PixelAt(c.result.TopLeft()), 0x00ABCDEFu);
        }
    }
}

TEST(ItemCommands, CombineKeepsUncoveredPixelsTransparentAndRefusesHugeUnions) {
    Fixture f;
    CanvasItem* under = AddSolidItem(f.Frame(), {100, 100, 150, 150}, 0x80808080);
    CanvasItem* box = f.Box({130, 130, 180, 180});
    static_cast<BoxItem*>(box)->SetStyle({0x00FF0000, 0x00FF0000, 0, 1, BoxLineStyle::Solid});
    f.SelectOnly({under, box});
    ASSERT_TRUE(f.view.ExecuteCommand(C::Combine));
    ASSERT_EQ(f.Frame().CountItems(), 1);
    const CanvasItem& combined = *f.Frame().Top();
    EXPECT_TRUE(combined.IsSelected());
    EXPECT_TRUE(combined.BlendWithBeneath());
    EXPECT_EQ(combined.Bounds(), (Rect{100, 100, 180, 180}));
    EXPECT_EQ(combined.PixelAt({170, 105}), 0xFFFFFFFFu);  // covered by neither
    EXPECT_EQ(combined.PixelAt({160, 160}), 0x00FF0000u);  // the opaque box
    EXPECT_EQ(TransparencyOf(combined.PixelAt({105, 105})), 0x80);
    EXPECT_EQ(f.doc->History().StepCount(), 1u);

    Fixture g;
    CanvasItem* wide = AddSolidItem(g.Frame(), {-100, 0, 1100, 10}, 0);
    CanvasItem* other = AddSolidItem(g.Frame(), {1100, 0, 1160, 10}, 0);
    g.SelectOnly({wide, other});
    g.view.ExecuteCommand(C::Combine);
    EXPECT_EQ(g.host.messages.size(), 1u);
    EXPECT_EQ(g.Frame().CountItems(), 2);
}

TEST(ItemCommands, ConvertToBitmapKeepsPlaceBoundsAndSelection) {
    Fixture f;
    AddSolidItem(f.Frame(), {100, 100, 150, 150}, 0);
    CanvasItem* label = f.Label({120, 160});
    AddSolidItem(f.Frame(), {300, 100, 350, 150}, 0);
    const Rect bounds = label->Bounds();
    f.SelectOnly({label});
    ASSERT_TRUE(f.view.ExecuteCommand(C::ConvertToBitmap));
    const CanvasItem* converted = f.Frame().Items()[1];
    EXPECT_EQ(converted->Kind(), ItemKind::Bitmap);
    EXPECT_EQ(converted->Bounds(), bounds);
    EXPECT_TRUE(converted->IsSelected());
    EXPECT_EQ(f.Frame().CountSelected(), 1);
}

TEST(ItemCommands, RectangleStyleChangesTheBoxAndTheDefaults) {
    Fixture f;
    CanvasItem* box = f.Box({100, 100, 150, 150});
    f.SelectOnly({box});
    f.host.dialogs.rectStyle.answer = RectStyleValues{3, 5, 7};
    ASSERT_TRUE(f.view.ExecuteCommand(C::RectangleStyle));
    const BoxStyle& style = static_cast<BoxItem*>(f.Frame().Top())->Style();
    EXPECT_EQ(style.lineStyle, BoxLineStyle::Vertical);
    EXPECT_EQ(style.lineWidth, 5);
    EXPECT_EQ(style.spaceWidth, 7);
    EXPECT_EQ(f.view.Settings().NewBox().fillStyle, 3);
    EXPECT_EQ(f.view.Settings().NewBox().spaceWidth, 7);
}

TEST(ItemCommands, EachCommandIsOneStepThatUndoesToTheDocumentBytes) {
    struct Case {
        const char* name;
        C id;
        std::function<void(test::ScriptedDialogs&)> answer;
    };
    const Case cases[] = {
        {"Delete", C::DeleteItems, {}},
        {"Align Center", C::AlignCenter, {}},
        {"Move By", C::MoveBy, [](auto& d) { d.moveBy.answer = MoveByValues{MoveDirection::Right, 9}; }},
        {"Bring To Front", C::BringToFront, {}},
        {"Send To Back", C::SendToBack, {}},
        {"Image Size", C::ImageSize, [](auto& d) { d.imageSize.answer = ImageSizeValues{33, 44}; }},
        {"Canvas Size", C::CanvasSize, [](auto& d) { d.canvasSize.answer = CanvasSizeValues{0, 0, 5, -3, 2, 8}; }},
        {"Convert to Bitmap", C::ConvertToBitmap, {}},
        {"Combine", C::Combine, {}},
        {"Rectangle Style", C::RectangleStyle, [](auto& d) { d.rectStyle.answer = RectStyleValues{0, 3, 4}; }},
        {"Cut", C::EditCut, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        CanvasItem* bitmap = AddSolidItem(f.Frame(), {400, 580, 440, 610}, 0x40123456);
        CanvasItem* box = f.Box({420, 590, 470, 620});
        CanvasItem* label = f.Label({450, 620});
        f.doc->GetAnimation().AppendFrame()->SetBackgroundFrame(&f.Frame());
        f.doc->GetAnimation().RenderAll();
        CommandUi ui;
        // One selected item of the kind the command takes; two for the rest.
        if (c.id == C::CanvasSize) f.SelectOnly({bitmap});
        else if (c.id == C::ConvertToBitmap || c.id == C::RectangleStyle) f.SelectOnly({box});
        else f.SelectOnly({bitmap, label});
        if (c.id == C::ImageSize) f.SelectOnly({label});
        if (c.answer) c.answer(f.host.dialogs);
        const auto before = Take(*f.doc);
        ASSERT_TRUE(f.view.ExecuteCommand(c.id));
        EXPECT_EQ(f.doc->History().StepCount(), 1u);
        EXPECT_EQ(f.doc->History().UndoLabel(), c.name);
        EXPECT_TRUE(f.doc->IsModified());
        const auto after = Take(*f.doc);
        EXPECT_NE(after, before);
        f.doc->History().Undo();
        EXPECT_EQ(Take(*f.doc), before);
        EXPECT_FALSE(f.doc->IsModified());
        f.doc->History().Redo();
        EXPECT_EQ(Take(*f.doc), after);
    }
}

TEST(ItemCommands, ImportImageSelectsTheNewTopItemOrTellsWhyNothingCame) {
    Fixture f;
    AddSolidItem(f.Frame(), {10, 10, 20, 20}, 0)->SetSelected(true);
    const auto folder = test::ScratchDir("view-import");
    test::RefGif gif;
    gif.screenWidth = 30;
    gif.screenHeight = 20;
    gif.globalColors = {{200, 0, 0}, {0, 0, 0}};
    gif.images.push_back({0, 0, 30, 20, false, {}, std::vector<std::uint8_t>(600, 0)});
    std::string error;
    ASSERT_TRUE(test::EncodeWithGiflib(gif, folder / "red.gif", &error)) << error;

    f.host.dialogs.importPath.reset();  // cancelled: nothing happens
    ASSERT_TRUE(f.view.ExecuteCommand(C::ImportImage));
    EXPECT_EQ(f.Steps(), 0u);
    f.host.dialogs.importPath = (folder / "red.gif").string();
    ASSERT_TRUE(f.view.ExecuteCommand(C::ImportImage));
    ASSERT_EQ(f.Frame().CountItems(), 2);
    EXPECT_EQ(f.Frame().CountSelected(), 1);
    EXPECT_TRUE(f.Frame().Top()->IsSelected());
    EXPECT_EQ(f.Frame().Top()->PixelAt(f.Frame().Top()->Bounds().TopLeft()), 0x00C80000u);
    EXPECT_EQ(f.doc->History().UndoLabel(), "Import Image");
    EXPECT_TRUE(f.host.messages.empty());

    f.host.dialogs.importPath = (folder / "missing.jpg").string();
    f.view.ExecuteCommand(C::ImportImage);
    EXPECT_EQ(f.Steps(), 1u);
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_FALSE(f.host.messages[0].empty());
}

TEST(ItemCommands, ADoubleClickOpensTheDialogOfTheItemsKind) {
    Fixture f;
    CanvasItem* bitmap = AddSolidItem(f.Frame(), {100, 100, 140, 140}, 0);
    CanvasItem* ellipse = f.Ellipse({200, 100, 240, 140});
    CanvasItem* box = f.Box({300, 100, 340, 140});
    CanvasItem* label = f.Label({400, 140});
    f.host.dialogs.imageSize.answer = ImageSizeValues{20, 20};
    for (CanvasItem* item : {bitmap, ellipse}) {
        const Point at{item->Bounds().left + 5, item->Bounds().top + 5};
        f.Click(at);
        f.view.OnDoubleClick(at, {});
        EXPECT_EQ(item->Bounds().Width(), 20);
    }
    const Point onBox{310, 110};
    f.Click(onBox);
    f.view.OnDoubleClick(onBox, {});
    EXPECT_TRUE(f.host.dialogs.rectStyle.shown.has_value());
    const Point onLabel{label->Bounds().left + 2, label->Bounds().top + 2};
    f.Click(onLabel);
    f.view.OnDoubleClick(onLabel, {});
    EXPECT_EQ(f.host.dialogs.textEdits, 1);
    EXPECT_FALSE(box->IsSelected());
}

// ---- clipboard ----

TEST(Clipboard, CutInOneDocumentPastesInAnotherAtTheSamePlaceAsOneStep) {
    Fixture a;
    Fixture b;
    b.host.clipboard = &a.host.ownClipboard;
    CanvasItem* item = AddSolidItem(a.Frame(), {100, 120, 140, 150}, 0x00336699);
    CanvasItem* label = a.Label({200, 200});
    AddSolidItem(b.Frame(), {0, 0, 10, 10}, 0);
    const Rect labelBounds = label->Bounds();
    a.SelectOnly({item, label});
    ASSERT_TRUE(a.view.ExecuteCommand(C::EditCut));
    EXPECT_EQ(a.Frame().CountItems(), 0);
    EXPECT_TRUE(b.Enabled(C::EditPaste));

    const auto before = Take(*b.doc);
    ASSERT_TRUE(b.view.ExecuteCommand(C::EditPaste));
    ASSERT_EQ(b.Frame().CountItems(), 3);
    const std::vector<CanvasItem*> items = b.Frame().Items();
    EXPECT_EQ(items[1]->Bounds(), (Rect{100, 120, 140, 150}));
    EXPECT_EQ(items[1]->PixelAt({100, 120}), 0x00336699u);
    EXPECT_EQ(items[2]->Kind(), ItemKind::Label);
    EXPECT_EQ(items[2]->Bounds(), labelBounds);
    EXPECT_FALSE(items[0]->IsSelected());
    EXPECT_TRUE(items[1]->IsSelected() && items[2]->IsSelected());
    EXPECT_EQ(b.doc->History().StepCount(), 1u);
    EXPECT_EQ(b.doc->History().UndoLabel(), "Paste");
    b.doc->History().Undo();
    EXPECT_EQ(Take(*b.doc), before);
    // The cut document undoes its own step.
    a.doc->History().Undo();
    EXPECT_EQ(a.Frame().CountItems(), 2);
}

TEST(Clipboard, CopyDeselectsAndOffersAPictureWithTransparency) {
    Fixture f;
    CanvasItem* left = AddSolidItem(f.Frame(), {100, 100, 110, 110}, 0x00FF0000);
    CanvasItem* right = AddSolidItem(f.Frame(), {120, 100, 130, 105}, 0x0000FF00);
    f.SelectOnly({left, right});
    ASSERT_TRUE(f.view.ExecuteCommand(C::EditCopy));
    EXPECT_EQ(f.Frame().CountSelected(), 0);
    EXPECT_EQ(f.Steps(), 0u);
    const PackedDib& picture = *f.host.ownClipboard.image;
    EXPECT_EQ(picture.Width(), 30);
    EXPECT_EQ(picture.Height(), 10);
    EXPECT_EQ(picture.GetPixel(0, 0), 0x00FF0000u);
    EXPECT_EQ(picture.GetPixel(20, 0), 0x0000FF00u);
    EXPECT_EQ(TransparencyOf(picture.GetPixel(15, 5)), 0xFF);  // between them
    // Paste in the same frame lays selected copies exactly over the originals.
    ASSERT_TRUE(f.view.ExecuteCommand(C::EditPaste));
    ASSERT_EQ(f.Frame().CountItems(), 4);
    EXPECT_EQ(f.Frame().Items()[2]->Bounds(), left->Bounds());
    EXPECT_EQ(f.Frame().CountSelected(), 2);
}

TEST(Clipboard, APictureFromAnotherProgramLandsOnTheCentrePointUnlessTooLarge) {
    struct Case {
        int width, height;
        bool pasted;
    };
    const Case cases[] = {{101, 51, true}, {1200, 1200, true}, {1201, 10, false}, {10, 1300, false}};
    for (const Case& c : cases) {
        Fixture f;
        f.view.SetCentre({600, 600});
        f.host.ownClipboard.image = test::SolidImage(c.width, c.height, 0x00445566);
        ASSERT_TRUE(f.view.ExecuteCommand(C::EditPaste));
        if (!c.pasted) {
            EXPECT_TRUE(f.Frame().IsEmpty());
            EXPECT_EQ(f.host.messages.size(), 1u);
            EXPECT_EQ(f.Steps(), 0u);
            continue;
        }
        ASSERT_EQ(f.Frame().CountItems(), 1);
        EXPECT_EQ(f.Frame().Top()->Bounds().TopLeft(), (Point{600 - c.width / 2, 600 - c.height / 2}));
        EXPECT_TRUE(f.Frame().Top()->IsSelected());
        EXPECT_FALSE(f.Frame().Top()->BlendWithBeneath());  // an opaque picture
    }
}

// A picture that cannot be read, or reads as nothing, is said so; nothing is pasted.
TEST(Clipboard, APictureThatCannotBeReadSaysSo) {
    struct Case {
        const char* name;
        bool unreadable;
        int width, height;
    };
    const Case cases[] = {{"unreadable", true, 10, 10}, {"empty", false, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        f.host.ownClipboard.image = c.width > 0 ? test::SolidImage(c.width, c.height, 0x00445566) : PackedDib();
        f.host.ownClipboard.unreadable = c.unreadable;
        EXPECT_TRUE(f.Enabled(C::EditPaste));
        ASSERT_TRUE(f.view.ExecuteCommand(C::EditPaste));
        EXPECT_TRUE(f.Frame().IsEmpty());
        EXPECT_EQ(f.Steps(), 0u);
        ASSERT_EQ(f.host.messages.size(), 1u);
        EXPECT_EQ(f.host.messages[0], "The picture on the clipboard cannot be read.");
    }
}

TEST(Clipboard, ItemsWinOverAPictureAndADamagedPackKeepsTheItemsBeforeIt) {
    Fixture f;
    CanvasItem* item = AddSolidItem(f.Frame(), {100, 100, 110, 110}, 0);
    AddSolidItem(f.Frame(), {200, 100, 210, 110}, 0);
    f.Frame().SelectAll();
    f.view.ExecuteCommand(C::EditCopy);
    ASSERT_TRUE(f.host.ownClipboard.items);
    // The second record's tag is made unknown.
    std::vector<std::uint8_t>& pack = *f.host.ownClipboard.items;
    const std::size_t second = pack[4] | pack[5] << 8 | pack[6] << 16 | std::size_t(pack[7]) << 24;
    pack[second] = 'X';
    f.Frame().DeselectAll();
    ASSERT_TRUE(f.view.ExecuteCommand(C::EditPaste));
    EXPECT_EQ(f.Frame().CountItems(), 3);  // the first record came in; no picture was pasted
    EXPECT_EQ(f.Frame().Top()->Bounds(), item->Bounds());
    EXPECT_EQ(f.host.messages.size(), 1u);
}

// A paste that would take the frame past its item limit is refused whole,
// before anything is made, with the limit and the number named; so is a
// clipboard pack of far more entries than any frame holds.
TEST(Clipboard, APastePastTheItemLimitIsRefusedWhole) {
    Fixture f;
    f.doc->limits.itemsPerFrame = 10;
    for (int i = 0; i < 6; ++i) f.Box({100 + 10 * i, 100, 108 + 10 * i, 110});
    f.Frame().SelectAll();
    f.view.ExecuteCommand(C::EditCopy);
    ASSERT_TRUE(f.host.ownClipboard.items);
    const auto before = test::Take(*f.doc);
    const std::size_t steps = f.doc->History().StepCount();
    ASSERT_TRUE(f.view.ExecuteCommand(C::EditPaste));
    EXPECT_EQ(f.Frame().CountItems(), 6);
    EXPECT_EQ(test::Take(*f.doc), before);
    EXPECT_EQ(f.doc->History().StepCount(), steps);
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages.back(), TooManyItemsMessage(12, 10));

    // 200,000 entries naming one record.
    std::vector<std::uint8_t>& pack = *f.host.ownClipboard.items;
    const std::size_t first = pack[0] | pack[1] << 8 | pack[2] << 16 | std::size_t(pack[3]) << 24;
    const std::vector<std::uint8_t> record(pack.begin() + std::ptrdiff_t(first), pack.end());
    const std::uint32_t entries = 200000;
    const std::uint32_t at = 4 * (entries + 1);
    std::vector<std::uint8_t> huge;
    for (std::uint32_t i = 0; i <= entries; ++i)
        for (int b = 0; b < 4; ++b) huge.push_back(std::uint8_t((i < entries ? at : 0) >> (8 * b)));
    huge.insert(huge.end(), record.begin(), record.end());
    pack = huge;
    f.doc->limits.itemsPerFrame = kMaxItemsPerFrame;
    ASSERT_TRUE(f.view.ExecuteCommand(C::EditPaste));
    EXPECT_EQ(f.Frame().CountItems(), 6);
    ASSERT_EQ(f.host.messages.size(), 2u);
    EXPECT_EQ(f.host.messages.back(), TooManyItemsMessage(200006, kMaxItemsPerFrame));
}

// ---- context menu ----

TEST(ContextMenu, ThePopupFollowsThePointAndTheSelection) {
    Fixture f;
    CanvasItem* label = f.Label({500, 600});
    CanvasItem* box = f.Box({700, 580, 760, 620});
    CanvasItem* bitmap = AddSolidItem(f.Frame(), {100, 100, 150, 150}, 0);
    f.RightClick({10, 10});
    EXPECT_EQ(ChooseContextPopup(&f.Frame(), f.view.Hot().item), ContextPopup::Frame);
    // An item that is not selected becomes the selection.
    f.SelectOnly({box});
    const Point onLabel{label->Bounds().left + 2, label->Bounds().top + 2};
    f.RightClick(onLabel);
    EXPECT_TRUE(label->IsSelected());
    EXPECT_FALSE(box->IsSelected());
    EXPECT_EQ(ChooseContextPopup(&f.Frame(), f.view.Hot().item), ContextPopup::Label);
    EXPECT_EQ(f.host.contextMenus.back(), onLabel);
    // A selected item keeps the whole selection.
    f.SelectOnly({box, bitmap});
    f.RightClick({120, 120});
    EXPECT_EQ(f.Frame().CountSelected(), 2);
    EXPECT_EQ(ChooseContextPopup(&f.Frame(), f.view.Hot().item), ContextPopup::Multiple);
    f.SelectOnly({bitmap});
    EXPECT_EQ(ChooseContextPopup(&f.Frame(), bitmap), ContextPopup::Image);
    f.SelectOnly({box});
    EXPECT_EQ(ChooseContextPopup(&f.Frame(), box), ContextPopup::Box);
    // Multiple's "Combine" runs the command that combines.
    const auto multiple = ContextPopupEntries(ContextPopup::Multiple);
    EXPECT_EQ(multiple.front().id, C::Combine);
}

}  // namespace
}  // namespace vantrel
