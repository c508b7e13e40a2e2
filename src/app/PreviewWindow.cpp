#include "app/PreviewWindow.h"

#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "app/DibImage.h"
#include "document/Animation.h"

namespace vantrel {

namespace {

// Timer periods beyond what QTimer takes (about 24 days) are held at its limit.
int TimerPeriod(std::chrono::milliseconds period) {
    return int(std::min<std::int64_t>(period.count(), std::numeric_limits<int>::max()));
}

}  // namespace

PreviewCanvas::PreviewCanvas(PreviewPlayer& player, QWidget* parent) : QWidget(parent), player_(player) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &PreviewCanvas::Tick);
}

void PreviewCanvas::Start() {
    if (const auto period = player_.Period()) timer_.start(TimerPeriod(*period));
}

QRect PreviewCanvas::ImageRect() const {
    const Rect r = player_.ImageRect(width(), height());
    return {r.left, r.top, r.Width(), r.Height()};
}

void PreviewCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // The whole window only when the system asks; a tick repaints the image alone.
    const QRect image = ImageRect();
    if (!image.contains(event->rect())) painter.fillRect(rect(), Qt::white);
    const PreviewEntry* entry = player_.Current();
    if (entry != nullptr && entry->image != nullptr)
        painter.drawImage(image.topLeft(), ToQImage(*entry->image));
    else
        painter.fillRect(image, Qt::white);
}

void PreviewCanvas::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    setCursor(ImageRect().contains(event->position().toPoint()) ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void PreviewCanvas::Tick() {
    if (player_.Advance() == nullptr) return;  // played out: no timer any more
    update(ImageRect());
    Start();
}

PreviewWindow::PreviewWindow(Animation& animation, QWidget* parent)
    : QDialog(parent), player_(PreviewPlayer::FromAnimation(animation)) {
    setWindowTitle(QStringLiteral("Preview Browser"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    canvas_ = new PreviewCanvas(player_, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(canvas_);
    resize(std::max(570, player_.Width() + 40), std::max(300, player_.Height() + 40));
    canvas_->Start();
}

void RunPreview(Animation& animation, QWidget* parent) {
    PreviewWindow window(animation, parent);
    window.exec();
}

}  // namespace vantrel
