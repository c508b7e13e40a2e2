#include "document/QuickAnimation.h"

#include <algorithm>
#include <cmath>

#include "document/Importers.h"
#include "document/WorkArea.h"

namespace vantrel {

Status MakeQuickAnimation(CQVDoc& doc, std::span<const std::filesystem::path> paths, double seconds) {
    if (paths.empty()) return Status::Error("Choose at least one image.");
    if (!(seconds >= kMinQuickSeconds && seconds <= kMaxQuickSeconds))
        return Status::Error("Please enter a number between 0.01 and 650.");
    Animation& animation = doc.GetAnimation();
    AnimFrame* first = animation.FirstFrame();
    first->duration = HundredthsFromSeconds(seconds).value_or(kDefaultFrameDuration);  // in range: checked above
    const Status imported = ImportFiles(doc, paths, first);
    if (!imported) return imported;
    // The canvas grows around the items: every frame's image grows with it.
    const Rect area = animation.ItemBoundsOfAll();
    if (!area.IsEmpty()) {
        DocumentMemory memory = MemoryOf(animation);
        memory.canvasWidth = std::uint64_t(std::min(area.Width(), kWorkAreaSize));
        memory.canvasHeight = std::uint64_t(std::min(area.Height(), kWorkAreaSize));
        if (Status fits = CheckDocumentMemory(memory, doc.limits.memoryBudget); !fits) return fits;
    }
    animation.AutoFrameSize(nullptr);
    return Status::Ok();
}

}  // namespace vantrel
