#include "app/DibImage.h"

#include <algorithm>

namespace vantrel {

namespace {

QImage Converted(const PackedDib& dib, QImage::Format format, QRgb (*pixel)(PixelValue)) {
    if (!dib.HasBlock() || dib.Width() <= 0 || dib.Height() <= 0) return {};
    QImage image(dib.Width(), dib.Height(), format);
    if (image.isNull()) return {};
    for (int y = 0; y < dib.Height(); ++y) {
        const PixelValue* in = dib.Row(y);
        std::transform(in, in + dib.Width(), reinterpret_cast<QRgb*>(image.scanLine(y)), pixel);
    }
    return image;
}

}  // namespace

QImage ToQImage(const PackedDib& dib) {
    return Converted(dib, QImage::Format_RGB32, [](PixelValue p) -> QRgb { return 0xFF000000u | (p & 0x00FFFFFFu); });
}

QImage ToQImageWithAlpha(const PackedDib& dib) {
    return Converted(dib, QImage::Format_ARGB32, [](PixelValue p) -> QRgb {
        return (static_cast<QRgb>(255 - TransparencyOf(p)) << 24) | (p & 0x00FFFFFFu);
    });
}

PackedDib ToPackedDib(const QImage& image) {
    PackedDib dib;
    if (image.isNull()) return dib;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    if (!dib.SetSize(argb.width(), argb.height())) return dib;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        PixelValue* out = dib.Row(y);
        std::transform(in, in + argb.width(), out, [](QRgb c) {
            return (static_cast<PixelValue>(255 - qAlpha(c)) << 24) | (c & 0x00FFFFFFu);
        });
    }
    return dib;
}

}  // namespace vantrel
