// SPDX-License-Identifier: MIT
// Open: one window per selected row, of the class that fits the entry, titled with its
// name; the last one active.
#include <QMdiArea>
#include <filesystem>
#include <numeric>

#include "tests/commands/extract_fixture.h"
#include "viewers/child_frame.h"
#include "viewers/editor_text.h"

namespace lumo::test {
namespace {

using platform::MessageAnswer;

struct Window {
    std::string className;
    QString title;
    bool operator==(const Window& other) const {
        return className == other.className && title == other.title;
    }
};

void PrintTo(const Window& window, std::ostream* out) {
    *out << window.className << " \"" << window.title.toStdString() << "\"";
}

class OpenInViewersTest : public ArchiveCommandTest {
protected:
    std::vector<Window> Windows() const {
        std::vector<Window> windows;
        for (CChildFrame* child : Frame()->GetChildFrames()) {
            windows.push_back({child->metaObject()->className(), child->windowTitle()});
        }
        return windows;
    }

    // The background of field A: a 16x16 square of pure red (0x001F in the field's
    // palette) at the top-left corner, black beside it.
    static bool ShowsFieldA(CEditorText* viewer) {
        const QImage& image = viewer->GetImage();
        return image.width() == 32 && image.height() == 16 &&
               image.pixelColor(0, 0) == QColor(255, 0, 0) &&
               image.pixelColor(16, 0) == QColor(0, 0, 0);
    }
};

TEST_F(OpenInViewersTest, EachSelectedRowOpensInOrderAndTheLastIsActive) {
    OpenFieldArchive();
    Select({0, 1, 2}, 0);
    Frame()->SendCommand(ID_ITEM_OPEN);
    Settle();

    // room.tex keeps its type here; its five bytes are no texture, which its viewer says
    // before it closes.
    const std::vector<Window> expected{{"CEditorText", "md1stin — flevel.lgp"},
                                       {"CEditorText", "md1_1 — flevel.lgp"}};
    ASSERT_EQ(Windows(), expected);
    std::vector<CChildFrame*> children = Frame()->GetChildFrames();
    EXPECT_EQ(Frame()->GetActiveChild(), children[1]);
    EXPECT_TRUE(ShowsFieldA(qobject_cast<CEditorText*>(children[0])));
    ASSERT_EQ(ordered.messages.size(), 1u);
    EXPECT_EQ(ordered.messages[0].text,
              "Cannot show the texture: the texture is shorter than its 236-byte header.");
}

TEST_F(OpenInViewersTest, IndexCommandOpensTheSameWayAndTwiceGivesTwoWindows) {
    OpenFieldArchive();
    Select({0}, 0);
    Frame()->SendCommand(IDC_INDEXLIST);
    Frame()->SendCommand(IDC_INDEXLIST);
    Settle();
    std::vector<CChildFrame*> children = Frame()->GetChildFrames();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_NE(children[0], children[1]);
    for (CChildFrame* child : children) {
        auto* viewer = qobject_cast<CEditorText*>(child);
        ASSERT_NE(viewer, nullptr);
        EXPECT_TRUE(ShowsFieldA(viewer));
        EXPECT_EQ(viewer->windowTitle(), "md1stin — flevel.lgp");
    }
}

TEST_F(OpenInViewersTest, EntriesOfOtherArchivesOpenInTheirViewersAndStayOpen) {
    OpenPlainArchive();
    Select({0, 2}, 2);
    Frame()->SendCommand(ID_ITEM_OPEN);
    Settle();
    const std::vector<Window> expected{{"CTextViewer", "alpha.txt — chars.lgp"},
                                       {"CHexViewer", "gamma — chars.lgp"}};
    EXPECT_EQ(Windows(), expected);
}

TEST_F(OpenInViewersTest, NoSelectedRowOpensNothing) {
    OpenFieldArchive();
    Select({}, 1);  // a mark alone is not a selection
    Frame()->SendCommand(ID_ITEM_OPEN);
    Frame()->SendCommand(IDC_INDEXLIST);
    Settle();
    EXPECT_TRUE(Frame()->GetChildFrames().empty());
}

TEST_F(OpenInViewersTest, FieldTheViewerCannotShowClosesAndTheNextRowStillOpens) {
    // A field file cut inside its background section, stored compressed.
    Bytes broken = FieldFile(0x001F);
    FieldLayout layout = FieldBuilder(32, 16).Layout();
    broken.resize(layout.background + 20);
    LgpWriter writer;
    writer.Add("broken", LzssCompressEntry(broken)).Add("good", LzssCompressEntry(FieldFile(1)));
    OpenArchive("flevel.lgp", writer);
    Select({0, 1}, 0);
    Frame()->SendCommand(ID_ITEM_OPEN);

    ASSERT_EQ(ordered.messages.size(), 1u);
    EXPECT_EQ(ordered.messages[0].text, "Error");
    EXPECT_EQ(ordered.messages[0].detail, "the background section runs past the end of the file");
    Settle();
    const std::vector<Window> expected{{"CEditorText", "good — flevel.lgp"}};
    EXPECT_EQ(Windows(), expected);
    EXPECT_EQ(Frame()->GetActiveChild(), Frame()->GetChildFrames().at(0));
}

// A window keeps its archive: once another is open its title says so, and Extract and
// Properties in it act on its own entry from its own archive, not on the index.
TEST_F(OpenInViewersTest, WindowOfAnEarlierArchiveSaysSoAndExtractsItsOwnEntry) {
    OpenFieldArchive();
    Select({2}, 2);
    Frame()->SendCommand(ID_ITEM_OPEN);
    Settle();
    const Bytes stored = storedB;
    OpenPlainArchive();
    Select({0}, 0);
    CChildFrame* window = Frame()->GetChildFrames().at(0);
    EXPECT_EQ(window->windowTitle(), "md1_1 — flevel.lgp (archive no longer open)");
    EXPECT_EQ(window->GetEntryName(), "md1_1");

    Frame()->GetMdiArea()->setActiveSubWindow(window);
    ASSERT_TRUE(Frame()->IsCommandEnabled(ID_ITEM_PROPERTIES));
    const std::string target = m_dir.File("saved");
    ordered.messageAnswers.push_back(MessageAnswer::No);  // stored, not decompressed
    ordered.saveAnswers.push_back(target);
    Frame()->SendCommand(ID_ITEM_EXTRACT);
    ASSERT_EQ(ordered.saveRequests.size(), 1u);
    EXPECT_EQ(ordered.saveRequests[0].fileName, "md1_1");
    EXPECT_EQ(ReadFile(target), stored);

    // The same archive opened again is the window's own once more.
    OpenFieldArchive();
    EXPECT_EQ(window->windowTitle(), "md1_1 — flevel.lgp");
}

TEST_F(OpenInViewersTest, EntryThatIsNotWholeOpensWithANoticeOfWhatIsMissing) {
    OpenPlainArchive();
    std::filesystem::remove(archivePath);
    Select({0}, 0);
    Frame()->SendCommand(ID_ITEM_OPEN);
    Settle();
    ASSERT_EQ(Frame()->GetChildFrames().size(), 1u);
    EXPECT_EQ(Frame()->GetChildFrames()[0]->GetNotice(),
              "This entry is not whole: the archive changed on disk since it was opened.");
}

TEST_F(OpenInViewersTest, ArchiveGoneSinceItWasOpenedGivesViewersNoData) {
    OpenFieldArchive();
    std::filesystem::remove(archivePath);
    Select({0, 1}, 0);
    Frame()->SendCommand(ID_ITEM_OPEN);
    Settle();
    // The field and texture viewers have nothing to show and say so.
    ASSERT_EQ(ordered.messages.size(), 2u);
    EXPECT_EQ(ordered.messages[0].text, "Error");
    EXPECT_TRUE(Windows().empty());
}

// Past 32 windows the user is asked first; No opens none, Yes opens them all.
TEST_F(OpenInViewersTest, ManyWindowsAreOpenedOnlyAfterAsking) {
    LgpWriter writer;
    for (int i = 0; i < 33; ++i) {
        writer.AddText("e" + std::to_string(i) + ".txt", "x");
    }
    OpenArchive("many.lgp", writer);
    std::vector<int> rows(33);
    std::iota(rows.begin(), rows.end(), 0);
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        Select(rows, 0);
        ordered.messageAnswers.push_back(answer);
        Frame()->SendCommand(ID_ITEM_OPEN);
        Settle();
        ASSERT_EQ(ordered.messages.size(), answer == MessageAnswer::No ? 1u : 2u);
        EXPECT_EQ(ordered.messages.back().text, "Open 33 windows?");
        EXPECT_EQ(Windows().size(), answer == MessageAnswer::No ? 0u : 33u);
    }
    Select({0, 1}, 0);
    Frame()->SendCommand(ID_ITEM_OPEN);
    EXPECT_EQ(ordered.messages.size(), 2u);  // a few: not asked
}

}  // namespace
}  // namespace lumo::test
