#include "app/dialogs/ColorWidgets.h"

#include <QMouseEvent>
#include <QPainter>

namespace vantrel {

namespace {

QColor ToQColor(PixelValue opaque) { return QColor::fromRgb(0xFF000000u | (opaque & 0x00FFFFFFu)); }

// Half the marker's side: it covers (x - 3, y - 3) to (x + 3, y + 3), right and bottom exclusive.
constexpr int kMarkerHalf = 3;

// Pictures are built at one or two device pixels per logical pixel.
int ScaleFor(qreal dpr) { return dpr > 1.25 ? 2 : 1; }

}  // namespace

void PaintChecker(QPainter& painter, const QRect& area, PixelValue color, int columns, int rows, int firstRow) {
    const PreviewTones tones = PreviewTonesOf(color);
    const int w = area.width();
    const int h = area.height();
    for (int b = 0; b < rows; ++b) {
        const int y0 = area.top() + b * h / rows;
        const int y1 = area.top() + (b + 1) * h / rows;
        for (int a = 0; a < columns; ++a) {
            const int x0 = area.left() + a * w / columns;
            const int x1 = area.left() + (a + 1) * w / columns;
            painter.fillRect(QRect(x0, y0, x1 - x0, y1 - y0), ToQColor(CheckerTone(tones, a, b + firstRow)));
        }
    }
}

QPixmap CheckerPixmap(PixelValue color, QSize size, int cell, qreal dpr) {
    QPixmap pixmap(size * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QRect inner(1, 1, size.width() - 2, size.height() - 2);
    PaintChecker(painter, inner, color, std::max(1, inner.width() / cell), std::max(1, inner.height() / cell));
    painter.setPen(QColor(64, 64, 64));
    painter.drawRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1));
    return pixmap;
}

QImage ToQImage(const ColorImage& image, qreal dpr) {
    QImage out(image.width, image.height, QImage::Format_RGB32);
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        const PixelValue* from = image.pixels.data() + static_cast<std::size_t>(y) * image.width;
        for (int x = 0; x < image.width; ++x) row[x] = 0xFF000000u | from[x];
    }
    out.setDevicePixelRatio(dpr);
    return out;
}

// ---- CColorWheel ----

CColorWheel::CColorWheel(Mode mode, QWidget* parent) : QWidget(parent), mode_(mode) {
    if (mode_ == Mode::Wheel) setFixedSize(kWheelSide, kWheelSide);
    else setFixedSize(kStripWidth, kStripHeight);
    setCursor(Qt::CrossCursor);
    marker_ = mode_ == Mode::Wheel ? Point{kWheelCentre, kWheelCentre} : StripMarkerFor(100);
}

void CColorWheel::Rebuild() {
    builtScale_ = ScaleFor(devicePixelRatioF());
    const ColorImage image = mode_ == Mode::Wheel ? BuildWheelImage(100, builtScale_)
                                                  : BuildStripImage(stripColor_.hue, stripColor_.saturation, builtScale_);
    picture_ = ToQImage(image, builtScale_);
}

void CColorWheel::ShowColor(const Hsv& hsv) {
    if (mode_ == Mode::Wheel) {
        if (picture_.isNull()) Rebuild();
        picked_ = {hsv.hue, hsv.saturation};
        marker_ = WheelMarkerFor(hsv.hue, hsv.saturation);
    } else {
        const HueSaturation shown{hsv.hue, hsv.saturation};
        if (shown != stripColor_ || picture_.isNull()) {
            stripColor_ = shown;
            Rebuild();
        }
        value_ = hsv.value;
        marker_ = StripMarkerFor(hsv.value);
    }
    update();
}

void CColorWheel::paintEvent(QPaintEvent* /*event*/) {
    // Only a move to a screen of another density rebuilds here.
    if (picture_.isNull() || builtScale_ != ScaleFor(devicePixelRatioF())) Rebuild();
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), picture_);
    // The marker inverts what lies under it.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(QRect(marker_.x - kMarkerHalf, marker_.y - kMarkerHalf, 2 * kMarkerHalf, 2 * kMarkerHalf),
                     Qt::white);
}

void CColorWheel::Apply(QPoint at) {
    if (mode_ == Mode::Wheel) {
        const WheelPick pick = PickOnWheel(at.x(), at.y());
        picked_ = pick.color;
        marker_ = pick.marker;
    } else {
        const StripPick pick = PickOnStrip(at.y());
        value_ = pick.value;
        marker_ = pick.marker;
    }
    update();
    emit picked();
}

void CColorWheel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = true;
    Apply(event->position().toPoint());
}

void CColorWheel::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) Apply(event->position().toPoint());
}

void CColorWheel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
}

// ---- CColorSwatch ----

CColorSwatch::CColorSwatch(PixelValue current, QWidget* parent)
    : QWidget(parent), current_(current), new_(current) {}

void CColorSwatch::SetNewColor(PixelValue color) {
    if (color == new_) return;
    new_ = color;
    update();
}

void CColorSwatch::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    constexpr int kColumns = 7;
    constexpr int kRows = 6;
    constexpr int kCurrentRows = 2;
    const int split = kCurrentRows * height() / kRows;
    PaintChecker(painter, QRect(0, 0, width(), split), current_, kColumns, kCurrentRows);
    PaintChecker(painter, QRect(0, split, width(), height() - split), new_, kColumns, kRows - kCurrentRows, kCurrentRows);
}

}  // namespace vantrel
