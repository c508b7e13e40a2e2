#include "view/ZoomLevels.h"

#include <gtest/gtest.h>

#include "ViewTestUtil.h"

namespace vantrel {
namespace {

TEST(ZoomFactor, ScalesBothWaysTruncatingAndComparesByValue) {
    const ZoomFactor twoThirds{2, 3};
    EXPECT_EQ(twoThirds.Scale(1200), 800);
    EXPECT_EQ(twoThirds.Scale(7), 4);    // 14 / 3
    EXPECT_EQ(twoThirds.Unscale(5), 7);  // 15 / 2
    EXPECT_EQ(twoThirds.Unscale(-1), -1);
    EXPECT_EQ(twoThirds.Percent(), 66);
    EXPECT_EQ((ZoomFactor{1, 3}).Percent(), 33);
    EXPECT_EQ(ZoomFactor{4}.Percent(), 400);
    EXPECT_EQ((ZoomFactor{2, 4}), (ZoomFactor{1, 2}));
    EXPECT_EQ((ZoomFactor{4, 2}), 2);
    EXPECT_LT((ZoomFactor{1, 2}), twoThirds);
    EXPECT_GT(ZoomFactor{1}, twoThirds);
    EXPECT_TRUE(ZoomFactor{3}.IsWhole());
    EXPECT_FALSE(twoThirds.IsWhole());
}

TEST(ZoomLevels, ZoomOutAndInWalkTheLadderBothWays) {
    const ZoomFactor ladder[] = {{1, 4}, {1, 3}, {1, 2}, {2, 3}, 1, 2, 4, 8, 16, 32};
    for (std::size_t i = 0; i + 1 < std::size(ladder); ++i) {
        EXPECT_EQ(ZoomedIn(ladder[i]), ladder[i + 1]) << ladder[i];
        EXPECT_EQ(ZoomedOut(ladder[i + 1]), ladder[i]) << ladder[i + 1];
    }
    // The bottom of the ladder holds; whole zooms off the ladder halve with truncation.
    EXPECT_EQ(ZoomedOut(kSmallestZoom), kSmallestZoom);
    EXPECT_EQ(ZoomedOut(3), 1);
    EXPECT_EQ(ZoomedOut(10), 5);
    EXPECT_EQ(ZoomedIn(10), 20);
}

TEST(ZoomLevels, FitShowsThePictureWholeAtTheLargestZoomThatDoes) {
    struct Case {
        Size picture;
        Size client;
        ZoomFactor fit;
    };
    const Case cases[] = {
        {{1200, 1200}, {900, 700}, {1, 2}},   // 2/3 gives 800, taller than 700
        {{1200, 1200}, {900, 800}, {2, 3}},   // 800 fits exactly
        {{1200, 600}, {1200, 700}, 1},        // fits at 1:1
        {{100, 50}, {900, 700}, 9},           // the narrower quotient
        {{10, 10}, {900, 700}, 16},           // never above 16
        {{1200, 1200}, {200, 200}, {1, 4}},   // nothing fits: the smallest
        {{300, 1200}, {400, 400}, {1, 3}},    // the height decides
        {{0, 0}, {400, 300}, 1},              // no picture
    };
    for (const Case& c : cases) {
        const ZoomFactor fit = FitZoom(c.picture, c.client);
        EXPECT_EQ(fit, c.fit) << c.picture.width << "x" << c.picture.height << " in " << c.client.width << "x"
                              << c.client.height;
        // Independently of the table: it fits, and the next step up would not
        // (unless the limits stop it).
        if (fit > kSmallestZoom) {
            EXPECT_LE(fit.Scale(c.picture.width), c.client.width);
            EXPECT_LE(fit.Scale(c.picture.height), c.client.height);
        }
        const ZoomFactor up = ZoomedIn(fit);
        if (fit < kLargestFitZoom && c.picture.width > 0) {
            EXPECT_TRUE(up.Scale(c.picture.width) > c.client.width || up.Scale(c.picture.height) > c.client.height);
        }
    }
}

TEST(ZoomLevels, OpeningZoomFitsLargePicturesAndEnlargesSmallOnes) {
    struct Case {
        Size picture;
        Size client;
        ZoomFactor zoom;
    };
    const Case cases[] = {
        {{1200, 1200}, {900, 700}, {1, 2}},  // larger than the window: fit
        {{468, 60}, {800, 600}, 1},          // fits but more than a third: 1:1
        {{30, 20}, {900, 700}, 10},          // 300 x 200 is within a third (300 x 233)
        {{30, 20}, {899, 700}, 9},
        {{2, 2}, {900, 700}, 16},            // never above 16
        {{900, 700}, {900, 700}, 1},         // exactly the window
        {{901, 10}, {900, 700}, {2, 3}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OpeningZoom(c.picture, c.client), c.zoom)
            << c.picture.width << "x" << c.picture.height << " in " << c.client.width << "x" << c.client.height;
}

}  // namespace
}  // namespace vantrel
