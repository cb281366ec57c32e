// SPDX-License-Identifier: MIT
// Removing entries, undo and redo, saving, and the question before unsaved changes go,
// driven through the commands and the scripted prompts.
#include <gtest/gtest.h>

#include "tests/commands/open_fixture.h"

namespace lumo::test {
namespace {

class EditCommandsTest : public IndexCommandTest {
protected:
    void SelectRow(int row) {
        List().SelectRows({row});
        List().SetSelectionMark(row);
    }
};

TEST_F(EditCommandsTest, RemoveUndoRedoAndSave) {
    const std::string path = Open("a.lgp", Named({"aa.txt", "bb.txt", "cc.txt"}));
    EXPECT_FALSE(Frame()->IsCommandEnabled(ID_FILE_SAVE));
    EXPECT_FALSE(Frame()->IsCommandEnabled(ID_EDIT_UNDO));
    SelectRow(1);
    ASSERT_TRUE(Frame()->IsCommandEnabled(ID_ARCHIVE_REMOVE));
    Frame()->SendCommand(ID_ARCHIVE_REMOVE);
    EXPECT_EQ(Names(), (QStringList{"aa.txt", "cc.txt"}));
    EXPECT_TRUE(Frame()->windowTitle().endsWith('*'));
    EXPECT_TRUE(PaneText(0).contains('1'));
    EXPECT_TRUE(Frame()->IsCommandEnabled(ID_FILE_SAVE));

    Frame()->SendCommand(ID_EDIT_UNDO);
    EXPECT_EQ(Names(), (QStringList{"aa.txt", "bb.txt", "cc.txt"}));
    ASSERT_TRUE(Frame()->IsCommandEnabled(ID_EDIT_REDO));
    Frame()->SendCommand(ID_EDIT_REDO);
    EXPECT_EQ(Names(), (QStringList{"aa.txt", "cc.txt"}));

    Frame()->SendCommand(ID_FILE_SAVE);
    EXPECT_FALSE(Frame()->windowTitle().endsWith('*'));
    EXPECT_FALSE(Frame()->IsCommandEnabled(ID_FILE_SAVE));
    CLgpArchive saved;
    EXPECT_EQ(saved.Load(path.c_str()), 2);
    EXPECT_EQ(Names(), (QStringList{"aa.txt", "cc.txt"}));
}

// Cancel keeps the changes and the archive; Discard lets the other archive open.
TEST_F(EditCommandsTest, UnsavedChangesAskBeforeAnotherArchiveOpens) {
    const std::string first = Open("a.lgp", Named({"aa.txt", "bb.txt"}));
    const std::string second = m_dir.Write("b.lgp", Named({"zz.txt"}).Build());
    SelectRow(0);
    Frame()->SendCommand(ID_ARCHIVE_REMOVE);

    prompts.messageAnswers.push_back(platform::MessageAnswer::Cancel);
    OpenPath(second);
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_EQ(prompts.messages.back().buttons, platform::MessageButtons::SaveDiscardCancel);
    EXPECT_EQ(Names(), (QStringList{"bb.txt"}));

    prompts.messageAnswers.push_back(platform::MessageAnswer::No);
    OpenPath(second);
    EXPECT_EQ(Names(), (QStringList{"zz.txt"}));
    CLgpArchive untouched;
    EXPECT_EQ(untouched.Load(first.c_str()), 2);
}

// A save that cannot be placed leaves the file and the changes as they were.
TEST_F(EditCommandsTest, FailedSaveAsKeepsTheChanges) {
    Open("a.lgp", Named({"aa.txt", "bb.txt"}));
    SelectRow(0);
    Frame()->SendCommand(ID_ARCHIVE_REMOVE);
    prompts.saveAnswers.push_back(m_dir.Path() + "/no/such/folder/x.lgp");
    Frame()->SendCommand(ID_FILE_SAVE_AS);
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_NE(prompts.messages.back().text.find("Failed to save"), std::string::npos);
    EXPECT_TRUE(Frame()->windowTitle().endsWith('*'));
    EXPECT_EQ(Names(), (QStringList{"bb.txt"}));
}

}  // namespace
}  // namespace lumo::test
