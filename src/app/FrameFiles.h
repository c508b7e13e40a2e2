#pragma once
// The editor's "Save Animation", "Save Animation As" and "Export Frame As":
// the file dialogs, the options dialogs, the wait cursor while writing and
// the message when writing fails.

class QWidget;

namespace vantrel {

class AnimFrame;
class Animation;

// True when the file was written. Without saveAs, an animation that has
// its GIF file already is written there without asking.
bool SaveAnimationFromEditor(QWidget* parent, Animation& animation, bool saveAs);
// True when the frame was written.
bool ExportFrameFromEditor(QWidget* parent, const Animation& animation, AnimFrame& frame);

}  // namespace vantrel
