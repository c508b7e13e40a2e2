#pragma once
// Progress of a long job in the editor: a dialog with a bar and Cancel that
// shows once the job has lasted half a second. The job (an engine call)
// hears through the report whether Cancel was pressed.
//
// The dialog is made at the first report that comes half a second or more
// after the first one, not by a timer: a job that waits for a question of
// its own (the GIF options) between two reports gets no progress dialog
// over that question.

#include <QElapsedTimer>
#include <QString>
#include <QPointer>
#include <memory>

#include "core/Progress.h"

class QProgressDialog;
class QWidget;

namespace vantrel {

// How long a job runs before its dialog shows.
inline constexpr int kProgressDelayMs = 500;

class ProgressDialogRun {
public:
    ProgressDialogRun(QWidget* parent, QString text);
    ~ProgressDialogRun();
    ProgressDialogRun(const ProgressDialogRun&) = delete;
    ProgressDialogRun& operator=(const ProgressDialogRun&) = delete;

    // One report of the job: moves the bar (showing the dialog once the job
    // has run long enough) and answers false once Cancel was pressed.
    bool Show(std::size_t done, std::size_t total);
    // The job's report, bound to this run.
    ProgressReport Report();
    bool Cancelled() const { return cancelled_; }
    // The dialog, once shown.
    QProgressDialog* Dialog() const { return dialog_.get(); }

private:
    QPointer<QWidget> parent_;
    QString text_;
    QElapsedTimer clock_;
    std::unique_ptr<QProgressDialog> dialog_;
    bool cancelled_ = false;
};

// A report that lives as long as its copies do (for a job started through
// the view, which keeps no object of the window's): the dialog goes with
// the last copy.
ProgressReport SharedProgressReport(QWidget* parent, const QString& text);

}  // namespace vantrel
