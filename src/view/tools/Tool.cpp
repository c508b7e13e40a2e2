#include "view/tools/Tool.h"

#include "view/tools/Tools.h"

namespace vantrel {

std::unique_ptr<Tool> MakeTool(CommandId tool, EditorView& view) {
    switch (tool) {
        case CommandId::ToolZoom: return MakeZoomTool(view);
        case CommandId::ToolDrawBitmap: return MakeDrawBitmapTool(view);
        case CommandId::ToolCrop: return MakeCropTool(view);
        case CommandId::ToolRectangle: return MakeDrawRectangleTool(view);
        case CommandId::ToolEllipse: return MakeDrawEllipseTool(view);
        case CommandId::ToolPen: return MakePenTool(view);
        case CommandId::ToolText: return MakeDrawTextTool(view);
        case CommandId::ToolPick: return MakePickTool(view);
        case CommandId::ToolFill: return MakeFillTool(view);
        case CommandId::ToolSelect:
        default: return MakeSelectTool(view);
    }
}

}  // namespace vantrel
