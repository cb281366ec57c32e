// SPDX-License-Identifier: MIT
#pragma once
// Command maps as data. A window or the application holds a table of
// {command ID, handler, update handler}; the main frame offers each command to the
// active child's table, then its own, then the application's, and the first entry
// found handles it. The same route decides whether a command is enabled.
#include <cstddef>

class QAction;

// The state of one command's user interface (its shared QAction) during an update
// pass.
class CCmdUI {
public:
    CCmdUI(int id, QAction* action) : m_nID(id), m_pAction(action) {}

    void Enable(bool enable = true);
    void SetCheck(bool check = true);

    int m_nID;
    // What the pass decided, also when there is no action; an update handler that
    // does not call Enable leaves the command enabled.
    bool m_bEnabled = true;

private:
    QAction* m_pAction;
};

template <class T>
struct CommandMapEntry {
    int id;
    void (T::*handler)();
    void (T::*update)(CCmdUI*);
};

// The three ways a route asks a table about a command.
enum class CommandQuery { Execute, UpdateHandler, HasHandler };

// Something on the command route.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    // Execute: runs the handler. UpdateHandler: runs the update handler with `ui`.
    // HasHandler: only answers. Each returns true when the table has a matching entry.
    virtual bool OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) = 0;
};

template <class T, size_t N>
bool DispatchCommand(T& target, const CommandMapEntry<T> (&table)[N], int id, CommandQuery query,
                     CCmdUI* ui) {
    for (const CommandMapEntry<T>& entry : table) {
        if (entry.id != id) {
            continue;
        }
        switch (query) {
            case CommandQuery::Execute:
                if (entry.handler) {
                    (target.*entry.handler)();
                    return true;
                }
                break;
            case CommandQuery::UpdateHandler:
                if (entry.update && ui) {
                    (target.*entry.update)(ui);
                    return true;
                }
                break;
            case CommandQuery::HasHandler:
                if (entry.handler) {
                    return true;
                }
                break;
        }
    }
    return false;
}
