#include "document/BoxItem.h"

#include <algorithm>

#include "core/ByteReader.h"
#include "document/ItemRecordIO.h"

namespace vantrel {
namespace {

BoxStyle Limited(BoxStyle style) {
    style.lineWidth = std::clamp(style.lineWidth, 0, kMaxBoxLineWidth);
    style.spaceWidth = std::clamp(style.spaceWidth, kMinBoxSpaceWidth, kMaxBoxSpaceWidth);
    return style;
}

}  // namespace

BoxItem::BoxItem() : StyledShapeItem(ItemKind::Box) {}

BoxItem::~BoxItem() = default;

bool BoxItem::LoadRecord(std::span<const std::uint8_t> record) {
    ByteReader reader(record);
    const auto b = ReadShapeHeader(reader, kBoxRecordTag, kBoxRecordSize);
    if (!b) return false;
    BoxStyle style;
    style.fillColor = reader.U32();
    style.lineColor = reader.U32();
    style.lineWidth = reader.I32();
    style.spaceWidth = reader.I32();
    const std::uint32_t lineStyle = reader.U32();
    if (reader.Exhausted() || Limited(style) != style || lineStyle > std::uint32_t(BoxLineStyle::Vertical))
        return false;
    style.lineStyle = static_cast<BoxLineStyle>(lineStyle);
    style_ = style;
    TakeBoundsAndRasterize(*b);
    return true;
}

std::optional<ItemRecord> BoxItem::SaveRecord() const {
    return BuildRecord(kBoxRecordTag, kBoxRecordSize, bounds, kBoxRecordSize, [this](ByteWriter& out) {
        out.U32(style_.fillColor).U32(style_.lineColor).I32(style_.lineWidth).I32(style_.spaceWidth);
        out.U32(static_cast<std::uint32_t>(style_.lineStyle));
    });
}

void BoxItem::Rasterize() {
    const PixelValue line = style_.lineColor;
    const PixelValue fill = style_.fillColor;
    blendWithBeneath = TransparencyOf(line) != 0 || TransparencyOf(fill) != 0;
    if (!image.HasBlock()) return;

    const int w = image.Width();
    const int h = image.Height();
    const int n = style_.lineWidth;
    const int period = n + style_.spaceWidth;  // at least 1: spaceWidth is never below 1
    switch (style_.lineStyle) {
    case BoxLineStyle::Outline: {
        // Rows inside the frame have line colour left and right of the fill.
        const int innerLeft = std::min(n, w);
        const int innerRight = std::max(w - n, innerLeft);
        for (int y = 0; y < h; ++y) {
            PixelValue* row = image.Row(y);
            if (y < n || y >= h - n) {
                std::fill(row, row + w, line);
            } else {
                std::fill(row, row + innerLeft, line);
                std::fill(row + innerLeft, row + innerRight, fill);
                std::fill(row + innerRight, row + w, line);
            }
        }
        break;
    }
    case BoxLineStyle::Horizontal:
        for (int y = 0; y < h; ++y) {
            PixelValue* row = image.Row(y);
            std::fill(row, row + w, y % period < n ? line : fill);
        }
        break;
    case BoxLineStyle::Vertical: {
        // Every row is the same: build the first, copy it to the others.
        PixelValue* first = image.Row(0);
        for (int x = 0; x < w; ++x) first[x] = x % period < n ? line : fill;
        for (int y = 1; y < h; ++y) std::copy(first, first + w, image.Row(y));
        break;
    }
    case BoxLineStyle::Solid:
    default:
        image.FillRect(line);
        break;
    }
}

BoxStyle BoxItem::LimitedStyle(const BoxStyle& style) const { return Limited(style); }

}  // namespace vantrel
