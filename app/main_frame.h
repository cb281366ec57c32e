// SPDX-License-Identifier: MIT
#pragma once
// The one top-level window: menu bar, the two tool bars in one row at the top, the
// status bar, the archive index at the left and the MDI area with the entry windows.
// Every command arrives here and is routed to the active entry window, then to the
// frame, then to the application object.
#include <QMainWindow>
#include <QToolBar>
#include <map>
#include <vector>

#include "framework/command_route.h"
#include "framework/command_target.h"
#include "framework/menu_host.h"
#include "framework/status_bar.h"
#include "indexbar/index_bar.h"

class QMdiArea;
class QMdiSubWindow;
class QKeyEvent;
class QCloseEvent;
class QMenu;
class CChildFrame;
struct MenuResource;

class CMainFrame : public QMainWindow, public CCmdTarget, public CMenuHost {
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    // Title, icon, commands, menus and accelerators of the resource, then OnCreate.
    bool LoadFrame(int resourceId);
    // Builds the tool bars, the status bar and the index bar; -1 when the status bar
    // cannot be set up.
    int OnCreate();

    // Runs a command by ID along the route. A command the route disables does nothing,
    // like the shortcut of a grayed item. Returns true when some table handled it.
    // The enabled and checked states of every command are brought up to date afterwards.
    bool SendCommand(int id);
    // The update pass over every command's action (menus, tool bars, shortcuts).
    void UpdateCommandUI();
    // The update pass over the items of one menu and its submenus.
    void UpdateMenuCommandUI(QMenu* menu) override;
    // What the update pass would decide for a command.
    bool IsCommandEnabled(int id);

    // The shared action of a command, or null when no menu, tool bar or accelerator of
    // the frame carries it.
    QAction* GetCommandAction(int id) const;
    // A popup menu built afresh from a menu resource (the index context menu): its top
    // level holds the resource's popups. Its items carry their command IDs, show their
    // prompts in pane 0, run the update pass before they show, and post the chosen
    // command to the frame. The caller owns the menu.
    QMenu* LoadMenu(int resourceId, QWidget* parent = nullptr) override;
    // The menu resource shown in the menu bar: 128 without entry windows, 129 with.
    int GetCurrentMenuId() const { return m_nCurrentMenu; }

    // Creates an entry window of a registered class at the top-left corner of the MDI
    // area, shown and active. Null when the class is unknown.
    CChildFrame* CreateNewChild(const char* className);
    CChildFrame* GetActiveChild() const;
    QMdiArea* GetMdiArea() const { return m_pMdiArea; }
    std::vector<CChildFrame*> GetChildFrames() const;

    bool OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) override;

    // The frame's own command handlers.
    void OnWindowArrange();
    void OnWindowCascade();
    void OnWindowTileHorz();
    void OnUpdateMDIWindowCmd(CCmdUI* pCmdUI);
    void OnViewToolbar();
    void OnUpdateViewToolbar(CCmdUI* pCmdUI);
    void OnViewStatusBar();
    void OnUpdateViewStatusBar(CCmdUI* pCmdUI);
    // Keyboard commands: app/frame_desktop.cpp.
    void OnEditFind();
    void OnNextPane();
    void OnPrevPane();
    void OnWindowNext();
    void OnWindowPrev();
    void OnUpdateWindowCycle(CCmdUI* pCmdUI);

    CIndexBar m_wndIndexBar;
    CStatusBar m_wndStatusBar;
    QToolBar m_wndToolBar;     // Open
    QToolBar m_wndArchiveBar;  // Insert file(s), Extract

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    QMenu* createPopupMenu() override;
    void dragEnterEvent(QDragEnterEvent* event) override;  // app/frame_desktop.cpp
    void dropEvent(QDropEvent* event) override;

private:
    // Active entry window, this frame, the document, the application.
    CommandRouteTargets Route();
    bool RouteCommand(int id, CommandQuery query, CCmdUI* ui);
    void UpdateAction(int id, QAction* action);
    void CreateCommandActions();
    QAction* CommandAction(int id);
    void BuildMenuBar(int resourceId);
    void ShowMenu(int resourceId);
    void RefreshMenu();
    void FillWindowList(QMenu* windowMenu);
    // Window > More Windows...: every entry window in a list; the chosen one is activated.
    void SelectWindow();
    bool BuildToolBar(QToolBar& toolBar, int resourceId, Qt::ToolButtonStyle style);
    void SizeToolButtons(QToolBar& toolBar, int width);
    void ShowIdleMessage();
    void PlaceFindField();   // app/frame_desktop.cpp
    void EnableDragOut();    // app/frame_desktop.cpp
    void EnableFileDrops();  // app/frame_desktop.cpp
    int AcceleratorCommand(const QKeyEvent& key) const;

    QMdiArea* m_pMdiArea;
    std::map<int, QAction*> m_actions;
    std::map<int, std::vector<QMenu*>> m_menuBars;  // top-level popups per menu resource
    int m_nCurrentMenu = 0;
    std::vector<QAction*> m_windowListActions;
};
