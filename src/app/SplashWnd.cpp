#include "app/SplashWnd.h"

#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "app/DibImage.h"

namespace vantrel {

namespace {

PackedDib LoadSplashPicture() {
    QImage image(QStringLiteral(":/splash.png"));
    if (image.isNull()) {
        image = QImage(kSplashWidth, kSplashHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
    }
    return ToPackedDib(image.scaled(kSplashWidth, kSplashHeight));
}

QRect DesktopArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

QRect SplashGeometry(int desktopWidth, int desktopHeight) {
    return QRect((desktopWidth - kSplashWidth) / 2, (desktopHeight - kSplashHeight) / 2, kSplashWidth + 2,
                 kSplashHeight + 2);
}

CSplashWnd::CSplashWnd(QWidget* parent, bool popup, int controlId)
    : QWidget(parent, popup ? Qt::SplashScreen | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint
                            : Qt::WindowFlags()),
      picture_(LoadSplashPicture()),
      controlId_(controlId),
      bordered_(popup) {
    setWindowTitle(QStringLiteral("Vantrel 2000 Splash"));
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (popup) {
        const QRect desktop = DesktopArea();
        setGeometry(SplashGeometry(desktop.width(), desktop.height()).translated(desktop.topLeft()));
    } else {
        setGeometry(0, 0, kSplashWidth, kSplashHeight);
    }
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int inset = bordered_ ? 1 : 0;
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(inset, inset, ToQImage(picture_));
    if (bordered_) {
        painter.setPen(QColor(0x40, 0x40, 0x40));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CSplashWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit clicked(controlId_);
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("About Vantrel GIF Animator"));
    auto* picture = new CSplashWnd(this, false, kAboutPictureId);
    picture->move(0, 0);
    connect(picture, &CSplashWnd::clicked, this, &QDialog::accept);
    const QRect desktop = DesktopArea();
    setGeometry(SplashGeometry(desktop.width(), desktop.height()).translated(desktop.topLeft()));
    setFixedSize(kSplashWidth + 2, kSplashHeight + 2);
}

void CAboutDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) accept();
}

}  // namespace vantrel
