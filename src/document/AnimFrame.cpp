#include "document/AnimFrame.h"

namespace vantrel {

AnimFrame::AnimFrame(const Rect& canvas) : uid_(NewObjectUid()), canvas_(canvas) {
    image_.SetSize(canvas.Width(), canvas.Height());
}

AnimFrame::~AnimFrame() = default;

void AnimFrame::AttachCanvas(const Rect& canvas) {
    canvas_ = canvas;
    image_.SetSize(canvas.Width(), canvas.Height());
}

ItemBackdrop AnimFrame::Backdrop() const { return {BackgroundImage(), backgroundColor, canvas_}; }

void AnimFrame::SetBackgroundFrame(AnimFrame* frame) {
    if (frame == this) frame = nullptr;
    if (frame != nullptr) frame->Render();
    backgroundFrame_ = frame;
    UpdateAllComposites();
    Render();
}

void AnimFrame::Render() {
    if (!image_.HasBlock()) return;
    const PackedDib* background = BackgroundImage();
    if (CoveringItem(canvas_) != nullptr) {
        // An item covers the whole canvas: the background would be overwritten.
    } else if (background != nullptr && background->SizeImage() == image_.SizeImage()) {
        image_.CopyPixels(*background);
    } else {
        image_.FillRect(backgroundColor);
    }
    ComposeItemsInto(image_, canvas_.TopLeft());
}

}  // namespace vantrel
