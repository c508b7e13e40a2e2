#pragma once
// Encodes a copy of an export's images on a worker thread, so that the
// "GIF Save Options" dialog can show the file size of its current choices
// (and search for a size budget) without ever blocking.
//
// One job runs at a time. A request made while one runs waits in its place
// (replacing any earlier waiting one), and the answer of a job superseded by
// a later request is dropped: only the latest request is ever answered.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "document/Export.h"

namespace vantrel {

struct GifEstimate {
    bool fit = false;                 // answers Fit rather than Estimate
    bool ok = false;                  // encoded (and, for Fit, fits)
    std::uint64_t bytes = 0;          // the size of the file, when ok
    GifExportOptions options;         // the options of that file (the fitted ones for Fit)
    QString message;                  // why not, when not ok
};

class GifSizeEstimator : public QObject {
public:
    using Answer = std::function<void(const GifEstimate&)>;

    // answer is called on the thread that owns the estimator.
    GifSizeEstimator(GifExportImages images, Answer answer, QObject* parent = nullptr);
    ~GifSizeEstimator() override;  // waits for a running job
    GifSizeEstimator(const GifSizeEstimator&) = delete;
    GifSizeEstimator& operator=(const GifSizeEstimator&) = delete;

    // The size of the file with these options.
    void Estimate(const GifExportOptions& options);
    // The options with the most colours (starting from options) whose file
    // takes at most maxBytes.
    void Fit(const GifExportOptions& options, std::uint64_t maxBytes);
    // Drops the answer to whatever was asked last.
    void Forget();

    bool Busy() const { return worker_.joinable(); }

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
    Answer answer_;
    std::thread worker_;
    std::optional<Job> waiting_;
    std::uint64_t generation_ = 0;
};

// "123,456 bytes (123.5 KB)": a size as the dialog shows it (1 KB = 1000 bytes).
QString FileSizeText(std::uint64_t bytes);

}  // namespace vantrel
