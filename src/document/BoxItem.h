#pragma once
// BoxItem: a rectangle filling its whole bounds in one of four line styles
// made of a line colour and a fill colour. Stored as its parameters ("RECT"
// record) and rasterised again whenever they or its size change.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/Pixel.h"
#include "document/CanvasItem.h"
#include "document/ShapeItem.h"

namespace vantrel {

enum class BoxLineStyle : std::uint32_t {
    Solid = 0,       // every pixel in the line colour
    Outline = 1,     // a frame lineWidth pixels wide around the fill colour
    Horizontal = 2,  // horizontal lines lineWidth high, spaceWidth apart
    Vertical = 3,    // vertical lines lineWidth wide, spaceWidth apart
};

inline constexpr int kMaxBoxLineWidth = 32;  // 0 is offered as "None"
inline constexpr int kMinBoxSpaceWidth = 1;
inline constexpr int kMaxBoxSpaceWidth = 32;

// The "RECT" record: common header, fill colour, line colour, line width,
// space width, line style.
inline constexpr std::size_t kBoxRecordSize = 44;

struct BoxStyle {
    PixelValue fillColor = 0x008080FF;  // the spaces between lines, the inside of an outline
    PixelValue lineColor = kOpaqueBlack;
    int lineWidth = 2;  // 0 to kMaxBoxLineWidth
    int spaceWidth = 1;  // kMinBoxSpaceWidth to kMaxBoxSpaceWidth
    BoxLineStyle lineStyle = BoxLineStyle::Horizontal;

    friend bool operator==(const BoxStyle&, const BoxStyle&) = default;
};

class BoxItem final : public StyledShapeItem<BoxStyle> {
public:
    // An empty box with the style a box has before its record is read.
    BoxItem();
    ~BoxItem() override;
    std::unique_ptr<CanvasItem> Clone() const override { return std::unique_ptr<CanvasItem>(new BoxItem(*this)); }

    // Reads a "RECT" record: bounds, anchor at their top-left corner, style;
    // then rasterises. False for a record that is too short, has another tag
    // or header size below kBoxRecordSize, a side above kMaxShapeSide, or a
    // width, space or style outside its range.
    bool LoadRecord(std::span<const std::uint8_t> record) override;
    // The 44-byte "RECT" record.
    std::optional<ItemRecord> SaveRecord() const override;

    // Generates the image: blendWithBeneath when either colour has a
    // non-zero transparency; then the pattern of the line style, anchored at
    // the box's own top-left corner.
    void Rasterize() override;

    // SetStyle limits the widths to their ranges; each setter rasterises again.
    void SetLineColor(PixelValue color) { SetStyleField(&BoxStyle::lineColor, color); }
    void SetFillColor(PixelValue color) { SetStyleField(&BoxStyle::fillColor, color); }

private:
    BoxItem(const BoxItem&) = default;
    BoxStyle LimitedStyle(const BoxStyle& style) const override;
};

}  // namespace vantrel
