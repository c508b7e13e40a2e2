#pragma once
// Edits of several frames at once: the frames chosen in the Frame List, or a
// range given on the command line. Each edit is one step of the document's
// history (one undo takes all of it back) made of the single-frame commands
// of FrameCommands.h. Frames are named by identity, in any order; frames no
// longer in the document are passed over. An edit that changes nothing
// records nothing; one the document's rules refuse changes nothing and
// says why.

#include <cstdint>
#include <span>
#include <vector>

#include "core/Status.h"
#include "document/CanvasItem.h"

namespace vantrel {

class Animation;
class CQVDoc;

// The frames in list order, without those not in the animation and repeats.
std::vector<ObjectUid> InListOrder(const Animation& animation, std::span<const ObjectUid> frames);

// The frames chosen together in list order while current is among them,
// else current alone: what the frame commands act on.
std::vector<ObjectUid> ChosenOrCurrent(const Animation& animation, std::span<const ObjectUid> chosen,
                                       ObjectUid current);

// Takes the frames out. Refused when no normal frame would remain.
Status DeleteFrames(CQVDoc& doc, std::span<const ObjectUid> frames);
// A copy of each frame directly after it. Refused when the copies would
// take the document over its memory limit.
Status DuplicateFrames(CQVDoc& doc, std::span<const ObjectUid> frames);
// Makes the frames master frames (or normal ones). Refused when no normal
// frame would remain.
Status SetFramesMaster(CQVDoc& doc, std::span<const ObjectUid> frames, bool isMaster);
// Gives every frame this duration (hundredths, limited to kMaxFrameDuration).
Status SetFramesDuration(CQVDoc& doc, std::span<const ObjectUid> frames, std::uint32_t hundredths);
// The frames trade places so that they come in the opposite order; frames
// not among them stay where they are.
Status ReverseFrames(CQVDoc& doc, std::span<const ObjectUid> frames);

// Moves the frames together, in their list order, into the gap before the
// frame at index gap of the list as it is (the frame count: after the last
// frame): what dragging several chosen frames does.
Status MoveFrames(CQVDoc& doc, std::span<const ObjectUid> frames, std::size_t gap);

// Speeds from kMinSpeedPercent to kMaxSpeedPercent are accepted.
inline constexpr int kMinSpeedPercent = 1;
inline constexpr int kMaxSpeedPercent = 10000;
// A duration played at percent speed: 200 halves it, rounded to the nearest
// hundredth (halves up) and limited to kMaxFrameDuration. A duration of two
// hundredths or more never drops below two: browsers play shorter delays
// slower, as ten.
std::uint32_t DurationAtSpeed(std::uint32_t hundredths, int percent);
// Plays the frames at percent speed (see DurationAtSpeed).
Status ChangeFramesSpeed(CQVDoc& doc, std::span<const ObjectUid> frames, int percent);

// The frames among these that render exactly as the normal frame before
// them (master frames are never written, so they neither go nor count),
// skipping frames that lie beneath other frames and frames whose duration
// could not be added to the one kept.
std::vector<ObjectUid> RepeatedFrames(const Animation& animation, std::span<const ObjectUid> frames);
// Removes the repeated frames, adding each one's duration to the frame kept before it.
Status RemoveDuplicateFrames(CQVDoc& doc, std::span<const ObjectUid> frames);

}  // namespace vantrel
