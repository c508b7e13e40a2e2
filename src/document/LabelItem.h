#pragma once
// LabelItem: one line of text in one font and one colour, rendered into the
// item's image, optionally smoothed by drawing at four times the size and
// averaging 4 x 4 blocks into a per-pixel transparency. Its size follows from
// the text and the font; its anchor (position) is the left end of the text's
// baseline. Three special handles resize it: the top handle scales the font
// height and keeps the text width, the right handle spreads the characters,
// the top-right handle does both. A label always blends with what lies
// beneath it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/Geometry.h"
#include "core/Pixel.h"
#include "document/CanvasItem.h"
#include "document/ViewTypes.h"
#include "document/WorkArea.h"
#include "text/Font.h"
#include "text/LogFont.h"

namespace vantrel {

// The "LABL" record: common header, width factor, spacing, anti-aliased flag,
// colour, font, anchor, a reserved word; the text follows at the header size.
inline constexpr std::size_t kLabelRecordHeaderSize = 120;

// Longest text a label holds. The text dialog allows 64 characters; records
// asking for more than this are damaged.
inline constexpr std::size_t kMaxLabelTextLength = 1024;
// No side of a label's image exceeds this: a layout that would need more
// (after a resize, or from a record) is refused, and the label stays as it was.
inline constexpr int kMaxLabelSide = 2 * kWorkAreaSize;

// What a layout measures besides the image.
struct LabelMeasures {
    // A width of the first character and C width of the last, each x 0.25.
    float leftOverhang = 0;
    float rightOverhang = 0;
    // Text width without spacing, in image pixels.
    int textWidth = 0;
    // Pixels from the top of the image to the baseline, and from it to the bottom.
    int ascent = 0;
    int descent = 0;
    // Metrics of the font the text was drawn with (four times the size when smoothed).
    TextMetrics metrics;
};

// Everything a label is rendered from; the rest follows by Layout.
struct LabelParams {
    std::string text;  // one line, 8-bit (Windows-1252) characters, no NUL
    LogFont font = LogFont::DocumentDefault();  // height: font size in pixels
    PixelValue textColor = kOpaqueBlack;
    bool antiAliased = false;  // render with 4 x 4 supersampling
    double widthFactor = 1.0;  // multiplies the font's average character width
    double charSpacing = 0.0;  // extra pixels after each character, never negative

    friend bool operator==(const LabelParams&, const LabelParams&) = default;
};

// A pen stroke from `from` to `to`, in device pixels.
struct LineSegment {
    Point from;
    Point to;
    friend bool operator==(const LineSegment&, const LineSegment&) = default;
};

// What a label draws for one of its three handles, in device pixels.
struct LabelHandleGlyph {
    Rect box;       // the 7 x 7 handle square
    Rect innerBox;  // top-right handle: a second box 2 pixels lower and narrower; empty otherwise
    std::vector<LineSegment> strokes;  // right handle: arrow to the right; top handle: arrow up
};

// The handles a label offers, in the order HitHandle tests them. Handles are
// drawn and invalidated for these three only.
inline constexpr std::array<int, 3> kLabelHandles{kHandleTopRight, kHandleRight, kHandleTop};

// The glyph of label handle n (one of kLabelHandles) whose square is box:
// handle 3 is its box plus a box with top + 2 and right - 2; handle 4 its box
// with a horizontal line at top + 3 ending in an arrow head at right - 2;
// handle 2 its box with a vertical line at left + 3 ending in an arrow head at
// top + 1. Any other n gives the box alone.
LabelHandleGlyph LabelHandleGlyphFor(const Rect& box, int n);

// The drag outline of a label with these bounds and baseline, shifted by
// (dx, dy) and magnified by zoom: its left edge from the baseline up to the
// top, and its baseline from one device pixel right of the left edge to the
// right edge.
std::array<LineSegment, 2> LabelOutline(const Rect& bounds, int baselineY, int dx, int dy, ZoomFactor zoom);

class LabelItem final : public CanvasItem {
public:
    // An empty label (nothing laid out yet) with the document's default font.
    LabelItem();
    ~LabelItem() override;
    std::unique_ptr<CanvasItem> Clone() const override { return std::unique_ptr<CanvasItem>(new LabelItem(*this)); }

    // ---- replaced slots ----
    // Also keeps the parameters.
    void SaveUndoState() override;
    // Also puts the parameters back and lays the label out again, so that
    // the restored bounds show the restored text.
    void RestoreUndoState() override;
    // Anchor := (x, y); the bounds keep their size with left = x and top = y - ascent.
    void MoveTo(int x, int y) override;
    // Resizes by changing the spacing (only the width changed), the font
    // height and width factor (only the height changed), or the font height
    // and spacing (both changed), then lays out again. The bounds keep their
    // top-left corner; the new size comes from the layout, not from r. A
    // height below 1 where the height matters, or a layout the limits
    // refuse, changes nothing.
    void SetBounds(const Rect& r) override;
    // Only handles 3, 4 and 2, tested in that order; 0 for none.
    int HitHandle(const PointerState& hit) const override;
    // Reads a "LABL" record and lays the label out. False for a record that
    // is too short, has another tag or a header size below
    // kLabelRecordHeaderSize, has no NUL after its text, holds a width factor
    // that is not a positive number or a spacing that is negative or not a
    // number, an anchor out of range, or a text or layout beyond the limits.
    bool LoadRecord(std::span<const std::uint8_t> record) override;
    // The size of the image LoadRecord would make of record, found by
    // measuring the text without drawing it; none where LoadRecord fails.
    struct ImageSize {
        int width = 0;
        int height = 0;
    };
    static std::optional<ImageSize> RecordImageSize(std::span<const std::uint8_t> record);
    // The "LABL" record: 121 + text length bytes.
    std::optional<ItemRecord> SaveRecord() const override;

    // Renders the text into image and sets the size (the bounds keep their
    // top-left corner; the anchor is not moved). False, changing nothing,
    // when no font can be made or the result would exceed kMaxLabelSide. An
    // empty text lays out as zero width and the font's height.
    bool Layout();

    // ---- editing: each setter lays the label out again and returns false,
    // changing nothing, when the new layout is refused ----
    const LabelParams& Params() const { return params_; }
    bool SetParams(const LabelParams& params);
    const std::string& Text() const { return params_.text; }
    // Also false for a text longer than kMaxLabelTextLength or holding a NUL.
    bool SetText(const std::string& text);
    const LogFont& LabelFont() const { return params_.font; }
    bool SetLabelFont(const LogFont& font);
    PixelValue TextColor() const { return params_.textColor; }
    bool SetTextColor(PixelValue color);
    bool AntiAliased() const { return params_.antiAliased; }
    bool SetAntiAliased(bool on);
    double WidthFactor() const { return params_.widthFactor; }
    double CharSpacing() const { return params_.charSpacing; }

    // ---- results of the last layout (see LabelMeasures) ----
    int Ascent() const { return measures_.ascent; }
    int Descent() const { return measures_.descent; }
    int TextWidth() const { return measures_.textWidth; }
    float LeftOverhang() const { return measures_.leftOverhang; }
    float RightOverhang() const { return measures_.rightOverhang; }
    const TextMetrics& Metrics() const { return measures_.metrics; }

    // ---- geometry of the special handles, in device pixels ----
    LabelHandleGlyph HandleGlyph(int n, ZoomFactor zoom) const { return LabelHandleGlyphFor(HandleRect(n, zoom), n); }
    std::array<LineSegment, 2> Outline(int dx, int dy, ZoomFactor zoom) const {
        return LabelOutline(bounds, position.y, dx, dy, zoom);
    }

private:
    LabelItem(const LabelItem&) = default;
    // Takes params and lays out; on refusal puts the old parameters back.
    bool Relayout(LabelParams params);

    LabelParams params_;
    std::optional<LabelParams> undoParams_;
    LabelMeasures measures_;
};

}  // namespace vantrel
