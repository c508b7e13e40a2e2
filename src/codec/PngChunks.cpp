#include "codec/PngChunks.h"

#include <limits>

#include <zlib.h>

namespace vantrel::png {

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.insert(out.end(), {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                           static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
}

void PutBigEndian16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.insert(out.end(), {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
}

std::size_t OpenChunk(std::vector<std::uint8_t>& out) {
    const std::size_t start = out.size();
    out.resize(start + 8);
    return start;
}

void CloseChunk(std::vector<std::uint8_t>& out, std::size_t start, const char (&type)[5]) {
    const auto length = static_cast<std::uint32_t>(out.size() - start - 8);
    for (int i = 0; i < 4; ++i) {
        out[start + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
        out[start + 4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(type[i]);
    }
    const uLong crc = crc32_z(crc32_z(0, nullptr, 0), out.data() + start + 4, out.size() - start - 4);
    PutBigEndian(out, static_cast<std::uint32_t>(crc));
}

void PutHeader(std::vector<std::uint8_t>& out, int width, int height, std::uint8_t colorType) {
    PutBigEndian(out, static_cast<std::uint32_t>(width));
    PutBigEndian(out, static_cast<std::uint32_t>(height));
    // 8 bits per sample, colour type, deflate, adaptive filtering, no interlace
    out.insert(out.end(), {8, colorType, 0, 0, 0});
}

void FilterRowRgb(const PixelValue* row, int width, std::uint8_t* out) {
    *out++ = kFilterSub;
    PixelValue left = 0;
    for (int x = 0; x < width; ++x, out += 3) {
        const PixelValue p = row[x];
        out[0] = static_cast<std::uint8_t>(RedOf(p) - RedOf(left));
        out[1] = static_cast<std::uint8_t>(GreenOf(p) - GreenOf(left));
        out[2] = static_cast<std::uint8_t>(BlueOf(p) - BlueOf(left));
        left = p;
    }
}

void FilterRowRgba(const PixelValue* row, int width, bool onlyFullyTransparent, std::uint8_t* out) {
    *out++ = kFilterSub;
    PixelValue left = 0;
    std::uint8_t leftAlpha = 0;
    for (int x = 0; x < width; ++x, out += 4) {
        const PixelValue p = row[x];
        const std::uint8_t t = TransparencyOf(p);
        const auto a = onlyFullyTransparent ? static_cast<std::uint8_t>(t == 255 ? 0 : 255)
                                            : static_cast<std::uint8_t>(255 - t);
        out[0] = static_cast<std::uint8_t>(RedOf(p) - RedOf(left));
        out[1] = static_cast<std::uint8_t>(GreenOf(p) - GreenOf(left));
        out[2] = static_cast<std::uint8_t>(BlueOf(p) - BlueOf(left));
        out[3] = static_cast<std::uint8_t>(a - leftAlpha);
        left = p;
        leftAlpha = a;
    }
}

bool AppendZlib(std::span<const std::uint8_t> bytes, int level, std::vector<std::uint8_t>& out) {
    if (bytes.size() > std::numeric_limits<uLong>::max() / 2) return false;
    const std::size_t start = out.size();
    uLongf length = compressBound(static_cast<uLong>(bytes.size()));
    out.resize(start + length);
    if (compress2(out.data() + start, &length, bytes.data(), static_cast<uLong>(bytes.size()), level) != Z_OK) {
        out.resize(start);
        return false;
    }
    out.resize(start + length);
    return true;
}

}  // namespace vantrel::png
