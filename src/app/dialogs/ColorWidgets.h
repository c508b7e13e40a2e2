#pragma once
// The small controls that show colours with a transparency: the
// hue/saturation wheel and the value strip of the colour picker, and the
// checkerboard swatch. Their pictures come from view/ColorModel; these
// classes only draw them and turn mouse gestures into picks.

#include <QImage>
#include <QWidget>

#include "core/Pixel.h"
#include "view/ColorModel.h"

class QPainter;

namespace vantrel {

// Fills area with a columns x rows checkerboard of the colour's two preview
// tones: column a spans trunc(a x width / columns) to trunc((a + 1) x width
// / columns), rows likewise; firstRow numbers the top row, so that two
// boards stacked together continue one pattern.
void PaintChecker(QPainter& painter, const QRect& area, PixelValue color, int columns, int rows, int firstRow = 0);

// A checkerboard icon of a colour: size logical pixels at the device pixel
// ratio dpr, cells of about cell pixels, framed in dark grey.
QPixmap CheckerPixmap(PixelValue color, QSize size, int cell, qreal dpr);

// An image of opaque colour values for drawing at device pixel ratio dpr.
QImage ToQImage(const ColorImage& image, qreal dpr);

// The wheel (hue and saturation) or the strip (value) of the picker. The
// picture is built when what it shows changes or the screen density does,
// never per paint. A press and each drag step move the marker and emit
// picked().
class CColorWheel : public QWidget {
    Q_OBJECT
public:
    enum class Mode { Wheel, Strip };
    CColorWheel(Mode mode, QWidget* parent);

    Mode GetMode() const { return mode_; }
    // Wheel: the last picked hue and saturation. Strip: the last picked value.
    HueSaturation Picked() const { return picked_; }
    int PickedValue() const { return value_; }
    // Puts the marker where a colour lies; the strip also shows the values of that hue and saturation.
    void ShowColor(const Hsv& hsv);
    Point Marker() const { return marker_; }
    // The picture as drawn, in device pixels (for tests).
    const QImage& Picture() const { return picture_; }

signals:
    void picked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Rebuild();
    void Apply(QPoint at);

    Mode mode_;
    QImage picture_;
    int builtScale_ = 0;
    HueSaturation stripColor_{-1, -1};  // what the strip picture shows
    HueSaturation picked_;
    int value_ = 100;
    Point marker_;
    bool dragging_ = false;
};

// The picker's swatch: two rows of the colour the picker opened with over
// four rows of the colour being chosen, each as a checkerboard.
class CColorSwatch : public QWidget {
    Q_OBJECT
public:
    CColorSwatch(PixelValue current, QWidget* parent);
    void SetNewColor(PixelValue color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PixelValue current_;
    PixelValue new_;
};

}  // namespace vantrel
