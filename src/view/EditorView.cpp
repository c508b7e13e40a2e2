#include "view/EditorView.h"

#include <algorithm>
#include <span>
#include <utility>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "document/CanvasItem.h"
#include "document/LabelItem.h"
#include "edit/FrameRangeCommands.h"
#include "view/FramePainter.h"
#include "view/ViewCommands.h"
#include "view/ZoomLevels.h"
#include "view/tools/Tool.h"

namespace vantrel {

namespace {

constexpr int kLastWorkAreaPixel = kWorkAreaSize - 1;
// Handles reach 8 device pixels beyond an item's zoomed bounds.
constexpr int kHandleReach = 8;

constexpr CommandId kTools[] = {CommandId::ToolSelect, CommandId::ToolZoom,      CommandId::ToolDrawBitmap,
                                CommandId::ToolCrop,   CommandId::ToolRectangle, CommandId::ToolEllipse,
                                CommandId::ToolPen,    CommandId::ToolText,      CommandId::ToolPick,
                                CommandId::ToolFill};

// Handle codes an item shows: labels have only their top, top-right and right handles.
std::span<const int> HandlesOf(const CanvasItem& item) {
    static constexpr int kAll[] = {1, 2, 3, 4, 5, 6, 7, 8};
    if (item.Kind() == ItemKind::Label) return kLabelHandles;
    return kAll;
}

// A scroll position on one axis within the range; 0 when everything fits.
// Below 1:1 a work area that fits lies in the middle of the client instead:
// the position is negative then, and the scroll bar has nowhere to go.
int LimitedScroll(int position, int client, int total, ZoomFactor zoom) {
    if (total <= client) return zoom < 1 ? -((client - total) / 2) : 0;
    return std::clamp(position, 0, total - client);
}

// The scroll position on one axis that puts centre (device pixels) in the
// middle of the client, within the range.
int CentredScroll(int centreDevice, int client, int total, ZoomFactor zoom) {
    return LimitedScroll(centreDevice - client / 2, client, total, zoom);
}

}  // namespace

EditorView::EditorView(CQVDoc& doc, ViewHost& host)
    : doc_(doc), host_(host), currentFrame_(doc.GetAnimation().FirstFrame()) {
    for (const ViewRoutes routes : {ZoomRoutes(), NavigationRoutes(), ToolRoutes(), HistoryRoutes(), TextRoutes(),
                                    ColorRoutes(), ItemRoutes(), ClipboardRoutes(), FrameRoutes(),
                                    InBetweenRoutes(), EffectRoutes(), ResizeAnimationRoutes()})
        routes_.Add(routes);
    for (const CommandId tool : kTools) tools_[tool] = MakeTool(tool, *this);
    doc_.AddObserver(this);
}

EditorView::~EditorView() { doc_.RemoveObserver(this); }

Animation& EditorView::GetAnimation() const { return doc_.GetAnimation(); }

bool EditorView::IsTool(CommandId id) { return std::find(std::begin(kTools), std::end(kTools), id) != std::end(kTools); }

Tool& EditorView::ActiveTool() const { return *tools_.at(currentTool_); }

// ---- life cycle ----

void EditorView::OnInitialUpdate() {
    const Animation& animation = GetAnimation();
    currentFrame_ = animation.FirstFrame();
    while (currentFrame_->isMaster) {
        AnimFrame* next = animation.NextFrame(currentFrame_);
        if (!next) break;
        currentFrame_ = next;
    }
    // The first scroll range uses the usual defaults: a page is a tenth of
    // the range, a line a tenth of a page.
    const int total = mapping_.zoom.Scale(kWorkAreaSize);
    scroll_.total = {total, total};
    scroll_.page = {total / 10, total / 10};
    scroll_.line = {total / 100, total / 100};
    host_.SetScrollGeometry(scroll_);
    mapping_.centreX = kWorkAreaSize / 2;
    mapping_.centreY = kWorkAreaSize / 2;
    CentreOnCentrePoint();
}

// ---- geometry ----

void EditorView::SetCentre(Point centre) {
    mapping_.centreX = centre.x;
    mapping_.centreY = centre.y;
}

void EditorView::SetZoom(ZoomFactor zoom) {
    if (zoom.num <= 0 || zoom.den <= 0) zoom = 1;
    mapping_.zoom = std::max(zoom, kSmallestZoom);
    const Size client = host_.ClientSize();
    const int total = mapping_.zoom.Scale(kWorkAreaSize);
    scroll_.total = {total, total};
    scroll_.page = {client.width * 4 / 5, client.height * 4 / 5};
    scroll_.line = {scroll_.page.width / 10, scroll_.page.height / 10};
    host_.SetScrollGeometry(scroll_);
    CentreOnCentrePoint();
}

void EditorView::CentreOnCentrePoint() {
    const Size client = host_.ClientSize();
    ScrollTo({CentredScroll(mapping_.zoom.Scale(mapping_.centreX), client.width, scroll_.total.width, mapping_.zoom),
              CentredScroll(mapping_.zoom.Scale(mapping_.centreY), client.height, scroll_.total.height, mapping_.zoom)});
}

void EditorView::ScrollTo(Point desired) {
    mapping_.scrollX = desired.x;
    mapping_.scrollY = desired.y;
    host_.SetScrollPosition(desired);
}

void EditorView::ZoomToRect(const Rect& r) {
    const Rect box = Normalized(r);
    const Size client = host_.ClientSize();
    // A rectangle larger than the window gives a quotient of 0: the zoom stays at least 1.
    const int zoom = std::min(client.height / std::max(1, box.Height()), client.width / std::max(1, box.Width()));
    SetCentre({(box.left + box.right) / 2, (box.top + box.bottom) / 2});
    SetZoom(std::clamp(zoom, 1, kZoomToRectLimit));
}

void EditorView::ZoomOneToOne() { ZoomOnCanvas([](Size, Size) { return ZoomFactor{1}; }); }

void EditorView::ZoomToFit() { ZoomOnCanvas(FitZoom); }

void EditorView::ZoomForOpening() { ZoomOnCanvas(OpeningZoom); }

void EditorView::ZoomOnCanvas(ZoomFactor (*choose)(Size picture, Size client)) {
    Size picture;
    if (currentFrame_) {
        const Rect& canvas = currentFrame_->Canvas();
        SetCentre({(canvas.left + canvas.right) / 2, (canvas.top + canvas.bottom) / 2});
        picture = {canvas.Width(), canvas.Height()};
    }
    // Room for the border and shadow drawn around the canvas.
    constexpr int kFrameMargin = 2 * (1 + kCanvasShadowWidth);
    const Size client = host_.ClientSize();
    SetZoom(choose(picture, {client.width - kFrameMargin, client.height - kFrameMargin}));
    host_.RedrawAll();
}

bool EditorView::ZoomAround(Point window, bool in) {
    const ZoomFactor next = in ? ZoomedIn(mapping_.zoom) : ZoomedOut(mapping_.zoom);
    if (in ? mapping_.zoom > kZoomInLimit : next == mapping_.zoom) return false;
    // The frame point under the pointer stays there: the new centre lies as
    // far from it (at the new zoom) as the middle of the window lies from the pointer.
    const Point anchor = WindowToFrame(window, false);
    const Size client = host_.ClientSize();
    SetCentre({std::clamp(anchor.x + next.Unscale(client.width / 2 - window.x), 0, kLastWorkAreaPixel),
               std::clamp(anchor.y + next.Unscale(client.height / 2 - window.y), 0, kLastWorkAreaPixel)});
    SetZoom(next);
    host_.RedrawAll();
    return true;
}

void EditorView::OnSize() { CentreOnCentrePoint(); }

void EditorView::OnScroll(Point position) {
    const Size client = host_.ClientSize();
    mapping_.scrollX = LimitedScroll(position.x, client.width, scroll_.total.width, mapping_.zoom);
    mapping_.scrollY = LimitedScroll(position.y, client.height, scroll_.total.height, mapping_.zoom);
    // The point now in the middle of the window is the one the next zoom or
    // resize keeps there.
    mapping_.centreX = std::clamp(mapping_.zoom.Unscale(mapping_.scrollX + client.width / 2), 0, kLastWorkAreaPixel);
    mapping_.centreY = std::clamp(mapping_.zoom.Unscale(mapping_.scrollY + client.height / 2), 0, kLastWorkAreaPixel);
}

// ---- coordinates ----

Point EditorView::WindowToFrame(Point window, bool clamp) const {
    Point frame{mapping_.zoom.Unscale(window.x + mapping_.scrollX), mapping_.zoom.Unscale(window.y + mapping_.scrollY)};
    if (clamp) {
        frame.x = std::clamp(frame.x, 0, kLastWorkAreaPixel);
        frame.y = std::clamp(frame.y, 0, kLastWorkAreaPixel);
    }
    return frame;
}

Rect EditorView::DeviceToWindow(const Rect& deviceRect) const {
    return deviceRect.Offset(-mapping_.scrollX, -mapping_.scrollY);
}

Rect EditorView::FrameToWindow(const Rect& frameRect) const {
    return DeviceToWindow(ZoomRect(frameRect, mapping_.zoom));
}

PointerState EditorView::MapPointer(Point window, bool clamp) const {
    PointerState state;
    state.windowX = window.x;
    state.windowY = window.y;
    state.deviceX = window.x + mapping_.scrollX;
    state.deviceY = window.y + mapping_.scrollY;
    const Point frame = WindowToFrame(window, clamp);
    state.frameX = frame.x;
    state.frameY = frame.y;
    state.zoom = mapping_.zoom;
    return state;
}

// ---- hit testing ----

HitResult EditorView::HitTestAt(const PointerState& pointer) const {
    if (!currentFrame_) return {};
    for (CanvasItem* item : currentFrame_->TopToBottom()) {
        if (!item->IsSelected()) continue;
        if (const int handle = item->HitHandle(pointer); handle != kNoHandle) return {item, handle};
    }
    for (CanvasItem* item : currentFrame_->TopToBottom())
        if (item->HitTest(pointer)) return {item, kNoHandle};
    return {};
}

// ---- pointer ----

void EditorView::HitTestAndSetCursor(Point window, Modifiers modifiers) {
    pointer_ = MapPointer(window, false);
    hot_ = HitTestAt(pointer_);
    pointer_.handle = hot_.handle;
    host_.SetCursor(ActiveTool().Cursor(modifiers));
}

void EditorView::OnPointerMove(Point window, Modifiers modifiers) {
    if (gesture_.mode == DragMode::None) {
        HitTestAndSetCursor(window, modifiers);
        return;
    }
    pointer_ = MapPointer(window, true);
    ActiveTool().Move({window, {pointer_.frameX, pointer_.frameY}, modifiers});
}

void EditorView::OnPrimaryDown(Point window, Modifiers modifiers) {
    // A press that arrives during a drag (a second button) ends it first.
    if (gesture_.mode != DragMode::None) CancelDrag();
    const Point frame = WindowToFrame(window, false);
    gesture_ = Gesture{DragMode::None, frame, window, ++gestures_};
    host_.SetPointerCapture(true);
    gesture_.mode = ActiveTool().Press({window, frame, modifiers});
}

void EditorView::OnPrimaryUp(Point window) {
    host_.SetPointerCapture(false);
    if (gesture_.mode == DragMode::None) return;
    // The gesture is over before the tool finishes it, which may switch tools.
    gesture_.mode = DragMode::None;
    ActiveTool().Release({window, WindowToFrame(window, false), {}});
    HitTestAndSetCursor(window, {});
}

void EditorView::OnDoubleClick(Point window, Modifiers modifiers) {
    ActiveTool().DoubleClick({window, WindowToFrame(window, false), modifiers});
}

void EditorView::OnSecondaryDown(Point window, Modifiers modifiers) {
    if (gesture_.mode != DragMode::None) return;
    ActiveTool().SecondaryPress({window, WindowToFrame(window, false), modifiers});
}

void EditorView::CancelDrag() {
    if (gesture_.mode == DragMode::None) return;
    ActiveTool().Cancel();
    gesture_.mode = DragMode::None;
    host_.SetPointerCapture(false);
    host_.RedrawAll();
}

// ---- tools ----

void EditorView::SetTool(CommandId tool) {
    if (!IsTool(tool) || tool == currentTool_) return;
    CancelDrag();
    currentTool_ = tool;
    host_.RefreshCursor();
}

// ---- frames ----

void EditorView::ShowFrame(AnimFrame* frame) {
    CancelDrag();
    DeselectAll();
    if (frame) {
        currentFrame_ = frame;
        hot_ = {};
        host_.RedrawAll();
    }
}

std::vector<ObjectUid> EditorView::ChosenFrames() const {
    if (currentFrame_ == nullptr) return {};
    return ChosenOrCurrent(GetAnimation(), chosenFrames_, currentFrame_->Uid());
}


// ---- document changes ----

void EditorView::OnFrameRemoving(AnimFrame& frame) {
    if (&frame != currentFrame_) return;
    CancelDrag();
    hot_ = {};
    // The frame that followed takes its place, else the one before.
    Animation& animation = GetAnimation();
    AnimFrame* next = animation.NextFrame(&frame);
    if (!next && animation.IndexOf(&frame) > 0) next = animation.PreviousFrame(&frame);
    currentFrame_ = next;
    host_.RedrawAll();
}

void EditorView::OnItemsChanged(AnimFrame& frame, const Rect& area) {
    if (&frame != currentFrame_) {
        // A frame the onion skin shows changed under the current one.
        if (currentFrame_ != nullptr && onionSkin_.shown)
            host_.InvalidateRect(FrameToWindow(Intersect(area, currentFrame_->Canvas())));
        return;
    }
    // Items may have gone: the hot item is found again at the next move.
    hot_ = {};
    host_.InvalidateRect(FrameToWindow(area).Inflate(kHandleReach, kHandleReach));
}

void EditorView::OnAnimationChanged() {
    CancelDrag();
    hot_ = {};
    Animation& animation = GetAnimation();
    if (animation.IndexOf(currentFrame_) < 0) currentFrame_ = animation.FirstFrame();
    host_.RedrawAll();
}

// ---- editing ----

bool EditorView::Execute(std::unique_ptr<Command> command, const ProgressReport& progress) {
    const Pushed pushed = doc_.Execute(std::move(command), progress);
    TellRefusal(pushed.refusal());
    return pushed.recorded();
}

bool EditorView::Commit(Transaction& step) {
    const Status kept = step.Commit();
    TellRefusal(kept);
    return kept.ok();
}

void EditorView::TellRefusal(const Status& refused) {
    if (!refused) host_.ShowMessage(refused.message(), MessageStyle::Information);
}

void EditorView::SetForegroundColor(PixelValue color) {
    foreground_ = color;
    host_.ColorsChanged(foreground_, background_);
}

void EditorView::SetBackgroundColor(PixelValue color) {
    background_ = color;
    host_.ColorsChanged(foreground_, background_);
}

void EditorView::PickAt(Point frame, bool background) {
    if (!currentFrame_) return;
    const PixelValue color = currentFrame_->PickColor(frame);
    if (background)
        SetBackgroundColor(color);
    else
        SetForegroundColor(color);
}

// ---- painting and printing ----

void EditorView::Paint(PaintTarget& target) const {
    if (!currentFrame_) return;
    const std::vector<FaintPicture> onion = OnionSkinPictures(GetAnimation(), *currentFrame_, onionSkin_);
    PaintInView(*currentFrame_, target, mapping_, onion,
                ActiveTool().HidesHandles() ? HandleDrawing::Hidden : HandleDrawing::Shown);
}

void EditorView::SetOnionSkin(const OnionSkinSettings& settings) {
    const OnionSkinSettings chosen = WithinRanges(settings);
    if (chosen == onionSkin_) return;
    onionSkin_ = chosen;
    host_.RedrawAll();
}

void EditorView::BeginPrinting() { nextFrameToPrint_ = GetAnimation().FirstFrame(); }

PrintPageLayout EditorView::LayoutNextPage(int pageHeight, int titleWidth) {
    PrintPageLayout page = LayoutPrintPage(GetAnimation(), nextFrameToPrint_, pageHeight, titleWidth);
    nextFrameToPrint_ = page.next;
    return page;
}

// ---- selection and invalidation ----

void EditorView::InvalidateItem(const CanvasItem& item) {
    // Below 1:1 an item's edges fall inside device pixels it shares with its neighbours.
    const int partial = mapping_.zoom.IsWhole() ? 0 : 1;
    host_.InvalidateRect(DeviceToWindow(item.ZoomedBounds(mapping_.zoom).Inflate(partial, partial)));
}

void EditorView::InvalidateHandles(const CanvasItem& item) {
    for (const int n : HandlesOf(item)) host_.InvalidateRect(DeviceToWindow(item.HandleRect(n, mapping_.zoom)));
}

void EditorView::InvalidateSelectionHandles() {
    if (!currentFrame_) return;
    for (const CanvasItem* item : currentFrame_->BottomToTop())
        if (item->IsSelected()) InvalidateHandles(*item);
}

void EditorView::DeselectAll() {
    if (!currentFrame_) return;
    InvalidateSelectionHandles();
    currentFrame_->DeselectAll();
}

void EditorView::Select(CanvasItem& item, bool on) {
    InvalidateHandles(item);
    item.SetSelected(on);
}

// ---- commands ----

bool EditorView::UpdateCommand(CommandId id, CommandUi& ui) const { return routes_.Update(*this, id, ui); }

bool EditorView::ExecuteCommand(CommandId id) { return routes_.Execute(*this, id); }

}  // namespace vantrel
