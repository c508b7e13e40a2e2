#pragma once
// What a document tells those who show it (editor views, panels) when it
// changes. The commands of the history report every change through the
// document; observers repaint or rebuild what the change touched instead of
// polling flags.

#include "core/Geometry.h"

namespace vantrel {

class AnimFrame;

class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;

    // A frame joined the frame list (at its index now).
    virtual void OnFrameInserted(AnimFrame& /*frame*/) {}
    // A frame is about to leave the frame list; it is still in it.
    virtual void OnFrameRemoving(AnimFrame& /*frame*/) {}
    // A frame moved to another place of the list.
    virtual void OnFrameMoved(AnimFrame& /*frame*/) {}
    // The picture of frame changed inside area (work-area pixels): its items
    // or what lies beneath them (its background frame).
    virtual void OnItemsChanged(AnimFrame& /*frame*/, const Rect& /*area*/) {}
    // A setting of frame changed: duration, master flag, background colour
    // or frame (its picture is re-rendered and reported separately).
    virtual void OnFrameSettingsChanged(AnimFrame& /*frame*/) {}
    // The canvas size or a setting of the whole animation changed.
    virtual void OnAnimationChanged() {}
    // The undo history changed: new labels, possibly a new modified state.
    virtual void OnHistoryChanged() {}
    // The document went from unmodified to modified or back.
    virtual void OnModifiedChanged(bool /*modified*/) {}
};

}  // namespace vantrel
