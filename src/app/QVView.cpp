#include "app/QVView.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <optional>

#include "app/ProgressDialog.h"
#include "app/Cursors.h"
#include "app/Printing.h"
#include "app/Prompts.h"
#include "document/CQVDoc.h"
#include "view/FramePainter.h"

namespace vantrel {

namespace {

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

Modifiers ModifiersOf(Qt::KeyboardModifiers m) {
    return {m.testFlag(Qt::ShiftModifier), m.testFlag(Qt::ControlModifier)};
}

Point PointOf(const QPointF& p) { return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))}; }

}  // namespace

CQVView::CQVView(CQVDoc& doc, QWidget* parent)
    : QAbstractScrollArea(parent), dialogs_(this), editor_(doc, *this) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::StrongFocus);
}

CQVView::~CQVView() = default;

void CQVView::OnInitialUpdate() {
    editor_.OnInitialUpdate();
    // A picture opened from a file is shown whole (or enlarged when tiny); a
    // new document starts at 1:1. The window gets its size only after this,
    // so the zoom is chosen again at each resize until the user acts.
    zoomForOpening_ = !Document().PathName().empty();
    ApplyOpeningZoom();
    viewport()->update();
}

void CQVView::ApplyOpeningZoom() {
    if (zoomForOpening_ && isVisible()) editor_.ZoomForOpening();
}

// ---- commands ----

const CommandRoutes<CQVView>& CQVView::Routes() {
    using Route = CommandRoute<CQVView>;
    static constexpr Route kRoutes[] = {
        {CommandId::FilePrint, nullptr, [](CQVView& v) { v.ShowPrintDialog(); }},
        {CommandId::FilePrintPreview, nullptr, [](CQVView& v) { v.ShowPrintPreview(); }},
    };
    static const CommandRoutes<CQVView> routes = [] {
        CommandRoutes<CQVView> r;
        r.Add(kRoutes);
        return r;
    }();
    return routes;
}

// The view's own commands first (printing), then those of the editor.
bool CQVView::OnUpdateCommand(CommandId id, CommandUi& ui) const {
    return Routes().Update(*this, id, ui) || editor_.UpdateCommand(id, ui);
}

bool CQVView::OnCommand(CommandId id) {
    zoomForOpening_ = false;
    const bool handled = Routes().Serves(id) ? Routes().Execute(*this, id) : editor_.ExecuteCommand(id);
    if (handled) emit stateChanged();
    return handled;
}

int CQVView::PrintTo(QPrinter& printer) { return PrintAnimation(editor_, printer); }

void CQVView::ShowPrintDialog() {
    QPrinter& printer = SharedPrinter();
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) PrintTo(printer);
}

void CQVView::ShowPrintPreview() {
    QPrintPreviewDialog preview(&SharedPrinter(), this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) { PrintTo(*p); });
    preview.exec();
}

// ---- ViewHost ----

Size CQVView::ClientSize() const { return {viewport()->width(), viewport()->height()}; }

void CQVView::ApplyScrollRanges() {
    const QScopedValueRollback<bool> guard(movingScrollBars_, true);
    const Size client = ClientSize();
    horizontalScrollBar()->setRange(0, std::max(0, geometry_.total.width - client.width));
    verticalScrollBar()->setRange(0, std::max(0, geometry_.total.height - client.height));
    horizontalScrollBar()->setPageStep(std::max(1, geometry_.page.width));
    verticalScrollBar()->setPageStep(std::max(1, geometry_.page.height));
    horizontalScrollBar()->setSingleStep(std::max(1, geometry_.line.width));
    verticalScrollBar()->setSingleStep(std::max(1, geometry_.line.height));
}

void CQVView::SetScrollGeometry(const ScrollGeometry& geometry) {
    geometry_ = geometry;
    ApplyScrollRanges();
}

void CQVView::SetScrollPosition(Point position) {
    {
        const QScopedValueRollback<bool> guard(movingScrollBars_, true);
        horizontalScrollBar()->setValue(position.x);
        verticalScrollBar()->setValue(position.y);
    }
    viewport()->update();
}

void CQVView::InvalidateRect(const Rect& window) {
    const QRect r = ToQRect(window);
    pending_ += r;
    viewport()->update(r);
}

void CQVView::UpdateNow() {
    if (pending_.isEmpty()) return;
    viewport()->repaint(pending_);
}

void CQVView::RedrawAll() {
    pending_ = QRegion();
    viewport()->update();
}

void CQVView::SetPointerCapture(bool /*captured*/) {
    // Qt keeps the pointer with the widget from a press to its release.
}

void CQVView::SetCursor(CursorRole role) { viewport()->setCursor(CursorFor(role)); }

void CQVView::DrawRubberBand(const Rect& window, RubberBandShape shape) {
    // Exclusive-or drawing: the same band drawn twice is gone.
    const auto same = std::find_if(bands_.begin(), bands_.end(), [&](const Band& b) {
        return b.rect == window && b.shape == shape;
    });
    if (same != bands_.end())
        bands_.erase(same);
    else
        bands_.push_back({window, shape});
    viewport()->update(ToQRect(window.Inflate(1, 1)));
}

MessageAnswer CQVView::ShowMessage(const std::string& text, MessageStyle style) {
    return ShowMessageBox(this, QString::fromStdString(text), style);
}

void CQVView::ColorsChanged(PixelValue foreground, PixelValue background) { emit colorsChanged(foreground, background); }

void CQVView::RefreshCursor() { RefreshPointer(QGuiApplication::queryKeyboardModifiers()); }

void CQVView::ShowContextMenu(Point window) { emit contextMenuRequested(QPoint(window.x, window.y)); }

// ---- events ----

void CQVView::paintEvent(QPaintEvent* event) {
    const QRect dirty = event->rect();
    pending_ -= event->region();
    const Point scroll = editor_.ScrollPosition();
    RasterPaintTarget target(Rect{dirty.left(), dirty.top(), dirty.right() + 1, dirty.bottom() + 1}.Offset(scroll.x, scroll.y));
    editor_.Paint(target);

    QPainter painter(viewport());
    const QImage image(reinterpret_cast<const uchar*>(target.Row(0)), target.Width(), target.Height(),
                       static_cast<qsizetype>(target.Width()) * 4, QImage::Format_RGB32);
    painter.drawImage(dirty.topLeft(), image);

    if (!bands_.empty()) {
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        QPen pen(Qt::white);
        pen.setStyle(Qt::DotLine);
        pen.setWidth(0);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        for (const Band& band : bands_) {
            const QRect r = ToQRect(band.rect).adjusted(0, 0, -1, -1);
            if (band.shape == RubberBandShape::Ellipse)
                painter.drawEllipse(r);
            else
                painter.drawRect(r);
        }
    }
}

void CQVView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    ApplyScrollRanges();
    editor_.OnSize();
    ApplyOpeningZoom();
}

void CQVView::scrollContentsBy(int /*dx*/, int /*dy*/) {
    if (!movingScrollBars_) {
        editor_.OnScroll({horizontalScrollBar()->value(), verticalScrollBar()->value()});
        bands_.clear();
    }
    viewport()->update();
}

void CQVView::mousePressEvent(QMouseEvent* event) {
    zoomForOpening_ = false;
    const Point at = PointOf(event->position());
    if (event->button() == Qt::LeftButton)
        editor_.OnPrimaryDown(at, ModifiersOf(event->modifiers()));
    else if (event->button() == Qt::RightButton)
        editor_.OnSecondaryDown(at, ModifiersOf(event->modifiers()));
    emit stateChanged();
}

void CQVView::mouseMoveEvent(QMouseEvent* event) {
    editor_.OnPointerMove(PointOf(event->position()), ModifiersOf(event->modifiers()));
}

void CQVView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) editor_.OnPrimaryUp(PointOf(event->position()));
    emit stateChanged();
}

void CQVView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        editor_.OnDoubleClick(PointOf(event->position()), ModifiersOf(event->modifiers()));
        emit stateChanged();
    }
}

void CQVView::focusOutEvent(QFocusEvent* event) {
    // A dialog or another window took the keyboard in the middle of a drag:
    // the drag ends where it is.
    if (QApplication::mouseButtons() == Qt::NoButton) editor_.CancelDrag();
    QAbstractScrollArea::focusOutEvent(event);
}

void CQVView::RefreshPointer(Qt::KeyboardModifiers modifiers) {
    const QPoint at = viewport()->mapFromGlobal(QCursor::pos());
    if (viewport()->rect().contains(at) || editor_.Drag() != DragMode::None)
        editor_.OnPointerMove({at.x(), at.y()}, ModifiersOf(modifiers));
}

namespace {

// The zoom keys of the numeric keypad. They are handled here, not as
// shortcuts: on X11 a keypad-modified shortcut never matches.
std::optional<CommandId> KeypadZoomCommand(const QKeyEvent& event) {
    if (!event.modifiers().testFlag(Qt::KeypadModifier)) return std::nullopt;
    switch (event.key()) {
        case Qt::Key_Plus: return CommandId::ZoomIn;
        case Qt::Key_Minus: return CommandId::ZoomOut;
        case Qt::Key_Asterisk: return CommandId::ZoomOneToOne;
        default: return std::nullopt;
    }
}

}  // namespace

void CQVView::wheelEvent(QWheelEvent* event) {
    zoomForOpening_ = false;
    // Ctrl with the wheel zooms around the pointer; without it the wheel scrolls.
    if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    if (editor_.ZoomAround(PointOf(event->position()), event->angleDelta().y() > 0)) emit stateChanged();
    event->accept();
}

void CQVView::keyPressEvent(QKeyEvent* event) {
    zoomForOpening_ = false;
    if (const auto zoom = KeypadZoomCommand(*event)) {
        OnCommand(*zoom);
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && editor_.Drag() != DragMode::None) {
        editor_.CancelDrag();
        event->accept();
        return;
    }
    RefreshPointer(event->modifiers());
    event->ignore();
}

void CQVView::keyReleaseEvent(QKeyEvent* event) {
    RefreshPointer(event->modifiers());
    event->ignore();
}

ProgressReport CQVView::Progress(const std::string& text) {
    return SharedProgressReport(this, QString::fromStdString(text));
}

}  // namespace vantrel
