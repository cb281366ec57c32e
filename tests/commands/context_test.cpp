// SPDX-License-Identifier: MIT
// The index list's right click menu, double-click and Enter.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDialog>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

#include "indexbar/index_context_menu.h"
#include "tests/commands/open_fixture.h"
#include "viewers/child_frame.h"

namespace lumo::test {
namespace {

// What a popup looked like when it was shown.
struct PopupFace {
    QString title;
    QPoint pos;
    QStringList texts;
    QString defaultText;
    std::map<QString, bool> enabled;
    QStringList radioChecked;  // checked items of an exclusive group
    QStringList plainChecked;  // other checked items
};

void ReadFace(QMenu& menu, PopupFace& face) {
    for (QAction* action : menu.actions()) {
        if (QMenu* sub = action->menu()) {
            ReadFace(*sub, face);
        }
        if (action->isSeparator()) {
            continue;
        }
        face.enabled[PlainMenuText(action->text())] = action->isEnabled();
        if (action->isChecked()) {
            const bool radio = action->actionGroup() && action->actionGroup()->isExclusive();
            (radio ? face.radioChecked : face.plainChecked) << action->text();
        }
    }
}

class ContextMenuTest : public IndexCommandTest {
protected:
    void SetUp() override {
        IndexCommandTest::SetUp();
        m_previousRunner = SetIndexPopupRunner([this](QMenu& popup, const QPoint& pos) {
            PopupFace face;
            face.title = popup.title();
            face.pos = pos;
            face.texts = MenuTexts(&popup);
            face.defaultText = popup.defaultAction() ? popup.defaultAction()->text() : QString();
            ReadFace(popup, face);
            shown.push_back(face);
            if (choose) {
                if (QAction* action = FindMenuAction(&popup, choose())) {
                    action->trigger();
                    // As after the popup's own loop: the command has not run yet.
                    commandRanInsidePopup =
                        !Frame()->GetChildFrames().empty() || ItemData() != dataBefore;
                }
            }
        });
    }
    void TearDown() override {
        SetIndexPopupRunner(m_previousRunner);
        IndexCommandTest::TearDown();
    }

    void OpenSample() { Open("ctx.lgp", Named({"c.txt", "a.tex", "b"})); }
    void RightClick(const QPoint& cursor) {
        QCursor::setPos(cursor);
        dataBefore = ItemData();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                List().viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(List().viewport(), &event);
    }
    // Chooses the item at this path of texts in the next popups.
    void Choose(const QStringList& path) {
        choose = [path] { return path; };
    }

    std::vector<PopupFace> shown;
    std::function<QStringList()> choose;
    bool commandRanInsidePopup = false;
    std::vector<int> dataBefore;

private:
    PopupRunner m_previousRunner;
};

TEST_F(ContextMenuTest, SelectedRowsShowTheItemPopupBesideTheMarkedRow) {
    OpenSample();
    List().SelectRows({0, 2});
    List().SetSelectionMark(2);
    RightClick(QPoint(300, 300));
    ASSERT_EQ(shown.size(), 1u);
    const PopupFace& face = shown[0];
    EXPECT_EQ(face.texts, (QStringList{"&Open", "Open &as...", "-", "&Extract", "&Delete",
                                       "Re&name\tF2", "Re&place with...", "-", "&Properties"}));
    EXPECT_EQ(face.defaultText, "&Open");  // drawn in bold
    EXPECT_TRUE(face.enabled.at("Open"));
    EXPECT_TRUE(face.enabled.at("Extract"));
    EXPECT_TRUE(face.enabled.at("Delete"));
    EXPECT_FALSE(face.enabled.at("Replace with..."));  // two rows selected
    const QPoint rowCorner =
        List().viewport()->mapToGlobal(List().visualRect(List().GetModel()->index(2, 0)).topLeft());
    EXPECT_EQ(face.pos, rowCorner + QPoint(14, 14));
}

TEST_F(ContextMenuTest, SelectionWithoutMarkOpensAtTheCursor) {
    OpenSample();
    List().SelectRows({1});
    List().selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    ASSERT_EQ(List().GetSelectionMark(), -1);
    RightClick(QPoint(321, 123));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].defaultText, "&Open");
    EXPECT_EQ(shown[0].pos, QCursor::pos());
}

TEST_F(ContextMenuTest, NothingSelectedShowsTheViewPopupWithTheSortState) {
    OpenSample();
    RightClick(QPoint(40, 50));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].texts,
              (QStringList{"&Sort", "-", "&Insert file(s)...", "-", "Archive &properties"}));
    EXPECT_EQ(shown[0].pos, QCursor::pos());
    EXPECT_TRUE(shown[0].defaultText.isEmpty());
    EXPECT_EQ(shown[0].radioChecked, QStringList{"by &original order"});
    EXPECT_TRUE(shown[0].plainChecked.isEmpty());
    EXPECT_TRUE(shown[0].enabled.at("Insert file(s)..."));
    EXPECT_TRUE(shown[0].enabled.at("Archive properties"));

    // Size, then reverse, each chosen from the popup.
    Choose({"Sort", "by size"});
    RightClick(QPoint(40, 50));
    Settle();
    Choose({"Sort", "Reverse order"});
    RightClick(QPoint(40, 50));
    Settle();
    choose = nullptr;
    RightClick(QPoint(40, 50));
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[3].radioChecked, QStringList{"by &size"});
    EXPECT_EQ(shown[3].plainChecked, QStringList{"&Reverse order"});
    EXPECT_EQ(std::make_pair(Bar().m_nSortMode, Bar().m_bSortReverse), std::make_pair(3, true));

    // The marks show the stored state also while a new archive is still in archive order.
    Open("again.lgp", Named({"x"}));
    RightClick(QPoint(40, 50));
    EXPECT_EQ(shown.back().radioChecked, QStringList{"by &size"});
}

TEST_F(ContextMenuTest, ChosenCommandRunsAfterThePopupHasClosed) {
    OpenSample();
    Choose({"Sort", "by name"});
    RightClick(QPoint(10, 10));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FALSE(commandRanInsidePopup);
    EXPECT_EQ(Names(), (QStringList{"c.txt", "a.tex", "b"}));  // still queued
    Settle();
    EXPECT_EQ(Names(), (QStringList{"a.tex", "b", "c.txt"}));
}

TEST_F(ContextMenuTest, DialogItemsCancelledChangeNothing) {
    OpenSample();
    const auto cancel = [] {
        WhenModalShows([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    };
    List().SelectRows({0});
    for (const QStringList& path : {QStringList{"Open as..."}, QStringList{"Properties"}}) {
        Choose(path);
        cancel();
        RightClick(QPoint(10, 10));
        Settle();
    }
    List().SelectRows({});
    Choose({"Archive properties"});
    cancel();
    RightClick(QPoint(10, 10));
    Settle();
    EXPECT_EQ(shown.size(), 3u);
    EXPECT_EQ(ItemData(), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(Frame()->GetChildFrames().empty());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ContextMenuTest, HighlightedItemShowsItsPromptInPaneZero) {
    OpenSample();
    SetIndexPopupRunner([](QMenu& popup, const QPoint&) {
        FindMenuAction(&popup, {"Sort", "by type"})->hover();
    });
    RightClick(QPoint(10, 10));
    EXPECT_EQ(PaneText(0), "Sort the archive index by type");
}

TEST_F(ContextMenuTest, DoubleClickAndEnterSendTheOpenCommandForSelectedRows) {
    OpenSample();
    QSignalSpy sent(&Bar(), &CIndexBar::commandSent);
    QTest::keyClick(&List(), Qt::Key_Return);  // nothing selected
    EXPECT_EQ(sent.count(), 0);

    List().SelectRows({2});
    QTest::keyClick(&List(), Qt::Key_Return);
    QTest::keyClick(&List(), Qt::Key_Enter);
    const QPoint row = List().visualRect(List().GetModel()->index(2, 0)).center();
    QTest::mouseDClick(List().viewport(), Qt::LeftButton, Qt::NoModifier, row);
    ASSERT_EQ(sent.count(), 3);
    for (const QList<QVariant>& signal : sent) {
        EXPECT_EQ(signal.at(0).toInt(), IDC_INDEXLIST);
    }
    // Each one opened the selected entry, and had done so when the list's handler returned.
    const std::vector<CChildFrame*> children = Frame()->GetChildFrames();
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(children[0]->windowTitle(), "b — ctx.lgp");
}

// Before any archive is open the list is disabled and none of its reactions happen.
TEST_F(ContextMenuTest, DisabledListSendsNothing) {
    ASSERT_FALSE(List().isEnabled());
    QSignalSpy sent(&Bar(), &CIndexBar::commandSent);
    RightClick(QPoint(10, 10));
    emit List().rightClicked(QPoint(10, 10));
    emit List().activateRequested();
    QTest::keyClick(&List(), Qt::Key_Return);
    QTest::mouseClick(List().header()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(10, List().header()->height() / 2));
    Settle();
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(sent.count(), 0);
    EXPECT_EQ(Bar().m_nSortMode, 0);
}

// The popup as the user gets it: a real menu, modal until closed.
TEST_F(ContextMenuTest, PopupRunsItsOwnLoopUntilClosed) {
    OpenSample();
    SetIndexPopupRunner(nullptr);
    List().SelectRows({0});
    QString shownTitle;
    QTimer::singleShot(0, [&] {
        if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            shownTitle = popup->title();
            popup->close();
        }
    });
    RightClick(QPoint(10, 10));
    EXPECT_EQ(shownTitle, "Item");
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// Shift+F10 and the menu key open the same menus beside the focused row, which the list
// has from the moment it is filled.
TEST_F(ContextMenuTest, KeyboardOpensTheMenuBesideTheFocusedRow) {
    OpenSample();
    const QPoint firstRow =
        List().viewport()->mapToGlobal(List().visualRect(List().GetModel()->index(0, 0)).topLeft());
    QTest::keyClick(&List(), Qt::Key_Menu);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].texts.front(), "&Sort");  // nothing selected: the View popup
    EXPECT_EQ(shown[0].pos, firstRow + QPoint(14, 14));

    List().SelectRows({1});
    List().SetSelectionMark(1);
    QTest::keyClick(&List(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].defaultText, "&Open");
    const QPoint secondRow =
        List().viewport()->mapToGlobal(List().visualRect(List().GetModel()->index(1, 0)).topLeft());
    EXPECT_EQ(shown[1].pos, secondRow + QPoint(14, 14));
}

}  // namespace
}  // namespace lumo::test
