#pragma once
// The dialogs the editor view opens, shown over its window.

#include "view/ViewDialogs.h"

class QWidget;

namespace vantrel {

class AppDialogs final : public ViewDialogs {
public:
    explicit AppDialogs(QWidget* parent) : parent_(parent) {}
    bool EditText(TextEditValues& values) override;
    bool SelectFont(LogFont& font) override;
    bool ImageSize(ImageSizeValues& values) override;
    bool CanvasSize(CanvasSizeValues& values) override;
    bool MoveBy(MoveByValues& values) override;
    bool RectangleStyle(RectStyleValues& values) override;
    std::optional<std::string> ImportImagePath() override;
    std::optional<PixelValue> PickColor(const ColorPickRequest& request) override;

private:
    QWidget* parent_;
};

}  // namespace vantrel
