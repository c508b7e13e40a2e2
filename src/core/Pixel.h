#pragma once
// Pixel values 0xTTRRGGBB: blue in bits 0-7, green 8-15, red 16-23 and a
// transparency T in bits 24-31 (0 opaque, 255 fully transparent). In memory a
// pixel is the bytes blue, green, red, T.

#include <cstdint>

namespace vantrel {

using PixelValue = std::uint32_t;

inline constexpr PixelValue kOpaqueWhite = 0x00FFFFFF;
inline constexpr PixelValue kTransparentWhite = 0xFFFFFFFF;
inline constexpr PixelValue kOpaqueBlack = 0x00000000;

constexpr std::uint8_t TransparencyOf(PixelValue p) { return static_cast<std::uint8_t>(p >> 24); }
constexpr std::uint8_t RedOf(PixelValue p) { return static_cast<std::uint8_t>(p >> 16); }
constexpr std::uint8_t GreenOf(PixelValue p) { return static_cast<std::uint8_t>(p >> 8); }
constexpr std::uint8_t BlueOf(PixelValue p) { return static_cast<std::uint8_t>(p); }

constexpr PixelValue MakePixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                               std::uint8_t transparency = 0) {
    return (PixelValue{transparency} << 24) | (PixelValue{red} << 16) | (PixelValue{green} << 8) |
           PixelValue{blue};
}

// A pixel is opaque when its transparency byte is 0.
constexpr bool IsOpaque(PixelValue p) { return p < 0x01000000; }

// Two pixels have the same colour when their low 24 bits are equal, whatever T is.
constexpr bool SameColor(PixelValue a, PixelValue b) { return ((a ^ b) & 0x00FFFFFF) == 0; }

// Exchanges red and blue: pixel values and platform colour values (red in the
// low byte) differ in exactly that.
constexpr PixelValue SwapRedBlue(PixelValue p) {
    return (p & 0xFF00FF00) | ((p >> 16) & 0xFF) | ((p & 0xFF) << 16);
}

}  // namespace vantrel
