#include "view/ContextMenu.h"

#include "document/AnimFrame.h"

namespace vantrel {

namespace {

using C = CommandId;

constexpr ContextEntry kFrame[] = {
    {C::InsertFrameBefore, "Insert New Frame"},
    {C::InsertFrameAfter},
    {C::InsertFrameAtEnd, nullptr, true},
    {C::FrameSetup},
    {C::SetBackgroundColor},
    {C::PreviewAnimation},
};
// "Combine" runs the Combine command (the popup's own id is served by none).
constexpr ContextEntry kMultiple[] = {{C::Combine},      {C::AlignCenter}, {C::MoveBy},  {C::BringToFront},
                                      {C::SendToBack},   {C::EditCut},     {C::EditCopy}};
constexpr ContextEntry kImage[] = {{C::ImageSize},  {C::AlignCenter}, {C::MoveBy},  {C::BringToFront},
                                   {C::SendToBack}, {C::EditCut},     {C::EditCopy}};
constexpr ContextEntry kBox[] = {{C::ImageSize},    {C::ConvertToBitmap}, {C::RectangleStyle},
                                 {C::AlignCenter},  {C::MoveBy},          {C::BringToFront},
                                 {C::SendToBack},   {C::EditCut},         {C::EditCopy}};
constexpr ContextEntry kLabel[] = {{C::ImageSize},    {C::ConvertToBitmap}, {C::EditText}, {C::ChangeFont},
                                   {C::AlignCenter},  {C::MoveBy},          {C::BringToFront},
                                   {C::SendToBack},   {C::EditCut},         {C::EditCopy}};
constexpr ContextEntry kEllipse[] = {{C::ImageSize},    {C::ConvertToBitmap}, {C::AlignCenter}, {C::MoveBy},
                                     {C::BringToFront}, {C::SendToBack},      {C::EditCut},     {C::EditCopy}};

struct PopupInfo {
    const char* title;
    std::span<const ContextEntry> entries;
};
const PopupInfo kPopups[] = {
    {"Frame", kFrame}, {"Multiple", kMultiple}, {"Image", kImage},
    {"Box", kBox},     {"Label", kLabel},       {"Ellipse", kEllipse},
};

}  // namespace

ContextPopup ChooseContextPopup(const AnimFrame* frame, const CanvasItem* hot) {
    if (!frame || !hot) return ContextPopup::Frame;
    const int selected = frame->CountSelected();
    if (selected > 1) return ContextPopup::Multiple;
    if (selected != 1) return ContextPopup::Frame;
    switch (frame->NthSelected(0)->Kind()) {
        case ItemKind::Bitmap: return ContextPopup::Image;
        case ItemKind::Box: return ContextPopup::Box;
        case ItemKind::Label: return ContextPopup::Label;
        case ItemKind::Ellipse: return ContextPopup::Ellipse;
        default: return ContextPopup::Frame;
    }
}

const char* ContextPopupTitle(ContextPopup popup) { return kPopups[static_cast<int>(popup)].title; }

std::span<const ContextEntry> ContextPopupEntries(ContextPopup popup) {
    return kPopups[static_cast<int>(popup)].entries;
}

}  // namespace vantrel
