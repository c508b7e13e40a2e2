#pragma once
// AnimFrame: one frame of the animation. It is an item list with a duration,
// a background colour, an optional earlier frame lying beneath its items, a
// master flag, and its rendered canvas-sized image.

#include <cstdint>
#include <optional>

#include "core/Geometry.h"
#include "core/PackedDib.h"
#include "core/Pixel.h"
#include "document/CanvasItem.h"
#include "document/ItemList.h"

namespace vantrel {

class Animation;

// Display time of a new frame, in hundredths of a second.
inline constexpr std::uint32_t kDefaultFrameDuration = 100;
// Longest frame duration, in hundredths of a second: what a GIF's delay field holds.
inline constexpr std::uint32_t kMaxFrameDuration = 65535;

// A duration entered in seconds as hundredths, rounded to the nearest
// hundredth and limited to kMaxFrameDuration. None for a value that is
// negative or not a finite number.
std::optional<std::uint32_t> HundredthsFromSeconds(double seconds);

class AnimFrame : public ItemList {
public:
    // A frame of the canvas the animation keeps; its image is canvas-sized
    // (not yet rendered).
    explicit AnimFrame(const Rect& canvas);
    ~AnimFrame() override;

    ObjectUid Uid() const { return uid_; }

    // ---- settings ----
    // Master frame: edited like any frame, never written into the animation.
    bool isMaster = false;
    // Identifier the frame had in the document file it was read from; used only while reading.
    std::uint32_t savedId = 0;
    // Fills the frame where no background frame lies beneath it.
    PixelValue backgroundColor = kOpaqueWhite;
    // Hundredths of a second.
    std::uint32_t duration = kDefaultFrameDuration;

    // ---- background frame ----
    // The earlier frame whose rendered image lies beneath this frame's items, or null.
    AnimFrame* BackgroundFrame() const { return backgroundFrame_; }
    // The background frame's image, or null.
    const PackedDib* BackgroundImage() const { return backgroundFrame_ ? &backgroundFrame_->image_ : nullptr; }
    // With a frame, renders it first and puts it beneath this frame; with
    // null, drops the background frame. Then rebuilds every composite and
    // renders this frame. A frame is never its own background (ignored).
    void SetBackgroundFrame(AnimFrame* frame);
    // Sets the background frame and nothing else: no composite is rebuilt and
    // nothing is rendered. For loaders that link a frame before building its
    // items and render it once when it is complete.
    void LinkBackgroundFrame(AnimFrame* frame) { backgroundFrame_ = frame == this ? nullptr : frame; }

    // ---- rendering ----
    // The rendered frame, canvas-sized.
    const PackedDib& Image() const { return image_; }
    PackedDib& Image() { return image_; }
    const Rect& Canvas() const { return canvas_; }
    // Background image or colour, then the item composites bottom to top,
    // clipped to the canvas. Composites must be up to date.
    void Render();
    ItemBackdrop Backdrop() const override;
    // The frame's picture, when it shows the item's block, lets go of it too.
    PixelWrite BeginPixelWrite(CanvasItem& item) override;
    Rect EndPixelWrite(CanvasItem& item, const Rect& area, const PixelWrite& before) override;

private:
    friend class Animation;
    // Takes the animation's new canvas and sizes its image to it.
    void AttachCanvas(const Rect& canvas);
    // Drops the background link without re-rendering (the frame it names is going away).
    void ForgetBackgroundFrame() { backgroundFrame_ = nullptr; }

    ObjectUid uid_;
    Rect canvas_;  // the animation's canvas, given again whenever it changes
    AnimFrame* backgroundFrame_ = nullptr;  // non-owning; always an earlier frame
    PackedDib image_;
};

}  // namespace vantrel
