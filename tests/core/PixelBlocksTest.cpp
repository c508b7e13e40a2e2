#include "core/PixelBlocks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

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

// Huge pages are not asked for unless wanted: a page fault waiting for one
// stalled openings for seconds. Where the kernel gives them only on request
// ("madvise"), a large block written whole holds none.
TEST(PixelBlocksTest, LargeBlocksHoldNoHugePagesUnlessAskedFor) {
    std::ifstream mode("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    std::getline(mode, modes);
    if (modes.find("[madvise]") == std::string::npos || std::getenv("VANTREL_HUGE_PAGES") != nullptr)
        GTEST_SKIP() << "huge pages: " << modes;
    const std::size_t bytes = std::size_t{40} << 20;
    PixelBlockOrigin origin;
    auto* block = static_cast<unsigned char*>(AllocatePixelBlock(bytes, false, origin));
    ASSERT_NE(block, nullptr);
    std::memset(block, 1, bytes);
    // The mapping holding the block, in /proc/self/smaps.
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    std::ifstream smaps("/proc/self/smaps");
    bool inBlock = false;
    long hugeKiB = -1;
    for (std::string line; std::getline(smaps, line);) {
        unsigned long from = 0, to = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx ", &from, &to) == 2 && line.find(':') > line.find(' ')) {
            inBlock = from <= address && address < to;
        } else if (inBlock && line.rfind("AnonHugePages:", 0) == 0) {
            hugeKiB = std::stol(line.substr(14));
        }
    }
    FreePixelBlock(block, origin);
    EXPECT_EQ(hugeKiB, 0);
}

}  // namespace
}  // namespace vantrel
