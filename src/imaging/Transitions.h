#pragma once
// The in-between pictures of a transition from one rendered frame to the
// next: fades, slides, wipes, a dissolve and a zoom. Pure functions from two
// same-sized pictures to a third.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/PackedDib.h"

namespace vantrel {

enum class TransitionKind {
    Fade,
    SlideLeft,
    SlideRight,
    SlideUp,
    SlideDown,
    WipeLeft,
    WipeRight,
    WipeUp,
    WipeDown,
    Dissolve,
    ZoomIn,
};

// Every kind in menu order.
inline constexpr TransitionKind kTransitionKinds[] = {
    TransitionKind::Fade,      TransitionKind::SlideLeft, TransitionKind::SlideRight, TransitionKind::SlideUp,
    TransitionKind::SlideDown, TransitionKind::WipeLeft,  TransitionKind::WipeRight,  TransitionKind::WipeUp,
    TransitionKind::WipeDown,  TransitionKind::Dissolve,  TransitionKind::ZoomIn,
};

// The short name of the command line ("fade", "slide-left", ..., "zoom").
std::string_view TransitionKeyword(TransitionKind kind);
// The kind named by a keyword, or none.
std::optional<TransitionKind> TransitionFromKeyword(std::string_view keyword);
// The name people read ("Fade", "Slide Left", ..., "Zoom In").
std::string_view TransitionTitle(TransitionKind kind);

// Most in-between frames one transition makes.
inline constexpr int kMaxTransitionFrames = 60;

// Picture step of steps in-between pictures (step from 1 to steps) on the
// way from first to second into out. In step i of K the change has gone
// i / (K + 1) of the way. False, leaving out alone, when the pictures differ
// in size or have no pixels, or step is not within 1..steps.
bool MakeTransitionPicture(const PackedDib& first, const PackedDib& second, TransitionKind kind, int step,
                           int steps, PackedDib& out);

// The order in which a dissolve turns pixels over: for each pixel (row by row
// from the top) its place in a fixed, seeded shuffle of all pixels.
std::vector<std::uint32_t> DissolveRanks(int width, int height);

}  // namespace vantrel
