#include "edit/EffectCommands.h"

#include <algorithm>
#include <string>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/BitmapItem.h"
#include "document/CQVDoc.h"
#include "document/DocumentMemory.h"
#include "document/UndoHistory.h"
#include "edit/ItemCommands.h"

namespace vantrel {

std::unique_ptr<CanvasItem> EffectOf(const CanvasItem& item, const EffectSettings& settings, bool convert) {
    std::unique_ptr<BitmapItem> converted;
    if (item.Kind() != ItemKind::Bitmap) {
        if (!convert) return nullptr;
        converted = BitmapItem::PictureOf(item);
    }
    const CanvasItem& source = converted ? *converted : item;
    std::optional<EffectResult> result = ApplyEffect(source.HeldImage().Copy(), settings);
    if (!result) return nullptr;
    const bool blend = source.BlendWithBeneath() || !result->picture.IsOpaque();
    std::unique_ptr<BitmapItem> made = BitmapItem::FromImage(std::move(result->picture), blend);
    made->MoveTo(item.Bounds().left + result->shift.x, item.Bounds().top + result->shift.y);
    made->SetSelected(item.IsSelected());
    return made;
}

Status ApplyEffectToItems(CQVDoc& doc, ObjectUid frameUid, const std::vector<ObjectUid>& items,
                          const EffectSettings& settings, bool convert) {
    const AnimFrame* frame = doc.GetAnimation().FindFrameByUid(frameUid);
    if (frame == nullptr) return Status::Error("There is no such frame.");
    // Every result is made first, so that the size check sees them all.
    std::vector<std::pair<ObjectUid, std::unique_ptr<CanvasItem>>> made;
    DocumentMemory memory = MemoryOf(doc.GetAnimation());
    for (const ObjectUid uid : items) {
        const CanvasItem* item = frame->FindItemByUid(uid);
        if (item == nullptr) continue;
        std::unique_ptr<CanvasItem> replacement = EffectOf(*item, settings, convert);
        if (!replacement) continue;
        // The replacement takes the place of the item in the document.
        const std::uint64_t old =
            ItemMemoryBytes(std::uint64_t(item->Bounds().Width()), std::uint64_t(item->Bounds().Height()));
        memory.itemBytes -= std::min(memory.itemBytes, old);
        memory.itemBytes += ItemMemoryBytes(std::uint64_t(replacement->Bounds().Width()),
                                            std::uint64_t(replacement->Bounds().Height()));
        made.emplace_back(uid, std::move(replacement));
    }
    if (made.empty()) return Status::Error("Select one or more bitmaps first.");
    if (Status fits = CheckDocumentMemory(memory, doc.limits.memoryBudget); !fits) return fits;
    const std::string label(EffectTitle(settings.kind));
    Transaction transaction(doc.History(), label);
    for (auto& [uid, replacement] : made)
        transaction.Add(std::make_unique<ReplaceItemCommand>(label, frameUid, uid, std::move(replacement)));
    transaction.Commit();
    return Status::Ok();
}

}  // namespace vantrel
