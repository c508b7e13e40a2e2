#pragma once
// Fixtures of the editor view tests: a host that records what the view asks
// of its window, and small documents built by hand.

#include <memory>
#include <optional>
#include <ostream>
#include <utility>
#include <string>
#include <vector>

#include "../document/DocTestUtil.h"
#include "core/PackedDib.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/BitmapItem.h"
#include "document/CQVDoc.h"
#include "document/ViewTypes.h"
#include "view/ViewClipboard.h"
#include "ScriptedDialogs.h"
#include "view/ViewHost.h"

namespace vantrel {

// Zooms in test messages: "2/3" or "4".
inline std::ostream& operator<<(std::ostream& out, ZoomFactor zoom) {
    out << zoom.num;
    if (zoom.den != 1) out << '/' << zoom.den;
    return out;
}

}  // namespace vantrel

namespace vantrel::test {

// A clipboard in memory, which several views may share.
class MemoryClipboard : public ViewClipboard {
public:
    void PutItems(const std::vector<std::uint8_t>& pack, const PackedDib& picture) override {
        items = pack;
        image.emplace();
        image->CopyFrom(&picture);
    }
    bool HasItems() const override { return items.has_value(); }
    bool HasImage() const override { return image.has_value(); }
    std::optional<std::vector<std::uint8_t>> Items() const override { return items; }
    std::optional<std::pair<int, int>> ImageSize() const override {
        if (!image || unreadable) return std::nullopt;
        return std::pair{image->Width(), image->Height()};
    }
    std::optional<PackedDib> Image() const override {
        if (!image || unreadable) return std::nullopt;
        PackedDib copy;
        copy.CopyFrom(&*image);
        return copy;
    }
    std::optional<std::vector<std::uint8_t>> items;
    std::optional<PackedDib> image;
    // A picture is there, but in a form that cannot be read.
    bool unreadable = false;
};

class RecordingHost : public ViewHost {
public:
    explicit RecordingHost(Size client = {400, 300}) : client(client) {}

    Size ClientSize() const override { return client; }
    void SetScrollGeometry(const ScrollGeometry& g) override { geometry = g; }
    void SetScrollPosition(Point p) override { scroll = p; }
    void InvalidateRect(const Rect& window) override { invalidated.push_back(window); }
    void UpdateNow() override { ++updates; }
    void RedrawAll() override { ++redraws; }
    void SetPointerCapture(bool captured) override { capturing = captured; }
    void SetCursor(CursorRole role) override { cursor = role; }
    void DrawRubberBand(const Rect& window, RubberBandShape) override { bands.push_back(window); }
    MessageAnswer ShowMessage(const std::string& text, MessageStyle) override {
        messages.push_back(text);
        return messageAnswer;
    }
    ViewDialogs& Dialogs() override { return dialogs; }
    ViewClipboard& Clipboard() override { return *clipboard; }
    void ColorsChanged(PixelValue fg, PixelValue bg) override { colors = {fg, bg}; }
    void ShowContextMenu(Point window) override { contextMenus.push_back(window); }

    ScriptedDialogs dialogs;
    MemoryClipboard ownClipboard;
    MemoryClipboard* clipboard = &ownClipboard;
    std::pair<PixelValue, PixelValue> colors{kOpaqueBlack, kOpaqueWhite};

    Size client;
    ScrollGeometry geometry;
    Point scroll;
    std::vector<Rect> invalidated;
    std::vector<Rect> bands;
    std::vector<std::string> messages;
    MessageAnswer messageAnswer = MessageAnswer::Yes;  // how every message box is answered
    std::vector<Point> contextMenus;
    int updates = 0;
    int redraws = 0;
    bool capturing = false;
    CursorRole cursor = CursorRole::Busy;
};

// Appends an opaque bitmap item covering r (work-area pixels) on top of frame.
inline CanvasItem* AddSolidItem(AnimFrame& frame, const Rect& r, PixelValue value) {
    CanvasItem* item = frame.AppendItem(BitmapItem::FromImage(SolidImage(r.Width(), r.Height(), value)));
    frame.MoveItemTo(item, r.left, r.top);
    return item;
}

// A document with frameCount frames; the flags mark which are master frames.
inline std::unique_ptr<CQVDoc> DocWithFrames(int frameCount, std::vector<bool> masters = {}) {
    auto doc = std::make_unique<CQVDoc>();
    Animation& animation = doc->GetAnimation();
    for (int i = 1; i < frameCount; ++i) animation.AppendFrame();
    for (std::size_t i = 0; i < masters.size() && i < animation.FrameCount(); ++i)
        animation.Frames()[i]->isMaster = masters[i];
    return doc;
}

}  // namespace vantrel::test
