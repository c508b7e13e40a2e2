#pragma once
// The context menu of the Select tool: which of its six popups the
// secondary button opens, and what each popup holds. The windowing layer
// builds the menu from these entries and the shared command actions.

#include <span>

#include "view/CommandIds.h"

namespace vantrel {

class AnimFrame;
class CanvasItem;

enum class ContextPopup { Frame = 0, Multiple = 1, Image = 2, Box = 3, Label = 4, Ellipse = 5 };

// One entry of a popup: a command, or (with a title) a submenu holding the
// entries that follow it up to the next entry with submenuEnd set.
struct ContextEntry {
    CommandId id;
    const char* submenu = nullptr;  // opens a submenu of this title
    bool submenuEnd = false;        // the last entry of the open submenu
};

// With no hot item, "Frame"; with a hot item, "Multiple" when more than one
// item is selected, else the popup of the selected item's kind ("Frame" for
// none or an unknown kind).
ContextPopup ChooseContextPopup(const AnimFrame* frame, const CanvasItem* hot);

const char* ContextPopupTitle(ContextPopup popup);
std::span<const ContextEntry> ContextPopupEntries(ContextPopup popup);

}  // namespace vantrel
