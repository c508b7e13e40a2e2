#pragma once
// Conversions between the program's pixel buffers and Qt images.

#include <QImage>

#include "core/PackedDib.h"

namespace vantrel {

// The buffer as a screen image: colours kept, transparency bytes ignored
// (every pixel shown opaque), rows in top-down order.
QImage ToQImage(const PackedDib& dib);
// The buffer with its transparency as alpha (255 - transparency), for
// other programs that take pictures with transparent parts.
QImage ToQImageWithAlpha(const PackedDib& dib);
// An image as a buffer; alpha a becomes transparency 255 - a.
PackedDib ToPackedDib(const QImage& image);

}  // namespace vantrel
