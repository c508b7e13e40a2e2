#include "document/DocumentMemory.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "document/Animation.h"
#include "document/CQVDoc.h"

namespace vantrel {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

std::uint64_t SaturatingAdd(std::uint64_t a, std::uint64_t b) { return b > kMax - a ? kMax : a + b; }

std::uint64_t SaturatingMultiply(std::uint64_t a, std::uint64_t b) {
    return a != 0 && b > kMax / a ? kMax : a * b;
}

// A figure in MiB for messages, rounded up.
std::uint64_t MiB(std::uint64_t bytes) { return bytes / (1u << 20) + (bytes % (1u << 20) != 0 ? 1 : 0); }

}  // namespace

std::uint64_t FrameMemoryBytes(std::uint64_t canvasWidth, std::uint64_t canvasHeight) {
    return SaturatingAdd(kItemOverheadBytes, SaturatingMultiply(SaturatingMultiply(canvasWidth, canvasHeight), 4));
}

std::uint64_t ItemMemoryBytes(std::uint64_t width, std::uint64_t height) {
    return SaturatingAdd(kItemOverheadBytes, SaturatingMultiply(SaturatingMultiply(width, height), 8));
}

std::uint64_t DocumentMemory::Total() const {
    return SaturatingAdd(SaturatingMultiply(frames, FrameMemoryBytes(canvasWidth, canvasHeight)), itemBytes);
}

DocumentMemory MemoryOf(const Animation& animation) {
    DocumentMemory memory;
    memory.frames = animation.FrameCount();
    memory.canvasWidth = std::uint64_t(animation.Width());
    memory.canvasHeight = std::uint64_t(animation.Height());
    for (const auto& frame : animation.Frames()) {
        for (const CanvasItem* item : frame->BottomToTop()) {
            const Rect bounds = item->Bounds();
            const PackedDib& image = item->Image();
            const std::uint64_t held = std::max(
                ItemMemoryBytes(std::uint64_t(std::max(0, bounds.Width())), std::uint64_t(std::max(0, bounds.Height()))),
                ItemMemoryBytes(std::uint64_t(image.Width()), std::uint64_t(image.Height())));
            memory.itemBytes = SaturatingAdd(memory.itemBytes, held);
        }
    }
    return memory;
}

std::string DocumentTooLargeMessage(std::uint64_t totalBytes, std::uint64_t limitBytes) {
    char message[200];
    std::snprintf(message, sizeof message,
                  "The document would need about %llu MiB of memory, more than the limit of %llu MiB.",
                  static_cast<unsigned long long>(MiB(totalBytes)), static_cast<unsigned long long>(MiB(limitBytes)));
    return message;
}

Status CheckDocumentMemory(const DocumentMemory& memory, std::uint64_t limit) {
    const std::uint64_t total = memory.Total();
    if (total <= limit) return Status::Ok();
    return Status::Error(DocumentTooLargeMessage(total, limit));
}

Status CheckFramesFit(const CQVDoc& doc, std::uint64_t frames) {
    DocumentMemory memory = MemoryOf(doc.GetAnimation());
    memory.frames += frames;
    return CheckDocumentMemory(memory, doc.memoryLimit);
}

bool MemoryBudget::Take(std::uint64_t bytes) {
    needed_ = SaturatingAdd(needed_, bytes);
    return !Exceeded();
}

}  // namespace vantrel
