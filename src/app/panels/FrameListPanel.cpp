#include "app/panels/FrameListPanel.h"

#include <QDropEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

#include "app/DibImage.h"
#include "app/Prompts.h"
#include "document/AnimFrame.h"
#include "document/CQVDoc.h"
#include "edit/FrameCommands.h"
#include "edit/FrameRangeCommands.h"
#include "view/FrameList.h"

namespace vantrel {

namespace {

constexpr int kUidRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;

}  // namespace

void FrameListWidget::dropEvent(QDropEvent* event) {
    QListWidgetItem* moving = currentItem();
    if (event->source() != this || moving == nullptr) {
        event->ignore();
        return;
    }
    const QModelIndex target = indexAt(event->position().toPoint());
    int gap = count();
    if (target.isValid()) {
        gap = target.row();
        if (dropIndicatorPosition() == QAbstractItemView::BelowItem) ++gap;
    }
    // The frames move through the history; the list is rebuilt from them.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    emit entryDropped(row(moving), gap);
}

FrameListPanel::FrameListPanel(QWidget* parent) : DocumentPanel(parent) {
    duration_ = new QLineEdit(this);
    duration_->setObjectName(QStringLiteral("duration"));
    duration_->setMaximumWidth(60);
    new_ = new QPushButton(QStringLiteral("New"), this);
    list_ = new FrameListWidget(this);
    list_->setObjectName(QStringLiteral("frames"));
    list_->setIconSize(ThumbnailSize());
    list_->setDragDropMode(QAbstractItemView::InternalMove);
    list_->setDefaultDropAction(Qt::MoveAction);
    // Shift- and Ctrl-click choose several frames for the frame commands.
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(3, 3, 3, 3);
    grid->addWidget(new QLabel(QStringLiteral("Duration:"), this), 0, 0);
    grid->addWidget(duration_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("s."), this), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Frames:"), this), 1, 0);
    grid->addWidget(new_, 1, 1, 1, 2);
    grid->addWidget(list_, 2, 0, 1, 3);

    connect(new_, &QPushButton::clicked, this, &FrameListPanel::newFrameRequested);
    connect(duration_, &QLineEdit::editingFinished, this, &FrameListPanel::DurationEntered);
    connect(list_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (refreshing_ || item == nullptr) return;
        emit frameChosen(item->data(kUidRole).toULongLong());
    });
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        if (refreshing_) return;
        selected_.clear();
        std::vector<ObjectUid> all;
        for (int i = 0; i < list_->count(); ++i) {
            all.push_back(list_->item(i)->data(kUidRole).toULongLong());
            if (list_->item(i)->isSelected()) selected_.push_back(all.back());
        }
        emit framesChosen(QList<quint64>(selected_.begin(), selected_.end()));
        // A Ctrl-click that takes the current frame out of the selection
        // shows a frame that stays in it: the frame commands act on what is selected.
        const ObjectUid current = list_->currentItem() ? list_->currentItem()->data(kUidRole).toULongLong() : 0;
        const ObjectUid shown = CurrentAmongChosen(all, selected_, current);
        if (shown != current) {
            refreshing_ = true;
            list_->setCurrentItem(list_->item(int(std::find(all.begin(), all.end(), shown) - all.begin())),
                                  QItemSelectionModel::NoUpdate);
            refreshing_ = false;
            emit frameChosen(shown);
        }
    });
    connect(list_, &FrameListWidget::entryDropped, this, [this](int from, int gap) {
        QListWidgetItem* item = list_->item(from);
        if (item == nullptr || Document() == nullptr) return;
        // A frame of the selection takes the whole selection along.
        const ObjectUid dragged = item->data(kUidRole).toULongLong();
        const std::vector<ObjectUid> frames = ChosenOrCurrent(Document()->GetAnimation(), selected_, dragged);
        MoveFrames(*Document(), frames, std::size_t(gap));
        RefreshNow();
    });
    Refresh();
}

void FrameListPanel::MoveFrame(ObjectUid frame, std::size_t index) {
    if (Document() == nullptr) return;
    Document()->Execute(std::make_unique<MoveFrameCommand>("Move Frame", frame, index));
    RefreshNow();
}

QIcon FrameListPanel::Thumbnail(const AnimFrame& frame) const {
    const QSize box = ThumbnailSize();
    QPixmap picture(box);
    picture.fill(palette().color(QPalette::Base));
    const QImage image = ToQImage(frame.Image());
    if (!image.isNull()) {
        const QImage scaled = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QPainter painter(&picture);
        painter.drawImage((box.width() - scaled.width()) / 2, (box.height() - scaled.height()) / 2, scaled);
    }
    return QIcon(picture);
}

void FrameListPanel::Refresh() {
    refreshing_ = true;
    list_->clear();
    CQVDoc* doc = Document();
    list_->setEnabled(doc != nullptr);
    ShowCurrentDuration();
    new_->setEnabled(doc != nullptr);
    if (doc != nullptr) {
        const Animation& animation = doc->GetAnimation();
        for (const FrameEntry& entry : FrameEntries(animation)) {
            const QString name = QString::fromStdString(entry.text);
            auto* item = new QListWidgetItem(name + QStringLiteral("\n") +
                                             QString::fromStdString(SecondsText(entry.duration)) +
                                             QStringLiteral(" s"));
            item->setData(kUidRole, QVariant::fromValue<qulonglong>(entry.frame));
            item->setData(kNameRole, name);
            if (const AnimFrame* frame = animation.FindFrameByUid(entry.frame)) item->setIcon(Thumbnail(*frame));
            list_->addItem(item);
            if (entry.frame == CurrentFrame()) list_->setCurrentItem(item);
            if (std::find(selected_.begin(), selected_.end(), entry.frame) != selected_.end()) item->setSelected(true);
        }
    }
    refreshing_ = false;
}

void FrameListPanel::ShowCurrentDuration() {
    const AnimFrame* current = CurrentFrameObject();
    duration_->setEnabled(current != nullptr && !current->isMaster);
    duration_->setText(current != nullptr ? QString::fromStdString(SecondsText(current->duration)) : QString());
}

void FrameListPanel::CurrentFrameChanged() {
    if (RefreshPending()) return;  // the refresh selects it
    QListWidgetItem* shown = nullptr;
    for (int i = 0; i < list_->count() && shown == nullptr; ++i) {
        QListWidgetItem* item = list_->item(i);
        if (item->data(kUidRole).toULongLong() == CurrentFrame()) shown = item;
    }
    if (shown == nullptr) {
        ScheduleRefresh();
        return;
    }
    refreshing_ = true;
    // A frame of the selection becomes current without ending the selection
    // (nor does a click that just took the current frame out of it).
    if (list_->currentItem() != shown) {
        if (shown->isSelected())
            list_->setCurrentItem(shown, QItemSelectionModel::NoUpdate);
        else
            list_->setCurrentItem(shown);
    }
    list_->scrollToItem(shown);
    refreshing_ = false;
    ShowCurrentDuration();
}

void FrameListPanel::PictureChanged(AnimFrame& frame) {
    for (int i = 0; i < list_->count(); ++i) {
        QListWidgetItem* item = list_->item(i);
        if (item->data(kUidRole).toULongLong() == frame.Uid()) item->setIcon(Thumbnail(frame));
    }
}

std::vector<ObjectUid> FrameListPanel::SelectedFrames() const {
    return ChosenOrCurrent(Document()->GetAnimation(), selected_, CurrentFrame());
}

void FrameListPanel::DurationEntered() {
    AnimFrame* frame = CurrentFrameObject();
    if (frame == nullptr || checkingDuration_) return;
    const QString shown = QString::fromStdString(SecondsText(frame->duration));
    if (duration_->text() == shown) return;
    const FieldCheck<std::uint32_t> duration = ParseDurationText(duration_->text().toStdString());
    if (!duration) {
        // The message box takes the focus, which would finish the edit again.
        checkingDuration_ = true;
        ShowMessageBox(this, QString::fromStdString(duration.message), MessageStyle::Information);
        checkingDuration_ = false;
        duration_->setText(shown);
        return;
    }
    SetFramesDuration(*Document(), SelectedFrames(), *duration.value);
    duration_->setText(QString::fromStdString(SecondsText(frame->duration)));
}

}  // namespace vantrel
