#pragma once
// Onion skin: while it is on, the editor shows the frames around the current
// one faintly over it, so that a movement can be drawn against where it came
// from. Only the editor window shows it: saving, printing and the preview
// use the frames' own pictures.

#include <vector>

#include "view/FramePainter.h"

namespace vantrel {

class AnimFrame;
class Animation;

// Most frames shown on either side of the current one.
inline constexpr int kMaxOnionSkinFrames = 3;

struct OnionSkinSettings {
    bool shown = false;
    int framesBefore = 1;  // 1 to kMaxOnionSkinFrames
    int framesAfter = 0;   // 0 to kMaxOnionSkinFrames

    friend bool operator==(const OnionSkinSettings&, const OnionSkinSettings&) = default;
};

// The settings with both counts brought into their ranges.
OnionSkinSettings WithinRanges(OnionSkinSettings settings);

// Opacity out of 256 of a frame lying distance frames (1 or more) away
// from the current one: the nearest is the least faint.
int OnionSkinOpacity(int distance);

// What the editor lays over current: with the onion skin shown, the rendered
// pictures of up to framesBefore frames before it and framesAfter after it
// (master frames are not part of the animation and are passed over), the
// farthest first, so that the nearest lies on top. Nothing when hidden.
std::vector<FaintPicture> OnionSkinPictures(const Animation& animation, const AnimFrame& current,
                                            const OnionSkinSettings& settings);

}  // namespace vantrel
