// SPDX-License-Identifier: MIT
#include "app/main_frame.h"

// Menus: the shared actions of the commands, the menu bars built from the menu resources,
// the popups built afresh (the index context menu), and the update pass over a menu.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

#include "res/resource.h"
#include "res/resource_tables.h"

namespace {

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
    if (resourceId == m_nCurrentMenu) {
        return;
    }
    if (!m_menuBars.count(resourceId)) {
        BuildMenuBar(resourceId);
        if (!m_menuBars.count(resourceId)) {
            return;
        }
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
