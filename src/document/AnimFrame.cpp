#include "document/AnimFrame.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

std::optional<std::uint32_t> HundredthsFromSeconds(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) return std::nullopt;
    // Rounded by the exact product: the double nearest 0.075 lies just below
    // it, so it is 7 hundredths, although seconds * 100 rounds to 7.5 in
    // double precision. A long double holds the product of a double and 100
    // exactly (7 more bits).
    const double hundredths = double(std::round(static_cast<long double>(seconds) * 100.0L));
    return std::uint32_t(std::min(hundredths, double(kMaxFrameDuration)));
}

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
    const CanvasItem* covering = CoveringItem(canvas_);
    if (covering != nullptr && covering->Next() == nullptr && covering->Bounds() == canvas_) {
        // One item on top covers exactly the canvas: the frame shows its composite.
        image_.ShareFrom(covering->Composite());
        return;
    }
    if (covering != nullptr) {
        // An item covers the whole canvas: the background would be overwritten.
    } else if (background != nullptr && background->SizeImage() == image_.SizeImage()) {
        image_.CopyPixels(*background);
    } else {
        image_.FillRect(backgroundColor);
    }
    ComposeItemsInto(image_, canvas_.TopLeft());
}

PixelWrite AnimFrame::BeginPixelWrite(CanvasItem& item) {
    PixelWrite write;
    write.framePicture = item.HeldImage().SharesBlockWith(image_);
    if (write.framePicture) image_ = PackedDib();
    const PixelWrite own = ItemList::BeginPixelWrite(item);
    write.sharedOpaque = own.sharedOpaque;
    write.blend = own.blend;
    return write;
}

Rect AnimFrame::EndPixelWrite(CanvasItem& item, const Rect& area, const PixelWrite& before) {
    const Rect changed = ItemList::EndPixelWrite(item, area, before);
    // The item covered the canvas exactly: its composite has the picture's
    // size, and the next Render shows it again (or overwrites every pixel).
    if (before.framePicture) image_.ShareFrom(item.Composite());
    return changed;
}

}  // namespace vantrel
