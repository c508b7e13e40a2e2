#include "document/QuickAnimation.h"

#include "document/Importers.h"

namespace vantrel {

Status MakeQuickAnimation(CQVDoc& doc, std::span<const std::filesystem::path> paths, double seconds) {
    if (paths.empty()) return Status::Error("Choose at least one image.");
    if (!(seconds >= kMinQuickSeconds && seconds <= kMaxQuickSeconds))
        return Status::Error("Please enter a number between 0.01 and 650.");
    Animation& animation = doc.GetAnimation();
    AnimFrame* first = animation.FirstFrame();
    first->duration = HundredthsFromSeconds(seconds).value_or(kDefaultFrameDuration);  // in range: checked above
    const Status imported = ImportFiles(doc, paths, first);
    animation.AutoFrameSize(nullptr);
    return imported;
}

}  // namespace vantrel
