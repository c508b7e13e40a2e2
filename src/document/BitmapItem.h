#pragma once
// BitmapItem: the item that holds free pixels (images read from files,
// pasted pictures, converted and combined items, pixel drawing). Its pixels
// are its image as they are; its record carries them ("DIBM").

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "core/Geometry.h"
#include "core/PackedDib.h"
#include "core/Pixel.h"
#include "document/CanvasItem.h"
#include "imaging/Resample.h"

namespace vantrel {

// Header size of the "DIBM" record: common header plus the blend flag.
inline constexpr std::size_t kBitmapRecordHeaderSize = 28;

// The part of a bitmap's state that an edit of some of its pixels changes:
// the pixels of one area, the blend flag and the unscaled source image.
struct PixelPatch {
    Rect area;  // item pixels, inside the image
    PackedDib pixels;  // area-sized
    bool blend = false;
    std::unique_ptr<CompactImage> source;
};

class BitmapItem : public CanvasItem {
public:
    BitmapItem();
    ~BitmapItem() override;
    std::unique_ptr<CanvasItem> Clone() const override;

    // A bitmap item at (0, 0) holding image (taken over); blendWithBeneath as given.
    static std::unique_ptr<BitmapItem> FromImage(PackedDib image, bool blend = false);
    // A bitmap item holding a copy of item's image, with its bounds, blend
    // flag and selection mark (what "Convert to Bitmap" puts in its place).
    static std::unique_ptr<BitmapItem> PictureOf(const CanvasItem& item);
    // A bitmap item covering the union of the items' bounds: transparent
    // white, then each item's image (not its composite) blended over it in
    // the order given (bottom first). It blends with what lies beneath and
    // is not selected. Null when the items cover nothing.
    static std::unique_ptr<BitmapItem> Combining(const std::vector<CanvasItem*>& items);

    // ---- replaced slots ----
    // Also forgets the saved image copy.
    void DropUndoState() override;
    // Also keeps a copy of the image.
    void SaveUndoState() override;
    // Also puts the saved image copy back.
    void RestoreUndoState() override;
    // Crops or extends the picture to r; new area filled with fill. Pixels
    // keep their work-area place.
    void CropTo(const Rect& r, PixelValue fill) override;
    // Scales the picture to r's size (sharp), always from the unscaled
    // source image kept since the first resize.
    void SetBounds(const Rect& r) override;
    // SetBounds resampling the way mode says.
    void ScaleTo(const Rect& r, ResampleMode mode);
    // Reads a "DIBM" record: bounds, blend flag, bounds-sized pixels.
    bool LoadRecord(std::span<const std::uint8_t> record) override;
    // Writes the "DIBM" record.
    std::optional<ItemRecord> SaveRecord() const override;

    // ---- pixels ----
    // Takes buffer as the image and sizes the item to it. An image mostly of
    // one transparent value is kept as runs (see CompactImage).
    void SetImage(PackedDib buffer);
    // Builds the image from a packed device-independent bitmap (any common
    // depth, converted to 32 bits), moves the item to (0, 0) and sizes it to
    // the image. False, changing nothing, when the block cannot be read.
    bool SetImageFromPackedDib(std::span<const std::uint8_t> packedDib);
    // Pen line between two work-area points: n = max(|dx|, |dy|) steps, each
    // point truncated toward zero; pixels outside the image are skipped.
    void DrawLine(int x1, int y1, int x2, int y2, PixelValue color);
    // Bucket fill from a work-area point: every pixel 4-connected to it whose
    // value (transparency included) equals the start pixel's becomes color.
    void FloodFill(int x, int y, PixelValue color);

    // The unscaled picture resizes start from, or null.
    const CompactImage* SourceImage() const { return sourceImage_.get(); }
    // The image copy of the undo state, or null.
    const CompactImage* UndoImage() const { return undoImage_.get(); }
    // Writable image, for editors that paint pixels directly; drops the source image.
    PackedDib& EditImage();

    // ---- patches: what an edit of part of the picture changed ----
    // The pixels inside area (item pixels, clipped to the image), the blend
    // flag, and the source image, taken over (a pixel edit drops it anyway).
    PixelPatch TakePatch(const Rect& area);
    // Exchanges the patch's state with the bitmap's: once undoes the edit
    // made since the patch was taken, again redoes it.
    void SwapPatch(PixelPatch& patch);

private:
    BitmapItem(const BitmapItem& other);
    // Pixel edits end the resize-from-source state and make transparent
    // colours blend with what lies beneath.
    void BeginPixelEdit(PixelValue color);
    // The image's pixels inside area (item pixels, inside the image).
    PackedDib CopyArea(const Rect& area) const;
    // Takes held as the image (kept as runs when that pays) and sizes the item to it.
    void AdoptImage(CompactImage held);

    std::unique_ptr<CompactImage> undoImage_;
    std::unique_ptr<CompactImage> sourceImage_;
};

}  // namespace vantrel
