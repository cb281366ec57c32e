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

// Files dropped on the index go in; a lone archive dropped there opens instead.
TEST_F(InsertCommandsTest, FilesDroppedOnTheIndex) {
    const std::string archive = m_files.Write("other.lgp", Named({"zz.txt"}).Build());
    struct Case {
        std::vector<std::string> files;
        QStringList names;
    };
    const Case cases[] = {
        {{Text("one.txt", "1"), Text("two.txt", "2")}, {"aa.txt", "one.txt", "two.txt"}},
        {{archive}, {"zz.txt"}},
    };
    for (const Case& c : cases) {
        Open("a.lgp", Named({"aa.txt"}));
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& file : c.files) {
            urls << QUrl::fromLocalFile(QString::fromStdString(file));
        }
        data.setUrls(urls);
        ASSERT_TRUE(List().viewport()->acceptDrops());
        const QPoint at = List().viewport()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(List().viewport(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(List().viewport(), &drop);
        Settle();
        EXPECT_EQ(Names(), c.names);
    }
}

// Files on the clipboard go in as one change, which one Undo takes back; each gets the
// type its name gives it.
TEST_F(InsertCommandsTest, PastedFilesGoInAsOneChange) {
    Open("a.lgp", Named({"aa.txt"}));
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(QString::fromStdString(Text("p1.tex", "1"))),
                   QUrl::fromLocalFile(QString::fromStdString(Text("p2.txt", "2")))});
    QApplication::clipboard()->setMimeData(data);
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
