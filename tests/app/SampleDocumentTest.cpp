// The sample document the run command opens stays readable and keeps what
// it is meant to show.

#include <gtest/gtest.h>

#include <set>

#include "document/AnimFrame.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

TEST(SampleDocument, HasABackgroundMasterFrameAndEveryShapeKind) {
    CQVDoc doc;
    ASSERT_TRUE(OpenDocument(doc, test::SourceDir() / "examples" / "sample.qvd"));
    const Animation& animation = doc.GetAnimation();
    EXPECT_EQ(animation.Width(), 468);
    EXPECT_EQ(animation.Height(), 60);
    EXPECT_EQ(animation.loopCount, 0u);
    ASSERT_EQ(animation.FrameCount(), 4u);
    const AnimFrame* background = animation.FirstFrame();
    EXPECT_TRUE(background->isMaster);
    std::set<ItemKind> kinds;
    for (const auto& frame : animation.Frames()) {
        if (frame.get() != background) {
            EXPECT_FALSE(frame->isMaster);
            EXPECT_EQ(frame->BackgroundFrame(), background);
        }
        for (const CanvasItem* item : frame->BottomToTop()) kinds.insert(item->Kind());
    }
    EXPECT_EQ(kinds, (std::set<ItemKind>{ItemKind::Label, ItemKind::Box, ItemKind::Ellipse}));
}

}  // namespace
}  // namespace vantrel
