#pragma once
// EllipseItem: the ellipse inscribed in its bounds, filled in one colour,
// normally with edges smoothed by 4 x 4 supersampling. Stored as its
// parameters ("ELPS" record) and rasterised again whenever they or its size
// change. An ellipse always blends with what lies beneath it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/Pixel.h"
#include "document/CanvasItem.h"
#include "document/ShapeItem.h"

namespace vantrel {

// The "ELPS" record: common header, colour, anti-aliased flag.
inline constexpr std::size_t kEllipseRecordSize = 32;

struct EllipseStyle {
    PixelValue color = kOpaqueBlack;
    bool antiAliased = true;  // every new ellipse is smoothed

    friend bool operator==(const EllipseStyle&, const EllipseStyle&) = default;
};

// Whether the point (sx, sy) of a w x h item lies strictly inside the ellipse
// inscribed in it, with a = w / 2 and b = h / 2: (sx - a)^2 / a^2 +
// (b - sy)^2 / b^2 < 1, computed in double precision exactly in this form so
// that points on the boundary always fall the same way.
bool InsideInscribedEllipse(double sx, double sy, double a, double b);

class EllipseItem final : public StyledShapeItem<EllipseStyle> {
public:
    EllipseItem();
    ~EllipseItem() override;
    std::unique_ptr<CanvasItem> Clone() const override { return std::unique_ptr<CanvasItem>(new EllipseItem(*this)); }

    // Reads an "ELPS" record: bounds, anchor at their top-left corner, colour
    // and anti-aliasing; then rasterises. False for a record that is too
    // short, has another tag or header size below kEllipseRecordSize, or a
    // side above kMaxShapeSide.
    bool LoadRecord(std::span<const std::uint8_t> record) override;
    // The 32-byte "ELPS" record.
    std::optional<ItemRecord> SaveRecord() const override;

    // Generates the image: everything outside the ellipse is the colour with
    // transparency 255. Plain: a pixel whose centre lies inside takes the
    // colour with its own transparency. Smoothed: each pixel counts which of
    // its 16 samples at (x + 0.125 + 0.25 i, y + 0.125 + 0.25 j) lie inside,
    // S = count x opacity, and its transparency is 255 - S / 16.
    void Rasterize() override;

    PixelValue Color() const { return style_.color; }
    bool AntiAliased() const { return style_.antiAliased; }
    // Each setter rasterises again.
    void SetColor(PixelValue color) { SetStyleField(&EllipseStyle::color, color); }
    void SetAntiAliased(bool on) { SetStyleField(&EllipseStyle::antiAliased, on); }

private:
    EllipseItem(const EllipseItem&) = default;
};

}  // namespace vantrel
