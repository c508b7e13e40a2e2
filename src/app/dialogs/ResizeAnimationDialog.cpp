#include "app/dialogs/ResizeAnimationDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/dialogs/DialogSupport.h"
#include "document/WorkArea.h"

namespace vantrel {

namespace {

// Widths offered: up to ten times the largest canvas, so that a width the
// document cannot take is refused with the reason rather than cut short.
constexpr int kMaxWidthOffered = 10 * kWorkAreaSize;

class ResizeAnimationDialog final : public CheckedDialog {
public:
    ResizeAnimationDialog(QWidget* parent, const ResizeAnimationValues& values)
        : CheckedDialog(parent), canvas_(values.size) {
        setWindowTitle(QStringLiteral("Resize Animation"));
        byPercent_ = new QRadioButton(QStringLiteral("By percentage:"), this);
        toWidth_ = new QRadioButton(QStringLiteral("To width:"), this);
        percent_ = NewBox("percent", 1, kMaxResizePercent, 100, QStringLiteral(" %"));
        width_ = NewBox("width", 1, kMaxWidthOffered, canvas_.width, QStringLiteral(" pixels"));
        result_ = new QLabel(this);
        result_->setObjectName(QStringLiteral("result"));
        smooth_ = new QCheckBox(QStringLiteral("Smooth resampling (bitmaps)"), this);
        smooth_->setObjectName(QStringLiteral("smooth"));
        smooth_->setChecked(values.resampling == ResampleMode::Smooth);
        auto* grid = new QGridLayout;
        grid->addWidget(byPercent_, 0, 0);
        grid->addWidget(percent_, 0, 1);
        grid->addWidget(toWidth_, 1, 0);
        grid->addWidget(width_, 1, 1);
        auto* note = new QLabel(QStringLiteral("Every frame and every item is scaled and the proportions are kept. "
                                               "Labels stay text with a scaled font."),
                                this);
        note->setWordWrap(true);
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(grid);
        layout->addWidget(result_);
        layout->addWidget(smooth_);
        layout->addWidget(note);
        layout->addWidget(OkCancelButtons(this));

        byPercent_->setChecked(true);
        for (QRadioButton* choice : {byPercent_, toWidth_})
            connect(choice, &QRadioButton::toggled, this, [this] { Refresh(); });
        for (QSpinBox* box : {percent_, width_})
            connect(box, &QSpinBox::valueChanged, this, [this] { Refresh(); });
        Refresh();
        percent_->setFocus();
        percent_->selectAll();
    }
    ResizeAnimationValues chosen;

private:
    QSpinBox* NewBox(const char* name, int low, int high, int value, const QString& suffix) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QLatin1String(name));
        box->setRange(low, high);
        box->setValue(value);
        box->setSuffix(suffix);
        return box;
    }
    AnimationSize Result() const {
        return byPercent_->isChecked() ? ScaledCanvas(canvas_, percent_->value()) : CanvasAtWidth(canvas_, width_->value());
    }
    void Refresh() {
        percent_->setEnabled(byPercent_->isChecked());
        width_->setEnabled(toWidth_->isChecked());
        const AnimationSize size = Result();
        result_->setText(QStringLiteral("%1 x %2 pixels become %3 x %4 pixels.")
                             .arg(canvas_.width)
                             .arg(canvas_.height)
                             .arg(size.width)
                             .arg(size.height));
    }
    bool Check() override {
        chosen = {Result(), smooth_->isChecked() ? ResampleMode::Smooth : ResampleMode::Sharp};
        return true;
    }

    AnimationSize canvas_;
    QRadioButton* byPercent_;
    QRadioButton* toWidth_;
    QSpinBox* percent_;
    QSpinBox* width_;
    QLabel* result_;
    QCheckBox* smooth_;
};

}  // namespace

std::optional<ResizeAnimationValues> AskResizeAnimation(QWidget* parent, const ResizeAnimationValues& values) {
    return RunChecked<ResizeAnimationDialog>(parent, values);
}

}  // namespace vantrel
