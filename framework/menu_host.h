// SPDX-License-Identifier: MIT
#pragma once
// What a window offers the bars inside it that show popup menus built from the menu
// resources (the index bar's context menu): the main frame implements it, so a bar asks
// for its menu without knowing the frame.
class QMenu;
class QWidget;

class CMenuHost {
public:
    virtual ~CMenuHost() = default;
    // A popup menu built afresh from a menu resource; its items post the chosen command
    // to the host's routing. The caller owns the menu. Null for an unknown resource.
    virtual QMenu* LoadMenu(int resourceId, QWidget* parent = nullptr) = 0;
    // The update pass over the items of one menu and its submenus.
    virtual void UpdateMenuCommandUI(QMenu* menu) = 0;
};
