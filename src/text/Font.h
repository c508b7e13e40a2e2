#pragma once
// Font: one selected font, made from a LogFont, with the metrics, widths and
// drawing that label layout needs. Sizes follow the usual rules of font
// records: a height above 0 is the cell height (ascent + descent), below 0
// the em height, 0 a default size; a width of 0 keeps the natural average
// character width and a width above 0 stretches the glyphs horizontally so
// that the average character width becomes that width.
//
// Texts are 8-bit Windows-1252 strings. Glyphs are hinted and rendered
// without anti-aliasing (black or white pixels only), with fixed settings so
// that widths and pixels are the same on every machine with the same fonts.
// Kerning is not applied. Escapement and orientation are ignored: text runs
// left to right on a horizontal baseline.
//
// A Font is not safe to use from several threads at once.

#include <memory>
#include <string>
#include <string_view>

#include "text/LogFont.h"

namespace vantrel {

class GreyBitmap;
class PackedDib;

struct TextMetrics {
    int height = 0;           // cell height: ascent + descent
    int ascent = 0;           // cell top to baseline
    int descent = 0;          // baseline to cell bottom
    int internalLeading = 0;  // cell height minus the em height
    int averageCharWidth = 0;
    int maxCharWidth = 0;
    friend bool operator==(const TextMetrics&, const TextMetrics&) = default;
};

// The horizontal extent of one character: a is the space before its black
// box (negative when the glyph reaches left of its origin), b the width of
// the black box, c the space after it; a + b + c is the advance.
struct AbcWidths {
    int a = 0;
    int b = 0;
    int c = 0;
    friend bool operator==(const AbcWidths&, const AbcWidths&) = default;
};

class Font {
public:
    // Cell heights, em heights and widths are clamped to this many pixels.
    static constexpr int kMaxPixelSize = 16384;
    // The em height of a record with height 0.
    static constexpr int kDefaultEmHeight = 16;

    // Selects the font the record asks for. A face that cannot be found is
    // replaced by the default sans face; weight and italic are synthesised
    // when the face has no such style. Returns null only when the machine has
    // no usable outline font at all.
    static std::unique_ptr<Font> Create(const LogFont& request);

    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const LogFont& Request() const;
    TextMetrics Metrics() const;

    // The advance of one character in pixels.
    int Advance(unsigned char code) const;
    AbcWidths Abc(unsigned char code) const;
    // The width of one line: the sum of the advances plus charExtra after
    // every character (including the last).
    int TextExtent(std::string_view text, int charExtra = 0) const;

    // Draws text in black with the top of its cell at y and its origin at x,
    // each character followed by charExtra pixels, with the record's underline
    // and strike-out. Only pixels inside the bitmap are written; black is 0 in
    // a GreyBitmap and the opaque pixel 0x00000000 in a PackedDib (which
    // needs a block).
    void DrawText(GreyBitmap& target, int x, int y, std::string_view text, int charExtra = 0) const;
    void DrawText(PackedDib& target, int x, int y, std::string_view text, int charExtra = 0) const;

    // The family of the selected face (UTF-8, as the font names it) and its file.
    std::string FamilyName() const;
    std::string FilePath() const;
    // True when the face has the requested name itself; false when another
    // face stands in for it (a metric-compatible alias or the default face).
    bool HasRequestedName() const;

private:
    struct Impl;
    explicit Font(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantrel
