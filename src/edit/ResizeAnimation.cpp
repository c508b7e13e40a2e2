#include "edit/ResizeAnimation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/BitmapItem.h"
#include "document/BoxItem.h"
#include "document/CQVDoc.h"
#include "document/DocumentMemory.h"
#include "document/LabelItem.h"
#include "document/WorkArea.h"
#include "edit/ItemCommands.h"

namespace vantrel {

namespace {

std::string ItemTooLargeMessage(int width, int height) {
    char message[160];
    std::snprintf(message, sizeof message, "An item would be %d x %d pixels, more than the work area of %d x %d.",
                  width, height, kWorkAreaSize, kWorkAreaSize);
    return message;
}

int AtLeastOne(double value) { return std::max(1, static_cast<int>(std::lround(value))); }

AnimationSize SizeOf(const Animation& animation) { return {animation.Width(), animation.Height()}; }

// The scaling from the animation's canvas to one of size.
CanvasScaling ScalingTo(const Animation& animation, AnimationSize size) {
    return {animation.Canvas(), CanvasRectFor(size.width, size.height)};
}

// A label at the scaled font height and spacing, its top-left corner on the
// scaled place.
void ScaleLabel(LabelItem& label, const CanvasScaling& scaling) {
    const double factor = scaling.Vertical();
    const Rect target = scaling.Map(label.Bounds());
    LabelParams params = label.Params();
    const auto height = static_cast<std::int32_t>(std::lround(params.font.height * factor));
    // A height of 0 would select the default size instead of a small one.
    params.font.height = height != 0 ? height : (params.font.height < 0 ? -1 : 1);
    params.charSpacing *= factor;
    label.SetParams(params);
    // The anchor is the start of the baseline: the new ascent below the new top.
    label.MoveTo(target.left, target.top + label.Ascent());
}

// A box at its scaled bounds with its line and space widths scaled (a box
// without lines keeps none; a width never drops below one pixel).
void ScaleBox(BoxItem& box, const CanvasScaling& scaling) {
    const double factor = scaling.Vertical();
    BoxStyle style = box.Style();
    if (style.lineWidth > 0) style.lineWidth = AtLeastOne(style.lineWidth * factor);
    style.spaceWidth = AtLeastOne(style.spaceWidth * factor);
    box.SetBounds(scaling.Map(box.Bounds()));
    box.SetStyle(style);
}

void ScaleItem(CanvasItem& item, const CanvasScaling& scaling, ResampleMode resampling) {
    switch (item.Kind()) {
        case ItemKind::Box: ScaleBox(static_cast<BoxItem&>(item), scaling); break;
        case ItemKind::Label: ScaleLabel(static_cast<LabelItem&>(item), scaling); break;
        case ItemKind::Bitmap: static_cast<BitmapItem&>(item).ScaleTo(scaling.Map(item.Bounds()), resampling); break;
        default: item.SetBounds(scaling.Map(item.Bounds())); break;
    }
}

}  // namespace

AnimationSize ScaledCanvas(AnimationSize canvas, int percent) {
    return {AtLeastOne(canvas.width * (percent / 100.0)), AtLeastOne(canvas.height * (percent / 100.0))};
}

AnimationSize CanvasAtWidth(AnimationSize canvas, int width) {
    if (canvas.width <= 0) return {std::max(1, width), std::max(1, canvas.height)};
    return {std::max(1, width), AtLeastOne(double(canvas.height) * width / canvas.width)};
}

Rect CanvasScaling::Map(const Rect& r) const {
    const double sx = double(to.Width()) / from.Width();
    const double sy = Vertical();
    const auto edge = [](int oldEdge, int oldOrigin, int newOrigin, double factor) {
        return newOrigin + static_cast<int>(std::lround((oldEdge - oldOrigin) * factor));
    };
    Rect mapped{edge(r.left, from.left, to.left, sx), edge(r.top, from.top, to.top, sy),
                edge(r.right, from.left, to.left, sx), edge(r.bottom, from.top, to.top, sy)};
    mapped.right = std::max(mapped.right, mapped.left + 1);
    mapped.bottom = std::max(mapped.bottom, mapped.top + 1);
    return mapped;
}

ResizeAnimationCommand::ResizeAnimationCommand(std::string label, AnimationSize size, ResampleMode resampling)
    : Command(std::move(label)), size_(size), resampling_(resampling) {}

Status ResizeAnimationCommand::Fits(const CQVDoc& doc) const {
    const DocumentLimits& limits = doc.limits;
    if (size_.width < 1 || size_.height < 1 || size_.width > limits.canvasSide || size_.height > limits.canvasSide)
        return Status::Error(CanvasTooLargeMessage(size_.width, size_.height, limits.canvasSide));
    const Animation& animation = doc.GetAnimation();
    const CanvasScaling scaling = ScalingTo(animation, size_);
    DocumentMemory memory = MemoryOf(animation);
    memory.canvasWidth = std::uint64_t(size_.width);
    memory.canvasHeight = std::uint64_t(size_.height);
    memory.itemBytes = 0;
    for (const auto& frame : animation.Frames()) {
        for (const CanvasItem* item : frame->BottomToTop()) {
            // Labels size themselves from their font: their scaled bounds are an estimate.
            const Rect scaled = scaling.Map(item->Bounds());
            if (scaled.Width() > kWorkAreaSize || scaled.Height() > kWorkAreaSize)
                return Status::Error(ItemTooLargeMessage(scaled.Width(), scaled.Height()));
            memory.itemBytes += ItemMemoryBytes(std::uint64_t(scaled.Width()), std::uint64_t(scaled.Height()));
        }
    }
    return CheckDocumentMemory(memory, limits.memoryBudget);
}

bool ResizeAnimationCommand::Execute(CQVDoc& doc) {
    if (ran_) {
        Swap(doc);
        return true;
    }
    ran_ = true;
    Animation& animation = doc.GetAnimation();
    other_ = SizeOf(animation);
    if (size_ == other_ || !Fits(doc)) return false;
    const CanvasScaling scaling = ScalingTo(animation, size_);
    for (const auto& frame : animation.Frames()) {
        for (CanvasItem* item : frame->BottomToTop()) {
            held_.push_back({frame->Uid(), item->Clone()});
            ScaleItem(*item, scaling, resampling_);
        }
    }
    animation.SetSize(size_.width, size_.height);  // renders every frame
    std::swap(size_, other_);
    doc.AnimationChanged();
    return true;
}

void ResizeAnimationCommand::Undo(CQVDoc& doc) { Swap(doc); }

void ResizeAnimationCommand::Swap(CQVDoc& doc) {
    Animation& animation = doc.GetAnimation();
    for (Held& held : held_) {
        AnimFrame* frame = animation.FindFrameByUid(held.frame);
        CanvasItem* live = frame != nullptr ? frame->FindItemByUid(held.item->Uid()) : nullptr;
        if (live != nullptr) held.item = frame->ReplaceItem(live, std::move(held.item));
    }
    animation.SetSize(size_.width, size_.height);
    std::swap(size_, other_);
    doc.AnimationChanged();
}

std::size_t ResizeAnimationCommand::MemoryBytes() const {
    std::size_t bytes = 0;
    for (const Held& held : held_) bytes += ItemBytes(*held.item);
    return bytes;
}

}  // namespace vantrel
