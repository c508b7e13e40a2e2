#include "document/LabelItem.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string_view>

#include "core/ByteReader.h"
#include "core/PackedDib.h"
#include "core/PixelLoop.h"
#include "document/ItemRecordIO.h"
#include "text/GreyBitmap.h"

namespace vantrel {
namespace {

// Drawing-bitmap pixels per image pixel side when smoothing.
constexpr int kSupersample = 4;

// Truncates toward zero into lo..hi; not-a-number gives lo.
int TruncToInt(double value, int lo, int hi) {
    if (std::isnan(value)) return lo;
    return static_cast<int>(std::clamp(value, double(lo), double(hi)));
}

int CeilToInt(double value) { return static_cast<int>(std::ceil(value)); }

std::int32_t ClampToI32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

bool InRecordRange(int coordinate) {
    return coordinate >= -kMaxRecordCoordinate && coordinate <= kMaxRecordCoordinate;
}

// One finished layout, made completely before the label takes it over.
struct LaidOutLabel : LabelMeasures {
    PackedDib image;
    // The image's size, also when it was only measured.
    int width = 0;
    int height = 0;
};

enum class LayOutPart { Measures, Image };

// Image pixels from a smoothed drawing: each pixel averages the blue bytes of
// its 4 x 4 block (a, 0 black to 255 white) and is the colour with
// transparency a + ((255 - a) * T) / 255.
VANTREL_PIXEL_LOOP void FillSmoothed(PackedDib& image, const GreyBitmap& drawing, PixelValue color) {
    const PixelValue rgb = color & 0x00FFFFFF;
    const std::uint32_t t = TransparencyOf(color);
    const int drawingWidth = drawing.Width();
    for (int y = 0; y < image.Height(); ++y) {
        const std::uint8_t* rows[kSupersample];
        const int rowCount = std::clamp(drawing.Height() - kSupersample * y, 0, kSupersample);
        for (int v = 0; v < rowCount; ++v) rows[v] = drawing.Row(kSupersample * y + v);
        PixelValue* out = image.Row(y);
        for (int x = 0; x < image.Width(); ++x) {
            const int x0 = kSupersample * x;
            const int columnCount = std::clamp(drawingWidth - x0, 0, kSupersample);
            std::uint32_t sum = 0;
            for (int v = 0; v < rowCount; ++v) {
                for (int u = 0; u < columnCount; ++u) sum += rows[v][x0 + u];
            }
            const std::uint32_t count = std::uint32_t(rowCount * columnCount);
            const std::uint32_t a = count == 0 ? 255 : sum / count;
            out[x] = ((a + ((255 - a) * t) / 255) << 24) | rgb;
        }
    }
}

// Image pixels from a plain drawing: the colour as it is where the drawing
// is black, fully transparent where it is not.
VANTREL_PIXEL_LOOP void FillPlain(PackedDib& image, const GreyBitmap& drawing, PixelValue color) {
    const PixelValue background = (color & 0x00FFFFFF) | 0xFF000000;
    const int width = std::min(image.Width(), drawing.Width());
    const int height = std::min(image.Height(), drawing.Height());
    for (int y = 0; y < image.Height(); ++y) {
        PixelValue* out = image.Row(y);
        std::fill(out, out + image.Width(), background);
        if (y >= height) continue;
        const std::uint8_t* in = drawing.Row(y);
        for (int x = 0; x < width; ++x) out[x] = in[x] != 0 ? background : color;
    }
}

// Lays out p: fonts, measurement, overhangs, then (part Image) drawing and
// image. None when a font cannot be made, the drawing would exceed the
// limits, or memory runs out.
std::optional<LaidOutLabel> LayOut(const LabelParams& p, LayOutPart part = LayOutPart::Image) {
    const int k = p.antiAliased ? kSupersample : 1;
    const std::string_view text = p.text;

    // The font at k times the size, then again with its average character
    // width scaled by the width factor.
    LogFont request = p.font;
    request.height = static_cast<std::int32_t>(std::clamp(request.height * std::int64_t{k},
                                                          std::int64_t{-Font::kMaxPixelSize},
                                                          std::int64_t{Font::kMaxPixelSize}));
    const std::unique_ptr<Font> measuring = Font::Create(request);
    if (!measuring) return std::nullopt;
    request.width =
        TruncToInt(measuring->Metrics().averageCharWidth * p.widthFactor, 0, Font::kMaxPixelSize);
    const std::unique_ptr<Font> font = Font::Create(request);
    if (!font) return std::nullopt;

    LaidOutLabel out;
    out.metrics = font->Metrics();
    const auto scaled = [k](int metric) { return k == 1 ? metric : CeilToInt(metric * 0.25); };
    out.ascent = scaled(out.metrics.ascent);
    out.descent = scaled(out.metrics.descent);
    const int height = out.ascent + out.descent;
    if (height > kMaxLabelSide) return std::nullopt;
    out.height = height;
    if (text.empty()) {
        // Zero width and the font's height; there is no character to measure.
        if (part == LayOutPart::Image) out.image.SetSize(0, height);
        return out;
    }

    const int e1 = font->TextExtent(text);
    out.textWidth = k == 1 ? e1 : CeilToInt(e1 * 0.25);
    const int extra = TruncToInt(p.charSpacing * k, 0, k * kMaxLabelSide);
    const int r2 = font->TextExtent(text, extra);
    const int b2 = out.metrics.height;
    out.leftOverhang = static_cast<float>(font->Abc(static_cast<unsigned char>(text.front())).a) * 0.25f;
    out.rightOverhang = static_cast<float>(font->Abc(static_cast<unsigned char>(text.back())).c) * 0.25f;

    // The drawing is wide enough for glyphs reaching left of their origin or
    // right of their advance.
    const std::int64_t drawingWidth =
        std::int64_t{r2} + 4 - static_cast<std::int64_t>((out.leftOverhang + out.rightOverhang) * 4.0f);
    const std::int64_t drawingHeight = std::int64_t{b2} + 4;
    if (drawingWidth < 1 || drawingWidth > k * kMaxLabelSide || drawingHeight > k * kMaxLabelSide)
        return std::nullopt;
    out.textWidth -= static_cast<int>(out.leftOverhang + out.rightOverhang);
    // The image leaves out the spacing after the last character.
    const int drawn = static_cast<int>(drawingWidth);
    const int width = std::max(0, k == 1 ? drawn - extra : CeilToInt((drawn - extra) * 0.25));
    if (width > kMaxLabelSide) return std::nullopt;
    out.width = width;
    if (part == LayOutPart::Measures) return out;

    GreyBitmap drawing;
    if (!drawing.Create(drawn, static_cast<int>(drawingHeight), 255)) return std::nullopt;
    font->DrawText(drawing, -static_cast<int>(out.leftOverhang * 4.0f), 0, text, extra);
    if (!out.image.SetSize(width, height) && width > 0 && height > 0) return std::nullopt;
    if (out.image.HasBlock()) {
        if (k == 1)
            FillPlain(out.image, drawing, p.textColor);
        else
            FillSmoothed(out.image, drawing, p.textColor);
    }
    return out;
}

}  // namespace

LabelHandleGlyph LabelHandleGlyphFor(const Rect& box, int n) {
    LabelHandleGlyph glyph;
    glyph.box = box;
    const int l = box.left;
    const int t = box.top;
    const int r = box.right;
    switch (n) {
    case kHandleTopRight:
        glyph.innerBox = {l, t + 2, r - 2, box.bottom};
        break;
    case kHandleRight:
        glyph.strokes = {{{l + 1, t + 3}, {r - 2, t + 3}},
                         {{r - 2, t + 3}, {r - 4, t + 1}},
                         {{r - 2, t + 3}, {r - 4, t + 5}}};
        break;
    case kHandleTop:
        glyph.strokes = {{{l + 3, box.bottom - 2}, {l + 3, t + 1}},
                         {{l + 3, t + 1}, {l + 1, t + 3}},
                         {{l + 3, t + 1}, {l + 5, t + 3}}};
        break;
    default:
        break;
    }
    return glyph;
}

std::array<LineSegment, 2> LabelOutline(const Rect& bounds, int baselineY, int dx, int dy, ZoomFactor zoom) {
    const int left = zoom.Scale(bounds.left + dx);
    const int top = zoom.Scale(bounds.top + dy);
    const int right = zoom.Scale(bounds.right + dx);
    const int baseline = zoom.Scale(baselineY + dy);
    return {LineSegment{{left, baseline}, {left, top}}, LineSegment{{left + 1, baseline}, {right, baseline}}};
}

LabelItem::LabelItem() : CanvasItem(ItemKind::Label) { blendWithBeneath = true; }

LabelItem::~LabelItem() = default;

void LabelItem::SaveUndoState() {
    CanvasItem::SaveUndoState();
    undoParams_ = params_;
}

void LabelItem::RestoreUndoState() {
    if (!hasUndoState) return;
    CanvasItem::RestoreUndoState();
    if (undoParams_) params_ = std::move(*undoParams_);
    undoParams_.reset();
    Layout();
}

void LabelItem::MoveTo(int x, int y) {
    const int width = bounds.Width();
    const int height = bounds.Height();
    bounds.left = x;
    bounds.top = y - measures_.ascent;
    bounds.right = x + width;
    bounds.bottom = bounds.top + height;
    position = {x, y};
}

void LabelItem::SetBounds(const Rect& r) {
    LabelParams next = params_;
    const Rect& b = bounds;
    if (r.Height() == b.Height()) {
        // Only the width changed: spread the characters.
        const std::size_t n = next.text.size();
        double spacing = 0.0;
        if (n > 1) spacing = double(r.right - measures_.textWidth - r.left) / double(n - 1);
        next.charSpacing = spacing < 0.0 ? 0.0 : spacing;
    } else if (r.Width() == b.Width()) {
        // Only the height changed: scale the font and keep the text width.
        if (r.Height() < 1 || b.Height() < 1) return;
        next.widthFactor *= double(b.Height()) / double(r.Height());
        const std::int32_t fontHeight = ClampToI32(std::int64_t{r.Height()} * next.font.height / b.Height());
        // A height of 0 would select the default size instead of a small one.
        next.font.height = fontHeight != 0 ? fontHeight : (next.font.height < 0 ? -1 : 1);
    } else {
        // Both changed: the font takes the new height, the spacing grows with it.
        if (r.Height() < 1) return;
        if (next.font.height != 0)
            next.charSpacing *= double(r.Height()) / std::abs(double(next.font.height));
        next.font.height = r.Height();
    }
    SetParams(next);
}

int LabelItem::HitHandle(const PointerState& hit) const {
    for (const int n : kLabelHandles) {
        if (HandleRect(n, hit.zoom).Contains({hit.deviceX, hit.deviceY})) return n;
    }
    return kNoHandle;
}

namespace {

struct LabelRecord {
    Rect bounds;
    Point anchor;
    LabelParams params;
};

std::optional<LabelRecord> ReadLabelRecord(std::span<const std::uint8_t> record) {
    ByteReader reader(record);
    const auto header = ReadRecordHeader(reader, kLabelRecordTag, kLabelRecordHeaderSize);
    if (!header) return std::nullopt;
    LabelParams p;
    p.widthFactor = reader.F64();
    p.charSpacing = reader.F64();
    p.antiAliased = reader.U32() != 0;
    p.textColor = reader.U32();
    p.font = LogFont::ReadFrom(reader);
    const Point anchor{reader.I32(), reader.I32()};
    reader.U32();  // reserved
    if (reader.Exhausted()) return std::nullopt;
    if (!std::isfinite(p.widthFactor) || p.widthFactor <= 0.0) return std::nullopt;
    if (!std::isfinite(p.charSpacing) || p.charSpacing < 0.0) return std::nullopt;
    if (!InRecordRange(anchor.x) || !InRecordRange(anchor.y)) return std::nullopt;

    // The text runs from the header size up to its NUL.
    const auto textBytes = record.subspan(header->headerSize);
    const std::size_t searched = std::min(textBytes.size(), kMaxLabelTextLength + 1);
    const void* nul = std::memchr(textBytes.data(), 0, searched);
    if (nul == nullptr) return std::nullopt;
    p.text.assign(reinterpret_cast<const char*>(textBytes.data()),
                  static_cast<const std::uint8_t*>(nul) - textBytes.data());
    return LabelRecord{header->bounds, anchor, std::move(p)};
}

}  // namespace

std::optional<LabelItem::ImageSize> LabelItem::RecordImageSize(std::span<const std::uint8_t> record) {
    const std::optional<LabelRecord> read = ReadLabelRecord(record);
    if (!read) return std::nullopt;
    std::optional<LaidOutLabel> measured;
    try {
        measured = LayOut(read->params, LayOutPart::Measures);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (!measured) return std::nullopt;
    return ImageSize{measured->width, measured->height};
}

bool LabelItem::LoadRecord(std::span<const std::uint8_t> record) {
    std::optional<LabelRecord> read = ReadLabelRecord(record);
    if (!read) return false;
    // The stored bounds give the top-left corner; the size comes from the layout.
    bounds = {read->bounds.left, read->bounds.top, read->bounds.left, read->bounds.top};
    position = read->anchor;
    params_ = std::move(read->params);
    return Layout();
}

std::optional<ItemRecord> LabelItem::SaveRecord() const {
    return BuildRecord(kLabelRecordTag, kLabelRecordHeaderSize, bounds,
                       kLabelRecordHeaderSize + params_.text.size() + 1, [this](ByteWriter& out) {
                           out.F64(params_.widthFactor).F64(params_.charSpacing);
                           out.U32(params_.antiAliased ? 1 : 0).U32(params_.textColor);
                           params_.font.WriteTo(out);
                           out.I32(position.x).I32(position.y);
                           out.U32(0);  // reserved
                           out.Text(params_.text).U8(0);
                       });
}

bool LabelItem::Layout() {
    std::optional<LaidOutLabel> laid;
    try {
        laid = LayOut(params_);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!laid) return false;
    measures_ = static_cast<const LabelMeasures&>(*laid);
    const int width = laid->image.Width();
    const int height = laid->image.Height();
    image = std::move(laid->image);
    SetSize(width, height);  // the image already has this size and keeps its pixels
    return true;
}

bool LabelItem::Relayout(LabelParams params) {
    std::swap(params_, params);
    if (Layout()) return true;
    std::swap(params_, params);  // the image still shows the old parameters
    return false;
}

bool LabelItem::SetParams(const LabelParams& params) {
    if (params.text.size() > kMaxLabelTextLength || params.text.find('\0') != std::string::npos) return false;
    if (!std::isfinite(params.widthFactor) || params.widthFactor <= 0.0) return false;
    if (!std::isfinite(params.charSpacing) || params.charSpacing < 0.0) return false;
    return Relayout(params);
}

bool LabelItem::SetText(const std::string& text) {
    LabelParams next = params_;
    next.text = text;
    return SetParams(next);
}

bool LabelItem::SetLabelFont(const LogFont& font) {
    LabelParams next = params_;
    next.font = font;
    return SetParams(next);
}

bool LabelItem::SetTextColor(PixelValue color) {
    LabelParams next = params_;
    next.textColor = color;
    return SetParams(next);
}

bool LabelItem::SetAntiAliased(bool on) {
    LabelParams next = params_;
    next.antiAliased = on;
    return SetParams(next);
}

}  // namespace vantrel
