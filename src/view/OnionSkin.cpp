#include "view/OnionSkin.h"

#include <algorithm>

#include "document/AnimFrame.h"
#include "document/Animation.h"

namespace vantrel {

namespace {

// Opacity of the nearest frame; each step farther halves it.
constexpr int kNearestOpacity = 96;

// The frames of the animation next to current in one direction, nearest
// first, skipping master frames, at most count of them.
std::vector<const AnimFrame*> Neighbours(const Animation& animation, const AnimFrame& current, int count,
                                         bool before) {
    std::vector<const AnimFrame*> found;
    const std::ptrdiff_t at = animation.IndexOf(&current);
    if (at < 0) return found;
    const auto frames = animation.Frames();
    const std::ptrdiff_t step = before ? -1 : 1;
    const auto end = static_cast<std::ptrdiff_t>(frames.size());
    for (std::ptrdiff_t i = at + step; i >= 0 && i < end && static_cast<int>(found.size()) < count; i += step) {
        const AnimFrame* frame = frames[static_cast<std::size_t>(i)].get();
        if (!frame->isMaster) found.push_back(frame);
    }
    return found;
}

}  // namespace

OnionSkinSettings WithinRanges(OnionSkinSettings settings) {
    settings.framesBefore = std::clamp(settings.framesBefore, 1, kMaxOnionSkinFrames);
    settings.framesAfter = std::clamp(settings.framesAfter, 0, kMaxOnionSkinFrames);
    return settings;
}

int OnionSkinOpacity(int distance) { return distance < 1 ? 0 : kNearestOpacity >> std::min(distance - 1, 8); }

std::vector<FaintPicture> OnionSkinPictures(const Animation& animation, const AnimFrame& current,
                                            const OnionSkinSettings& settings) {
    std::vector<FaintPicture> pictures;
    if (!settings.shown) return pictures;
    const OnionSkinSettings counts = WithinRanges(settings);
    const std::vector<const AnimFrame*> before = Neighbours(animation, current, counts.framesBefore, true);
    const std::vector<const AnimFrame*> after = Neighbours(animation, current, counts.framesAfter, false);
    const std::size_t farthest = std::max(before.size(), after.size());
    for (std::size_t distance = farthest; distance >= 1; --distance) {
        const int opacity = OnionSkinOpacity(static_cast<int>(distance));
        for (const auto* side : {&before, &after})
            if (side->size() >= distance) pictures.push_back({&(*side)[distance - 1]->Image(), opacity});
    }
    return pictures;
}

}  // namespace vantrel
