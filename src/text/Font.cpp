#include "text/Font.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>
#include <type_traits>

#include "core/PackedDib.h"
#include "core/PixelLoop.h"
#include "text/Cp1252.h"
#include "text/FontSystem.h"
#include "text/GreyBitmap.h"

#include FT_ADVANCES_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

namespace vantrel {

using text_detail::FaceChoice;
using text_detail::FontSystem;

namespace {

// Hinted outlines rendered one bit per pixel. Embedded bitmaps are skipped so
// that every size, stretch and synthesis goes through the same outline path.
constexpr FT_Int32 kLoadFlags = FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP;

// Regular weight, used for records that leave the weight at 0 ("don't care").
constexpr int kRegularWeight = 400;

struct FaceDeleter {
    void operator()(FT_Face face) const { FT_Done_Face(face); }
};
using FacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, FaceDeleter>;

int RoundToInt(double v) { return static_cast<int>(std::lround(v)); }

// 26.6 fixed point to whole pixels, rounding halves up.
int PixelsFrom26Dot6(FT_Pos v) { return static_cast<int>((v + 32) >> 6); }

int ClampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

// ASCII case-insensitive equality, as font family names are compared.
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// The vertical design metrics of a face in font units, with the usual
// fallbacks for faces without an OS/2 table.
struct DesignMetrics {
    double unitsPerEm = 1;
    double winAscent = 0;
    double winDescent = 0;
    double averageWidth = 0;
    double maxAdvance = 0;
    double underlineTop = 0;  // above the baseline, negative below
    double underlineThickness = 0;
    double strikeTop = 0;  // above the baseline
    double strikeThickness = 0;
};

DesignMetrics ReadDesignMetrics(FT_Face face) {
    DesignMetrics m;
    m.unitsPerEm = std::max<double>(1, face->units_per_EM);
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const bool hasOs2 = os2 != nullptr && os2->version != 0xFFFF;
    if (hasOs2 && os2->usWinAscent + os2->usWinDescent > 0) {
        m.winAscent = os2->usWinAscent;
        m.winDescent = os2->usWinDescent;
    } else if (face->ascender - face->descender > 0) {
        m.winAscent = face->ascender;
        m.winDescent = -face->descender;
    } else {
        m.winAscent = m.unitsPerEm * 0.8;
        m.winDescent = m.unitsPerEm * 0.2;
    }
    if (hasOs2 && os2->xAvgCharWidth > 0) {
        m.averageWidth = os2->xAvgCharWidth;
    } else {
        // Without a stored average, the mean advance of the lower-case letters.
        double sum = 0;
        int count = 0;
        for (char c = 'a'; c <= 'z'; ++c) {
            FT_Fixed advance = 0;
            const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(c));
            if (index != 0 && FT_Get_Advance(face, index, FT_LOAD_NO_SCALE, &advance) == 0) {
                sum += static_cast<double>(advance);
                ++count;
            }
        }
        m.averageWidth = count > 0 ? sum / count : m.unitsPerEm / 2;
    }
    m.maxAdvance = face->max_advance_width;
    // FreeType gives the centre of the underline stroke; the top edge is what
    // gets rounded to a pixel row.
    const bool hasUnderline = face->underline_thickness > 0;
    m.underlineThickness = hasUnderline ? face->underline_thickness : m.unitsPerEm / 20;
    m.underlineTop = (hasUnderline ? face->underline_position : -m.unitsPerEm / 10) +
                     m.underlineThickness / 2;
    if (hasOs2 && os2->yStrikeoutSize > 0) {
        m.strikeTop = os2->yStrikeoutPosition;
        m.strikeThickness = os2->yStrikeoutSize;
    } else {
        m.strikeThickness = m.underlineThickness;
        m.strikeTop = m.unitsPerEm * 0.3;
    }
    return m;
}

// A horizontal band of pixels relative to the baseline (positive is down).
struct Band {
    int top = 0;
    int height = 0;
};

}  // namespace

struct Font::Impl {
    std::shared_ptr<FontSystem> system;  // declared first: outlives the face
    FacePtr face;
    LogFont request;
    FaceChoice choice;
    bool symbolCharmap = false;
    TextMetrics metrics;
    Band underline;
    Band strikeOut;

    mutable std::array<int, 256> advances;  // -1 until measured

    FT_UInt GlyphIndex(unsigned char code) const {
        if (symbolCharmap) {
            // Symbol fonts place their glyphs at U+F020 to U+F0FF.
            const FT_UInt index = FT_Get_Char_Index(face.get(), 0xF000u + code);
            return index != 0 ? index : FT_Get_Char_Index(face.get(), code);
        }
        return FT_Get_Char_Index(face.get(), Cp1252ToUnicode(code));
    }

    // Loads the glyph of code into the face's slot, emboldened when the face
    // stands in for a bolder one; render as well for its pixels. Returns the
    // slot, or null when the glyph could not be made.
    FT_GlyphSlot Load(unsigned char code, bool render) const {
        FT_Face f = face.get();
        if (FT_Load_Glyph(f, GlyphIndex(code), kLoadFlags) != 0) return nullptr;
        if (choice.embolden) FT_GlyphSlot_Embolden(f->glyph);
        if (render && f->glyph->format != FT_GLYPH_FORMAT_BITMAP &&
            FT_Render_Glyph(f->glyph, FT_RENDER_MODE_MONO) != 0)
            return nullptr;
        return f->glyph;
    }

    // Advances are asked for every character of every measured line, so
    // they are kept per code once known.
    int AdvanceOf(unsigned char code) const {
        if (advances[code] < 0) {
            const FT_GlyphSlot slot = Load(code, false);
            advances[code] = slot != nullptr ? std::max(0, PixelsFrom26Dot6(slot->advance.x)) : 0;
        }
        return advances[code];
    }

    AbcWidths AbcOf(unsigned char code) const {
        AbcWidths abc;
        const int advance = AdvanceOf(code);
        if (const FT_GlyphSlot slot = Load(code, true)) {
            if (slot->bitmap.width > 0 && slot->bitmap.rows > 0) {
                abc.a = slot->bitmap_left;
                abc.b = static_cast<int>(slot->bitmap.width);
            }
        }
        abc.c = advance - abc.a - abc.b;
        return abc;
    }

    template <class Canvas>
    void Draw(Canvas& canvas, int x, int y, std::string_view text, int charExtra) const;

    // Opens the chosen face at the request's size. Null when the file cannot
    // be used (unreadable, not scalable, without a usable character map, or
    // refusing the size).
    static std::unique_ptr<Impl> Open(std::shared_ptr<FontSystem> system, const LogFont& request,
                                      FaceChoice choice);
};

namespace {

// Views of the two bitmap kinds text is drawn on: rows of pixels and the
// value of a black pixel.
struct GreyCanvas {
    using Pixel = std::uint8_t;
    static constexpr Pixel kBlack = 0;
    GreyBitmap& bitmap;
    int Width() const { return bitmap.Width(); }
    int Height() const { return bitmap.Height(); }
    Pixel* Row(int y) { return bitmap.Row(y); }
};

struct DibCanvas {
    using Pixel = PixelValue;
    static constexpr Pixel kBlack = kOpaqueBlack;
    PackedDib& dib;
    int Width() const { return dib.Width(); }
    int Height() const { return dib.Height(); }
    Pixel* Row(int y) { return dib.Row(y); }
};

// Sets the pixels of a one-bit glyph bitmap whose top-left pixel lands at
// (left, top), clipped to the canvas.
template <class Canvas>
VANTREL_PIXEL_LOOP void BlitMono(Canvas& canvas, const FT_Bitmap& glyph, std::int64_t left, std::int64_t top) {
    const std::int64_t w = glyph.width;
    const std::int64_t h = glyph.rows;
    const std::int64_t col0 = std::max<std::int64_t>(0, -left);
    const std::int64_t col1 = std::min<std::int64_t>(w, canvas.Width() - left);
    const std::int64_t row0 = std::max<std::int64_t>(0, -top);
    const std::int64_t row1 = std::min<std::int64_t>(h, canvas.Height() - top);
    if (col0 >= col1 || row0 >= row1) return;
    const std::int64_t pitch = glyph.pitch;
    for (std::int64_t r = row0; r < row1; ++r) {
        // A negative pitch stores the bottom row first.
        const std::int64_t memoryRow = pitch >= 0 ? r : h - 1 - r;
        const unsigned char* src = glyph.buffer + memoryRow * (pitch >= 0 ? pitch : -pitch);
        auto* dst = canvas.Row(static_cast<int>(top + r)) + left;
        for (std::int64_t c = col0; c < col1; ++c) {
            if (src[c >> 3] & (0x80 >> (c & 7))) dst[c] = Canvas::kBlack;
        }
    }
}

// Fills the columns [x0, x1) of a band of rows, clipped to the canvas.
template <class Canvas>
VANTREL_PIXEL_LOOP void FillBand(Canvas& canvas, std::int64_t x0, std::int64_t x1, std::int64_t top, int height) {
    x0 = std::max<std::int64_t>(x0, 0);
    x1 = std::min<std::int64_t>(x1, canvas.Width());
    const std::int64_t y0 = std::max<std::int64_t>(top, 0);
    const std::int64_t y1 = std::min<std::int64_t>(top + height, canvas.Height());
    if (x0 >= x1) return;
    for (std::int64_t y = y0; y < y1; ++y) {
        auto* row = canvas.Row(static_cast<int>(y));
        std::fill(row + x0, row + x1, Canvas::kBlack);
    }
}

}  // namespace

template <class Canvas>
void Font::Impl::Draw(Canvas& canvas, int x, int y, std::string_view text, int charExtra) const {
    if (canvas.Width() <= 0 || canvas.Height() <= 0) return;
    const std::int64_t baseline = std::int64_t{y} + metrics.ascent;
    std::int64_t pen = x;
    for (const char ch : text) {
        const auto code = static_cast<unsigned char>(ch);
        // Glyph pixels are not kept: sizes can be large and a line is drawn
        // once per layout.
        const int advance = AdvanceOf(code);
        if (const FT_GlyphSlot slot = Load(code, true))
            BlitMono(canvas, slot->bitmap, pen + slot->bitmap_left, baseline - slot->bitmap_top);
        pen += advance + std::int64_t{charExtra};
    }
    if (request.underline)
        FillBand(canvas, x, pen, baseline + underline.top, underline.height);
    if (request.strikeOut)
        FillBand(canvas, x, pen, baseline + strikeOut.top, strikeOut.height);
}

Font::Font(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Font::~Font() = default;

std::unique_ptr<Font> Font::Create(const LogFont& request) {
    std::shared_ptr<FontSystem> system = FontSystem::Get();
    if (!system) return nullptr;
    const int weight = std::clamp(request.weight == 0 ? kRegularWeight : request.weight, 1, 1000);
    const bool italic = request.italic != 0;
    // The requested face first, then the default sans face when fontconfig's
    // pick turns out unusable.
    const std::string names[] = {Cp1252ToUtf8(request.FaceName()), "sans-serif"};
    for (const std::string& name : names) {
        std::optional<FaceChoice> choice = system->Choose(name, weight, italic);
        if (!choice) continue;
        if (auto impl = Impl::Open(system, request, std::move(*choice)))
            return std::unique_ptr<Font>(new Font(std::move(impl)));
    }
    return nullptr;
}

const LogFont& Font::Request() const { return impl_->request; }
TextMetrics Font::Metrics() const { return impl_->metrics; }
int Font::Advance(unsigned char code) const { return impl_->AdvanceOf(code); }
AbcWidths Font::Abc(unsigned char code) const { return impl_->AbcOf(code); }

int Font::TextExtent(std::string_view text, int charExtra) const {
    std::int64_t extent = 0;
    for (const char ch : text)
        extent += impl_->AdvanceOf(static_cast<unsigned char>(ch)) + std::int64_t{charExtra};
    return ClampToInt(extent);
}

void Font::DrawText(GreyBitmap& target, int x, int y, std::string_view text, int charExtra) const {
    GreyCanvas canvas{target};
    impl_->Draw(canvas, x, y, text, charExtra);
}

void Font::DrawText(PackedDib& target, int x, int y, std::string_view text, int charExtra) const {
    if (!target.HasBlock()) return;
    DibCanvas canvas{target};
    impl_->Draw(canvas, x, y, text, charExtra);
}

std::string Font::FamilyName() const {
    return impl_->choice.families.empty() ? std::string() : impl_->choice.families.front();
}

std::string Font::FilePath() const { return impl_->choice.file; }

bool Font::HasRequestedName() const {
    const std::string wanted = Cp1252ToUtf8(impl_->request.FaceName());
    if (wanted.empty()) return false;
    return std::any_of(impl_->choice.families.begin(), impl_->choice.families.end(),
                       [&](const std::string& family) { return SameName(family, wanted); });
}

std::unique_ptr<Font::Impl> Font::Impl::Open(std::shared_ptr<FontSystem> system,
                                             const LogFont& request, FaceChoice choice) {
    FT_Face raw = nullptr;
    if (FT_New_Face(system->Library(), choice.file.c_str(), choice.index, &raw) != 0)
        return nullptr;
    FacePtr face(raw);
    if (!FT_IS_SCALABLE(raw)) return nullptr;

    auto impl = std::make_unique<Font::Impl>();
    impl->advances.fill(-1);
    if (FT_Select_Charmap(raw, FT_ENCODING_UNICODE) != 0) {
        if (FT_Select_Charmap(raw, FT_ENCODING_MS_SYMBOL) != 0) return nullptr;
        impl->symbolCharmap = true;
    }

    const DesignMetrics design = ReadDesignMetrics(raw);
    const double cellUnits = design.winAscent + design.winDescent;
    TextMetrics& tm = impl->metrics;
    double scale = 0;  // pixels per font unit, vertically
    const std::int64_t height = request.height;
    if (height > 0) {
        // The cell height is asked for: ascent and descent share it.
        tm.height = static_cast<int>(std::min<std::int64_t>(height, Font::kMaxPixelSize));
        scale = tm.height / cellUnits;
        tm.ascent = std::min(RoundToInt(design.winAscent * scale), tm.height);
        tm.descent = tm.height - tm.ascent;
    } else {
        const std::int64_t em = height < 0 ? std::min<std::int64_t>(-height, Font::kMaxPixelSize)
                                           : Font::kDefaultEmHeight;
        scale = static_cast<double>(em) / design.unitsPerEm;
        tm.ascent = RoundToInt(design.winAscent * scale);
        tm.descent = RoundToInt(design.winDescent * scale);
        tm.height = tm.ascent + tm.descent;
    }
    const double emPixels = std::clamp(design.unitsPerEm * scale, 1.0, double{Font::kMaxPixelSize});
    tm.internalLeading = tm.height - RoundToInt(emPixels);

    // A width stretches the em horizontally so the average width comes out as asked.
    double emWidth = emPixels;
    if (request.width > 0) {
        const double naturalAverage = design.averageWidth * scale;
        const double wanted = std::min(request.width, Font::kMaxPixelSize);
        if (naturalAverage > 0) emWidth = emPixels * wanted / naturalAverage;
        emWidth = std::clamp(emWidth, 1.0, double{Font::kMaxPixelSize});
    }
    const double xScale = emWidth / design.unitsPerEm;
    tm.averageCharWidth = RoundToInt(design.averageWidth * xScale);
    tm.maxCharWidth = RoundToInt(design.maxAdvance * xScale);

    if (FT_Set_Char_Size(raw, static_cast<FT_F26Dot6>(std::lround(emWidth * 64)),
                         static_cast<FT_F26Dot6>(std::lround(emPixels * 64)), 72, 72) != 0)
        return nullptr;

    if (choice.matrix) {
        const FcMatrix& m = *choice.matrix;
        const bool identity = m.xx == 1 && m.xy == 0 && m.yx == 0 && m.yy == 1;
        if (!identity) {
            // fontconfig and FreeType both have y pointing up, so the
            // matrices carry over element by element.
            FT_Matrix transform{static_cast<FT_Fixed>(std::lround(m.xx * 65536)),
                                static_cast<FT_Fixed>(std::lround(m.xy * 65536)),
                                static_cast<FT_Fixed>(std::lround(m.yx * 65536)),
                                static_cast<FT_Fixed>(std::lround(m.yy * 65536))};
            FT_Set_Transform(raw, &transform, nullptr);
        }
    }

    // Lines one pixel thick at least; positions relative to the baseline, down positive.
    impl->underline.height = std::max(1, RoundToInt(design.underlineThickness * scale));
    impl->underline.top = -RoundToInt(design.underlineTop * scale);
    impl->strikeOut.height = std::max(1, RoundToInt(design.strikeThickness * scale));
    impl->strikeOut.top = -RoundToInt(design.strikeTop * scale);

    impl->system = std::move(system);
    impl->face = std::move(face);
    impl->request = request;
    impl->choice = std::move(choice);
    return impl;
}

}  // namespace vantrel
