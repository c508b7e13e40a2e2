#pragma once
// EditorView: everything the editor window of one document decides, without
// any windowing system. It shows one frame of the document (the current
// frame) enlarged by an integer zoom, keeps the point that stays in the
// middle of the window across zooming and resizing, turns window positions
// into work-area pixels, finds the item or handle under the pointer, and
// holds the enable rules and actions of the commands the editor serves. The
// window it lives in is reached through ViewHost.

#include <cstdint>

#include "core/Geometry.h"
#include "core/Pixel.h"
#include "document/ViewTypes.h"
#include "document/WorkArea.h"
#include "view/CommandIds.h"
#include "view/PrintLayout.h"
#include "view/ViewHost.h"

namespace vantrel {

class AnimFrame;
class Animation;
class CanvasItem;
class CQVDoc;
class PaintTarget;

// Zoom In is offered while the zoom is at most this, so 32 is the largest zoom.
inline constexpr int kZoomInLimit = 16;
// Zoom to a rectangle never goes above this.
inline constexpr int kZoomToRectLimit = 16;
// A zoom-tool drag narrower or lower than this (frame pixels) counts as a click.
inline constexpr int kZoomDragMinimum = 5;

// The state between a button press and its release.
enum class DragMode {
    None,
    RubberBand,
    MoveItems,
    ResizeItem,
    ZoomIn,
    ZoomOut,
    ZoomRefused,
    ZoomReset,
    DrawShape,
    PenStroke,
};

// Modifier keys held with a pointer event.
struct Modifiers {
    bool shift = false;
    bool ctrl = false;
};

// What lies under the pointer: an item, and the handle of it when one is hit.
struct HitResult {
    CanvasItem* item = nullptr;
    int handle = kNoHandle;
};

class EditorView {
public:
    EditorView(CQVDoc& doc, ViewHost& host);
    EditorView(const EditorView&) = delete;
    EditorView& operator=(const EditorView&) = delete;

    CQVDoc& Document() const { return doc_; }
    Animation& GetAnimation() const;

    // ---- life cycle ----
    // Shows the first frame that is not a master frame (the last frame when
    // all are masters), sets the scroll range for the zoom and centres on
    // the middle of the work area.
    void OnInitialUpdate();

    // ---- geometry ----
    const ViewMapping& Mapping() const { return mapping_; }
    int Zoom() const { return mapping_.zoom; }
    Point Centre() const { return {mapping_.centreX, mapping_.centreY}; }
    Point ScrollPosition() const { return {mapping_.scrollX, mapping_.scrollY}; }
    const ScrollGeometry& Scrolling() const { return scroll_; }
    // Sets the zoom (1 or more), the scroll range 1200 x zoom square, the
    // page to four fifths of the client size and the line to a tenth of the
    // page, then centres on the centre point.
    void SetZoom(int zoom);
    // Scrolls so that the centre point is in the middle of the client area,
    // as far as the scroll range allows.
    void CentreOnCentrePoint();
    // Zooms so that r (frame pixels) fills the client area: the smaller of
    // the two client/rectangle quotients, from 1 to 16, centred on r.
    void ZoomToRect(const Rect& r);
    // The client area changed size: keeps the centre point in the middle.
    void OnSize();
    // The user scrolled to position (device pixels, within the range): the
    // frame pixel now in the middle of the client area becomes the centre point.
    void OnScroll(Point position);

    // ---- coordinates ----
    // Window pixels to work-area pixels (truncating); clamp limits the result
    // to the work area, as during a drag.
    Point WindowToFrame(Point window, bool clamp) const;
    // A work-area rectangle in window pixels.
    Rect FrameToWindow(const Rect& frameRect) const;
    // A device rectangle (work area times zoom) in window pixels.
    Rect DeviceToWindow(const Rect& deviceRect) const;
    // The pointer state for a window position.
    PointerState MapPointer(Point window, bool clamp) const;
    const PointerState& Pointer() const { return pointer_; }

    // ---- hit testing ----
    // The handle of a selected item under the pointer (topmost first), else
    // the topmost item whose bounds hold the pointer, else nothing.
    HitResult HitTestAt(const PointerState& pointer) const;
    const HitResult& Hot() const { return hot_; }

    // ---- pointer ----
    void OnPointerMove(Point window, Modifiers modifiers);
    void OnPrimaryDown(Point window, Modifiers modifiers);
    void OnPrimaryUp(Point window);
    void OnSecondaryDown(Point window, Modifiers modifiers);
    DragMode Drag() const { return dragMode_; }

    // ---- frames ----
    AnimFrame* CurrentFrame() const { return currentFrame_; }
    // Renders every frame, clears the selection of the frame that was shown,
    // shows frame (when given) and redraws; the current frame counts as changed.
    void ShowFrame(AnimFrame* frame);
    // The flags the panels read: frames were added or removed, or another
    // frame or its settings are shown. Reading clears them.
    bool TakeFrameListChanged();
    bool TakeCurrentFrameChanged();

    // ---- painting ----
    // The current frame as the window shows it, with handles.
    void Paint(PaintTarget& target) const;

    // ---- printing ----
    // Renders every frame and starts printing at the first frame.
    void BeginPrinting();
    bool HasPageToPrint() const { return nextFrameToPrint_ != nullptr; }
    // Lays out the next page and moves the printing cursor past it.
    PrintPageLayout LayoutNextPage(int pageHeight, int titleWidth);

    // ---- commands ----
    // The update rule of a command the view serves; false when the view does
    // not serve it (the window or the application may).
    bool UpdateCommand(CommandId id, CommandUi& ui) const;
    // Runs a command the view serves; false when it does not serve it or its
    // rule does not allow it now.
    bool ExecuteCommand(CommandId id);

    // ---- invalidation ----
    void InvalidateItem(const CanvasItem& item);
    void InvalidateHandles(const CanvasItem& item);
    void InvalidateSelectionHandles();
    // Clears the selection of the current frame, invalidating the handles first.
    void DeselectAll();
    void MarkModified();

    // ---- drawing defaults kept between commands ----
    PixelValue foregroundColor = kOpaqueBlack;
    PixelValue backgroundColor = kOpaqueWhite;
    CommandId CurrentTool() const { return currentTool_; }

private:
    // One update rule per command.
    void UpdateZoomIn(CommandUi& ui) const;
    void UpdateZoomOut(CommandUi& ui) const;
    void UpdateZoomOneToOne(CommandUi& ui) const;
    void UpdateFirstFrame(CommandUi& ui) const;
    void UpdatePreviousFrame(CommandUi& ui) const;
    void UpdateNextFrame(CommandUi& ui) const;
    void UpdateLastFrame(CommandUi& ui) const;
    void UpdateTool(CommandId tool, CommandUi& ui) const;
    void UpdateSaveDocument(CommandUi& ui) const;
    // One action per command.
    void OnZoomIn();
    void OnZoomOut();
    void OnZoomOneToOne();
    void OnFirstFrame();
    void OnPreviousFrame();
    void OnNextFrame();
    void OnLastFrame();
    void OnTool(CommandId tool);

    // The tools the view drives so far.
    static bool ToolAvailable(CommandId tool);
    void SetCursorForTool(Modifiers modifiers);
    void ZoomToolPress(Modifiers modifiers);
    void ZoomToolRelease();
    void DrawWorkingBand();
    CursorRole ZoomCursorFor(DragMode mode) const;
    void ScrollTo(Point desired);

    CQVDoc& doc_;
    ViewHost& host_;
    ViewMapping mapping_{kWorkAreaSize / 2, kWorkAreaSize / 2, 1, 0, 0};
    ScrollGeometry scroll_;
    PointerState pointer_;
    HitResult hot_;
    AnimFrame* currentFrame_ = nullptr;
    const AnimFrame* nextFrameToPrint_ = nullptr;
    bool frameListChanged_ = false;
    bool currentFrameChanged_ = false;

    CommandId currentTool_ = CommandId::ToolSelect;
    DragMode dragMode_ = DragMode::None;
    Point pressPoint_;
    Point lastPoint_;
    Point currentPoint_;
    Rect workingRect_;
    bool bandShown_ = false;
};

}  // namespace vantrel
