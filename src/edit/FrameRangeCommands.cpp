#include "edit/FrameRangeCommands.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "document/DocumentMemory.h"
#include "document/UndoHistory.h"
#include "edit/FrameCommands.h"

namespace vantrel {

namespace {

// "Remove Frames" refuses to take the last normal frame.
constexpr const char* kLastNormalFrame = "The animation needs at least one frame that is not a master frame.";

// Runs one command per frame in list order as a single step labelled label.
template <typename MakeCommand>
void RunOnEach(CQVDoc& doc, const std::vector<ObjectUid>& frames, const std::string& label, MakeCommand make) {
    Transaction step(doc.History(), label);
    for (const ObjectUid uid : frames) step.Add(make(uid));
    step.Commit();
}

// The normal frames that would remain if these frames went (or became masters).
int NormalFramesLeft(const Animation& animation, const std::vector<ObjectUid>& frames) {
    int left = 0;
    for (const auto& frame : animation.Frames())
        if (!frame->isMaster && std::find(frames.begin(), frames.end(), frame->Uid()) == frames.end()) ++left;
    return left;
}

bool SamePixels(const PackedDib& a, const PackedDib& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height() || !a.HasBlock() || !b.HasBlock()) return false;
    const std::size_t rowBytes = std::size_t(a.Width()) * sizeof(PixelValue);
    for (int y = 0; y < a.Height(); ++y)
        if (std::memcmp(a.Row(y), b.Row(y), rowBytes) != 0) return false;
    return true;
}

bool LiesBeneathAnother(const Animation& animation, const AnimFrame& frame) {
    const auto& frames = animation.Frames();
    return std::any_of(frames.begin(), frames.end(),
                       [&frame](const auto& other) { return other->BackgroundFrame() == &frame; });
}

}  // namespace

std::vector<ObjectUid> InListOrder(const Animation& animation, std::span<const ObjectUid> frames) {
    std::vector<ObjectUid> ordered;
    for (const auto& frame : animation.Frames())
        if (std::find(frames.begin(), frames.end(), frame->Uid()) != frames.end()) ordered.push_back(frame->Uid());
    return ordered;
}

std::vector<ObjectUid> ChosenOrCurrent(const Animation& animation, std::span<const ObjectUid> chosen,
                                       ObjectUid current) {
    std::vector<ObjectUid> ordered = InListOrder(animation, chosen);
    if (std::find(ordered.begin(), ordered.end(), current) == ordered.end()) return {current};
    return ordered;
}

Status DeleteFrames(CQVDoc& doc, std::span<const ObjectUid> frames) {
    const std::vector<ObjectUid> victims = InListOrder(doc.GetAnimation(), frames);
    if (victims.empty()) return Status::Ok();
    if (NormalFramesLeft(doc.GetAnimation(), victims) == 0) return Status::Error(kLastNormalFrame);
    RunOnEach(doc, victims, "Delete Frames",
              [](ObjectUid uid) { return std::make_unique<DeleteFrameCommand>("Delete Frame", uid); });
    return Status::Ok();
}

Status DuplicateFrames(CQVDoc& doc, std::span<const ObjectUid> frames) {
    const std::vector<ObjectUid> sources = InListOrder(doc.GetAnimation(), frames);
    if (sources.empty()) return Status::Ok();
    Transaction step(doc.History(), "Duplicate Frames");
    for (const ObjectUid uid : sources) {
        if (Status fits = CheckFramesFit(doc, 1); !fits) return fits;  // the step rolls back
        step.Add(std::make_unique<DuplicateFrameCommand>("Duplicate Frame", uid));
        // The copy's items count as well: the document as it now is must stay within its limits.
        if (Status within = CheckDocumentFits(doc); !within) return within;
    }
    step.Commit();
    return Status::Ok();
}

Status SetFramesMaster(CQVDoc& doc, std::span<const ObjectUid> frames, bool isMaster) {
    const std::vector<ObjectUid> chosen = InListOrder(doc.GetAnimation(), frames);
    if (isMaster && !chosen.empty() && NormalFramesLeft(doc.GetAnimation(), chosen) == 0)
        return Status::Error(kLastNormalFrame);
    RunOnEach(doc, chosen, "Master Frame", [isMaster](ObjectUid uid) { return MakeMasterFrameCommand(uid, isMaster); });
    return Status::Ok();
}

Status SetFramesDuration(CQVDoc& doc, std::span<const ObjectUid> frames, std::uint32_t hundredths) {
    const std::uint32_t duration = std::min(hundredths, kMaxFrameDuration);
    RunOnEach(doc, InListOrder(doc.GetAnimation(), frames), "Duration",
              [duration](ObjectUid uid) { return MakeFrameDurationCommand(uid, duration); });
    return Status::Ok();
}

Status ReverseFrames(CQVDoc& doc, std::span<const ObjectUid> frames) {
    const Animation& animation = doc.GetAnimation();
    const std::vector<ObjectUid> chosen = InListOrder(animation, frames);
    Transaction step(doc.History(), "Reverse Frames");
    // Swaps the outermost pair, then the next pair inwards. A swap of the
    // frames at a < b is two moves: the first to b (the frames between move
    // up one place), the second from b - 1 back to a (they move down again).
    for (std::size_t i = 0, j = chosen.size(); i + 1 < j--; ++i) {
        const auto place = [&animation](ObjectUid uid) {
            return std::size_t(animation.IndexOf(animation.FindFrameByUid(uid)));
        };
        const std::size_t a = place(chosen[i]);
        const std::size_t b = place(chosen[j]);
        step.Add(std::make_unique<MoveFrameCommand>("Move Frame", chosen[i], b));
        step.Add(std::make_unique<MoveFrameCommand>("Move Frame", chosen[j], a));
    }
    step.Commit();
    return Status::Ok();
}

Status MoveFrames(CQVDoc& doc, std::span<const ObjectUid> frames, std::size_t gap) {
    const Animation& animation = doc.GetAnimation();
    const std::vector<ObjectUid> moving = InListOrder(animation, frames);
    gap = std::min(gap, animation.FrameCount());
    const auto place = [&animation](ObjectUid uid) {
        return std::size_t(animation.IndexOf(animation.FindFrameByUid(uid)));
    };
    const auto firstAfter = std::find_if(moving.begin(), moving.end(), [&](ObjectUid uid) { return place(uid) >= gap; });
    Transaction step(doc.History(), moving.size() == 1 ? "Move Frame" : "Move Frames");
    // The frames before the gap, last first, each to the place just before
    // those already moved: they gather in order right before the gap, and
    // nothing from the gap on moves.
    std::size_t to = gap;
    for (auto it = std::make_reverse_iterator(firstAfter); it != moving.rend(); ++it)
        step.Add(std::make_unique<MoveFrameCommand>("Move Frame", *it, --to));
    // Then those after it, first first, each to the place after the last one moved.
    to = gap;
    for (auto it = firstAfter; it != moving.end(); ++it)
        step.Add(std::make_unique<MoveFrameCommand>("Move Frame", *it, to++));
    step.Commit();
    return Status::Ok();
}

std::uint32_t DurationAtSpeed(std::uint32_t hundredths, int percent) {
    const std::uint64_t speed = std::uint64_t(std::clamp(percent, kMinSpeedPercent, kMaxSpeedPercent));
    const std::uint64_t scaled = (std::uint64_t(hundredths) * 100 * 2 + speed) / (2 * speed);
    const std::uint64_t floor = std::min<std::uint64_t>(hundredths, 2);
    return std::uint32_t(std::clamp<std::uint64_t>(scaled, floor, kMaxFrameDuration));
}

Status ChangeFramesSpeed(CQVDoc& doc, std::span<const ObjectUid> frames, int percent) {
    if (percent < kMinSpeedPercent || percent > kMaxSpeedPercent)
        return Status::Error("Enter a speed from " + std::to_string(kMinSpeedPercent) + " to " +
                             std::to_string(kMaxSpeedPercent) + " percent.");
    const Animation& animation = doc.GetAnimation();
    RunOnEach(doc, InListOrder(animation, frames), "Change Speed", [&animation, percent](ObjectUid uid) {
        return MakeFrameDurationCommand(uid, DurationAtSpeed(animation.FindFrameByUid(uid)->duration, percent));
    });
    return Status::Ok();
}

std::vector<ObjectUid> RepeatedFrames(const Animation& animation, std::span<const ObjectUid> frames) {
    std::vector<ObjectUid> repeated;
    const AnimFrame* kept = nullptr;  // the last normal frame that stays
    std::uint32_t keptDuration = 0;   // its duration with those already added
    for (const auto& frame : animation.Frames()) {
        if (frame->isMaster) continue;
        const bool chosen = std::find(frames.begin(), frames.end(), frame->Uid()) != frames.end();
        if (chosen && kept != nullptr && !LiesBeneathAnother(animation, *frame) &&
            keptDuration + frame->duration <= kMaxFrameDuration && SamePixels(kept->Image(), frame->Image())) {
            repeated.push_back(frame->Uid());
            keptDuration += frame->duration;
            continue;
        }
        kept = frame.get();
        keptDuration = frame->duration;
    }
    return repeated;
}

Status RemoveDuplicateFrames(CQVDoc& doc, std::span<const ObjectUid> frames) {
    Animation& animation = doc.GetAnimation();
    const std::vector<ObjectUid> repeated = RepeatedFrames(animation, frames);
    if (repeated.empty()) return Status::Ok();
    // The duration each kept frame gains, worked out before anything moves.
    std::vector<std::pair<ObjectUid, std::uint32_t>> gains;
    const AnimFrame* kept = nullptr;
    for (const auto& frame : animation.Frames()) {
        if (frame->isMaster) continue;
        if (std::find(repeated.begin(), repeated.end(), frame->Uid()) == repeated.end()) {
            kept = frame.get();
            gains.emplace_back(kept->Uid(), kept->duration);
        } else {
            gains.back().second += frame->duration;
        }
    }
    Transaction step(doc.History(), "Remove Duplicate Frames");
    for (const auto& [uid, duration] : gains) step.Add(MakeFrameDurationCommand(uid, duration));
    for (const ObjectUid uid : repeated) step.Add(std::make_unique<DeleteFrameCommand>("Delete Frame", uid));
    step.Commit();
    return Status::Ok();
}

}  // namespace vantrel
