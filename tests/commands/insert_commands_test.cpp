// SPDX-License-Identifier: MIT
// Putting files into the open archive: Insert file(s)..., Replace with..., files dropped
// on the index and pasted from the clipboard, driven through the scripted prompts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <filesystem>

#include "archive/entry_source.h"
#include "commands/archive_doc.h"
#include "tests/commands/open_fixture.h"
#include "tests/support/lzss_encoder.h"

namespace lumo::test {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;

class InsertCommandsTest : public IndexCommandTest {
protected:
    Bytes Content(const std::string& name, bool decoded = false) {
        const EntrySourcePtr& source = TheArchiveDoc()->Source();
        Bytes bytes;
        EXPECT_TRUE(source->Read(source->Find(name), decoded, &bytes).Whole()) << name;
        return bytes;
    }
    size_t Asked(MessageButtons buttons) const {
        size_t count = 0;
        for (const platform::MessageRequest& message : prompts.messages) {
            count += message.buttons == buttons ? 1 : 0;
        }
        return count;
    }
    std::string Text(const std::string& name, const std::string& text) {
        return m_files.Write(name, Bytes(text.begin(), text.end()));
    }
    static Bytes Of(const std::string& text) { return Bytes(text.begin(), text.end()); }
    // Through the tool bar's button, or with `key` the Ins key.
    void InsertThroughDialog(const std::vector<std::string>& paths, bool key = false) {
        prompts.openFilesAnswers.push_back(paths);
        if (key) {
            PressKeys(Frame(), QKeySequence(Qt::Key_Insert));
        } else {
            Frame()->SendCommand(ID_ARCHIVE_INSERTFILES);
        }
    }
    static QMimeData* Carrying(const std::vector<std::string>& paths) {
        auto* data = new QMimeData;
        for (const std::string& path : paths) {
            data->setUrls(data->urls() << QUrl::fromLocalFile(QString::fromStdString(path)));
        }
        return data;
    }
    // Dropped on the index from a file manager; true when the index took them.
    bool Drop(const std::vector<std::string>& paths) {
        const std::unique_ptr<QMimeData> data(Carrying(paths));
        const QPoint at = List().viewport()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(List().viewport(), &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(List().viewport(), &drop);
        Settle();
        return enter.isAccepted();
    }
    enum class Way { Dialog, Drop, Paste, ReplaceWith };
    void Insert(Way way, const std::vector<std::string>& paths) {
        if (way == Way::Dialog) {
            InsertThroughDialog(paths);
        } else if (way == Way::Drop) {
            EXPECT_TRUE(Drop(paths));
        } else if (way == Way::Paste) {
            QApplication::clipboard()->setMimeData(Carrying(paths));
            Frame()->SendCommand(ID_EDIT_PASTE);
        } else {
            prompts.openAnswers.push_back(paths.front());
            Frame()->SendCommand(ID_ITEM_REPLACE);
        }
    }
    TempDir m_files;
};

// One name is there already: asked once, and the answer decides; Cancel changes nothing.
TEST_F(InsertCommandsTest, ANameAlreadyThereIsAskedAboutOnce) {
    struct Case {
        MessageAnswer answer;
        QStringList names;
        std::string aa;
    };
    const Case cases[] = {
        {MessageAnswer::ReplaceAll, {"aa.txt", "bb.txt", "new.txt"}, "fresh"},
        {MessageAnswer::Skip, {"aa.txt", "bb.txt", "new.txt"}, "text"},
        {MessageAnswer::Cancel, {"aa.txt", "bb.txt"}, "text"},
    };
    TheArchiveDoc()->Document().SetSource(nullptr);
    EXPECT_FALSE(Frame()->IsCommandEnabled(ID_ARCHIVE_INSERTFILES));  // no archive open
    const std::vector<std::string> files = {Text("new.txt", "new"), Text("aa.txt", "fresh")};
    for (const Case& c : cases) {
        Open("a.lgp", Named({"aa.txt", "bb.txt"}));
        ASSERT_TRUE(Frame()->IsCommandEnabled(ID_ARCHIVE_INSERTFILES));
        prompts.messages.clear();
        prompts.messageAnswers = {c.answer};
        InsertThroughDialog(files, c.answer == MessageAnswer::Skip);
        EXPECT_EQ(Asked(MessageButtons::ReplaceSkipAllCancel), 1u);
        EXPECT_EQ(Names(), c.names);
        EXPECT_EQ(Content("aa.txt"), Of(c.aa));
        EXPECT_EQ(TheArchiveDoc()->PendingChanges(), c.answer == MessageAnswer::Cancel ? 0u : 1u);
    }
}

// In the field archive fields are compressed unless they already are field entries;
// the question comes once per batch, and the entries read back as the files were. A
// file with a known extension is read as stored there, so it goes in as it is, unasked.
TEST_F(InsertCommandsTest, FieldArchiveAsksOnceHowFieldsGoIn) {
    const Bytes plain = Of("a field file, a field file, a field file");
    const Bytes other = Of("another field");
    const std::string plainPath = m_files.Write("md_new", plain);
    const std::string wholePath = m_files.Write("md_old", LzssCompressEntry(other));
    const std::string textPath = Text("notes.txt", "notes");
    struct Case {
        std::vector<std::string> files;
        size_t questions;
        MessageAnswer expectedDefault;
    };
    const Case cases[] = {
        {{plainPath, wholePath, textPath}, 1, MessageAnswer::Yes},
        {{wholePath}, 1, MessageAnswer::No},
        {{textPath}, 0, MessageAnswer::Ok},
    };
    for (const Case& c : cases) {
        Open("flevel.lgp", LgpWriter().Add("md1stin", LzssCompressEntry(Of("field"))));
        prompts.messages.clear();
        InsertThroughDialog(c.files);  // no answer queued: the default button
        ASSERT_EQ(Asked(MessageButtons::CompressStoreCancel), c.questions);
        if (c.questions != 0) {
            EXPECT_EQ(prompts.messages.back().defaultAnswer, c.expectedDefault);
            EXPECT_EQ(Content("md_old", true), other);
            EXPECT_EQ(Content("md_old"), LzssCompressEntry(other));  // stored as it was
        }
    }
    EXPECT_EQ(Content("notes.txt"), Of("notes"));
    Open("flevel.lgp", LgpWriter().Add("md1stin", LzssCompressEntry(Of("field"))));
    InsertThroughDialog({plainPath});
    EXPECT_EQ(Content("md_new", true), plain);
    EXPECT_NE(Content("md_new"), plain);
    EXPECT_EQ(Content("md1stin", true), Of("field"));
}

TEST_F(InsertCommandsTest, ReplaceWithTakesTheFileForTheOneSelectedEntry) {
    Open("a.lgp", Named({"aa.txt", "bb.txt"}));
    prompts.messages.clear();  // what an earlier test left unsaved was let go
    List().SelectRows({0, 1});
    EXPECT_FALSE(Frame()->IsCommandEnabled(ID_ITEM_REPLACE));
    List().SelectRows({1});
    ASSERT_TRUE(Frame()->IsCommandEnabled(ID_ITEM_REPLACE));
    prompts.openAnswers.push_back(Text("other.bin", "other"));
    Frame()->SendCommand(ID_ITEM_REPLACE);
    EXPECT_EQ(Names(), (QStringList{"aa.txt", "bb.txt"}));
    EXPECT_EQ(Content("bb.txt"), Of("other"));
    EXPECT_TRUE(prompts.messages.empty());
    Frame()->SendCommand(ID_EDIT_UNDO);
    EXPECT_EQ(Content("bb.txt"), Of("text"));
}

// Files dropped on the index go in; a lone archive dropped there opens instead, but not
// a folder named like one.
TEST_F(InsertCommandsTest, FilesDroppedOnTheIndex) {
    const std::string archive = m_files.Write("other.lgp", Named({"zz.txt"}).Build());
    std::filesystem::create_directory(m_files.File("dir.lgp"));
    Text("dir.lgp/in.txt", "in");
    struct Case {
        std::vector<std::string> files;
        QStringList names;
    };
    const Case cases[] = {
        {{Text("one.txt", "1"), Text("two.txt", "2")}, {"aa.txt", "one.txt", "two.txt"}},
        {{archive}, {"zz.txt"}},
        {{m_files.File("dir.lgp")}, {"aa.txt", "in.txt"}},
    };
    for (const Case& c : cases) {
        Open("a.lgp", Named({"aa.txt"}));
        ASSERT_TRUE(List().viewport()->acceptDrops());
        ASSERT_TRUE(Drop(c.files));
        EXPECT_EQ(Names(), c.names);
    }
}

// A folder stands for every file below it, with the folders under it (not its own name)
// as the entries' folder. Links to files are followed, links to folders are not; an
// empty folder says so.
TEST_F(InsertCommandsTest, FoldersGoInWithTheFoldersBelowThem) {
    namespace fs = std::filesystem;
    fs::create_directories(m_files.File("far"));
    Text("far/out.txt", "1");
    struct Case {
        Way way;
        std::vector<std::string> files;  // below the folder; "name>target" is a link
        QStringList entries;             // "folder/name", after the archive's aa.txt
    };
    const Case cases[] = {
        {Way::Dialog, {}, {}},
        {Way::Drop,
         {"b.txt", "sub/c.txt", "sub/deep/d.txt", "link.txt>far/out.txt", "dir>far"},
         {"b.txt", "link.txt", "sub/c.txt", "sub/deep/d.txt"}},
        {Way::Paste,
         {"fire/ball.p", "ice/ball.p", "aa.txt", "sub/aa.txt"},
         {"fire/ball.p", "ice/ball.p", "sub/aa.txt"}},
    };
    for (const Case& c : cases) {
        Open("a.lgp", Named({"aa.txt"}));
        const std::string top = m_files.File("in" + std::to_string(&c - cases));
        fs::create_directories(top);
        for (const std::string& file : c.files) {
            const fs::path at = top + "/" + file.substr(0, file.find('>'));
            fs::create_directories(at.parent_path());
            if (file.find('>') == std::string::npos) {
                WriteFile(at, Of(file));
            } else {
                fs::create_symlink(m_files.File(file.substr(file.find('>') + 1)), at);
            }
        }
        prompts.messages.clear();
        prompts.messageAnswers = {MessageAnswer::Replace};  // for the folder's own aa.txt
        Insert(c.way, {top});
        prompts.messageAnswers.clear();
        EXPECT_EQ(Asked(MessageButtons::ReplaceSkipAllCancel), c.files.size() == 4 ? 1u : 0u);
        QStringList entries;
        const EntrySourcePtr& source = TheArchiveDoc()->Source();
        for (size_t i = 1; i < source->Count(); ++i) {
            const std::string folder = source->Folder(source->IdAt(i));
            entries << QString::fromStdString(folder + (folder.empty() ? "" : "/") +
                                              source->Name(source->IdAt(i)));
        }
        EXPECT_EQ(entries, c.entries);
        EXPECT_EQ(TheArchiveDoc()->PendingChanges(), c.files.empty() ? 0u : 1u);
        EXPECT_EQ(PaneText(0).contains("no files"), c.files.empty()) << PaneText(0).toStdString();
    }
    EXPECT_EQ(Content("aa.txt"), Of("aa.txt"));
}

// Whichever way they come in, the rows put in (or replaced) are the selection, the
// topmost current and in view; Undo leaves no selection of entries that are gone.
TEST_F(InsertCommandsTest, InsertedRowsAreSelected) {
    std::vector<std::string> many;
    for (int i = 1000; i < 1300; ++i) {
        many.push_back("e" + std::to_string(i) + ".txt");
    }
    struct Case {
        Way way;
        std::vector<std::string> files;
        QStringList selected;  // with the list sorted by name when more than one
    };
    const Case cases[] = {
        {Way::Dialog, {Text("x2.txt", "2"), Text("x1.txt", "1")}, {"x1.txt", "x2.txt"}},
        {Way::Drop, {Text("z.txt", "z"), Text("e1100b.txt", "b")}, {"e1100b.txt", "z.txt"}},
        {Way::Paste, {Text("p.txt", "p")}, {"p.txt"}},
        {Way::ReplaceWith, {Text("r.txt", "r")}, {"e1250.txt"}},
    };
    for (const Case& c : cases) {
        Open("a.lgp", Named(many));
        List().SelectRows({250});
        Frame()->SendCommand(c.files.size() > 1 ? ID_SORT_NAME : ID_SORT_ORIGINAL);
        Insert(c.way, c.files);
        QStringList selected;
        for (int row : List().GetSelectedRows()) {
            selected << List().GetModel()->Row(row).name;
        }
        EXPECT_EQ(selected, c.selected);
        const int current = List().GetSelectionMark();
        ASSERT_EQ(current, List().GetSelectedRows().front());
        EXPECT_TRUE(List().viewport()->rect().contains(
            List().visualRect(List().GetModel()->index(current, 0))));
        Frame()->SendCommand(ID_EDIT_UNDO);
        const int kept = c.way == Way::ReplaceWith ? 1 : 0;
        EXPECT_EQ(List().GetSelectedCount(), kept);
        EXPECT_EQ(List().GetSelectionMark() >= 0, kept == 1);
    }
}

// Files on the clipboard go in as one change, which one Undo takes back; each gets the
// type its name gives it.
TEST_F(InsertCommandsTest, PastedFilesGoInAsOneChange) {
    Open("a.lgp", Named({"aa.txt"}));
    QApplication::clipboard()->setMimeData(Carrying({Text("p1.tex", "1"), Text("p2.txt", "2")}));
    ASSERT_TRUE(Frame()->IsCommandEnabled(ID_EDIT_PASTE));
    Frame()->SendCommand(ID_EDIT_PASTE);
    EXPECT_EQ(Names(), (QStringList{"aa.txt", "p1.tex", "p2.txt"}));
    EXPECT_EQ(Content("p2.txt"), Of("2"));
    const EntrySourcePtr& source = TheArchiveDoc()->Source();
    EXPECT_EQ(source->Type(source->Find("p1.tex")), LGP_TYPE_TEX);  // as once saved
    EXPECT_EQ(source->Type(source->Find("p2.txt")), LGP_TYPE_TXT);
    Frame()->SendCommand(ID_EDIT_UNDO);
    EXPECT_EQ(Names(), (QStringList{"aa.txt"}));
    EXPECT_FALSE(Frame()->IsCommandEnabled(ID_EDIT_UNDO));
    QApplication::clipboard()->clear();
}

}  // namespace
}  // namespace lumo::test
