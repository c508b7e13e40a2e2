#pragma once
// Label text and font edits shared by the Draw Text tool and the label
// commands.

#include <memory>

#include "document/LabelItem.h"
#include "view/ViewDialogs.h"

namespace vantrel {

class EditorView;

// Label parameters after a "Text Edit" or "Select Font" result.
LabelParams WithTextEdit(LabelParams params, const TextEditValues& values);

// Changes the label of the current frame with this identity to params and
// makes params.font the document's default font, as one step named label.
bool ApplyLabelParams(EditorView& view, ObjectUid label, const LabelParams& params, const char* name);

}  // namespace vantrel
