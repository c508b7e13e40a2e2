#pragma once
// The one estimate of the memory a document holds. It is used wherever a
// document grows (frames inserted, files imported, items pasted, the quick
// animation, a canvas made larger) and when a file is opened, so that every
// document that can be made can also be saved and opened again. A document
// over the limit is refused with a message naming the total and the limit.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "core/Status.h"

namespace vantrel {

class Animation;
class CQVDoc;

// Most memory a document may hold: frame images, item images and composites.
inline constexpr std::uint64_t kDocumentMemoryBudget = std::uint64_t{2} << 30;  // 2 GiB
// Bookkeeping counted for every item and frame on top of its pixels.
inline constexpr std::uint64_t kItemOverheadBytes = 512;

// A frame of a canvas this size: its composed image and bookkeeping.
std::uint64_t FrameMemoryBytes(std::uint64_t canvasWidth, std::uint64_t canvasHeight);
// An item of this size: its image and composite and bookkeeping.
std::uint64_t ItemMemoryBytes(std::uint64_t width, std::uint64_t height);

// What a document holds, in parts that edits change separately.
struct DocumentMemory {
    std::uint64_t frames = 0;
    std::uint64_t canvasWidth = 0;
    std::uint64_t canvasHeight = 0;
    std::uint64_t itemBytes = 0;

    std::uint64_t Total() const;
};

// The estimate of an animation as it is now. Each item counts with the larger
// of its bounds and its image, as the reader of a document file counts it.
DocumentMemory MemoryOf(const Animation& animation);

// "The document would need about N MiB of memory, more than the limit of M MiB."
std::string DocumentTooLargeMessage(std::uint64_t totalBytes, std::uint64_t limitBytes);
// Ok when memory's total stays within limit, else the refusal above.
Status CheckDocumentMemory(const DocumentMemory& memory, std::uint64_t limit);

// Ok when doc can take frames more frames of its canvas within its memory
// limit; the refusal otherwise (inserting frames asks this first).
Status CheckFramesFit(const CQVDoc& doc, std::uint64_t frames);

// Memory that readers may still give to the frames and items they make. It
// keeps counting past the limit, so that a refusal can name the total.
class MemoryBudget {
public:
    explicit MemoryBudget(std::uint64_t limit, std::uint64_t used = 0) : limit_(limit), needed_(used) {}
    // Counts bytes as needed; false when the total now passes the limit.
    bool Take(std::uint64_t bytes);
    bool Exceeded() const { return needed_ > limit_; }
    std::uint64_t Needed() const { return needed_; }
    std::uint64_t Limit() const { return limit_; }
    std::uint64_t Remaining() const { return Exceeded() ? 0 : limit_ - needed_; }
    Status Refusal() const { return Status::Error(DocumentTooLargeMessage(needed_, limit_)); }

private:
    std::uint64_t limit_;
    std::uint64_t needed_;
};

// Raised by readers when a file describes a document over the limit.
class DocumentTooLarge : public std::runtime_error {
public:
    explicit DocumentTooLarge(const MemoryBudget& budget)
        : std::runtime_error(DocumentTooLargeMessage(budget.Needed(), budget.Limit())) {}
};

}  // namespace vantrel
