// SPDX-License-Identifier: MIT
// Renaming in place, File > New archive, and the index while changes wait: marks,
// sorting, the filter and the selection, driven through the commands and the scripted
// prompts.
#include <gtest/gtest.h>

#include <QFont>
#include <QLineEdit>
#include <QTest>

#include "commands/archive_doc.h"
#include "tests/commands/open_fixture.h"

namespace lumo::test {
namespace {

class RenameNewTest : public IndexCommandTest {
protected:
    void SelectRow(int row) {
        List().SelectRows({row});
        List().SetSelectionMark(row);
    }
    // F2 on the selected row; the editor it opens.
    QLineEdit* StartRename(int row) {
        SelectRow(row);
        PressKeys(Frame(), QKeySequence(Qt::Key_F2));
        return List().viewport()->findChild<QLineEdit*>(QStringLiteral("NameEditor"));
    }
    void Type(QLineEdit* editor, const QString& text, Qt::Key finish) {
        editor->setText(text);
        QTest::keyClick(editor, finish);
        Settle();
    }
    QModelIndex NameCell(int row) const { return List().GetModel()->index(row, 0); }
};

TEST_F(RenameNewTest, F2RenamesInPlaceAsOneUndoableChangeKeepingTheSelection) {
    Open("a.lgp", Named({"aa.txt", "bb.txt", "cc.txt"}));
    EXPECT_FALSE(Frame()->IsCommandEnabled(ID_ITEM_RENAME));  // nothing selected
    QLineEdit* editor = StartRename(1);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "bb.txt");
    Type(editor, "bz.txt", Qt::Key_Return);
    EXPECT_EQ(Names(), (QStringList{"aa.txt", "bz.txt", "cc.txt"}));
    EXPECT_EQ(List().GetSelectedRows(), std::vector<int>{1});
    EXPECT_EQ(List().GetSelectionMark(), 1);
    EXPECT_TRUE(NameCell(1).data(Qt::FontRole).value<QFont>().italic());
    EXPECT_EQ(NameCell(1).data(Qt::ToolTipRole).toString(), "changed");
    EXPECT_FALSE(NameCell(0).data(Qt::ToolTipRole).isValid());
    EXPECT_EQ(TheArchiveDoc()->PendingChanges(), 1u);

    Frame()->SendCommand(ID_EDIT_UNDO);
    EXPECT_EQ(Names(), (QStringList{"aa.txt", "bb.txt", "cc.txt"}));
    EXPECT_EQ(List().GetSelectedRows(), std::vector<int>{1});
    EXPECT_FALSE(NameCell(1).data(Qt::ToolTipRole).isValid());
    Frame()->SendCommand(ID_EDIT_REDO);
    EXPECT_EQ(Names(), (QStringList{"aa.txt", "bz.txt", "cc.txt"}));
}

// The reason shows while the name is typed; Enter keeps the editor open, Esc leaves
// the name as it was.
TEST_F(RenameNewTest, NamesThatCannotBeGivenSayWhyAndAreNotTaken) {
    Open("a.lgp", Named({"aa.txt", "bb.txt"}));
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        {"", "empty"},
        {".x", "look the name up"},
        {"bb.txt", "another entry has that name"},
        {"a/b.txt", "not plain"},
        {"abcdefghijklmnop.txt", "longer than 19"},
        {"a\u20ac.txt", "cannot keep"},
    };
    for (const auto& c : cases) {
        QLineEdit* editor = StartRename(0);
        ASSERT_NE(editor, nullptr) << c.name;
        editor->setText(QString::fromUtf8(c.name));
        EXPECT_TRUE(editor->toolTip().contains(c.reason))
            << c.name << ": " << editor->toolTip().toStdString();
        EXPECT_TRUE(PaneText(0).contains(c.reason)) << c.name;
        QTest::keyClick(editor, Qt::Key_Return);
        Settle();
        EXPECT_EQ(List().viewport()->findChild<QLineEdit*>(QStringLiteral("NameEditor")), editor);
        QTest::keyClick(editor, Qt::Key_Escape);
        Settle();
        EXPECT_EQ(Names(), (QStringList{"aa.txt", "bb.txt"})) << c.name;
    }
    EXPECT_EQ(TheArchiveDoc()->PendingChanges(), 0u);
}

TEST_F(RenameNewTest, NewArchiveWritesAnEmptyArchiveAndOpensIt) {
    Open("a.lgp", Named({"aa.txt"}));
    const std::string path = m_dir.Path() + "/new.lgp";
    prompts.saveAnswers.push_back(path);
    Frame()->SendCommand(ID_FILE_NEW);
    ASSERT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_EQ(prompts.saveRequests[0].defaultExtension, "lgp");
    CLgpArchive written;
    EXPECT_EQ(written.Load(path.c_str()), 0);
    EXPECT_EQ(written.GetLastLoadStatus(), LgpLoadStatus::Ok);
    EXPECT_EQ(Bar().CaptionText(), "Archive index - new.lgp");
    EXPECT_EQ(PaneText(1), "new.lgp");
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_EQ(TheArchiveDoc()->Source()->ArchivePath(), path);
}

// Cancel keeps the changes and writes nothing; the file name is asked only after.
TEST_F(RenameNewTest, NewWithUnsavedChangesAsksFirst) {
    Open("a.lgp", Named({"aa.txt", "bb.txt"}));
    SelectRow(0);
    Frame()->SendCommand(ID_ARCHIVE_REMOVE);
    prompts.messageAnswers.push_back(platform::MessageAnswer::Cancel);
    Frame()->SendCommand(ID_FILE_NEW);
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_EQ(prompts.messages.back().buttons, platform::MessageButtons::SaveDiscardCancel);
    EXPECT_TRUE(prompts.saveRequests.empty());
    EXPECT_EQ(Names(), (QStringList{"bb.txt"}));

    prompts.messageAnswers.push_back(platform::MessageAnswer::No);
    prompts.saveAnswers.push_back(m_dir.Path() + "/new.lgp");
    Frame()->SendCommand(ID_FILE_NEW);
    EXPECT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_EQ(List().GetItemCount(), 0);
}

// The order asked for stays through changes, a renamed entry moves to its new place
// selected and in view, and the filter keeps narrowing the list.
TEST_F(RenameNewTest, SortAndFilterHoldWhileChangesWait) {
    Open("a.lgp", Named({"dd.txt", "bb.txt", "aa.txt", "cc.txt"}));
    Frame()->SendCommand(ID_SORT_NAME);
    Type(StartRename(0), "zz.txt", Qt::Key_Return);
    EXPECT_EQ(Names(), (QStringList{"bb.txt", "cc.txt", "dd.txt", "zz.txt"}));
    EXPECT_EQ(List().GetSelectedRows(), std::vector<int>{3});
    EXPECT_EQ(List().GetSelectionMark(), 3);
    Frame()->SendCommand(ID_SORT_REVERSE);
    EXPECT_EQ(Names(), (QStringList{"zz.txt", "dd.txt", "cc.txt", "bb.txt"}));
    Frame()->SendCommand(ID_SORT_ORIGINAL);
    EXPECT_EQ(Names(), (QStringList{"cc.txt", "zz.txt", "bb.txt", "dd.txt"}));

    Bar().SetFilterText("c");
    Frame()->SendCommand(ID_EDIT_UNDO);
    EXPECT_EQ(Names(), (QStringList{"cc.txt"}));
    Bar().SetFilterText("");
    EXPECT_EQ(Names(), (QStringList{"cc.txt", "aa.txt", "bb.txt", "dd.txt"}));
}

}  // namespace
}  // namespace lumo::test
