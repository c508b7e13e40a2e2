#pragma once
// EditorView: everything the editor window of one document decides, without
// any windowing system. It shows one frame of the document (the current
// frame) at a zoom (whole, or one of a few fractions below 1:1), keeps the point that stays in the
// middle of the window across zooming and resizing, turns window positions
// into work-area pixels, finds the item or handle under the pointer, hands
// pointer input to the current tool (view/tools/) and serves the commands
// registered in its routing table. Every change it makes to the document is
// a command of the document's history; it repaints what the document
// reports as changed. The window it lives in is reached through ViewHost.

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "core/Geometry.h"
#include "core/Pixel.h"
#include "document/CanvasItem.h"
#include "document/DocumentObserver.h"
#include "document/ViewTypes.h"
#include "document/WorkArea.h"
#include "view/CommandIds.h"
#include "view/ColorModel.h"
#include "view/CommandRoutes.h"
#include "view/OnionSkin.h"
#include "view/PrintLayout.h"
#include "view/ViewDialogs.h"
#include "view/ViewHost.h"

namespace vantrel {

class AnimFrame;
class Animation;
class Command;
class Status;
class Transaction;
class CQVDoc;
class PaintTarget;
class Tool;

// Zoom In is offered while the zoom is at most this, so 32 is the largest zoom.
inline constexpr int kZoomInLimit = 16;
// Zoom to a rectangle never goes above this.
inline constexpr int kZoomToRectLimit = 16;
// A zoom-tool drag narrower or lower than this (frame pixels) counts as a click.
inline constexpr int kZoomDragMinimum = 5;
// A move drag starts once the pointer is more than this many window pixels
// from the press on either axis.
inline constexpr int kMoveThreshold = 4;

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

// A pointer event as the tools see it: the window point, the frame point
// (clamped to the work area during a drag) and the modifier keys.
struct ToolEvent {
    Point window;
    Point frame;
    Modifiers modifiers;
};

// What a drag remembers from its press to its release.
struct DragState {
    DragMode mode = DragMode::None;
    Point press;        // frame pixels, not clamped
    Point last;         // the point the last move acted on
    Point current;      // the latest point handed to the tool
    Point pressWindow;  // for the move threshold
    Rect working;       // rubber band, new shape, resize or crop rectangle (frame pixels)
    ObjectUid item = 0; // the item resized or cropped, painted
    int handle = kNoHandle;
    double aspect = 1;  // width / height of the drag item when the resize began
    Rect start;         // the drag item's rectangle when the resize began
    bool moved = false; // a move drag has passed its threshold
    bool bandShown = false;
    RubberBandShape bandShape = RubberBandShape::Rectangle;
    std::uint64_t gesture = 0;  // merge key of the commands of this drag
};

// Defaults of new boxes, as "Rectangle Style" edits them.
struct BoxDefaults {
    int fillStyle = 1;  // 0 Solid, 1 Outline, 2 Horizontal, 3 Vertical
    int lineWidth = 1;  // 0 none, else 1 to 32
    int spaceWidth = 1; // 1 to 32
};

class EditorView final : private DocumentObserver {
public:
    EditorView(CQVDoc& doc, ViewHost& host);
    ~EditorView() override;
    EditorView(const EditorView&) = delete;
    EditorView& operator=(const EditorView&) = delete;

    CQVDoc& Document() const { return doc_; }
    Animation& GetAnimation() const;
    ViewHost& Host() const { return host_; }

    // ---- life cycle ----
    // Shows the first frame that is not a master frame (the last frame when
    // all are masters), sets the scroll range for the zoom and centres on
    // the middle of the work area.
    void OnInitialUpdate();

    // ---- geometry ----
    const ViewMapping& Mapping() const { return mapping_; }
    ZoomFactor Zoom() const { return mapping_.zoom; }
    Point Centre() const { return {mapping_.centreX, mapping_.centreY}; }
    void SetCentre(Point centre);
    Point ScrollPosition() const { return {mapping_.scrollX, mapping_.scrollY}; }
    const ScrollGeometry& Scrolling() const { return scroll_; }
    // Sets the zoom (the smallest zoom or more; nonsense becomes 1:1), the
    // scroll range 1200 x zoom square, the page to four fifths of the client
    // size and the line to a tenth of the page, then centres on the centre point.
    void SetZoom(ZoomFactor zoom);
    // Scrolls so that the centre point is in the middle of the client area,
    // as far as the scroll range allows.
    void CentreOnCentrePoint();
    // Zooms so that r (frame pixels) fills the client area: the smaller of
    // the two client/rectangle quotients, from 1 to 16, centred on r.
    void ZoomToRect(const Rect& r);
    // Zoom 1:1 centred on the current frame's canvas; the whole view redrawn.
    void ZoomOneToOne();
    // The zoom that shows the whole canvas (with its border and shadow),
    // centred on it; the whole view redrawn.
    void ZoomToFit();
    // The zoom a document opens at (see OpeningZoom), centred on the canvas.
    void ZoomForOpening();
    // Zooms one step in or out keeping the frame point under window where
    // it is (the mouse wheel); the whole view redrawn. False when the zoom
    // cannot go further that way.
    bool ZoomAround(Point window, bool in);
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

    // ---- pointer input, handed to the current tool ----
    void OnPointerMove(Point window, Modifiers modifiers);
    void OnPrimaryDown(Point window, Modifiers modifiers);
    void OnPrimaryUp(Point window);
    void OnDoubleClick(Point window, Modifiers modifiers);
    void OnSecondaryDown(Point window, Modifiers modifiers);
    // The drag ends without its effect (the window lost the pointer).
    void CancelDrag();
    DragMode Drag() const { return drag_.mode; }
    DragState& DragInfo() { return drag_; }
    const DragState& DragInfo() const { return drag_; }
    // A new merge key for the commands of one gesture.
    std::uint64_t NewGesture() { return ++gestures_; }

    // ---- tools ----
    CommandId CurrentTool() const { return currentTool_; }
    // Makes tool current (the tool commands also clear the selection for
    // some tools; see ToolCommands).
    void SetTool(CommandId tool);
    static bool IsTool(CommandId id);

    // ---- frames ----
    AnimFrame* CurrentFrame() const { return currentFrame_; }
    // Clears the selection of the frame that was shown, shows frame (when
    // given) and redraws; the current frame counts as changed.
    void ShowFrame(AnimFrame* frame);
    // The frames chosen together in the Frame List (the current one among them).
    void ChooseFrames(std::vector<ObjectUid> frames) { chosenFrames_ = std::move(frames); }
    // The frames the frame commands act on, in list order: the chosen ones
    // while the current frame is among them, else the current frame alone.
    std::vector<ObjectUid> ChosenFrames() const;

    // ---- editing ----
    // Runs command on the document's history; false when it changed nothing
    // or the document may not hold its result (the refusal is then told).
    // A command that renders every frame reports its frames to progress
    // (Host().Progress: a window with Cancel past half a second); when it
    // says stop, the command is undone and nothing is told.
    bool Execute(std::unique_ptr<Command> command, const ProgressReport& progress = {});
    // The progress of such a command.
    ProgressReport RenderProgress() { return host_.Progress("Rendering the frames..."); }
    // Commits a step of many commands; a refusal of its result is told.
    bool Commit(Transaction& step);
    // Tells a refusal, if refused holds one.
    void TellRefusal(const Status& refused);
    // Drawing colours and defaults kept between commands.
    PixelValue ForegroundColor() const { return foreground_; }
    PixelValue BackgroundColor() const { return background_; }
    void SetForegroundColor(PixelValue color);
    void SetBackgroundColor(PixelValue color);
    BoxDefaults newBox;
    // The direction and distance "Move By" opens with.
    MoveByValues lastMoveBy;
    bool newLabelAntiAliased = true;
    // How Image Size and the resize handles scale bitmaps (Image Size sets it).
    ResampleMode resizeResampling = ResampleMode::Sharp;
    // The colours last chosen in the colour picker, offered there again.
    RecentColors recentColors;
    // Picks the colour at the frame point of the last pointer move: the
    // background colour with Shift, else the foreground colour.
    void PickAt(Point frame, bool background);

    // ---- painting ----
    // The current frame as the window shows it, with handles and, while it
    // is shown, the onion skin.
    void Paint(PaintTarget& target) const;
    const OnionSkinSettings& OnionSkin() const { return onionSkin_; }
    // Takes the program's onion skin settings; redraws when they changed.
    void SetOnionSkin(const OnionSkinSettings& settings);

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

    // ---- selection and invalidation ----
    void InvalidateItem(const CanvasItem& item);
    void InvalidateHandles(const CanvasItem& item);
    void InvalidateSelectionHandles();
    // Clears the selection of the current frame, invalidating the handles first.
    void DeselectAll();
    void Select(CanvasItem& item, bool on);
    // Draws the drag's working rectangle (normalised) as a rubber band of
    // the drag's shape; drawing it again removes it.
    void ToggleBand();
    // Removes the rubber band when it is shown.
    void ToggleBandOff() {
        if (drag_.bandShown) ToggleBand();
    }

private:
    // ---- DocumentObserver ----
    void OnFrameRemoving(AnimFrame& frame) override;
    void OnItemsChanged(AnimFrame& frame, const Rect& area) override;
    void OnAnimationChanged() override;

    Tool& ActiveTool() const;
    void HitTestAndSetCursor(Point window, Modifiers modifiers);
    void ScrollTo(Point desired);
    // Centres on the current frame's canvas at the zoom choose picks for
    // the canvas and the client, and redraws.
    void ZoomOnCanvas(ZoomFactor (*choose)(Size picture, Size client));

    CQVDoc& doc_;
    ViewHost& host_;
    ViewMapping mapping_{kWorkAreaSize / 2, kWorkAreaSize / 2, 1, 0, 0};
    ScrollGeometry scroll_;
    PointerState pointer_;
    HitResult hot_;
    AnimFrame* currentFrame_ = nullptr;
    const AnimFrame* nextFrameToPrint_ = nullptr;

    std::vector<ObjectUid> chosenFrames_;
    CommandRoutes<EditorView> routes_;
    std::map<CommandId, std::unique_ptr<Tool>> tools_;
    CommandId currentTool_ = CommandId::ToolSelect;
    DragState drag_;
    std::uint64_t gestures_ = 0;
    PixelValue foreground_ = kOpaqueBlack;
    PixelValue background_ = kOpaqueWhite;
    OnionSkinSettings onionSkin_;
};

}  // namespace vantrel
