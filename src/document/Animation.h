#pragma once
// Animation: the canvas size, the loop count, the names of the GIF file the
// animation is saved to, and the ordered list of frames, which it owns. An
// animation always holds at least one frame.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/Geometry.h"
#include "core/Progress.h"
#include "document/AnimFrame.h"
#include "document/CanvasItem.h"

namespace vantrel {

// Largest loop count the program keeps (0 plays without end).
inline constexpr std::uint32_t kMaxLoopCount = 65535;

class Animation {
public:
    // One empty frame on a 468 x 60 canvas, loop count 0, all flags clear.
    Animation();
    ~Animation();
    Animation(const Animation&) = delete;
    Animation& operator=(const Animation&) = delete;

    // ---- settings ----
    std::uint32_t loopCount = 0;     // 0 plays without end
    bool hasAnimationFile = false;   // "Save Animation" writes to animationPath without asking
    bool isNative = false;           // read from or written to a document file
    std::string animationExt;        // lower case without dot
    std::string animationName;       // file name with extension
    std::string animationTitle;      // file name without extension
    std::string animationPath;       // full path
    // Makes path (made absolute) the animation's GIF file, which "Save
    // Animation" then writes without asking.
    void SetAnimationFile(const std::filesystem::path& path);

    // The canvas in work-area coordinates, centred.
    const Rect& Canvas() const { return canvas_; }
    // Always (0, 0, width, height).
    Rect SizeRect() const { return {0, 0, canvas_.Width(), canvas_.Height()}; }
    int Width() const { return canvas_.Width(); }
    int Height() const { return canvas_.Height(); }
    // Sizes the canvas (1 to 1200 each; other values are clamped into that
    // range), resizes every frame image and renders everything. Items keep
    // their work-area positions.
    void SetSize(int width, int height);

    // ---- rendering ----
    // For every frame in list order: every composite rebuilt, then Render.
    void RenderAll();
    // The same, one step of steps per frame; false when steps said stop
    // (the frames after that one keep the pictures they had).
    bool RenderAll(ProgressSteps& steps);
    // The same for frame and every frame after it (nothing when frame is not in the list).
    void RenderFrom(const AnimFrame* frame);
    // While one lives, the renders of RenderAll() and RenderFrom (so also
    // SetSize) count one step of steps per frame, and once steps says stop
    // they leave the frames not reached with the pictures they had: whoever
    // made the scope then undoes the change that asked for the render. The
    // renders of a single frame's change (RenderOver) are not counted.
    class RenderStepsScope {
    public:
        RenderStepsScope(Animation& animation, ProgressSteps& steps);
        ~RenderStepsScope();
        RenderStepsScope(const RenderStepsScope&) = delete;
        RenderStepsScope& operator=(const RenderStepsScope&) = delete;

    private:
        Animation& animation_;
        ProgressSteps* outer_;
    };
    // After the items of frame changed inside area (their composites already
    // rebuilt): renders frame, then every frame lying over it directly or
    // through other frames, rebuilding there only the composites that blend
    // with the changed area. visit is called for each frame rendered, frame
    // first.
    void RenderOver(AnimFrame& frame, const Rect& area, const std::function<void(AnimFrame&)>& visit);

    // ---- the frame list ----
    std::span<const std::unique_ptr<AnimFrame>> Frames() const { return frames_; }
    std::size_t FrameCount() const { return frames_.size(); }
    AnimFrame* FirstFrame() const { return frames_.front().get(); }
    AnimFrame* LastFrame() const { return frames_.back().get(); }
    // The frame after frame, or null for the last one (or one not in the list).
    AnimFrame* NextFrame(const AnimFrame* frame) const;
    // The frame before frame; the first frame when frame is the first one or not in the list.
    AnimFrame* PreviousFrame(const AnimFrame* frame) const;
    // Position in list order from 0, or -1 when frame is not in the list.
    std::ptrdiff_t IndexOf(const AnimFrame* frame) const;
    // With masters false the number of non-master frames, otherwise the number of master frames.
    int CountFrames(bool masters) const;

    // A new rendered frame at the end taking duration, background colour and
    // background frame from the last one.
    AnimFrame* AppendFrame();
    // The same frame not rendered yet, for loaders that fill it and render it
    // once complete: its picture is never drawn only to be replaced.
    AnimFrame* AppendUnrenderedFrame();
    // A new rendered frame directly before ref (before true) or after it,
    // taking duration, background colour and background frame from ref. Null
    // when ref is not in the list.
    AnimFrame* InsertFrame(AnimFrame* ref, bool before);
    // Frames using the victim as background lose it and are re-rendered; the
    // victim is destroyed with its items. Returns the frame that becomes
    // current: the one that followed, else the one before. The only frame is
    // never deleted (returned unchanged); null when frame is not in the list.
    AnimFrame* DeleteFrame(AnimFrame* frame);

    // The first frame whose savedId equals id, or null.
    AnimFrame* FindFrameById(std::uint32_t id) const;
    // The frame with this identity, or null.
    AnimFrame* FindFrameByUid(ObjectUid uid) const;

    // ---- items of all frames ----
    // Union of the item bounds of every frame (empty ones ignored).
    Rect ItemBoundsOfAll() const;
    // Centres the union of the items of frame (all frames when null) in the
    // work area by moving every item of every frame, then sizes the canvas to
    // it. Nothing when that union is empty. Returns the offset every item was
    // moved by, or nothing when nothing happened.
    std::optional<Point> AutoFrameSize(AnimFrame* frame);

    // ---- frames taken out and put back by the commands of the history ----
    // Takes the frame at index out of the list and clears its own background
    // link (the caller records it). Frames lying over it must have been given
    // another background first. Null when index is out of range or the frame
    // is the only one.
    std::unique_ptr<AnimFrame> TakeFrame(std::size_t index);
    // Puts frame at index (at the end when index is past it), on this
    // animation's canvas. The caller renders it.
    AnimFrame* PutFrame(std::size_t index, std::unique_ptr<AnimFrame> frame);
    // Moves the frame at from so that it ends up at index to. False when
    // either is out of range.
    bool MoveFrame(std::size_t from, std::size_t to);

private:
    std::unique_ptr<AnimFrame> MakeFrameLike(const AnimFrame& model, bool render = true) const;
    AnimFrame* InsertAt(std::size_t index, std::unique_ptr<AnimFrame> frame);
    // Renders the frames from index first on; false when steps said stop.
    bool RenderRange(std::size_t first, ProgressSteps* steps);

    Rect canvas_;
    ProgressSteps* renderSteps_ = nullptr;  // the innermost RenderStepsScope's, not owned
    std::vector<std::unique_ptr<AnimFrame>> frames_;
};

}  // namespace vantrel
