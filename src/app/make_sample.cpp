// Writes the sample document the run command opens: a 468 x 60 banner with a
// background master frame (a solid box, a striped box and an ellipse) and
// three frames on it holding labels, an outline box and an ellipse, looping
// forever.
//
//   vantrel-make-sample OUT.qvd

#include <iostream>
#include <memory>

#include "document/AnimFrame.h"
#include "document/Animation.h"
#include "document/BoxItem.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"
#include "document/EllipseItem.h"
#include "document/LabelItem.h"

namespace {

using namespace vantrel;

constexpr PixelValue kNavy = 0x001D3557;
constexpr PixelValue kStripe = 0x00345F9A;
constexpr PixelValue kSun = 0x00F2C230;
constexpr PixelValue kWhite = 0x00FFFFFF;
constexpr PixelValue kRed = 0x00E04B3C;
constexpr PixelValue kPale = 0x00CFE0FA;

// Places an item of the given size with its top-left corner at (x, y), canvas-relative.
template <typename Item>
Item* Place(AnimFrame& frame, std::unique_ptr<Item> item, int x, int y) {
    Item* placed = item.get();
    frame.AppendItem(std::move(item));
    frame.MoveItemTo(placed, frame.Canvas().left + x, frame.Canvas().top + y);
    return placed;
}

std::unique_ptr<BoxItem> Box(int w, int h, BoxLineStyle style, PixelValue line, PixelValue fill, int lineWidth,
                             int spaceWidth) {
    auto box = std::make_unique<BoxItem>();
    box->SetSize(w, h);
    BoxStyle s;
    s.lineStyle = style;
    s.lineColor = line;
    s.fillColor = fill;
    s.lineWidth = lineWidth;
    s.spaceWidth = spaceWidth;
    box->SetStyle(s);
    return box;
}

std::unique_ptr<EllipseItem> Ellipse(int w, int h, PixelValue color) {
    auto ellipse = std::make_unique<EllipseItem>();
    ellipse->SetSize(w, h);
    EllipseStyle s;
    s.color = color;
    s.antiAliased = true;
    ellipse->SetStyle(s);
    return ellipse;
}

// A label whose baseline starts at (x, baseline), canvas-relative.
void Label(AnimFrame& frame, const char* text, int pixels, bool bold, PixelValue color, int x, int baseline) {
    auto label = std::make_unique<LabelItem>();
    LabelParams params;
    params.text = text;
    params.font.height = pixels;
    params.font.weight = bold ? 700 : 400;
    params.textColor = color;
    params.antiAliased = true;
    label->SetParams(params);
    LabelItem* placed = label.get();
    frame.AppendItem(std::move(label));
    placed->MoveTo(frame.Canvas().left + x, frame.Canvas().top + baseline);
    frame.UpdateComposites(placed);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::cerr << "usage: vantrel-make-sample OUT.qvd\n";
        return 1;
    }
    CQVDoc doc;
    Animation& animation = doc.GetAnimation();
    animation.SetSize(468, 60);
    animation.loopCount = 0;

    // The background is a master frame: the other frames lie on it, and it
    // is not itself a frame of the animation.
    AnimFrame& background = *animation.FirstFrame();
    background.isMaster = true;
    Place(background, Box(468, 60, BoxLineStyle::Solid, kNavy, kNavy, 1, 1), 0, 0);
    Place(background, Box(468, 14, BoxLineStyle::Horizontal, kStripe, kNavy, 1, 2), 0, 46);
    Place(background, Ellipse(34, 34, kSun), 14, 13);

    AnimFrame& title = *animation.AppendFrame();
    title.SetBackgroundFrame(&background);
    title.duration = 120;
    Label(title, "Vantrel GIF Animator", 28, true, kWhite, 66, 40);

    AnimFrame& framed = *animation.AppendFrame();
    framed.SetBackgroundFrame(&background);
    framed.duration = 120;
    Label(framed, "Vantrel GIF Animator", 28, true, kWhite, 66, 40);
    Place(framed, Box(318, 44, BoxLineStyle::Outline, kRed, 0xFF000000, 3, 1), 60, 8);

    AnimFrame& tagline = *animation.AppendFrame();
    tagline.SetBackgroundFrame(&background);
    tagline.duration = 200;
    Label(tagline, "frames, labels, boxes and ellipses", 20, false, kPale, 66, 36);
    Place(tagline, Ellipse(18, 18, kRed), 430, 21);

    animation.RenderAll();
    const Status status = SaveDocument(doc, argv[1]);
    if (!status) {
        std::cerr << argv[1] << ": " << status.message() << '\n';
        return 1;
    }
    return 0;
}
