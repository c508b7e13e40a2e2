#pragma once
// The base of the panels that show the active document's frames: it listens
// to the document's change reports and refreshes the panel once the events
// waiting now are handled, so that a burst of changes costs one refresh.

#include <QWidget>
#include <memory>

#include "document/CanvasItem.h"
#include "document/DocumentObserver.h"

namespace vantrel {

class AnimFrame;
class CQVDoc;
class ScopedObservation;

class DocumentPanel : public QWidget, public DocumentObserver {
    Q_OBJECT

public:
    explicit DocumentPanel(QWidget* parent);
    ~DocumentPanel() override;

    // Shows doc (null: nothing, the controls disabled).
    void ShowDocument(CQVDoc* doc);
    // The frame the editor shows.
    void SetCurrentFrame(ObjectUid frame);
    CQVDoc* Document() const { return doc_; }
    ObjectUid CurrentFrame() const { return current_; }
    // The current frame of the shown document, or null.
    AnimFrame* CurrentFrameObject() const;
    // Runs a pending refresh now.
    void RefreshNow();
    // doc is about to be destroyed: the panel lets go of it when it shows it.
    void DocumentClosing(CQVDoc* doc);

protected:
    // Rebuilds the panel from the document (which may be null).
    virtual void Refresh() = 0;
    // The picture of frame changed; the base refreshes the whole panel.
    virtual void PictureChanged(AnimFrame& frame);
    // The editor shows another frame; the base refreshes the whole panel.
    virtual void CurrentFrameChanged() { ScheduleRefresh(); }
    void ScheduleRefresh();
    bool RefreshPending() const { return pending_; }

    // ---- DocumentObserver ----
    void OnFrameInserted(AnimFrame&) override { ScheduleRefresh(); }
    void OnFrameRemoving(AnimFrame&) override { ScheduleRefresh(); }
    void OnFrameMoved(AnimFrame&) override { ScheduleRefresh(); }
    void OnFrameSettingsChanged(AnimFrame&) override { ScheduleRefresh(); }
    void OnAnimationChanged() override { ScheduleRefresh(); }
    void OnItemsChanged(AnimFrame& frame, const Rect&) override { PictureChanged(frame); }

private:
    CQVDoc* doc_ = nullptr;
    std::unique_ptr<ScopedObservation> observation_;
    ObjectUid current_ = 0;
    bool pending_ = false;
};

}  // namespace vantrel
