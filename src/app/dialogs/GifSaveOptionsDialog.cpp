#include "app/dialogs/GifSaveOptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/dialogs/DialogSupport.h"
#include "view/SaveOptions.h"

namespace vantrel {

std::optional<GifExportOptions> AskGifSaveOptions(QWidget* parent, const GifExportRequest& request) {
    const GifOptionsDialogState state = GifOptionsDialogStateFor(request);
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("GIF Save Options"));
    dialog.setObjectName(QStringLiteral("gifSaveOptions"));

    auto* palette = new QGroupBox(QStringLiteral("Palette Options"), &dialog);
    auto* exact = new QRadioButton(QString::fromStdString(state.exactText), palette);
    auto* reduce = new QRadioButton(QStringLiteral("Reduce to:"), palette);
    auto* counts = new QComboBox(palette);
    auto* colors = new QLabel(QStringLiteral("colors"), palette);
    for (const int count : state.choices) counts->addItem(QString::number(count), count);
    auto* grid = new QGridLayout(palette);
    grid->addWidget(exact, 0, 0, 1, 3);
    grid->addWidget(reduce, 1, 0);
    grid->addWidget(counts, 1, 1);
    grid->addWidget(colors, 1, 2);

    auto* web = new QGroupBox(QStringLiteral("Web Optimization"), &dialog);
    auto* sizeReduction = new QCheckBox(QStringLiteral("Animation Size Reduction"), web);
    (new QVBoxLayout(web))->addWidget(sizeReduction);

    exact->setEnabled(state.exactEnabled);
    (state.reduceSelected ? reduce : exact)->setChecked(true);
    reduce->setEnabled(state.reduceEnabled);
    colors->setEnabled(state.reduceEnabled);
    sizeReduction->setChecked(state.sizeReductionChecked);
    sizeReduction->setEnabled(state.sizeReductionEnabled);
    const auto follow = [&] { counts->setEnabled(state.reduceEnabled && reduce->isChecked()); };
    follow();
    QObject::connect(exact, &QRadioButton::toggled, &dialog, follow);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(palette);
    layout->addWidget(web);
    layout->addWidget(OkCancelButtons(&dialog));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;

    GifExportOptions options;
    options.reduce = reduce->isChecked() && counts->count() > 0;
    options.colorCount = counts->count() > 0 ? counts->currentData().toInt() : request.distinctColors;
    options.sizeReduction = sizeReduction->isChecked();
    return options;
}

}  // namespace vantrel
