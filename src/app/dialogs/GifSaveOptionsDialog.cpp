#include "app/dialogs/GifSaveOptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "app/AnimatorApp.h"
#include "app/dialogs/DialogSupport.h"
#include "app/dialogs/GifSizeEstimator.h"

namespace vantrel {

namespace {

// A scroll area exactly the size of a width x height picture, or at most
// the given room with scroll bars for the rest.
void SizePreviewArea(QScrollArea& area, int width, int height, int maxWidth, int maxHeight) {
    const int bar = area.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &area);
    const int frame = 2 * area.frameWidth();
    const bool scrollsAcross = width > maxWidth;
    const bool scrollsDown = height > maxHeight;
    area.setFixedSize(std::min(width, maxWidth) + frame + (scrollsDown ? bar : 0),
                      std::min(height, maxHeight) + frame + (scrollsAcross ? bar : 0));
}

QString WorkingOutText() { return QStringLiteral("File size: working it out..."); }

}  // namespace

GifSaveOptionsDialog::GifSaveOptionsDialog(QWidget* parent, const GifExportRequest& request,
                                           const GifSaveChoices* last)
    : QDialog(parent), request_(request) {
    const GifOptionsDialogState state = GifOptionsDialogStateFor(request, last);
    setWindowTitle(QStringLiteral("GIF Save Options"));
    setObjectName(QStringLiteral("gifSaveOptions"));

    auto* palette = new QGroupBox(QStringLiteral("Palette Options"), this);
    exact_ = new QRadioButton(QString::fromStdString(state.exactText), palette);
    reduce_ = new QRadioButton(QStringLiteral("Reduce to:"), palette);
    counts_ = new QComboBox(palette);
    auto* colors = new QLabel(QStringLiteral("colors"), palette);
    dither_ = new QCheckBox(QStringLiteral("Dither (error diffusion)"), palette);
    dither_->setObjectName(QStringLiteral("gifDither"));
    classic_ = new QCheckBox(QStringLiteral("Classic"), palette);
    classic_->setObjectName(QStringLiteral("gifClassicPalette"));
    classic_->setToolTip(QStringLiteral("The plain median cut: large flat colours may shift a little"));
    onePalette_ = new QCheckBox(QStringLiteral("One palette for all frames"), palette);
    onePalette_->setObjectName(QStringLiteral("gifOnePalette"));
    onePalette_->setToolTip(
        QStringLiteral("Off, a frame gets a palette of its own where that shows it truer or makes the file smaller"));
    for (const int count : state.choices) counts_->addItem(QString::number(count), count);
    auto* grid = new QGridLayout(palette);
    grid->addWidget(exact_, 0, 0, 1, 3);
    grid->addWidget(reduce_, 1, 0);
    grid->addWidget(counts_, 1, 1);
    grid->addWidget(colors, 1, 2);
    grid->addWidget(dither_, 2, 0, 1, 3);
    grid->addWidget(classic_, 3, 0, 1, 3);
    grid->addWidget(onePalette_, 4, 0, 1, 3);

    auto* web = new QGroupBox(QStringLiteral("Web Optimization"), this);
    sizeReduction_ = new QCheckBox(QStringLiteral("Animation Size Reduction"), web);
    sizeReduction_->setObjectName(QStringLiteral("sizeReduction"));
    auto* lossyLabel = new QLabel(QStringLiteral("Lossy"), web);
    lossy_ = new QSlider(Qt::Horizontal, web);
    lossy_->setObjectName(QStringLiteral("gifLossy"));
    lossy_->setRange(0, kMaxLossy);
    lossy_->setPageStep(20);
    lossy_->setToolTip(QStringLiteral("Smaller files that keep colours less exactly; 0 keeps every pixel"));
    auto* lossyValue = new QLabel(QStringLiteral("0"), web);
    lossyValue->setMinimumWidth(lossyValue->fontMetrics().horizontalAdvance(QStringLiteral("200")));
    connect(lossy_, &QSlider::valueChanged, lossyValue, [lossyValue](int value) { lossyValue->setNum(value); });
    auto* lossyRow = new QHBoxLayout;
    lossyRow->addWidget(lossyLabel);
    lossyRow->addWidget(lossy_, 1);
    lossyRow->addWidget(lossyValue);
    auto* webLayout = new QVBoxLayout(web);
    webLayout->addWidget(sizeReduction_);
    webLayout->addLayout(lossyRow);

    exact_->setEnabled(state.exactEnabled);
    (state.reduceSelected ? reduce_ : exact_)->setChecked(true);
    reduce_->setEnabled(state.reduceEnabled);
    colors->setEnabled(state.reduceEnabled);
    sizeReduction_->setChecked(state.sizeReductionChecked);
    sizeReduction_->setEnabled(state.sizeReductionEnabled);
    if (!state.choices.empty()) counts_->setCurrentIndex(int(state.selectedChoice));
    dither_->setChecked(state.dither);
    classic_->setChecked(state.classic);
    onePalette_->setChecked(state.onePalette);
    onePalette_->setEnabled(state.onePaletteEnabled);
    lossy_->setValue(state.lossy);

    auto* file = new QGroupBox(QStringLiteral("File Size"), this);
    size_ = new QLabel(file);
    size_->setObjectName(QStringLiteral("gifSizeEstimate"));
    fit_ = new QCheckBox(QStringLiteral("Fit under"), file);
    fit_->setObjectName(QStringLiteral("fitUnder"));
    fitKilobytes_ = new QSpinBox(file);
    fitKilobytes_->setObjectName(QStringLiteral("fitUnderKilobytes"));
    fitKilobytes_->setRange(kMinFitKilobytes, kMaxFitKilobytes);
    fitKilobytes_->setValue(state.fitKilobytes);
    fitKilobytes_->setSuffix(QStringLiteral(" KB"));
    fit_->setChecked(state.fit);
    fitMessage_ = new QLabel(file);
    fitMessage_->setObjectName(QStringLiteral("fitMessage"));
    fitMessage_->setWordWrap(true);
    auto* fitRow = new QHBoxLayout;
    fitRow->addWidget(fit_);
    fitRow->addWidget(fitKilobytes_);
    fitRow->addStretch();
    auto* fileLayout = new QVBoxLayout(file);
    fileLayout->addWidget(size_);
    fileLayout->addLayout(fitRow);
    fileLayout->addWidget(fitMessage_);

    auto* shown = new QGroupBox(QStringLiteral("Preview (actual size)"), this);
    previewArea_ = new QScrollArea(shown);
    previewArea_->setObjectName(QStringLiteral("gifPreviewArea"));
    previewArea_->setAlignment(Qt::AlignCenter);
    preview_ = new QLabel;
    preview_->setObjectName(QStringLiteral("gifPreview"));
    previewArea_->setWidget(preview_);  // the area owns the label
    (new QVBoxLayout(shown))->addWidget(previewArea_);

    QDialogButtonBox* buttons = OkCancelButtons(this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    auto* choices = new QVBoxLayout;
    choices->addWidget(palette);
    choices->addWidget(web);
    choices->addWidget(file);
    choices->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(choices);
    columns->addWidget(shown, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    GifExportImages images = CopyGifExportImages(request);
    const std::size_t current = std::min(request.currentImage, images.pixels.empty() ? 0 : images.pixels.size() - 1);
    if (images.pixels.empty()) {
        // Nothing to measure (the caller gave no images): no size, no budget, no preview.
        file->setVisible(false);
        shown->setVisible(false);
    } else {
        const PackedDib& frame = images.pixels[current];
        preview_->resize(frame.Width(), frame.Height());
        SizePreviewArea(*previewArea_, frame.Width(), frame.Height(), kPreviewMaxWidth, kPreviewMaxHeight);
        estimator_ = std::make_unique<GifSizeEstimator>(
            std::move(images), current, [this](const GifEstimate& estimate) { Answered(estimate); });
    }

    const auto changed = [this] { ChoicesChanged(); };
    connect(exact_, &QRadioButton::toggled, this, changed);
    connect(counts_, &QComboBox::currentIndexChanged, this, changed);
    connect(dither_, &QCheckBox::toggled, this, changed);
    connect(classic_, &QCheckBox::toggled, this, changed);
    connect(onePalette_, &QCheckBox::toggled, this, changed);
    connect(lossy_, &QSlider::valueChanged, this, changed);
    connect(sizeReduction_, &QCheckBox::toggled, this, changed);
    connect(fit_, &QCheckBox::toggled, this, changed);
    connect(fitKilobytes_, &QSpinBox::valueChanged, this, changed);
    ChoicesChanged();
}

GifSaveOptionsDialog::~GifSaveOptionsDialog() = default;

GifExportOptions GifSaveOptionsDialog::Options() const {
    if (fitted_) return *fitted_;
    GifExportOptions options;
    options.reduce = reduce_->isChecked() && counts_->count() > 0;
    options.colorCount = counts_->count() > 0 ? counts_->currentData().toInt() : request_.distinctColors;
    options.sizeReduction = sizeReduction_->isChecked();
    options.dither = options.reduce && dither_->isChecked();
    options.quantizer = classic_->isChecked() ? PaletteMethod::MedianCut : PaletteMethod::Refined;
    options.lossy = lossy_->value();
    options.onePalette = onePalette_->isChecked();
    return options;
}

GifSaveChoices GifSaveOptionsDialog::Choices() const {
    GifSaveChoices choices;
    choices.options.reduce = reduce_->isChecked() && exact_->isEnabled();
    choices.options.colorCount = counts_->count() > 0 ? counts_->currentData().toInt() : 256;
    choices.options.sizeReduction = sizeReduction_->isChecked();
    choices.options.dither = dither_->isChecked();
    choices.options.quantizer = classic_->isChecked() ? PaletteMethod::MedianCut : PaletteMethod::Refined;
    choices.options.lossy = lossy_->value();
    choices.options.onePalette = onePalette_->isChecked();
    choices.fit = fit_->isChecked();
    choices.fitKilobytes = fitKilobytes_->value();
    return choices;
}

void GifSaveOptionsDialog::ChoicesChanged() {
    counts_->setEnabled(reduce_->isEnabled() && reduce_->isChecked());
    dither_->setEnabled(counts_->isEnabled());
    classic_->setEnabled(counts_->isEnabled());
    fitKilobytes_->setEnabled(fit_->isChecked());
    fitted_.reset();
    ShowFitMessage(QString());
    ok_->setEnabled(true);
    if (!estimator_) return;
    size_->setText(WorkingOutText());
    preview_->setEnabled(false);  // the last preview stays, greyed, until the new one comes
    estimator_->Estimate(Options());
}

void GifSaveOptionsDialog::accept() {
    if (fitted_ || !estimator_ || !fit_->isChecked()) {
        QDialog::accept();
        return;
    }
    // The search runs on the worker; the answer accepts the dialog or says why not.
    ok_->setEnabled(false);
    ShowFitMessage(QStringLiteral("Looking for the colours and lossy level that fit..."));
    estimator_->Fit(Options(), std::uint64_t(fitKilobytes_->value()) * kBytesPerKilobyte);
}

void GifSaveOptionsDialog::ShowFitMessage(const QString& text) {
    fitMessage_->setText(text);
    // A message of several lines grows the dialog rather than being cut off.
    fitMessage_->setMinimumHeight(text.isEmpty() ? 0 : fitMessage_->heightForWidth(fitMessage_->width()));
    layout()->activate();
    const int wanted = std::max(layout()->totalHeightForWidth(width()), sizeHint().height());
    if (wanted > height()) resize(width(), wanted);
}

void GifSaveOptionsDialog::Answered(const GifEstimate& estimate) {
    if (!estimate.preview.isNull()) {
        preview_->setPixmap(QPixmap::fromImage(estimate.preview));
        preview_->setEnabled(true);
    }
    if (!estimate.fit) {
        size_->setText(estimate.ok ? QStringLiteral("File size: ") + FileSizeText(estimate.bytes)
                                   : QStringLiteral("File size unknown: ") + estimate.message);
        return;
    }
    ok_->setEnabled(true);
    if (!estimate.ok) {
        ShowFitMessage(QStringLiteral("It does not fit: ") + estimate.message);
        // The search stopped any estimate still running when OK was pressed:
        // the size of the choices as they stand is asked again.
        if (size_->text() == WorkingOutText()) estimator_->Estimate(Options());
        return;
    }
    fitted_ = estimate.options;
    const QString ownPalettes = QString::fromStdString(OwnPalettesNote(estimate.report));
    size_->setText(QStringLiteral("File size: ") + FileSizeText(estimate.bytes));
    // "64 colours, lossy 40, 148,212 bytes (148.2 KB)": what the search chose, as written
    // (", a palette per frame" after the lossy level when each frame has its own).
    const QString chosen = QStringLiteral("%1 colours, lossy %2%3, %4")
                               .arg(estimate.report.requestedColors)
                               .arg(estimate.report.lossy)
                               .arg(ownPalettes)
                               .arg(FileSizeText(estimate.bytes));
    if (estimate.report.fewColors) {
        // So few colours change most pictures: the user sees the preview and decides.
        ShowFitMessage(QStringLiteral("The limit is met only with %1, fewer than %2 colours. "
                                            "OK saves it so; or change the choices.")
                                 .arg(chosen)
                                 .arg(kFewestColorsUnasked));
        return;
    }
    ShowFitMessage(chosen);
    QDialog::accept();
}

namespace {

// Where the choices are kept in the settings store.
const char* const kChoicesSection = "GifSaveOptions";

QString ChoiceKey(const char* name) { return QStringLiteral("%1/%2").arg(QLatin1String(kChoicesSection), QLatin1String(name)); }

}  // namespace

std::optional<GifSaveChoices> LoadGifSaveChoices() {
    const QSettings settings = CAnimatorApp::Settings();
    if (!settings.contains(ChoiceKey("Colors"))) return std::nullopt;
    GifSaveChoices choices;
    GifExportOptions& o = choices.options;
    o.reduce = settings.value(ChoiceKey("Reduce"), o.reduce).toBool();
    o.colorCount = settings.value(ChoiceKey("Colors"), o.colorCount).toInt();
    o.sizeReduction = settings.value(ChoiceKey("SizeReduction"), o.sizeReduction).toBool();
    o.dither = settings.value(ChoiceKey("Dither"), o.dither).toBool();
    o.quantizer = settings.value(ChoiceKey("Classic"), false).toBool() ? PaletteMethod::MedianCut : PaletteMethod::Refined;
    o.lossy = settings.value(ChoiceKey("Lossy"), o.lossy).toInt();
    o.onePalette = settings.value(ChoiceKey("OnePalette"), o.onePalette).toBool();
    choices.fit = settings.value(ChoiceKey("FitUnder"), choices.fit).toBool();
    choices.fitKilobytes = settings.value(ChoiceKey("FitKilobytes"), choices.fitKilobytes).toInt();
    return SanitizedGifSaveChoices(choices);
}

void StoreGifSaveChoices(const GifSaveChoices& choices) {
    QSettings settings = CAnimatorApp::Settings();
    const GifExportOptions& o = choices.options;
    settings.setValue(ChoiceKey("Reduce"), o.reduce);
    settings.setValue(ChoiceKey("Colors"), o.colorCount);
    settings.setValue(ChoiceKey("SizeReduction"), o.sizeReduction);
    settings.setValue(ChoiceKey("Dither"), o.dither);
    settings.setValue(ChoiceKey("Classic"), o.quantizer == PaletteMethod::MedianCut);
    settings.setValue(ChoiceKey("Lossy"), o.lossy);
    settings.setValue(ChoiceKey("OnePalette"), o.onePalette);
    settings.setValue(ChoiceKey("FitUnder"), choices.fit);
    settings.setValue(ChoiceKey("FitKilobytes"), choices.fitKilobytes);
}

std::optional<GifExportOptions> AskGifSaveOptions(QWidget* parent, const GifExportRequest& request) {
    const std::optional<GifSaveChoices> last = LoadGifSaveChoices();
    GifSaveOptionsDialog dialog(parent, request, last ? &*last : nullptr);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    StoreGifSaveChoices(dialog.Choices());
    return dialog.Options();
}

}  // namespace vantrel
