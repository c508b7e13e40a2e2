#pragma once
// Encodes a copy of an export's images on a worker thread, so that the
// "GIF Save Options" dialog can show the file size of its current choices,
// and the current image as that file shows it (and search for a size
// budget) without ever blocking.
//
// One job runs at a time. A request made while one runs stops the running
// job at its next image or step and waits in its place (replacing any
// earlier waiting one); the answer of a superseded or stopped job is
// dropped: only the latest request is ever answered. Destroying the
// estimator stops the running job the same way, so it never waits for a
// whole search.

#include <QImage>
#include <QObject>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <thread>

#include "document/Export.h"

namespace vantrel {

struct GifEstimate {
    bool fit = false;                 // answers Fit rather than Estimate
    bool ok = false;                  // encoded (and, for Fit, fits)
    std::uint64_t bytes = 0;          // the size of the file, when ok
    GifExportOptions options;         // the options of that file (the fitted ones for Fit)
    GifExportReport report;           // what the run that made it says of it
    QString message;                  // why not, when not ok
    // The current image as that file shows it (for Fit, with the fitted
    // options, or with the options asked when nothing fits), transparent
    // parts over a light checkerboard; null when not made.
    QImage preview;
};

class GifSizeEstimator : public QObject {
public:
    using Answer = std::function<void(const GifEstimate&)>;

    // answer is called on the thread that owns the estimator; previewImage
    // is the image (index into images) each answer shows.
    GifSizeEstimator(GifExportImages images, std::size_t previewImage, Answer answer, QObject* parent = nullptr);
    ~GifSizeEstimator() override;  // stops a running job and waits for it to end
    GifSizeEstimator(const GifSizeEstimator&) = delete;
    GifSizeEstimator& operator=(const GifSizeEstimator&) = delete;

    // The size of the file with these options.
    void Estimate(const GifExportOptions& options);
    // The options with the most colours (starting from options) whose file
    // takes at most maxBytes.
    void Fit(const GifExportOptions& options, std::uint64_t maxBytes);
    // Drops the answer to whatever was asked last and stops its job.
    void Forget();

    bool Busy() const { return worker_.joinable(); }

    // Called on the worker at every place a job looks whether it is to stop
    // (GifExportRun::checkpoint); for tests that stop a job at a known place.
    void SetCheckpoint(std::function<void(const std::stop_token&)> checkpoint);

private:
    struct Job {
        bool fit = false;
        GifExportOptions options;
        std::uint64_t maxBytes = 0;
        std::uint64_t generation = 0;
    };
    void Ask(Job job);
    void Start(const Job& job);
    void Finished(std::uint64_t generation, const GifEstimate& estimate);

    std::shared_ptr<const GifExportImages> images_;
    std::size_t previewImage_ = 0;
    Answer answer_;
    std::function<void(const std::stop_token&)> checkpoint_;
    std::jthread worker_;
    std::optional<Job> waiting_;
    std::uint64_t generation_ = 0;
};

// "123,456 bytes (123.5 KB)": a size as the dialog shows it (1 KB = 1000 bytes).
QString FileSizeText(std::uint64_t bytes);

// An image of an export as the dialog shows it: its pixels with their
// transparency over a light checkerboard.
QImage PreviewImage(const PackedDib& pixels);

}  // namespace vantrel
