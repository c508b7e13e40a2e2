#pragma once
// Fixtures of the editor view tests: a host that records what the view asks
// of its window, and small documents built by hand.

#include <memory>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "core/PackedDib.h"
#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/BitmapItem.h"
#include "document/CQVDoc.h"
#include "view/ViewDialogs.h"
#include "view/ViewHost.h"

namespace vantrel::test {

// Dialogs that answer as the test says: confirmed with the given text, or cancelled.
class ScriptedDialogs : public ViewDialogs {
public:
    bool EditText(TextEditValues& values) override {
        ++textEdits;
        if (!text) return false;
        values.text = *text;
        return true;
    }
    bool SelectFont(LogFont& font) override {
        if (!font_) return false;
        font = *font_;
        return true;
    }
    std::optional<PixelValue> PickColor(const ColorPickRequest& request) override {
        colorRequests.push_back(request);
        return color;
    }
    std::optional<std::string> text;
    std::optional<LogFont> font_;
    std::optional<PixelValue> color;  // the picker's answer; nothing: cancelled
    std::vector<ColorPickRequest> colorRequests;
    int textEdits = 0;
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
        return MessageAnswer::Yes;
    }
    ViewDialogs& Dialogs() override { return dialogs; }
    void ColorsChanged(PixelValue fg, PixelValue bg) override { colors = {fg, bg}; }

    ScriptedDialogs dialogs;
    std::pair<PixelValue, PixelValue> colors{kOpaqueBlack, kOpaqueWhite};

    Size client;
    ScrollGeometry geometry;
    Point scroll;
    std::vector<Rect> invalidated;
    std::vector<Rect> bands;
    std::vector<std::string> messages;
    int updates = 0;
    int redraws = 0;
    bool capturing = false;
    CursorRole cursor = CursorRole::Busy;
};

// A w x h buffer of one pixel value.
inline PackedDib SolidImage(int width, int height, PixelValue value) {
    PackedDib image;
    image.SetSize(width, height);
    image.FillRect(value);
    return image;
}

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
