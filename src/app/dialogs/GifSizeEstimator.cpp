#include "app/dialogs/GifSizeEstimator.h"

#include <QLocale>
#include <utility>
#include <vector>

namespace vantrel {

GifSizeEstimator::GifSizeEstimator(GifExportImages images, Answer answer, QObject* parent)
    : QObject(parent),
      images_(std::make_shared<const GifExportImages>(std::move(images))),
      answer_(std::move(answer)) {}

GifSizeEstimator::~GifSizeEstimator() {
    // The worker's queued answer dies with this object (QObject drops the
    // events posted to it), so joining is all that is needed.
    if (worker_.joinable()) worker_.join();
}

void GifSizeEstimator::Estimate(const GifExportOptions& options) { Ask({false, options, 0, 0}); }

void GifSizeEstimator::Fit(const GifExportOptions& options, std::uint64_t maxBytes) {
    Ask({true, options, maxBytes, 0});
}

void GifSizeEstimator::Forget() {
    ++generation_;
    waiting_.reset();
}

void GifSizeEstimator::Ask(Job job) {
    job.generation = ++generation_;
    if (worker_.joinable())
        waiting_ = job;
    else
        Start(job);
}

void GifSizeEstimator::Start(const Job& job) {
    // The worker sees only its own copies: the shared images (never
    // changed) and the job.
    worker_ = std::thread([this, images = images_, job] {
        GifEstimate estimate;
        estimate.fit = job.fit;
        estimate.options = job.options;
        std::vector<std::uint8_t> bytes;
        const Status status = job.fit ? EncodeGifExportImagesWithin(*images, job.maxBytes, job.options, bytes,
                                                                    estimate.options)
                                      : EncodeGifExportImages(*images, job.options, bytes);
        estimate.ok = status.ok() && !bytes.empty();
        estimate.bytes = bytes.size();
        if (!status) estimate.message = QString::fromStdString(status.message());
        QMetaObject::invokeMethod(
            this, [this, generation = job.generation, estimate] { Finished(generation, estimate); },
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
    if (generation == generation_ && answer_) answer_(estimate);
}

QString FileSizeText(std::uint64_t bytes) {
    QLocale grouped = QLocale::c();  // the same digits whatever the user's locale
    grouped.setNumberOptions(QLocale::DefaultNumberOptions);
    return QStringLiteral("%1 bytes (%2 KB)")
        .arg(grouped.toString(static_cast<qulonglong>(bytes)), QString::number(double(bytes) / 1000.0, 'f', 1));
}

}  // namespace vantrel
