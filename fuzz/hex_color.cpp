// Text typed into the hexadecimal colour entry. Whatever it holds, the
// result keeps the current transparency, and a colour's own text reads
// back to the same colour.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "view/ColorModel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    constexpr vantrel::PixelValue kCurrent = 0x80123456;
    if (const auto parsed = vantrel::ParseHexColor(text, kCurrent)) {
        if ((*parsed & 0xFF000000u) != (kCurrent & 0xFF000000u)) __builtin_trap();
        if (vantrel::ParseHexColor(vantrel::HexTextOf(*parsed), kCurrent) != parsed) __builtin_trap();
    }
    return 0;
}
