// SPDX-License-Identifier: MIT
// Open by type and content, Open as..., Properties, Archive properties with Verify, Show
// index, Copy of names, and Always decompress files.
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>

#include "app/lumo_app.h"
#include "archive/lgp_snapshot.h"
#include "commands/archive_doc.h"
#include "commands/properties_dialogs.h"
#include "edit/edited_source.h"
#include "edit/lgp_changes.h"
#include "tests/commands/extract_fixture.h"
#include "tests/support/texture_builder.h"
#include "viewers/child_frame.h"

namespace lumo::test {
namespace {

class ViewerCommandsTest : public ArchiveCommandTest {
protected:
    void OpenMixedArchive() {
        TextureBuilder texture = TextureBuilder::Paletted(4, 4, 1, 2);
        LgpWriter writer;
        writer.Add("sky.tex", texture.Build())
            .AddText("notes.txt", "")
            .Add("blob.bin", Bytes{0, 1, 2, 0xFF})
            .AddText("script", "plain words\r\n")
            .Add("cut.tex", Bytes{1, 2, 3});
        OpenArchive("mixed.lgp", writer);
    }
    std::vector<std::string> Classes() const {
        std::vector<std::string> classes;
        for (CChildFrame* child : Frame()->GetChildFrames()) {
            classes.push_back(child->metaObject()->className());
        }
        return classes;
    }
    static QString Cell(QTableWidget* table, int row, const QString& column) {
        for (int c = 0; c < table->columnCount(); ++c) {
            if (table->horizontalHeaderItem(c)->text() == column) {
                return table->item(row, c) ? table->item(row, c)->text() : QString();
            }
        }
        return "<no column " + column + ">";
    }
};

TEST_F(ViewerCommandsTest, OpenPicksTheViewerByTypeAndTextByContent) {
    OpenMixedArchive();
    Select({0, 1, 2, 3}, 0);
    Frame()->SendCommand(ID_ITEM_OPEN);
    Settle();
    EXPECT_EQ(Classes(), (std::vector<std::string>{"CTextureViewer", "CTextViewer", "CHexViewer",
                                                   "CTextViewer"}));
    EXPECT_TRUE(ordered.messages.empty());
}

TEST_F(ViewerCommandsTest, OpenAsOffersEveryViewerAndUsesTheChosenOne) {
    OpenMixedArchive();
    Select({0, 3}, 0);
    QStringList offered;
    WhenModalShows([&offered](QWidget* modal) {
        auto* list = modal->findChild<QListWidget*>();
        for (int i = 0; list && i < list->count(); ++i) {
            offered << list->item(i)->text();
        }
        list->setCurrentRow(list->count() - 1);
        static_cast<QDialog*>(modal)->accept();
    });
    Frame()->SendCommand(ID_ITEM_OPENAS);
    Settle();
    EXPECT_EQ(offered, (QStringList{"Background", "Texture", "Music", "Camera", "Tutorial", "Model",
                                    "Text", "Hex"}));
    EXPECT_EQ(Classes(), (std::vector<std::string>{"CHexViewer", "CHexViewer"}));
}

TEST_F(ViewerCommandsTest, PropertiesShowsOneRowPerSelectedEntry) {
    OpenMixedArchive();
    CPropertiesDialog dialog(theArchive.Snapshot(), {EntryId{0}, EntryId{4}});
    QTableWidget* table = dialog.GetTable();
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(Cell(table, 0, "name"), "sky.tex");
    EXPECT_EQ(Cell(table, 0, "width x height"), "4 x 4");
    EXPECT_EQ(Cell(table, 1, "texture"), "the texture is shorter than its 236-byte header");

    Select({0}, 0);
    int rows = 0;
    WhenModalShows([&rows](QWidget* modal) {
        rows = modal->findChild<QTableWidget*>()->rowCount();
        static_cast<QDialog*>(modal)->reject();
    });
    Frame()->SendCommand(ID_ITEM_PROPERTIES);
    EXPECT_GT(rows, 6);  // one key per row for a single entry
}

TEST_F(ViewerCommandsTest, ArchivePropertiesVerifyListsTheBrokenEntries) {
    OpenMixedArchive();
    CArchivePropertiesDialog dialog(theArchive.Snapshot());
    EXPECT_EQ(dialog.GetTable()->item(2, 1)->text(), "5");  // entries
    dialog.Verify();
    ASSERT_EQ(dialog.GetProblemList()->count(), 2);  // grouped under a heading
    EXPECT_TRUE(dialog.GetProblemList()->item(0)->text().startsWith("Warnings (1)"));
    EXPECT_TRUE(dialog.GetProblemList()->item(1)->text().startsWith("#4 cut.tex: texture: "));
    EXPECT_EQ(dialog.GetVerdict()->text(), "1 entries have problems:");
}

// An entry added but not saved yet is described as the save will write it, read through
// the archive the document offers.
TEST_F(ViewerCommandsTest, PropertiesOfAnAddedEntryTellWhatItWillHold) {
    OpenMixedArchive();
    const Bytes added = TextureBuilder::Paletted(2, 3, 1, 2).Build();
    ArchiveEdits edits(*theArchive.Snapshot()->Catalogue());
    ASSERT_EQ(edits.Add("new.tex", "", MemorySource(added)), "");
    TheArchiveDoc()->Document().ChangeEntries(
        std::make_shared<EditedSource>(theArchive.Snapshot(), edits.Entries()), {});
    ASSERT_EQ(List().GetItemCount(), 6);
    Select({5}, 5);
    std::map<QString, QString> shown;
    WhenModalShows([&shown](QWidget* modal) {
        auto* table = modal->findChild<QTableWidget*>();
        for (int row = 0; table && row < table->rowCount(); ++row) {
            shown[table->item(row, 0)->text()] = table->item(row, 1)->text();
        }
        static_cast<QDialog*>(modal)->reject();
    });
    Frame()->SendCommand(ID_ITEM_PROPERTIES);
    EXPECT_EQ(shown["name"], "new.tex");
    EXPECT_EQ(shown["stored size"], QString::number(added.size()));
    EXPECT_EQ(shown["type"], "texture (1)");
    EXPECT_EQ(shown["width x height"], "2 x 3");
    EXPECT_EQ(shown["offset"], "decided when saved");
}

// With changes waiting, Verify checks what the file holds and says so: the broken entry
// removed from the change list is still found.
TEST_F(ViewerCommandsTest, VerifyWithUnsavedChangesChecksTheFileOnDisk) {
    OpenMixedArchive();
    Select({4}, 4);
    Frame()->SendCommand(ID_ARCHIVE_REMOVE);
    ASSERT_EQ(List().GetItemCount(), 4);
    QStringList problems;
    QString verdict;
    WhenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<CArchivePropertiesDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->Verify();
        for (int i = 0; i < dialog->GetProblemList()->count(); ++i) {
            problems << dialog->GetProblemList()->item(i)->text();
        }
        verdict = dialog->GetVerdict()->text();
        dialog->reject();
    });
    Frame()->SendCommand(ID_ARCHIVE_PROPERTIES);
    ASSERT_EQ(problems.size(), 2);
    EXPECT_TRUE(problems[1].startsWith("#4 cut.tex: texture: "));
    EXPECT_TRUE(verdict.startsWith("The file as saved on disk; changes not saved yet"));
}

TEST_F(ViewerCommandsTest, ShowIndexHidesAndShowsTheIndexWithItsCheckMark) {
    OpenMixedArchive();
    Frame()->CreateNewChild("CChildFrame");
    QAction* show = Frame()->GetCommandAction(ID_VIEW_INDEX);
    ASSERT_NE(show, nullptr);
    EXPECT_TRUE(show->isEnabled());
    EXPECT_TRUE(show->isChecked());
    Frame()->SendCommand(ID_VIEW_INDEX);
    EXPECT_TRUE(Bar().isHidden());
    EXPECT_FALSE(show->isChecked());
    Frame()->SendCommand(ID_VIEW_INDEX);
    EXPECT_FALSE(Bar().isHidden());
    EXPECT_TRUE(show->isChecked());
}

TEST_F(ViewerCommandsTest, CopyPutsTheSelectedNamesOnTheClipboard) {
    OpenMixedArchive();
    Select({1, 3}, 1);
    Frame()->SendCommand(ID_EDIT_COPY);
    EXPECT_EQ(QApplication::clipboard()->text(), "notes.txt\nscript\n");
}

TEST_F(ViewerCommandsTest, AlwaysDecompressLastsTheRunAndExtractStopsAsking) {
    OpenFieldArchive();
    QAction* always = Frame()->GetCommandAction(ID_OPTIONS_ALWAYSDECOMPRESS);
    ASSERT_NE(always, nullptr);
    EXPECT_FALSE(always->isChecked());
    Frame()->SendCommand(ID_OPTIONS_ALWAYSDECOMPRESS);
    EXPECT_TRUE(theApp.AlwaysDecompress());
    EXPECT_TRUE(always->isChecked());
    Select({0}, 0);
    ordered.saveAnswers.push_back(m_dir.File("md1stin.out"));
    Frame()->SendCommand(ID_ITEM_EXTRACT);
    EXPECT_TRUE(ordered.messages.empty());
    EXPECT_EQ(ReadFile(m_dir.File("md1stin.out")), fieldA);
    Frame()->SendCommand(ID_OPTIONS_ALWAYSDECOMPRESS);
    EXPECT_FALSE(theApp.AlwaysDecompress());
}

// The save dialog's own overwrite question can be answered for the archive itself; the
// image must not replace it, and a message says why.
TEST_F(ViewerCommandsTest, ExportImageRefusesTheOpenArchive) {
    OpenFieldArchive();
    Select({0}, 0);
    Frame()->SendCommand(ID_ITEM_OPEN);
    Settle();
    ASSERT_NE(Frame()->GetActiveChild(), nullptr);
    const Bytes before = ReadFile(archivePath);
    ordered.saveAnswers.push_back(archivePath);
    Frame()->SendCommand(ID_FILE_EXPORT_IMAGE);
    EXPECT_EQ(ReadFile(archivePath), before);
    ASSERT_EQ(ordered.messages.size(), 1u);
    EXPECT_NE(ordered.messages[0].text.find("the archive being read"), std::string::npos)
        << ordered.messages[0].text;
    ordered.saveAnswers.push_back(m_dir.File("field.png"));
    Frame()->SendCommand(ID_FILE_EXPORT_IMAGE);
    const Bytes png = ReadFile(m_dir.File("field.png"));
    ASSERT_GE(png.size(), 4u);
    EXPECT_EQ(Bytes(png.begin() + 1, png.begin() + 4), (Bytes{'P', 'N', 'G'}));
}

}  // namespace
}  // namespace lumo::test
