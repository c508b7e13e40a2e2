#include "document/DocumentMemory.h"

#include <algorithm>
#include <cstdio>
#include <cstddef>
#include <limits>
#include <string>

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

// A count with thousands separated: 16,384.
std::string Counted(std::uint64_t n) {
    std::string digits = std::to_string(n);
    for (std::ptrdiff_t at = std::ptrdiff_t(digits.size()) - 3; at > 0; at -= 3) digits.insert(std::size_t(at), ",");
    return digits;
}

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
            const CompactImage& image = item->HeldImage();
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

std::string TooManyItemsMessage(std::uint64_t items, std::uint64_t limit) {
    return "The frame would hold " + Counted(items) + " items, more than the limit of " + Counted(limit) + ".";
}

std::string TooManyFramesMessage(std::uint64_t frames, std::uint64_t limit) {
    return "The document would have " + Counted(frames) + " frames, more than the limit of " + Counted(limit) + ".";
}

std::string CanvasTooLargeMessage(int width, int height, int limit) {
    char message[160];
    std::snprintf(message, sizeof message, "The canvas would be %d x %d pixels, more than the limit of %d x %d.", width,
                  height, limit, limit);
    return message;
}

Status CheckDocumentLimits(const Animation& animation, const DocumentLimits& limits) {
    if (animation.Width() > limits.canvasSide || animation.Height() > limits.canvasSide)
        return Status::Error(CanvasTooLargeMessage(animation.Width(), animation.Height(), limits.canvasSide));
    if (animation.FrameCount() > limits.frames)
        return Status::Error(TooManyFramesMessage(animation.FrameCount(), limits.frames));
    for (const auto& frame : animation.Frames()) {
        const auto items = std::uint64_t(frame->CountItems());
        if (items > limits.itemsPerFrame) return Status::Error(TooManyItemsMessage(items, limits.itemsPerFrame));
    }
    return CheckDocumentMemory(MemoryOf(animation), limits.memoryBudget);
}

Status CheckDocumentFits(const CQVDoc& doc) { return CheckDocumentLimits(doc.GetAnimation(), doc.limits); }

Status CheckFramesFit(const CQVDoc& doc, std::uint64_t frames) {
    DocumentMemory memory = MemoryOf(doc.GetAnimation());
    memory.frames = SaturatingAdd(memory.frames, frames);
    if (memory.frames > doc.limits.frames) return Status::Error(TooManyFramesMessage(memory.frames, doc.limits.frames));
    return CheckDocumentMemory(memory, doc.limits.memoryBudget);
}

Status CheckItemsFit(const DocumentLimits& limits, std::uint64_t items, std::uint64_t added) {
    const std::uint64_t total = SaturatingAdd(items, added);
    if (total <= limits.itemsPerFrame) return Status::Ok();
    return Status::Error(TooManyItemsMessage(total, limits.itemsPerFrame));
}

bool MemoryBudget::Take(std::uint64_t bytes) {
    needed_ = SaturatingAdd(needed_, bytes);
    return !Exceeded();
}

}  // namespace vantrel
