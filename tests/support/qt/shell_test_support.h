// SPDX-License-Identifier: MIT
#pragma once
// Helpers for widget tests that drive the real main frame.
#include <gtest/gtest.h>

#include <QKeySequence>
#include <QString>
#include <QStringList>
#include <functional>

#include "tests/support/qt/prompts_scripted.h"

class CMainFrame;
class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace lumo::test {

// Starts the application's main frame as the program does, with scripted prompts
// installed, and takes it down again after the test. The shared catalogue keeps what
// the test loaded; the application's path buffers are cleared.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CMainFrame* Frame() const;
    // Pane text of the frame's status bar.
    QString PaneText(int index) const;
    // Runs the event loop until nothing is pending, deferred deletions included.
    static void Settle();

    platform::ScriptedPrompts prompts;

private:
    platform::IPrompts* m_previousPrompts = nullptr;
};

// A menu text without its access-key marks and without the shortcut text after the tab:
// "&New archive...\tCtrl+N" -> "New archive...".
QString PlainMenuText(const QString& text);

// Finds an item by its path of texts from the menu bar, e.g. {"File", "Open archive..."};
// each text is compared exactly or in its plain form. Null when there is none.
QAction* FindMenuAction(QMenuBar* menuBar, const QStringList& path);
QAction* FindMenuAction(QMenu* menu, const QStringList& path);
// The popup reached by a path of texts; null when there is none.
QMenu* FindMenu(QMenuBar* menuBar, const QStringList& path);
// The texts of a menu's items, separators as "-".
QStringList MenuTexts(QMenu* menu);
// The top-level texts of the menu bar.
QStringList MenuBarTexts(QMenuBar* menuBar);

// Presses a key combination in the given window, as the user would; shortcuts fire.
void PressKeys(QWidget* window, const QKeySequence& keys);

// Runs `action` on the modal widget once one is shown; use it before a call that
// opens a modal dialog and returns only when the dialog is closed. If no modal widget
// appears within a few seconds, nothing is run.
void WhenModalShows(std::function<void(QWidget* modal)> action);

}  // namespace lumo::test
