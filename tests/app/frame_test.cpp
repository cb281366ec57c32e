// SPDX-License-Identifier: MIT
// The main frame's bars, panes and index placement, and the entry child frames.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMdiArea>
#include <QPointer>
#include <QToolButton>
#include <fstream>
#include <iterator>
#include <string>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "environment/game_environment.h"
#include "res/resource.h"
#include "tests/support/qt/shell_test_support.h"
#include "viewers/child_frame.h"

namespace {

using FrameTest = lumo::test::ShellTest;

QRect InFrame(QWidget* widget, CMainFrame* frame) {
    return QRect(widget->mapTo(frame, QPoint(0, 0)), widget->size());
}

TEST_F(FrameTest, PanesAtStart) {
    EXPECT_EQ(Frame()->windowTitle(), "Lumo");
    CStatusBar& bar = Frame()->m_wndStatusBar;
    ASSERT_EQ(bar.GetPaneCount(), 4);
    EXPECT_EQ(PaneText(0), "Ready");
    EXPECT_EQ(PaneText(1), "None");
    EXPECT_EQ(PaneText(2), "0 files");
    EXPECT_EQ(PaneText(3), "0 bytes");
    EXPECT_EQ(bar.GetPane(1)->width(), 96);
    EXPECT_EQ(bar.GetPane(2)->width(), 72);
    EXPECT_EQ(bar.GetPane(3)->width(), 80);
    EXPECT_EQ(bar.GetPane(1)->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(bar.GetPane(0)->frameShape(), QFrame::NoFrame);
    // Pane 0 takes the width the others leave.
    EXPECT_GT(bar.GetPane(0)->width(), Frame()->width() / 2);
}

// What only entry windows use is loaded by them: a shown main window has mapped no image
// format plugin, no OpenGL, no audio library.
TEST_F(FrameTest, TheShownMainWindowLoadsNothingOnlyEntryWindowsUse) {
    Frame()->show();
    QApplication::processEvents();
    std::ifstream maps("/proc/self/maps");
    ASSERT_TRUE(maps.good());
    const std::string mapped((std::istreambuf_iterator<char>(maps)),
                             std::istreambuf_iterator<char>());
    for (const char* library : {"/imageformats/", "libQt6OpenGL", "libQt6Multimedia", "libsndfile",
                                "libfluidsynth", "lumo-model-view", "lumo-audio-output"}) {
        EXPECT_EQ(mapped.find(library), std::string::npos) << library;
    }
}

TEST_F(FrameTest, LongPaneTextIsClippedNotWidened) {
    Frame()->m_wndStatusBar.SetPaneText(1, QString(300, QLatin1Char('x')) + ".lgp");
    QApplication::processEvents();
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPane(1)->width(), 96);
    EXPECT_EQ(Frame()->m_wndStatusBar.GetPaneText(5), QString());  // no such pane: nothing
}

TEST_F(FrameTest, ToolBarsInOneRowWithTheirButtons) {
    QToolBar& main = Frame()->m_wndToolBar;
    QToolBar& archive = Frame()->m_wndArchiveBar;
    EXPECT_EQ(Frame()->toolBarArea(&main), Qt::TopToolBarArea);
    EXPECT_EQ(Frame()->toolBarArea(&archive), Qt::TopToolBarArea);
    EXPECT_FALSE(Frame()->toolBarBreak(&archive));
    EXPECT_EQ(main.y(), archive.y());
    EXPECT_LT(main.x(), archive.x());
    EXPECT_FALSE(main.isMovable());
    EXPECT_EQ(main.height(), 24);

    auto* open =
        qobject_cast<QToolButton*>(main.widgetForAction(Frame()->GetCommandAction(ID_FILE_OPEN)));
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->size(), QSize(58, 22));
    EXPECT_EQ(open->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    EXPECT_EQ(open->text(), "Open");
    EXPECT_EQ(open->toolTip(), "Open");
    EXPECT_TRUE(open->isEnabled());

    auto* insert = qobject_cast<QToolButton*>(
        archive.widgetForAction(Frame()->GetCommandAction(ID_ARCHIVE_INSERTFILES)));
    auto* extract = qobject_cast<QToolButton*>(
        archive.widgetForAction(Frame()->GetCommandAction(ID_ITEM_EXTRACT)));
    ASSERT_TRUE(insert && extract);
    EXPECT_LT(insert->x(), extract->x());
    EXPECT_EQ(archive.toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_FALSE(insert->isEnabled());
    EXPECT_FALSE(extract->isEnabled());  // no archive yet
    EXPECT_EQ(extract->toolTip(), "Extract");
}

TEST_F(FrameTest, ButtonUnderThePointerShowsItsPromptInPaneZero) {
    QWidget* open = Frame()->m_wndToolBar.widgetForAction(Frame()->GetCommandAction(ID_FILE_OPEN));
    QPointF centre = QPointF(open->rect().center());
    QEnterEvent enter(centre, centre, open->mapToGlobal(centre));
    QApplication::sendEvent(open, &enter);
    EXPECT_EQ(PaneText(0), "Open an existing archive");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(open, &leave);
    EXPECT_EQ(PaneText(0), "Ready");
    EXPECT_EQ(PaneText(1), "None");  // prompts leave the other panes alone
}

TEST_F(FrameTest, IndexBarKeepsItsWidthAndStripWhateverTheFrameSize) {
    for (QSize size : {QSize(800, 600), QSize(420, 300), QSize(1200, 900)}) {
        Frame()->resize(size);
        QApplication::processEvents();
        QRect bar = InFrame(&Frame()->m_wndIndexBar, Frame());
        QRect tools = InFrame(&Frame()->m_wndToolBar, Frame());
        QRect status = InFrame(&Frame()->m_wndStatusBar, Frame());
        QRect area = InFrame(Frame()->GetMdiArea(), Frame());
        EXPECT_EQ(bar.width(), 205) << size.width();
        EXPECT_EQ(bar.left(), 0);
        EXPECT_GE(bar.top(), tools.bottom());
        EXPECT_LE(bar.bottom(), status.top());
        EXPECT_EQ(area.left(), bar.right() + 1);
        EXPECT_EQ(area.top(), bar.top());
        EXPECT_EQ(area.height(), bar.height());
    }
}

TEST_F(FrameTest, NewEntryWindowsOpenAtTheCornerWithThePlaceholder) {
    Frame()->CreateNewChild("CChildFrame");
    Frame()->CreateNewChild("CChildFrame");
    std::vector<CChildFrame*> children = Frame()->GetChildFrames();
    ASSERT_EQ(children.size(), 2u);
    for (CChildFrame* child : children) {
        EXPECT_EQ(child->pos(), QPoint(0, 0));  // no cascading offset
        EXPECT_TRUE(child->windowTitle().isEmpty());
        EXPECT_FALSE(child->LoadEntryData(nullptr, 0));
    }
    EXPECT_EQ(Frame()->GetActiveChild(), children[1]);

    QWidget* client = children[1]->GetClientWidget();
    client->resize(300, 120);
    QImage image = client->grab().toImage();
    EXPECT_EQ(image.pixelColor(2, 2), QColor(192, 192, 192));  // light-gray background
    // The line is centred: dark pixels around the middle row, none near the edges.
    int darkMiddle = 0;
    int darkEdges = 0;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(x, y)) < 100) {
                bool middle = std::abs(y - image.height() / 2) < 10 &&
                              std::abs(x - image.width() / 2) < image.width() / 2 - 20;
                (middle ? darkMiddle : darkEdges)++;
            }
        }
    }
    EXPECT_GT(darkMiddle, 50);
    EXPECT_EQ(darkEdges, 0);
}

TEST_F(FrameTest, SetClientSizeGivesTheClientExactlyThatSize) {
    CChildFrame* child = Frame()->CreateNewChild("CChildFrame");
    child->SetClientSize(321, 123);
    EXPECT_EQ(child->GetClientWidget()->size(), QSize(321, 123));
    // As far as the MDI area holds it.
    child->SetClientSize(40000, 30000);
    EXPECT_EQ(child->size(), Frame()->GetMdiArea()->viewport()->size());
    EXPECT_EQ(Frame()->CreateNewChild("NoSuchClass"), nullptr);
}

TEST_F(FrameTest, FileCloseClosesOnlyTheActiveWindow) {
    CChildFrame* first = Frame()->CreateNewChild("CChildFrame");
    QPointer<CChildFrame> second = Frame()->CreateNewChild("CChildFrame");
    QPointer<CChildFrame> firstAlive = first;
    EXPECT_TRUE(Frame()->SendCommand(ID_FILE_CLOSE));
    Settle();
    EXPECT_TRUE(second.isNull());
    ASSERT_FALSE(firstAlive.isNull());
    EXPECT_EQ(Frame()->GetChildFrames(), std::vector<CChildFrame*>{first});
    EXPECT_TRUE(Frame()->isVisible());
}

TEST_F(FrameTest, TileAndCascadeArrangeTheWindows) {
    CChildFrame* a = Frame()->CreateNewChild("CChildFrame");
    CChildFrame* b = Frame()->CreateNewChild("CChildFrame");
    Frame()->SendCommand(ID_WINDOW_TILE_HORZ);
    EXPECT_FALSE(a->geometry().intersects(b->geometry()));
    Frame()->SendCommand(ID_WINDOW_CASCADE);
    // Overlapping, the active one lower right and on top, neither shrunk to a title bar.
    EXPECT_EQ(a->pos(), QPoint(0, 0));
    EXPECT_GT(b->x(), 0);
    EXPECT_EQ(b->x(), b->y());
    EXPECT_EQ(a->size(), b->size());
    EXPECT_GT(b->width(), Frame()->GetMdiArea()->viewport()->width() / 2);
    EXPECT_GT(b->height(), Frame()->GetMdiArea()->viewport()->height() / 2);
    EXPECT_TRUE(a->geometry().intersects(b->geometry()));
    EXPECT_EQ(Frame()->GetActiveChild(), b);

    a->showMinimized();
    b->showMinimized();
    Frame()->SendCommand(ID_WINDOW_ARRANGE);
    int areaHeight = Frame()->GetMdiArea()->viewport()->height();
    EXPECT_EQ(a->geometry().bottom(), areaHeight - 1);
    EXPECT_EQ(b->geometry().bottom(), areaHeight - 1);
    EXPECT_FALSE(a->geometry().intersects(b->geometry()));
}

// Tile lays the windows out as strips across the area, the active one at the top; from
// four on, columns of strips with the last column taking the rest.
TEST_F(FrameTest, TileStacksStripsAcrossTheWholeArea) {
    QSize area = Frame()->GetMdiArea()->viewport()->size();
    CChildFrame* a = Frame()->CreateNewChild("CChildFrame");
    CChildFrame* b = Frame()->CreateNewChild("CChildFrame");
    b->showMaximized();
    Frame()->SendCommand(ID_WINDOW_TILE_HORZ);
    EXPECT_FALSE(b->isMaximized());
    EXPECT_EQ(b->geometry(), QRect(0, 0, area.width(), area.height() / 2));
    EXPECT_EQ(a->geometry(), QRect(0, area.height() / 2, area.width(), area.height() / 2));

    for (int i = 0; i < 3; ++i) {
        Frame()->CreateNewChild("CChildFrame");
    }
    Frame()->SendCommand(ID_WINDOW_TILE_HORZ);
    std::vector<CChildFrame*> children = Frame()->GetChildFrames();
    ASSERT_EQ(children.size(), 5u);
    std::vector<int> perColumn(2, 0);
    for (size_t i = 0; i < children.size(); ++i) {
        QRect tile = children[i]->geometry();
        EXPECT_EQ(tile.width(), area.width() / 2);
        EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(tile));
        ++perColumn[tile.x() == 0 ? 0 : 1];
        for (size_t j = 0; j < i; ++j) {
            EXPECT_FALSE(tile.intersects(children[j]->geometry()));
        }
    }
    EXPECT_EQ(perColumn, (std::vector<int>{2, 3}));
}

TEST_F(FrameTest, ExitWithEntryWindowsOpenEndsCleanly) {
    Frame()->CreateNewChild("CChildFrame");
    Frame()->CreateNewChild("CChildFrame");
    QPointer<CMainFrame> frame = Frame();
    EXPECT_TRUE(Frame()->SendCommand(ID_APP_EXIT));
    Settle();
    EXPECT_TRUE(frame.isNull());
    EXPECT_EQ(theApp.m_pMainFrame, nullptr);
}

TEST(AppStartUp, GlobalsAndInitialFolder) {
    // Nothing stored, but the settings are named as the program names them.
    platform::ScriptedPrompts prompts;
    platform::ScopedPrompts installed(prompts);
    ASSERT_TRUE(theApp.InitInstance());
    EXPECT_EQ(QCoreApplication::organizationName(), "Korvath");
    EXPECT_EQ(QCoreApplication::applicationName(), "Lumo");
    EXPECT_EQ(theApp.m_szFileName, "");
    EXPECT_EQ(theApp.m_szPathName, "");
    const char* dataFolder = theEnvironment.GetGameDataFolder();
    EXPECT_EQ(theApp.m_szInitialDir, dataFolder ? dataFolder : "");
    delete theApp.m_pMainFrame;
    EXPECT_EQ(theApp.m_pMainFrame, nullptr);
    EXPECT_EQ(theApp.ExitInstance(), 0);
}

}  // namespace
