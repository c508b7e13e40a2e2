#include "edit/ColorCommands.h"

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/BoxItem.h"
#include "document/CQVDoc.h"
#include "document/EllipseItem.h"
#include "document/LabelItem.h"

namespace vantrel {

namespace {

const char* LabelOf(ItemColorRole role) {
    switch (role) {
        case ItemColorRole::Text: return "Text Color";
        case ItemColorRole::Line: return "Line Color";
        case ItemColorRole::Fill: return "Fill Color";
        case ItemColorRole::Shape: return "Color";
    }
    return "Color";
}

// Sets the colour; false when the item has no colour in that role or the
// label refuses its new layout.
bool SetItemColor(CanvasItem& item, ItemColorRole role, PixelValue color) {
    switch (role) {
        case ItemColorRole::Text:
            return item.Kind() == ItemKind::Label && static_cast<LabelItem&>(item).SetTextColor(color);
        case ItemColorRole::Line:
            if (item.Kind() != ItemKind::Box) return false;
            static_cast<BoxItem&>(item).SetLineColor(color);
            return true;
        case ItemColorRole::Fill:
            if (item.Kind() != ItemKind::Box) return false;
            static_cast<BoxItem&>(item).SetFillColor(color);
            return true;
        case ItemColorRole::Shape:
            if (item.Kind() != ItemKind::Ellipse) return false;
            static_cast<EllipseItem&>(item).SetColor(color);
            return true;
    }
    return false;
}

}  // namespace

std::optional<ItemColorRole> ForegroundRoleOf(ItemKind kind) {
    switch (kind) {
        case ItemKind::Label: return ItemColorRole::Text;
        case ItemKind::Box: return ItemColorRole::Line;
        case ItemKind::Ellipse: return ItemColorRole::Shape;
        default: return std::nullopt;
    }
}

std::optional<ItemColorRole> BackgroundRoleOf(ItemKind kind) {
    if (kind == ItemKind::Box) return ItemColorRole::Fill;
    return std::nullopt;
}

std::optional<PixelValue> ItemColor(const CanvasItem& item, ItemColorRole role) {
    switch (role) {
        case ItemColorRole::Text:
            if (item.Kind() == ItemKind::Label) return static_cast<const LabelItem&>(item).TextColor();
            break;
        case ItemColorRole::Line:
            if (item.Kind() == ItemKind::Box) return static_cast<const BoxItem&>(item).Style().lineColor;
            break;
        case ItemColorRole::Fill:
            if (item.Kind() == ItemKind::Box) return static_cast<const BoxItem&>(item).Style().fillColor;
            break;
        case ItemColorRole::Shape:
            if (item.Kind() == ItemKind::Ellipse) return static_cast<const EllipseItem&>(item).Color();
            break;
    }
    return std::nullopt;
}

SetItemColorCommand::SetItemColorCommand(ObjectUid frame, ObjectUid item, ItemColorRole role, PixelValue color)
    : ItemEditCommand(LabelOf(role), frame, item), role_(role), color_(color) {}

bool SetItemColorCommand::Apply(CanvasItem& item) {
    const std::optional<PixelValue> current = ItemColor(item, role_);
    return current && *current != color_ && SetItemColor(item, role_, color_);
}

std::unique_ptr<Command> MakeItemColorCommand(ObjectUid frame, ObjectUid item, ItemColorRole role, PixelValue color) {
    return std::make_unique<SetItemColorCommand>(frame, item, role, color);
}

// ---- SetFrameBackgroundCommand ----

SetFrameBackgroundCommand::SetFrameBackgroundCommand(ObjectUid frame, PixelValue color)
    : Command("Background Color"), frame_(frame), color_(color) {}

void SetFrameBackgroundCommand::Apply(CQVDoc& doc, PixelValue color, ObjectUid backgroundFrame) {
    Animation& animation = doc.GetAnimation();
    AnimFrame* frame = animation.FindFrameByUid(frame_);
    if (!frame) return;
    frame->backgroundColor = color;
    // Rebuilds the composites that blend with what lies beneath and renders.
    frame->SetBackgroundFrame(backgroundFrame != 0 ? animation.FindFrameByUid(backgroundFrame) : nullptr);
    doc.FrameSettingsChanged(*frame);
    doc.ItemsChanged(*frame, frame->Canvas());
}

bool SetFrameBackgroundCommand::Execute(CQVDoc& doc) {
    if (!ran_) {
        const AnimFrame* frame = doc.GetAnimation().FindFrameByUid(frame_);
        if (!frame) return false;
        if (frame->backgroundColor == color_ && frame->BackgroundFrame() == nullptr) return false;
        oldColor_ = frame->backgroundColor;
        oldBackgroundFrame_ = frame->BackgroundFrame() ? frame->BackgroundFrame()->Uid() : 0;
        ran_ = true;
    }
    Apply(doc, color_, 0);
    return true;
}

void SetFrameBackgroundCommand::Undo(CQVDoc& doc) { Apply(doc, oldColor_, oldBackgroundFrame_); }

}  // namespace vantrel
