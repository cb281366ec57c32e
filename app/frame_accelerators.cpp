// SPDX-License-Identifier: MIT
#include "app/main_frame.h"

// Accelerators: the shortcuts of the accelerator table on the commands' actions, and the
// table's keys taken before the focused widget sees them.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <map>

#include "res/resource.h"
#include "res/resource_tables.h"

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
    // The menu bars' popups are made when first shown; their commands' actions are here
    // from the start.
    for (int menuId : {IDR_MAINFRAME, IDR_ENTRYTYPE}) {
        if (const MenuResource* menu = FindMenuResource(menuId)) {
            for (size_t i = 0; i < menu->count; ++i) {
                if (menu->entries[i].kind == MenuKind::Item) {
                    CommandAction(menu->entries[i].id);
                }
            }
        }
    }
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
