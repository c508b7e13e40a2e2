#include "app/dialogs/InBetweenDialogs.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "app/DibImage.h"
#include "app/dialogs/DialogSupport.h"
#include "view/FrameList.h"

namespace vantrel {

namespace {

// Longest side of the preview picture.
constexpr int kPreviewSide = 240;

QSpinBox* NewFramesBox(QWidget* parent, int value, int most) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QStringLiteral("frames"));
    box->setRange(1, most);
    box->setValue(std::clamp(value, 1, most));
    return box;
}

class TransitionDialog final : public CheckedDialog {
public:
    TransitionDialog(QWidget* parent, const TransitionRequest& request) : CheckedDialog(parent), request_(request) {
        setWindowTitle(QString::fromUtf8(TransitionTitle(request.kind).data(),
                                         qsizetype(TransitionTitle(request.kind).size())));
        frames_ = NewFramesBox(this, request.values.frames, kMaxTransitionFrames);
        seconds_ = new QLineEdit(QString::fromStdString(SecondsText(request.values.duration)), this);
        seconds_->setObjectName(QStringLiteral("seconds"));
        preview_ = new QLabel(this);
        preview_->setObjectName(QStringLiteral("preview"));
        preview_->setAlignment(Qt::AlignCenter);
        preview_->setMinimumSize(kPreviewSide / 2, kPreviewSide / 4);
        auto* form = new QFormLayout;
        form->addRow(QStringLiteral("Number of frames:"), frames_);
        form->addRow(QStringLiteral("Duration of each frame (seconds):"), seconds_);
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(form);
        layout->addWidget(new QLabel(QStringLiteral("Middle frame:"), this));
        layout->addWidget(preview_);
        layout->addWidget(OkCancelButtons(this));
        connect(frames_, &QSpinBox::valueChanged, this, [this] { ShowPreview(); });
        ShowPreview();
        FocusAndSelect(seconds_);
    }
    TransitionValues chosen;

private:
    // The middle one of the frames the transition would make, scaled to fit.
    void ShowPreview() {
        if (request_.first == nullptr || request_.second == nullptr) return;
        const int steps = frames_->value();
        PackedDib middle;
        if (!MakeTransitionPicture(*request_.first, *request_.second, request_.kind, (steps + 1) / 2, steps, middle))
            return;
        QImage picture = ToQImage(middle);
        if (picture.width() > kPreviewSide || picture.height() > kPreviewSide)
            picture = picture.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        preview_->setPixmap(QPixmap::fromImage(picture));
    }

    bool Check() override {
        const FieldCheck<std::uint32_t> duration = ParseDurationText(seconds_->text().toStdString());
        if (!duration) return FieldFailed(this, seconds_, duration.message);
        chosen = {frames_->value(), *duration.value};
        return true;
    }

    TransitionRequest request_;
    QSpinBox* frames_;
    QLineEdit* seconds_;
    QLabel* preview_;
};

struct EasingChoice {
    Easing easing;
    const char* text;
};

constexpr EasingChoice kEasingChoices[] = {
    {Easing::Linear, "Linear"}, {Easing::In, "Ease In"}, {Easing::Out, "Ease Out"}, {Easing::InOut, "Ease In-Out"}};

class TweenDialog final : public CheckedDialog {
public:
    TweenDialog(QWidget* parent, const TweenValues& values) : CheckedDialog(parent) {
        setWindowTitle(QStringLiteral("Tween to Next Frame"));
        frames_ = NewFramesBox(this, values.frames, kMaxTweenFrames);
        easing_ = new QComboBox(this);
        easing_->setObjectName(QStringLiteral("easing"));
        for (const EasingChoice& choice : kEasingChoices) {
            easing_->addItem(QString::fromLatin1(choice.text));
            if (choice.easing == values.easing) easing_->setCurrentIndex(easing_->count() - 1);
        }
        auto* form = new QFormLayout;
        form->addRow(QStringLiteral("Number of frames:"), frames_);
        form->addRow(QStringLiteral("Easing:"), easing_);
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(form);
        layout->addWidget(OkCancelButtons(this));
        frames_->setFocus();
        frames_->selectAll();
    }
    TweenValues chosen;

private:
    bool Check() override {
        chosen = {frames_->value(), kEasingChoices[std::clamp(easing_->currentIndex(), 0, 3)].easing};
        return true;
    }
    QSpinBox* frames_;
    QComboBox* easing_;
};

}  // namespace

std::optional<TransitionValues> AskTransition(QWidget* parent, const TransitionRequest& request) {
    return RunChecked<TransitionDialog>(parent, request);
}

std::optional<TweenValues> AskTween(QWidget* parent, const TweenValues& values) {
    return RunChecked<TweenDialog>(parent, values);
}

}  // namespace vantrel
