#pragma once
// "Preview Browser": plays the animation's frames in a resizable window the
// way a browser plays the saved GIF. Each tick draws only the new image at
// its place; the window is painted whole only when the system asks.

#include <QDialog>
#include <QTimer>

#include "view/PreviewPlayer.h"

namespace vantrel {

class Animation;

class PreviewCanvas final : public QWidget {
    Q_OBJECT

public:
    PreviewCanvas(PreviewPlayer& player, QWidget* parent);
    // Starts the timer for the entry on screen (nothing for an empty list).
    void Start();
    const QTimer& Timer() const { return timer_; }
    // The image rectangle in this widget's coordinates.
    QRect ImageRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Tick();

    PreviewPlayer& player_;
    QTimer timer_;
};

class PreviewWindow final : public QDialog {
    Q_OBJECT

public:
    // Renders the animation and lists the frames it plays.
    PreviewWindow(Animation& animation, QWidget* parent);
    PreviewCanvas& Canvas() const { return *canvas_; }
    const PreviewPlayer& Player() const { return player_; }

private:
    PreviewPlayer player_;
    PreviewCanvas* canvas_;
};

// Runs the preview of animation modally until the user closes it.
void RunPreview(Animation& animation, QWidget* parent);

}  // namespace vantrel
