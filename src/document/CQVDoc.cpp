#include "document/CQVDoc.h"

#include <algorithm>

namespace vantrel {

CQVDoc::CQVDoc()
    : defaultFont(LogFont::DocumentDefault()), animation_(std::make_unique<Animation>()), history_(*this) {
    history_.SetOnChange([this] { HistoryChanged(); });
}

CQVDoc::~CQVDoc() {
    // The steps may hold frames and items that refer to the animation's
    // frames: they go first.
    history_.Clear();
}

void CQVDoc::ReplaceAnimation(std::unique_ptr<Animation> animation) {
    if (!animation) return;
    // The steps refer to the frames of the animation that goes away.
    history_.Clear();
    animation_ = std::move(animation);
    AnimationChanged();
}

void CQVDoc::SetPathName(const std::filesystem::path& path) {
    pathName_ = path;
    title_ = path.filename().string();
}

void CQVDoc::SetModifiedFlag(bool modified) {
    if (modified)
        history_.SetCleanUnreachable();
    else
        history_.SetClean();
}

void CQVDoc::AddObserver(DocumentObserver* observer) {
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void CQVDoc::RemoveObserver(DocumentObserver* observer) { std::erase(observers_, observer); }

template <typename Call>
void CQVDoc::Notify(Call call) {
    // A copy: an observer may remove itself (or another) while being told.
    const std::vector<DocumentObserver*> observers = observers_;
    for (DocumentObserver* observer : observers)
        if (std::find(observers_.begin(), observers_.end(), observer) != observers_.end()) call(*observer);
}

void CQVDoc::HistoryChanged() {
    Notify([](DocumentObserver& o) { o.OnHistoryChanged(); });
    const bool modified = IsModified();
    if (modified == lastModified_) return;
    lastModified_ = modified;
    Notify([modified](DocumentObserver& o) { o.OnModifiedChanged(modified); });
}

void CQVDoc::ItemsChanged(AnimFrame& frame, const Rect& area) {
    animation_->RenderOver(frame, area, [this, &area](AnimFrame& changed) {
        Notify([&](DocumentObserver& o) { o.OnItemsChanged(changed, area); });
    });
}

void CQVDoc::FrameInserted(AnimFrame& frame) {
    Notify([&](DocumentObserver& o) { o.OnFrameInserted(frame); });
}

void CQVDoc::FrameRemoving(AnimFrame& frame) {
    Notify([&](DocumentObserver& o) { o.OnFrameRemoving(frame); });
}

void CQVDoc::FrameMoved(AnimFrame& frame) {
    Notify([&](DocumentObserver& o) { o.OnFrameMoved(frame); });
}

void CQVDoc::FrameSettingsChanged(AnimFrame& frame) {
    Notify([&](DocumentObserver& o) { o.OnFrameSettingsChanged(frame); });
}

void CQVDoc::AnimationChanged() {
    Notify([](DocumentObserver& o) { o.OnAnimationChanged(); });
}

}  // namespace vantrel
