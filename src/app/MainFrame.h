#pragma once
// CMainFrame: the main window. It holds the document windows, the menus
// (one set without a document, one with), the accelerator keys, three tool
// bars, the status bar with the zoom, the docking Frame List, Background
// and Current Colors bars, and the start-up picture. Every command goes
// through one action per command id; the active document window's view
// gets it first, then its document window, then this window, then the
// application.

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <map>
#include <optional>
#include <utility>

#include "core/Pixel.h"
#include "document/ViewTypes.h"
#include "view/CommandIds.h"
#include "view/CommandRoutes.h"
#include "view/OnionSkin.h"

class QAction;
class QActionGroup;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace vantrel {

class BackgroundPanel;
class CAnimatorApp;
class DocumentPanel;
class FrameListPanel;
class CChildFrame;
class CQVView;
class CSplashWnd;

// Timer that closes the start-up picture.
inline constexpr int kSplashTimerMs = 3000;

class CMainFrame final : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(CAnimatorApp& app);
    ~CMainFrame() override;

    // ---- document windows ----
    QMdiArea* MdiArea() const { return mdi_; }
    CChildFrame* ActiveChild() const;
    CQVView* ActiveView() const;
    QList<CChildFrame*> Children() const;
    // The window of the document read from path, or null.
    CChildFrame* FindChildByPath(const QString& path) const;
    // Adds a new document window and shows it with its initial update.
    void AddChild(CChildFrame* child);

    // ---- commands ----
    QAction* Action(CommandId id) const;
    // The routing of command states: view, document window, main window,
    // application; nobody serving it leaves it disabled.
    CommandUi QueryCommand(CommandId id) const;
    // Runs a command when its rule allows it. False when nothing ran.
    bool ExecuteCommand(CommandId id);
    // Runs every update rule now.
    void UpdateCommandStates();
    // Runs them once the events waiting now are handled.
    void RequestIdleUpdate();
    // New texts of the recent-file entries.
    void RefreshRecentFiles(const QStringList& paths);

    // ---- bars ----
    // The status bar pane: "%d%%" of zoom x 100.
    void SetZoomText(ZoomFactor zoom);
    QString ZoomText() const;
    // Draws the two colour swatches of the Current Colors bar.
    void UpdateColorSwatches(PixelValue foreground, PixelValue background);
    CSplashWnd* Splash() const { return splash_; }
    FrameListPanel* FrameList() const { return frameListPanel_; }
    BackgroundPanel* Background() const { return backgroundPanel_; }
    // The bar a View command shows and hides, or null.
    QWidget* BarFor(CommandId id) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreateDockBars();
    // The Frame List and Background bars show the active document and its current frame.
    void RefreshFramePanels();
    std::array<DocumentPanel*, 2> FramePanels() const;
    void CreateStatusBar();
    void CreateSplash();
    void RestoreBarState();
    void SaveBarState();
    // Commands in groups; a separator stands between two groups.
    using CommandGroups = std::initializer_list<std::initializer_list<CommandId>>;
    // A menu of title, updated before it opens, holding groups.
    QMenu* NewMenu(const QString& title, CommandGroups groups = {});
    // Adds the actions of groups to a menu or a tool bar.
    template <typename Bar>
    void AddCommandGroups(Bar* bar, CommandGroups groups);
    void FillWindowMenu();
    void OnSubWindowActivated(QMdiSubWindow* window);
    void KeepInsideArea(QMdiSubWindow* window) const;
    void ShowMenusFor(bool documentOpen);
    // Gives the keyboard back to the document once a dialog has closed and
    // no window has it (without a window manager nobody else would).
    void ReturnKeyboard();
    // The title names the active document and shows whether it is modified.
    void UpdateWindowTitle();
    void OnSplashTimer();
    void ArrangeIcons();
    // Takes new onion skin settings: remembered, and shown by every document window.
    void SetOnionSkin(const OnionSkinSettings& settings);

    // The Select tool's context menu for the view at a viewport point.
    void ShowContextMenu(CQVView& view, QPoint at);

    bool OnUpdateOwnCommand(CommandId id, CommandUi& ui) const;
    bool OnOwnCommand(CommandId id);
    // The commands the main window serves, each with its rule and action.
    static const CommandRoutes<CMainFrame>& Routes();

    CAnimatorApp& app_;
    QMdiArea* mdi_ = nullptr;
    std::map<CommandId, QAction*> actions_;
    QActionGroup* toolGroup_ = nullptr;
    QList<QMenu*> emptyMenus_;     // without a document
    QList<QMenu*> documentMenus_;  // with one
    bool showingDocumentMenus_ = false;
    QMenu* windowMenu_ = nullptr;
    QToolBar* mainBar_ = nullptr;
    QToolBar* toolsBar_ = nullptr;
    QToolBar* colorsBar_ = nullptr;
    QDockWidget* colorsDock_ = nullptr;
    QDockWidget* frameListDock_ = nullptr;
    QDockWidget* backgroundDock_ = nullptr;
    FrameListPanel* frameListPanel_ = nullptr;
    BackgroundPanel* backgroundPanel_ = nullptr;
    QLabel* zoomPane_ = nullptr;
    QPointer<CSplashWnd> splash_;
    QTimer splashTimer_;
    bool idleUpdatePending_ = false;
    // The pair of colours the Current Colors bar shows; none before the first drawing.
    std::optional<std::pair<PixelValue, PixelValue>> swatchColors_;
    OnionSkinSettings onionSkin_;
};

}  // namespace vantrel
