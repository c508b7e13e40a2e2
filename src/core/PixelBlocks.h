#pragma once
// Memory for pixel blocks. Canvas-sized buffers are made by the hundred when
// an animation is opened or exported, and most of the cost of a fresh one is
// the kernel mapping its pages. Large blocks are therefore cut from 2 MiB-
// aligned regions; they come zero-filled, so clearing costs nothing. They are
// offered for huge pages only when VANTREL_HUGE_PAGES=1 is set: huge pages
// halve the mapping cost where the kernel has them at hand, but a page
// fault that has to wait for one (compaction, or a virtual machine's host
// backing it) stalls an opening for seconds. A block about to be overwritten is
// populated in one call; a cleared one is left to be mapped as it is
// touched, so that one never written (its buffer shared or replaced first)
// costs no memory at all.

#include <cstddef>
#include <string_view>

namespace vantrel {

// Where a block came from, for FreePixelBlock.
struct PixelBlockOrigin {
    std::size_t token = 0;  // 0: the heap
};

// bytes of memory, zero-filled when clear is set (mapped memory always is);
// null when it cannot be had.
void* AllocatePixelBlock(std::size_t bytes, bool clear, PixelBlockOrigin& origin);
void FreePixelBlock(void* block, PixelBlockOrigin origin);

// The free 2 MiB blocks a text in the form of /proc/buddyinfo counts (a free
// block of order 10 is two of them); where huge pages are wanted, large
// blocks are offered for them only while there are enough.
std::size_t FreeHugePageCount(std::string_view buddyinfo);

}  // namespace vantrel
