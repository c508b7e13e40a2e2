// Items and item lists: handles, hit tests, selection, moving, z-order, undo.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/DocTestUtil.h"

namespace vantrel {
namespace {

using test::SolidItem;

// The list from bottom to top as the items' fill colours' low bytes, e.g. "ACB".
std::string Order(const ItemList& list) {
    std::string order;
    for (const CanvasItem* item : list.BottomToTop()) order += char(item->PixelAt(item->Bounds().TopLeft()) & 0xFF);
    return order;
}

CanvasItem* AddLettered(ItemList& list, char letter, const Rect& r, bool selected) {
    CanvasItem* item = list.AppendItem(SolidItem(r, PixelValue(static_cast<unsigned char>(letter))));
    item->SetSelected(selected);
    return item;
}

TEST(HandleTest, HandleRectanglesAtZoomTwo) {
    CanvasItem item;
    item.SetBounds({10, 10, 20, 20});  // zoomed: 20, 20, 40, 40
    const Rect expected[] = {
        {},                   // 0: none
        {12, 12, 19, 19},     // 1 top left
        {26, 12, 33, 19},     // 2 top middle
        {41, 12, 48, 19},     // 3 top right
        {41, 26, 48, 33},     // 4 right middle
        {41, 41, 48, 48},     // 5 bottom right
        {26, 41, 33, 48},     // 6 bottom middle
        {12, 41, 19, 48},     // 7 bottom left
        {12, 26, 19, 33},     // 8 left middle
    };
    for (int n = 0; n <= 8; ++n) EXPECT_EQ(item.HandleRect(n, 2), expected[n]) << "handle " << n;
    EXPECT_EQ(item.ZoomedBounds(2), (Rect{20, 20, 40, 40}));
}

TEST(HandleTest, HitHandleUsesTheDevicePointAndExclusiveEdges) {
    CanvasItem item;
    item.SetBounds({10, 10, 20, 20});
    EXPECT_EQ(item.HitHandle(PointerState::AtDevice(26, 12, 2)), kHandleTop);
    EXPECT_EQ(item.HitHandle(PointerState::AtDevice(32, 18, 2)), kHandleTop);
    EXPECT_EQ(item.HitHandle(PointerState::AtDevice(33, 12, 2)), kNoHandle);  // right edge
    EXPECT_EQ(item.HitHandle(PointerState::AtDevice(26, 19, 2)), kNoHandle);  // bottom edge
    EXPECT_EQ(item.HitHandle(PointerState::AtDevice(47, 47, 2)), kHandleBottomRight);
    EXPECT_EQ(item.HitHandle(PointerState::AtDevice(12, 30, 2)), kHandleLeft);
    EXPECT_EQ(item.HitHandle(PointerState::AtDevice(30, 30, 2)), kNoHandle);

    EXPECT_TRUE(item.HitTest(PointerState::AtWorkArea(10, 10, 2)));
    EXPECT_TRUE(item.HitTest(PointerState::AtWorkArea(19, 19, 3)));
    EXPECT_FALSE(item.HitTest(PointerState::AtWorkArea(20, 15, 1)));
    EXPECT_FALSE(item.HitTest(PointerState::AtWorkArea(15, 9, 1)));
}

TEST(CanvasItemTest, MovingCentringAndUndo) {
    auto item = SolidItem({0, 0, 5, 4}, 0x00ABCDEF);
    item->MoveCentreTo({600, 600});  // (600 - 5 / 2, 600 - 4 / 2)
    EXPECT_EQ(item->Bounds(), (Rect{598, 598, 603, 602}));
    EXPECT_EQ(item->Position(), (Point{598, 598}));
    item->MoveBy(-8, 2);
    EXPECT_EQ(item->Bounds(), (Rect{590, 600, 595, 604}));

    EXPECT_FALSE(item->HasUndoState());
    item->SaveUndoState();
    item->CanvasItem::CropTo({0, 0, 1, 1}, 0);  // the base: bounds only
    EXPECT_EQ(item->Bounds(), (Rect{0, 0, 1, 1}));
    item->MoveBy(3, 3);
    item->RestoreUndoState();
    EXPECT_FALSE(item->HasUndoState());
    EXPECT_EQ(item->Bounds(), (Rect{590, 600, 595, 604}));
    EXPECT_EQ(item->Position(), (Point{590, 600}));
    EXPECT_EQ(item->PixelAt({594, 603}), 0x00ABCDEFu);
    EXPECT_EQ(item->PixelAt({595, 603}), 0x00FFFFFFu);  // outside the image
}

TEST(ItemListTest, SelectionQueries) {
    Animation animation;
    AnimFrame& frame = *animation.FirstFrame();
    EXPECT_EQ(frame.SelectedKind(), ItemKind::None);
    AddLettered(frame, 'A', {0, 0, 2, 2}, true);
    CanvasItem* b = AddLettered(frame, 'B', {0, 0, 2, 2}, false);
    CanvasItem* c = AddLettered(frame, 'C', {0, 0, 2, 2}, true);
    EXPECT_EQ(frame.CountSelected(), 2);
    EXPECT_EQ(frame.SelectedKind(), ItemKind::Bitmap);
    EXPECT_EQ(frame.NthSelected(1), c);
    EXPECT_EQ(frame.NthSelected(2), nullptr);

    auto plain = std::make_unique<CanvasItem>();
    plain->SetSelected(true);
    frame.AppendItem(std::move(plain));
    EXPECT_EQ(frame.SelectedKind(), ItemKind::None);  // a bitmap and another kind

    frame.DeselectAll();
    EXPECT_EQ(frame.CountSelected(), 0);
    EXPECT_EQ(frame.SelectAll(), 4);
    b->SetSelected(false);
    frame.DeleteSelected();
    EXPECT_EQ(frame.CountItems(), 1);
    EXPECT_EQ(frame.Top(), b);
    EXPECT_EQ(frame.Bottom(), b);
}

TEST(ItemListTest, ZOrderOperationsKeepRelativeOrder) {
    struct Case {
        const char* selected;  // letters selected among A (bottom) B C D (top)
        const char* front;
        const char* back;
    };
    const Case cases[] = {
        {"AC", "BDAC", "ACBD"},
        {"B", "ACDB", "BACD"},
        {"ABCD", "ABCD", "ABCD"},
        {"", "ABCD", "ABCD"},
        {"D", "ABCD", "DABC"},
    };
    for (const Case& c : cases) {
        for (bool front : {true, false}) {
            Animation animation;
            AnimFrame& frame = *animation.FirstFrame();
            for (char letter : std::string("ABCD"))
                AddLettered(frame, letter, {0, 0, 1, 1}, std::string(c.selected).find(letter) != std::string::npos);
            if (front) {
                frame.BringSelectedToFront();
            } else {
                frame.SendSelectedToBack();
            }
            EXPECT_EQ(Order(frame), front ? c.front : c.back) << c.selected << (front ? " to front" : " to back");
            // the links agree in both directions
            std::string down;
            for (const CanvasItem* item : frame.TopToBottom()) down.insert(down.begin(), char(item->PixelAt(item->Bounds().TopLeft())));
            EXPECT_EQ(down, Order(frame));
        }
    }
}

TEST(ItemListTest, ZOrderChangesRebuildComposites) {
    Animation animation;
    AnimFrame& frame = *animation.FirstFrame();
    CanvasItem* red = frame.AppendItem(SolidItem({600, 600, 602, 601}, 0x00FF0000));
    CanvasItem* glass = frame.AppendItem(SolidItem({600, 600, 602, 601}, 0xFF000000, true));
    EXPECT_EQ(glass->Composite().GetPixel(0, 0), 0x00FF0000u);  // shows red through
    glass->SetSelected(true);
    frame.SendSelectedToBack();
    EXPECT_EQ(frame.Bottom(), glass);
    EXPECT_EQ(glass->Composite().GetPixel(0, 0), 0x00FFFFFFu);  // now on the white background
    EXPECT_EQ(red->Composite().GetPixel(0, 0), 0x00FF0000u);
}

TEST(ItemListTest, MoveSelectedByClampsAtEachSide) {
    struct Case {
        Rect start;
        int dx, dy;
        Rect end;
    };
    const Case cases[] = {
        {{30, 100, 40, 110}, -50, 0, {0, 100, 10, 110}},          // left
        {{30, 100, 40, 110}, 0, -150, {30, 0, 40, 10}},           // top
        {{1180, 100, 1190, 110}, 25, 0, {1190, 100, 1200, 110}},  // right
        {{30, 1185, 40, 1195}, 0, 9, {30, 1190, 40, 1200}},       // bottom
        {{30, 100, 40, 110}, -7, 8, {23, 108, 33, 118}},          // free
        {{-5, 100, 10, 110}, 3, 0, {0, 100, 15, 110}},            // already outside: pushed in
    };
    for (const Case& c : cases) {
        Animation animation;
        AnimFrame& frame = *animation.FirstFrame();
        CanvasItem* item = frame.AppendItem(SolidItem(c.start, 0));
        item->SetSelected(true);
        frame.MoveSelectedBy(c.dx, c.dy);
        EXPECT_EQ(item->Bounds(), c.end);
    }
}

TEST(ItemListTest, MoveSelectedByClampsTheUnionAndLeavesOthers) {
    Animation animation;
    AnimFrame& frame = *animation.FirstFrame();
    CanvasItem* a = frame.AppendItem(SolidItem({30, 50, 40, 60}, 0));
    CanvasItem* b = frame.AppendItem(SolidItem({100, 10, 110, 20}, 0));
    CanvasItem* c = frame.AppendItem(SolidItem({200, 200, 210, 210}, 0));
    a->SetSelected(true);
    b->SetSelected(true);
    frame.MoveSelectedBy(-50, -50);  // union (30, 10): moves by (-30, -10)
    EXPECT_EQ(a->Bounds(), (Rect{0, 40, 10, 50}));
    EXPECT_EQ(b->Bounds(), (Rect{70, 0, 80, 10}));
    EXPECT_EQ(c->Bounds(), (Rect{200, 200, 210, 210}));
    EXPECT_EQ(frame.ItemBounds(true), (Rect{0, 0, 80, 50}));
    EXPECT_EQ(frame.ItemBounds(false), (Rect{0, 0, 210, 210}));
}

TEST(ItemListTest, PickColorLooksThroughItemsThenBackgroundThenOutside) {
    Animation animation;  // canvas (366, 570) to (834, 630)
    AnimFrame* back = animation.FirstFrame();
    back->backgroundColor = 0x00010203;
    back->Render();
    AnimFrame* frame = animation.AppendFrame();
    frame->backgroundColor = 0x00445566;
    frame->SetBackgroundFrame(nullptr);
    frame->AppendItem(SolidItem({400, 600, 410, 610}, 0x00AAAAAA));
    frame->AppendItem(SolidItem({405, 600, 415, 610}, 0x80BBBBBB, true));
    EXPECT_EQ(frame->PickColor({406, 601}), 0x80BBBBBBu);  // the top item's own pixel
    EXPECT_EQ(frame->PickColor({401, 601}), 0x00AAAAAAu);
    EXPECT_EQ(frame->PickColor({500, 600}), 0x00445566u);  // background colour
    EXPECT_EQ(frame->PickColor({10, 10}), kOutsideCanvasColor);
    frame->SetBackgroundFrame(back);
    EXPECT_EQ(frame->PickColor({500, 600}), 0x00010203u);  // background frame's picture
}

TEST(ItemListTest, UnlinkReplaceAndUndoStates) {
    Animation animation;
    AnimFrame& frame = *animation.FirstFrame();
    AddLettered(frame, 'A', {0, 0, 1, 1}, false);
    CanvasItem* b = AddLettered(frame, 'B', {0, 0, 1, 1}, false);
    AddLettered(frame, 'C', {0, 0, 1, 1}, false);
    std::unique_ptr<CanvasItem> old = frame.ReplaceItem(b, SolidItem({0, 0, 1, 1}, 'X'));
    EXPECT_EQ(old.get(), b);
    EXPECT_EQ(Order(frame), "AXC");
    EXPECT_EQ(frame.Unlink(b), nullptr);  // not in the list any more

    EXPECT_FALSE(frame.AnyUndoState());
    CanvasItem* top = frame.Top();
    top->SaveUndoState();
    EXPECT_TRUE(frame.AnyUndoState());
    top->MoveBy(5, 5);
    frame.RestoreUndoStates();
    EXPECT_FALSE(frame.AnyUndoState());
    EXPECT_EQ(top->Bounds(), (Rect{0, 0, 1, 1}));
}

}  // namespace
}  // namespace vantrel
