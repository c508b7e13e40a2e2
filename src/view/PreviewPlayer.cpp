#include "view/PreviewPlayer.h"

#include <algorithm>
#include <cstdio>

#include "document/AnimFrame.h"
#include "document/Animation.h"

namespace vantrel {

std::chrono::milliseconds PlayedPeriod(std::uint32_t hundredths) {
    const std::uint32_t played = hundredths <= 1 ? 10 : hundredths;
    return std::chrono::milliseconds(std::int64_t(played) * 10);  // 64 bits: no overflow
}

PreviewPlayer::PreviewPlayer(std::vector<PreviewEntry> entries, int width, int height, std::uint32_t loopCount)
    : entries_(std::move(entries)), width_(width), height_(height), loopCount_(loopCount) {}

PreviewPlayer PreviewPlayer::FromAnimation(Animation& animation) {
    animation.RenderAll();
    std::vector<PreviewEntry> entries;
    for (const auto& frame : animation.Frames())
        if (!frame->isMaster) entries.push_back({&frame->Image(), frame->duration});
    return PreviewPlayer(std::move(entries), animation.Width(), animation.Height(), animation.loopCount);
}

std::optional<std::chrono::milliseconds> PreviewPlayer::Period() const {
    if (IsEmpty() || finished_ || !playing_) return std::nullopt;
    return PlayedPeriod(entries_[current_].duration) * 100 / speed_;
}

const PreviewEntry* PreviewPlayer::Advance() {
    if (IsEmpty() || finished_) return nullptr;
    if (current_ + 1 < entries_.size()) return &entries_[++current_];
    current_ = 0;
    ++passes_;
    const std::uint32_t plays = looping_ ? loopCount_ : 1;
    if (plays != 0 && std::uint32_t(passes_) >= plays) {
        finished_ = true;
        return nullptr;
    }
    return &entries_[current_];
}

void PreviewPlayer::TogglePlaying() {
    if (IsEmpty()) return;
    playing_ = !playing_;
    if (playing_ && finished_) {
        finished_ = false;
        passes_ = 0;
    }
}

void PreviewPlayer::StepForward() {
    if (IsEmpty()) return;
    playing_ = false;
    current_ = (current_ + 1) % entries_.size();
}

void PreviewPlayer::StepBack() {
    if (IsEmpty()) return;
    playing_ = false;
    current_ = (current_ + entries_.size() - 1) % entries_.size();
}

void PreviewPlayer::GoToFirst() {
    playing_ = false;
    current_ = 0;
}

void PreviewPlayer::GoToLast() {
    playing_ = false;
    current_ = IsEmpty() ? 0 : entries_.size() - 1;
}

void PreviewPlayer::SetLooping(bool on) { looping_ = on; }

void PreviewPlayer::SetSpeedPercent(int percent) { speed_ = std::clamp(percent, 25, 400); }

std::chrono::milliseconds PreviewPlayer::TimeAtCurrent() const {
    std::chrono::milliseconds time{0};
    for (std::size_t i = 0; i < current_ && i < entries_.size(); ++i) time += PlayedPeriod(entries_[i].duration);
    return time;
}

std::string PreviewPlayer::PositionText() const {
    if (IsEmpty()) return "No frames";
    char text[64];
    std::snprintf(text, sizeof text, "Frame %zu of %zu   %.2f s", current_ + 1, entries_.size(),
                  double(TimeAtCurrent().count()) / 1000.0);
    return text;
}

double PreviewPlayer::FitScale(int width, int height, int boxWidth, int boxHeight) {
    if (width <= 0 || height <= 0) return 1.0;
    return std::min({1.0, double(boxWidth) / width, double(boxHeight) / height});
}

Rect PreviewPlayer::ImageRect(int clientWidth, int clientHeight) const {
    const int left = (clientWidth - width_) / 2;
    const int top = (clientHeight - height_) / 2;
    return {left, top, left + width_, top + height_};
}

}  // namespace vantrel
