#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTimer>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QDockWidget>
#include <QDropEvent>
#include <QMimeData>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStatusBar>
#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "AppTestUtil.h"
#include "app/AnimatorApp.h"
#include "app/ChildFrame.h"
#include "app/DibImage.h"
#include "app/HelpWindow.h"
#include "app/MainFrame.h"
#include "app/OnionSkinPrefs.h"
#include "app/Printing.h"
#include "app/QVView.h"
#include "app/SplashWnd.h"
#include "document/AnimFrame.h"
#include "document/BitmapItem.h"
#include "document/LabelItem.h"
#include "../document/DocTestUtil.h"
#include "document/CQVDoc.h"
#include "document/DocumentFile.h"
#include "support/PngRef.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

using test::ProcessEvents;
using test::ResetPrompts;

QString Q(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

// A started program: main window, one document window per the command line.
struct Started {
    explicit Started(const QStringList& arguments = {}) : log(ResetPrompts()) {
        QSettings settings = CAnimatorApp::Settings();
        settings.clear();
        exitCode = app.InitInstance(arguments);
        if (CMainFrame* frame = app.MainFrame(); frame && exitCode == -1) {
            frame->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(frame));
        }
        ProcessEvents();
    }
    ~Started() {
        if (CMainFrame* frame = app.MainFrame()) {
            for (CChildFrame* child : frame->Children()) child->Document().SetModifiedFlag(false);
            frame->close();
        }
        ProcessEvents();
    }
    CMainFrame& Frame() const { return *app.MainFrame(); }
    CQVView& View() const { return *Frame().ActiveView(); }
    bool Enabled(CommandId id) const {
        Frame().UpdateCommandStates();
        return Frame().Action(id)->isEnabled();
    }
    QStringList MenuTitles() const {
        QStringList titles;
        for (QAction* menu : Frame().menuBar()->actions()) titles.append(menu->text());
        return titles;
    }
    // Actions as texts: "-" for a separator, ">" and the title for a
    // submenu, else the command's text.
    static QStringList Entries(const QList<QAction*>& actions) {
        QStringList entries;
        for (QAction* a : actions) {
            const QString text = a->menu() ? ">" + a->menu()->title() : a->text();
            entries.append(a->isSeparator() ? QStringLiteral("-") : text);
        }
        return entries;
    }
    // The entries of the menu-bar menu titled title.
    QStringList MenuEntries(const QString& title) const {
        for (QAction* menu : Frame().menuBar()->actions()) {
            if (menu->text() == title) return Entries(menu->menu()->actions());
        }
        return {};
    }
    QString Text(CommandId id) const { return Frame().Action(id)->text(); }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&View(), static_cast<Qt::Key>(key), modifiers);
        ProcessEvents();
    }

    test::PromptLog& log;
    CAnimatorApp app;
    int exitCode = 0;
};

// A document of frameCount frames with a red item on the first one, saved as a .qvd file.
std::filesystem::path SaveSampleDocument(const std::filesystem::path& folder, int frameCount) {
    CQVDoc doc;
    Animation& animation = doc.GetAnimation();
    for (int i = 1; i < frameCount; ++i) animation.AppendFrame();
    PackedDib image;
    image.SetSize(40, 20);
    image.FillRect(0x00FF0000);
    CanvasItem* item = animation.FirstFrame()->AppendItem(BitmapItem::FromImage(std::move(image)));
    animation.FirstFrame()->MoveItemTo(item, 400, 580);
    const std::filesystem::path path = folder / "sample.qvd";
    EXPECT_TRUE(SaveDocument(doc, path));
    return path;
}

// ---- start-up ----

TEST(MainWindow, StartsWithOneNewDocument) {
    Started s;
    ASSERT_EQ(s.exitCode, -1);
    ASSERT_EQ(s.Frame().Children().size(), 1);
    EXPECT_EQ(s.Frame().ActiveChild()->Document().Title(), "Untitled-1");
    EXPECT_EQ(s.Frame().windowTitle(), QStringLiteral("Tarnwick Vantrel GIF Animator - Untitled-1"));
    EXPECT_EQ(s.Frame().ZoomText(), QStringLiteral("100%"));
    EXPECT_EQ(s.MenuTitles(), (QStringList{"&File", "&Edit", "&View", "Image", "Frame", "&Window", "&Help"}));
}

TEST(MainWindow, SplashIsCentredAndClosesAfterThreeSeconds) {
    Started s;
    CSplashWnd* splash = s.Frame().Splash();
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->size(), QSize(302, 260));
    EXPECT_EQ(splash->Picture().Width(), 300);
    EXPECT_EQ(splash->Picture().Height(), 258);
    EXPECT_EQ(SplashGeometry(1280, 900), QRect(490, 321, 302, 260));
    // Still up well before its time; gone once it has passed (a loaded
    // machine may run the timer late, so the wait for that is generous).
    QTest::qWait(kSplashTimerMs / 2);
    EXPECT_NE(s.Frame().Splash(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return s.Frame().Splash() == nullptr; }, kSplashTimerMs + 5000));
}

TEST(MainWindow, ToolsBarHasExactlyOneCheckedTool) {
    Started s;
    const CommandId tools[] = {CommandId::ToolSelect, CommandId::ToolZoom, CommandId::ToolDrawBitmap,
                               CommandId::ToolCrop, CommandId::ToolRectangle, CommandId::ToolEllipse,
                               CommandId::ToolPen, CommandId::ToolText, CommandId::ToolPick,
                               CommandId::ToolFill};
    auto checked = [&] {
        s.Frame().UpdateCommandStates();
        int n = 0;
        for (const CommandId id : tools) n += s.Frame().Action(id)->isChecked() ? 1 : 0;
        return n;
    };
    EXPECT_EQ(checked(), 1);
    EXPECT_TRUE(s.Frame().Action(CommandId::ToolSelect)->isChecked());
    s.Key(Qt::Key_F6);
    EXPECT_EQ(checked(), 1);
    EXPECT_TRUE(s.Frame().Action(CommandId::ToolZoom)->isChecked());
}

// ---- commands with and without a document ----

TEST(MainWindow, CommandStatesWithAndWithoutADocument) {
    Started s;
    struct Expect {
        CommandId id;
        bool withDocument;
        bool withoutDocument;
    };
    const Expect expectations[] = {
        {CommandId::FileNew, true, true},
        {CommandId::OpenDocument, true, true},
        {CommandId::FileOpen, true, true},
        {CommandId::FileSave, true, false},
        {CommandId::FileSaveAs, true, false},
        {CommandId::FileClose, true, false},
        {CommandId::FilePrint, true, false},
        {CommandId::FilePrintPreview, true, false},
        {CommandId::ZoomIn, true, false},
        {CommandId::ZoomOut, true, false},  // 100% goes on down to 66%
        {CommandId::ZoomOneToOne, false, false},
        {CommandId::FirstFrame, false, false},
        {CommandId::NextFrame, false, false},  // a new document has one frame
        {CommandId::WindowCascade, true, false},
        {CommandId::ViewToolbar, true, true},
        {CommandId::HelpContents, true, true},
        {CommandId::AppAbout, true, true},
        {CommandId::CombineFromContextMenu, false, false},
        {CommandId::RecentFile1, false, false},  // no recent files yet
    };
    for (const Expect& e : expectations) EXPECT_EQ(s.Enabled(e.id), e.withDocument) << static_cast<int>(e.id);

    s.Frame().ActiveChild()->close();
    ProcessEvents();
    ASSERT_TRUE(s.Frame().Children().isEmpty());
    for (const Expect& e : expectations) EXPECT_EQ(s.Enabled(e.id), e.withoutDocument) << static_cast<int>(e.id);
    EXPECT_EQ(s.MenuTitles(), (QStringList{"&File", "&View", "&Help"}));
    EXPECT_EQ(s.Frame().windowTitle(), QStringLiteral("Tarnwick Vantrel GIF Animator"));
}

TEST(MainWindow, MenusGroupTheirCommandsBetweenSeparators) {
    using C = CommandId;
    Started s;
    const QString sep = QStringLiteral("-");
    EXPECT_EQ(s.MenuEntries("Image"),
              (QStringList{s.Text(C::ImageSize), s.Text(C::CanvasSize), s.Text(C::ResizeAnimation), sep, s.Text(C::ConvertToBitmap),
                           s.Text(C::Combine), sep, ">Effects", sep, s.Text(C::EditText), s.Text(C::RectangleStyle),
                           sep, s.Text(C::ImportImage)}));
    EXPECT_EQ(s.MenuEntries("Frame"),
              (QStringList{">Insert New Frame", s.Text(C::DuplicateFrame), s.Text(C::DeleteFrame), sep,
                           s.Text(C::ReverseFrames), s.Text(C::ChangeSpeed), s.Text(C::RemoveDuplicateFrames), sep, s.Text(C::FrameSetup),
                           s.Text(C::AutoFrameSize), sep, s.Text(C::FrameDuration), s.Text(C::LoopCount), sep,
                           ">Transition Effects", s.Text(C::TweenToNextFrame), sep, s.Text(C::MasterFrame), sep, s.Text(C::SetBackgroundColor),
                           sep, s.Text(C::ExportFrame)}));
    const QStringList helpEntries = {s.Text(C::HelpContents), s.Text(C::HelpTutorial), s.Text(C::HelpQuickTour),
                                     s.Text(C::HelpReference), sep, s.Text(C::HelpHomePage), sep,
                                     s.Text(C::AppAbout)};
    EXPECT_EQ(s.MenuEntries("&Help"), helpEntries);
    const QStringList recentAndExit = {s.Text(C::RecentFile1), s.Text(C::RecentFile2), s.Text(C::RecentFile3),
                                       s.Text(C::RecentFile4), sep, s.Text(C::AppExit)};
    EXPECT_EQ(s.MenuEntries("&File"),
              (QStringList{s.Text(C::FileNew), s.Text(C::QuickAnimation), s.Text(C::OpenDocument),
                           s.Text(C::FileClose), sep, s.Text(C::SaveAnimation), s.Text(C::SaveAnimationAs), sep,
                           s.Text(C::FileSave), s.Text(C::FileSaveAs), sep, s.Text(C::FilePrint),
                           s.Text(C::FilePrintPreview), s.Text(C::FilePrintSetup), sep} +
               recentAndExit));

    s.Frame().ActiveChild()->close();
    ProcessEvents();
    EXPECT_EQ(s.MenuEntries("&File"), (QStringList{s.Text(C::FileNew), s.Text(C::QuickAnimation),
                                                   s.Text(C::OpenDocument), sep, s.Text(C::FilePrintSetup), sep} +
                                       recentAndExit));
    EXPECT_EQ(s.MenuEntries("&View"), (QStringList{s.Text(C::ViewToolbar), s.Text(C::ViewStatusBar)}));
    EXPECT_EQ(s.MenuEntries("&Help"), helpEntries);

    // The tool bar groups its buttons the same way.
    const auto* bar = s.Frame().findChild<QToolBar*>(QStringLiteral("mainToolBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(Started::Entries(bar->actions()),
              (QStringList{s.Text(C::FileNew), s.Text(C::QuickAnimation), s.Text(C::OpenDocument),
                           s.Text(C::SaveAnimation), s.Text(C::FileSave), sep, s.Text(C::FilePrint),
                           s.Text(C::FilePrintPreview), sep, s.Text(C::EditCut), s.Text(C::EditCopy),
                           s.Text(C::EditPaste), sep, s.Text(C::PreviewAnimation), sep, s.Text(C::ImageSize),
                           s.Text(C::CanvasSize), s.Text(C::Combine), s.Text(C::EditText), sep,
                           s.Text(C::AutoFrameSize), s.Text(C::InsertFrameAfter), sep, s.Text(C::MasterFrame), sep,
                           s.Text(C::FirstFrame), s.Text(C::PreviousFrame), s.Text(C::NextFrame),
                           s.Text(C::LastFrame), sep, s.Text(C::DeleteFrame), sep, s.Text(C::HelpContents)}));
}

TEST(MainWindow, PanelsDockAtTheRightOnFirstStartAndMayFloat) {
    Started s;
    const struct {
        const char* name;
        const char* title;
        QSize body;  // zero: the size follows from the contents
    } panels[] = {
        {"currentColorsBar", "Current Colors", {}},
        {"frameListBar", "Frame List", {210, 260}},
        {"backgroundBar", "Background", {150, 90}},
    };
    for (const auto& p : panels) {
        SCOPED_TRACE(p.name);
        const auto* dock = s.Frame().findChild<QDockWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(dock, nullptr);
        EXPECT_EQ(dock->windowTitle(), QString::fromLatin1(p.title));
        EXPECT_FALSE(dock->isFloating());
        EXPECT_TRUE(dock->isVisible());
        EXPECT_EQ(s.Frame().dockWidgetArea(const_cast<QDockWidget*>(dock)), Qt::RightDockWidgetArea);
        EXPECT_TRUE(dock->features().testFlag(QDockWidget::DockWidgetFloatable));
        EXPECT_TRUE(dock->isAreaAllowed(Qt::RightDockWidgetArea));
        // Docked, it covers nothing of the document windows.
        EXPECT_FALSE(dock->geometry().intersects(s.Frame().MdiArea()->geometry()));
        ASSERT_NE(dock->widget(), nullptr);
        EXPECT_EQ(dock->widget()->parent(), dock);
        if (!p.body.isEmpty()) {
            EXPECT_EQ(dock->widget()->size(), p.body);
        }
    }
}

TEST(MainWindow, MenuTextsCarryTheirShortcuts) {
    Started s;
    EXPECT_EQ(s.Frame().Action(CommandId::ZoomIn)->text(), QStringLiteral("Zoom &In\tNum +"));
    EXPECT_EQ(s.Frame().Action(CommandId::OpenDocument)->text(), QStringLiteral("&Open...\tCtrl+O"));
    EXPECT_EQ(s.Frame().Action(CommandId::FileSave)->text(), QStringLiteral("&Save Document\tCtrl+S"));
    // Ctrl+O belongs to the standard open, whose dialog has the document filter and all files.
    EXPECT_TRUE(s.Frame().Action(CommandId::FileOpen)->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_O)));
    EXPECT_TRUE(s.Frame().Action(CommandId::OpenDocument)->shortcuts().isEmpty());
    s.Frame().ExecuteCommand(CommandId::FileOpen);
    s.Frame().ExecuteCommand(CommandId::OpenDocument);
    ASSERT_EQ(s.log.dialogs.size(), 2u);
    EXPECT_EQ(s.log.dialogs[0].filters, (QStringList{"Vantrel GIF Animation (*.qvd)", "All Files (*)"}));
    EXPECT_EQ(s.log.dialogs[1].title, QStringLiteral("Open Document"));
    // "Editable Files" with every openable extension, then documents, GIF, JPEG and PNG.
    const QStringList& open = s.log.dialogs[1].filters;
    ASSERT_EQ(open.size(), 5);
    EXPECT_TRUE(open.front().startsWith(QStringLiteral("Editable Files (")));
    for (const char* pattern : {"*.qvd", "*.gif", "*.jpg", "*.jpeg", "*.png"})
        EXPECT_TRUE(open.front().contains(QLatin1String(pattern))) << pattern;
}

// ---- opening ----

TEST(MainWindow, OpensAGifAndADocumentFileWithTheirTitles) {
    const auto folder = test::ScratchDir("app_open");
    const auto gif = folder / "three.gif";
    test::WriteFlatGif(gif, 30, 10, {0xFF0000, 0x00FF00, 0x0000FF});
    const auto qvd = SaveSampleDocument(folder, 3);

    Started s({Q(gif)});
    ASSERT_EQ(s.exitCode, -1);
    ASSERT_EQ(s.Frame().Children().size(), 1);
    EXPECT_EQ(s.Frame().ActiveChild()->Document().Title(), "three.gif");
    EXPECT_EQ(s.Frame().ActiveChild()->Document().GetAnimation().FrameCount(), 3u);
    EXPECT_EQ(s.Frame().windowTitle(), QStringLiteral("Tarnwick Vantrel GIF Animator - three.gif"));

    CChildFrame* second = s.app.OpenDocumentFile(Q(qvd));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(s.Frame().ActiveChild(), second);
    EXPECT_EQ(second->Document().Title(), "sample.qvd");
    EXPECT_EQ(s.Frame().windowTitle(), QStringLiteral("Tarnwick Vantrel GIF Animator - sample.qvd"));
    // Opening the same file again brings its window forward instead of reading it twice.
    s.Frame().MdiArea()->setActiveSubWindow(s.Frame().Children().front());
    EXPECT_EQ(s.app.OpenDocumentFile(Q(qvd)), second);
    EXPECT_EQ(s.Frame().Children().size(), 2);
    EXPECT_EQ(s.Frame().ActiveChild(), second);
    EXPECT_EQ(s.app.RecentFiles().front(), Q(std::filesystem::absolute(qvd)));
    EXPECT_TRUE(s.log.messages.isEmpty());
}

TEST(MainWindow, FilesThatCannotBeOpenedSayWhy) {
    const auto folder = test::ScratchDir("app_bad_files");
    struct Case {
        const char* name;
        const char* bytes;
        const char* message;
    };
    const Case cases[] = {
        {"broken.qvd", "not a document at all", "Unexpected file format."},
        {"broken.gif", "PNG pretending", "No GIF Format"},
    };
    Started s;
    for (const Case& c : cases) {
        QFile file(Q(folder / c.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        EXPECT_EQ(s.app.OpenDocumentFile(file.fileName()), nullptr);
        ASSERT_FALSE(s.log.messages.isEmpty());
        EXPECT_EQ(s.log.messages.back(), QString::fromLatin1(c.message));
    }
    EXPECT_EQ(s.Frame().Children().size(), 1);
}

TEST(MainWindow, DroppedFilesOpenAsDocuments) {
    const auto folder = test::ScratchDir("app_drop");
    const auto gif = folder / "dropped.gif";
    test::WriteFlatGif(gif, 8, 8, {0x102030, 0x405060});
    const auto qvd = SaveSampleDocument(folder, 2);
    // A picture, its extension in capitals: a document holding it, the canvas its size.
    const auto png = folder / "Shot.PNG";
    PackedDib picture;
    ASSERT_TRUE(picture.SetSize(24, 16));
    picture.FillRect(MakePixel(10, 200, 30));
    ASSERT_TRUE(test::WritePngWithLibpng(png, picture));
    Started s;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Q(gif)), QUrl::fromLocalFile(Q(qvd)), QUrl::fromLocalFile(Q(png))});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&s.Frame(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&s.Frame(), &drop);
    ProcessEvents();
    QStringList titles;
    for (CChildFrame* child : s.Frame().Children()) titles.append(QString::fromStdString(child->Document().Title()));
    // The untouched new document the program started with gave way to the first of them.
    EXPECT_EQ(titles, (QStringList{"dropped.gif", "sample.qvd", "Shot.PNG"}));
    const Animation& shot = s.Frame().Children().back()->Document().GetAnimation();
    EXPECT_EQ(shot.Width(), 24);
    EXPECT_EQ(shot.Height(), 16);
    EXPECT_EQ(shot.FirstFrame()->Image().GetPixel(3, 3), MakePixel(10, 200, 30));
    EXPECT_TRUE(s.log.messages.isEmpty());
}

TEST(MainWindow, AboutBoxShowsThePictureAndClosesOnAClick) {
    ResetPrompts();
    CAboutDlg about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    EXPECT_EQ(about.size(), QSize(302, 260));
    auto* picture = about.findChild<CSplashWnd*>();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->geometry(), QRect(0, 0, 300, 258));
    EXPECT_EQ(picture->ControlId(), kAboutPictureId);
    QTest::mouseClick(picture, Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

TEST(MainWindow, ABadFileOnTheCommandLineEndsTheStart) {
    const auto folder = test::ScratchDir("app_bad_start");
    QFile file(Q(folder / "bad.qvd"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("nothing");
    file.close();
    Started s({file.fileName()});
    EXPECT_EQ(s.exitCode, 1);
}

// ---- zoom, keys and frames ----

// The zoom that shows the view's canvas whole, worked out independently of the view.
ZoomFactor FitZoomOfView(const CQVView& view) {
    const Rect canvas = view.Editor().CurrentFrame()->Canvas();
    const QSize client = view.viewport()->size();
    const ZoomFactor ladder[] = {32, 16, 8, 4, 2, 1, {2, 3}, {1, 2}, {1, 3}, {1, 4}};
    for (const ZoomFactor zoom : ladder) {
        if (zoom > 16) continue;
        if (zoom.Scale(canvas.Width()) + 6 <= client.width() && zoom.Scale(canvas.Height()) + 6 <= client.height())
            return zoom;
    }
    return {1, 4};
}

TEST(MainWindow, StatusBarFollowsTheZoom) {
    Started s;
    s.Key(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(s.View().Editor().Zoom(), 2);
    EXPECT_EQ(s.Frame().ZoomText(), QStringLiteral("200%"));
    s.Frame().ExecuteCommand(CommandId::ZoomIn);
    ProcessEvents();
    EXPECT_EQ(s.Frame().ZoomText(), QStringLiteral("400%"));
    s.Key(Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_EQ(s.Frame().ZoomText(), QStringLiteral("100%"));
    s.Key(Qt::Key_Minus, Qt::KeypadModifier);
    ProcessEvents();
    EXPECT_EQ(s.Frame().ZoomText(), QStringLiteral("66%"));
    s.Key(Qt::Key_0, Qt::ControlModifier);
    ProcessEvents();
    EXPECT_EQ(s.View().Editor().Zoom(), FitZoomOfView(s.View()));
}

TEST(MainWindow, NavigationKeysChangeTheFrame) {
    const auto qvd = SaveSampleDocument(test::ScratchDir("app_keys"), 4);
    Started s({Q(qvd)});
    const Animation& animation = s.View().Document().GetAnimation();
    auto shown = [&] { return animation.IndexOf(s.View().Editor().CurrentFrame()); };
    EXPECT_EQ(shown(), 0);
    EXPECT_FALSE(s.Enabled(CommandId::FirstFrame));
    s.Key(Qt::Key_PageDown);
    EXPECT_EQ(shown(), 1);
    s.Key(Qt::Key_End);
    EXPECT_EQ(shown(), 3);
    EXPECT_FALSE(s.Enabled(CommandId::NextFrame));
    s.Key(Qt::Key_PageUp);
    EXPECT_EQ(shown(), 2);
    s.Key(Qt::Key_Home);
    EXPECT_EQ(shown(), 0);
}

// ---- painting ----

TEST(MainWindow, ViewShowsTheRenderedFrameWithBorderAndShadow) {
    const auto qvd = SaveSampleDocument(test::ScratchDir("app_paint"), 1);
    Started s({Q(qvd)});
    CQVView& view = s.View();
    s.Frame().resize(1400, 900);
    s.Frame().ActiveChild()->resize(1200, 600);
    ProcessEvents();
    view.Editor().ExecuteCommand(CommandId::ZoomOneToOne);
    for (const int zoom : {1, 2}) {
        if (zoom == 2) view.Editor().ExecuteCommand(CommandId::ZoomIn);
        ProcessEvents();
        ASSERT_EQ(view.Editor().Zoom(), zoom);
        const QImage shown = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const AnimFrame& frame = *view.Editor().CurrentFrame();
        const QImage rendered = ToQImage(frame.Image());
        const Rect canvas = view.Editor().FrameToWindow(frame.Canvas());
        ASSERT_GE(canvas.left, 2);
        ASSERT_LE(canvas.right + 3, shown.width()) << "the canvas must fit the window";
        for (int y = canvas.top; y < canvas.bottom; ++y)
            for (int x = canvas.left; x < canvas.right; ++x)
                ASSERT_EQ(shown.pixel(x, y), rendered.pixel((x - canvas.left) / zoom, (y - canvas.top) / zoom))
                    << "zoom " << zoom << " at " << x << "," << y;
        // The rendered frame holds the red item and the white background.
        EXPECT_EQ(rendered.pixel(0, 0), qRgb(255, 255, 255));
        EXPECT_EQ(rendered.pixel(400 - 366, 580 - 570), qRgb(255, 0, 0));
        const QRgb black = qRgb(0, 0, 0);
        const QRgb grey = qRgb(0xC0, 0xC0, 0xC0);
        const QRgb white = qRgb(255, 255, 255);
        EXPECT_EQ(shown.pixel(canvas.left - 1, canvas.top - 1), black);
        EXPECT_EQ(shown.pixel(canvas.right, canvas.bottom), black);
        EXPECT_EQ(shown.pixel(canvas.left + 5, canvas.bottom), black);
        EXPECT_EQ(shown.pixel(canvas.left + 5, canvas.bottom + 1), grey);
        EXPECT_EQ(shown.pixel(canvas.left + 5, canvas.bottom + 2), grey);
        EXPECT_EQ(shown.pixel(canvas.left + 5, canvas.bottom + 3), white);
        EXPECT_EQ(shown.pixel(canvas.right + 1, canvas.top + 5), grey);
        EXPECT_EQ(shown.pixel(canvas.right + 2, canvas.top + 5), grey);
        EXPECT_EQ(shown.pixel(canvas.right + 1, canvas.top), white);  // the shadow starts two pixels down
        EXPECT_EQ(shown.pixel(canvas.left, canvas.bottom + 1), white);
        EXPECT_EQ(shown.pixel(canvas.left - 2, canvas.top + 5), white);
    }
}

// ---- printing ----

TEST(MainWindow, TwelveFramesPrintOnTwoA4Pages) {
    const auto folder = test::ScratchDir("app_print");
    const auto qvd = SaveSampleDocument(folder, 12);
    Started s({Q(qvd)});
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
    const QString pdf = Q(folder / "frames.pdf");
    printer.setOutputFileName(pdf);
    EXPECT_EQ(s.View().PrintTo(printer), 2);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString content = QString::fromLatin1(file.readAll());
    EXPECT_EQ(content.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))), 2);
}

TEST(MainWindow, PrintingWithoutAPrinterNeverOverwritesAnEarlierPdf) {
    const auto folder = test::ScratchDir("app_print_pdf");
    EXPECT_EQ(UnusedPdfPath(folder / "my doc.qvd"), folder / "my doc.pdf");
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
    const auto qvd = SaveSampleDocument(folder, 2);
    const auto earlier = folder / "sample.pdf";
    { std::ofstream(earlier) << "an earlier PDF"; }
    std::ofstream(folder / "sample (2).pdf") << "another earlier PDF";
    CAnimatorApp app;
    ASSERT_TRUE(app.PrintDocumentFile(Q(qvd)));
    // The earlier files stay; the pages went to the first free name.
    std::ifstream in(earlier);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "an earlier PDF");
    EXPECT_EQ(UnusedPdfPath(qvd), folder / "sample (4).pdf");
    QFile file(Q(folder / "sample (3).pdf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF"));
}

// ---- saving and closing ----

TEST(MainWindow, SavingANewDocumentAsksForANameOnce) {
    const auto folder = test::ScratchDir("app_save");
    Started s;
    s.log.fileAnswer = Q(folder / "banner");
    CChildFrame& child = *s.Frame().ActiveChild();
    child.Document().SetModifiedFlag(true);
    ASSERT_TRUE(s.Frame().ExecuteCommand(CommandId::FileSave));
    ASSERT_EQ(s.log.dialogs.size(), 1u);
    EXPECT_TRUE(s.log.dialogs[0].save);
    EXPECT_TRUE(std::filesystem::exists(folder / "banner.qvd"));
    EXPECT_EQ(child.Document().Title(), "banner.qvd");
    EXPECT_FALSE(child.Document().IsModified());
    child.Document().SetModifiedFlag(true);
    ASSERT_TRUE(s.Frame().ExecuteCommand(CommandId::FileSave));
    EXPECT_EQ(s.log.dialogs.size(), 1u);  // saved silently to the same file
    EXPECT_FALSE(child.Document().IsModified());
}

// A read-only document file is not replaced: the editor says so and offers
// to save the document under another name.
TEST(MainWindow, SavingOverAReadOnlyFileOffersSaveAs) {
    namespace fs = std::filesystem;
    const auto folder = test::ScratchDir("app_save_readonly");
    const fs::path path = SaveSampleDocument(folder, 2);
    const std::string before = test::FileText(path);
    fs::permissions(path, fs::perms(0444));
    Started s({Q(path)});
    CChildFrame& child = *s.Frame().ActiveChild();
    child.Document().SetModifiedFlag(true);

    s.log.answer = MessageAnswer::No;
    EXPECT_FALSE(child.Save());
    ASSERT_EQ(s.log.messages.size(), 1);
    EXPECT_EQ(s.log.messages[0], Q(path) + QStringLiteral(" is read-only.\nSave the document under another name?"));
    EXPECT_TRUE(s.log.dialogs.empty());
    EXPECT_TRUE(child.Document().IsModified());

    s.log.answer = MessageAnswer::Yes;
    s.log.fileAnswer = Q(folder / "copy");
    EXPECT_TRUE(child.Save());
    ASSERT_EQ(s.log.dialogs.size(), 1u);
    EXPECT_TRUE(s.log.dialogs[0].save);
    EXPECT_TRUE(fs::exists(folder / "copy.qvd"));
    EXPECT_EQ(child.Document().PathName(), folder / "copy.qvd");
    EXPECT_FALSE(child.Document().IsModified());
    EXPECT_EQ(test::FileText(path), before);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms(0444));
}

// Saving a document opened through a link writes the file the link leads
// to, and the link stays.
TEST(MainWindow, SavingThroughALinkUpdatesItsTarget) {
    namespace fs = std::filesystem;
    const auto folder = test::ScratchDir("app_save_link");
    fs::create_directories(folder / "real");
    const fs::path target = SaveSampleDocument(folder / "real", 1);
    const fs::path link = folder / "link.qvd";
    fs::create_symlink(fs::path("real") / target.filename(), link);
    Started s({Q(link)});
    CChildFrame& child = *s.Frame().ActiveChild();
    child.Document().GetAnimation().AppendFrame();
    child.Document().SetModifiedFlag(true);
    ASSERT_TRUE(child.Save());
    EXPECT_TRUE(s.log.messages.isEmpty()) << s.log.messages.join(u'|').toStdString();
    EXPECT_TRUE(fs::is_symlink(link));
    CQVDoc reopened;
    ASSERT_TRUE(OpenDocument(reopened, target).ok());
    EXPECT_EQ(reopened.GetAnimation().FrameCount(), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "real"), fs::directory_iterator()), 1);
}

// A document whose file another program wrote after it was opened asks
// before saving over it: Cancel keeps the other file, Save As goes
// elsewhere, Overwrite replaces it. A file touched but not changed, and the
// editor's own earlier saves, do not ask.
TEST(MainWindow, SavingOverAFileChangedOnDiskAsksFirst) {
    namespace fs = std::filesystem;
    const auto folder = test::ScratchDir("app_save_changed_on_disk");
    const fs::path target = SaveSampleDocument(folder, 1);
    Started s({Q(target)});
    CChildFrame& child = *s.Frame().ActiveChild();
    const auto edit = [&] {
        child.Document().GetAnimation().AppendFrame();
        child.Document().SetModifiedFlag(true);
    };
    edit();
    fs::last_write_time(target, fs::last_write_time(target) + std::chrono::seconds(5));  // touched only
    ASSERT_TRUE(child.Save());
    EXPECT_TRUE(s.log.messages.isEmpty()) << s.log.messages.join(u'|').toStdString();
    edit();
    ASSERT_TRUE(child.Save());  // over its own save
    EXPECT_TRUE(s.log.messages.isEmpty()) << s.log.messages.join(u'|').toStdString();

    const std::string theirs = "written by another program";
    { std::ofstream(target, std::ios::binary) << theirs; }
    edit();
    s.log.answer = MessageAnswer::Cancel;
    EXPECT_FALSE(child.Save());
    ASSERT_EQ(s.log.messages.size(), 1);
    EXPECT_TRUE(s.log.messages[0].contains(QStringLiteral("has changed on disk"))) << s.log.messages[0].toStdString();
    EXPECT_EQ(test::FileText(target), theirs);

    s.log.answer = MessageAnswer::No;  // Save As..., to another file
    const fs::path elsewhere = folder / "mine.qvd";
    s.log.fileAnswer = Q(elsewhere);
    ASSERT_TRUE(child.Save());
    EXPECT_EQ(test::FileText(target), theirs);
    EXPECT_TRUE(fs::exists(elsewhere));
    EXPECT_EQ(child.Document().PathName(), elsewhere);

    { std::ofstream(elsewhere, std::ios::binary) << theirs; }
    edit();
    s.log.answer = MessageAnswer::Yes;  // Overwrite
    s.log.messages.clear();
    ASSERT_TRUE(child.Save());
    EXPECT_EQ(s.log.messages.size(), 1);
    CQVDoc reopened;
    ASSERT_TRUE(OpenDocument(reopened, elsewhere).ok());
    EXPECT_EQ(reopened.GetAnimation().FrameCount(), child.Document().GetAnimation().FrameCount());
}

// When the recovery folder cannot be made, the editor says that autosave is off.
TEST(MainWindow, AutosaveThatCannotStartIsShown) {
    namespace fs = std::filesystem;
    const auto folder = test::ScratchDir("app_autosave_off");
    const fs::path home = folder / "home";
    { std::ofstream(home) << "a file where the home folder should be"; }
    const char* old = std::getenv("HOME");
    const std::string oldHome = old ? old : "";
    setenv("HOME", home.c_str(), 1);
    {
        Started s;
        EXPECT_EQ(s.exitCode, -1);
        ASSERT_EQ(s.log.messages.size(), 1);
        EXPECT_TRUE(s.log.messages[0].startsWith(QStringLiteral("Autosave is off"))) << s.log.messages[0].toStdString();
        EXPECT_TRUE(s.log.messages[0].contains(QString::fromStdString(home.string()))) << s.log.messages[0].toStdString();
    }
    if (old) setenv("HOME", oldHome.c_str(), 1);
    else unsetenv("HOME");
}

TEST(MainWindow, ClosingAModifiedDocumentAsksFirst) {
    Started s;
    CChildFrame* child = s.Frame().ActiveChild();
    child->Document().SetModifiedFlag(true);
    s.log.answer = MessageAnswer::Cancel;
    EXPECT_FALSE(child->close());
    ASSERT_EQ(s.log.messages.size(), 1);
    EXPECT_EQ(s.log.messages[0], QStringLiteral("Save changes to Untitled-1?"));
    EXPECT_EQ(s.Frame().Children().size(), 1);
    s.log.answer = MessageAnswer::No;
    EXPECT_TRUE(child->close());
    ProcessEvents();
    EXPECT_TRUE(s.Frame().Children().isEmpty());
}

TEST(MainWindow, ClosingTheMainWindowSavesTheBarLayout) {
    {
        Started s;
        s.Frame().close();
        ProcessEvents();
    }
    QSettings settings = CAnimatorApp::Settings();
    EXPECT_FALSE(settings.value(QStringLiteral("BarState/State")).toByteArray().isEmpty());
}

TEST(MainWindow, AFloatedPanelFloatsAgainAtTheNextStart) {
    CAnimatorApp::Settings().clear();
    {
        ResetPrompts();
        CAnimatorApp app;
        ASSERT_EQ(app.InitInstance({}), -1);
        ProcessEvents();
        app.MainFrame()->findChild<QDockWidget*>(QStringLiteral("frameListBar"))->setFloating(true);
        app.MainFrame()->close();
        ProcessEvents();
    }
    CAnimatorApp app;
    ASSERT_EQ(app.InitInstance({}), -1);
    ProcessEvents();
    EXPECT_TRUE(app.MainFrame()->findChild<QDockWidget*>(QStringLiteral("frameListBar"))->isFloating());
    EXPECT_FALSE(app.MainFrame()->findChild<QDockWidget*>(QStringLiteral("backgroundBar"))->isFloating());
    for (CChildFrame* child : app.MainFrame()->Children()) child->Document().SetModifiedFlag(false);
    app.MainFrame()->close();
    ProcessEvents();
}

// ---- help ----

TEST(MainWindow, HelpCommandsShowPagesBesideTheProgramInTheHelpWindow) {
    Started s;
    const struct {
        CommandId id;
        const char* page;
    } pages[] = {{CommandId::HelpContents, "docs/index.htm"},
                 {CommandId::HelpQuickTour, "docs/tour.htm"},
                 {CommandId::HelpReference, "docs/reference.htm"},
                 {CommandId::HelpTutorial, "docs/tutorial.htm"}};
    for (const auto& p : pages) {
        s.Frame().showNormal();
        ASSERT_TRUE(s.Frame().ExecuteCommand(p.id));
        HelpWindow* help = s.app.Help();
        ASSERT_NE(help, nullptr);
        EXPECT_TRUE(help->isVisible());
        EXPECT_EQ(help->windowTitle(), "Vantrel GIF Animator Help");
        EXPECT_EQ(help->Browser().source().toLocalFile(),
                  QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(p.page));
        EXPECT_FALSE(s.Frame().isMinimized());
        EXPECT_TRUE(s.log.opened.empty());  // no web browser needed
    }
    // The pages themselves (beside the editor, not beside this test): read,
    // Back goes to the page before, Find finds text of the page.
    HelpWindow& help = *s.app.Help();
    const auto page = [](const char* name) {
        return QString::fromStdString((test::SourceDir() / "docs" / name).string());
    };
    help.ShowPage(page("tour.htm"));
    help.ShowPage(page("reference.htm"));
    EXPECT_FALSE(help.Browser().documentTitle().isEmpty());
    EXPECT_GT(help.Browser().toPlainText().size(), 2000);
    help.ShowPage(page("index.htm"));
    help.Browser().backward();
    EXPECT_TRUE(help.Browser().source().toLocalFile().endsWith("docs/reference.htm"));
    help.FindBox().setText(QStringLiteral("Zoom to Fit"));
    EXPECT_TRUE(help.FindNext());
    EXPECT_EQ(help.Browser().textCursor().selectedText(), "Zoom to Fit");
    help.FindBox().setText(QStringLiteral("no such words here"));
    EXPECT_FALSE(help.FindNext());

    ASSERT_TRUE(s.Frame().ExecuteCommand(CommandId::HelpHomePage));
    EXPECT_EQ(s.log.opened.back(), QUrl(QString::fromLatin1(kHomePageUrl)));
}

// ---- editing ----

TEST(MainWindow, ADraggedRectangleIsUndoneRedoneAndSaved) {
    Started s;
    CQVView& view = s.View();
    CQVDoc& doc = view.Document();
    ASSERT_TRUE(s.Frame().ExecuteCommand(CommandId::ToolRectangle));
    const Point scroll = view.Editor().ScrollPosition();
    const auto at = [&](int x, int y) { return QPoint(x - scroll.x, y - scroll.y); };
    QWidget* viewport = view.viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, at(400, 580));
    QTest::mouseMove(viewport, at(420, 590));
    QTest::mouseMove(viewport, at(450, 610));
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, at(450, 610));
    ProcessEvents();
    AnimFrame& frame = *view.Editor().CurrentFrame();
    ASSERT_EQ(frame.CountItems(), 1);
    EXPECT_EQ(frame.Top()->Bounds(), (Rect{400, 580, 450, 610}));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(s.Text(CommandId::EditUndo), QStringLiteral("&Undo Draw Rectangle\tCtrl+Z"));

    s.Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(frame.CountItems(), 0);
    EXPECT_FALSE(doc.IsModified());
    s.Key(Qt::Key_Y, Qt::ControlModifier);
    ASSERT_EQ(frame.CountItems(), 1);

    const std::filesystem::path path = test::ScratchDir("undo-redo-save") / "drawn.qvd";
    ASSERT_TRUE(s.Frame().ActiveChild()->SaveTo(path));
    EXPECT_FALSE(doc.IsModified());
    CQVDoc reopened;
    ASSERT_TRUE(OpenDocument(reopened, path));
    ASSERT_EQ(reopened.GetAnimation().FirstFrame()->CountItems(), 1);
    EXPECT_EQ(reopened.GetAnimation().FirstFrame()->Top()->Kind(), ItemKind::Box);
    EXPECT_EQ(reopened.GetAnimation().FirstFrame()->Top()->Bounds(), (Rect{400, 580, 450, 610}));
}

TEST(MainWindow, KeypadKeysZoom) {
    Started s;
    s.Key(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(s.View().Editor().Zoom(), 2);
    s.Key(Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_EQ(s.View().Editor().Zoom(), 1);
}

TEST(MainWindow, F3TurnsTheOnionSkinOnInEveryWindowAndItIsRemembered) {
    Started s;
    EXPECT_FALSE(s.View().Editor().OnionSkin().shown);
    EXPECT_FALSE(LoadOnionSkinSettings().shown);
    s.Key(Qt::Key_F3);
    EXPECT_TRUE(s.View().Editor().OnionSkin().shown);
    s.Frame().UpdateCommandStates();
    EXPECT_TRUE(s.Frame().Action(CommandId::OnionSkin)->isChecked());
    EXPECT_TRUE(LoadOnionSkinSettings().shown);
    // A window opened later shows it too.
    s.Frame().ExecuteCommand(CommandId::FileNew);
    ProcessEvents();
    ASSERT_EQ(s.Frame().Children().size(), 2);
    EXPECT_TRUE(s.View().Editor().OnionSkin().shown);
    s.Key(Qt::Key_F3);
    for (CChildFrame* child : s.Frame().Children()) EXPECT_FALSE(child->View().Editor().OnionSkin().shown);
    EXPECT_FALSE(LoadOnionSkinSettings().shown);
}

// ---- context menu and clipboard ----

// Right-clicks the view at a work-area point and returns the title and the
// entries of the popup that opens (closing it again).
QString RightClickPopup(CQVView& view, Point at, QStringList* entries = nullptr) {
    const Point scroll = view.Editor().ScrollPosition();
    const QPoint window(at.x - scroll.x, at.y - scroll.y);
    QString title = QStringLiteral("(none)");
    QTest::mouseMove(view.viewport(), window);
    // The popup runs its own event loop: a timer inside it reads and closes it.
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        poll.stop();
        title = menu->title();
        if (entries) {
            for (QAction* a : menu->actions()) entries->append(a->menu() ? ">" + a->menu()->title() : a->text());
        }
        menu->close();
    });
    poll.start();
    QTest::mousePress(view.viewport(), Qt::RightButton, Qt::NoModifier, window);
    QTest::mouseRelease(view.viewport(), Qt::RightButton, Qt::NoModifier, window);
    poll.stop();
    ProcessEvents();
    return title;
}

TEST(MainWindow, TheContextMenuOffersThePopupOfThePointAndTheSelection) {
    Started s;
    CQVView& view = s.View();
    AnimFrame& frame = *view.Editor().CurrentFrame();
    auto label = std::make_unique<LabelItem>();
    label->SetText("Hello");
    label->MoveTo(450, 610);
    CanvasItem* labelItem = frame.AppendItem(std::move(label));
    CanvasItem* bitmap = frame.AppendItem(test::SolidItem({600, 580, 640, 620}, 0x00FF0000));
    ProcessEvents();

    QStringList entries;
    EXPECT_EQ(RightClickPopup(view, {10, 10}, &entries), "Frame");
    EXPECT_EQ(entries.first(), ">Insert New Frame");
    entries.clear();
    const Point onLabel{labelItem->Bounds().left + 3, labelItem->Bounds().top + 3};
    EXPECT_EQ(RightClickPopup(view, onLabel, &entries), "Label");
    EXPECT_TRUE(labelItem->IsSelected());
    EXPECT_TRUE(entries.contains("Change Font"));
    EXPECT_TRUE(s.Enabled(CommandId::ChangeFont));
    frame.SelectAll();
    EXPECT_EQ(RightClickPopup(view, {610, 590}), "Multiple");
    EXPECT_EQ(frame.CountSelected(), 2);
    EXPECT_TRUE(bitmap->IsSelected());
}

TEST(MainWindow, CopiedItemsPasteIntoAnotherDocumentAndOfferAPng) {
    Started s;
    CQVView& first = s.View();
    AnimFrame& frame = *first.Editor().CurrentFrame();
    frame.AppendItem(test::SolidItem({500, 590, 520, 600}, 0x8000FF00, true))->SetSelected(true);
    ASSERT_TRUE(s.Frame().ExecuteCommand(CommandId::EditCopy));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasFormat("application/x-vantrel-clipboard-format"));
    QImage png;
    ASSERT_TRUE(png.loadFromData(data->data("image/png"), "PNG"));
    EXPECT_EQ(png.size(), QSize(20, 10));
    EXPECT_EQ(qAlpha(png.pixel(3, 3)), 0x7F);  // transparency 0x80 kept as alpha

    ASSERT_TRUE(s.Frame().ExecuteCommand(CommandId::FileNew));
    ProcessEvents();
    CQVView& second = s.View();
    ASSERT_NE(&second, &first);
    ASSERT_TRUE(s.Enabled(CommandId::EditPaste));
    ASSERT_TRUE(s.Frame().ExecuteCommand(CommandId::EditPaste));
    const AnimFrame& pasted = *second.Editor().CurrentFrame();
    ASSERT_EQ(pasted.CountItems(), 1);
    EXPECT_EQ(pasted.Top()->Bounds(), (Rect{500, 590, 520, 600}));
    EXPECT_TRUE(second.Document().IsModified());

    // A picture from another program larger than a frame may be is refused.
    QGuiApplication::clipboard()->setImage(QImage(1300, 20, QImage::Format_RGB32));
    ASSERT_TRUE(s.Enabled(CommandId::EditPaste));
    s.Frame().ExecuteCommand(CommandId::EditPaste);
    EXPECT_EQ(pasted.CountItems(), 1);
    EXPECT_EQ(s.log.messages.size(), 1);
    // One that fits becomes a bitmap item on the centre point.
    QImage small(101, 51, QImage::Format_ARGB32);
    small.fill(QColor(10, 20, 30));
    QGuiApplication::clipboard()->setImage(small);
    s.Frame().ExecuteCommand(CommandId::EditPaste);
    ASSERT_EQ(pasted.CountItems(), 2);
    const Point centre = second.Editor().Centre();
    EXPECT_EQ(pasted.Top()->Bounds(), (Rect{centre.x - 50, centre.y - 25, centre.x + 51, centre.y + 26}));
    EXPECT_EQ(pasted.Top()->PixelAt({centre.x, centre.y}), 0x000A141Eu);
}

TEST(MainWindow, ImportImageAsksForAFileOfTheImportFormatsAndTellsWhyOneFails) {
    Started s;
    ASSERT_TRUE(s.Enabled(CommandId::ImportImage));
    s.log.fileAnswer.clear();  // cancelled
    s.Frame().ExecuteCommand(CommandId::ImportImage);
    ASSERT_EQ(s.log.dialogs.size(), 1u);
    EXPECT_EQ(s.log.dialogs[0].title, "Import Image");
    EXPECT_FALSE(s.log.dialogs[0].save);
    EXPECT_TRUE(s.log.dialogs[0].filters.value(0).startsWith("Importable Files ("));
    EXPECT_TRUE(s.log.messages.isEmpty());
    s.log.fileAnswer = Q(test::ScratchDir("import-fails") / "broken.gif");
    QFile broken(s.log.fileAnswer);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    s.Frame().ExecuteCommand(CommandId::ImportImage);
    EXPECT_EQ(s.log.messages.size(), 1);
    EXPECT_TRUE(s.View().Editor().CurrentFrame()->IsEmpty());
    EXPECT_FALSE(s.View().Document().IsModified());
}

TEST(MainWindow, CancellingTheSaveQuestionOfAGifKeepsItsPath) {
    const std::filesystem::path gif = test::SourceDir() / "examples" / "banner.gif";
    Started s({Q(gif)});
    CChildFrame* child = s.Frame().ActiveChild();
    ASSERT_NE(child, nullptr);
    child->Document().SetModifiedFlag(true);
    s.log.answer = MessageAnswer::Cancel;
    EXPECT_FALSE(child->close());
    // Opening the same GIF again finds its window rather than making a second.
    EXPECT_EQ(s.app.OpenDocumentFile(Q(gif)), child);
    EXPECT_EQ(s.Frame().Children().size(), 1);
}

TEST(MainWindow, ARecentFileThatIsGoneLeavesTheList) {
    Started s;
    const std::filesystem::path gone = test::ScratchDir("recent_gone") / "gone.qvd";
    s.app.AddToRecentFiles(Q(gone));
    ASSERT_TRUE(s.Enabled(CommandId::RecentFile1));
    s.Frame().ExecuteCommand(CommandId::RecentFile1);
    EXPECT_EQ(s.log.messages.size(), 1);
    EXPECT_FALSE(s.app.RecentFiles().contains(Q(std::filesystem::absolute(gone))));
    EXPECT_FALSE(s.Enabled(CommandId::RecentFile1));
}

TEST(MainWindow, NewWindowsStayInsideTheArea) {
    Started s;
    for (int i = 0; i < 6; ++i) s.app.NewDocument();
    ProcessEvents();
    const QRect area(QPoint(0, 0), s.Frame().MdiArea()->viewport()->size());
    for (CChildFrame* child : s.Frame().Children())
        EXPECT_TRUE(area.contains(child->geometry())) << child->geometry().x() << "," << child->geometry().y();
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// ---- Current Colors bar ----

TEST(MainWindow, CurrentColorsShowTransparencyOverACheckerboardAndStayHiddenWhenHidden) {
    Started s;
    QAction* foreground = s.Frame().Action(CommandId::ForegroundColor);
    s.Frame().UpdateColorSwatches(0x80FF0000, kOpaqueWhite);
    const QImage swatch = foreground->icon().pixmap(QSize(84, 16), 1.0).toImage();
    ASSERT_EQ(swatch.size(), QSize(84, 16));
    EXPECT_EQ(swatch.pixel(2, 2) & 0xFFFFFF, 0xDF6060u);  // cell (0, 0): over grey
    EXPECT_EQ(swatch.pixel(5, 2) & 0xFFFFFF, 0xFF8080u);  // cell (1, 0): over white
    EXPECT_EQ(swatch.pixel(13, 13) & 0xFFFFFF, 0xDF6060u);
    const QImage dense = foreground->icon().pixmap(QSize(84, 16), 2.0).toImage();
    EXPECT_EQ(dense.size(), QSize(168, 32));
    EXPECT_EQ(dense.pixel(11, 4) & 0xFFFFFF, 0xFF8080u);

    // The same pair again draws nothing new.
    const qint64 key = foreground->icon().cacheKey();
    s.Frame().UpdateColorSwatches(0x80FF0000, kOpaqueWhite);
    EXPECT_EQ(foreground->icon().cacheKey(), key);

    auto* dock = s.Frame().findChild<QDockWidget*>(QStringLiteral("currentColorsBar"));
    ASSERT_NE(dock, nullptr);
    dock->hide();
    s.Frame().UpdateColorSwatches(kOpaqueBlack, 0x00123456);
    s.Frame().UpdateCommandStates();
    ProcessEvents();
    EXPECT_FALSE(dock->isVisible());
    EXPECT_NE(foreground->icon().cacheKey(), key);
}

}  // namespace
}  // namespace vantrel
