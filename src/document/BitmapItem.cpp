#include "document/BitmapItem.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "core/ByteReader.h"
#include "document/ItemRecordIO.h"

namespace vantrel {

BitmapItem::BitmapItem() : CanvasItem(ItemKind::Bitmap) {}

BitmapItem::~BitmapItem() = default;

namespace {
std::unique_ptr<CompactImage> CopyOf(const std::unique_ptr<CompactImage>& held) {
    if (!held) return nullptr;
    auto copy = std::make_unique<CompactImage>();
    copy->ShareFrom(*held);
    return copy;
}
}  // namespace

BitmapItem::BitmapItem(const BitmapItem& other)
    : CanvasItem(other), undoImage_(CopyOf(other.undoImage_)), sourceImage_(CopyOf(other.sourceImage_)) {}

std::unique_ptr<CanvasItem> BitmapItem::Clone() const { return std::unique_ptr<CanvasItem>(new BitmapItem(*this)); }

std::unique_ptr<BitmapItem> BitmapItem::FromImage(PackedDib image, bool blend) {
    auto item = std::make_unique<BitmapItem>();
    item->SetImage(std::move(image));
    item->blendWithBeneath = blend;
    return item;
}

std::unique_ptr<BitmapItem> BitmapItem::PictureOf(const CanvasItem& item) {
    CompactImage image;
    image.ShareFrom(item.HeldImage());
    auto bitmap = std::make_unique<BitmapItem>();
    bitmap->AdoptImage(std::move(image));
    bitmap->blendWithBeneath = item.BlendWithBeneath();
    bitmap->MoveTo(item.Bounds().left, item.Bounds().top);
    bitmap->selected = item.IsSelected();
    return bitmap;
}

std::unique_ptr<BitmapItem> BitmapItem::Combining(const std::vector<CanvasItem*>& items) {
    Rect area;
    for (const CanvasItem* item : items) area = Union(area, item->Bounds());
    if (area.IsEmpty()) return nullptr;
    PackedDib combined;
    combined.CreateBlank(area.Width(), area.Height());
    for (const CanvasItem* item : items)
        item->HeldImage().BlendOnto(combined, item->Bounds().left - area.left, item->Bounds().top - area.top);
    auto bitmap = FromImage(std::move(combined), true);
    bitmap->MoveTo(area.left, area.top);
    return bitmap;
}

// ---- undo ----

void BitmapItem::DropUndoState() {
    CanvasItem::DropUndoState();
    undoImage_.reset();
}

void BitmapItem::SaveUndoState() {
    CanvasItem::SaveUndoState();
    undoImage_ = std::make_unique<CompactImage>();
    undoImage_->ShareFrom(image);
}

void BitmapItem::RestoreUndoState() {
    if (!hasUndoState) return;
    CanvasItem::RestoreUndoState();
    if (undoImage_) image = std::move(*undoImage_);
    sourceImage_.reset();
    DropUndoState();
}

// ---- geometry ----

void BitmapItem::CropTo(const Rect& rect, PixelValue fill) {
    if (!image.HasBlock()) return;
    const Rect r = Normalized(rect);
    sourceImage_.reset();
    if (TransparencyOf(fill) != 0) blendWithBeneath = true;
    PackedDib cropped;
    if (!cropped.SetSize(r.Width(), r.Height())) return;
    cropped.FillRect(fill);
    composite.SetSize(r.Width(), r.Height());
    image.BlitTo(cropped, bounds.left - r.left, bounds.top - r.top);
    image = std::move(cropped);
    bounds = r;
    MoveTo(r.left, r.top);
}

void BitmapItem::SetBounds(const Rect& rect) { ScaleTo(rect, ResampleMode::Sharp); }

void BitmapItem::ScaleTo(const Rect& rect, ResampleMode mode) {
    if (!image.HasBlock()) return;
    const Rect r = Normalized(rect);
    if (r.IsEmpty()) return;
    if (!sourceImage_) sourceImage_ = std::make_unique<CompactImage>(std::move(image));
    if (std::optional<PackedDib> scaled = Resampled(sourceImage_->Copy(), r.Width(), r.Height(), mode))
        image = std::move(*scaled);
    else
        image.ShareFrom(*sourceImage_);
    // A failed resample leaves the source size: the bounds follow the image.
    bounds.right = bounds.left + image.Width();
    bounds.bottom = bounds.top + image.Height();
    composite.SetSize(image.Width(), image.Height());
    MoveTo(r.left, r.top);
}

// ---- record ----

bool BitmapItem::LoadRecord(std::span<const std::uint8_t> record) {
    ByteReader reader(record);
    const auto header = ReadRecordHeader(reader, kBitmapRecordTag, kBitmapRecordHeaderSize);
    if (!header) return false;
    const std::uint32_t blend = reader.U32();
    const Rect& b = header->bounds;
    const std::uint64_t pixels = std::uint64_t(b.Width()) * std::uint64_t(b.Height());
    if (pixels == 0 || pixels > std::uint64_t(PackedDib::kMaxPixels)) return false;
    if (pixels * 4 > record.size() - header->headerSize) return false;
    PackedDib loaded;
    if (!loaded.SetSize(b.Width(), b.Height())) return false;
    std::memcpy(loaded.Bytes().data(), record.data() + header->headerSize, loaded.SizeImage());
    bounds = b;
    image = std::move(loaded);
    image.Compact();
    SetSize(b.Width(), b.Height());
    MoveTo(b.left, b.top);
    blendWithBeneath = blend != 0;
    sourceImage_.reset();
    return true;
}

std::optional<ItemRecord> BitmapItem::SaveRecord() const {
    if (!image.HasBlock()) return std::nullopt;
    return BuildRecord(kBitmapRecordTag, kBitmapRecordHeaderSize, bounds,
                       kBitmapRecordHeaderSize + image.SizeImage(), [this](ByteWriter& out) {
                           out.U32(blendWithBeneath ? 1 : 0);
                           // The rows in DIB order, bottom row first, from either form.
                           CompactImage::RowReader rows(image);
                           const std::size_t rowBytes = std::size_t(image.Width()) * sizeof(PixelValue);
                           for (int y = image.Height() - 1; y >= 0; --y)
                               out.Bytes({reinterpret_cast<const std::uint8_t*>(rows.Row(y)), rowBytes});
                       });
}

// ---- pixels ----

void BitmapItem::SetImage(PackedDib buffer) { AdoptImage(CompactImage(std::move(buffer))); }

void BitmapItem::AdoptImage(CompactImage held) {
    image = std::move(held);
    image.Compact();
    sourceImage_.reset();
    // A composite of the right size at no cost until it is built: it shows
    // the image (all it ever shows when the image is opaque). An image held
    // as runs is never opaque: its composite gets a block of its own, which
    // its building overwrites.
    if (image.IsSparse())
        composite.SetSizeForOverwrite(image.Width(), image.Height());
    else
        composite.ShareFrom(image.Full());
    SetSize(image.Width(), image.Height());
}

bool BitmapItem::SetImageFromPackedDib(std::span<const std::uint8_t> packedDib) {
    PackedDib loaded;
    if (!loaded.LoadPackedDib(packedDib)) return false;
    MoveTo(0, 0);
    SetImage(std::move(loaded));
    return true;
}

PackedDib& BitmapItem::EditImage() {
    sourceImage_.reset();
    return image.Edit();
}

PackedDib BitmapItem::CopyArea(const Rect& area) const {
    PackedDib pixels;
    if (pixels.SetSizeForOverwrite(area.Width(), area.Height())) image.BlitTo(pixels, -area.left, -area.top);
    return pixels;
}

PixelPatch BitmapItem::TakePatch(const Rect& area) {
    PixelPatch patch;
    patch.area = Intersect(area, image.Bounds());
    patch.pixels = CopyArea(patch.area);
    patch.blend = blendWithBeneath;
    patch.source = std::move(sourceImage_);
    return patch;
}

void BitmapItem::SwapPatch(PixelPatch& patch) {
    PackedDib current = CopyArea(patch.area);
    patch.pixels.BlitTo(image.Edit(), patch.area.left, patch.area.top);
    patch.pixels = std::move(current);
    std::swap(blendWithBeneath, patch.blend);
    std::swap(sourceImage_, patch.source);
}

void BitmapItem::BeginPixelEdit(PixelValue color) {
    sourceImage_.reset();
    if (TransparencyOf(color) != 0) blendWithBeneath = true;
}

void BitmapItem::DrawLine(int x1, int y1, int x2, int y2, PixelValue color) {
    BeginPixelEdit(color);
    if (!image.HasBlock()) return;
    auto plot = [&](int x, int y) {
        const int ix = x - bounds.left;
        const int iy = y - bounds.top;
        if (ix >= 0 && iy >= 0 && ix < image.Width() && iy < image.Height()) image.Row(iy)[ix] = color;
    };
    const int n = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
    if (n == 0) {
        plot(x1, y1);
        return;
    }
    // Point i is (x1 + i (x2 - x1) / n, ...) truncated toward zero, computed
    // exactly in integers so that the last point is the end point itself.
    const long long dx = x2 - x1;
    const long long dy = y2 - y1;
    for (long long i = 0; i <= n; ++i)
        plot(int((x1 * static_cast<long long>(n) + i * dx) / n), int((y1 * static_cast<long long>(n) + i * dy) / n));
}

void BitmapItem::FloodFill(int x, int y, PixelValue color) {
    BeginPixelEdit(color);
    const int startX = x - bounds.left;
    const int startY = y - bounds.top;
    const int width = image.Width();
    const int height = image.Height();
    if (!image.HasBlock() || startX < 0 || startY < 0 || startX >= width || startY >= height) return;
    const PixelValue target = image.Row(startY)[startX];
    if (target == color) return;

    // Scan-line fill with an explicit stack of seeds: a seed is a pixel that
    // may start an unfilled run. Each filled run seeds the runs touching it
    // in the rows above and below. Memory is bounded by the pixel count.
    struct Seed {
        int x;
        int y;
    };
    std::vector<Seed> seeds{{startX, startY}};
    while (!seeds.empty()) {
        const Seed seed = seeds.back();
        seeds.pop_back();
        PixelValue* row = image.Row(seed.y);
        if (row[seed.x] != target) continue;
        int left = seed.x;
        while (left > 0 && row[left - 1] == target) --left;
        int right = seed.x + 1;  // exclusive
        while (right < width && row[right] == target) ++right;
        std::fill(row + left, row + right, color);
        for (int ny : {seed.y - 1, seed.y + 1}) {
            if (ny < 0 || ny >= height) continue;
            const PixelValue* next = image.Row(ny);
            bool inRun = false;
            for (int nx = left; nx < right; ++nx) {
                const bool match = next[nx] == target;
                if (match && !inRun) seeds.push_back({nx, ny});
                inRun = match;
            }
        }
    }
}

}  // namespace vantrel
