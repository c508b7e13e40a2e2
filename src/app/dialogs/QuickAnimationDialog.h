#pragma once
// "Quick Animation": image files that become the frames of a new animation,
// in the order of their file names, and the duration each frame gets.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

class QWidget;

namespace vantrel {

struct QuickAnimationChoice {
    std::vector<std::filesystem::path> files;  // full paths, sorted by file name
    double seconds = 1;                        // duration of every frame, 0.01 to 650
};

// Files may come from several folders over several "Select Images"; each
// keeps its full path. Nothing on Cancel.
std::optional<QuickAnimationChoice> AskQuickAnimation(QWidget* parent);

}  // namespace vantrel
