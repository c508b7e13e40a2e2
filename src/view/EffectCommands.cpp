// Image > Effects: each effect on the selected bitmaps of the current frame,
// after its dialog, as one step. Labels, boxes and ellipses among them are
// offered a conversion to bitmaps first, in the same step.

#include "document/AnimFrame.h"
#include "document/CanvasItem.h"
#include "edit/EffectCommands.h"
#include "view/EditorView.h"
#include "view/ViewCommands.h"
#include "view/ViewDialogs.h"

namespace vantrel {

namespace {

using C = CommandId;

void AnySelected(const EditorView& v, CommandUi& ui) {
    ui.enabled = v.CurrentFrame() != nullptr && !v.CurrentFrame()->SelectedItems().empty();
}

template <EffectKind kind>
void Effect(EditorView& v) {
    AnimFrame& frame = *v.CurrentFrame();
    const std::vector<CanvasItem*> selected = frame.SelectedItems();
    std::vector<ObjectUid> uids;
    const CanvasItem* sample = nullptr;
    bool others = false;
    for (const CanvasItem* item : selected) {
        uids.push_back(item->Uid());
        if (item->Kind() == ItemKind::Bitmap) {
            if (sample == nullptr) sample = item;
        } else {
            others = true;
        }
    }
    bool convert = false;
    if (others) {
        const MessageAnswer answer = v.Host().ShowMessage(
            "Effects change bitmaps. Convert the selected labels, boxes and ellipses to bitmaps first?",
            MessageStyle::QuestionYesNo);
        convert = answer == MessageAnswer::Yes;
        if (!convert && sample == nullptr) return;
    }
    if (sample == nullptr) sample = selected.front();
    EffectSettings start;
    start.kind = kind;
    // A copy to preview on: the item keeps the form it holds its image in.
    const PackedDib picture = sample->HeldImage().Copy();
    const std::optional<EffectSettings> chosen = v.Host().Dialogs().Effect({start, &picture});
    if (!chosen) return;
    if (const Status done = ApplyEffectToItems(v.Document(), frame.Uid(), uids, *chosen, convert); !done)
        v.Host().ShowMessage(done.message(), MessageStyle::Error);
    v.Host().UpdateNow();
}

using K = EffectKind;

constexpr CommandRoute<EditorView> kRoutes[] = {
    {C::EffectGrayscale, AnySelected, Effect<K::Grayscale>},
    {C::EffectInvert, AnySelected, Effect<K::Invert>},
    {C::EffectBrightnessContrast, AnySelected, Effect<K::BrightnessContrast>},
    {C::EffectBlur, AnySelected, Effect<K::Blur>},
    {C::EffectSharpen, AnySelected, Effect<K::Sharpen>},
    {C::EffectDropShadow, AnySelected, Effect<K::DropShadow>},
    {C::EffectOutline, AnySelected, Effect<K::Outline>},
};

}  // namespace

ViewRoutes EffectRoutes() { return kRoutes; }

}  // namespace vantrel
