#pragma once
// The colour picker: a hue/saturation wheel and a value strip, sliders with
// number boxes for red, green, blue and opacity, the predefined colours, the
// document's recent colours, a hexadecimal entry, and a swatch of the colour
// it opened with above the colour being chosen, both over a checkerboard.
// Every reaction goes through ColorPickerState; this class only shows it.

#include <array>

#include "app/dialogs/DialogSupport.h"

#include "view/ColorModel.h"
#include "view/ViewDialogs.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace vantrel {

class CColorSwatch;
class CColorWheel;

// Runs with RunChecked<ColorPickerDialog>(request, parent): the chosen
// colour, or nothing when cancelled.
class ColorPickerDialog : public CheckedDialog {
    Q_OBJECT
public:
    explicit ColorPickerDialog(const ColorPickRequest& request, QWidget* parent = nullptr);

    // The colour chosen so far (the initial colour until a control changes it).
    PixelValue Color() const { return state_.Color(); }
    const ColorPickerState& State() const { return state_; }

    PixelValue chosen = 0;

protected:
    bool Check() override;

private:
    // One slider with its number box and spin arrows.
    struct Row {
        QLabel* label = nullptr;
        QSlider* slider = nullptr;
        QSpinBox* box = nullptr;
    };
    enum class From { Control, Wheel, Strip };
    enum RowIndex { kRed, kGreen, kBlue, kOpacity };

    void MakeRow(int index, const QString& name, const QString& objectName, int maximum);
    QWidget* MakeRecentColors(const std::vector<PixelValue>& recent);
    void OnRowChanged(int row, int value);
    // Shows the state in every control; the wheel or strip that picked keeps its marker.
    void ShowState(From from = From::Control);
    void OnHexButton();

    ColorPickerState state_;
    CColorWheel* wheel_ = nullptr;
    CColorWheel* strip_ = nullptr;
    CColorSwatch* swatch_ = nullptr;
    std::array<Row, 4> rows_;
    QComboBox* predefined_ = nullptr;
    QPushButton* hexButton_ = nullptr;
};

}  // namespace vantrel
