#pragma once
// The Background bar: what lies beneath the current frame, "Solid" (its own
// background colour) or one of the frames before it, and a "Set Color"
// button. Choosing a background is a command of the document's history.

#include "app/panels/DocumentPanel.h"

class QComboBox;
class QPushButton;

namespace vantrel {

class BackgroundPanel final : public DocumentPanel {
    Q_OBJECT

public:
    explicit BackgroundPanel(QWidget* parent);
    QComboBox* Choice() const { return choice_; }
    QPushButton* SetColorButton() const { return setColor_; }

signals:
    // "Set Color": the Set Background Color command.
    void setColorRequested();

protected:
    void Refresh() override;
    // Pictures do not change what this bar shows.
    void PictureChanged(AnimFrame&) override {}

private:
    QComboBox* choice_;
    QPushButton* setColor_;
    bool refreshing_ = false;
};

}  // namespace vantrel
