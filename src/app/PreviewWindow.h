#pragma once
// "Preview Browser": plays the animation's frames in a resizable window the
// way a browser plays the saved GIF. Each tick draws only the new image at
// its place; the window is painted whole only when the system asks. Space
// plays and pauses, Left and Right step, Home and End jump, L turns looping
// on and off, S changes the speed (0.5x, 1x, 2x); Enter and Escape close.
// A picture larger than the window is shown smaller.

#include <QDialog>
#include <QLabel>
#include <QTimer>

#include "view/PreviewPlayer.h"

namespace vantrel {

class Animation;

class PreviewCanvas final : public QWidget {
    Q_OBJECT

public:
    PreviewCanvas(PreviewPlayer& player, QWidget* parent);
    // Starts the timer for the entry on screen; stops it when nothing is to play.
    void Start();
    const QTimer& Timer() const { return timer_; }
    // The image rectangle in this widget's coordinates.
    QRect ImageRect() const;

signals:
    // Another entry is on screen.
    void entryShown();

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
    QString StatusText() const { return status_->text(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowStatus();

    PreviewPlayer player_;
    PreviewCanvas* canvas_;
    QLabel* status_;
};

// Runs the preview of animation modally until the user closes it.
void RunPreview(Animation& animation, QWidget* parent);

}  // namespace vantrel
