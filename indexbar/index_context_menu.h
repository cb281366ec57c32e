// SPDX-License-Identifier: MIT
#pragma once
// The index list's context menu. A right click with rows selected shows the "Item" popup
// next to the row last clicked, with "&Open" as the default; with none selected it
// shows the "View" popup at the mouse cursor, its Sort popup marking the bar's sort
// state. The menu is built afresh from its resource for every click and the command
// chosen in it runs once the popup has closed.
#include <QPoint>
#include <functional>

class CIndexBar;
class CMenuHost;
class QMenu;

// Shows a popup and returns when it has closed. The default runs the menu's own modal
// loop at `pos` (screen coordinates).
using PopupRunner = std::function<void(QMenu& popup, const QPoint& pos)>;

// Replaces the way popups are shown (tests look at the popup and choose from it);
// an empty runner restores the default. Returns the runner used so far.
PopupRunner SetIndexPopupRunner(PopupRunner runner);

// Builds the popup that fits the bar's selection and sort state, runs the update pass
// over it, shows it and destroys it. `cursor` is the mouse position on the screen.
void ShowIndexContextMenu(CIndexBar& bar, CMenuHost& frame, const QPoint& cursor);

// Positions inside the menu resource.
constexpr int kItemPopup = 0;
constexpr int kViewPopup = 1;
constexpr int kSortPopupInView = 0;
