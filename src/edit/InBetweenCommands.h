#pragma once
// The commands that fill the way from one frame to the next with new frames:
// a transition (flat pictures made from the two rendered frames) and a tween
// (editable copies of the items, moved and recoloured part of the way). Both
// put their frames directly after a frame, as one step, and own them while
// undone.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Geometry.h"
#include "core/Pixel.h"
#include "core/Status.h"
#include "document/CanvasItem.h"
#include "document/Command.h"
#include "imaging/Transitions.h"

namespace vantrel {

class AnimFrame;
class CQVDoc;

// What new frames add to a document: the frames and the bytes of their items.
struct FramesGrowth {
    std::uint64_t frames = 0;
    std::uint64_t itemBytes = 0;
};

// The base: the first run builds the frames and puts them between a frame
// and the one that follows it; undo takes them out (the command then holds
// them) and redo puts the same frames back.
class InsertFramesCommand : public Command {
public:
    ~InsertFramesCommand() override;
    bool Execute(CQVDoc& doc) override;
    void Undo(CQVDoc& doc) override;
    std::size_t MemoryBytes() const override;

    // Ok when the document can take the new frames within what a document
    // may hold; the refusal to show otherwise. Execute refuses such a change too.
    Status Fits(const CQVDoc& doc) const;
    // The frames added, in order (known after the first run).
    const std::vector<ObjectUid>& FrameUids() const { return uids_; }

protected:
    InsertFramesCommand(std::string label, ObjectUid after, int count);
    int Count() const { return count_; }
    // The new frames, unrendered and not yet in the list, from the frame
    // after which they go and the frame that follows it.
    virtual std::vector<std::unique_ptr<AnimFrame>> Build(const CQVDoc& doc, const AnimFrame& first,
                                                          const AnimFrame& second) const = 0;
    virtual FramesGrowth Growth(const CQVDoc& doc, const AnimFrame& first, const AnimFrame& second) const = 0;

private:
    // The frame named by after_ and the one following it, or nulls.
    std::pair<AnimFrame*, AnimFrame*> Ends(const CQVDoc& doc) const;

    ObjectUid after_;
    int count_;
    std::vector<ObjectUid> uids_;
    std::vector<ObjectUid> backgrounds_;  // each frame's background frame, 0 for none
    std::vector<std::unique_ptr<AnimFrame>> held_;
};

// Count frames (1 to kMaxTransitionFrames) after a frame, each holding one
// canvas-sized bitmap: a picture of the transition from that frame's
// rendered image to the next frame's. Each lasts duration hundredths.
class TransitionCommand final : public InsertFramesCommand {
public:
    TransitionCommand(ObjectUid after, TransitionKind kind, int count, std::uint32_t duration);

private:
    std::vector<std::unique_ptr<AnimFrame>> Build(const CQVDoc& doc, const AnimFrame& first,
                                                  const AnimFrame& second) const override;
    FramesGrowth Growth(const CQVDoc& doc, const AnimFrame& first, const AnimFrame& second) const override;

    TransitionKind kind_;
    std::uint32_t duration_;
};

// ---- tweens ----

enum class Easing { Linear, In, Out, InOut };

// "linear", "in", "out", "in-out".
std::string_view EasingKeyword(Easing easing);
std::optional<Easing> EasingFromKeyword(std::string_view keyword);
// The share of the way covered at time t (0..1): 0 at 0 and 1 at 1.
double Ease(Easing easing, double t);

// a + (b - a) * t for each of the four bytes of a pixel value, rounded to nearest.
PixelValue MixColor(PixelValue a, PixelValue b, double t);
// Each edge of a moved t of the way to b, rounded to nearest.
Rect MixRect(const Rect& a, const Rect& b, double t);

// Most in-between frames one tween makes.
inline constexpr int kMaxTweenFrames = 60;

// Count frames after a frame holding copies of its items on their way to
// the next frame's. Items are matched by their place in the stack and their
// kind: matched items move, resize and change colour and transparency
// eased along the way; an item only one of the frames holds fades out (or
// in) through its transparency. The frames take the first frame's settings.
class TweenCommand final : public InsertFramesCommand {
public:
    TweenCommand(ObjectUid after, int count, Easing easing);

private:
    std::vector<std::unique_ptr<AnimFrame>> Build(const CQVDoc& doc, const AnimFrame& first,
                                                  const AnimFrame& second) const override;
    FramesGrowth Growth(const CQVDoc& doc, const AnimFrame& first, const AnimFrame& second) const override;

    Easing easing_;
};

}  // namespace vantrel
