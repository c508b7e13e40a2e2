#include "app/dialogs/FrameDurationDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/dialogs/DialogSupport.h"
#include "view/FrameList.h"

namespace vantrel {

namespace {

class FrameDurationDialog final : public CheckedDialog {
public:
    FrameDurationDialog(QWidget* parent, std::uint32_t hundredths) : CheckedDialog(parent) {
        setWindowTitle(QStringLiteral("Frame Duration"));
        seconds_ = new QLineEdit(QString::fromStdString(SecondsText(hundredths)), this);
        seconds_->setObjectName(QStringLiteral("seconds"));
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("Frame Duration Time:"), this));
        row->addWidget(seconds_);
        row->addWidget(new QLabel(QStringLiteral("second(s)"), this));
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(row);
        layout->addWidget(OkCancelButtons(this));
        FocusAndSelect(seconds_);
    }
    std::uint32_t chosen = 0;

private:
    bool Check() override {
        const FieldCheck<std::uint32_t> duration = ParseDurationText(seconds_->text().toStdString());
        if (!duration) return FieldFailed(this, seconds_, duration.message);
        chosen = *duration.value;
        return true;
    }
    QLineEdit* seconds_;
};

}  // namespace

std::optional<std::uint32_t> AskFrameDuration(QWidget* parent, std::uint32_t hundredths) {
    return RunChecked<FrameDurationDialog>(parent, hundredths);
}

}  // namespace vantrel
