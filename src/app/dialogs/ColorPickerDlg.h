#pragma once
// The colour picker: a hue/saturation wheel and a value strip, sliders with
// number boxes for red, green, blue and opacity, the predefined colours, the
// document's recent colours, a hexadecimal entry, and a swatch of the colour
// it opened with above the colour being chosen, both over a checkerboard.
// Every reaction goes through ColorPickerState; this class only shows it.

#include <QDialog>
#include <array>
#include <optional>

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

class CColorPickerDlg : public QDialog {
    Q_OBJECT
public:
    explicit CColorPickerDlg(const ColorPickRequest& request, QWidget* parent = nullptr);

    // The colour chosen so far (the initial colour until a control changes it).
    PixelValue Color() const { return state_.Color(); }
    const ColorPickerState& State() const { return state_; }

    // Runs the picker modally: the chosen colour, or nothing when cancelled.
    static std::optional<PixelValue> Pick(QWidget* parent, const ColorPickRequest& request);

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
