#include "app/ProgressDialog.h"

#include <QProgressDialog>
#include <algorithm>
#include <climits>
#include <utility>

namespace vantrel {

namespace {

// The bar takes ints: large counts are scaled down to fit.
int BarValue(std::size_t value, std::size_t total) {
    if (total <= std::size_t(INT_MAX)) return int(value);
    return int(double(value) / double(total) * INT_MAX);
}

}  // namespace

ProgressDialogRun::ProgressDialogRun(QWidget* parent, QString text) : parent_(parent), text_(std::move(text)) {}

ProgressDialogRun::~ProgressDialogRun() = default;

bool ProgressDialogRun::Show(std::size_t done, std::size_t total) {
    if (!clock_.isValid()) clock_.start();
    if (!dialog_ && clock_.elapsed() >= kProgressDelayMs) {
        dialog_ = std::make_unique<QProgressDialog>(text_, QStringLiteral("Cancel"), 0, 1, parent_.data());
        dialog_->setWindowTitle(QStringLiteral("Vantrel GIF Animator"));
        dialog_->setObjectName(QStringLiteral("progressDialog"));
        // Nothing else of the program may run while the job lets events through.
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
    }
    if (dialog_) {
        total = std::max<std::size_t>(total, 1);
        dialog_->setMaximum(BarValue(total, total));
        // The modal dialog lets the events through here: Cancel is heard.
        dialog_->setValue(BarValue(std::min(done, total), total));
        cancelled_ = cancelled_ || dialog_->wasCanceled();
    }
    return !cancelled_;
}

ProgressReport ProgressDialogRun::Report() {
    return [this](std::size_t done, std::size_t total) { return Show(done, total); };
}

ProgressReport SharedProgressReport(QWidget* parent, const QString& text) {
    auto run = std::make_shared<ProgressDialogRun>(parent, text);
    return [run](std::size_t done, std::size_t total) { return run->Show(done, total); };
}

}  // namespace vantrel
