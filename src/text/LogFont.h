#pragma once
// LogFont: the 60-byte font record of labels and of the document's default
// font, stored in document files and item records exactly as laid out here.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"

namespace vantrel {

struct LogFont {
    std::int32_t height = 0;  // > 0 cell height, < 0 em height, in pixels
    std::int32_t width = 0;   // 0 natural average width, > 0 stretched to it
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;  // 400 regular, 700 bold
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    std::array<char, 32> faceName{};  // NUL-terminated within the 32 bytes

    static constexpr std::size_t kRecordSize = 60;

    // The font given to new labels of a new document: Arial, height 24.
    static LogFont DocumentDefault();

    std::string FaceName() const;
    // Copies at most 31 bytes of name and NUL-terminates.
    void SetFaceName(const std::string& name);

    // Appends the record: field by field, little-endian, exactly kRecordSize bytes.
    void WriteTo(ByteWriter& out) const;
    // Reads the next kRecordSize bytes of in as a record (past its end: zeros,
    // and in is exhausted).
    static LogFont ReadFrom(ByteReader& in);
    static LogFont ReadFrom(std::span<const std::uint8_t, kRecordSize> in);

    friend bool operator==(const LogFont&, const LogFont&) = default;
};

}  // namespace vantrel
