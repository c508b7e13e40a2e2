#pragma once
// CSplashWnd: the start-up picture, a plain window showing a 300 x 258
// pixel buffer at its top-left corner. CAboutDlg: the about box, which holds
// the same picture and closes on a click.

#include <QDialog>
#include <QWidget>

#include "core/PackedDib.h"

namespace vantrel {

inline constexpr int kSplashWidth = 300;
inline constexpr int kSplashHeight = 258;
// Control id of the picture's click notification.
inline constexpr int kSplashNotifyId = 2000;
// Control id of the picture inside the about box.
inline constexpr int kAboutPictureId = 3000;

class CSplashWnd final : public QWidget {
    Q_OBJECT

public:
    // A child picture, or (parent as owner) a top-most window with a thin border.
    CSplashWnd(QWidget* parent, bool popup, int controlId);

    const PackedDib& Picture() const { return picture_; }
    int ControlId() const { return controlId_; }

signals:
    // A primary-button press on the picture, with its control id.
    void clicked(int controlId);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    PackedDib picture_;
    int controlId_;
    bool bordered_;
};

// The rectangle of a 300 x 258 picture window (302 x 260 with its border)
// centred on a desktop of width x height.
QRect SplashGeometry(int desktopWidth, int desktopHeight);

class CAboutDlg final : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace vantrel
