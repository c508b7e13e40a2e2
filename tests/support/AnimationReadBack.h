#pragma once
// Reading animated WebP and animated PNG files back for the tests, through
// readers that share nothing with the program's writers: libwebp's demuxer
// and animation decoder for WebP; for APNG a small chunk walk of its own
// (CRCs, sequence numbers, every filter type, the dispose and blend
// operations) and libpng's simplified API for the default image.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/Geometry.h"
#include "core/PackedDib.h"

namespace vantrel::test {

struct ReadBackFrame {
    PackedDib image;  // the whole canvas as shown, T = 255 - alpha
    std::uint32_t milliseconds = 0;
    Rect stored;      // the rectangle the file stores for this frame
    int blend = -1;   // APNG: 0 source, 1 over; -1 when unknown
    int dispose = -1; // APNG: 0 none, 1 background, 2 previous
};

struct ReadBackAnimation {
    int width = 0;
    int height = 0;
    std::uint32_t plays = 0;
    int colorType = -1;  // APNG: 2 RGB, 3 palette, 6 RGBA
    std::vector<ReadBackFrame> frames;
    std::string error;  // empty when the file was read
};

ReadBackAnimation ReadWebpAnimation(std::span<const std::uint8_t> bytes);
ReadBackAnimation ReadApngByChunks(std::span<const std::uint8_t> bytes);
// The default image of a PNG file through libpng (the first frame of an APNG).
std::optional<PackedDib> ReadPngWithLibpng(std::span<const std::uint8_t> bytes);

// RGBA bytes (top-down rows) as a picture.
PackedDib PictureFromRgba(const std::uint8_t* rgba, int width, int height);

// Whether two pictures show the same: equal sizes and pixels, a fully
// transparent pixel equal to any other fully transparent one.
bool SameShown(const PackedDib& a, const PackedDib& b);

}  // namespace vantrel::test
