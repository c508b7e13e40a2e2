#pragma once
// The makers of the ten tools, one file each.

#include <memory>

namespace vantrel {

class EditorView;
class Tool;

std::unique_ptr<Tool> MakeSelectTool(EditorView& view);
std::unique_ptr<Tool> MakeZoomTool(EditorView& view);
std::unique_ptr<Tool> MakeDrawBitmapTool(EditorView& view);
std::unique_ptr<Tool> MakeCropTool(EditorView& view);
std::unique_ptr<Tool> MakeDrawRectangleTool(EditorView& view);
std::unique_ptr<Tool> MakeDrawEllipseTool(EditorView& view);
std::unique_ptr<Tool> MakePenTool(EditorView& view);
std::unique_ptr<Tool> MakeDrawTextTool(EditorView& view);
std::unique_ptr<Tool> MakePickTool(EditorView& view);
std::unique_ptr<Tool> MakeFillTool(EditorView& view);

}  // namespace vantrel
