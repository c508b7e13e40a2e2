#include "app/dialogs/GoToFrameDialog.h"

#include <QDialog>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/dialogs/DialogSupport.h"
#include "view/FrameList.h"

namespace vantrel {

std::optional<ObjectUid> AskGoToFrame(QWidget* parent, const Animation& animation, ObjectUid current) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("GoTo Frame"));
    auto* tree = new QTreeWidget(&dialog);
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(false);
    tree->setObjectName(QStringLiteral("frames"));
    for (const FrameEntry& entry : FrameEntries(animation)) {
        auto* item = new QTreeWidgetItem(tree, {QString::fromStdString(entry.text)});
        item->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(entry.frame));
        if (entry.frame == current) tree->setCurrentItem(item);
    }
    QObject::connect(tree, &QTreeWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Frames:"), &dialog));
    layout->addWidget(tree);
    layout->addWidget(OkCancelButtons(&dialog));
    tree->setFocus();
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return ObjectUid(selected.front()->data(0, Qt::UserRole).toULongLong());
}

}  // namespace vantrel
