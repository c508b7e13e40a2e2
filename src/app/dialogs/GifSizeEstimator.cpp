#include "app/dialogs/GifSizeEstimator.h"

#include <QLocale>
#include <QPainter>
#include <utility>
#include <vector>

#include "app/DibImage.h"

namespace vantrel {

GifSizeEstimator::GifSizeEstimator(GifExportImages images, std::size_t previewImage, Answer answer,
                                   QObject* parent)
    : QObject(parent),
      images_(std::make_shared<const GifExportImages>(std::move(images))),
      previewImage_(previewImage),
      answer_(std::move(answer)) {}

GifSizeEstimator::~GifSizeEstimator() {
    // The worker's queued answer dies with this object (QObject drops the
    // events posted to it); the job stops at its next image or step.
    if (worker_.joinable()) {
        worker_.request_stop();
        worker_.join();
    }
}

void GifSizeEstimator::SetCheckpoint(std::function<void(const std::stop_token&)> checkpoint) {
    checkpoint_ = std::move(checkpoint);
}

void GifSizeEstimator::Estimate(const GifExportOptions& options) { Ask({false, options, 0, 0}); }

void GifSizeEstimator::Fit(const GifExportOptions& options, std::uint64_t maxBytes) {
    Ask({true, options, maxBytes, 0});
}

void GifSizeEstimator::Forget() {
    ++generation_;
    waiting_.reset();
    worker_.request_stop();
}

void GifSizeEstimator::Ask(Job job) {
    job.generation = ++generation_;
    if (worker_.joinable()) {
        worker_.request_stop();
        waiting_ = job;
    } else {
        Start(job);
    }
}

void GifSizeEstimator::Start(const Job& job) {
    // The worker sees only its own copies: the shared images (never
    // changed), the job and the checkpoint.
    worker_ = std::jthread([this, images = images_, previewImage = previewImage_, checkpoint = checkpoint_,
                            job](std::stop_token stop) {
        GifEstimate estimate;
        estimate.fit = job.fit;
        estimate.options = job.options;
        GifExportJob exporting(images, {stop, previewImage, checkpoint});
        const GifExportResult result =
            job.fit ? exporting.Fit(job.maxBytes, job.options) : exporting.Encode(job.options);
        if (job.fit) estimate.options = result.options;
        estimate.report = result.report;
        // A stopped job is never answered, not even as a failure.
        const bool stopped = result.report.cancelled;
        estimate.ok = result.status.ok() && !stopped && !result.bytes.empty();
        estimate.bytes = result.bytes.size();
        if (!result.status) estimate.message = QString::fromStdString(result.status.message());
        if (!stopped && result.preview.HasBlock()) estimate.preview = PreviewImage(result.preview);
        QMetaObject::invokeMethod(
            this,
            [this, generation = stopped ? 0 : job.generation, estimate] { Finished(generation, estimate); },
            Qt::QueuedConnection);
    });
}

void GifSizeEstimator::Finished(std::uint64_t generation, const GifEstimate& estimate) {
    worker_.join();
    if (waiting_) {
        const Job next = *waiting_;
        waiting_.reset();
        Start(next);
    }
    // Generation 0 marks a stopped job (requests count from 1).
    if (generation != 0 && generation == generation_ && answer_) answer_(estimate);
}

QImage PreviewImage(const PackedDib& pixels) {
    constexpr int kCell = 8;
    const QImage picture = ToQImageWithAlpha(pixels);
    QImage shown(picture.size(), QImage::Format_RGB32);
    shown.fill(Qt::white);
    QPainter painter(&shown);
    for (int y = 0; y < shown.height(); y += kCell) {
        for (int x = (y / kCell) % 2 * kCell; x < shown.width(); x += 2 * kCell)
            painter.fillRect(x, y, kCell, kCell, QColor(0xCC, 0xCC, 0xCC));
    }
    painter.drawImage(0, 0, picture);
    return shown;
}

QString FileSizeText(std::uint64_t bytes) {
    QLocale grouped = QLocale::c();  // the same digits whatever the user's locale
    grouped.setNumberOptions(QLocale::DefaultNumberOptions);
    return QStringLiteral("%1 bytes (%2 KB)")
        .arg(grouped.toString(static_cast<qulonglong>(bytes)), QString::number(double(bytes) / 1000.0, 'f', 1));
}

}  // namespace vantrel
