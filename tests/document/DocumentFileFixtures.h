#pragma once
// Fixtures of the document file and item pack tests: hand-built file bytes
// and records, a document holding every item kind with every field set, and
// a field-by-field comparison of two documents.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "core/ByteWriter.h"
#include "core/PackedDib.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/BitmapItem.h"
#include "document/BoxItem.h"
#include "document/CQVDoc.h"
#include "document/DocTestUtil.h"
#include "document/EllipseItem.h"
#include "document/LabelItem.h"

namespace vantrel::test {

using Bytes = std::vector<std::uint8_t>;

// Appends little-endian fields to a byte vector, as the file's writer would.
class ByteBuilder {
public:
    ByteBuilder& U8(std::uint8_t v) { return With([v](ByteWriter& w) { w.U8(v); }); }
    ByteBuilder& U32(std::uint32_t v) { return With([v](ByteWriter& w) { w.U32(v); }); }
    ByteBuilder& I32(std::int32_t v) { return With([v](ByteWriter& w) { w.I32(v); }); }
    ByteBuilder& Chars(std::string_view s) { return With([s](ByteWriter& w) { w.Text(s); }); }
    // A counted string in the one-byte form.
    ByteBuilder& Counted(std::string_view s) { return U8(static_cast<std::uint8_t>(s.size())).Chars(s); }
    ByteBuilder& Raw(std::span<const std::uint8_t> b) { return With([b](ByteWriter& w) { w.Bytes(b); }); }
    ByteBuilder& Zeros(std::size_t n) { return With([n](ByteWriter& w) { w.Zeros(n); }); }

    // Magic, the default font, canvas and loop count.
    ByteBuilder& FileHeader(std::int32_t width, std::int32_t height, std::uint32_t loopCount = 0) {
        Counted("QVDF1.0");
        With([](ByteWriter& w) { LogFont::DocumentDefault().WriteTo(w); });
        return I32(width).I32(height).U32(loopCount);
    }
    // The fixed part of a frame record; items and the item list end follow.
    ByteBuilder& FrameHeader(std::uint32_t id, std::uint32_t backgroundId, std::uint32_t master = 0,
                             std::uint32_t duration = 100, std::uint32_t color = 0x00FFFFFF) {
        return Counted("XFRM").U32(id).U32(backgroundId).U32(master).U32(duration).U32(color);
    }
    // One item: its length, then the record.
    ByteBuilder& Item(const Bytes& record) { return U32(static_cast<std::uint32_t>(record.size())).Raw(record); }

    const Bytes& bytes() const { return bytes_; }
    operator Bytes() const { return bytes_; }

private:
    // Appends what write puts through a writer over the bytes.
    template <typename Write>
    ByteBuilder& With(Write write) {
        ByteWriter writer(bytes_);
        write(writer);
        return *this;
    }

    Bytes bytes_;
};

// A "DIBM" record with bounds r, the blend flag and pixelCount pixels of
// value fill (pixelCount -1: as many as the bounds hold).
inline Bytes BitmapRecord(const Rect& r, PixelValue fill, std::int64_t pixelCount = -1, std::uint32_t blend = 0) {
    ByteBuilder b;
    b.Chars("DIBM").U32(28).I32(r.left).I32(r.top).I32(r.right).I32(r.bottom).U32(blend);
    const std::int64_t n = pixelCount >= 0 ? pixelCount : std::int64_t(r.Width()) * r.Height();
    for (std::int64_t i = 0; i < n; ++i) b.U32(fill);
    return b;
}

// A "RECT" record: solid box of lineColor.
inline Bytes BoxRecord(const Rect& r, PixelValue lineColor, std::string_view tag = "RECT") {
    ByteBuilder b;
    b.Chars(tag).U32(44).I32(r.left).I32(r.top).I32(r.right).I32(r.bottom);
    return b.U32(0x00FFFFFF).U32(lineColor).I32(2).I32(1).U32(0);
}

// A w x h bitmap item at (left, top) whose pixels all differ.
inline std::unique_ptr<BitmapItem> PatternBitmap(int left, int top, int width, int height, bool blend) {
    PackedDib image;
    image.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        PixelValue* row = image.Row(y);
        for (int x = 0; x < width; ++x)
            row[x] = MakePixel(static_cast<std::uint8_t>(40 * x), static_cast<std::uint8_t>(60 * y), 0x33,
                               (x + y) % 2 == 0 ? 0 : 200);
    }
    auto item = BitmapItem::FromImage(std::move(image), blend);
    item->MoveTo(left, top);
    return item;
}

inline std::unique_ptr<BoxItem> StyledBox(const Rect& r, const BoxStyle& style) {
    auto box = std::make_unique<BoxItem>();
    box->SetStyle(style);
    box->SetBounds(r);
    return box;
}

inline std::unique_ptr<EllipseItem> StyledEllipse(const Rect& r, const EllipseStyle& style) {
    auto ellipse = std::make_unique<EllipseItem>();
    ellipse->SetStyle(style);
    ellipse->SetBounds(r);
    return ellipse;
}

inline std::unique_ptr<LabelItem> StyledLabel(const LabelParams& params, Point anchor) {
    auto label = std::make_unique<LabelItem>();
    EXPECT_TRUE(label->SetParams(params));
    label->MoveTo(anchor.x, anchor.y);
    return label;
}

// Three frames on a 200 x 120 canvas holding every item kind with every
// field away from its default: a non-default label font, loop count 3, a
// master frame, background frames (frame 2 and frame 3 both on frame 1),
// colours with transparency, both anti-aliasing settings. Items stay small
// so that the file stays small. Rendered.
inline std::unique_ptr<CQVDoc> MakeRichDocument() {
    auto doc = std::make_unique<CQVDoc>();
    doc->defaultFont.height = -30;
    doc->defaultFont.weight = 700;
    doc->defaultFont.italic = 1;
    doc->defaultFont.SetFaceName("Times New Roman");
    Animation& animation = doc->GetAnimation();
    animation.SetSize(200, 120);
    animation.loopCount = 3;

    AnimFrame* first = animation.FirstFrame();
    first->duration = 25;
    first->backgroundColor = 0x00112233;
    first->AppendItem(PatternBitmap(520, 560, 3, 2, true));
    first->AppendItem(StyledBox({530, 565, 545, 580},
                                {0x40FF0000, 0x000000FF, 3, 2, BoxLineStyle::Vertical}));
    first->AppendItem(StyledEllipse({540, 570, 551, 577}, {0x2000FF00, false}));

    AnimFrame* second = animation.AppendFrame();
    second->isMaster = true;
    second->duration = 7;
    second->backgroundColor = 0x00445566;
    LabelParams params;
    params.text = "Vantrel";
    params.font.height = 20;
    params.font.weight = 700;
    params.font.underline = 1;
    params.textColor = 0x10FF8000;
    params.antiAliased = true;
    params.widthFactor = 1.25;
    params.charSpacing = 1.5;
    second->AppendItem(StyledLabel(params, {560, 600}));
    second->AppendItem(StyledEllipse({580, 590, 590, 598}, {0x00000080, true}));
    second->SetBackgroundFrame(first);

    AnimFrame* third = animation.AppendFrame();
    third->duration = 300;
    third->AppendItem(StyledBox({600, 600, 610, 604}, {0x00FFFFFF, 0x00808000, 0, 5, BoxLineStyle::Solid}));
    third->SetBackgroundFrame(first);

    animation.RenderAll();
    return doc;
}

// Every stored field of both documents, every item's record and pixels, and
// every rendered frame agree.
inline void ExpectSameDocument(const CQVDoc& expected, const CQVDoc& actual) {
    EXPECT_EQ(actual.defaultFont, expected.defaultFont);
    const Animation& a = expected.GetAnimation();
    const Animation& b = actual.GetAnimation();
    EXPECT_EQ(b.Canvas(), a.Canvas());
    EXPECT_EQ(b.loopCount, a.loopCount);
    ASSERT_EQ(b.FrameCount(), a.FrameCount());
    for (std::size_t f = 0; f < a.FrameCount(); ++f) {
        SCOPED_TRACE(testing::Message() << "frame " << f);
        const AnimFrame& fa = *a.Frames()[f];
        const AnimFrame& fb = *b.Frames()[f];
        EXPECT_EQ(fb.isMaster, fa.isMaster);
        EXPECT_EQ(fb.duration, fa.duration);
        EXPECT_EQ(fb.backgroundColor, fa.backgroundColor);
        EXPECT_EQ(b.IndexOf(fb.BackgroundFrame()), a.IndexOf(fa.BackgroundFrame()));
        const auto itemsA = fa.Items();
        const auto itemsB = fb.Items();
        ASSERT_EQ(itemsB.size(), itemsA.size());
        for (std::size_t i = 0; i < itemsA.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "item " << i);
            EXPECT_EQ(itemsB[i]->Kind(), itemsA[i]->Kind());
            EXPECT_EQ(itemsB[i]->Bounds(), itemsA[i]->Bounds());
            EXPECT_EQ(itemsB[i]->Position(), itemsA[i]->Position());
            EXPECT_EQ(itemsB[i]->BlendWithBeneath(), itemsA[i]->BlendWithBeneath());
            EXPECT_EQ(itemsB[i]->SaveRecord(), itemsA[i]->SaveRecord());
            EXPECT_EQ(PixelsOf(itemsB[i]->Image()), PixelsOf(itemsA[i]->Image()));
            EXPECT_EQ(PixelsOf(itemsB[i]->Composite()), PixelsOf(itemsA[i]->Composite()));
        }
        EXPECT_EQ(PixelsOf(fb.Image()), PixelsOf(fa.Image()));
    }
}

}  // namespace vantrel::test
