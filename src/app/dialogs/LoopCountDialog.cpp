#include "app/dialogs/LoopCountDialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/DialogSupport.h"
#include "document/Animation.h"
#include "view/FieldChecks.h"

namespace vantrel {

namespace {

class LoopCountDialog final : public CheckedDialog {
public:
    LoopCountDialog(QWidget* parent, std::uint32_t loopCount) : CheckedDialog(parent) {
        setWindowTitle(QStringLiteral("Animation Loop Count"));
        auto* group = new QGroupBox(QStringLiteral("Number of Iterations"), this);
        infinite_ = new QRadioButton(QStringLiteral("Play infinite"), group);
        play_ = new QRadioButton(QStringLiteral("Play"), group);
        count_ = NewDigitsEdit(group, QString::number(loopCount));
        count_->setObjectName(QStringLiteral("count"));
        auto* grid = new QGridLayout(group);
        grid->addWidget(infinite_, 0, 0, 1, 3);
        grid->addWidget(play_, 1, 0);
        grid->addWidget(count_, 1, 1);
        grid->addWidget(new QLabel(QStringLiteral("time(s)"), group), 1, 2);
        auto* note = new QLabel(QStringLiteral("The number of plays in all. A GIF file stores the repetitions "
                                               "after the first play (plays - 1): one play writes no looping "
                                               "block, \"Play infinite\" writes 0."),
                                this);
        note->setWordWrap(true);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(group);
        layout->addWidget(note);
        layout->addWidget(OkCancelButtons(this));

        (loopCount > 0 ? play_ : infinite_)->setChecked(true);
        count_->setEnabled(loopCount > 0);
        connect(infinite_, &QRadioButton::clicked, this, [this] {
            count_->setEnabled(false);
            count_->setText(QStringLiteral("0"));
        });
        connect(play_, &QRadioButton::clicked, this, [this] {
            count_->setEnabled(true);
            count_->setText(QStringLiteral("1"));
        });
    }
    std::uint32_t chosen = 0;

private:
    bool Check() override {
        // The disabled edit still counts: "Play infinite" reads its "0".
        const auto count = CheckUnsignedField(count_->text().toStdString(), 0, kMaxLoopCount);
        if (!count) return FieldFailed(this, count_, count.message);
        chosen = std::uint32_t(*count.value);
        return true;
    }
    QRadioButton* infinite_;
    QRadioButton* play_;
    QLineEdit* count_;
};

}  // namespace

std::optional<std::uint32_t> AskLoopCount(QWidget* parent, std::uint32_t loopCount) {
    return RunChecked<LoopCountDialog>(parent, loopCount);
}

}  // namespace vantrel
