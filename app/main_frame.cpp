#include "app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QStatusTipEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/frame_classes.h"
#include "app/globals.h"
#include "app/lumo_app.h"
#include "archive/lgp_archive.h"
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
constexpr int kButtonHeight = 22;
constexpr int kArchiveButtonWidth = 23;
constexpr int kToolBarHeight = 24;
constexpr size_t kWindowListLength = 9;

// The gripper at the start of each tool bar band: two raised bars. The bands keep
// their order, so the gripper is drawn but does not move the band.
class CBandGripper : public QWidget {
public:
    explicit CBandGripper(QWidget* parent = nullptr) : QWidget(parent) {
        setFixedSize(9, kButtonHeight);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter dc(this);
        const QPalette& pal = palette();
        for (int x : {2, 5}) {
            QRect bar(x, 2, 3, height() - 4);
            dc.setPen(pal.color(QPalette::Light));
            dc.drawLine(bar.topLeft(), bar.bottomLeft());
            dc.drawLine(bar.topLeft(), bar.topRight());
            dc.setPen(pal.color(QPalette::Dark));
            dc.drawLine(bar.topRight(), bar.bottomRight());
            dc.drawLine(bar.bottomLeft(), bar.bottomRight());
        }
    }
};

QString ResText(int id) {
    return QString::fromUtf8(LoadResString(id));
}

// Builds the entries from `pos` up to the End that closes the current popup into
// `menu`; returns the position after that End.
template <class MakeAction, class OnMenu>
size_t FillMenu(QMenu* menu, const MenuResource& resource, size_t pos, MakeAction& makeAction,
                OnMenu& onMenu) {
    // Every separator of the resource is drawn, also the one that ends the Options menu.
    menu->setSeparatorsCollapsible(false);
    while (pos < resource.count) {
        const MenuEntry& entry = resource.entries[pos++];
        switch (entry.kind) {
            case MenuKind::End:
                return pos;
            case MenuKind::Separator:
                menu->addSeparator();
                break;
            case MenuKind::Popup: {
                QMenu* popup = menu->addMenu(QString::fromUtf8(entry.text));
                pos = FillMenu(popup, resource, pos, makeAction, onMenu);
                onMenu(popup);
                break;
            }
            case MenuKind::Item: {
                QAction* action = makeAction(entry, menu);
                if (entry.flags & kMenuChecked) {
                    action->setCheckable(true);
                    action->setChecked(true);
                }
                if (entry.flags & kMenuGrayed) {
                    action->setEnabled(false);
                }
                menu->addAction(action);
                break;
            }
        }
    }
    return pos;
}

int CommandIdOf(const QAction* action) {
    bool ok = false;
    int id = action->data().toInt(&ok);
    return ok ? id : 0;
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
    setWindowIcon(ApplicationIcon());
    resize(800, 600);
    CreateCommandActions();
    BuildMenuBar(IDR_MAINFRAME);
    BuildMenuBar(IDR_ENTRYTYPE);
    ShowMenu(IDR_MAINFRAME);
    return OnCreate() != -1;
}

int CMainFrame::OnCreate() {
    // Main tool bar: the Open button with its text beside the image.
    m_wndToolBar.setObjectName(QStringLiteral("MainToolBar"));
    BuildToolBar(m_wndToolBar, IDR_MAINFRAME, Qt::ToolButtonTextBesideIcon);
    CommandAction(ID_FILE_OPEN)->setIconText(QStringLiteral("Open"));
    for (QAction* action : m_wndToolBar.actions()) {
        if (QWidget* button = m_wndToolBar.widgetForAction(action);
            button && qobject_cast<QToolButton*>(button)) {
            button->setFixedSize(kMainButtonWidth, kButtonHeight);
        }
    }
    // Second tool bar: images only.
    m_wndArchiveBar.setObjectName(QStringLiteral("ArchiveToolBar"));
    BuildToolBar(m_wndArchiveBar, IDR_ARCHIVEBAR, Qt::ToolButtonIconOnly);
    for (QAction* action : m_wndArchiveBar.actions()) {
        if (QWidget* button = m_wndArchiveBar.widgetForAction(action);
            button && qobject_cast<QToolButton*>(button)) {
            button->setFixedSize(kArchiveButtonWidth, kButtonHeight);
        }
    }
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
    layout->addWidget(&m_wndIndexBar);
    layout->addWidget(m_pMdiArea, 1);
    setCentralWidget(client);
    PlaceFindField();
    setAcceptDrops(true);
    return 0;
}

bool CMainFrame::BuildToolBar(QToolBar& toolBar, int resourceId, Qt::ToolButtonStyle style) {
    const ToolBarResource* resource = FindToolBarResource(resourceId);
    if (!resource) {
        return false;
    }
    toolBar.setMovable(false);
    toolBar.setFloatable(false);
    toolBar.setAllowedAreas(Qt::TopToolBarArea);
    toolBar.setToolButtonStyle(style);
    toolBar.setIconSize(QSize(kToolBarImageWidth, kToolBarImageHeight));
    toolBar.setFixedHeight(kToolBarHeight);
    toolBar.setContentsMargins(0, 0, 0, 0);
    toolBar.addWidget(new CBandGripper(&toolBar));
    const int count = static_cast<int>(resource->count);
    for (int i = 0; i < count; ++i) {
        QAction* action = CommandAction(resource->buttons[i]);
        QIcon icon = ToolBarButtonIcon(resource->image, i, count);
        if (!icon.isNull()) {
            action->setIcon(icon);
            action->setIconVisibleInMenu(false);
        }
        toolBar.addAction(action);
    }
    return true;
}

void CMainFrame::CreateCommandActions() {
    // Every command a menu of the menu bar, a tool bar or an accelerator carries gets
    // its one action now; the shortcuts live on the frame so that they work whichever
    // menu is shown.
    if (const AcceleratorTable* table = FindAcceleratorTable(IDR_MAINFRAME)) {
        std::map<int, QList<QKeySequence>> keys;
        for (size_t i = 0; i < table->count; ++i) {
            const AcceleratorEntry& entry = table->entries[i];
            keys[entry.id].append(QKeySequence(QKeyCombination(
                Qt::KeyboardModifiers(entry.modifiers), static_cast<Qt::Key>(entry.key))));
        }
        for (auto& [id, sequences] : keys) {
            QAction* action = CommandAction(id);
            action->setShortcuts(sequences);
            action->setShortcutContext(Qt::WindowShortcut);
        }
    }
}

QAction* CMainFrame::CommandAction(int id) {
    if (auto found = m_actions.find(id); found != m_actions.end()) {
        return found->second;
    }
    auto* action = new QAction(this);
    action->setData(id);
    CommandStrings strings = SplitCommandString(LoadResString(id));
    action->setStatusTip(
        QString::fromUtf8(strings.prompt, static_cast<qsizetype>(strings.promptLength)));
    action->setToolTip(QString::fromUtf8(strings.tooltip));
    connect(action, &QAction::triggered, this, [this, id] { SendCommand(id); });
    addAction(action);  // shortcuts work while the action is in no visible menu
    m_actions[id] = action;
    return action;
}

QAction* CMainFrame::GetCommandAction(int id) const {
    auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

void CMainFrame::BuildMenuBar(int resourceId) {
    const MenuResource* resource = FindMenuResource(resourceId);
    if (!resource) {
        return;
    }
    auto makeAction = [this](const MenuEntry& entry, QMenu*) {
        QAction* action = CommandAction(entry.id);
        action->setText(QString::fromUtf8(entry.text));
        return action;
    };
    auto onMenu = [this](QMenu* menu) {
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenuCommandUI(menu); });
        const QList<QAction*> items = menu->actions();
        bool isWindowMenu = std::any_of(items.begin(), items.end(), [](QAction* a) {
            return CommandIdOf(a) == ID_WINDOW_CASCADE;
        });
        if (isWindowMenu) {
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillWindowList(menu); });
        }
    };
    std::vector<QMenu*>& popups = m_menuBars[resourceId];
    size_t pos = 0;
    while (pos < resource->count) {
        const MenuEntry& entry = resource->entries[pos++];
        if (entry.kind != MenuKind::Popup) {
            continue;
        }
        auto* popup = new QMenu(QString::fromUtf8(entry.text), this);
        pos = FillMenu(popup, *resource, pos, makeAction, onMenu);
        onMenu(popup);
        popups.push_back(popup);
    }
}

void CMainFrame::ShowMenu(int resourceId) {
    if (resourceId == m_nCurrentMenu || !m_menuBars.count(resourceId)) {
        return;
    }
    // Both menus share the commands' actions; the texts are those of the menu shown
    // ("&New archive..." in one, "&New" in the other).
    if (const MenuResource* resource = FindMenuResource(resourceId)) {
        for (size_t i = 0; i < resource->count; ++i) {
            const MenuEntry& entry = resource->entries[i];
            if (entry.kind == MenuKind::Item) {
                CommandAction(entry.id)->setText(QString::fromUtf8(entry.text));
            }
        }
    }
    menuBar()->clear();
    for (QMenu* popup : m_menuBars[resourceId]) {
        menuBar()->addMenu(popup);
    }
    m_nCurrentMenu = resourceId;
}

void CMainFrame::RefreshMenu() {
    ShowMenu(GetChildFrames().empty() ? IDR_MAINFRAME : IDR_ENTRYTYPE);
}

void CMainFrame::FillWindowList(QMenu* windowMenu) {
    for (QAction* action : m_windowListActions) {
        windowMenu->removeAction(action);
        action->deleteLater();
    }
    m_windowListActions.clear();
    const std::vector<CChildFrame*> children = GetChildFrames();
    if (children.empty()) {
        return;
    }
    m_windowListActions.push_back(windowMenu->addSeparator());
    CChildFrame* active = GetActiveChild();
    // Nine windows at most, so that the menu stays usable with many entries open; the
    // active one is always among them, in the last place if it would not fit otherwise.
    std::vector<CChildFrame*> listed = children;
    if (listed.size() > kWindowListLength) {
        listed.resize(kWindowListLength);
        if (active && std::find(listed.begin(), listed.end(), active) == listed.end()) {
            listed.back() = active;
        }
    }
    const QString prompt = QStringLiteral("Activate this window");
    int number = 1;
    for (CChildFrame* child : listed) {
        QAction* action =
            windowMenu->addAction(QStringLiteral("&%1 %2").arg(number).arg(child->windowTitle()));
        action->setData(AFX_IDM_FIRST_MDICHILD + number - 1);
        action->setStatusTip(prompt);
        // Only the active window carries a mark; the others show none, not an empty box.
        action->setCheckable(child == active);
        action->setChecked(child == active);
        QPointer<CChildFrame> target = child;
        connect(action, &QAction::triggered, this, [this, target] {
            if (target) {
                m_pMdiArea->setActiveSubWindow(target);
            }
        });
        m_windowListActions.push_back(action);
        ++number;
    }
    if (children.size() > kWindowListLength) {
        QAction* more = windowMenu->addAction(QStringLiteral("&More Windows..."));
        more->setData(AFX_IDM_FIRST_MDICHILD + number - 1);
        more->setStatusTip(prompt);
        connect(more, &QAction::triggered, this, [this] { SelectWindow(); });
        m_windowListActions.push_back(more);
    }
}

void CMainFrame::SelectWindow() {
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Select Window"));
    auto* list = new QListWidget(&dialog);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);
    std::vector<QPointer<CChildFrame>> windows;
    for (CChildFrame* child : GetChildFrames()) {
        list->addItem(child->windowTitle());
        if (child == GetActiveChild()) {
            list->setCurrentRow(list->count() - 1);
        }
        windows.emplace_back(child);
    }
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const int row = list->currentRow();
    if (row >= 0 && static_cast<size_t>(row) < windows.size() && windows[row]) {
        m_pMdiArea->setActiveSubWindow(windows[row]);
    }
}

QMenu* CMainFrame::LoadMenu(int resourceId, QWidget* parent) {
    const MenuResource* resource = FindMenuResource(resourceId);
    if (!resource) {
        return nullptr;
    }
    auto* root = new QMenu(parent ? parent : this);
    auto makeAction = [this](const MenuEntry& entry, QMenu* menu) {
        auto* action = new QAction(QString::fromUtf8(entry.text), menu);
        action->setData(entry.id);
        CommandStrings strings = SplitCommandString(LoadResString(entry.id));
        action->setStatusTip(
            QString::fromUtf8(strings.prompt, static_cast<qsizetype>(strings.promptLength)));
        // The chosen command is posted: it runs after the popup's caller has returned.
        int id = entry.id;
        connect(action, &QAction::triggered, this, [this, id] {
            QMetaObject::invokeMethod(
                this, [this, id] { SendCommand(id); }, Qt::QueuedConnection);
        });
        return action;
    };
    auto onMenu = [this](QMenu* menu) {
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenuCommandUI(menu); });
        connect(menu, &QMenu::hovered, this, [this](QAction* action) {
            if (action->statusTip().isEmpty()) {
                ShowIdleMessage();
            } else {
                m_wndStatusBar.SetPaneText(0, action->statusTip());
            }
        });
        connect(menu, &QMenu::aboutToHide, this, [this] { ShowIdleMessage(); });
    };
    FillMenu(root, *resource, 0, makeAction, onMenu);
    onMenu(root);
    return root;
}

bool CMainFrame::RouteCommand(int id, CommandQuery query, CCmdUI* ui) {
    if (CChildFrame* child = GetActiveChild()) {
        if (child->OnCmdMsg(id, query, ui)) {
            return true;
        }
    }
    if (OnCmdMsg(id, query, ui)) {
        return true;
    }
    return theApp.OnCmdMsg(id, query, ui);
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
    // An update handler anywhere on the route decides; otherwise a command is enabled
    // exactly when some table on the route handles it.
    if (!RouteCommand(id, CommandQuery::UpdateHandler, &ui)) {
        ui.Enable(RouteCommand(id, CommandQuery::HasHandler, nullptr));
    }
}

bool CMainFrame::IsCommandEnabled(int id) {
    CCmdUI ui(id, nullptr);
    if (!RouteCommand(id, CommandQuery::UpdateHandler, &ui)) {
        ui.Enable(RouteCommand(id, CommandQuery::HasHandler, nullptr));
    }
    return ui.m_bEnabled;
}

void CMainFrame::UpdateCommandUI() {
    for (auto& [id, action] : m_actions) {
        UpdateAction(id, action);
    }
}

void CMainFrame::UpdateMenuCommandUI(QMenu* menu) {
    if (!menu) {
        return;
    }
    for (QAction* action : menu->actions()) {
        if (QMenu* popup = action->menu()) {
            UpdateMenuCommandUI(popup);
            continue;
        }
        int id = CommandIdOf(action);
        if (id > 0 && id < AFX_IDM_FIRST_MDICHILD && !action->isSeparator()) {
            UpdateAction(id, action);
        }
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

void CMainFrame::OnWindowArrange() {
    // Minimized windows line up along the bottom edge of the area, left to right.
    QSize area = m_pMdiArea->viewport()->size();
    int x = 0;
    for (QMdiSubWindow* window : m_pMdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (window->isMinimized()) {
            window->move(x, area.height() - window->height());
            x += window->width();
        }
    }
}

void CMainFrame::OnWindowCascade() {
    // Each window one title bar lower and further right than the one below it, the
    // active one on top, all of one size that fits the area. (The area's own cascade
    // shrinks windows to their size hints, which entry windows do not give.)
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : m_pMdiArea->subWindowList(QMdiArea::StackingOrder)) {
        if (window->isVisible() && !window->isMinimized()) {
            windows.push_back(window);
        }
    }
    if (windows.empty()) {
        return;
    }
    QSize area = m_pMdiArea->viewport()->size();
    QWidget* client = windows.front()->widget();
    int step = std::max(client ? client->y() : 0, 8);
    int count = static_cast<int>(windows.size());
    QSize size(std::max(area.width() - (count - 1) * step, 200),
               std::max(area.height() - (count - 1) * step, 150));
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* window = windows[static_cast<size_t>(i)];
        if (window->isMaximized()) {
            window->showNormal();
        }
        window->setGeometry(QRect(QPoint(i * step, i * step), size));
        window->raise();
    }
}

void CMainFrame::OnWindowTileHorz() {
    // Strips one above the other across the whole width, the active window at the top;
    // from four windows on, floor(sqrt(n)) columns of n / columns strips, the last column
    // taking the rest. (The area's own tiling puts two windows side by side.) Minimized
    // windows keep a row at the bottom.
    std::vector<QMdiSubWindow*> windows;
    int iconRow = 0;
    const QList<QMdiSubWindow*> stacking = m_pMdiArea->subWindowList(QMdiArea::StackingOrder);
    for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
        if ((*it)->isMinimized()) {
            iconRow = std::max(iconRow, (*it)->height());
        } else if ((*it)->isVisible()) {
            windows.push_back(*it);
        }
    }
    if (windows.empty()) {
        return;
    }
    QSize area = m_pMdiArea->viewport()->size();
    area.rheight() -= std::min(iconRow, area.height() / 2);
    const int count = static_cast<int>(windows.size());
    const int columns = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(count))));
    int rows = count / columns;
    const int width = area.width() / columns;
    size_t next = 0;
    for (int column = 0; column < columns; ++column) {
        if (column == columns - 1) {
            rows = count - static_cast<int>(next);
        }
        const int height = area.height() / rows;
        for (int row = 0; row < rows; ++row, ++next) {
            QMdiSubWindow* window = windows[next];
            if (window->isMaximized()) {
                window->showNormal();
            }
            window->setGeometry(column * width, row * height, width, height);
        }
    }
}

void CMainFrame::OnUpdateMDIWindowCmd(CCmdUI* pCmdUI) {
    pCmdUI->Enable(GetActiveChild() != nullptr);
}

void CMainFrame::OnViewToolbar() {
    m_wndToolBar.setVisible(m_wndToolBar.isHidden());
}

void CMainFrame::OnUpdateViewToolbar(CCmdUI* pCmdUI) {
    pCmdUI->Enable(true);
    pCmdUI->SetCheck(!m_wndToolBar.isHidden());
}

void CMainFrame::OnViewStatusBar() {
    m_wndStatusBar.setVisible(m_wndStatusBar.isHidden());
}

void CMainFrame::OnUpdateViewStatusBar(CCmdUI* pCmdUI) {
    pCmdUI->Enable(true);
    pCmdUI->SetCheck(!m_wndStatusBar.isHidden());
}

void CMainFrame::ShowIdleMessage() {
    m_wndStatusBar.SetPaneText(0, ResText(AFX_IDS_IDLEMESSAGE));
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

// A key of the accelerator table that reaches a widget of this window has found no enabled
// shortcut: its command is grayed, or the widget claimed the key for itself. Either way
// the table has it first, as the keys would otherwise fall through to the focused widget
// (the list would copy a row's name on Ctrl+C). SendCommand does nothing for a grayed
// command. A text field is the exception: its editing keys (Ctrl+C, Ctrl+V ...) are its
// own. Keys that an entry window also binds (Ctrl+F4, Ctrl+F6) would be ambiguous
// shortcuts that fire neither; the table claims them before shortcuts are looked up.
bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    const bool isKey =
        event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (!isKey || !watched->isWidgetType() || qobject_cast<QLineEdit*>(watched) ||
        static_cast<QWidget*>(watched)->window() != this) {
        return QMainWindow::eventFilter(watched, event);
    }
    int id = AcceleratorCommand(*static_cast<QKeyEvent*>(event));
    if (id == 0) {
        return QMainWindow::eventFilter(watched, event);
    }
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();  // delivered as a key press, which comes back here
        return true;
    }
    QAction* action = GetCommandAction(id);
    if (action != nullptr && action->isEnabled()) {
        action->trigger();
    } else {
        SendCommand(id);
    }
    return true;
}

int CMainFrame::AcceleratorCommand(const QKeyEvent& key) const {
    const AcceleratorTable* table = FindAcceleratorTable(IDR_MAINFRAME);
    if (!table) {
        return 0;
    }
    const int modifiers = static_cast<int>(
        key.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    for (size_t i = 0; i < table->count; ++i) {
        const AcceleratorEntry& entry = table->entries[i];
        if (entry.key == key.key() && entry.modifiers == modifiers) {
            return entry.id;
        }
    }
    return 0;
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    UpdateCommandUI();
}

QMenu* CMainFrame::createPopupMenu() {
    return nullptr;  // the bars are always where they are; no menu to hide them by name
}
