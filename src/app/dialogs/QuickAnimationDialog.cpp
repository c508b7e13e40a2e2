#include "app/dialogs/QuickAnimationDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Prompts.h"
#include "app/dialogs/DialogSupport.h"
#include "document/QuickAnimation.h"
#include "view/FieldChecks.h"

namespace vantrel {

namespace {

// Entries sort by file name as people read it: "b.gif" before "C.gif".
class NameItem final : public QListWidgetItem {
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem& other) const override {
        const int byName = text().compare(other.text(), Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : text() < other.text();
    }
};

class QuickAnimationDialog final : public CheckedDialog {
public:
    explicit QuickAnimationDialog(QWidget* parent) : CheckedDialog(parent) {
        setWindowTitle(QStringLiteral("Quick Animation"));
        list_ = new QListWidget(this);
        list_->setObjectName(QStringLiteral("images"));
        list_->setSortingEnabled(true);
        auto* select = new QPushButton(QStringLiteral("Select Images"), this);
        select->setObjectName(QStringLiteral("selectImages"));
        seconds_ = new QLineEdit(QStringLiteral("1"), this);
        seconds_->setObjectName(QStringLiteral("seconds"));
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("Initial frame duration:"), this));
        row->addWidget(seconds_);
        row->addWidget(new QLabel(QStringLiteral("second(s)"), this));
        auto* buttons = OkCancelButtons(this);
        ok_ = buttons->button(QDialogButtonBox::Ok);
        ok_->setEnabled(false);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(list_);
        layout->addWidget(select);
        layout->addLayout(row);
        layout->addWidget(buttons);
        connect(select, &QPushButton::clicked, this, &QuickAnimationDialog::SelectImages);
    }
    QuickAnimationChoice chosen;

private:
    void SelectImages() {
        FileDialogRequest request;
        request.title = QStringLiteral("Import Frames");
        request.filters = FormatFilters(FilePurpose::Import);  // GIF, JPEG and PNG
        const QStringList files = AskFileNames(this, request);
        for (const QString& file : files) {
            // The entry shows the file name and keeps the full path.
            if (HasPath(file)) continue;  // already listed
            auto* item = new NameItem(QFileInfo(file).fileName());
            item->setData(Qt::UserRole, QFileInfo(file).absoluteFilePath());
            item->setToolTip(QFileInfo(file).absoluteFilePath());
            list_->addItem(item);
        }
        ok_->setEnabled(list_->count() > 0);
    }
    bool HasPath(const QString& file) const {
        const QString full = QFileInfo(file).absoluteFilePath();
        for (int i = 0; i < list_->count(); ++i)
            if (list_->item(i)->data(Qt::UserRole).toString() == full) return true;
        return false;
    }
    bool Check() override {
        const auto seconds = CheckDecimalField(seconds_->text().toStdString(), kMinQuickSeconds, kMaxQuickSeconds);
        if (!seconds) return FieldFailed(this, seconds_, seconds.message);
        chosen.seconds = *seconds.value;
        chosen.files.clear();
        for (int i = 0; i < list_->count(); ++i)
            chosen.files.emplace_back(list_->item(i)->data(Qt::UserRole).toString().toStdString());
        return !chosen.files.empty();
    }
    QListWidget* list_;
    QLineEdit* seconds_;
    QPushButton* ok_;
};

}  // namespace

std::optional<QuickAnimationChoice> AskQuickAnimation(QWidget* parent) {
    return RunChecked<QuickAnimationDialog>(parent);
}

}  // namespace vantrel
