#pragma once
// How a long job (opening a large file, writing an animation) tells its
// caller how far it has come, and hears whether to go on. The job counts
// steps; at each it reports "done of total" and the caller answers false to
// stop it. A job stopped this way ends at once and leaves nothing half-made:
// no file written, no document changed. The engine shows nothing: the
// editor turns the reports into a progress dialog, the command-line tool
// into a line on a terminal.

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string_view>
#include <utility>

namespace vantrel {

// done of total steps (done <= total); false asks the job to stop.
using ProgressReport = std::function<bool(std::size_t done, std::size_t total)>;

// The reason a stopped job gives in its status.
inline constexpr std::string_view kStoppedByUser = "Stopped before it was done.";

// The counting side of a job. Without a report every step just counts.
class ProgressSteps {
public:
    explicit ProgressSteps(ProgressReport report = {}, std::size_t total = 0)
        : report_(std::move(report)), total_(total) {}

    // More steps than first thought (their number became known later).
    void AddToTotal(std::size_t steps) { total_ += steps; }
    // count more steps done. False once the job is to stop (and from then on).
    bool Step(std::size_t count = 1) {
        if (stopped_) return false;
        done_ = std::min(done_ + count, total_);
        if (report_ && !report_(done_, total_)) stopped_ = true;
        return !stopped_;
    }
    // The job is done: the steps it did not need (a pass left out) count as done.
    bool Finish() { return Step(total_ - done_); }
    bool Stopped() const { return stopped_; }
    std::size_t Done() const { return done_; }
    std::size_t Total() const { return total_; }

private:
    ProgressReport report_;
    std::size_t total_ = 0;
    std::size_t done_ = 0;
    bool stopped_ = false;
};

}  // namespace vantrel
