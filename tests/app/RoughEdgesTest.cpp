// Rough edges of the editor, offscreen: the untouched first document gives
// way to the first file opened, one tool is always checked, the Frame List
// drags and deselects several frames, and the keyboard comes back to the
// document after a dialog.

#include <QAction>
#include <QActionGroup>
#include <QListWidget>
#include <QMdiArea>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "AppTestUtil.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/SplashWnd.h"
#include "app/QVView.h"
#include "app/panels/FrameListPanel.h"
#include "document/CQVDoc.h"
#include "support/TestPaths.h"
#include "view/EditorView.h"

namespace vantrel {
namespace {

using C = CommandId;

QString Q(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

std::filesystem::path SmallGif(const char* folder) {
    const std::filesystem::path gif = test::ScratchDir(folder) / "two.gif";
    test::WriteFlatGif(gif, 20, 10, {0xFF0000, 0x0000FF});
    return gif;
}

TEST(RoughEdges, TheUntouchedFirstDocumentGivesWayToTheFirstFileOpened) {
    const std::filesystem::path gif = SmallGif("pristine-replaced");
    test::Editor e;
    ASSERT_EQ(e.Frame().Children().size(), 1);
    ASSERT_NE(e.app.OpenDocumentFile(Q(gif)), nullptr);
    test::ProcessEvents();
    ASSERT_EQ(e.Frame().Children().size(), 1);
    EXPECT_EQ(e.Frame().ActiveChild()->Document().Title(), "two.gif");
}

TEST(RoughEdges, AnEditedFirstDocumentStaysEvenWhenItsEditWasUndone) {
    const std::filesystem::path gif = SmallGif("pristine-kept");
    test::Editor e;
    e.Run(C::InsertFrameAtEnd);
    e.Doc().History().Undo();
    ASSERT_FALSE(e.Doc().IsModified());
    ASSERT_NE(e.app.OpenDocumentFile(Q(gif)), nullptr);
    test::ProcessEvents();
    EXPECT_EQ(e.Frame().Children().size(), 2);
    // A second new document next to the first: the first file opened keeps both.
    e.Frame().ActiveChild()->close();
    test::ProcessEvents();
    e.Run(C::FileNew);
    ASSERT_EQ(e.Frame().Children().size(), 2);
    ASSERT_NE(e.app.OpenDocumentFile(Q(gif)), nullptr);
    test::ProcessEvents();
    EXPECT_EQ(e.Frame().Children().size(), 3);
}

// The tool actions that are checked.
QStringList CheckedTools(const CMainFrame& frame) {
    QStringList checked;
    const C tools[] = {C::ToolSelect, C::ToolZoom, C::ToolDrawBitmap, C::ToolCrop, C::ToolRectangle,
                       C::ToolEllipse, C::ToolPen, C::ToolText, C::ToolPick, C::ToolFill};
    for (const C id : tools)
        if (frame.Action(id)->isChecked()) checked.append(frame.Action(id)->text());
    return checked;
}

TEST(RoughEdges, ExactlyOneToolIsCheckedWithAndWithoutADocument) {
    test::Editor e;
    EXPECT_EQ(CheckedTools(e.Frame()).size(), 1);
    EXPECT_TRUE(e.Frame().Action(C::ToolSelect)->isChecked());
    e.Run(C::ToolPen);
    EXPECT_EQ(CheckedTools(e.Frame()), QStringList{e.Frame().Action(C::ToolPen)->text()});
    // A click on the checked tool leaves it checked.
    e.Frame().Action(C::ToolPen)->trigger();
    test::ProcessEvents();
    EXPECT_EQ(CheckedTools(e.Frame()), QStringList{e.Frame().Action(C::ToolPen)->text()});

    // A new document starts with Select: the check follows.
    e.Run(C::FileNew);
    EXPECT_EQ(CheckedTools(e.Frame()), QStringList{e.Frame().Action(C::ToolSelect)->text()});
    // The tool changed by code, not through the action.
    e.View().SetTool(C::ToolEllipse);
    e.Frame().UpdateCommandStates();
    EXPECT_EQ(CheckedTools(e.Frame()), QStringList{e.Frame().Action(C::ToolEllipse)->text()});

    for (CChildFrame* child : e.Frame().Children()) child->close();
    test::ProcessEvents();
    ASSERT_TRUE(e.Frame().Children().isEmpty());
    e.Frame().UpdateCommandStates();
    EXPECT_EQ(CheckedTools(e.Frame()).size(), 1);
}

// The Frame List of an editor with frames documents frames, and the frames in order.
struct ListOf {
    explicit ListOf(test::Editor& e, int frames) : e(e), list(*e.Frame().FrameList()) {
        for (int i = 1; i < frames; ++i) e.Run(C::InsertFrameAtEnd);
        test::ProcessEvents();
    }
    std::vector<ObjectUid> Uids() const {
        std::vector<ObjectUid> uids;
        for (const auto& frame : e.Doc().GetAnimation().Frames()) uids.push_back(frame->Uid());
        return uids;
    }
    void Click(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(list.List()->viewport(), Qt::LeftButton, modifiers,
                          list.List()->visualItemRect(list.List()->item(row)).center());
        test::ProcessEvents();
    }
    test::Editor& e;
    FrameListPanel& list;
};

TEST(RoughEdges, DraggingOneOfSeveralSelectedFramesMovesThemAllInOneStep) {
    test::Editor e;
    ListOf l(e, 6);
    const std::vector<ObjectUid> u = l.Uids();
    l.Click(1);
    l.Click(3, Qt::ControlModifier);
    ASSERT_EQ(l.list.List()->selectedItems().size(), 2);
    const std::size_t steps = e.Doc().History().Index();
    // Frame 4 dragged below the last entry: frames 2 and 4 go to the end.
    auto* widget = static_cast<FrameListWidget*>(l.list.List());
    emit widget->entryDropped(3, 6);
    test::ProcessEvents();
    EXPECT_EQ(l.Uids(), (std::vector{u[0], u[2], u[4], u[5], u[1], u[3]}));
    EXPECT_EQ(e.Doc().History().Index(), steps + 1);
    e.Doc().History().Undo();
    EXPECT_EQ(l.Uids(), u);
    // An entry outside the selection moves alone.
    emit widget->entryDropped(0, 3);
    test::ProcessEvents();
    EXPECT_EQ(l.Uids(), (std::vector{u[1], u[2], u[0], u[3], u[4], u[5]}));
}

TEST(RoughEdges, CtrlClickTakesTheCurrentFrameOutOfTheSelectionAndShowsAnother) {
    test::Editor e;
    ListOf l(e, 5);
    const std::vector<ObjectUid> u = l.Uids();
    l.Click(1);
    l.Click(3, Qt::ShiftModifier);  // frames 2-4, frame 4 current
    ASSERT_EQ(e.View().CurrentFrame()->Uid(), u[3]);
    l.Click(3, Qt::ControlModifier);
    EXPECT_EQ(l.list.List()->selectedItems().size(), 2);
    EXPECT_FALSE(l.list.List()->item(3)->isSelected());
    // The shown frame is one of those still selected, and the frame commands act on them.
    EXPECT_EQ(e.View().CurrentFrame()->Uid(), u[2]);
    EXPECT_EQ(e.View().ChosenFrames(), (std::vector{u[1], u[2]}));
}

TEST(RoughEdges, TheKeyboardComesBackToTheDocumentAfterADialog) {
    test::Editor e;
    CQVView& view = *e.Frame().ActiveView();
    e.Frame().activateWindow();
    view.setFocus();
    test::ProcessEvents();
    // A dialog that takes the keyboard and leaves no window active when it closes.
    QMessageBox box(QMessageBox::Information, QStringLiteral("t"), QStringLiteral("x"), QMessageBox::Ok, &e.Frame());
    QTimer::singleShot(0, &box, [&box] {
        box.activateWindow();
        box.setFocus();
        box.accept();
    });
    box.exec();
    // As without a window manager: nobody activates a window now.
    QApplication::setActiveWindow(nullptr);
    ASSERT_FALSE(view.hasFocus());
    test::ProcessEvents();
    EXPECT_EQ(QApplication::activeWindow(), &e.Frame());
    EXPECT_TRUE(view.hasFocus());
}

}  // namespace
}  // namespace vantrel
