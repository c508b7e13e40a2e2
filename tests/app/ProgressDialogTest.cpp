// Progress of long work in the editor, offscreen: the dialog shows only
// once a job has lasted half a second, Cancel stops the job, and a
// cancelled opening leaves the editor as it was without a message.

#include <QApplication>
#include <QMdiArea>
#include <QProgressDialog>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "AppTestUtil.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/ProgressDialog.h"
#include "app/SplashWnd.h"
#include "document/CQVDoc.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

TEST(ProgressDialog, ShowsOnlyAfterHalfASecondAndCancelStopsTheJob) {
    ProgressDialogRun run(nullptr, QStringLiteral("Working..."));
    const ProgressReport report = run.Report();
    EXPECT_TRUE(report(1, 10));
    EXPECT_EQ(run.Dialog(), nullptr);  // a short job shows nothing
    QThread::msleep(kProgressDelayMs + 50);
    EXPECT_TRUE(report(2, 10));
    ASSERT_NE(run.Dialog(), nullptr);
    EXPECT_TRUE(run.Dialog()->isVisible());
    EXPECT_EQ(run.Dialog()->value(), 2);
    EXPECT_EQ(run.Dialog()->maximum(), 10);
    EXPECT_EQ(run.Dialog()->labelText(), "Working...");
    run.Dialog()->cancel();
    EXPECT_FALSE(report(3, 10));
    EXPECT_TRUE(run.Cancelled());
    EXPECT_FALSE(report(4, 10));  // stays stopped
}

TEST(ProgressDialog, CancellingTheOpeningOfALargeGifOpensNothingAndSaysNothing) {
    const std::filesystem::path big = test::CorporaDir() / "gif" / "image-gif" / "samples" / "sample_big.gif";
    if (!std::filesystem::exists(big)) GTEST_SKIP() << "no corpora";
    test::Editor e;
    e.Run(CommandId::InsertFrameAtEnd);  // an edited document stays beside it
    ASSERT_EQ(e.Frame().Children().size(), 1);
    bool cancelled = false;
    // Cancel is pressed in the dialog as soon as it shows.
    std::function<void()> pressCancel = [&] {
        if (auto* dialog = e.Frame().findChild<QProgressDialog*>(QStringLiteral("progressDialog"))) {
            EXPECT_TRUE(dialog->isVisible());
            dialog->cancel();
            cancelled = true;
            return;
        }
        QTimer::singleShot(50, &e.Frame(), pressCancel);
    };
    QTimer::singleShot(50, &e.Frame(), pressCancel);
    CChildFrame* opened = e.app.OpenDocumentFile(QString::fromStdString(big.string()));
    test::ProcessEvents();
    if (!cancelled) GTEST_SKIP() << "opened within half a second: no dialog to cancel";
    EXPECT_EQ(opened, nullptr);
    EXPECT_TRUE(e.log.messages.isEmpty());
    EXPECT_EQ(e.Frame().Children().size(), 1);
    EXPECT_TRUE(e.Doc().IsModified());
}

}  // namespace
}  // namespace vantrel
