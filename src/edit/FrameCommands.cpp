#include "edit/FrameCommands.h"

#include <algorithm>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "document/ItemPack.h"
#include "edit/ItemCommands.h"

namespace vantrel {

namespace {

AnimFrame* FindFrame(CQVDoc& doc, ObjectUid uid) {
    return uid != 0 ? doc.GetAnimation().FindFrameByUid(uid) : nullptr;
}

ObjectUid UidOf(const AnimFrame* frame) { return frame != nullptr ? frame->Uid() : 0; }

// Gives frame another background frame (or none), renders it and every frame
// lying over it, and tells the observers.
void Relink(CQVDoc& doc, AnimFrame& frame, AnimFrame* background) {
    frame.SetBackgroundFrame(background);
    doc.ItemsChanged(frame, frame.Canvas());
    doc.FrameSettingsChanged(frame);
}

}  // namespace

// The bytes a frame and its items hold.
std::size_t FrameBytes(const AnimFrame& frame) {
    std::size_t bytes = frame.Image().SizeImage();
    for (const CanvasItem* item : frame.BottomToTop()) bytes += ItemBytes(*item);
    return bytes;
}

// Takes the frame at index out of the list after telling the observers.
std::unique_ptr<AnimFrame> TakeOut(CQVDoc& doc, std::size_t index) {
    Animation& animation = doc.GetAnimation();
    doc.FrameRemoving(*animation.Frames()[index]);
    return animation.TakeFrame(index);
}

// Puts a held frame back at index on its background (by identity), rendered.
AnimFrame* PutBack(CQVDoc& doc, std::size_t index, std::unique_ptr<AnimFrame> frame, ObjectUid background) {
    AnimFrame* put = doc.GetAnimation().PutFrame(index, std::move(frame));
    if (put == nullptr) return nullptr;
    put->SetBackgroundFrame(FindFrame(doc, background));  // renders it
    doc.FrameInserted(*put);
    return put;
}

// ---- AddFrameCommand ----

AddFrameCommand::AddFrameCommand(std::string label) : Command(std::move(label)) {}

AddFrameCommand::~AddFrameCommand() = default;

bool AddFrameCommand::Execute(CQVDoc& doc) {
    if (!held_) {
        AnimFrame* frame = Create(doc);
        if (frame == nullptr) return false;
        uid_ = frame->Uid();
        index_ = std::size_t(doc.GetAnimation().IndexOf(frame));
        doc.FrameInserted(*frame);
        return true;
    }
    return PutBack(doc, index_, std::move(held_), background_) != nullptr;
}

void AddFrameCommand::Undo(CQVDoc& doc) {
    AnimFrame* frame = FindFrame(doc, uid_);
    if (frame == nullptr) return;
    background_ = UidOf(frame->BackgroundFrame());
    index_ = std::size_t(doc.GetAnimation().IndexOf(frame));
    held_ = TakeOut(doc, index_);
}

std::size_t AddFrameCommand::MemoryBytes() const { return held_ ? FrameBytes(*held_) : 0; }

InsertFrameCommand::InsertFrameCommand(std::string label, ObjectUid reference, InsertPlace place)
    : AddFrameCommand(std::move(label)), reference_(reference), place_(place) {}

AnimFrame* InsertFrameCommand::Create(CQVDoc& doc) {
    Animation& animation = doc.GetAnimation();
    if (place_ == InsertPlace::AtEnd) return animation.AppendFrame();
    AnimFrame* reference = FindFrame(doc, reference_);
    return reference != nullptr ? animation.InsertFrame(reference, place_ == InsertPlace::Before) : nullptr;
}

DuplicateFrameCommand::DuplicateFrameCommand(std::string label, ObjectUid source)
    : AddFrameCommand(std::move(label)), source_(source) {}

AnimFrame* DuplicateFrameCommand::Create(CQVDoc& doc) {
    AnimFrame* source = FindFrame(doc, source_);
    if (source == nullptr) return nullptr;
    AnimFrame* copy = doc.GetAnimation().InsertFrame(source, false);  // settings and background
    copy->isMaster = source->isMaster;
    // Through the item records, so that the copies are new items of their own.
    for (const CanvasItem* item : source->BottomToTop()) {
        const std::optional<ItemRecord> record = item->SaveRecord();
        if (record) CreateItemFromRecord(*copy, *record);
    }
    copy->UpdateAllComposites();
    copy->Render();
    return copy;
}

// ---- DeleteFrameCommand ----

DeleteFrameCommand::DeleteFrameCommand(std::string label, ObjectUid frame) : Command(std::move(label)), uid_(frame) {}

DeleteFrameCommand::~DeleteFrameCommand() = default;

bool DeleteFrameCommand::Execute(CQVDoc& doc) {
    Animation& animation = doc.GetAnimation();
    AnimFrame* victim = FindFrame(doc, uid_);
    if (victim == nullptr || animation.FrameCount() < 2) return false;
    index_ = std::size_t(animation.IndexOf(victim));
    background_ = UidOf(victim->BackgroundFrame());
    overIt_.clear();
    for (const auto& frame : animation.Frames())
        if (frame->BackgroundFrame() == victim) overIt_.push_back(frame->Uid());

    for (const ObjectUid uid : overIt_)
        if (AnimFrame* frame = FindFrame(doc, uid)) Relink(doc, *frame, nullptr);
    held_ = TakeOut(doc, index_);
    const auto& frames = animation.Frames();
    nextCurrent_ = frames[std::min(index_, frames.size() - 1)]->Uid();
    return true;
}

void DeleteFrameCommand::Undo(CQVDoc& doc) {
    if (!held_) return;
    AnimFrame* victim = PutBack(doc, index_, std::move(held_), background_);
    if (victim == nullptr) return;
    for (const ObjectUid uid : overIt_)
        if (AnimFrame* frame = FindFrame(doc, uid)) Relink(doc, *frame, victim);
}

std::size_t DeleteFrameCommand::MemoryBytes() const { return held_ ? FrameBytes(*held_) : 0; }

// ---- MoveFrameCommand ----

MoveFrameCommand::MoveFrameCommand(std::string label, ObjectUid frame, std::size_t toIndex)
    : Command(std::move(label)), uid_(frame), to_(toIndex) {}

bool MoveFrameCommand::Execute(CQVDoc& doc) {
    Animation& animation = doc.GetAnimation();
    AnimFrame* moving = FindFrame(doc, uid_);
    if (moving == nullptr) return false;
    from_ = std::size_t(animation.IndexOf(moving));
    if (to_ >= animation.FrameCount() || from_ == to_) return false;
    animation.MoveFrame(from_, to_);
    dropped_.clear();
    for (std::size_t i = 0; i < animation.FrameCount(); ++i) {
        AnimFrame& frame = *animation.Frames()[i];
        const AnimFrame* background = frame.BackgroundFrame();
        if (background == nullptr || animation.IndexOf(background) < std::ptrdiff_t(i)) continue;
        dropped_.push_back({frame.Uid(), background->Uid()});
        Relink(doc, frame, nullptr);
    }
    doc.FrameMoved(*moving);
    return true;
}

void MoveFrameCommand::Undo(CQVDoc& doc) {
    Animation& animation = doc.GetAnimation();
    AnimFrame* moving = FindFrame(doc, uid_);
    if (moving == nullptr) return;
    animation.MoveFrame(std::size_t(animation.IndexOf(moving)), from_);
    for (const Link& link : dropped_)
        if (AnimFrame* frame = FindFrame(doc, link.frame)) Relink(doc, *frame, FindFrame(doc, link.background));
    doc.FrameMoved(*moving);
}

// ---- FrameSettingsCommand ----

namespace {

FrameSettings SettingsOf(const AnimFrame& frame) {
    return {frame.isMaster, frame.duration, frame.backgroundColor, UidOf(frame.BackgroundFrame())};
}

}  // namespace

FrameSettingsCommand::FrameSettingsCommand(std::string label, ObjectUid frame, FrameSettingsChange change)
    : Command(std::move(label)), uid_(frame), change_(change) {}

bool FrameSettingsCommand::Execute(CQVDoc& doc) {
    AnimFrame* frame = FindFrame(doc, uid_);
    if (frame == nullptr) return false;
    if (!ran_) {
        before_ = SettingsOf(*frame);
        after_.isMaster = change_.isMaster.value_or(before_.isMaster);
        after_.duration = std::min(change_.duration.value_or(before_.duration), kMaxFrameDuration);
        after_.backgroundColor = change_.backgroundColor.value_or(before_.backgroundColor);
        after_.backgroundFrame = change_.backgroundFrame.value_or(before_.backgroundFrame);
        // Only an earlier frame may lie beneath.
        if (after_.backgroundFrame != before_.backgroundFrame && after_.backgroundFrame != 0) {
            Animation& animation = doc.GetAnimation();
            const AnimFrame* background = FindFrame(doc, after_.backgroundFrame);
            if (background == nullptr || animation.IndexOf(background) >= animation.IndexOf(frame)) return false;
        }
        if (after_ == before_) return false;
        ran_ = true;
    }
    Apply(doc, *frame, after_);
    return true;
}

void FrameSettingsCommand::Undo(CQVDoc& doc) {
    if (AnimFrame* frame = FindFrame(doc, uid_)) Apply(doc, *frame, before_);
}

void FrameSettingsCommand::Apply(CQVDoc& doc, AnimFrame& frame, const FrameSettings& settings) {
    const FrameSettings now = SettingsOf(frame);
    frame.isMaster = settings.isMaster;
    frame.duration = settings.duration;
    frame.backgroundColor = settings.backgroundColor;
    if (now.backgroundColor != settings.backgroundColor || now.backgroundFrame != settings.backgroundFrame)
        Relink(doc, frame, FindFrame(doc, settings.backgroundFrame));
    else
        doc.FrameSettingsChanged(frame);
}

std::unique_ptr<Command> MakeMasterFrameCommand(ObjectUid frame, bool isMaster) {
    return std::make_unique<FrameSettingsCommand>("Master Frame", frame, FrameSettingsChange{.isMaster = isMaster});
}

std::unique_ptr<Command> MakeFrameDurationCommand(ObjectUid frame, std::uint32_t hundredths) {
    return std::make_unique<FrameSettingsCommand>("Duration", frame, FrameSettingsChange{.duration = hundredths});
}

std::unique_ptr<Command> MakeBackgroundFrameCommand(ObjectUid frame, ObjectUid background) {
    return std::make_unique<FrameSettingsCommand>("Background", frame,
                                                  FrameSettingsChange{.backgroundFrame = background});
}

// ---- the whole animation ----

LoopCountCommand::LoopCountCommand(std::string label, std::uint32_t loopCount)
    : Command(std::move(label)), after_(std::min(loopCount, kMaxLoopCount)) {}

bool LoopCountCommand::Execute(CQVDoc& doc) {
    Animation& animation = doc.GetAnimation();
    before_ = animation.loopCount;
    if (before_ == after_) return false;
    animation.loopCount = after_;
    doc.AnimationChanged();
    return true;
}

void LoopCountCommand::Undo(CQVDoc& doc) {
    doc.GetAnimation().loopCount = before_;
    doc.AnimationChanged();
}

CanvasSizeCommand::CanvasSizeCommand(std::string label, int width, int height)
    : Command(std::move(label)),
      width_(std::clamp(width, 1, kWorkAreaSize)),
      height_(std::clamp(height, 1, kWorkAreaSize)) {}

bool CanvasSizeCommand::Execute(CQVDoc& doc) {
    Animation& animation = doc.GetAnimation();
    oldWidth_ = animation.Width();
    oldHeight_ = animation.Height();
    if (oldWidth_ == width_ && oldHeight_ == height_) return false;
    animation.SetSize(width_, height_);
    doc.AnimationChanged();
    return true;
}

void CanvasSizeCommand::Undo(CQVDoc& doc) {
    doc.GetAnimation().SetSize(oldWidth_, oldHeight_);
    doc.AnimationChanged();
}

AutoFrameSizeCommand::AutoFrameSizeCommand(std::string label, ObjectUid frame)
    : Command(std::move(label)), uid_(frame) {}

bool AutoFrameSizeCommand::Execute(CQVDoc& doc) {
    Animation& animation = doc.GetAnimation();
    if (!ran_) {
        AnimFrame* frame = FindFrame(doc, uid_);
        if (frame == nullptr) return false;
        oldWidth_ = animation.Width();
        oldHeight_ = animation.Height();
        const std::optional<Point> offset = animation.AutoFrameSize(frame);
        if (!offset) return false;
        offset_ = *offset;
        if (offset_ == Point{} && animation.Width() == oldWidth_ && animation.Height() == oldHeight_) return false;
        newWidth_ = animation.Width();
        newHeight_ = animation.Height();
        ran_ = true;
    } else {
        for (const auto& frame : animation.Frames()) frame->MoveAllBy(offset_.x, offset_.y);
        animation.SetSize(newWidth_, newHeight_);
    }
    doc.AnimationChanged();
    return true;
}

void AutoFrameSizeCommand::Undo(CQVDoc& doc) {
    Animation& animation = doc.GetAnimation();
    for (const auto& frame : animation.Frames()) frame->MoveAllBy(-offset_.x, -offset_.y);
    animation.SetSize(oldWidth_, oldHeight_);
    doc.AnimationChanged();
}

}  // namespace vantrel
