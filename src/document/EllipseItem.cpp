#include "document/EllipseItem.h"

#include <algorithm>
#include <new>
#include <vector>

#include "core/ByteReader.h"
#include "document/ItemRecordIO.h"

namespace vantrel {
namespace {

// Samples per pixel side when smoothing edges.
constexpr int kSamplesPerSide = 4;

// One term of the ellipse test: d^2 / r^2. Rasterising adds precomputed
// column and row terms; the sum is the same value InsideInscribedEllipse
// computes, so both always agree.
double EllipseTerm(double d, double r) { return (d * d) / (r * r); }

// The terms of every sample along one axis, perPixel samples per pixel:
// one at the pixel's centre, or four at 0.125, 0.375, 0.625 and 0.875 across
// it. Columns measure s - a, rows b - s, as the ellipse test writes them.
std::vector<double> AxisTerms(int pixels, int perPixel, double radius, bool horizontal) {
    std::vector<double> terms(static_cast<std::size_t>(pixels) * perPixel);
    const double first = perPixel == 1 ? 0.5 : 0.125;
    const double step = perPixel == 1 ? 1.0 : 0.25;
    for (int p = 0; p < pixels; ++p) {
        for (int i = 0; i < perPixel; ++i) {
            const double s = p + first + step * i;
            terms[static_cast<std::size_t>(p) * perPixel + i] =
                horizontal ? EllipseTerm(s - radius, radius) : EllipseTerm(radius - s, radius);
        }
    }
    return terms;
}

}  // namespace

bool InsideInscribedEllipse(double sx, double sy, double a, double b) {
    return EllipseTerm(sx - a, a) + EllipseTerm(b - sy, b) < 1.0;
}

EllipseItem::EllipseItem() : StyledShapeItem(ItemKind::Ellipse) { blendWithBeneath = true; }

EllipseItem::~EllipseItem() = default;

bool EllipseItem::LoadRecord(std::span<const std::uint8_t> record) {
    ByteReader reader(record);
    const auto b = ReadShapeHeader(reader, kEllipseRecordTag, kEllipseRecordSize);
    if (!b) return false;
    EllipseStyle style;
    style.color = reader.U32();
    style.antiAliased = reader.U32() != 0;
    if (reader.Exhausted()) return false;
    style_ = style;
    TakeBoundsAndRasterize(*b);
    return true;
}

std::optional<ItemRecord> EllipseItem::SaveRecord() const {
    return BuildRecord(kEllipseRecordTag, kEllipseRecordSize, bounds, kEllipseRecordSize, [this](ByteWriter& out) {
        out.U32(style_.color).U32(style_.antiAliased ? 1 : 0);
    });
}

void EllipseItem::Rasterize() {
    blendWithBeneath = true;
    if (!image.HasBlock()) return;
    const PixelValue color = style_.color;
    const PixelValue rgb = color & 0x00FFFFFF;
    image.FillRect(rgb | 0xFF000000);

    const int w = image.Width();
    const int h = image.Height();
    const double a = w / 2.0;
    const double b = h / 2.0;
    const int perPixel = style_.antiAliased ? kSamplesPerSide : 1;
    std::vector<double> columnTerms;
    std::vector<double> rowTerms;
    try {
        columnTerms = AxisTerms(w, perPixel, a, true);
        rowTerms = AxisTerms(h, perPixel, b, false);
    } catch (const std::bad_alloc&) {
        return;  // the image stays fully transparent
    }

    if (!style_.antiAliased) {
        for (int y = 0; y < h; ++y) {
            PixelValue* row = image.Row(y);
            const double ty = rowTerms[static_cast<std::size_t>(y)];
            for (int x = 0; x < w; ++x) {
                if (columnTerms[static_cast<std::size_t>(x)] + ty < 1.0) row[x] = color;
            }
        }
        return;
    }

    const std::uint32_t opacity = 255u - TransparencyOf(color);
    constexpr int kSamples = kSamplesPerSide * kSamplesPerSide;
    for (int y = 0; y < h; ++y) {
        PixelValue* row = image.Row(y);
        const double* ty = rowTerms.data() + static_cast<std::size_t>(y) * kSamplesPerSide;
        for (int x = 0; x < w; ++x) {
            const double* tx = columnTerms.data() + static_cast<std::size_t>(x) * kSamplesPerSide;
            std::uint32_t inside = 0;
            for (int j = 0; j < kSamplesPerSide; ++j) {
                for (int i = 0; i < kSamplesPerSide; ++i) inside += tx[i] + ty[j] < 1.0 ? 1u : 0u;
            }
            if (inside == 0) continue;
            const std::uint32_t transparency = 255u - (inside * opacity) / kSamples;
            row[x] = (transparency << 24) | rgb;
        }
    }
}

}  // namespace vantrel
