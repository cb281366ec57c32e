// SPDX-License-Identifier: MIT
// Menus, command routing, the update pass and the accelerators of the real main frame.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "archive/archive_document.h"
#include "archive/lgp_archive.h"
#include "indexbar/list_ctrl.h"
#include "res/resource.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/qt/shell_test_support.h"
#include "viewers/child_frame.h"

using lumo::test::FindMenu;
using lumo::test::FindMenuAction;
using lumo::test::MenuBarTexts;
using lumo::test::MenuTexts;
using lumo::test::PressKeys;

namespace {

class MenusTest : public lumo::test::ShellTest {
protected:
    // These tests look at the menus with no archive open, whatever an earlier test opened.
    void SetUp() override {
        ShellTest::SetUp();
        if (theApp.m_pArchiveDocument) {
            theApp.m_pArchiveDocument->SetSource(nullptr);
        }
    }
    QMenu* Menu(const QStringList& path) {
        QMenu* menu = FindMenu(Frame()->menuBar(), path);
        Frame()->UpdateMenuCommandUI(menu);  // what showing it does
        return menu;
    }
    QAction* Item(const QStringList& path) {
        Menu(path.mid(0, path.size() - 1));
        return FindMenuAction(Frame()->menuBar(), path);
    }
    // Loads an archive of `entries` entries into the shared catalogue.
    void LoadArchive(int entries) {
        lumo::test::LgpWriter writer;
        for (int i = 0; i < entries; ++i) {
            writer.AddText("entry" + std::to_string(i) + ".txt", "text");
        }
        theArchive.Load(m_dir.Write("test.lgp", writer.Build()).c_str());
        ASSERT_EQ(theArchive.GetEntryCount(), entries);
        Frame()->UpdateCommandUI();
    }
    void TearDown() override {
        if (theArchive.GetEntryCount() != 0) {
            theArchive.Load(m_dir.Write("empty.lgp", lumo::test::LgpWriter().Build()).c_str());
        }
        ShellTest::TearDown();
    }
    lumo::test::TempDir m_dir;
};

TEST_F(MenusTest, MainFrameMenuWithoutEntryWindows) {
    EXPECT_EQ(Frame()->GetCurrentMenuId(), IDR_MAINFRAME);
    EXPECT_EQ(MenuBarTexts(Frame()->menuBar()),
              (QStringList{"&File", "&View", "&Options", "&Help"}));
    EXPECT_EQ(MenuTexts(Menu({"File"})),
              (QStringList{"&New archive...\tCtrl+N", "&Open archive...\tCtrl+O", "-", "E&xit"}));
    for (const char* text : {"New archive...", "Open archive...", "Exit"}) {
        EXPECT_TRUE(Item({"File", text})->isEnabled()) << text;
    }
    // Options: grayed, and "Fixed buffer size" keeps its check mark.
    QAction* fixed = Item({"Options", "Fixed buffer size"});
    EXPECT_FALSE(fixed->isEnabled());
    EXPECT_TRUE(fixed->isChecked());
    QAction* always = Item({"Options", "Always decompress files"});
    EXPECT_TRUE(always->isEnabled());
    EXPECT_FALSE(always->isChecked());
    EXPECT_TRUE(Item({"Help", "About Lumo..."})->isEnabled());
}

TEST_F(MenusTest, OptionsMenuShowsItsClosingSeparator) {
    QMenu* options = Menu({"Options"});
    ASSERT_EQ(MenuTexts(options),
              (QStringList{"&Fixed buffer size", "Always &decompress files", "-"}));
    options->popup(QPoint(0, 0));
    EXPECT_GT(options->actionGeometry(options->actions().last()).height(), 0);
    options->hide();
}

TEST_F(MenusTest, EntryMenuWhileAnEntryWindowIsActive) {
    Frame()->CreateNewChild("CChildFrame");
    EXPECT_EQ(Frame()->GetCurrentMenuId(), IDR_ENTRYTYPE);
    EXPECT_EQ(MenuBarTexts(Frame()->menuBar()),
              (QStringList{"&File", "&Edit", "&View", "&Archive", "&Window", "&Help"}));
    EXPECT_EQ(MenuTexts(Menu({"File"})),
              (QStringList{"&New\tCtrl+N", "&Close\tCtrl+F4", "&Save\tCtrl+S",
                           "Save &As...\tCtrl+Shift+S", "&Export image...", "Export &audio...",
                           "Export &model...", "-", "E&xit"}));
    EXPECT_FALSE(Item({"File", "Export image..."})->isEnabled());  // no image in this window
    EXPECT_FALSE(Item({"File", "Export audio..."})->isEnabled());  // nor music
    EXPECT_TRUE(Item({"File", "Close"})->isEnabled());
    for (const char* text : {"Undo", "Cut", "Copy", "Paste"}) {
        EXPECT_FALSE(Item({"Edit", text})->isEnabled()) << text;
    }
    EXPECT_FALSE(Item({"Archive", "Insert..."})->isEnabled());
    EXPECT_FALSE(Item({"Archive", "Remove"})->isEnabled());
    QAction* showIndex = Item({"View", "Archive", "Show index"});
    EXPECT_TRUE(showIndex->isEnabled());
    EXPECT_TRUE(showIndex->isChecked());
    EXPECT_TRUE(Item({"View", "Archive", "Sort by name"})->isEnabled());
    for (const char* text : {"Cascade", "Tile", "Arrange Icons"}) {
        EXPECT_TRUE(Item({"Window", text})->isEnabled()) << text;
    }
}

TEST_F(MenusTest, WindowMenuListsTheOpenWindows) {
    Frame()->CreateNewChild("CChildFrame");
    CChildFrame* second = Frame()->CreateNewChild("CChildFrame");
    second->setWindowTitle("field.tex");
    QMenu* window = FindMenu(Frame()->menuBar(), {"Window"});
    emit window->aboutToShow();
    QStringList texts = MenuTexts(window);
    ASSERT_EQ(texts.size(), 6);
    EXPECT_EQ(texts.mid(3), (QStringList{"-", "&1 ", "&2 field.tex"}));
    EXPECT_TRUE(window->actions().last()->isChecked());  // the active one
    window->actions()[4]->trigger();
    EXPECT_NE(Frame()->GetActiveChild(), second);
    emit window->aboutToShow();  // the list is rebuilt, not appended to
    EXPECT_EQ(MenuTexts(window).size(), 6);
}

// Nine windows are listed, the active one always among them; More Windows... picks any.
TEST_F(MenusTest, WindowMenuListsNineWindowsAndOffersTheRest) {
    std::vector<CChildFrame*> children;
    for (int i = 0; i < 11; ++i) {
        children.push_back(Frame()->CreateNewChild("CChildFrame"));
        children.back()->setWindowTitle(QStringLiteral("w%1").arg(i));
    }
    QMenu* window = FindMenu(Frame()->menuBar(), {"Window"});
    emit window->aboutToShow();
    QStringList texts = MenuTexts(window);
    ASSERT_EQ(texts.size(), 3 + 1 + 9 + 1);
    EXPECT_EQ(texts[4], "&1 w0");
    EXPECT_EQ(texts[11], "&8 w7");
    EXPECT_EQ(texts[12], "&9 w10");  // the active one, in the last place
    EXPECT_TRUE(window->actions()[12]->isChecked());
    EXPECT_EQ(texts[13], "&More Windows...");

    lumo::test::WhenModalShows([](QWidget* modal) {
        auto* list = modal->findChild<QListWidget*>();
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->count(), 11);
        EXPECT_EQ(list->currentRow(), 10);
        list->setCurrentRow(8);
        static_cast<QDialog*>(modal)->accept();
    });
    window->actions()[13]->trigger();
    EXPECT_EQ(Frame()->GetActiveChild(), children[8]);
}

TEST_F(MenusTest, ClosingTheLastEntryWindowBringsBackTheMainMenu) {
    Frame()->CreateNewChild("CChildFrame");
    Frame()->CreateNewChild("CChildFrame");
    Frame()->SendCommand(ID_FILE_CLOSE);
    EXPECT_EQ(Frame()->GetCurrentMenuId(), IDR_ENTRYTYPE);
    Frame()->SendCommand(ID_FILE_CLOSE);
    Settle();
    EXPECT_EQ(Frame()->GetCurrentMenuId(), IDR_MAINFRAME);
    EXPECT_FALSE(Frame()->IsCommandEnabled(ID_FILE_CLOSE));
    // The shared New item takes this menu's wording again.
    EXPECT_EQ(MenuTexts(Menu({"File"})).front(), "&New archive...\tCtrl+N");
}

TEST_F(MenusTest, ExtractFollowsTheCatalogue) {
    QAction* extract = Frame()->GetCommandAction(ID_ITEM_EXTRACT);
    ASSERT_NE(extract, nullptr);
    EXPECT_FALSE(extract->isEnabled());
    LoadArchive(3);
    EXPECT_TRUE(extract->isEnabled());
    LoadArchive(0);
    EXPECT_FALSE(extract->isEnabled());
}

TEST_F(MenusTest, CommandsWithoutHandlerAreDisabledAndTheOthersEnabled) {
    for (int id : {ID_ITEM_PROPERTIES, ID_ARCHIVE_PROPERTIES, ID_ITEM_OPENAS, ID_ITEM_OPEN,
                   IDC_INDEXLIST, ID_SORT_ORIGINAL, ID_SORT_REVERSE}) {
        EXPECT_TRUE(Frame()->IsCommandEnabled(id)) << id;
    }
    for (int id : {ID_ARCHIVE_INSERTFILES, ID_ITEM_DELETE, ID_FILE_SAVE, ID_FILE_CLOSE,
                   ID_WINDOW_CASCADE, ID_WINDOW_NEXT}) {
        EXPECT_FALSE(Frame()->IsCommandEnabled(id)) << id;
        EXPECT_FALSE(Frame()->SendCommand(id)) << id;
    }
    EXPECT_TRUE(Frame()->SendCommand(ID_ITEM_PROPERTIES));  // nothing selected: no dialog
    EXPECT_TRUE(Frame()->GetChildFrames().empty());
}

TEST_F(MenusTest, IndexContextMenuIsBuiltAfreshWithItsOwnStates) {
    LoadArchive(2);
    std::unique_ptr<QMenu> menu(Frame()->LoadMenu(IDR_INDEXMENU));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 2);
    QMenu* item = menu->actions()[0]->menu();
    QMenu* view = menu->actions()[1]->menu();
    EXPECT_EQ(MenuTexts(item),
              (QStringList{"&Open", "Open &as...", "-", "&Extract", "&Delete", "Re&name\tF2",
                           "Re&place with...", "-", "&Properties"}));
    emit item->aboutToShow();
    EXPECT_TRUE(item->actions()[0]->isEnabled());
    EXPECT_TRUE(item->actions()[3]->isEnabled());   // Extract: the catalogue has entries
    EXPECT_FALSE(item->actions()[4]->isEnabled());  // Delete
    EXPECT_FALSE(item->actions()[5]->isEnabled());  // Replace with: nothing selected
    QMenu* sort = view->actions()[0]->menu();
    EXPECT_EQ(MenuTexts(sort), (QStringList{"by &original order", "by &name", "by &type",
                                            "by &size", "-", "&Reverse order"}));
    EXPECT_TRUE(sort->actions()[0]->isChecked());
    emit view->aboutToShow();
    EXPECT_FALSE(FindMenuAction(view, {"Insert file(s)..."})->isEnabled());
    EXPECT_TRUE(FindMenuAction(view, {"Archive properties"})->isEnabled());
    // Its items are not the menu bar's: checking one leaves the menu bar alone.
    sort->actions()[1]->setCheckable(true);
    sort->actions()[1]->setChecked(true);
    EXPECT_FALSE(Frame()->GetCommandAction(ID_SORT_NAME)->isChecked());

    // A highlighted item shows its prompt in pane 0; closing the menu shows the idle text.
    item->actions()[3]->hover();
    EXPECT_EQ(PaneText(0), "Extract the selected file(s) from the archive");
    emit item->aboutToHide();
    EXPECT_EQ(PaneText(0), "Ready");
}

TEST_F(MenusTest, ItemChosenInALoadedMenuIsPostedToTheFrame) {
    // Any menu resource can be loaded as a popup; File > New shows its effect (it asks
    // for the new archive's name).
    std::unique_ptr<QMenu> menu(Frame()->LoadMenu(IDR_ENTRYTYPE));
    QAction* fileNew = FindMenuAction(menu.get(), {"File", "New"});
    ASSERT_NE(fileNew, nullptr);
    EXPECT_NE(fileNew, Frame()->GetCommandAction(ID_FILE_NEW));
    fileNew->trigger();
    EXPECT_TRUE(prompts.saveRequests.empty());  // not while the popup's caller runs
    Settle();
    EXPECT_EQ(prompts.saveRequests.size(), 1u);
}

TEST_F(MenusTest, ShortcutsThatFire) {
    QWidget* window = Frame();
    PressKeys(window, QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(prompts.saveRequests.size(), 1u);
    Frame()->CreateNewChild("CChildFrame");
    PressKeys(window, QKeySequence(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(prompts.saveRequests.size(), 2u);
    // Ctrl+O still opens archives while the entry menu, which has no Open item, is shown.
    EXPECT_EQ(Frame()->GetCurrentMenuId(), IDR_ENTRYTYPE);
    QSignalSpy open(Frame()->GetCommandAction(ID_FILE_OPEN), &QAction::triggered);
    PressKeys(window, QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(open.count(), 1);
}

TEST_F(MenusTest, ShortcutsOfDisabledCommandsDoNothing) {
    Frame()->CreateNewChild("CChildFrame");  // with an entry window the edit items are shown
    const std::pair<int, QKeySequence> keys[] = {
        {ID_FILE_SAVE, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {ID_EDIT_COPY, QKeySequence(Qt::CTRL | Qt::Key_C)},
        {ID_EDIT_COPY, QKeySequence(Qt::CTRL | Qt::Key_Insert)},
        {ID_EDIT_PASTE, QKeySequence(Qt::CTRL | Qt::Key_V)},
        {ID_EDIT_PASTE, QKeySequence(Qt::SHIFT | Qt::Key_Insert)},
        {ID_EDIT_CUT, QKeySequence(Qt::CTRL | Qt::Key_X)},
        {ID_EDIT_CUT, QKeySequence(Qt::SHIFT | Qt::Key_Delete)},
        {ID_EDIT_UNDO, QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {ID_EDIT_UNDO, QKeySequence(Qt::ALT | Qt::Key_Backspace)},
        {ID_WINDOW_NEXT, QKeySequence(Qt::CTRL | Qt::Key_F6)},  // one window: nowhere to go
    };
    for (const auto& [id, sequence] : keys) {
        QAction* action = Frame()->GetCommandAction(id);
        ASSERT_NE(action, nullptr) << id;
        EXPECT_TRUE(action->shortcuts().contains(sequence)) << id;
        QSignalSpy fired(action, &QAction::triggered);
        PressKeys(Frame(), sequence);
        EXPECT_EQ(fired.count(), 0) << sequence.toString().toStdString();
    }
    EXPECT_EQ(Frame()->GetChildFrames().size(), 1u);
}

TEST_F(MenusTest, ViewItemsToggleTheBarsWithCheckMarks) {
    QAction* toolbar = Item({"View", "Toolbar"});
    QAction* statusBar = Item({"View", "Status Bar"});
    EXPECT_TRUE(toolbar->isChecked());
    EXPECT_TRUE(statusBar->isChecked());

    toolbar->trigger();
    EXPECT_TRUE(Frame()->m_wndToolBar.isHidden());
    EXPECT_FALSE(Frame()->m_wndArchiveBar.isHidden());  // acts on the main tool bar only
    EXPECT_FALSE(Item({"View", "Toolbar"})->isChecked());
    toolbar->trigger();
    EXPECT_FALSE(Frame()->m_wndToolBar.isHidden());
    EXPECT_TRUE(Item({"View", "Toolbar"})->isChecked());

    // Pane texts written while the bar is hidden are there when it shows again.
    statusBar->trigger();
    EXPECT_TRUE(Frame()->m_wndStatusBar.isHidden());
    EXPECT_FALSE(Item({"View", "Status Bar"})->isChecked());
    Frame()->m_wndStatusBar.SetPaneText(2, "7 files");
    statusBar->trigger();
    EXPECT_FALSE(Frame()->m_wndStatusBar.isHidden());
    EXPECT_EQ(PaneText(2), "7 files");
}

TEST_F(MenusTest, HighlightedMenuItemShowsItsPromptInPaneZero) {
    QMenuBar* bar = Frame()->menuBar();
    QAction* file = FindMenuAction(bar, {"File"});
    bar->setActiveAction(file);  // opens the File menu, as a click would
    QMenu* menu = file->menu();
    ASSERT_TRUE(menu->isVisible());
    QAction* open = FindMenuAction(menu, {"Open archive..."});
    menu->setActiveAction(open);
    EXPECT_EQ(PaneText(0), "Open an existing archive");
    menu->hide();
    Settle();
    EXPECT_EQ(PaneText(0), "Ready");
}

// A grayed item is highlighted too, and its prompt is the only place its wording shows.
TEST_F(MenusTest, GrayedItemUnderThePointerShowsItsPrompt) {
    QMenuBar* bar = Frame()->menuBar();
    QAction* options = FindMenuAction(bar, {"Options"});
    bar->setActiveAction(options);
    QMenu* menu = options->menu();
    ASSERT_TRUE(menu->isVisible());
    QAction* always = FindMenuAction(menu, {"Fixed buffer size"});
    ASSERT_FALSE(always->isEnabled());
    QTest::mouseMove(menu, menu->actionGeometry(always).center());
    EXPECT_EQ(menu->activeAction(), always);
    EXPECT_EQ(PaneText(0).toStdString(),
              "Check to speed up file decompression by skipping the file size calculation "
              "routine");
    // Choosing it still does nothing.
    QSignalSpy fired(always, &QAction::triggered);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(always).center());
    EXPECT_EQ(fired.count(), 0);
    menu->hide();
    Settle();
}

}  // namespace

namespace {

// The edit keys belong to the frame's accelerators: they must not fall through to the
// list, which would copy the current row's name its own way (without the line end that
// Edit > Copy puts after each selected name).
TEST_F(MenusTest, AcceleratorKeysDoNotReachTheFocusedWidget) {
    LoadArchive(3);
    CListCtrl* list = Frame()->m_wndIndexBar.GetListCtrl();
    std::vector<IndexRow> rows;
    for (uint16_t i = 0; i < 3; ++i) {
        rows.push_back({i, QStringLiteral("entry%1.txt").arg(i), 4, 0});
    }
    list->AppendRows(rows);
    list->setEnabled(true);
    list->SelectRows({1});
    list->SetSelectionMark(1);
    QApplication::setActiveWindow(Frame());
    list->setFocus();
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}) {
        QGuiApplication::clipboard()->setText(QStringLiteral("untouched"));
        QTest::keySequence(list, keys);
        QCoreApplication::processEvents();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "entry1.txt\n")
            << keys.toString().toStdString();
    }
    // Keys outside the table still reach the list.
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->GetSelectionMark(), 2);
}

}  // namespace
