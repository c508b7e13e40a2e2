#include "view/PreviewPlayer.h"

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
    if (IsEmpty() || finished_) return std::nullopt;
    return PlayedPeriod(entries_[current_].duration);
}

const PreviewEntry* PreviewPlayer::Advance() {
    if (IsEmpty() || finished_) return nullptr;
    if (current_ + 1 < entries_.size()) return &entries_[++current_];
    current_ = 0;
    ++passes_;
    if (loopCount_ != 0 && std::uint32_t(passes_) >= loopCount_) {
        finished_ = true;
        return nullptr;
    }
    return &entries_[current_];
}

Rect PreviewPlayer::ImageRect(int clientWidth, int clientHeight) const {
    const int left = (clientWidth - width_) / 2;
    const int top = (clientHeight - height_) / 2;
    return {left, top, left + width_, top + height_};
}

}  // namespace vantrel
