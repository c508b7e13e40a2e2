#pragma once
// Saving the animation as animated WebP or animated PNG: the same rendered
// frames the GIF export writes (master frames left out), with their
// durations in milliseconds (hundredths x 10) and the loop count as the
// number of plays. The file goes through a temporary file renamed over the
// target. Which writer a name selects is decided by its extension, through
// the table of file formats.

#include <cstdint>
#include <filesystem>
#include <vector>

#include "codec/AnimationFrames.h"
#include "codec/WebpAnimation.h"
#include "core/Status.h"

namespace vantrel {

class Animation;

enum class AnimationFormat { Gif, Webp, Apng };

// ".webp" selects WebP, ".apng" and ".png" animated PNG, anything else GIF
// (case-insensitive).
AnimationFormat AnimationFormatFor(const std::filesystem::path& path);

// The frames that are not master frames, as the writers take them. The
// frames must be rendered; the result points into them.
AnimationFrames RenderedAnimationFrames(const Animation& animation);

// The bytes of the animation as a WebP or animated PNG file (format must be
// one of the two; webp applies to WebP only). The frames must be rendered.
// With steps, one step more per frame written; when steps says stop, out is
// empty and the status says kStoppedByUser.
Status EncodeRenderedAnimationImage(const Animation& animation, AnimationFormat format, const WebpOptions& webp,
                                    std::vector<std::uint8_t>& out, ProgressSteps* steps = nullptr);

// Renders the animation and writes it to path as the format its extension
// selects, which must be WebP or animated PNG. With steps, a step per frame
// rendered and per frame written; when steps says stop, nothing is written
// (a file already at path stays as it was) and the status says kStoppedByUser.
Status SaveAnimationAsImage(Animation& animation, const std::filesystem::path& path, const WebpOptions& webp = {},
                            ProgressSteps* steps = nullptr);

}  // namespace vantrel
