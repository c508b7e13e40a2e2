#include "core/PixelBlocks.h"

#include <sys/mman.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <string_view>

namespace vantrel {

namespace {

constexpr std::size_t kSmallPage = std::size_t{4} << 10;
constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Smaller blocks come from the heap.
constexpr std::size_t kMappedBlockBytes = std::size_t{256} << 10;
// Blocks up to kRegionBytes / 4 are cut from shared regions; larger ones get
// a mapping of their own.
constexpr std::size_t kRegionBytes = std::size_t{64} << 20;
// Tokens of region blocks carry this bit (block sizes are page multiples).
constexpr std::size_t kRegionFlag = 1;

std::size_t RoundUp(std::size_t bytes, std::size_t unit) { return (bytes + unit - 1) / unit * unit; }

// A mapping of bytes (a multiple of the small page) starting on an align
// boundary, or null. One align more is mapped, and what lies before the
// boundary and after the block is given back.
void* MapAligned(std::size_t bytes, std::size_t align) {
    const std::size_t span = bytes + align;
    void* raw = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = RoundUp(start, align);
    if (aligned > start) ::munmap(raw, aligned - start);
    if (aligned + bytes < start + span) ::munmap(reinterpret_cast<void*>(aligned + bytes), start + span - aligned - bytes);
    return reinterpret_cast<void*>(aligned);
}

// Every page of the range at once rather than fault by fault. A hint: where
// the kernel does not have it, pages come as they are touched.
void Populate(void* block, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    ::madvise(block, bytes, MADV_POPULATE_WRITE);
#else
    (void)block;
    (void)bytes;
#endif
}

// Whether the kernel has free 2 MiB blocks for a range of bytes as they
// are: a range offered for huge pages is otherwise filled by compacting
// memory at fault time, which on a fragmented machine stalls a page fault for
// milliseconds and a whole opening for up to a second. Asks for room to spare
// for other programs.
bool FreeHugePagesFor(std::size_t bytes) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen("/proc/buddyinfo", "re"), &std::fclose);
    if (!file) return false;
    std::string text;
    char chunk[1024];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0;) text.append(chunk, got);
    return FreeHugePageCount(text) * kHugePage >= 2 * bytes;
}

// Whether the user asked for huge pages (VANTREL_HUGE_PAGES=1).
bool HugePagesWanted() {
    static const bool wanted = [] {
        const char* value = std::getenv("VANTREL_HUGE_PAGES");
        return value != nullptr && std::string_view(value) == "1";
    }();
    return wanted;
}

// Offers a range for huge pages, where they are wanted and the kernel can
// give them at once.
void OfferHugePages(void* range, std::size_t bytes) {
    if (bytes >= kHugePage && HugePagesWanted() && FreeHugePagesFor(bytes)) ::madvise(range, bytes, MADV_HUGEPAGE);
}

// Regions of kRegionBytes on kRegionBytes boundaries, offered for huge
// pages where they are wanted; blocks are cut one after another from the newest region. A freed
// block's pages go back to the kernel at once (its addresses are not reused);
// a region is unmapped when its last block is freed.
class RegionAllocator {
public:
    // Never destroyed: destructors of other static objects may free blocks
    // at exit, after a destroyed allocator would be gone.
    static RegionAllocator& Instance() {
        alignas(RegionAllocator) static unsigned char storage[sizeof(RegionAllocator)];
        static RegionAllocator* const allocator = ::new (storage) RegionAllocator();
        return *allocator;
    }

    void* Allocate(std::size_t bytes, bool populate) {
        void* block = nullptr;
        {
            const std::lock_guard lock(mutex_);
            auto current = regions_.find(current_);
            if (current == regions_.end() || current->second.used + bytes > kRegionBytes) {
                void* region = MapAligned(kRegionBytes, kRegionBytes);
                if (region == nullptr) return nullptr;
                OfferHugePages(region, kRegionBytes);
                current_ = reinterpret_cast<std::uintptr_t>(region);
                current = regions_.emplace(current_, Region{}).first;
            }
            block = reinterpret_cast<void*>(current_ + current->second.used);
            current->second.used += bytes;
            ++current->second.live;
        }
        if (populate) Populate(block, bytes);
        return block;
    }

    void Free(void* block, std::size_t bytes) {
        const auto address = reinterpret_cast<std::uintptr_t>(block);
        const std::uintptr_t base = address / kRegionBytes * kRegionBytes;
        const std::lock_guard lock(mutex_);
        const auto region = regions_.find(base);
        if (region == regions_.end()) return;
        if (--region->second.live == 0) {
            ::munmap(reinterpret_cast<void*>(base), kRegionBytes);
            regions_.erase(region);
            return;
        }
        ::madvise(block, bytes, MADV_DONTNEED);
    }

private:
    struct Region {
        std::size_t used = 0;  // bytes cut from the start
        std::size_t live = 0;  // blocks not yet freed
    };
    std::mutex mutex_;
    std::map<std::uintptr_t, Region> regions_;
    std::uintptr_t current_ = 0;
};

}  // namespace

std::size_t FreeHugePageCount(std::string_view buddyinfo) {
    std::size_t blocks = 0;
    // "Node 0, zone   Normal   2543  15732 ...": free blocks of order 0, 1, ...
    while (!buddyinfo.empty()) {
        const std::size_t eol = buddyinfo.find('\n');
        std::string_view line = buddyinfo.substr(0, eol);
        buddyinfo.remove_prefix(eol == std::string_view::npos ? buddyinfo.size() : eol + 1);
        const std::size_t zone = line.find("zone");
        if (zone == std::string_view::npos) continue;
        line.remove_prefix(zone + 4);
        std::size_t at = line.find_first_not_of(' ');
        at = line.find(' ', at == std::string_view::npos ? line.size() : at);  // past the zone's name
        for (int order = 0; at != std::string_view::npos && at < line.size(); ++order) {
            at = line.find_first_not_of(' ', at);
            if (at == std::string_view::npos) break;
            std::size_t count = 0;
            const auto [end, error] = std::from_chars(line.data() + at, line.data() + line.size(), count);
            if (error != std::errc()) break;
            if (order >= 9) blocks += count << (order - 9);
            at = static_cast<std::size_t>(end - line.data());
        }
    }
    return blocks;
}

void* AllocatePixelBlock(std::size_t bytes, bool clear, PixelBlockOrigin& origin) {
    origin.token = 0;
    if (bytes >= kMappedBlockBytes) {
        const std::size_t rounded = RoundUp(bytes, kSmallPage);
        if (rounded <= kRegionBytes / 4) {
            if (void* block = RegionAllocator::Instance().Allocate(rounded, !clear)) {
                origin.token = rounded | kRegionFlag;
                return block;
            }
        } else if (void* block = MapAligned(rounded, kHugePage)) {
            OfferHugePages(block, rounded / kHugePage * kHugePage);
            if (!clear) Populate(block, rounded);
            origin.token = rounded;
            return block;
        }
    }
    return clear ? std::calloc(bytes, 1) : std::malloc(bytes);
}

void FreePixelBlock(void* block, PixelBlockOrigin origin) {
    if (block == nullptr) return;
    if (origin.token == 0) {
        std::free(block);
    } else if (origin.token & kRegionFlag) {
        RegionAllocator::Instance().Free(block, origin.token & ~kRegionFlag);
    } else {
        ::munmap(block, origin.token);
    }
}

}  // namespace vantrel
