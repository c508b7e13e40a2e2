#include "AppTestUtil.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/QVView.h"
#include "app/SplashWnd.h"
#include "document/CQVDoc.h"
#include "support/GiflibRef.h"

namespace vantrel::test {

namespace {

// One application object for the whole test program, made before the first test.
class QtEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        // Settings, recovery files and the like under a home of this test
        // program's own: test programs run side by side must not share them.
        // A test program started by a test keeps the home it was given.
        static QTemporaryDir home;
        if (qEnvironmentVariableIsEmpty("VANTREL_TEST_HOME") && home.isValid()) {
            qputenv("HOME", home.path().toLocal8Bit());
            qputenv("VANTREL_TEST_HOME", home.path().toLocal8Bit());
        }
        QStandardPaths::setTestModeEnabled(true);
        static int argc = 1;
        static char name[] = "vantrel_app_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override {
        SetPromptHooks({});
        delete app_;
        app_ = nullptr;
    }

private:
    QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

PromptLog& ResetPrompts() {
    static PromptLog log;
    log = PromptLog{};
    PromptHooks hooks;
    hooks.message = [](const QString& text, MessageStyle) {
        log.messages.append(text);
        return log.answer;
    };
    hooks.fileDialog = [](const FileDialogRequest& request) {
        log.dialogs.push_back(request);
        return log.fileAnswer;
    };
    hooks.openUrl = [](const QUrl& url) { log.opened.push_back(url); };
    hooks.recover = [](const QStringList& documents) {
        log.recoveryOffers.push_back(documents);
        return log.recoverAnswer;
    };
    SetPromptHooks(std::move(hooks));
    return log;
}

void ProcessEvents() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

Editor::Editor() : log(ResetPrompts()) {
    CAnimatorApp::Settings().clear();
    EXPECT_EQ(app.InitInstance({}), -1);
    ProcessEvents();
}

Editor::~Editor() {
    if (CMainFrame* frame = app.MainFrame()) {
        for (CChildFrame* child : frame->Children()) child->Document().SetModifiedFlag(false);
        frame->close();
    }
    ProcessEvents();
}

CMainFrame& Editor::Frame() const { return *app.MainFrame(); }
CQVDoc& Editor::Doc() const { return Frame().ActiveView()->Document(); }
EditorView& Editor::View() const { return Frame().ActiveView()->Editor(); }

void Editor::Run(CommandId id) {
    Frame().ExecuteCommand(id);
    Frame().UpdateCommandStates();
    ProcessEvents();
}

void WhenDialogShows(std::function<void(QDialog&)> answer) {
    QTimer::singleShot(0, [answer] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            answer(*dialog);
        } else {
            WhenDialogShows(answer);
        }
    });
}

void WriteFlatGif(const std::filesystem::path& path, int width, int height, const std::vector<std::uint32_t>& colors) {
    RefGif gif;
    gif.screenWidth = width;
    gif.screenHeight = height;
    gif.loopCount = 0;
    std::size_t tableSize = 2;
    while (tableSize < colors.size()) tableSize *= 2;
    gif.globalColors.resize(tableSize);
    for (std::size_t i = 0; i < colors.size(); ++i) {
        gif.globalColors[i] = {static_cast<std::uint8_t>(colors[i] >> 16), static_cast<std::uint8_t>(colors[i] >> 8),
                               static_cast<std::uint8_t>(colors[i])};
        RefImage image;
        image.width = width;
        image.height = height;
        image.hasControl = true;
        image.delay = 10;
        image.indices.assign(static_cast<std::size_t>(width) * height, static_cast<std::uint8_t>(i));
        gif.images.push_back(image);
    }
    std::string error;
    ASSERT_TRUE(EncodeWithGiflib(gif, path, &error)) << error;
}

}  // namespace vantrel::test
