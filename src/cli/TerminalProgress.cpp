#include "cli/TerminalProgress.h"

#include <unistd.h>

#include <cstdio>
#include <memory>

namespace vantrel::cli {

namespace {

// One line on standard error, rewritten whenever the percentage changes.
class ProgressLine {
public:
    explicit ProgressLine(std::string what) : what_(std::move(what)) {}
    ~ProgressLine() {
        // Cleared, so that whatever is printed next starts on a clean line.
        if (shown_ >= 0) std::fprintf(stderr, "\r%*s\r", width_, "");
    }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void Show(std::size_t done, std::size_t total) {
        const int percent = total == 0 ? 100 : int(done * 100 / total);
        if (percent == shown_) return;
        shown_ = percent;
        width_ = std::fprintf(stderr, "\rvantrel-cli: %s %3d%%", what_.c_str(), percent) - 1;
        std::fflush(stderr);
    }

private:
    std::string what_;
    int shown_ = -1;
    int width_ = 0;
};

}  // namespace

ProgressReport TerminalProgress(std::string what) {
    if (isatty(STDERR_FILENO) == 0) return {};
    auto line = std::make_shared<ProgressLine>(std::move(what));
    return [line](std::size_t done, std::size_t total) {
        line->Show(done, total);
        return true;
    };
}

}  // namespace vantrel::cli
