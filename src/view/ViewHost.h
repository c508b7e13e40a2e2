#pragma once
// What the editor view asks of the window it lives in. The view decides;
// the host only draws, scrolls, captures and asks the user.

#include <string>

#include "core/Geometry.h"
#include "core/Pixel.h"
#include "core/Progress.h"

namespace vantrel {

class ViewClipboard;
class ViewDialogs;

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// Scroll bar settings in device pixels: the scrollable size, and how far a
// page and a line step move.
struct ScrollGeometry {
    Size total;
    Size page;
    Size line;
    friend bool operator==(const ScrollGeometry&, const ScrollGeometry&) = default;
};

// The cursor images, by what they announce.
enum class CursorRole {
    Select,
    Move,
    Handle,
    ZoomIn,
    ZoomOut,
    ZoomRefused,
    ZoomShift,
    DrawShape,
    Pick,
    Text,
    Pen,
    PenRefused,
    Fill,
    FillRefused,
    Crop,
    CropRefused,
    Busy,
};

enum class RubberBandShape { Rectangle, Ellipse };

enum class MessageStyle { Information, Error, QuestionYesNo, QuestionYesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

class ViewHost {
public:
    virtual ~ViewHost() = default;

    // The client area in window pixels.
    virtual Size ClientSize() const = 0;
    // New scroll range, page and line sizes.
    virtual void SetScrollGeometry(const ScrollGeometry& geometry) = 0;
    // Moves the scroll bars to a device position chosen by the view; the
    // host does not report this move back as a scroll request.
    virtual void SetScrollPosition(Point position) = 0;

    // Marks a window rectangle for repainting, without erasing.
    virtual void InvalidateRect(const Rect& window) = 0;
    // Repaints what is marked, at once.
    virtual void UpdateNow() = 0;
    // Invalidates and repaints the whole window at once.
    virtual void RedrawAll() = 0;

    virtual void SetPointerCapture(bool captured) = 0;
    virtual void SetCursor(CursorRole role) = 0;
    // Draws a dotted outline straight onto the window in exclusive-or mode:
    // the same call at the same place removes it again.
    virtual void DrawRubberBand(const Rect& window, RubberBandShape shape) = 0;

    // A message box with the program's title.
    virtual MessageAnswer ShowMessage(const std::string& text, MessageStyle style) = 0;

    // The dialogs the view opens.
    virtual ViewDialogs& Dialogs() = 0;
    // The system clipboard.
    virtual ViewClipboard& Clipboard() = 0;
    // The view's drawing colours changed (the colour bar shows them).
    virtual void ColorsChanged(PixelValue /*foreground*/, PixelValue /*background*/) {}
    // The pointer did not move but the cursor may have to change (after a
    // tool switch): the host sends a pointer move at the pointer's place.
    virtual void RefreshCursor() {}
    // The secondary button asks for the context menu at a window point.
    virtual void ShowContextMenu(Point /*window*/) {}
    // How a long job started by the view shows its progress (text says what
    // it does) and lets the user stop it; none: the job just runs.
    virtual ProgressReport Progress(const std::string& /*text*/) { return {}; }
};

}  // namespace vantrel
