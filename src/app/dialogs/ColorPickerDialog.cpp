#include "app/dialogs/ColorPickerDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/dialogs/ColorWidgets.h"
#include "app/dialogs/HexColorDialog.h"

namespace vantrel {

namespace {

// A number box that takes digits only and brings a typed value above its
// maximum down to the maximum, instead of refusing the keystroke.
class ClampingSpinBox final : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString& text, int& /*pos*/) const override {
        if (text.isEmpty()) return QValidator::Intermediate;
        for (const QChar c : text)
            if (!c.isDigit()) return QValidator::Invalid;
        return QValidator::Acceptable;
    }
    int valueFromText(const QString& text) const override {
        // More digits than any range here holds: the maximum.
        if (text.size() > 6) return maximum();
        return std::clamp(text.toInt(), minimum(), maximum());
    }
};

QString ToolTipOf(PixelValue color) {
    return QStringLiteral("#%1, %2% opacity")
        .arg(QString::fromStdString(HexTextOf(color)))
        .arg(OpacityPercentOf(color));
}

}  // namespace

ColorPickerDialog::ColorPickerDialog(const ColorPickRequest& request, QWidget* parent)
    : CheckedDialog(parent), state_(request.initial) {
    setWindowTitle(QString::fromStdString(request.title));

    wheel_ = new CColorWheel(CColorWheel::Mode::Wheel, this);
    wheel_->setObjectName(QStringLiteral("wheel"));
    strip_ = new CColorWheel(CColorWheel::Mode::Strip, this);
    strip_->setObjectName(QStringLiteral("strip"));
    connect(wheel_, &CColorWheel::picked, this, [this] {
        if (state_.SetHueSaturation(wheel_->Picked())) ShowState(From::Wheel);
    });
    connect(strip_, &CColorWheel::picked, this, [this] {
        if (state_.SetValue(strip_->PickedValue())) ShowState(From::Strip);
    });
    auto* picker = new QGroupBox(QStringLiteral("Color Picker"), this);
    auto* pickerLayout = new QHBoxLayout(picker);
    pickerLayout->addWidget(wheel_);
    pickerLayout->addSpacing(16);
    pickerLayout->addWidget(strip_);

    MakeRow(kRed, QStringLiteral("Red"), QStringLiteral("red"), 255);
    MakeRow(kGreen, QStringLiteral("Green"), QStringLiteral("green"), 255);
    MakeRow(kBlue, QStringLiteral("Blue"), QStringLiteral("blue"), 255);
    MakeRow(kOpacity, QStringLiteral("Opacity"), QStringLiteral("opacity"), 100);
    auto* channels = new QGridLayout;
    for (int r = kRed; r <= kBlue; ++r) {
        channels->addWidget(rows_[r].label, 2 * r, 0);
        channels->addWidget(rows_[r].slider, 2 * r + 1, 0);
        channels->addWidget(rows_[r].box, 2 * r, 1, 2, 1, Qt::AlignBottom);
    }

    auto* left = new QVBoxLayout;
    left->addWidget(picker);
    left->addLayout(channels);
    left->addWidget(MakeRecentColors(request.recent));
    left->addStretch(1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    predefined_ = new QComboBox(this);
    predefined_->setObjectName(QStringLiteral("predefined"));
    const qreal dpr = devicePixelRatioF();
    for (const NamedColor& named : PredefinedColors())
        predefined_->addItem(QIcon(CheckerPixmap(named.value, QSize(14, 14), 4, dpr)), QString::fromLatin1(named.name));
    predefined_->setCurrentIndex(-1);
    predefined_->setPlaceholderText(QStringLiteral("Choose..."));
    connect(predefined_, &QComboBox::activated, this, [this](int index) {
        if (index < 0 || index >= static_cast<int>(PredefinedColors().size())) return;
        state_.SetColor(PredefinedColors()[static_cast<std::size_t>(index)].value);
        ShowState();
    });

    auto* opacity = new QHBoxLayout;
    opacity->addWidget(rows_[kOpacity].slider, 1);
    opacity->addWidget(rows_[kOpacity].box);

    swatch_ = new CColorSwatch(request.initial, this);
    swatch_->setObjectName(QStringLiteral("swatch"));
    swatch_->setFixedSize(98, 84);

    hexButton_ = new QPushButton(this);
    hexButton_->setObjectName(QStringLiteral("hexButton"));
    connect(hexButton_, &QPushButton::clicked, this, &ColorPickerDialog::OnHexButton);

    auto* right = new QVBoxLayout;
    right->addWidget(ok);
    right->addWidget(cancel);
    right->addSpacing(10);
    right->addWidget(new QLabel(QStringLiteral("Predefined Colors"), this));
    right->addWidget(predefined_);
    right->addSpacing(6);
    right->addWidget(rows_[kOpacity].label);
    right->addLayout(opacity);
    right->addSpacing(6);
    right->addWidget(new QLabel(QStringLiteral("Current Color"), this));
    right->addWidget(swatch_);
    right->addWidget(new QLabel(QStringLiteral("New Color"), this));
    right->addStretch(1);
    right->addWidget(hexButton_);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addSpacing(8);
    layout->addLayout(right);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (request.noOpacity) {
        rows_[kOpacity].label->setEnabled(false);
        rows_[kOpacity].slider->setEnabled(false);
        rows_[kOpacity].box->setEnabled(false);
    }
    ShowState();
}

void ColorPickerDialog::MakeRow(int index, const QString& name, const QString& objectName, int maximum) {
    Row& row = rows_[static_cast<std::size_t>(index)];
    row.label = new QLabel(name, this);
    row.slider = new QSlider(Qt::Horizontal, this);
    row.slider->setObjectName(objectName + QStringLiteral("Slider"));
    row.slider->setRange(0, maximum);
    row.slider->setTickPosition(QSlider::NoTicks);
    row.slider->setMinimumWidth(maximum > 100 ? 200 : 80);
    row.box = new ClampingSpinBox(this);
    row.box->setObjectName(objectName);
    row.box->setRange(0, maximum);
    row.label->setBuddy(row.box);
    connect(row.slider, &QSlider::valueChanged, this, [this, index](int value) { OnRowChanged(index, value); });
    connect(row.box, &QSpinBox::valueChanged, this, [this, index](int value) { OnRowChanged(index, value); });
}

QWidget* ColorPickerDialog::MakeRecentColors(const std::vector<PixelValue>& recent) {
    auto* box = new QWidget(this);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Recent Colors"), box));
    const qreal dpr = devicePixelRatioF();
    for (std::size_t i = 0; i < recent.size() && i < RecentColors::kCapacity; ++i) {
        const PixelValue color = recent[i];
        auto* button = new QToolButton(box);
        button->setObjectName(QStringLiteral("recent%1").arg(i));
        button->setIconSize(QSize(18, 18));
        button->setIcon(QIcon(CheckerPixmap(color, QSize(18, 18), 4, dpr)));
        button->setToolTip(ToolTipOf(color));
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, [this, color] {
            state_.SetColor(color);
            ShowState();
        });
        layout->addWidget(button);
    }
    layout->addStretch(1);
    box->setVisible(!recent.empty());
    return box;
}

void ColorPickerDialog::OnRowChanged(int row, int value) {
    const bool changed = row == kOpacity ? state_.SetOpacity(value)
                                         : state_.SetChannel(static_cast<ColorPickerState::Channel>(row), value);
    if (changed) ShowState();
}

void ColorPickerDialog::ShowState(From from) {
    const int values[] = {state_.Red(), state_.Green(), state_.Blue(), state_.Opacity()};
    for (int r = kRed; r <= kOpacity; ++r) {
        const QSignalBlocker sliderBlock(rows_[r].slider);
        const QSignalBlocker boxBlock(rows_[r].box);
        rows_[r].slider->setValue(values[r]);
        if (rows_[r].box->value() != values[r] || rows_[r].box->text() != QString::number(values[r]))
            rows_[r].box->setValue(values[r]);
    }
    hexButton_->setText(QStringLiteral("#") + QString::fromStdString(state_.HexText()));
    if (from != From::Wheel) wheel_->ShowColor(state_.HueSatValue());
    if (from != From::Strip) strip_->ShowColor(state_.HueSatValue());
    else strip_->update();
    swatch_->SetNewColor(state_.Color());
    swatch_->setToolTip(ToolTipOf(state_.Color()));
}

void ColorPickerDialog::OnHexButton() {
    const std::optional<std::string> typed = RunChecked<HexColorDialog>(state_.HexText(), this);
    if (typed && state_.ApplyHex(*typed)) ShowState();
}

bool ColorPickerDialog::Check() {
    chosen = state_.Color();
    return true;
}

}  // namespace vantrel
