// SPDX-License-Identifier: MIT
#include "indexbar/index_context_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <memory>

#include "framework/menu_host.h"
#include "indexbar/index_bar.h"
#include "res/resource.h"

namespace {

PopupRunner& CurrentRunner() {
    static PopupRunner runner;
    return runner;
}

void RunPopup(QMenu& popup, const QPoint& pos) {
    if (CurrentRunner()) {
        CurrentRunner()(popup, pos);
    } else {
        popup.exec(pos);
    }
}

QMenu* SubMenuAt(QMenu* menu, int position) {
    const QList<QAction*> actions = menu->actions();
    if (position < 0 || position >= actions.size()) {
        return nullptr;
    }
    return actions[position]->menu();
}

// The popup opens a little below and to the right of the row the user last clicked, so
// the row stays in sight; without such a row, at the cursor.
QPoint ItemPopupPosition(const CListCtrl& list, const QPoint& cursor) {
    const int mark = list.GetSelectionMark();
    if (mark < 0) {
        return cursor;
    }
    return list.viewport()->mapToGlobal(list.GetItemPosition(mark)) + QPoint(14, 14);
}

// The radio mark stands on the item of the current mode; Reverse order carries a check
// while the flag is set.
void MarkSortState(QMenu& sortPopup, int mode, bool reverse) {
    auto* group = new QActionGroup(&sortPopup);  // exclusive: drawn as radio items
    const QList<QAction*> actions = sortPopup.actions();
    for (int position = 0; position <= 3 && position < actions.size(); ++position) {
        QAction* action = actions[position];
        action->setCheckable(true);
        action->setActionGroup(group);
        action->setChecked(position == mode);
    }
    for (QAction* action : actions) {
        if (action->data().toInt() == ID_SORT_REVERSE) {
            action->setCheckable(true);
            action->setChecked(reverse);
        }
    }
}

}  // namespace

PopupRunner SetIndexPopupRunner(PopupRunner runner) {
    PopupRunner previous = std::move(CurrentRunner());
    CurrentRunner() = std::move(runner);
    return previous;
}

void ShowIndexContextMenu(CIndexBar& bar, CMenuHost& frame, const QPoint& cursor) {
    CListCtrl* list = bar.GetListCtrl();
    std::unique_ptr<QMenu> menu(frame.LoadMenu(IDR_INDEXMENU));
    if (list == nullptr || menu == nullptr) {
        return;
    }
    QMenu* popup = nullptr;
    QPoint pos = cursor;
    if (list->GetSelectedCount() != 0) {
        popup = SubMenuAt(menu.get(), kItemPopup);
        if (popup != nullptr && !popup->actions().isEmpty()) {
            popup->setDefaultAction(popup->actions().first());
        }
        pos = ItemPopupPosition(*list, cursor);
    } else {
        popup = SubMenuAt(menu.get(), kViewPopup);
        if (QMenu* sort = popup != nullptr ? SubMenuAt(popup, kSortPopupInView) : nullptr) {
            MarkSortState(*sort, bar.m_nSortMode, bar.m_bSortReverse);
        }
    }
    if (popup == nullptr) {
        return;
    }
    // Enabled states as the command route sees them now ("&Extract" only with entries).
    frame.UpdateMenuCommandUI(popup);
    RunPopup(*popup, pos);
}
