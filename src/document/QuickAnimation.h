#pragma once
// A new animation made in one step from a list of image files: the first
// file fills the first frame, each further file a frame of its own, every
// frame showing for the same time, and the canvas fitted around all items.

#include <filesystem>
#include <span>

#include "core/Status.h"
#include "document/CQVDoc.h"

namespace vantrel {

// Frame durations the quick animation accepts, in seconds.
inline constexpr double kMinQuickSeconds = 0.01;
inline constexpr double kMaxQuickSeconds = 650;

// Fills a new document: first frame's duration, the files imported in the
// order given, then the canvas sized to the items of all frames. A failed
// import, or a canvas that would take the document past doc.limits.memoryBudget,
// returns the reason with the document unsized; the caller discards it.
Status MakeQuickAnimation(CQVDoc& doc, std::span<const std::filesystem::path> paths, double seconds);

}  // namespace vantrel
