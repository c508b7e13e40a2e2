#include "document/AnimationExport.h"

#include <algorithm>

#include "codec/ApngWriter.h"
#include "core/FileIO.h"
#include "document/Animation.h"
#include "document/FileFormats.h"

namespace vantrel {

AnimationFormat AnimationFormatFor(const std::filesystem::path& path) {
    const FileFormat* format = FindFileFormat(path);
    if (format == nullptr) return AnimationFormat::Gif;
    switch (format->kind) {
    case FileKind::Webp: return AnimationFormat::Webp;
    case FileKind::Apng:
    case FileKind::Png: return AnimationFormat::Apng;
    case FileKind::Document:
    case FileKind::Gif:
    case FileKind::Jpeg: break;
    }
    return AnimationFormat::Gif;
}

AnimationFrames RenderedAnimationFrames(const Animation& animation) {
    AnimationFrames frames;
    frames.width = animation.Width();
    frames.height = animation.Height();
    frames.plays = animation.loopCount;
    for (const auto& frame : animation.Frames()) {
        if (frame->isMaster) continue;
        // As in the GIF export, a longer duration is written as the longest.
        frames.frames.push_back({&frame->Image(), std::min(frame->duration, kMaxFrameDuration) * 10});
    }
    return frames;
}

Status EncodeRenderedAnimationImage(const Animation& animation, AnimationFormat format, const WebpOptions& webp,
                                    std::vector<std::uint8_t>& out, ProgressSteps* steps) {
    out.clear();
    const AnimationFrames frames = RenderedAnimationFrames(animation);
    if (frames.frames.empty()) return Status::Error("There is no frame to write: every frame is a master frame.");
    if (steps != nullptr) steps->AddToTotal(frames.frames.size());
    switch (format) {
    case AnimationFormat::Webp: return EncodeWebpAnimation(frames, webp, out, steps);
    case AnimationFormat::Apng: return EncodeApng(frames, out, steps);
    case AnimationFormat::Gif: break;
    }
    return Status::Error("GIF files are written by the GIF export.");
}

Status SaveAnimationAsImage(Animation& animation, const std::filesystem::path& path, const WebpOptions& webp,
                            ProgressSteps* steps) {
    ProgressSteps uncounted;
    ProgressSteps& counted = steps != nullptr ? *steps : uncounted;
    counted.AddToTotal(animation.FrameCount());
    if (!animation.RenderAll(counted)) return Status::Error(std::string(kStoppedByUser));
    std::vector<std::uint8_t> bytes;
    if (Status encoded = EncodeRenderedAnimationImage(animation, AnimationFormatFor(path), webp, bytes, &counted);
        !encoded)
        return encoded;
    return WriteFileAtomic(path, bytes);
}

}  // namespace vantrel
