#include "app/PreviewWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
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
    if (const auto period = player_.Period())
        timer_.start(TimerPeriod(*period));
    else
        timer_.stop();
}

QRect PreviewCanvas::ImageRect() const {
    const double scale = PreviewPlayer::FitScale(player_.Width(), player_.Height(), width(), height());
    if (scale >= 1.0) {
        const Rect r = player_.ImageRect(width(), height());
        return {r.left, r.top, r.Width(), r.Height()};
    }
    const QSize shown(std::max(1, int(player_.Width() * scale)), std::max(1, int(player_.Height() * scale)));
    return {QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown};
}

void PreviewCanvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // The whole window only when the system asks; a tick repaints the image alone.
    const QRect image = ImageRect();
    if (!image.contains(event->rect())) painter.fillRect(rect(), Qt::white);
    const PreviewEntry* entry = player_.Current();
    if (entry != nullptr && entry->image != nullptr)
        painter.drawImage(image, ToQImage(*entry->image));
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
    emit entryShown();
    Start();
}

PreviewWindow::PreviewWindow(Animation& animation, QWidget* parent)
    : QDialog(parent), player_(PreviewPlayer::FromAnimation(animation)) {
    setWindowTitle(QStringLiteral("Preview Browser"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    canvas_ = new PreviewCanvas(player_, this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("previewStatus"));
    status_->setContentsMargins(6, 2, 6, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(canvas_, 1);
    layout->addWidget(status_);
    connect(canvas_, &PreviewCanvas::entryShown, this, &PreviewWindow::ShowStatus);
    ShowStatus();
    // At most nine tenths of the screen: a larger picture is shown smaller.
    QSize size(std::max(570, player_.Width() + 40), std::max(300, player_.Height() + 40 + status_->sizeHint().height()));
    if (const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);
    canvas_->Start();
}

void PreviewWindow::ShowStatus() {
    const QString speed = player_.SpeedPercent() == 50 ? QStringLiteral("0.5x") : QStringLiteral("%1x").arg(player_.SpeedPercent() / 100);
    status_->setText(QStringLiteral("%1   %2   %3   loop %4      Space play/pause, Left/Right step, Home/End, L loop, S speed")
                         .arg(QString::fromStdString(player_.PositionText()),
                              player_.IsPlaying() && !player_.Finished() ? QStringLiteral("playing") : QStringLiteral("paused"),
                              speed, player_.Looping() ? QStringLiteral("on") : QStringLiteral("off")));
}

void PreviewWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space: player_.TogglePlaying(); break;
        case Qt::Key_Right: player_.StepForward(); break;
        case Qt::Key_Left: player_.StepBack(); break;
        case Qt::Key_Home: player_.GoToFirst(); break;
        case Qt::Key_End: player_.GoToLast(); break;
        case Qt::Key_L: player_.SetLooping(!player_.Looping()); break;
        case Qt::Key_S:
            player_.SetSpeedPercent(player_.SpeedPercent() == 50 ? 100 : player_.SpeedPercent() == 100 ? 200 : 50);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter: accept(); return;
        default: QDialog::keyPressEvent(event); return;
    }
    canvas_->update();
    canvas_->Start();
    ShowStatus();
}

void RunPreview(Animation& animation, QWidget* parent) {
    PreviewWindow window(animation, parent);
    window.exec();
}

}  // namespace vantrel
