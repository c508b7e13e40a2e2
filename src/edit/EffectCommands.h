#pragma once
// Effects on the bitmap items of a frame: each picked bitmap is replaced by
// a bitmap holding its picture with the effect applied, all of them as one
// step of the history.

#include <vector>

#include "core/Status.h"
#include "document/CanvasItem.h"
#include "imaging/Effects.h"

namespace vantrel {

class CQVDoc;

// The bitmap item holding item's picture with the effect applied, placed so
// that the picture's pixels keep their place (a grown picture reaches out
// around them). A label, box or ellipse is taken as its picture (what
// "Convert to Bitmap" makes of it) when convert is set, else it gives null;
// so does an effect that makes nothing.
std::unique_ptr<CanvasItem> EffectOf(const CanvasItem& item, const EffectSettings& settings, bool convert = false);

// Applies the effect to the bitmap items among items of frame (and, with
// convert, to the pictures of the other items), as one step labelled with
// the effect's name. Refused (changing nothing) when none of them is taken
// or when the document could not hold the result.
Status ApplyEffectToItems(CQVDoc& doc, ObjectUid frame, const std::vector<ObjectUid>& items,
                          const EffectSettings& settings, bool convert = false);

}  // namespace vantrel
