// SPDX-License-Identifier: MIT
#include "app/main_frame.h"

// The bars: the two tool bars in one row with their grippers, and the View menu's
// commands that show and hide the tool bar and the status bar.
#include <QAction>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

#include "res/resource_tables.h"
#include "res/scaled_icons.h"

namespace {

constexpr int kButtonHeight = 22;
constexpr int kToolBarHeight = 24;

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

}  // namespace

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

void CMainFrame::SizeToolButtons(QToolBar& toolBar, int width) {
    for (QAction* action : toolBar.actions()) {
        if (QWidget* button = toolBar.widgetForAction(action);
            button && qobject_cast<QToolButton*>(button)) {
            button->setFixedSize(width, kButtonHeight);
        }
    }
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
