#pragma once
// Label texts and font face names are 8-bit Windows-1252 strings. These
// helpers map single codes to Unicode and convert whole strings to and from
// UTF-8 for the parts of the program (font lookup, the user interface) that
// speak Unicode.

#include <string>
#include <string_view>

namespace vantrel {

// The Unicode code point of one Windows-1252 code. The five codes the
// encoding leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1
// control of the same value, so every byte has exactly one code point.
char32_t Cp1252ToUnicode(unsigned char code);

// The Windows-1252 code of a code point, or replacement when it has none.
unsigned char UnicodeToCp1252(char32_t codePoint, unsigned char replacement = '?');

std::string Cp1252ToUtf8(std::string_view text);

// Decodes UTF-8 and encodes every code point as Windows-1252; code points
// without a code and malformed sequences become replacement, one per
// code point or per bad byte.
std::string Utf8ToCp1252(std::string_view text, unsigned char replacement = '?');

}  // namespace vantrel
