// SPDX-License-Identifier: MIT
#include "app/main_frame.h"

// The frame's making, its layout, the command route and the entry windows' creation.
// Menus, the window list, window arrangement, accelerators and the bars each have a
// file of their own (frame_*.cpp).
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusTipEvent>
#include <algorithm>

#include "app/frame_classes.h"
#include "app/globals.h"
#include "app/lumo_app.h"
#include "archive/archive_document.h"
#include "archive/lgp_archive.h"
#include "framework/command_route.h"
#include "res/resource.h"
#include "res/resource_tables.h"
#include "res/scaled_icons.h"
#include "viewers/child_frame.h"

namespace {

const CommandMapEntry<CMainFrame> kFrameCommands[] = {
    {ID_WINDOW_ARRANGE, &CMainFrame::OnWindowArrange, &CMainFrame::OnUpdateMDIWindowCmd},
    {ID_WINDOW_CASCADE, &CMainFrame::OnWindowCascade, &CMainFrame::OnUpdateMDIWindowCmd},
    {ID_WINDOW_TILE_HORZ, &CMainFrame::OnWindowTileHorz, &CMainFrame::OnUpdateMDIWindowCmd},
    {ID_VIEW_TOOLBAR, &CMainFrame::OnViewToolbar, &CMainFrame::OnUpdateViewToolbar},
    {ID_VIEW_STATUS_BAR, &CMainFrame::OnViewStatusBar, &CMainFrame::OnUpdateViewStatusBar},
    {ID_EDIT_FIND, &CMainFrame::OnEditFind, nullptr},
    {ID_NEXT_PANE, &CMainFrame::OnNextPane, nullptr},
    {ID_PREV_PANE, &CMainFrame::OnPrevPane, nullptr},
    {ID_WINDOW_NEXT, &CMainFrame::OnWindowNext, &CMainFrame::OnUpdateWindowCycle},
    {ID_WINDOW_PREV, &CMainFrame::OnWindowPrev, &CMainFrame::OnUpdateWindowCycle},
};

const int kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_FILE, ID_INDICATOR_COUNT, ID_INDICATOR_SIZE};

constexpr int kMainButtonWidth = 58;
constexpr int kArchiveButtonWidth = 23;

QString ResText(int id) {
    return QString::fromUtf8(LoadResString(id));
}

}  // namespace

CMainFrame::CMainFrame() : m_pMdiArea(new QMdiArea(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    RegisterFrameClasses();
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow*) {
        RefreshMenu();
        UpdateCommandUI();
    });
    connect(&m_wndIndexBar, &CIndexBar::commandSent, this, [this](int id) { SendCommand(id); });
    // Accelerator keys are taken before the focused widget sees them, also while their
    // command is grayed (see eventFilter).
    qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
    if (theApp.m_pArchiveDocument) {
        theApp.m_pArchiveDocument->RemoveObserver(&m_wndIndexBar);
    }
    // The MDI area reports activations while the base class tears the children down;
    // this object is no longer a frame by then.
    disconnect(m_pMdiArea, nullptr, this, nullptr);
    for (CChildFrame* child : GetChildFrames()) {
        disconnect(child, nullptr, this, nullptr);
    }
    disconnect(&m_wndIndexBar, nullptr, this, nullptr);
}

bool CMainFrame::LoadFrame(int resourceId) {
    setWindowTitle(ResText(resourceId));
    // The application's icon when it has one (every window inherits it), so that its
    // images are read once.
    if (QApplication::windowIcon().isNull()) {
        setWindowIcon(ApplicationIcon());
    }
    resize(800, 600);
    CreateCommandActions();
    BuildMenuBar(IDR_MAINFRAME);  // the entry windows' menu waits for the first of them
    ShowMenu(IDR_MAINFRAME);
    return OnCreate() != -1;
}

int CMainFrame::OnCreate() {
    // Main tool bar: the Open button with its text beside the image.
    m_wndToolBar.setObjectName(QStringLiteral("MainToolBar"));
    BuildToolBar(m_wndToolBar, IDR_MAINFRAME, Qt::ToolButtonTextBesideIcon);
    CommandAction(ID_FILE_OPEN)->setIconText(tr("Open"));
    SizeToolButtons(m_wndToolBar, kMainButtonWidth);
    // Second tool bar: images only.
    m_wndArchiveBar.setObjectName(QStringLiteral("ArchiveToolBar"));
    BuildToolBar(m_wndArchiveBar, IDR_ARCHIVEBAR, Qt::ToolButtonIconOnly);
    SizeToolButtons(m_wndArchiveBar, kArchiveButtonWidth);
    // The rebar: both bands in one row at the top, in this order.
    addToolBar(Qt::TopToolBarArea, &m_wndToolBar);
    addToolBar(Qt::TopToolBarArea, &m_wndArchiveBar);

    setStatusBar(&m_wndStatusBar);
    if (!m_wndStatusBar.SetIndicators(kIndicators, static_cast<int>(std::size(kIndicators)))) {
        return -1;
    }
    m_wndStatusBar.SetPaneInfo(1, ID_INDICATOR_FILE, 96);
    m_wndStatusBar.SetPaneInfo(2, ID_INDICATOR_COUNT, 72);
    m_wndStatusBar.SetPaneInfo(3, ID_INDICATOR_SIZE, 80);
    ShowIdleMessage();

    // The index bar at the left of the MDI area, from the tool bars down to the status
    // bar.
    auto* client = new QWidget(this);
    auto* layout = new QHBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_wndIndexBar.Create(client);
    m_wndIndexBar.SetCatalogue(&theArchive);
    if (theApp.m_pArchiveDocument) {
        theApp.m_pArchiveDocument->AddObserver(&m_wndIndexBar);
    }
    layout->addWidget(&m_wndIndexBar);
    layout->addWidget(m_pMdiArea, 1);
    setCentralWidget(client);
    PlaceFindField();
    EnableDragOut();
    EnableFileDrops();
    setAcceptDrops(true);
    return 0;
}

CommandRouteTargets CMainFrame::Route() {
    return {GetActiveChild(), this, theApp.m_pDocument, &theApp};
}

bool CMainFrame::RouteCommand(int id, CommandQuery query, CCmdUI* ui) {
    return ::RouteCommand(Route(), id, query, ui);
}

bool CMainFrame::SendCommand(int id) {
    if (!IsCommandEnabled(id)) {
        return false;
    }
    bool handled = RouteCommand(id, CommandQuery::Execute, nullptr);
    UpdateCommandUI();
    return handled;
}

void CMainFrame::UpdateAction(int id, QAction* action) {
    CCmdUI ui(id, action);
    UpdateCommandOnRoute(Route(), ui);
}

bool CMainFrame::IsCommandEnabled(int id) {
    CCmdUI ui(id, nullptr);
    UpdateCommandOnRoute(Route(), ui);
    return ui.m_bEnabled;
}

void CMainFrame::UpdateCommandUI() {
    for (auto& [id, action] : m_actions) {
        UpdateAction(id, action);
    }
}

CChildFrame* CMainFrame::CreateNewChild(const char* className) {
    CChildFrame* child = CreateChildFrameByName(className);
    if (!child) {
        return nullptr;
    }
    child->setAttribute(Qt::WA_DeleteOnClose);
    m_pMdiArea->addSubWindow(child);
    connect(child, &CChildFrame::frameClosed, this, [this] {
        RefreshMenu();
        UpdateCommandUI();
    });
    // The host's default size for a new child, at the top-left corner of the area
    // rather than at the next cascade position.
    QSize area = m_pMdiArea->viewport()->size();
    child->resize(std::max(area.width() * 3 / 4, 200), std::max(area.height() * 3 / 4, 150));
    child->move(0, 0);
    child->show();
    m_pMdiArea->setActiveSubWindow(child);
    RefreshMenu();
    UpdateCommandUI();
    return child;
}

CChildFrame* CMainFrame::GetActiveChild() const {
    return qobject_cast<CChildFrame*>(m_pMdiArea->currentSubWindow());
}

std::vector<CChildFrame*> CMainFrame::GetChildFrames() const {
    std::vector<CChildFrame*> children;
    for (QMdiSubWindow* window : m_pMdiArea->subWindowList(QMdiArea::CreationOrder)) {
        auto* child = qobject_cast<CChildFrame*>(window);
        if (child && !child->IsClosed()) {
            children.push_back(child);
        }
    }
    return children;
}

bool CMainFrame::OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) {
    return DispatchCommand(*this, kFrameCommands, id, query, ui);
}

void CMainFrame::ShowIdleMessage() {
    m_wndStatusBar.SetPaneText(0, ResText(AFX_IDS_IDLEMESSAGE));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (theApp.m_mayClose && !theApp.m_mayClose()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        // Prompts go to pane 0 and leave the other panes in place; an empty prompt
        // means the pointer left the item: back to the idle message.
        QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        if (tip.isEmpty()) {
            ShowIdleMessage();
        } else {
            m_wndStatusBar.SetPaneText(0, tip);
        }
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    UpdateCommandUI();
}

QMenu* CMainFrame::createPopupMenu() {
    return nullptr;  // the bars are always where they are; no menu to hide them by name
}
