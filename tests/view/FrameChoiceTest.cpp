// The frame shown while several are chosen in the Frame List: always one of
// the chosen frames, so that the frame commands act on what is selected.

#include <gtest/gtest.h>

#include "view/FrameList.h"

namespace vantrel {
namespace {

TEST(FrameChoice, TheShownFrameStaysAmongTheChosenOnes) {
    const std::vector<ObjectUid> list{11, 12, 13, 14, 15};
    struct Row {
        std::vector<ObjectUid> chosen;
        ObjectUid current;
        ObjectUid shown;
    };
    const Row rows[] = {
        {{}, 13, 13},            // nothing chosen: the current frame
        {{12, 13, 14}, 13, 13},  // among them: stays
        {{12, 14}, 13, 14},      // Ctrl-click took it out: the next chosen one
        {{11, 12}, 13, 12},      // none after it: the nearest before
        {{15, 11}, 11, 11},
        {{15, 11}, 12, 15},
        {{99}, 12, 12},          // chosen frames that are not in the list change nothing
    };
    for (const Row& row : rows) {
        EXPECT_EQ(CurrentAmongChosen(list, row.chosen, row.current), row.shown) << row.current;
    }
}

}  // namespace
}  // namespace vantrel
