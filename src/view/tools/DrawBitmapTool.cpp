// Draw Bitmap: a bitmap of the background colour, blending with what lies
// beneath when that colour is transparent; then the Select tool is current.

#include "document/BitmapItem.h"
#include "view/tools/DrawShapeTool.h"
#include "view/tools/Tools.h"

namespace vantrel {

namespace {

class DrawBitmapTool final : public DrawShapeTool {
public:
    explicit DrawBitmapTool(EditorView& view) : DrawShapeTool(view, "Draw Bitmap", RubberBandShape::Rectangle) {}

private:
    std::unique_ptr<CanvasItem> MakeItem(int width, int height) override {
        PackedDib image;
        if (!image.SetSize(width, height)) return nullptr;
        const PixelValue color = view_.BackgroundColor();
        image.FillRect(color);
        return BitmapItem::FromImage(std::move(image), !IsOpaque(color));
    }
    void Done() override { view_.SetTool(CommandId::ToolSelect); }
};

}  // namespace

std::unique_ptr<Tool> MakeDrawBitmapTool(EditorView& view) { return std::make_unique<DrawBitmapTool>(view); }

}  // namespace vantrel
