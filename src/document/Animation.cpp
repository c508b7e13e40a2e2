#include "document/Animation.h"

#include <algorithm>
#include <unordered_set>

#include "core/FileIO.h"
#include "document/WorkArea.h"

namespace vantrel {

Animation::Animation() : canvas_(CanvasRectFor(kDefaultCanvasWidth, kDefaultCanvasHeight)) {
    frames_.push_back(std::make_unique<AnimFrame>(canvas_));
    frames_.front()->Render();
}

Animation::~Animation() {
    // Later frames may lie over earlier ones; destroy from the end so that no
    // frame ever points at a destroyed one.
    while (!frames_.empty()) frames_.pop_back();
}

void Animation::SetAnimationFile(const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    animationPath = (ec ? path : full).string();
    animationName = path.filename().string();
    animationTitle = path.stem().string();
    animationExt = LowerCaseExtension(path);
    hasAnimationFile = true;
}

void Animation::SetSize(int width, int height) {
    width = std::clamp(width, 1, kWorkAreaSize);
    height = std::clamp(height, 1, kWorkAreaSize);
    canvas_ = CanvasRectFor(width, height);
    for (const auto& frame : frames_) frame->AttachCanvas(canvas_);
    RenderAll();
}

void Animation::RenderAll() { RenderFrom(FirstFrame()); }

bool Animation::RenderAll(ProgressSteps& steps) { return RenderRange(0, &steps); }

void Animation::RenderFrom(const AnimFrame* frame) {
    const std::ptrdiff_t first = IndexOf(frame);
    if (first < 0) return;
    if (renderSteps_ != nullptr) renderSteps_->AddToTotal(frames_.size() - std::size_t(first));
    RenderRange(std::size_t(first), renderSteps_);
}

bool Animation::RenderRange(std::size_t first, ProgressSteps* steps) {
    for (std::size_t i = first; i < frames_.size(); ++i) {
        if (steps != nullptr && steps->Stopped()) return false;
        frames_[i]->UpdateAllComposites();
        frames_[i]->Render();
        if (steps != nullptr && !steps->Step()) return false;
    }
    return true;
}

Animation::RenderStepsScope::RenderStepsScope(Animation& animation, ProgressSteps& steps)
    : animation_(animation), outer_(animation.renderSteps_) {
    animation.renderSteps_ = &steps;
}

Animation::RenderStepsScope::~RenderStepsScope() { animation_.renderSteps_ = outer_; }

void Animation::RenderOver(AnimFrame& frame, const Rect& area, const std::function<void(AnimFrame&)>& visit) {
    const std::ptrdiff_t first = IndexOf(&frame);
    if (first < 0) return;
    frame.Render();
    if (visit) visit(frame);
    std::unordered_set<const AnimFrame*> changed{&frame};
    for (std::size_t i = std::size_t(first) + 1; i < frames_.size(); ++i) {
        AnimFrame& later = *frames_[i];
        if (!changed.contains(later.backgroundFrame_)) continue;
        later.RecomposeOver(area);
        later.Render();
        changed.insert(&later);
        if (visit) visit(later);
    }
}

AnimFrame* Animation::NextFrame(const AnimFrame* frame) const {
    const std::ptrdiff_t index = IndexOf(frame);
    if (index < 0 || std::size_t(index) + 1 >= frames_.size()) return nullptr;
    return frames_[std::size_t(index) + 1].get();
}

AnimFrame* Animation::PreviousFrame(const AnimFrame* frame) const {
    const std::ptrdiff_t index = IndexOf(frame);
    if (index <= 0) return FirstFrame();
    return frames_[std::size_t(index) - 1].get();
}

std::ptrdiff_t Animation::IndexOf(const AnimFrame* frame) const {
    for (std::size_t i = 0; i < frames_.size(); ++i) {
        if (frames_[i].get() == frame) return std::ptrdiff_t(i);
    }
    return -1;
}

int Animation::CountFrames(bool masters) const {
    return int(std::count_if(frames_.begin(), frames_.end(),
                             [masters](const auto& frame) { return frame->isMaster == masters; }));
}

std::unique_ptr<AnimFrame> Animation::MakeFrameLike(const AnimFrame& model, bool render) const {
    auto frame = std::make_unique<AnimFrame>(canvas_);
    frame->duration = model.duration;
    frame->backgroundColor = model.backgroundColor;
    frame->backgroundFrame_ = model.backgroundFrame_;
    if (render) frame->Render();  // no items yet: the background alone
    return frame;
}

AnimFrame* Animation::InsertAt(std::size_t index, std::unique_ptr<AnimFrame> frame) {
    AnimFrame* raw = frame.get();
    frames_.insert(frames_.begin() + std::ptrdiff_t(index), std::move(frame));
    return raw;
}

AnimFrame* Animation::AppendFrame() { return InsertAt(frames_.size(), MakeFrameLike(*LastFrame())); }

AnimFrame* Animation::AppendUnrenderedFrame() {
    return InsertAt(frames_.size(), MakeFrameLike(*LastFrame(), false));
}

AnimFrame* Animation::InsertFrame(AnimFrame* ref, bool before) {
    const std::ptrdiff_t index = IndexOf(ref);
    if (index < 0) return nullptr;
    return InsertAt(std::size_t(index) + (before ? 0 : 1), MakeFrameLike(*ref));
}

AnimFrame* Animation::DeleteFrame(AnimFrame* frame) {
    const std::ptrdiff_t found = IndexOf(frame);
    if (found < 0) return nullptr;
    if (frames_.size() == 1) return frame;
    const auto index = std::size_t(found);

    // Frames that lay over the victim lose it; every frame whose picture
    // changed that way is re-rendered, and so, in list order, is every frame
    // lying over a re-rendered one. (Backgrounds are earlier frames, but no
    // frame is left pointing at the victim whatever its place.)
    std::unordered_set<const AnimFrame*> changed{frame};
    for (std::size_t i = 0; i < frames_.size(); ++i) {
        AnimFrame& later = *frames_[i];
        if (&later == frame) continue;
        if (!changed.contains(later.backgroundFrame_)) continue;
        if (later.backgroundFrame_ == frame) later.ForgetBackgroundFrame();
        later.UpdateAllComposites();
        later.Render();
        changed.insert(&later);
    }
    frames_.erase(frames_.begin() + found);
    return index < frames_.size() ? frames_[index].get() : frames_[index - 1].get();
}

AnimFrame* Animation::FindFrameById(std::uint32_t id) const {
    for (const auto& frame : frames_) {
        if (frame->savedId == id) return frame.get();
    }
    return nullptr;
}

AnimFrame* Animation::FindFrameByUid(ObjectUid uid) const {
    for (const auto& frame : frames_) {
        if (frame->Uid() == uid) return frame.get();
    }
    return nullptr;
}

Rect Animation::ItemBoundsOfAll() const {
    Rect all;
    for (const auto& frame : frames_) all = Union(all, frame->ItemBounds(false));
    return all;
}

std::optional<Point> Animation::AutoFrameSize(AnimFrame* frame) {
    const Rect area = frame != nullptr ? frame->ItemBounds(false) : ItemBoundsOfAll();
    if (area.IsEmpty()) return std::nullopt;
    const int dx = (area.left - area.right + kWorkAreaSize) / 2 - area.left;
    const int dy = (area.top - area.bottom + kWorkAreaSize) / 2 - area.top;
    for (const auto& f : frames_) f->MoveAllBy(dx, dy);
    SetSize(area.Width(), area.Height());  // renders everything
    return Point{dx, dy};
}

std::unique_ptr<AnimFrame> Animation::TakeFrame(std::size_t index) {
    if (index >= frames_.size() || frames_.size() == 1) return nullptr;
    std::unique_ptr<AnimFrame> taken = std::move(frames_[index]);
    frames_.erase(frames_.begin() + std::ptrdiff_t(index));
    taken->ForgetBackgroundFrame();
    return taken;
}

AnimFrame* Animation::PutFrame(std::size_t index, std::unique_ptr<AnimFrame> frame) {
    if (!frame) return nullptr;
    frame->AttachCanvas(canvas_);
    return InsertAt(std::min(index, frames_.size()), std::move(frame));
}

bool Animation::MoveFrame(std::size_t from, std::size_t to) {
    if (from >= frames_.size() || to >= frames_.size()) return false;
    std::unique_ptr<AnimFrame> moving = std::move(frames_[from]);
    frames_.erase(frames_.begin() + std::ptrdiff_t(from));
    frames_.insert(frames_.begin() + std::ptrdiff_t(to), std::move(moving));
    return true;
}

}  // namespace vantrel
