// SPDX-License-Identifier: MIT
// File > Open archive: the dialog, the listing, the panes and caption, and failed loads.
#include <QEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "app/lumo_app.h"
#include "environment/game_environment.h"
#include "tests/commands/open_fixture.h"

namespace lumo::test {
namespace {

using OpenTest = IndexCommandTest;

// Records pane 0's text each time it is painted, and whether the list was enabled then.
class PanePaints : public QObject {
public:
    PanePaints(QLabel* pane, QWidget* list) : m_pane(pane), m_list(list) {
        pane->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_pane && event->type() == QEvent::Paint) {
            texts << m_pane->text();
            listEnabled.push_back(m_list->isEnabled());
        }
        return false;
    }
    QStringList texts;
    std::vector<bool> listEnabled;

private:
    QLabel* m_pane;
    QWidget* m_list;
};

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.find_last_of('/') + 1);
}

TEST_F(OpenTest, ListsEntriesInArchiveOrderAndReportsInEveryPane) {
    LgpWriter writer;
    writer.Add("zeta.tex", Bytes(1023, 1)).Add("alpha.txt", Bytes(1024, 2)).AddText("README", "");
    const std::string path = Open("chars.lgp", writer);

    ASSERT_EQ(prompts.openRequests.size(), 1u);
    const platform::OpenFileRequest& request = prompts.openRequests[0];
    EXPECT_EQ(request.filter, "LGP Archives (*.lgp)|*.lgp|All files (*.*)|*.*|");
    EXPECT_TRUE(request.mustExist);
    EXPECT_EQ(request.fileName, "");

    EXPECT_EQ(Names(), (QStringList{"zeta.tex", "alpha.txt", "README"}));
    EXPECT_EQ(ItemData(), (std::vector<int>{0, 1, 2}));
    const IndexListModel& model = *List().GetModel();
    EXPECT_EQ(model.Row(0).SizeText(), "1023");
    EXPECT_EQ(model.Row(1).SizeText(), "1 kB");
    EXPECT_EQ(model.Row(2).SizeText(), "0");
    EXPECT_EQ(model.Row(0).typeCode, LGP_TYPE_TEX);
    EXPECT_EQ(model.Row(1).typeCode, LGP_TYPE_TXT);
    EXPECT_EQ(model.Row(2).typeCode, LGP_TYPE_OTHER);
    EXPECT_TRUE(List().isEnabled());
    // No row is selected or marked, also once the list has the keyboard focus; the first
    // row holds the focus, so the keys start from there.
    List().setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(List().GetSelectedCount(), 0);
    EXPECT_EQ(List().GetSelectionMark(), -1);
    EXPECT_EQ(List().currentIndex().row(), 0);
    QTest::keyClick(&List(), Qt::Key_Down);
    EXPECT_EQ(List().GetSelectionMark(), 1);
    EXPECT_EQ(List().GetSelectedRows(), std::vector<int>{1});

    EXPECT_EQ(Bar().CaptionText(), "Archive index - chars.lgp");
    char length[16];
    const uint32_t fileLength = static_cast<uint32_t>(ReadFile(path).size());
    EXPECT_EQ(Panes(), (QStringList{"3 files successfully loaded.", "chars.lgp", "3 files",
                                    CGameEnvironment::FormatSizeLong(length, fileLength)}));
    EXPECT_EQ(theApp.m_szPathName, path);
    EXPECT_EQ(theApp.m_szFileName, "chars.lgp");
    EXPECT_EQ(theApp.m_szInitialDir, FolderOf(path));
}

TEST_F(OpenTest, ShowsProgressAtOnceWithTheListDisabledWhileFilling) {
    PanePaints paints(Frame()->m_wndStatusBar.GetPane(0), &List());
    QSignalSpy inserted(List().GetModel(), &QAbstractItemModel::rowsInserted);
    LgpWriter writer;
    for (int i = 0; i < 300; ++i) {
        writer.AddText("e" + std::to_string(i), "x");
    }
    Open("many.lgp", writer);

    ASSERT_GE(paints.texts.size(), 3);
    EXPECT_EQ(paints.texts[0], "Loading...");
    EXPECT_EQ(paints.texts[1], "Listing...");
    EXPECT_FALSE(paints.listEnabled[1]);
    EXPECT_EQ(paints.texts.last(), "300 files successfully loaded.");
    // Three hundred rows, one insertion.
    EXPECT_EQ(inserted.count(), 1);
}

TEST_F(OpenTest, SecondOpenStartsInTheFolderWithTheNamePrefilledAndReplacesTheRows) {
    const std::string first = Open("one.lgp", Named({"a", "b", "c"}));
    Open("two.lgp", Named({"x", "y"}));
    ASSERT_EQ(prompts.openRequests.size(), 2u);
    EXPECT_EQ(prompts.openRequests[1].initialDir, FolderOf(first));
    EXPECT_EQ(prompts.openRequests[1].fileName, "one.lgp");
    EXPECT_EQ(Names(), (QStringList{"x", "y"}));
    EXPECT_EQ(ItemData(), (std::vector<int>{0, 1}));
    EXPECT_EQ(PaneText(1), "two.lgp");

    // The same archive again: rebuilt, never appended to.
    Open("two.lgp", Named({"x", "y"}));
    EXPECT_EQ(Names(), (QStringList{"x", "y"}));
}

TEST_F(OpenTest, EmptyArchiveIsASuccess) {
    Open("three.lgp", Named({"a", "b", "c"}));
    const std::string path = Open("empty.lgp", LgpWriter());
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_TRUE(List().isEnabled());
    EXPECT_TRUE(prompts.messages.empty());
    char length[16];
    EXPECT_EQ(Panes(), (QStringList{"0 files successfully loaded.", "empty.lgp", "0 files",
                                    CGameEnvironment::FormatSizeLong(
                                        length, static_cast<uint32_t>(ReadFile(path).size()))}));
    EXPECT_EQ(Bar().CaptionText(), "Archive index - empty.lgp");
}

TEST_F(OpenTest, CancelChangesNothing) {
    EXPECT_EQ(theApp.m_szFileName, "");
    const std::string startDir = theApp.m_szInitialDir;
    Frame()->SendCommand(ID_FILE_OPEN);  // no answer queued: cancelled
    ASSERT_EQ(prompts.openRequests.size(), 1u);
    EXPECT_EQ(prompts.openRequests[0].initialDir, startDir);
    EXPECT_FALSE(List().isEnabled());
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_EQ(Bar().CaptionText(), "Archive index");
    EXPECT_EQ(PaneText(1), "None");
    EXPECT_EQ(PaneText(2), "0 files");
    EXPECT_EQ(PaneText(3), "0 bytes");

    const std::string path = Open("kept.lgp", Named({"a"}));
    const QStringList panes = Panes();
    Frame()->SendCommand(ID_FILE_OPEN);
    EXPECT_EQ(prompts.openRequests.back().initialDir, FolderOf(path));
    EXPECT_EQ(prompts.openRequests.back().fileName, "kept.lgp");
    EXPECT_EQ(Panes(), panes);
    EXPECT_EQ(theApp.m_szPathName, path);
    EXPECT_EQ(Names(), QStringList{"a"});
}

// A file that cannot be loaded is reported, and the archive that was open stays listed
// under its own name.
TEST_F(OpenTest, FailedLoadIsReportedAndKeepsTheOpenArchive) {
    const std::string good = Open("good.lgp", Named({"a", "b"}));
    const QStringList panes = Panes();
    const std::string garbage = m_dir.Write("notes.lgp", Bytes(100, 'x'));
    const std::string missing = m_dir.File("gone.lgp");

    struct Case {
        std::string path;
        std::string name;
        const char* reason;
    };
    for (const Case& c : {Case{garbage, "notes.lgp", "not an LGP archive"},
                          Case{missing, "gone.lgp", "cannot open file"}}) {
        prompts.messages.clear();
        OpenPath(c.path);
        ASSERT_EQ(prompts.messages.size(), 1u) << c.name;
        EXPECT_EQ(prompts.messages[0].text, "Failed to load " + c.path + ": " + c.reason + ".");
        EXPECT_EQ(PaneText(0).toStdString(), "Failed to load " + c.name + ": " + c.reason + ".");
        EXPECT_EQ(Panes().mid(1), panes.mid(1));
        EXPECT_EQ(Names(), (QStringList{"a", "b"}));
        EXPECT_TRUE(List().isEnabled());
        EXPECT_EQ(Bar().CaptionText(), "Archive index - good.lgp");
        EXPECT_EQ(theArchive.GetArchivePath(), good);
        // The next dialog offers the failed choice again, in its folder.
        Frame()->SendCommand(ID_FILE_OPEN);
        EXPECT_EQ(prompts.openRequests.back().initialDir, FolderOf(c.path));
        EXPECT_EQ(prompts.openRequests.back().fileName, c.name);
    }
}

TEST_F(OpenTest, FailedFirstLoadLeavesTheIndexDisabled) {
    OpenPath(m_dir.Write("short.lgp", Bytes{0, 0, 'S', 'Q'}));
    EXPECT_EQ(prompts.messages.size(), 1u);
    EXPECT_FALSE(List().isEnabled());
    EXPECT_EQ(Bar().CaptionText(), "Archive index");
    EXPECT_EQ(PaneText(1), "None");
    EXPECT_EQ(PaneText(2), "0 files");
}

// `lumo ARCHIVE` opens the archive as the dialog's choice would, with the same report
// when it cannot.
TEST_F(OpenTest, ArchiveFromTheCommandLineOpensAsFromTheDialog) {
    const std::string good = m_dir.Write("good.lgp", Named({"a", "b"}).Build());
    EXPECT_TRUE(theApp.OpenArchiveFile(good));
    EXPECT_EQ(Names(), (QStringList{"a", "b"}));
    EXPECT_EQ(Bar().CaptionText(), "Archive index - good.lgp");
    EXPECT_TRUE(prompts.openRequests.empty());

    const std::string missing = m_dir.File("gone.lgp");
    EXPECT_FALSE(theApp.OpenArchiveFile(missing));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Failed to load " + missing + ": cannot open file.");
    EXPECT_EQ(Names(), (QStringList{"a", "b"}));
}

}  // namespace
}  // namespace lumo::test
