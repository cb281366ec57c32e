// SPDX-License-Identifier: MIT
#include "tests/support/qt/shell_test_support.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "framework/status_bar.h"

namespace lumo::test {

void ShellTest::SetUp() {
    m_previousPrompts = platform::SetPrompts(&prompts);
    ASSERT_TRUE(theApp.InitInstance());
    ASSERT_NE(theApp.m_pMainFrame, nullptr);
    QApplication::setActiveWindow(theApp.m_pMainFrame);
    Settle();
}

void ShellTest::TearDown() {
    delete theApp.m_pMainFrame;
    Settle();
    theApp.m_pMainFrame = nullptr;
    theApp.m_szFileName.clear();
    theApp.m_szPathName.clear();
    theApp.m_szInitialDir.clear();
    theApp.m_szExtractDir.clear();
    platform::SetPrompts(m_previousPrompts);
}

CMainFrame* ShellTest::Frame() const {
    return theApp.m_pMainFrame;
}

QString ShellTest::PaneText(int index) const {
    return Frame() ? Frame()->m_wndStatusBar.GetPaneText(index) : QString();
}

void ShellTest::Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QString PlainMenuText(const QString& text) {
    QString plain = text.left(text.indexOf(QLatin1Char('\t')));
    plain.remove(QLatin1Char('&'));
    return plain;
}

namespace {

bool TextMatches(const QString& actual, const QString& wanted) {
    return actual == wanted || PlainMenuText(actual) == wanted;
}

QAction* FindIn(const QList<QAction*>& actions, const QString& text) {
    for (QAction* action : actions) {
        if (!action->isSeparator() && TextMatches(action->text(), text)) {
            return action;
        }
    }
    return nullptr;
}

QAction* FindPath(QList<QAction*> actions, const QStringList& path) {
    QAction* found = nullptr;
    for (const QString& text : path) {
        found = FindIn(actions, text);
        if (!found) {
            return nullptr;
        }
        actions = found->menu() ? found->menu()->actions() : QList<QAction*>();
    }
    return found;
}

}  // namespace

QAction* FindMenuAction(QMenuBar* menuBar, const QStringList& path) {
    return menuBar ? FindPath(menuBar->actions(), path) : nullptr;
}

QAction* FindMenuAction(QMenu* menu, const QStringList& path) {
    return menu ? FindPath(menu->actions(), path) : nullptr;
}

QMenu* FindMenu(QMenuBar* menuBar, const QStringList& path) {
    QAction* action = FindMenuAction(menuBar, path);
    return action ? action->menu() : nullptr;
}

QStringList MenuTexts(QMenu* menu) {
    QStringList texts;
    if (menu) {
        for (QAction* action : menu->actions()) {
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
    }
    return texts;
}

QStringList MenuBarTexts(QMenuBar* menuBar) {
    QStringList texts;
    for (QAction* action : menuBar->actions()) {
        texts << action->text();
    }
    return texts;
}

void PressKeys(QWidget* window, const QKeySequence& keys) {
    QApplication::setActiveWindow(window);
    QTest::keySequence(window, keys);
    QCoreApplication::processEvents();
}

void WhenModalShows(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal || clock->elapsed() > 5000) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            if (modal) {
                action(modal);
            }
        }
    });
    timer->start(10);
}

}  // namespace lumo::test
