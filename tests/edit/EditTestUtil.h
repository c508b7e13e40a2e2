#pragma once
// What an undo must give back (the document's file bytes and every rendered
// frame), and the documents and items the edit tests start from.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "../document/DocTestUtil.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"
#include "document/LabelItem.h"

namespace vantrel::test {

struct Snapshot {
    std::vector<std::uint8_t> bytes;
    std::vector<std::vector<std::uint8_t>> frames;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

// Printed as the size and a checksum of each part, so that a failing
// comparison names the part that differs.
inline void PrintTo(const Snapshot& s, std::ostream* os) {
    const auto sum = [](const std::vector<std::uint8_t>& bytes) {
        std::uint64_t h = 1469598103934665603ull;  // FNV-1a
        for (const std::uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
        return h;
    };
    *os << "{file: " << s.bytes.size() << " bytes #" << std::hex << sum(s.bytes) << std::dec;
    for (std::size_t i = 0; i < s.frames.size(); ++i)
        *os << "; frame " << i << ": " << s.frames[i].size() << " bytes #" << std::hex << sum(s.frames[i]) << std::dec;
    *os << "}";
}

inline Snapshot Take(const CQVDoc& doc) {
    auto bytes = DocumentBytes(doc);
    EXPECT_TRUE(bytes.has_value()) << "the document would not save";
    Snapshot s{bytes.value_or(std::vector<std::uint8_t>{}), {}};
    for (const auto& frame : doc.GetAnimation().Frames()) s.frames.push_back(PixelsOf(frame->Image()));
    return s;
}

// A label of text in the default font at height pixels, placed at (x, y).
inline std::unique_ptr<LabelItem> TextLabel(const std::string& text, int height, Point at) {
    auto label = std::make_unique<LabelItem>();
    LabelParams params;
    params.text = text;
    params.font.height = height;
    EXPECT_TRUE(label->SetParams(params));
    label->MoveTo(at.x, at.y);
    return label;
}

// The document the frame and history tests start from, rendered and clean:
// a first frame of solid items (red, with blendingMiddle a blending green one
// over it, then blue), a second frame lying over the first that holds one
// blending yellow item and, with a third, a master frame of plain colour.
struct TestDocShape {
    bool blendingMiddle = false;  // the blending green item in the first frame
    bool masterThird = false;     // the third, master frame
    std::uint32_t secondDuration = kDefaultFrameDuration;
};

inline std::unique_ptr<CQVDoc> MakeTestDoc(const TestDocShape& shape) {
    auto doc = std::make_unique<CQVDoc>();
    Animation& a = doc->GetAnimation();
    AnimFrame& first = *a.FirstFrame();
    const Rect c = first.Canvas();
    first.AppendItem(SolidItem({c.left, c.top, c.left + 40, c.top + 30}, 0x00FF0000));
    if (shape.blendingMiddle)
        first.AppendItem(SolidItem({c.left + 20, c.top + 10, c.left + 90, c.top + 50}, 0x8000FF00, true));
    first.AppendItem(SolidItem({c.left + 100, c.top + 5, c.left + 130, c.top + 25}, 0x000000FF));
    AnimFrame* second = a.AppendFrame();
    second->SetBackgroundFrame(&first);
    second->AppendItem(SolidItem({c.left + 10, c.top + 10, c.left + 30, c.top + 30}, 0x60FFFF00, true));
    second->duration = shape.secondDuration;
    if (shape.masterThird) {
        AnimFrame* third = a.AppendFrame();
        third->SetBackgroundFrame(nullptr);
        third->isMaster = true;
        third->backgroundColor = 0x00336699;
    }
    a.RenderAll();
    doc->SetModifiedFlag(false);
    return doc;
}

}  // namespace vantrel::test
