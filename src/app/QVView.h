#pragma once
// CQVView: the scrolling, zooming window that shows the current frame of one
// document. It is the Qt side of EditorView: it paints what the view draws,
// passes pointer, key, scroll and size events on, and carries out what the
// view asks of its window (ViewHost).

#include <QAbstractScrollArea>
#include <QRegion>
#include <memory>
#include <vector>

#include "app/AppClipboard.h"
#include "app/dialogs/AppDialogs.h"
#include "view/EditorView.h"
#include "view/ViewHost.h"

class QPrinter;

namespace vantrel {

class CQVDoc;

class CQVView final : public QAbstractScrollArea, public ViewHost {
    Q_OBJECT

public:
    CQVView(CQVDoc& doc, QWidget* parent = nullptr);
    ~CQVView() override;

    EditorView& Editor() { return editor_; }
    const EditorView& Editor() const { return editor_; }
    CQVDoc& Document() const { return editor_.Document(); }

    void OnInitialUpdate();
    // Command routing: what the view serves (its own commands and printing).
    bool OnUpdateCommand(CommandId id, CommandUi& ui) const;
    bool OnCommand(CommandId id);
    static const CommandRoutes<CQVView>& Routes();
    // Prints the document's frames on printer; the number of pages.
    int PrintTo(QPrinter& printer);

    // ---- ViewHost ----
    Size ClientSize() const override;
    void SetScrollGeometry(const ScrollGeometry& geometry) override;
    void SetScrollPosition(Point position) override;
    void InvalidateRect(const Rect& window) override;
    void UpdateNow() override;
    void RedrawAll() override;
    void SetPointerCapture(bool captured) override;
    void SetCursor(CursorRole role) override;
    void DrawRubberBand(const Rect& window, RubberBandShape shape) override;
    MessageAnswer ShowMessage(const std::string& text, MessageStyle style) override;
    ViewDialogs& Dialogs() override { return dialogs_; }
    ViewClipboard& Clipboard() override { return clipboard_; }
    void ColorsChanged(PixelValue foreground, PixelValue background) override;
    void RefreshCursor() override;
    void ShowContextMenu(Point window) override;
    ProgressReport Progress(const std::string& text) override;

signals:
    // Something the command states depend on may have changed.
    void stateChanged();
    // The view's drawing colours changed.
    void colorsChanged(PixelValue foreground, PixelValue background);
    // The secondary button asks for the context menu at a point of the viewport.
    void contextMenuRequested(QPoint window);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void ApplyOpeningZoom();
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    struct Band {
        Rect rect;
        RubberBandShape shape;
    };
    void ApplyScrollRanges();
    // Lets the cursor follow Ctrl and Shift without pointer motion.
    void RefreshPointer(Qt::KeyboardModifiers modifiers);
    void ShowPrintDialog();
    void ShowPrintPreview();

    AppDialogs dialogs_;
    AppClipboard clipboard_;
    EditorView editor_;
    ScrollGeometry geometry_;
    bool movingScrollBars_ = false;
    // The zoom of a document opened from a file follows the window's size
    // until the user clicks, types, scrolls or gives a command.
    bool zoomForOpening_ = false;
    QRegion pending_;
    std::vector<Band> bands_;
};

}  // namespace vantrel
