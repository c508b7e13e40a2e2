#include "app/dialogs/FrameSetupDialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/dialogs/DialogSupport.h"
#include "document/WorkArea.h"
#include "view/FieldChecks.h"

namespace vantrel {

namespace {

class FrameSetupDialog final : public CheckedDialog {
public:
    FrameSetupDialog(QWidget* parent, Size canvas) : CheckedDialog(parent) {
        setWindowTitle(QStringLiteral("Frame Setup"));
        auto* group = new QGroupBox(QStringLiteral("Frame Size"), this);
        auto* form = new QFormLayout(group);
        width_ = NewDigitsEdit(group, QString::number(canvas.width));
        height_ = NewDigitsEdit(group, QString::number(canvas.height));
        width_->setObjectName(QStringLiteral("width"));
        height_->setObjectName(QStringLiteral("height"));
        form->addRow(QStringLiteral("Width:"), width_);
        form->addRow(QStringLiteral("Height:"), height_);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(group);
        layout->addWidget(OkCancelButtons(this));
        FocusAndSelect(width_);
    }
    Size chosen;

private:
    bool Check() override {
        // Height first, then width.
        const auto height = CheckUnsignedField(height_->text().toStdString(), 1, kWorkAreaSize);
        if (!height) return FieldFailed(this, height_, height.message);
        const auto width = CheckUnsignedField(width_->text().toStdString(), 1, kWorkAreaSize);
        if (!width) return FieldFailed(this, width_, width.message);
        chosen = {int(*width.value), int(*height.value)};
        return true;
    }
    QLineEdit* width_;
    QLineEdit* height_;
};

}  // namespace

std::optional<Size> AskFrameSetup(QWidget* parent, Size canvas) {
    return RunChecked<FrameSetupDialog>(parent, canvas);
}

}  // namespace vantrel
