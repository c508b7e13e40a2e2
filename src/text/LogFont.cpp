#include "text/LogFont.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace vantrel {

// Five 32-bit numbers, eight single bytes, then the name fill the record.
static_assert(5 * sizeof(std::int32_t) + 8 + std::tuple_size_v<decltype(LogFont::faceName)> == LogFont::kRecordSize);

LogFont LogFont::DocumentDefault() {
    LogFont font;
    font.height = 24;
    font.weight = 400;
    font.charSet = 1;       // default character set
    font.outPrecision = 4;  // outline (TrueType) fonts preferred
    font.quality = 1;
    font.SetFaceName("Arial");
    return font;
}

std::string LogFont::FaceName() const {
    const auto end = std::find(faceName.begin(), faceName.end(), '\0');
    return std::string(faceName.begin(), end);
}

void LogFont::SetFaceName(const std::string& name) {
    faceName.fill('\0');
    const std::size_t n = std::min(name.size(), faceName.size() - 1);
    std::copy_n(name.begin(), n, faceName.begin());
}

void LogFont::WriteTo(ByteWriter& out) const {
    out.I32(height).I32(width).I32(escapement).I32(orientation).I32(weight);
    out.U8(italic).U8(underline).U8(strikeOut).U8(charSet);
    out.U8(outPrecision).U8(clipPrecision).U8(quality).U8(pitchAndFamily);
    out.Text(std::string_view(faceName.data(), faceName.size()));
}

LogFont LogFont::ReadFrom(ByteReader& in) {
    LogFont font;
    font.height = in.I32();
    font.width = in.I32();
    font.escapement = in.I32();
    font.orientation = in.I32();
    font.weight = in.I32();
    font.italic = in.U8();
    font.underline = in.U8();
    font.strikeOut = in.U8();
    font.charSet = in.U8();
    font.outPrecision = in.U8();
    font.clipPrecision = in.U8();
    font.quality = in.U8();
    font.pitchAndFamily = in.U8();
    in.Read(font.faceName.data(), font.faceName.size());
    // A record from outside may fill all 32 bytes; the name always ends inside them.
    font.faceName.back() = '\0';
    return font;
}

LogFont LogFont::ReadFrom(std::span<const std::uint8_t, kRecordSize> in) {
    ByteReader reader(in);
    return ReadFrom(reader);
}

}  // namespace vantrel
