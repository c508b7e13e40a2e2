#include "view/EditorView.h"

#include <algorithm>
#include <span>
#include <utility>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "document/CanvasItem.h"
#include "document/LabelItem.h"
#include "view/FramePainter.h"

namespace vantrel {

namespace {

constexpr int kLastWorkAreaPixel = kWorkAreaSize - 1;

// Handle codes an item shows: labels have only their top, top-right and right handles.
std::span<const int> HandlesOf(const CanvasItem& item) {
    static constexpr int kAll[] = {1, 2, 3, 4, 5, 6, 7, 8};
    if (item.Kind() == ItemKind::Label) return kLabelHandles;
    return kAll;
}

// The scroll position on one axis that puts centre (device pixels) in the
// middle of the client, within the range; 0 when everything fits.
int CentredScroll(int centreDevice, int client, int total) {
    if (total <= client) return 0;
    return std::clamp(centreDevice - client / 2, 0, total - client);
}

}  // namespace

EditorView::EditorView(CQVDoc& doc, ViewHost& host)
    : doc_(doc), host_(host), currentFrame_(doc.GetAnimation().FirstFrame()) {}

Animation& EditorView::GetAnimation() const { return doc_.GetAnimation(); }

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
    const int total = kWorkAreaSize * mapping_.zoom;
    scroll_.total = {total, total};
    scroll_.page = {total / 10, total / 10};
    scroll_.line = {total / 100, total / 100};
    host_.SetScrollGeometry(scroll_);
    mapping_.centreX = kWorkAreaSize / 2;
    mapping_.centreY = kWorkAreaSize / 2;
    CentreOnCentrePoint();
}

// ---- geometry ----

void EditorView::SetZoom(int zoom) {
    mapping_.zoom = std::max(1, zoom);
    const Size client = host_.ClientSize();
    const int total = kWorkAreaSize * mapping_.zoom;
    scroll_.total = {total, total};
    scroll_.page = {client.width * 4 / 5, client.height * 4 / 5};
    scroll_.line = {scroll_.page.width / 10, scroll_.page.height / 10};
    host_.SetScrollGeometry(scroll_);
    CentreOnCentrePoint();
}

void EditorView::CentreOnCentrePoint() {
    const Size client = host_.ClientSize();
    ScrollTo({CentredScroll(mapping_.centreX * mapping_.zoom, client.width, scroll_.total.width),
              CentredScroll(mapping_.centreY * mapping_.zoom, client.height, scroll_.total.height)});
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
    mapping_.centreX = (box.left + box.right) / 2;
    mapping_.centreY = (box.top + box.bottom) / 2;
    SetZoom(std::clamp(zoom, 1, kZoomToRectLimit));
}

void EditorView::OnSize() { CentreOnCentrePoint(); }

void EditorView::OnScroll(Point position) {
    const Size client = host_.ClientSize();
    mapping_.scrollX = std::clamp(position.x, 0, std::max(0, scroll_.total.width - client.width));
    mapping_.scrollY = std::clamp(position.y, 0, std::max(0, scroll_.total.height - client.height));
    // The point now in the middle of the window is the one the next zoom or
    // resize keeps there.
    mapping_.centreX = std::clamp((mapping_.scrollX + client.width / 2) / mapping_.zoom, 0, kLastWorkAreaPixel);
    mapping_.centreY = std::clamp((mapping_.scrollY + client.height / 2) / mapping_.zoom, 0, kLastWorkAreaPixel);
}

// ---- coordinates ----

Point EditorView::WindowToFrame(Point window, bool clamp) const {
    Point frame{(window.x + mapping_.scrollX) / mapping_.zoom, (window.y + mapping_.scrollY) / mapping_.zoom};
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

bool EditorView::ToolAvailable(CommandId tool) {
    return tool == CommandId::ToolSelect || tool == CommandId::ToolZoom;
}

void EditorView::SetCursorForTool(Modifiers modifiers) {
    switch (currentTool_) {
        case CommandId::ToolZoom:
            if (modifiers.shift)
                host_.SetCursor(CursorRole::ZoomShift);
            else if (modifiers.ctrl)
                host_.SetCursor(mapping_.zoom < 2 ? CursorRole::ZoomRefused : CursorRole::ZoomOut);
            else
                host_.SetCursor(mapping_.zoom > kZoomInLimit ? CursorRole::ZoomRefused : CursorRole::ZoomIn);
            return;
        case CommandId::ToolSelect:
        default:
            host_.SetCursor(hot_.handle != kNoHandle ? CursorRole::Handle : CursorRole::Select);
            return;
    }
}

void EditorView::OnPointerMove(Point window, Modifiers modifiers) {
    if (dragMode_ == DragMode::None) {
        pointer_ = MapPointer(window, false);
        hot_ = HitTestAt(pointer_);
        pointer_.handle = hot_.handle;
        SetCursorForTool(modifiers);
        return;
    }
    pointer_ = MapPointer(window, true);
    currentPoint_ = {pointer_.frameX, pointer_.frameY};
    if (currentTool_ == CommandId::ToolZoom) {
        host_.SetCursor(ZoomCursorFor(dragMode_));
        if (dragMode_ == DragMode::ZoomIn) {
            DrawWorkingBand();
            workingRect_.right = currentPoint_.x;
            workingRect_.bottom = currentPoint_.y;
            DrawWorkingBand();
        }
    }
}

void EditorView::OnPrimaryDown(Point window, Modifiers modifiers) {
    dragMode_ = DragMode::None;
    pressPoint_ = lastPoint_ = currentPoint_ = WindowToFrame(window, false);
    host_.SetPointerCapture(true);
    if (currentTool_ == CommandId::ToolZoom) ZoomToolPress(modifiers);
}

void EditorView::OnPrimaryUp(Point window) {
    host_.SetPointerCapture(false);
    if (dragMode_ == DragMode::None) return;
    currentPoint_ = WindowToFrame(window, false);
    if (currentTool_ == CommandId::ToolZoom) ZoomToolRelease();
    dragMode_ = DragMode::None;
    OnPointerMove(window, {});
}

void EditorView::OnSecondaryDown(Point window, Modifiers /*modifiers*/) {
    pressPoint_ = lastPoint_ = currentPoint_ = WindowToFrame(window, false);
    if (currentTool_ == CommandId::ToolZoom) OnZoomOneToOne();
}

CursorRole EditorView::ZoomCursorFor(DragMode mode) const {
    switch (mode) {
        case DragMode::ZoomIn: return CursorRole::ZoomIn;
        case DragMode::ZoomOut: return CursorRole::ZoomOut;
        case DragMode::ZoomReset: return CursorRole::ZoomShift;
        default: return CursorRole::ZoomRefused;
    }
}

void EditorView::ZoomToolPress(Modifiers modifiers) {
    const int zoom = mapping_.zoom;
    if (modifiers.shift)
        dragMode_ = zoom >= 2 ? DragMode::ZoomReset : DragMode::ZoomRefused;
    else if (modifiers.ctrl)
        dragMode_ = zoom >= 2 ? DragMode::ZoomOut : DragMode::ZoomRefused;
    else
        dragMode_ = zoom > kZoomInLimit ? DragMode::ZoomRefused : DragMode::ZoomIn;
    host_.SetCursor(ZoomCursorFor(dragMode_));
    if (dragMode_ == DragMode::ZoomIn) {
        workingRect_ = {pressPoint_.x, pressPoint_.y, pressPoint_.x, pressPoint_.y};
        DrawWorkingBand();
    }
}

void EditorView::ZoomToolRelease() {
    switch (dragMode_) {
        case DragMode::ZoomIn: {
            DrawWorkingBand();
            mapping_.centreX = currentPoint_.x;
            mapping_.centreY = currentPoint_.y;
            // A drag that is too small, or runs up or to the left, is a click.
            const Rect band = workingRect_;
            if (band.right - band.left < kZoomDragMinimum || band.bottom - band.top < kZoomDragMinimum)
                SetZoom(mapping_.zoom * 2);
            else
                ZoomToRect(band);
            break;
        }
        case DragMode::ZoomOut:
            mapping_.centreX = currentPoint_.x;
            mapping_.centreY = currentPoint_.y;
            SetZoom(mapping_.zoom / 2);
            break;
        case DragMode::ZoomReset:
            OnZoomOneToOne();
            return;
        default:
            return;
    }
    host_.RedrawAll();
}

void EditorView::DrawWorkingBand() {
    host_.DrawRubberBand(FrameToWindow(Normalized(workingRect_)), RubberBandShape::Rectangle);
}

// ---- frames ----

void EditorView::ShowFrame(AnimFrame* frame) {
    GetAnimation().RenderAll();
    DeselectAll();
    if (frame) {
        currentFrame_ = frame;
        hot_ = {};
        host_.RedrawAll();
    }
    currentFrameChanged_ = true;
}

bool EditorView::TakeFrameListChanged() { return std::exchange(frameListChanged_, false); }
bool EditorView::TakeCurrentFrameChanged() { return std::exchange(currentFrameChanged_, false); }

// ---- painting and printing ----

void EditorView::Paint(PaintTarget& target) const {
    if (currentFrame_) PaintInView(*currentFrame_, target, mapping_);
}

void EditorView::BeginPrinting() {
    GetAnimation().RenderAll();
    nextFrameToPrint_ = GetAnimation().FirstFrame();
}

PrintPageLayout EditorView::LayoutNextPage(int pageHeight, int titleWidth) {
    PrintPageLayout page = LayoutPrintPage(GetAnimation(), nextFrameToPrint_, pageHeight, titleWidth);
    nextFrameToPrint_ = page.next;
    return page;
}

// ---- invalidation ----

void EditorView::InvalidateItem(const CanvasItem& item) {
    host_.InvalidateRect(DeviceToWindow(item.ZoomedBounds(mapping_.zoom)));
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

void EditorView::MarkModified() { doc_.SetModifiedFlag(true); }

// ---- commands ----

bool EditorView::UpdateCommand(CommandId id, CommandUi& ui) const {
    switch (id) {
        case CommandId::ZoomIn: UpdateZoomIn(ui); return true;
        case CommandId::ZoomOut: UpdateZoomOut(ui); return true;
        case CommandId::ZoomOneToOne: UpdateZoomOneToOne(ui); return true;
        case CommandId::FirstFrame: UpdateFirstFrame(ui); return true;
        case CommandId::PreviousFrame: UpdatePreviousFrame(ui); return true;
        case CommandId::NextFrame: UpdateNextFrame(ui); return true;
        case CommandId::LastFrame: UpdateLastFrame(ui); return true;
        case CommandId::FileSave: UpdateSaveDocument(ui); return true;
        case CommandId::ToolSelect:
        case CommandId::ToolZoom:
        case CommandId::ToolDrawBitmap:
        case CommandId::ToolCrop:
        case CommandId::ToolRectangle:
        case CommandId::ToolEllipse:
        case CommandId::ToolPen:
        case CommandId::ToolText:
        case CommandId::ToolPick:
        case CommandId::ToolFill: UpdateTool(id, ui); return true;
        default: return false;
    }
}

bool EditorView::ExecuteCommand(CommandId id) {
    CommandUi ui;
    if (!UpdateCommand(id, ui) || !ui.enabled) return false;
    switch (id) {
        case CommandId::ZoomIn: OnZoomIn(); return true;
        case CommandId::ZoomOut: OnZoomOut(); return true;
        case CommandId::ZoomOneToOne: OnZoomOneToOne(); return true;
        case CommandId::FirstFrame: OnFirstFrame(); return true;
        case CommandId::PreviousFrame: OnPreviousFrame(); return true;
        case CommandId::NextFrame: OnNextFrame(); return true;
        case CommandId::LastFrame: OnLastFrame(); return true;
        case CommandId::ToolSelect:
        case CommandId::ToolZoom: OnTool(id); return true;
        default: return false;  // served by the document or the window
    }
}

void EditorView::UpdateZoomIn(CommandUi& ui) const { ui.enabled = mapping_.zoom <= kZoomInLimit; }
void EditorView::UpdateZoomOut(CommandUi& ui) const { ui.enabled = mapping_.zoom > 1; }
void EditorView::UpdateZoomOneToOne(CommandUi& ui) const { ui.enabled = mapping_.zoom != 1; }

void EditorView::UpdateFirstFrame(CommandUi& ui) const {
    ui.enabled = currentFrame_ && currentFrame_ != GetAnimation().FirstFrame();
}
void EditorView::UpdatePreviousFrame(CommandUi& ui) const { UpdateFirstFrame(ui); }
void EditorView::UpdateNextFrame(CommandUi& ui) const {
    ui.enabled = currentFrame_ && GetAnimation().NextFrame(currentFrame_) != nullptr;
}
void EditorView::UpdateLastFrame(CommandUi& ui) const { UpdateNextFrame(ui); }

void EditorView::UpdateTool(CommandId tool, CommandUi& ui) const {
    ui.enabled = ToolAvailable(tool);
    ui.checked = currentTool_ == tool;
}

void EditorView::UpdateSaveDocument(CommandUi& ui) const { ui.enabled = true; }

void EditorView::OnZoomIn() {
    SetZoom(mapping_.zoom * 2);
    host_.RedrawAll();
}

void EditorView::OnZoomOut() {
    SetZoom(mapping_.zoom / 2);
    host_.RedrawAll();
}

void EditorView::OnZoomOneToOne() {
    if (currentFrame_) {
        const Rect& canvas = currentFrame_->Canvas();
        mapping_.centreX = (canvas.left + canvas.right) / 2;
        mapping_.centreY = (canvas.top + canvas.bottom) / 2;
    }
    SetZoom(1);
    host_.RedrawAll();
}

void EditorView::OnFirstFrame() { ShowFrame(GetAnimation().FirstFrame()); }

void EditorView::OnPreviousFrame() { ShowFrame(GetAnimation().PreviousFrame(currentFrame_)); }

void EditorView::OnNextFrame() {
    currentFrame_->Render();
    ShowFrame(GetAnimation().NextFrame(currentFrame_));
}

void EditorView::OnLastFrame() { ShowFrame(GetAnimation().LastFrame()); }

void EditorView::OnTool(CommandId tool) { currentTool_ = tool; }

}  // namespace vantrel
