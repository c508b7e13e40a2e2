#include "app/dialogs/OnionSkinDialog.h"

#include <QDialog>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/dialogs/DialogSupport.h"

namespace vantrel {

namespace {

QSpinBox* NewCountBox(QWidget* parent, const char* name, int low, int value) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(low, kMaxOnionSkinFrames);
    box->setValue(value);
    return box;
}

}  // namespace

std::optional<OnionSkinSettings> AskOnionSkinSettings(QWidget* parent, const OnionSkinSettings& start) {
    const OnionSkinSettings current = WithinRanges(start);
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Onion Skin Settings"));
    QSpinBox* before = NewCountBox(&dialog, "framesBefore", 1, current.framesBefore);
    QSpinBox* after = NewCountBox(&dialog, "framesAfter", 0, current.framesAfter);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Frames before:"), before);
    form->addRow(QStringLiteral("Frames after:"), after);
    auto* note = new QLabel(QStringLiteral("The editor shows these frames faintly over the current frame, the "
                                           "nearest most clearly. Saved animations, printing and the preview "
                                           "never show them."),
                            &dialog);
    note->setWordWrap(true);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(OkCancelButtons(&dialog));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    OnionSkinSettings chosen = current;
    chosen.framesBefore = before->value();
    chosen.framesAfter = after->value();
    return WithinRanges(chosen);
}

}  // namespace vantrel
