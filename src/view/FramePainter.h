#pragma once
// Painting a frame in the editor: the items from their composites, the canvas
// background, the black frame and grey shadow around the canvas, the white
// work area, and the selection handles. All coordinates are device pixels
// (work-area pixels times the zoom, before the scroll position is taken off).
//
// The drawing goes through PaintTarget, a handful of operations of a drawing
// context with a clip area that can only shrink between SaveClip and
// RestoreClip. RasterPaintTarget implements it on a plain pixel array, which
// is what the editor window shows and what the tests read back.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/Geometry.h"
#include "core/PackedDib.h"
#include "core/Pixel.h"
#include "document/ViewTypes.h"

namespace vantrel {

class AnimFrame;
class CanvasItem;
class ItemList;

// Light grey of the canvas shadow.
inline constexpr PixelValue kCanvasShadowColor = 0x00C0C0C0;
// Width of the shadow along the canvas frame's right and bottom sides.
inline constexpr int kCanvasShadowWidth = 2;

class PaintTarget {
public:
    virtual ~PaintTarget() = default;
    // Remembers the clip area; RestoreClip goes back to it.
    virtual void SaveClip() = 0;
    virtual void RestoreClip() = 0;
    // Takes r out of the area that later drawing may touch.
    virtual void ExcludeRect(const Rect& r) = 0;
    // The image stretched to dest (copied pixel for pixel when the sizes
    // agree); only the colour of each pixel counts, its transparency byte is ignored.
    virtual void DrawImage(const PackedDib& image, const Rect& dest) = 0;
    // Like DrawImage, but each pixel goes opacity / 256 of the way from what
    // is already there to the image's colour (rounded to nearest).
    virtual void BlendImage(const PackedDib& image, const Rect& dest, int opacity) = 0;
    virtual void FillRect(const Rect& r, PixelValue color) = 0;
    // A rectangle outlined one pixel wide inside r in pen and, with a brush,
    // filled inside the outline.
    virtual void DrawBox(const Rect& r, PixelValue pen, std::optional<PixelValue> brush) = 0;
    // A one-pixel line from a towards b; b itself is not drawn.
    virtual void DrawLine(Point a, Point b, PixelValue color) = 0;
};

// A picture laid faintly over the canvas: another frame's rendered image at
// an opacity out of 256 (the onion skin).
struct FaintPicture {
    const PackedDib* image = nullptr;
    int opacity = 0;
};

// Draws the whole framed canvas of frame: items top down, each excluded once
// drawn; the background image or colour; the black frame one pixel outside
// the canvas; the shadow; white over the rest of the work area; then the
// faint pictures over the canvas in their order; then the handles of the
// selected items unless handles says Hidden (while items are moved).
enum class HandleDrawing { Shown, Hidden };
void PaintInView(const AnimFrame& frame, PaintTarget& target, const ViewMapping& mapping,
                 std::span<const FaintPicture> faint = {}, HandleDrawing handles = HandleDrawing::Shown);
// Only the items of a list, top down with exclusion (what a plain list paints).
void PaintItems(const ItemList& list, PaintTarget& target, ZoomFactor zoom);
// The handles of every selected item, bottom to top.
void PaintHandles(const ItemList& list, PaintTarget& target, ZoomFactor zoom);
// The handles of one item: eight white squares with a black outline, or for
// a label its three handles with their arrows.
void DrawItemHandles(const CanvasItem& item, PaintTarget& target, ZoomFactor zoom);

// A PaintTarget over a window-sized pixel array. The array covers the device
// rectangle `area` (usually the scroll position and the client size); pixels
// are 0xFFRRGGBB, rows top down, which is the layout of a 32-bit RGB screen
// image. It starts white, the window's own background.
class RasterPaintTarget final : public PaintTarget {
public:
    explicit RasterPaintTarget(const Rect& area);

    const Rect& Area() const { return area_; }
    int Width() const { return area_.Width(); }
    int Height() const { return area_.Height(); }
    // Row y of the array (0 is the top of area).
    const std::uint32_t* Row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * Width(); }
    std::uint32_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * Width(); }
    // The colour at a device point as a pixel value with transparency 0.
    PixelValue PixelAtDevice(int x, int y) const;

    void SaveClip() override;
    void RestoreClip() override;
    void ExcludeRect(const Rect& r) override;
    void DrawImage(const PackedDib& image, const Rect& dest) override;
    void BlendImage(const PackedDib& image, const Rect& dest, int opacity) override;
    void FillRect(const Rect& r, PixelValue color) override;
    void DrawBox(const Rect& r, PixelValue pen, std::optional<PixelValue> brush) override;
    void DrawLine(Point a, Point b, PixelValue color) override;

private:
    // The image stretched to dest: write(out, source) for every pixel not clipped away.
    template <typename Write>
    void StretchImage(const PackedDib& image, const Rect& dest, Write write);
    // Writes one device pixel when it lies in the array and is not excluded.
    void Plot(int x, int y, std::uint32_t value);
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y - area_.top) * static_cast<std::size_t>(Width()) +
               static_cast<std::size_t>(x - area_.left);
    }

    Rect area_;
    std::vector<std::uint32_t> pixels_;
    std::vector<std::uint8_t> excluded_;  // 1 where drawing is clipped away
    std::vector<std::vector<std::uint8_t>> savedClips_;
};

// The screen form of a pixel value: its colour with an opaque alpha byte.
constexpr std::uint32_t ScreenPixel(PixelValue p) { return 0xFF000000u | (p & 0x00FFFFFFu); }

// The colour opacity / 256 of the way from under to over, channel by
// channel, rounded to nearest; the result is opaque.
constexpr PixelValue MixColor(PixelValue under, PixelValue over, int opacity) {
    PixelValue mixed = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = static_cast<int>((under >> shift) & 0xFF);
        const int b = static_cast<int>((over >> shift) & 0xFF);
        const int d = (b - a) * opacity;
        const int step = d >= 0 ? (d + 128) >> 8 : -((-d + 128) >> 8);
        mixed |= static_cast<PixelValue>(a + step) << shift;
    }
    return mixed;
}

}  // namespace vantrel
