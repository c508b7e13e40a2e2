// Image > Effects as the editor view runs it: the dialog sees a selected
// bitmap, shapes are converted only when the user agrees, and nothing is
// offered without a selection.

#include <gtest/gtest.h>

#include "../document/DocTestUtil.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/BoxItem.h"
#include "document/CQVDoc.h"
#include "ViewTestUtil.h"
#include "view/EditorView.h"

namespace vantrel {
namespace {

using C = CommandId;

struct Fixture {
    Fixture() : doc(test::DocWithFrames(1)), view(*doc, host) {
        AnimFrame& f = *doc->GetAnimation().FirstFrame();
        const Rect c = f.Canvas();
        bitmap = f.AppendItem(test::SolidItem({c.left, c.top, c.left + 7, c.top + 3}, 0x00FF0000));
        auto shape = std::make_unique<BoxItem>();
        shape->SetBounds({c.left + 10, c.top + 10, c.left + 20, c.top + 20});
        box = f.AppendItem(std::move(shape));
        doc->GetAnimation().RenderAll();
        view.OnInitialUpdate();
    }
    AnimFrame& Frame() { return *doc->GetAnimation().FirstFrame(); }
    std::unique_ptr<CQVDoc> doc;
    test::RecordingHost host;
    EditorView view;
    CanvasItem* bitmap = nullptr;
    CanvasItem* box = nullptr;
};

TEST(EffectRoutes, NothingSelectedOffersNothing) {
    Fixture f;
    CommandUi ui;
    f.view.UpdateCommand(C::EffectBlur, ui);
    EXPECT_FALSE(ui.enabled);
    f.bitmap->SetSelected(true);
    f.view.UpdateCommand(C::EffectBlur, ui);
    EXPECT_TRUE(ui.enabled);
}

TEST(EffectRoutes, ASelectedBitmapIsPreviewedAndChangedInOneStep) {
    Fixture f;
    f.bitmap->SetSelected(true);
    ASSERT_TRUE(f.view.ExecuteCommand(C::EffectBlur));
    ASSERT_EQ(f.host.dialogs.effectsAsked, std::vector<EffectKind>{EffectKind::Blur});
    EXPECT_EQ(f.host.dialogs.effectSampleWidth, 7);
    EXPECT_TRUE(f.host.messages.empty());
    EXPECT_EQ(f.doc->History().UndoLabel(), "Blur");
    EXPECT_EQ(f.Frame().Items()[1]->Kind(), ItemKind::Box);
}

TEST(EffectRoutes, ShapesAreConvertedOnlyWhenTheUserAgrees) {
    Fixture f;
    f.box->SetSelected(true);
    f.host.messageAnswer = MessageAnswer::No;
    f.view.ExecuteCommand(C::EffectInvert);
    EXPECT_TRUE(f.host.dialogs.effectsAsked.empty());  // nothing left to work on
    EXPECT_EQ(f.Frame().Items()[1]->Kind(), ItemKind::Box);
    f.host.messageAnswer = MessageAnswer::Yes;
    f.view.ExecuteCommand(C::EffectInvert);
    EXPECT_EQ(f.host.dialogs.effectsAsked.size(), 1u);
    EXPECT_EQ(f.Frame().Items()[1]->Kind(), ItemKind::Bitmap);
    EXPECT_EQ(f.host.messages.size(), 2u);
    f.doc->History().Undo();
    EXPECT_EQ(f.Frame().Items()[1]->Kind(), ItemKind::Box);
}

}  // namespace
}  // namespace vantrel
