#include "app/panels/DocumentPanel.h"

#include <QTimer>

#include "document/CQVDoc.h"

namespace vantrel {

DocumentPanel::DocumentPanel(QWidget* parent) : QWidget(parent) {}

DocumentPanel::~DocumentPanel() = default;

void DocumentPanel::ShowDocument(CQVDoc* doc) {
    if (doc == doc_) return;
    observation_.reset();
    doc_ = doc;
    current_ = 0;
    if (doc_ != nullptr) observation_ = std::make_unique<ScopedObservation>(*doc_, *this);
    RefreshNow();
}

void DocumentPanel::DocumentClosing(CQVDoc* doc) {
    if (doc == doc_) ShowDocument(nullptr);
}

void DocumentPanel::SetCurrentFrame(ObjectUid frame) {
    if (frame == current_) return;
    current_ = frame;
    CurrentFrameChanged();
}

AnimFrame* DocumentPanel::CurrentFrameObject() const {
    return doc_ != nullptr && current_ != 0 ? doc_->GetAnimation().FindFrameByUid(current_) : nullptr;
}

void DocumentPanel::PictureChanged(AnimFrame&) { ScheduleRefresh(); }

void DocumentPanel::ScheduleRefresh() {
    if (pending_) return;
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (pending_) RefreshNow();
    });
}

void DocumentPanel::RefreshNow() {
    pending_ = false;
    Refresh();
}

}  // namespace vantrel
