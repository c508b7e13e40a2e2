#include "core/PixelBlocks.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vantrel {
namespace {

struct BuddyCase {
    const char* name;
    const char* text;
    std::size_t hugePages;
};

class FreeHugePageCountTest : public testing::TestWithParam<BuddyCase> {};

TEST_P(FreeHugePageCountTest, CountsBlocksOfTwoMebibytesAndAbove) {
    EXPECT_EQ(FreeHugePageCount(GetParam().text), GetParam().hugePages);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FreeHugePageCountTest,
    testing::Values(
        BuddyCase{"Empty", "", 0},
        // Order 9 counts once, order 10 twice; smaller orders never.
        BuddyCase{"ThreeZones",
                  "Node 0, zone      DMA      0      0      0      0      0      0      0      0      1      1      3 \n"
                  "Node 0, zone    DMA32      2      3      4      2      2      3      3      1      1      2    753 \n"
                  "Node 0, zone   Normal   2543  15732   7559   3422   1778    431     16      8      3      3     12 \n",
                  (1 + 6) + (2 + 1506) + (3 + 24)},
        BuddyCase{"FragmentedMachine",
                  "Node 0, zone   Normal   9999   9999   9999   9999   9999   9999   9999   9999   9999      0      0\n", 0},
        // Kernels built with larger blocks list more orders: each counts by its size.
        BuddyCase{"TwelveOrders", "Node 0, zone   Normal 0 0 0 0 0 0 0 0 0 1 1 1\n", 1 + 2 + 4},
        BuddyCase{"TwoNodesNoFinalNewline",
                  "Node 0, zone   Normal 0 0 0 0 0 0 0 0 0 0 1\nNode 1, zone   Normal 0 0 0 0 0 0 0 0 0 5 0", 2 + 5},
        BuddyCase{"Nonsense", "zone\nNode x, zone Normal abc 1 2\nnothing here\n", 0}),
    [](const testing::TestParamInfo<BuddyCase>& info) { return std::string(info.param.name); });

// Blocks large enough for the mapped paths come back usable and, when asked,
// cleared, whether or not the machine has huge pages free.
TEST(PixelBlocksTest, LargeBlocksAreClearedAndWritable) {
    for (const std::size_t bytes : {std::size_t{300} << 10, std::size_t{8} << 20, std::size_t{40} << 20}) {
        PixelBlockOrigin origin;
        auto* block = static_cast<unsigned char*>(AllocatePixelBlock(bytes, true, origin));
        ASSERT_NE(block, nullptr) << bytes;
        EXPECT_EQ(block[0], 0);
        EXPECT_EQ(block[bytes / 2], 0);
        EXPECT_EQ(block[bytes - 1], 0);
        std::memset(block, 0xAB, bytes);
        EXPECT_EQ(block[bytes - 1], 0xAB);
        FreePixelBlock(block, origin);
    }
}

}  // namespace
}  // namespace vantrel
