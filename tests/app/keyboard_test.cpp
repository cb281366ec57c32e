// SPDX-License-Identifier: MIT
// The frame from the keyboard and from the file manager: pane and window cycling, the
// find field, Extract's key and menu item, the Window menu's mark, and dropped files.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "archive/lgp_archive.h"
#include "indexbar/find_field.h"
#include "res/resource.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/qt/shell_test_support.h"
#include "viewers/child_frame.h"

namespace lumo::test {
namespace {

class KeyboardTest : public ShellTest {
protected:
    void TearDown() override {
        theArchive.Load(m_dir.Write("reset.lgp", LgpWriter().Build()).c_str());
        ShellTest::TearDown();
    }
    std::string OpenNamed(const std::vector<std::string>& names) {
        LgpWriter writer;
        for (const std::string& name : names) {
            writer.AddText(name, "text");
        }
        const std::string path = m_dir.Write("keys.lgp", writer.Build());
        EXPECT_TRUE(theApp.OpenArchiveFile(path));
        return path;
    }
    CListCtrl& List() const { return *Frame()->m_wndIndexBar.GetListCtrl(); }
    // Drops the URLs on the frame as a file manager would.
    bool Drop(const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = Frame()->GetMdiArea()->geometry().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Frame(), &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Frame(), &drop);
        return drop.isAccepted();
    }
    TempDir m_dir;
};

TEST_F(KeyboardTest, F6MovesTheFocusBetweenTheIndexAndTheActiveViewer) {
    OpenNamed({"a.txt"});
    PressKeys(Frame(), QKeySequence(Qt::Key_F6));  // no viewer: the index
    EXPECT_EQ(QApplication::focusWidget(), &List());
    CChildFrame* viewer = Frame()->CreateNewChild("CChildFrame");
    List().setFocus();
    for (const QKeySequence& key :
         {QKeySequence(Qt::Key_F6), QKeySequence(Qt::SHIFT | Qt::Key_F6)}) {
        PressKeys(Frame(), key);
        EXPECT_TRUE(viewer->isAncestorOf(QApplication::focusWidget()) ||
                    QApplication::focusWidget() == viewer);
        PressKeys(Frame(), key);
        EXPECT_EQ(QApplication::focusWidget(), &List());
    }
}

TEST_F(KeyboardTest, CtrlFFindsAndEscapeClears) {
    OpenNamed({"alpha.tex", "beta.p", "gamma.tex"});
    PressKeys(Frame(), QKeySequence(Qt::CTRL | Qt::Key_F));
    CFindField* field = Frame()->m_wndIndexBar.GetFindField();
    ASSERT_EQ(QApplication::focusWidget(), field);
    EXPECT_TRUE(field->isVisible());
    QTest::keyClicks(field, "TEX");
    EXPECT_EQ(List().GetItemCount(), 2);
    EXPECT_EQ(PaneText(0), "2 of 3 entries");
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(List().GetItemCount(), 3);
    QTest::keyClick(field, Qt::Key_Escape);  // empty: back to the list
    EXPECT_EQ(QApplication::focusWidget(), &List());
}

// Find, Enter, Enter: the first entry found opens.
TEST_F(KeyboardTest, EnterInTheFindFieldReadiesTheFirstEntryShown) {
    OpenNamed({"alpha.txt", "beta.txt", "gamma.txt"});
    PressKeys(Frame(), QKeySequence(Qt::CTRL | Qt::Key_F));
    CFindField* field = Frame()->m_wndIndexBar.GetFindField();
    QTest::keyClicks(field, "MA");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), &List());
    EXPECT_EQ(List().SelectedEntries(), (std::vector<uint16_t>{2}));
    QTest::keyClick(&List(), Qt::Key_Return);
    ASSERT_EQ(Frame()->GetChildFrames().size(), 1u);
}

TEST_F(KeyboardTest, CtrlEAndTheArchiveMenuExtract) {
    OpenNamed({"a.txt", "b.txt"});
    List().SelectRows({1});
    List().SetSelectionMark(1);
    PressKeys(Frame(), QKeySequence(Qt::CTRL | Qt::Key_E));
    ASSERT_EQ(prompts.saveRequests.size(), 1u);  // cancelled: nothing written
    EXPECT_EQ(prompts.saveRequests[0].fileName, "b.txt");

    Frame()->CreateNewChild("CChildFrame");
    QAction* item = FindMenuAction(Frame()->menuBar(), {"Archive", "Extract..."});
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->statusTip(), Frame()->GetCommandAction(ID_ITEM_EXTRACT)->statusTip());
    EXPECT_EQ(item->statusTip(), "Extract the selected file(s) from the archive");
    EXPECT_TRUE(item->isEnabled());
}

TEST_F(KeyboardTest, CtrlF6CyclesCtrlF4ClosesAndTheWindowMenuMarksOnlyTheActive) {
    CChildFrame* first = Frame()->CreateNewChild("CChildFrame");
    CChildFrame* second = Frame()->CreateNewChild("CChildFrame");
    first->setWindowTitle("first");
    second->setWindowTitle("second");
    EXPECT_EQ(Frame()->GetActiveChild(), second);
    PressKeys(Frame(), QKeySequence(Qt::CTRL | Qt::Key_F6));
    EXPECT_EQ(Frame()->GetActiveChild(), first);
    PressKeys(Frame(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6));
    EXPECT_EQ(Frame()->GetActiveChild(), second);

    QMenu* window = FindMenu(Frame()->menuBar(), {"Window"});
    ASSERT_NE(window, nullptr);
    emit window->aboutToShow();
    int marked = 0;
    for (QAction* action : window->actions()) {
        if (action->text().endsWith("first")) {
            EXPECT_FALSE(action->isCheckable());
        } else if (action->text().endsWith("second")) {
            EXPECT_TRUE(action->isChecked());
            ++marked;
        }
    }
    EXPECT_EQ(marked, 1);

    PressKeys(Frame(), QKeySequence(Qt::CTRL | Qt::Key_F4));
    Settle();
    EXPECT_EQ(Frame()->GetChildFrames().size(), 1u);
}

TEST_F(KeyboardTest, ADroppedFileOpensAsFromTheOpenDialog) {
    const std::string path = m_dir.Write("dropped.lgp", LgpWriter().AddText("x.txt", "x").Build());
    EXPECT_TRUE(Drop({QUrl::fromLocalFile(QString::fromStdString(path))}));
    EXPECT_EQ(theArchive.GetArchivePath(), path);
    EXPECT_EQ(Frame()->m_wndIndexBar.CaptionText(), "Archive index - dropped.lgp");

    const std::string notes = m_dir.Write("notes.txt", Bytes(40, 'x'));
    EXPECT_TRUE(Drop({QUrl::fromLocalFile(QString::fromStdString(notes))}));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Failed to load " + notes + ": not an LGP archive.");
    EXPECT_EQ(theArchive.GetArchivePath(), path);

    // Not a local file, a folder, or several files: the drop is refused.
    EXPECT_FALSE(Drop({QUrl("https://example.org/a.lgp")}));
    EXPECT_FALSE(Drop({QUrl::fromLocalFile(QString::fromStdString(m_dir.Path()))}));
    EXPECT_FALSE(Drop({QUrl::fromLocalFile(QString::fromStdString(path)),
                       QUrl::fromLocalFile(QString::fromStdString(notes))}));
}

}  // namespace
}  // namespace lumo::test
