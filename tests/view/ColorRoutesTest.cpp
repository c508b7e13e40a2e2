// The colour buttons through the view: which colour the picker opens on and
// with which title, where a confirmed colour goes, and that cancelling
// changes nothing.

#include <gtest/gtest.h>

#include "ViewTestUtil.h"
#include "document/BoxItem.h"
#include "document/EllipseItem.h"
#include "document/LabelItem.h"
#include "edit/ColorCommands.h"
#include "view/ColorCommands.h"
#include "view/EditorView.h"

namespace vantrel {
namespace {

struct Fixture {
    Fixture() : doc(test::DocWithFrames(1)), view(*doc, host) {
        view.OnInitialUpdate();
        AnimFrame& f = Frame();
        auto text = std::make_unique<LabelItem>();
        LabelParams params;
        params.text = "A";
        params.textColor = 0x00112233;
        EXPECT_TRUE(text->SetParams(params));
        label = f.AppendItem(std::move(text));
        auto rect = std::make_unique<BoxItem>();
        rect->SetBounds({500, 500, 540, 530});
        box = f.AppendItem(std::move(rect));
        auto oval = std::make_unique<EllipseItem>();
        oval->SetBounds({600, 500, 640, 530});
        ellipse = f.AppendItem(std::move(oval));
        doc->SetModifiedFlag(false);
    }
    AnimFrame& Frame() const { return *view.CurrentFrame(); }
    void SelectOnly(CanvasItem* item) {
        view.DeselectAll();
        if (item) view.Select(*item, true);
    }
    std::unique_ptr<CQVDoc> doc;
    test::RecordingHost host;
    EditorView view;
    CanvasItem* label = nullptr;
    CanvasItem* box = nullptr;
    CanvasItem* ellipse = nullptr;
};

TEST(ColorButtons, TargetsAndTitlesFollowTheOneSelectedItem) {
    Fixture f;
    f.view.SetForegroundColor(0x00AA0000);
    f.view.SetBackgroundColor(0x8000BB00);
    const PixelValue boxLine = *ItemColor(*f.box, ItemColorRole::Line);
    const PixelValue boxFill = *ItemColor(*f.box, ItemColorRole::Fill);
    struct Case {
        CanvasItem* selected;
        ColorTargets targets;
        const char* foregroundTitle;
        const char* backgroundTitle;
    };
    const Case cases[] = {
        {nullptr, {0x00AA0000, 0x8000BB00}, "Select Foreground Color", "Select Background Color"},
        {f.label, {0x00112233, 0x8000BB00}, "Select Text Color", "Select Background Color"},
        {f.box, {boxLine, boxFill}, "Select Line Color", "Select Fill Color"},
        {f.ellipse, {kOpaqueBlack, 0x8000BB00}, "Select Foreground Color", "Select Background Color"},
    };
    for (const Case& c : cases) {
        f.SelectOnly(c.selected);
        EXPECT_EQ(CurrentColorTargets(f.view), c.targets);
        f.host.dialogs.colorRequests.clear();
        ASSERT_TRUE(f.view.ExecuteCommand(CommandId::ForegroundColor));
        ASSERT_TRUE(f.view.ExecuteCommand(CommandId::BackgroundColor));
        ASSERT_EQ(f.host.dialogs.colorRequests.size(), 2u);
        EXPECT_EQ(f.host.dialogs.colorRequests[0].title, c.foregroundTitle);
        EXPECT_EQ(f.host.dialogs.colorRequests[0].initial, c.targets.foreground);
        EXPECT_EQ(f.host.dialogs.colorRequests[1].title, c.backgroundTitle);
        EXPECT_EQ(f.host.dialogs.colorRequests[1].initial, c.targets.background);
        EXPECT_FALSE(f.host.dialogs.colorRequests[0].noOpacity);
    }
    // Two selected items: the view's own colours.
    f.view.Select(*f.label, true);
    f.view.Select(*f.box, true);
    EXPECT_EQ(CurrentColorTargets(f.view), (ColorTargets{0x00AA0000, 0x8000BB00}));
    // The picker was cancelled every time: nothing changed.
    EXPECT_FALSE(f.doc->IsModified());
    EXPECT_EQ(f.view.ForegroundColor(), 0x00AA0000u);
}

TEST(ColorButtons, AConfirmedColourGoesToTheItemAsOneUndoableStepAndToTheView) {
    Fixture f;
    f.SelectOnly(f.box);
    f.host.dialogs.color = 0x80FF0000;
    ASSERT_TRUE(f.view.ExecuteCommand(CommandId::BackgroundColor));
    EXPECT_EQ(ItemColor(*f.Frame().FindItemByUid(f.box->Uid()), ItemColorRole::Fill), 0x80FF0000u);
    EXPECT_EQ(f.view.BackgroundColor(), 0x80FF0000u);
    EXPECT_EQ(f.host.colors.second, 0x80FF0000u);
    EXPECT_TRUE(f.doc->IsModified());
    EXPECT_EQ(f.doc->History().UndoLabel(), "Fill Color");

    f.doc->History().Undo();
    EXPECT_FALSE(f.doc->IsModified());
    EXPECT_NE(ItemColor(*f.Frame().FindItemByUid(f.box->Uid()), ItemColorRole::Fill), 0x80FF0000u);
    // The view keeps the chosen colour for new drawings.
    EXPECT_EQ(f.view.BackgroundColor(), 0x80FF0000u);

    // Nothing selected: only the view's colour changes, the document does not.
    f.SelectOnly(nullptr);
    f.host.dialogs.color = 0x00123456;
    ASSERT_TRUE(f.view.ExecuteCommand(CommandId::ForegroundColor));
    EXPECT_EQ(f.view.ForegroundColor(), 0x00123456u);
    EXPECT_FALSE(f.doc->IsModified());
}

TEST(ColorButtons, ThePickerOffersTheRecentColoursMostRecentFirst) {
    Fixture f;
    for (const PixelValue c : {0x00000001u, 0x00000002u, 0x00000003u}) {
        f.host.dialogs.color = c;
        f.view.ExecuteCommand(CommandId::ForegroundColor);
    }
    f.host.dialogs.color.reset();
    f.host.dialogs.colorRequests.clear();
    f.view.ExecuteCommand(CommandId::BackgroundColor);
    ASSERT_EQ(f.host.dialogs.colorRequests.size(), 1u);
    EXPECT_EQ(f.host.dialogs.colorRequests[0].recent, (std::vector<PixelValue>{3, 2, 1}));
}

TEST(ColorButtons, FrameBackgroundIsOpaqueOnlyAndDropsTheBackgroundFrame) {
    auto doc = test::DocWithFrames(2);
    test::RecordingHost host;
    EditorView view(*doc, host);
    view.OnInitialUpdate();
    AnimFrame& first = *doc->GetAnimation().FirstFrame();
    AnimFrame& second = *doc->GetAnimation().NextFrame(&first);
    second.SetBackgroundFrame(&first);
    second.backgroundColor = 0x00102030;
    view.ShowFrame(&second);
    doc->SetModifiedFlag(false);

    host.dialogs.color.reset();
    ASSERT_TRUE(view.ExecuteCommand(CommandId::SetBackgroundColor));
    ASSERT_EQ(host.dialogs.colorRequests.size(), 1u);
    EXPECT_EQ(host.dialogs.colorRequests[0].title, "Frame Background Color");
    EXPECT_EQ(host.dialogs.colorRequests[0].initial, 0x00102030u);
    EXPECT_TRUE(host.dialogs.colorRequests[0].noOpacity);
    EXPECT_EQ(second.BackgroundFrame(), &first);  // cancelled: nothing changed
    EXPECT_FALSE(doc->IsModified());

    host.dialogs.color = 0x00FF8000;
    ASSERT_TRUE(view.ExecuteCommand(CommandId::SetBackgroundColor));
    EXPECT_EQ(second.backgroundColor, 0x00FF8000u);
    EXPECT_EQ(second.BackgroundFrame(), nullptr);
    EXPECT_TRUE(doc->IsModified());
    doc->History().Undo();
    EXPECT_EQ(second.BackgroundFrame(), &first);
    EXPECT_EQ(second.backgroundColor, 0x00102030u);
}

}  // namespace
}  // namespace vantrel
