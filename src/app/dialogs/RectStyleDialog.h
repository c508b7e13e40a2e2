#pragma once
// "Rectangle Style": the line style of a box (Solid, Outline, Horizontal,
// Vertical), its line width ("None" or 1 to 32 pixels) and the width of the
// spaces between lines (1 to 32 pixels). The lists a style does not use are
// disabled.

#include "app/dialogs/DialogSupport.h"

#include "view/ViewDialogs.h"

class QButtonGroup;
class QComboBox;

namespace vantrel {

class RectStyleDialog final : public CheckedDialog {
    Q_OBJECT

public:
    explicit RectStyleDialog(const RectStyleValues& values, QWidget* parent = nullptr);
    QComboBox* LineWidthList() const { return lineWidth_; }
    QComboBox* SpaceWidthList() const { return spaceWidth_; }
    QButtonGroup* Styles() const { return styles_; }

    // The values it opened with until OK passes its checks, then the values chosen.
    RectStyleValues chosen;

private:
    bool Check() override;
    void EnableLists(int fillStyle);

    QComboBox* lineWidth_;
    QComboBox* spaceWidth_;
    QButtonGroup* styles_;  // ids: fill styles 0 to 3
};

}  // namespace vantrel
