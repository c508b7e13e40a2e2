#pragma once
// The Frame List bar: the current frame's duration in seconds, a "New"
// button, and every frame of the animation with a small picture, its name
// and its duration. Choosing an entry shows that frame; dragging an entry
// reorders the frames; leaving the duration box sets the duration. Each
// change is a command of the document's history.

#include <QListWidget>
#include <vector>

#include "app/panels/DocumentPanel.h"

class QLineEdit;
class QPushButton;

namespace vantrel {

// The list of the bar: drops move frames through the panel instead of
// moving entries by themselves.
class FrameListWidget final : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;
signals:
    // An entry dragged from row from was dropped into gap (0 before the first entry).
    void entryDropped(int from, int gap);

protected:
    void dropEvent(QDropEvent* event) override;
};

class FrameListPanel final : public DocumentPanel {
    Q_OBJECT

public:
    explicit FrameListPanel(QWidget* parent);

    QListWidget* List() const { return list_; }
    QLineEdit* DurationBox() const { return duration_; }
    QPushButton* NewButton() const { return new_; }
    // Moves a frame to index through the history (what a drop does).
    void MoveFrame(ObjectUid frame, std::size_t index);
    // Size of the pictures in the list.
    static QSize ThumbnailSize() { return {72, 28}; }

signals:
    // The user chose this frame in the list.
    void frameChosen(quint64 frame);
    // The frames selected together changed (list order).
    void framesChosen(const QList<quint64>& frames);
    // "New": insert a frame after the current one.
    void newFrameRequested();

protected:
    void Refresh() override;
    void PictureChanged(AnimFrame& frame) override;
    // Only the selection and the duration box follow: the list stays.
    void CurrentFrameChanged() override;

private:
    void DurationEntered();
    // The frames selected in the list; the current one alone when none is.
    std::vector<ObjectUid> SelectedFrames() const;
    void ShowCurrentDuration();
    QIcon Thumbnail(const AnimFrame& frame) const;

    QLineEdit* duration_;
    QPushButton* new_;
    FrameListWidget* list_;
    // Kept across rebuilds of the list.
    std::vector<ObjectUid> selected_;
    bool refreshing_ = false;
    bool checkingDuration_ = false;
};

}  // namespace vantrel
