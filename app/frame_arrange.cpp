// SPDX-License-Identifier: MIT
#include "app/main_frame.h"

// Window > Arrange Icons, Cascade and Tile: the entry windows laid out in the MDI area.
#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>
#include <cmath>

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
