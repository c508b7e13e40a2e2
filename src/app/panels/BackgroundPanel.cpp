#include "app/panels/BackgroundPanel.h"

#include <QComboBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/AnimFrame.h"
#include "document/CQVDoc.h"
#include "edit/FrameCommands.h"
#include "view/FrameList.h"

namespace vantrel {

BackgroundPanel::BackgroundPanel(QWidget* parent) : DocumentPanel(parent) {
    choice_ = new QComboBox(this);
    choice_->setObjectName(QStringLiteral("background"));
    setColor_ = new QPushButton(QStringLiteral("Set Color"), this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addWidget(choice_);
    layout->addWidget(setColor_, 0, Qt::AlignRight);
    connect(setColor_, &QPushButton::clicked, this, &BackgroundPanel::setColorRequested);
    connect(choice_, &QComboBox::activated, this, [this](int index) {
        AnimFrame* frame = CurrentFrameObject();
        if (refreshing_ || frame == nullptr) return;
        const ObjectUid background = choice_->itemData(index).toULongLong();
        Document()->Execute(MakeBackgroundFrameCommand(frame->Uid(), background));
    });
    Refresh();
}

void BackgroundPanel::Refresh() {
    refreshing_ = true;
    choice_->clear();
    const AnimFrame* frame = CurrentFrameObject();
    choice_->setEnabled(frame != nullptr);
    setColor_->setEnabled(frame != nullptr);
    if (frame != nullptr) {
        const BackgroundChoices choices = BackgroundChoicesFor(Document()->GetAnimation(), *frame);
        for (const FrameEntry& entry : choices.entries)
            choice_->addItem(QString::fromStdString(entry.text), QVariant::fromValue<qulonglong>(entry.frame));
        choice_->setCurrentIndex(choices.selected);
    }
    refreshing_ = false;
}

}  // namespace vantrel
