// SPDX-License-Identifier: MIT
#pragma once
// Edit > Find in an entry window: asks what to find, offering the last search, moves to
// the next match and says so when there is none.
#include <QString>
#include <functional>

class QWidget;

// Returns what the user asked for, to offer next time; `last` when they cancelled or
// typed nothing.
QString AskAndFind(QWidget* owner, const QString& label, const QString& last,
                   const std::function<bool(const QString&)>& findNext);
