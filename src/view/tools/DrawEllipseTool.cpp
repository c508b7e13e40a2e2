// Draw Ellipse: an ellipse in the foreground colour.

#include "document/EllipseItem.h"
#include "view/tools/DrawShapeTool.h"
#include "view/tools/Tools.h"

namespace vantrel {

namespace {

class DrawEllipseTool final : public DrawShapeTool {
public:
    explicit DrawEllipseTool(EditorView& view) : DrawShapeTool(view, "Draw Ellipse", RubberBandShape::Ellipse) {}

private:
    std::unique_ptr<CanvasItem> MakeItem(int width, int height) override {
        auto ellipse = std::make_unique<EllipseItem>();
        ellipse->SetBounds({0, 0, width, height});
        ellipse->SetColor(view_.ForegroundColor());
        return ellipse;
    }
};

}  // namespace

std::unique_ptr<Tool> MakeDrawEllipseTool(EditorView& view) { return std::make_unique<DrawEllipseTool>(view); }

}  // namespace vantrel
