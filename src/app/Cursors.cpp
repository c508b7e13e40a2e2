#include "app/Cursors.h"

#include <QPixmap>

namespace vantrel {

namespace {

// A drawn cursor: 32 x 32 picture (64 x 64 for dense screens) and its hot spot.
QCursor Drawn(const char* name, int hotX, int hotY) {
    const QPixmap picture(QStringLiteral(":/cursors/%1.png").arg(QLatin1String(name)));
    if (picture.isNull()) return QCursor(Qt::ArrowCursor);
    return QCursor(picture, hotX, hotY);
}

}  // namespace

QCursor CursorFor(CursorRole role) {
    switch (role) {
        case CursorRole::Select: return QCursor(Qt::ArrowCursor);
        case CursorRole::Move: return QCursor(Qt::SizeAllCursor);
        case CursorRole::Handle: return QCursor(Qt::PointingHandCursor);
        case CursorRole::ZoomIn: return Drawn("zoom_in", 12, 12);
        case CursorRole::ZoomOut: return Drawn("zoom_out", 12, 12);
        case CursorRole::ZoomRefused: return Drawn("zoom_refused", 12, 12);
        case CursorRole::ZoomShift: return Drawn("zoom_reset", 15, 15);
        case CursorRole::DrawShape: return QCursor(Qt::CrossCursor);
        case CursorRole::Pick: return Drawn("pick", 3, 28);
        case CursorRole::Text: return QCursor(Qt::IBeamCursor);
        case CursorRole::Pen: return Drawn("pen", 3, 28);
        case CursorRole::PenRefused: return Drawn("pen_refused", 3, 28);
        case CursorRole::Fill: return Drawn("fill", 26, 24);
        case CursorRole::FillRefused: return Drawn("fill_refused", 26, 24);
        case CursorRole::Crop: return Drawn("crop", 4, 4);
        case CursorRole::CropRefused: return Drawn("crop_refused", 1, 1);
        case CursorRole::Busy: return QCursor(Qt::WaitCursor);
    }
    return QCursor(Qt::ArrowCursor);
}

}  // namespace vantrel
