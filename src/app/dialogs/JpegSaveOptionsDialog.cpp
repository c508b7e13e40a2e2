#include "app/dialogs/JpegSaveOptionsDialog.h"

#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

#include "app/dialogs/DialogSupport.h"

namespace vantrel {

std::optional<int> AskJpegQuality(QWidget* parent, int quality) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("JPEG Save Options"));
    auto* group = new QGroupBox(QStringLiteral("Save Quality"), &dialog);
    auto* slider = new QSlider(Qt::Horizontal, group);
    slider->setRange(0, 10);
    slider->setValue(quality);
    slider->setTickPosition(QSlider::TicksBelow);
    auto* value = new QLabel(QStringLiteral("Normal"), group);
    value->setAlignment(Qt::AlignCenter);
    QObject::connect(slider, &QSlider::valueChanged, value, [value](int v) { value->setText(QString::number(v)); });
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Min\nSmall File"), group), 0, 0);
    grid->addWidget(slider, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Max\nLarge File"), group), 0, 2);
    grid->addWidget(value, 1, 1);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(group);
    layout->addWidget(OkCancelButtons(&dialog));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return slider->value();
}

}  // namespace vantrel
