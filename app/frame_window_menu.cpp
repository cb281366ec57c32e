// SPDX-License-Identifier: MIT
#include "app/main_frame.h"

// The Window menu's list of entry windows, and More Windows... to pick any other.
#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QVBoxLayout>
#include <algorithm>

#include "res/resource.h"
#include "viewers/child_frame.h"

namespace {

constexpr size_t kWindowListLength = 9;

}  // namespace

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
    const QString prompt = tr("Activate this window");
    int number = 1;
    for (CChildFrame* child : listed) {
        QAction* action =
            windowMenu->addAction(tr("&%1 %2").arg(number).arg(child->windowTitle()));
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
        QAction* more = windowMenu->addAction(tr("&More Windows..."));
        more->setData(AFX_IDM_FIRST_MDICHILD + number - 1);
        more->setStatusTip(prompt);
        connect(more, &QAction::triggered, this, [this] { SelectWindow(); });
        m_windowListActions.push_back(more);
    }
}

void CMainFrame::SelectWindow() {
    QDialog dialog(this);
    dialog.setWindowTitle(tr("Select Window"));
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
