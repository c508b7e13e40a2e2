// Draw Rectangle: a box in the view's colours and new-box style.

#include "document/BoxItem.h"
#include "view/tools/DrawShapeTool.h"
#include "view/tools/Tools.h"

namespace vantrel {

namespace {

class DrawRectangleTool final : public DrawShapeTool {
public:
    explicit DrawRectangleTool(EditorView& view) : DrawShapeTool(view, "Draw Rectangle", RubberBandShape::Rectangle) {}

private:
    std::unique_ptr<CanvasItem> MakeItem(int width, int height) override {
        auto box = std::make_unique<BoxItem>();
        BoxStyle style;
        style.fillColor = view_.BackgroundColor();
        style.lineColor = view_.ForegroundColor();
        const BoxDefaults& defaults = view_.Settings().NewBox();
        style.lineStyle = static_cast<BoxLineStyle>(defaults.fillStyle);
        style.lineWidth = defaults.lineWidth;
        style.spaceWidth = defaults.spaceWidth;
        box->SetBounds({0, 0, width, height});
        box->SetStyle(style);
        return box;
    }
};

}  // namespace

std::unique_ptr<Tool> MakeDrawRectangleTool(EditorView& view) { return std::make_unique<DrawRectangleTool>(view); }

}  // namespace vantrel
