#include "app/dialogs/EffectDialog.h"

#include <QColorDialog>
#include <QFormLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/DibImage.h"
#include "app/dialogs/DialogSupport.h"

namespace vantrel {

namespace {

constexpr int kPreviewSide = 200;

class EffectDialog final : public CheckedDialog {
public:
    EffectDialog(QWidget* parent, const EffectRequest& request)
        : CheckedDialog(parent), chosen(LimitedSettings(request.settings)), sample_(request.sample) {
        const std::string_view title = EffectTitle(chosen.kind);
        setWindowTitle(QString::fromUtf8(title.data(), qsizetype(title.size())));
        auto* form = new QFormLayout;
        switch (chosen.kind) {
        case EffectKind::BrightnessContrast:
            form->addRow(QStringLiteral("Brightness:"),
                         Number("brightness", -kMaxEffectLevel, kMaxEffectLevel, &EffectSettings::brightness));
            form->addRow(QStringLiteral("Contrast:"),
                         Number("contrast", -kMaxEffectLevel, kMaxEffectLevel, &EffectSettings::contrast));
            break;
        case EffectKind::Blur:
            form->addRow(QStringLiteral("Radius:"), Number("radius", 1, kMaxBlurRadius, &EffectSettings::radius));
            break;
        case EffectKind::DropShadow:
            form->addRow(QStringLiteral("Offset right:"), Offset("offsetX", &Point::x));
            form->addRow(QStringLiteral("Offset down:"), Offset("offsetY", &Point::y));
            form->addRow(QStringLiteral("Softness:"),
                         Number("softness", 0, kMaxShadowSoftness, &EffectSettings::softness));
            form->addRow(QStringLiteral("Colour:"), ColourButton());
            break;
        case EffectKind::Outline:
            form->addRow(QStringLiteral("Width:"), Number("width", 1, kMaxOutlineWidth, &EffectSettings::width));
            form->addRow(QStringLiteral("Colour:"), ColourButton());
            break;
        default: break;
        }
        preview_ = new QLabel(this);
        preview_->setObjectName(QStringLiteral("preview"));
        preview_->setAlignment(Qt::AlignCenter);
        preview_->setMinimumSize(kPreviewSide / 2, kPreviewSide / 4);
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(form);
        layout->addWidget(preview_);
        layout->addWidget(OkCancelButtons(this));
        ShowPreview();
    }
    EffectSettings chosen;

private:
    // A spin box for one whole-number field of the settings, previewed as it changes.
    QSpinBox* Number(const char* name, int low, int high, int EffectSettings::*field) {
        auto* box = NewBox(name, low, high, chosen.*field);
        connect(box, &QSpinBox::valueChanged, this, [this, field](int value) {
            chosen.*field = value;
            ShowPreview();
        });
        return box;
    }
    QSpinBox* Offset(const char* name, int Point::*axis) {
        auto* box = NewBox(name, -kMaxShadowOffset, kMaxShadowOffset, chosen.offset.*axis);
        connect(box, &QSpinBox::valueChanged, this, [this, axis](int value) {
            chosen.offset.*axis = value;
            ShowPreview();
        });
        return box;
    }
    QSpinBox* NewBox(const char* name, int low, int high, int value) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(low, high);
        box->setValue(value);
        return box;
    }
    QPushButton* ColourButton() {
        auto* button = new QPushButton(this);
        button->setObjectName(QStringLiteral("colour"));
        auto show = [this, button] {
            QPixmap swatch(24, 12);
            swatch.fill(QColor(RedOf(chosen.color), GreenOf(chosen.color), BlueOf(chosen.color)));
            button->setIcon(QIcon(swatch));
        };
        show();
        connect(button, &QPushButton::clicked, this, [this, show] {
            const QColor picked = QColorDialog::getColor(
                QColor(RedOf(chosen.color), GreenOf(chosen.color), BlueOf(chosen.color)), this);
            if (!picked.isValid()) return;
            chosen.color = MakePixel(std::uint8_t(picked.red()), std::uint8_t(picked.green()), std::uint8_t(picked.blue()));
            show();
            ShowPreview();
        });
        return button;
    }

    // The sample with the effect as it is set now, scaled to fit.
    void ShowPreview() {
        if (sample_ == nullptr) return;
        const std::optional<EffectResult> result = ApplyEffect(*sample_, chosen);
        if (!result) return;
        QImage picture = ToQImageWithAlpha(result->picture);
        if (picture.width() > kPreviewSide || picture.height() > kPreviewSide)
            picture = picture.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        preview_->setPixmap(QPixmap::fromImage(picture));
    }

    bool Check() override { return true; }

    const PackedDib* sample_;
    QLabel* preview_ = nullptr;
};

}  // namespace

std::optional<EffectSettings> AskEffect(QWidget* parent, const EffectRequest& request) {
    return RunChecked<EffectDialog>(parent, request);
}

}  // namespace vantrel
