#include "app/MainFrame.h"

#include <QAction>
#include <algorithm>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDockWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include "app/AnimatorApp.h"
#include "app/ChildFrame.h"
#include "app/CommandTable.h"
#include "app/OnionSkinPrefs.h"
#include "app/Prompts.h"
#include "app/QVView.h"
#include "app/SplashWnd.h"
#include "app/dialogs/ColorWidgets.h"
#include "app/dialogs/OnionSkinDialog.h"
#include "app/panels/BackgroundPanel.h"
#include "app/panels/FrameListPanel.h"
#include "document/AnimFrame.h"
#include "document/CQVDoc.h"
#include "view/ContextMenu.h"
#include "view/FileNames.h"
#include "view/ColorCommands.h"

namespace vantrel {

namespace {

using C = CommandId;

constexpr int kZoomPaneWidth = 50;
// The smallest size a new document window is given.
constexpr int kMinChildWidth = 320;
constexpr int kMinChildHeight = 240;
// The Frame List and Background panels, docked one above the other: wide
// enough for a thumbnail beside "Master Frame (10)".
constexpr QSize kFrameListSize(210, 260);
constexpr QSize kBackgroundSize(150, 90);
// Size of one Current Colors button: the swatch and its name.
constexpr QSize kSwatchSize(84, 16);

const char* const kBarStateSection = "BarState";

QRect Desktop() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

QIcon IconNamed(const char* name) {
    if (!name || !*name) return {};
    return QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(name)));
}

// One Current Colors button: a 12 x 12 checkerboard of the colour's two
// preview tones (4 x 4 cells of 3 pixels) at (2, 2), framed, and the name of
// the colour beside it, drawn at the device pixel ratio dpr.
QPixmap Swatch(PixelValue color, const QString& name, qreal dpr) {
    QPixmap pixmap(kSwatchSize * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    PaintChecker(painter, QRect(2, 2, 12, 12), color, 4, 4);
    painter.setPen(QColor(64, 64, 64));
    painter.drawRect(QRectF(1.5, 1.5, 13, 13));
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    painter.setPen(QColor(32, 32, 32));
    painter.drawText(QRect(17, 0, kSwatchSize.width() - 17, kSwatchSize.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     name);
    return pixmap;
}

// A bar of window showing contents, docked at its right edge below the bars
// already there; the user may float it or dock it at either side.
QDockWidget* AddSideBar(QMainWindow* window, const QString& title, const QString& objectName, QWidget* contents) {
    auto* dock = new QDockWidget(title, window);
    dock->setObjectName(objectName);
    dock->setWidget(contents);
    dock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                      QDockWidget::DockWidgetFloatable);
    window->addDockWidget(Qt::RightDockWidgetArea, dock, Qt::Vertical);
    return dock;
}

// A panel of a fixed size.
template <typename Panel>
Panel* NewPanel(QWidget* parent, QSize size) {
    auto* panel = new Panel(parent);
    panel->setFixedSize(size);
    return panel;
}

}  // namespace

CMainFrame::CMainFrame(CAnimatorApp& app) : app_(app) {
    setWindowTitle(QString::fromLatin1(kAppTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app-256.png")));
    setAcceptDrops(true);
    // The main window takes most of the desktop; its bars dock inside it.
    const QRect desktop = Desktop();
    resize(std::max(640, desktop.width() - 40), std::max(480, desktop.height() - 60));

    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

    CreateSplash();
    splashTimer_.setInterval(kSplashTimerMs);
    connect(&splashTimer_, &QTimer::timeout, this, &CMainFrame::OnSplashTimer);
    splashTimer_.start();

    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
    CreateStatusBar();
    onionSkin_ = LoadOnionSkinSettings();
    CreateActions();
    CreateToolBars();
    CreateDockBars();
    CreateMenus();
    RestoreBarState();
    ShowMenusFor(false);
    UpdateCommandStates();
    // Every dialog that closes, message boxes and the preview among them.
    qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame() = default;

// ---- creation ----

void CMainFrame::CreateSplash() {
    splash_ = new CSplashWnd(this, true, kSplashNotifyId);
    splash_->show();
}

void CMainFrame::OnSplashTimer() {
    // Later ticks find no picture and change nothing.
    if (splash_) {
        delete splash_.data();
        splash_ = nullptr;
    }
}

void CMainFrame::CreateStatusBar() {
    zoomPane_ = new QLabel(QStringLiteral("100%"), this);
    zoomPane_->setObjectName(QStringLiteral("zoomPane"));
    zoomPane_->setMinimumWidth(kZoomPaneWidth);
    statusBar()->addWidget(zoomPane_);
    statusBar()->setObjectName(QStringLiteral("statusBar"));
}

void CMainFrame::CreateActions() {
    for (const CommandInfo& info : AllCommands()) {
        auto* action = new QAction(this);
        QString text = QString::fromLatin1(info.text);
        if (text.isEmpty()) text = QString::fromLatin1(info.toolTip);
        action->setText(text);
        action->setIconText(QString::fromLatin1(info.toolTip));
        action->setToolTip(QString::fromLatin1(info.toolTip));
        action->setStatusTip(QString::fromLatin1(info.prompt));
        action->setIcon(IconNamed(info.icon));
        action->setShortcuts(AcceleratorsFor(info.id));
        action->setShortcutContext(Qt::WindowShortcut);
        action->setData(static_cast<int>(info.id));
        action->setMenuRole(QAction::NoRole);
        connect(action, &QAction::triggered, this, [this, id = info.id] { ExecuteCommand(id); });
        addAction(action);  // keys work whether or not the command is on a menu
        actions_[info.id] = action;
    }
    const C checkable[] = {C::ViewToolbar, C::ViewStatusBar, C::ViewFrameList, C::ViewCurrentColors,
                           C::ViewBackground, C::ViewToolbox, C::MasterFrame, C::OnionSkin};
    for (const C id : checkable) Action(id)->setCheckable(true);

    toolGroup_ = new QActionGroup(this);
    toolGroup_->setExclusive(true);
    const C tools[] = {C::ToolSelect, C::ToolZoom, C::ToolDrawBitmap, C::ToolCrop, C::ToolRectangle,
                       C::ToolEllipse, C::ToolPen, C::ToolText, C::ToolPick, C::ToolFill};
    for (const C id : tools) {
        Action(id)->setCheckable(true);
        toolGroup_->addAction(Action(id));
    }
    Action(C::ToolSelect)->setChecked(true);
}

QAction* CMainFrame::Action(CommandId id) const {
    const auto it = actions_.find(id);
    return it != actions_.end() ? it->second : nullptr;
}

template <typename Bar>
void CMainFrame::AddCommandGroups(Bar* bar, CommandGroups groups) {
    bool first = true;
    for (const auto& group : groups) {
        if (!first) bar->addSeparator();
        first = false;
        for (const CommandId id : group) bar->addAction(Action(id));
    }
}

QMenu* CMainFrame::NewMenu(const QString& title, CommandGroups groups) {
    auto* menu = new QMenu(title, this);
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    AddCommandGroups(menu, groups);
    return menu;
}

void CMainFrame::CreateMenus() {
    // The Help menu is the same with and without a document.
    const auto newHelpMenu = [this] {
        return NewMenu(QStringLiteral("&Help"), {{C::HelpContents, C::HelpTutorial, C::HelpQuickTour, C::HelpReference},
                                                 {C::HelpHomePage},
                                                 {C::AppAbout}});
    };
    const std::initializer_list<CommandId> recentFiles = {C::RecentFile1, C::RecentFile2, C::RecentFile3,
                                                          C::RecentFile4};

    // Without a document.
    QMenu* file = NewMenu(QStringLiteral("&File"), {{C::FileNew, C::QuickAnimation, C::OpenDocument},
                                                    {C::FilePrintSetup},
                                                    recentFiles,
                                                    {C::AppExit}});
    QMenu* view = NewMenu(QStringLiteral("&View"), {{C::ViewToolbar, C::ViewStatusBar}});
    emptyMenus_ = {file, view, newHelpMenu()};

    // With a document.
    QMenu* docFile = NewMenu(QStringLiteral("&File"), {{C::FileNew, C::QuickAnimation, C::OpenDocument, C::FileClose},
                                                       {C::SaveAnimation, C::SaveAnimationAs},
                                                       {C::FileSave, C::FileSaveAs},
                                                       {C::FilePrint, C::FilePrintPreview, C::FilePrintSetup},
                                                       recentFiles,
                                                       {C::AppExit}});

    QMenu* edit = NewMenu(QStringLiteral("&Edit"), {{C::EditUndo, C::EditRedo},
                                                    {C::EditCut, C::EditCopy, C::EditPaste},
                                                    {C::DeleteItems, C::SelectAll},
                                                    {C::AlignCenter, C::MoveBy},
                                                    {C::BringToFront, C::SendToBack}});

    QMenu* docView = NewMenu(QStringLiteral("&View"), {{C::ZoomIn, C::ZoomOut, C::ZoomOneToOne, C::ZoomToFit},
                                                       {C::PreviewAnimation},
                                                       {C::OnionSkin, C::OnionSkinSettings},
                                                       {C::ViewToolbar, C::ViewStatusBar, C::ViewFrameList,
                                                        C::ViewCurrentColors, C::ViewBackground, C::ViewToolbox}});

    QMenu* image = NewMenu(QStringLiteral("Image"), {{C::ImageSize, C::CanvasSize, C::ResizeAnimation},
                                                     {C::ConvertToBitmap, C::Combine}});
    image->addSeparator();
    image->addMenu(NewMenu(QStringLiteral("Effects"),
                           {{C::EffectGrayscale, C::EffectInvert, C::EffectBrightnessContrast},
                            {C::EffectBlur, C::EffectSharpen},
                            {C::EffectDropShadow, C::EffectOutline}}));
    image->addSeparator();
    AddCommandGroups(image, {{C::EditText, C::RectangleStyle}, {C::ImportImage}});

    QMenu* frame = NewMenu(QStringLiteral("Frame"));
    frame->addMenu(NewMenu(QStringLiteral("Insert New Frame"),
                           {{C::InsertFrameBefore, C::InsertFrameAfter, C::InsertFrameAtEnd}}));
    AddCommandGroups(frame, {{C::DuplicateFrame, C::DeleteFrame}, {C::ReverseFrames, C::ChangeSpeed, C::RemoveDuplicateFrames}, {C::FrameSetup, C::AutoFrameSize}, {C::FrameDuration, C::LoopCount}});
    frame->addSeparator();
    frame->addMenu(NewMenu(QStringLiteral("Transition Effects"),
                           {{C::TransitionFade},
                            {C::TransitionSlideLeft, C::TransitionSlideRight, C::TransitionSlideUp, C::TransitionSlideDown},
                            {C::TransitionWipeLeft, C::TransitionWipeRight, C::TransitionWipeUp, C::TransitionWipeDown},
                            {C::TransitionDissolve, C::TransitionZoomIn}}));
    AddCommandGroups(frame, {{C::TweenToNextFrame}});
    frame->addSeparator();
    AddCommandGroups(frame, {{C::MasterFrame}, {C::SetBackgroundColor}, {C::ExportFrame}});

    windowMenu_ = NewMenu(QStringLiteral("&Window"));
    connect(windowMenu_, &QMenu::aboutToShow, this, &CMainFrame::FillWindowMenu);

    documentMenus_ = {docFile, edit, docView, image, frame, windowMenu_, newHelpMenu()};
    FillWindowMenu();
}

void CMainFrame::FillWindowMenu() {
    windowMenu_->clear();
    AddCommandGroups(windowMenu_, {{C::WindowCascade, C::WindowTile, C::WindowArrange}});
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    if (!windows.isEmpty()) windowMenu_->addSeparator();
    int n = 0;
    for (QMdiSubWindow* window : windows) {
        ++n;
        QString title = window->windowTitle();
        title.replace(QStringLiteral("[*]"), QString());
        QAction* entry = windowMenu_->addAction(QStringLiteral("&%1 %2").arg(n).arg(title));
        entry->setCheckable(true);
        entry->setChecked(window == mdi_->activeSubWindow());
        connect(entry, &QAction::triggered, this, [this, window] { mdi_->setActiveSubWindow(window); });
    }
}

void CMainFrame::CreateToolBars() {
    mainBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
    mainBar_->setObjectName(QStringLiteral("mainToolBar"));
    mainBar_->setIconSize(QSize(16, 16));
    mainBar_->setAllowedAreas(Qt::TopToolBarArea);
    AddCommandGroups(mainBar_, {{C::FileNew, C::QuickAnimation, C::OpenDocument, C::SaveAnimation, C::FileSave},
                                {C::FilePrint, C::FilePrintPreview},
                                {C::EditCut, C::EditCopy, C::EditPaste},
                                {C::PreviewAnimation},
                                {C::ImageSize, C::CanvasSize, C::Combine, C::EditText},
                                {C::AutoFrameSize, C::InsertFrameAfter},
                                {C::MasterFrame},
                                {C::FirstFrame, C::PreviousFrame, C::NextFrame, C::LastFrame},
                                {C::DeleteFrame},
                                {C::HelpContents}});
    addToolBar(Qt::TopToolBarArea, mainBar_);

    toolsBar_ = new QToolBar(QStringLiteral("Tools"), this);
    toolsBar_->setObjectName(QStringLiteral("toolsBar"));
    toolsBar_->setIconSize(QSize(16, 16));
    toolsBar_->setOrientation(Qt::Vertical);
    for (QAction* tool : toolGroup_->actions()) toolsBar_->addAction(tool);
    addToolBar(Qt::LeftToolBarArea, toolsBar_);
}

void CMainFrame::CreateDockBars() {
    colorsBar_ = new QToolBar(QStringLiteral("Current Colors"), this);
    colorsBar_->setObjectName(QStringLiteral("colorsBar"));
    colorsBar_->setIconSize(kSwatchSize);
    colorsBar_->setMovable(false);
    colorsBar_->addAction(Action(C::ForegroundColor));
    colorsBar_->addAction(Action(C::BackgroundColor));
    colorsBar_->setContentsMargins(0, 0, 0, 0);
    colorsDock_ = AddSideBar(this, QStringLiteral("Current Colors"), QStringLiteral("currentColorsBar"), colorsBar_);
    UpdateColorSwatches(kOpaqueBlack, kOpaqueWhite);

    frameListPanel_ = NewPanel<FrameListPanel>(this, kFrameListSize);
    frameListDock_ = AddSideBar(this, QStringLiteral("Frame List"), QStringLiteral("frameListBar"), frameListPanel_);
    backgroundPanel_ = NewPanel<BackgroundPanel>(this, kBackgroundSize);
    backgroundDock_ = AddSideBar(this, QStringLiteral("Background"), QStringLiteral("backgroundBar"), backgroundPanel_);
    connect(frameListPanel_, &FrameListPanel::frameChosen, this, [this](quint64 uid) {
        CQVView* view = ActiveView();
        if (view == nullptr) return;
        if (AnimFrame* frame = view->Document().GetAnimation().FindFrameByUid(uid)) view->Editor().ShowFrame(frame);
        RequestIdleUpdate();
    });
    connect(frameListPanel_, &FrameListPanel::framesChosen, this, [this](const QList<quint64>& uids) {
        if (CQVView* view = ActiveView()) view->Editor().ChooseFrames(std::vector<ObjectUid>(uids.begin(), uids.end()));
        RequestIdleUpdate();
    });
    connect(frameListPanel_, &FrameListPanel::newFrameRequested, this,
            [this] { ExecuteCommand(C::InsertFrameAfter); });
    connect(backgroundPanel_, &BackgroundPanel::setColorRequested, this,
            [this] { ExecuteCommand(C::SetBackgroundColor); });
}

void CMainFrame::RestoreBarState() {
    QSettings settings = CAnimatorApp::Settings();
    const QByteArray state = settings.value(QStringLiteral("%1/State").arg(QLatin1String(kBarStateSection))).toByteArray();
    if (!state.isEmpty()) restoreState(state);
}

void CMainFrame::SaveBarState() {
    QSettings settings = CAnimatorApp::Settings();
    settings.setValue(QStringLiteral("%1/State").arg(QLatin1String(kBarStateSection)), saveState());
}

// ---- bars ----

void CMainFrame::SetZoomText(ZoomFactor zoom) { zoomPane_->setText(QStringLiteral("%1%").arg(zoom.Percent())); }

QString CMainFrame::ZoomText() const { return zoomPane_->text(); }

void CMainFrame::UpdateColorSwatches(PixelValue foreground, PixelValue background) {
    // Asked at every idle pass: only a new pair redraws. The bar keeps the
    // visibility the user gave it.
    if (swatchColors_ == std::pair(foreground, background)) return;
    swatchColors_ = std::pair(foreground, background);
    const C ids[] = {C::ForegroundColor, C::BackgroundColor};
    const PixelValue colors[] = {foreground, background};
    const QString names[] = {QStringLiteral("Foreground"), QStringLiteral("Background")};
    for (int i = 0; i < 2; ++i) {
        QIcon icon;
        for (const qreal dpr : {1.0, 2.0}) {
            const QPixmap swatch = Swatch(colors[i], names[i], dpr);
            // The colours stay visible while the buttons are disabled.
            icon.addPixmap(swatch, QIcon::Normal);
            icon.addPixmap(swatch, QIcon::Disabled);
        }
        Action(ids[i])->setIcon(icon);
    }
}

QWidget* CMainFrame::BarFor(CommandId id) const {
    switch (id) {
        case C::ViewToolbar: return mainBar_;
        case C::ViewStatusBar: return statusBar();
        case C::ViewFrameList: return frameListDock_;
        case C::ViewCurrentColors: return colorsDock_;
        case C::ViewBackground: return backgroundDock_;
        case C::ViewToolbox: return toolsBar_;
        default: return nullptr;
    }
}

// ---- document windows ----

CChildFrame* CMainFrame::ActiveChild() const { return qobject_cast<CChildFrame*>(mdi_->activeSubWindow()); }

CQVView* CMainFrame::ActiveView() const {
    CChildFrame* child = ActiveChild();
    return child ? &child->View() : nullptr;
}

QList<CChildFrame*> CMainFrame::Children() const {
    QList<CChildFrame*> children;
    for (QMdiSubWindow* window : mdi_->subWindowList())
        if (auto* child = qobject_cast<CChildFrame*>(window)) children.append(child);
    return children;
}

CChildFrame* CMainFrame::FindChildByPath(const QString& path) const {
    const QString wanted = QFileInfo(path).canonicalFilePath();
    if (wanted.isEmpty()) return nullptr;
    for (CChildFrame* child : Children()) {
        const QString own = QString::fromStdString(child->Document().PathName().string());
        if (!own.isEmpty() && QFileInfo(own).canonicalFilePath() == wanted) return child;
    }
    return nullptr;
}

void CMainFrame::AddChild(CChildFrame* child) {
    mdi_->addSubWindow(child);
    // A new window takes most of the area, leaving room to see the others.
    const QSize area = mdi_->size().width() > 300 ? mdi_->size() : size() - QSize(60, 140);
    child->resize(std::max(kMinChildWidth, area.width() * 9 / 10), std::max(kMinChildHeight, area.height() * 9 / 10));
    child->setWindowIcon(windowIcon());
    connect(&child->View(), &CQVView::stateChanged, this, &CMainFrame::RequestIdleUpdate);
    connect(&child->View(), &CQVView::contextMenuRequested, this,
            [this, view = &child->View()](QPoint at) { ShowContextMenu(*view, at); });
    // The Current Colors bar shows the colour targets, read at the idle pass.
    connect(&child->View(), &CQVView::colorsChanged, this, &CMainFrame::RequestIdleUpdate);
    connect(child, &QObject::destroyed, this, &CMainFrame::RequestIdleUpdate);
    child->View().Editor().SetOnionSkin(onionSkin_);
    for (DocumentPanel* panel : FramePanels())
        connect(child, &CChildFrame::documentClosing, panel, &DocumentPanel::DocumentClosing);
    child->show();
    KeepInsideArea(child);
    child->View().OnInitialUpdate();
    mdi_->setActiveSubWindow(child);
    child->View().setFocus();
    ShowMenusFor(true);
    RequestIdleUpdate();
}

void CMainFrame::KeepInsideArea(QMdiSubWindow* window) const {
    // The area places new windows cascaded: a window that would reach past
    // its right or bottom edge moves back in (to its top-left corner at the
    // most). Before the area is laid out there is nothing to keep inside.
    const QSize area = mdi_->viewport()->size();
    if (area.width() < kMinChildWidth || area.height() < kMinChildHeight) return;
    QRect g = window->geometry();
    g.setWidth(std::min(g.width(), area.width()));
    g.setHeight(std::min(g.height(), area.height()));
    g.moveLeft(std::clamp(g.left(), 0, area.width() - g.width()));
    g.moveTop(std::clamp(g.top(), 0, area.height() - g.height()));
    window->setGeometry(g);
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window) {
    CChildFrame* child = qobject_cast<CChildFrame*>(window);
    UpdateWindowTitle();
    ShowMenusFor(child != nullptr || !Children().isEmpty());
    RequestIdleUpdate();
}

void CMainFrame::UpdateWindowTitle() {
    const CChildFrame* child = ActiveChild();
    const std::string title = child ? MainWindowTitle(kAppTitle, child->Document().Title(), child->Document().IsModified())
                                    : MainWindowTitle(kAppTitle, {}, false);
    const QString text = QString::fromStdString(title);
    if (windowTitle() != text) setWindowTitle(text);
}

void CMainFrame::ShowMenusFor(bool documentOpen) {
    if (documentOpen == showingDocumentMenus_ && !menuBar()->actions().isEmpty()) return;
    showingDocumentMenus_ = documentOpen;
    menuBar()->clear();
    for (QMenu* menu : documentOpen ? documentMenus_ : emptyMenus_) menuBar()->addMenu(menu);
}

void CMainFrame::ArrangeIcons() {
    // Minimised windows in a row along the bottom of the area.
    int x = 0;
    for (QMdiSubWindow* window : mdi_->subWindowList()) {
        if (!window->isMinimized()) continue;
        window->move(x, mdi_->viewport()->height() - window->height());
        x += window->width();
    }
}

// ---- commands ----

void CMainFrame::ShowContextMenu(CQVView& view, QPoint at) {
    const ContextPopup popup = ChooseContextPopup(view.Editor().CurrentFrame(), view.Editor().Hot().item);
    UpdateCommandStates();
    QMenu menu(QString::fromLatin1(ContextPopupTitle(popup)), this);
    menu.setObjectName(QStringLiteral("contextMenu"));
    QMenu* into = &menu;
    for (const ContextEntry& entry : ContextPopupEntries(popup)) {
        if (entry.submenu) into = menu.addMenu(QString::fromLatin1(entry.submenu));
        into->addAction(Action(entry.id));
        if (entry.submenuEnd) into = &menu;
    }
    menu.exec(view.viewport()->mapToGlobal(at));
}

void CMainFrame::RefreshRecentFiles(const QStringList& paths) {
    const C ids[] = {C::RecentFile1, C::RecentFile2, C::RecentFile3, C::RecentFile4};
    for (int i = 0; i < 4; ++i) {
        QAction* action = Action(ids[i]);
        if (i < paths.size()) {
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(paths[i]).fileName()));
            action->setStatusTip(paths[i]);
            action->setVisible(true);
        } else {
            action->setText(i == 0 ? QStringLiteral("Recent File") : QString());
            action->setVisible(i == 0);
        }
    }
}

CommandUi CMainFrame::QueryCommand(CommandId id) const {
    CommandUi ui;
    if (CChildFrame* child = ActiveChild()) {
        if (child->View().OnUpdateCommand(id, ui)) return ui;
        if (child->OnUpdateCommand(id, ui)) return ui;
    }
    if (OnUpdateOwnCommand(id, ui)) return ui;
    if (app_.OnUpdateCommand(id, ui)) return ui;
    return {};
}

bool CMainFrame::ExecuteCommand(CommandId id) {
    if (!QueryCommand(id).enabled) {
        UpdateCommandStates();
        return false;
    }
    bool done = false;
    if (CChildFrame* child = ActiveChild()) done = child->View().OnCommand(id) || child->OnCommand(id);
    if (!done) done = OnOwnCommand(id);
    if (!done) done = app_.OnCommand(id);
    RequestIdleUpdate();
    return done;
}

// The View commands that show and hide a bar: checked while it is shown.
template <CommandId Id>
constexpr CommandRoute<CMainFrame> BarRoute{
    Id,
    [](const CMainFrame& m, CommandUi& ui) {
        ui.enabled = true;
        ui.checked = m.BarFor(Id)->isVisible();
    },
    [](CMainFrame& m) {
        QWidget* bar = m.BarFor(Id);
        bar->setVisible(!bar->isVisible());
    }};

const CommandRoutes<CMainFrame>& CMainFrame::Routes() {
    using Route = CommandRoute<CMainFrame>;
    static constexpr auto anyWindow = [](const CMainFrame& m, CommandUi& ui) {
        ui.enabled = !m.mdi_->subWindowList().isEmpty();
    };
    static constexpr Route kRoutes[] = {
        BarRoute<C::ViewToolbar>,
        BarRoute<C::ViewStatusBar>,
        BarRoute<C::ViewFrameList>,
        BarRoute<C::ViewCurrentColors>,
        BarRoute<C::ViewBackground>,
        BarRoute<C::ViewToolbox>,
        {C::WindowCascade, anyWindow, [](CMainFrame& m) { m.mdi_->cascadeSubWindows(); }},
        {C::WindowTile, anyWindow, [](CMainFrame& m) { m.mdi_->tileSubWindows(); }},
        {C::WindowArrange, anyWindow, [](CMainFrame& m) { m.ArrangeIcons(); }},
        {C::OnionSkin,
         [](const CMainFrame& m, CommandUi& ui) {
             ui.enabled = !m.mdi_->subWindowList().isEmpty();
             ui.checked = m.onionSkin_.shown;
         },
         [](CMainFrame& m) {
             OnionSkinSettings toggled = m.onionSkin_;
             toggled.shown = !toggled.shown;
             m.SetOnionSkin(toggled);
         }},
        {C::OnionSkinSettings, anyWindow,
         [](CMainFrame& m) {
             if (const auto chosen = AskOnionSkinSettings(&m, m.onionSkin_)) m.SetOnionSkin(*chosen);
         }},
    };
    static const CommandRoutes<CMainFrame> routes = [] {
        CommandRoutes<CMainFrame> r;
        r.Add(kRoutes);
        return r;
    }();
    return routes;
}

bool CMainFrame::OnUpdateOwnCommand(CommandId id, CommandUi& ui) const { return Routes().Update(*this, id, ui); }

bool CMainFrame::OnOwnCommand(CommandId id) { return Routes().Execute(*this, id); }

void CMainFrame::SetOnionSkin(const OnionSkinSettings& settings) {
    onionSkin_ = WithinRanges(settings);
    SaveOnionSkinSettings(onionSkin_);
    for (CChildFrame* child : Children()) child->View().Editor().SetOnionSkin(onionSkin_);
}

void CMainFrame::RequestIdleUpdate() {
    if (idleUpdatePending_) return;
    idleUpdatePending_ = true;
    QTimer::singleShot(0, this, [this] {
        idleUpdatePending_ = false;
        UpdateCommandStates();
    });
}

void CMainFrame::UpdateCommandStates() {
    for (const auto& [id, action] : actions_) {
        const CommandUi ui = QueryCommand(id);
        action->setEnabled(ui.enabled);
        // Exactly one tool stays checked: the exclusive group unchecks the
        // others when the view's tool is checked, and without a document
        // the last tool keeps its check.
        if (action->actionGroup() == toolGroup_) {
            if (ui.checked) action->setChecked(true);
        } else if (action->isCheckable()) {
            action->setChecked(ui.checked);
        }
        if (!ui.text.empty()) action->setText(QString::fromStdString(ui.text));
    }
    ShowMenusFor(!Children().isEmpty());
    // The Zoom tool's rule shows the active view's zoom.
    if (CQVView* view = ActiveView()) {
        SetZoomText(view->Editor().Zoom());
        const ColorTargets colors = CurrentColorTargets(view->Editor());
        UpdateColorSwatches(colors.foreground, colors.background);
    }
    if (CChildFrame* child = ActiveChild()) child->UpdateTitle();
    UpdateWindowTitle();
    RefreshFramePanels();
}

std::array<DocumentPanel*, 2> CMainFrame::FramePanels() const { return {frameListPanel_, backgroundPanel_}; }

void CMainFrame::RefreshFramePanels() {
    CQVView* view = ActiveView();
    CQVDoc* doc = view != nullptr ? &view->Document() : nullptr;
    const AnimFrame* current = view != nullptr ? view->Editor().CurrentFrame() : nullptr;
    for (DocumentPanel* panel : FramePanels()) {
        panel->ShowDocument(doc);
        panel->SetCurrentFrame(current != nullptr ? current->Uid() : 0);
    }
}

// ---- window events ----

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && qobject_cast<QDialog*>(watched) != nullptr)
        QTimer::singleShot(0, this, &CMainFrame::ReturnKeyboard);
    // The docked bars take their room once the window is laid out: the
    // document windows stay inside what is left.
    if (event->type() == QEvent::Resize && mdi_ != nullptr && watched == mdi_->viewport()) {
        for (QMdiSubWindow* window : mdi_->subWindowList())
            if (!window->isMaximized() && !window->isMinimized()) KeepInsideArea(window);
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::ReturnKeyboard() {
    if (!isVisible() || QApplication::activeModalWidget() || QApplication::activePopupWidget()) return;
    // Another window of the program that has the keyboard keeps it.
    if (QWidget* active = QApplication::activeWindow(); active && active != this) return;
    activateWindow();
    CQVView* view = ActiveView();
    if (view == nullptr) return;
    QWidget* focus = focusWidget();
    if (focus == nullptr || focus == this || !focus->isVisible()) view->setFocus(Qt::ActiveWindowFocusReason);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    for (CChildFrame* child : Children()) {
        if (!child->CanClose()) {
            event->ignore();
            return;
        }
    }
    // Every document said yes: close them without asking again.
    for (CChildFrame* child : Children()) {
        child->Document().SetModifiedFlag(false);
        child->close();
    }
    SaveBarState();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) app_.OpenDocumentFile(url.toLocalFile());
    event->acceptProposedAction();
}

}  // namespace vantrel
