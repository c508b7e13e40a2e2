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
#include "document/WorkArea.h"

namespace vantrel {

class Animation;
class CQVDoc;

// Most memory a document may hold: frame images, item images and composites.
inline constexpr std::uint64_t kDocumentMemoryBudget = std::uint64_t{2} << 30;  // 2 GiB
// Bookkeeping counted for every item and frame on top of its pixels.
inline constexpr std::uint64_t kItemOverheadBytes = 512;
// Most items one frame may hold. Composing an item walks the items beneath
// it, so a frame's rendering grows with the square of its item count; this
// keeps a damaged or hostile file or clipboard from stalling the program.
inline constexpr std::uint64_t kMaxItemsPerFrame = 16384;
// Most frames a document may hold; far past any animation worth showing.
inline constexpr std::uint64_t kMaxFrames = 100000;

// What a document may hold: the one rule asked by every edit that can grow a
// document, by saving (never write what reading refuses) and by the readers
// of document files and clipboard packs. Tests set smaller limits.
struct DocumentLimits {
    // Frame images, item images and composites, and bookkeeping (MemoryOf).
    std::uint64_t memoryBudget = kDocumentMemoryBudget;
    std::uint64_t itemsPerFrame = kMaxItemsPerFrame;
    std::uint64_t frames = kMaxFrames;
    // Largest canvas width and height.
    int canvasSide = kWorkAreaSize;
};

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

// "The frame would hold N items, more than the limit of M." and the like for
// frames and the canvas: each refusal names the limit and the number.
std::string TooManyItemsMessage(std::uint64_t items, std::uint64_t limit);
std::string TooManyFramesMessage(std::uint64_t frames, std::uint64_t limit);
std::string CanvasTooLargeMessage(int width, int height, int limit);

// Ok when animation keeps every limit; else the refusal of the first one it
// breaks: canvas size, frame count, items of a frame, memory.
Status CheckDocumentLimits(const Animation& animation, const DocumentLimits& limits);
// The same for a document, by its own limits. The document's history asks
// this after every command and takes back a command that breaks it.
Status CheckDocumentFits(const CQVDoc& doc);

// Ok when doc can take frames more frames of its canvas within its limits;
// the refusal otherwise (a command adding many frames may ask this first).
Status CheckFramesFit(const CQVDoc& doc, std::uint64_t frames);
// Ok when frame, holding items now, can take added more items.
Status CheckItemsFit(const DocumentLimits& limits, std::uint64_t items, std::uint64_t added);

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
