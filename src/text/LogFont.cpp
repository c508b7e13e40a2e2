#include "text/LogFont.h"

#include <algorithm>
#include <array>

namespace vantrel {
namespace {

// Byte offsets of the fields inside the 60-byte record.
constexpr std::size_t kHeightAt = 0;
constexpr std::size_t kWidthAt = 4;
constexpr std::size_t kEscapementAt = 8;
constexpr std::size_t kOrientationAt = 12;
constexpr std::size_t kWeightAt = 16;
constexpr std::size_t kItalicAt = 20;
constexpr std::size_t kUnderlineAt = 21;
constexpr std::size_t kStrikeOutAt = 22;
constexpr std::size_t kCharSetAt = 23;
constexpr std::size_t kOutPrecisionAt = 24;
constexpr std::size_t kClipPrecisionAt = 25;
constexpr std::size_t kQualityAt = 26;
constexpr std::size_t kPitchAndFamilyAt = 27;
constexpr std::size_t kFaceNameAt = 28;
static_assert(kFaceNameAt + std::tuple_size_v<decltype(LogFont::faceName)> == LogFont::kRecordSize);

void PutI32(std::span<std::uint8_t, LogFont::kRecordSize> out, std::size_t at, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    out[at] = static_cast<std::uint8_t>(u);
    out[at + 1] = static_cast<std::uint8_t>(u >> 8);
    out[at + 2] = static_cast<std::uint8_t>(u >> 16);
    out[at + 3] = static_cast<std::uint8_t>(u >> 24);
}

std::int32_t GetI32(std::span<const std::uint8_t, LogFont::kRecordSize> in, std::size_t at) {
    const std::uint32_t u = std::uint32_t{in[at]} | (std::uint32_t{in[at + 1]} << 8) |
                            (std::uint32_t{in[at + 2]} << 16) | (std::uint32_t{in[at + 3]} << 24);
    return static_cast<std::int32_t>(u);
}

}  // namespace

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

void LogFont::WriteTo(std::span<std::uint8_t, kRecordSize> out) const {
    PutI32(out, kHeightAt, height);
    PutI32(out, kWidthAt, width);
    PutI32(out, kEscapementAt, escapement);
    PutI32(out, kOrientationAt, orientation);
    PutI32(out, kWeightAt, weight);
    out[kItalicAt] = italic;
    out[kUnderlineAt] = underline;
    out[kStrikeOutAt] = strikeOut;
    out[kCharSetAt] = charSet;
    out[kOutPrecisionAt] = outPrecision;
    out[kClipPrecisionAt] = clipPrecision;
    out[kQualityAt] = quality;
    out[kPitchAndFamilyAt] = pitchAndFamily;
    for (std::size_t i = 0; i < faceName.size(); ++i)
        out[kFaceNameAt + i] = static_cast<std::uint8_t>(faceName[i]);
}

LogFont LogFont::ReadFrom(std::span<const std::uint8_t, kRecordSize> in) {
    LogFont font;
    font.height = GetI32(in, kHeightAt);
    font.width = GetI32(in, kWidthAt);
    font.escapement = GetI32(in, kEscapementAt);
    font.orientation = GetI32(in, kOrientationAt);
    font.weight = GetI32(in, kWeightAt);
    font.italic = in[kItalicAt];
    font.underline = in[kUnderlineAt];
    font.strikeOut = in[kStrikeOutAt];
    font.charSet = in[kCharSetAt];
    font.outPrecision = in[kOutPrecisionAt];
    font.clipPrecision = in[kClipPrecisionAt];
    font.quality = in[kQualityAt];
    font.pitchAndFamily = in[kPitchAndFamilyAt];
    for (std::size_t i = 0; i < font.faceName.size(); ++i)
        font.faceName[i] = static_cast<char>(in[kFaceNameAt + i]);
    // A record from outside may fill all 32 bytes; the name always ends inside them.
    font.faceName.back() = '\0';
    return font;
}

}  // namespace vantrel
