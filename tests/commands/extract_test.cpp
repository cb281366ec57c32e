// SPDX-License-Identifier: MIT
// Extract: one entry through the save dialog, many into a folder, the decompression
// question, atomic replacement, and the failures.
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "app/lumo_app.h"
#include "tests/commands/extract_fixture.h"

namespace fs = std::filesystem;

namespace lumo::test {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

class ExtractTest : public ArchiveCommandTest {
protected:
    void Extract() { Frame()->SendCommand(ID_ITEM_EXTRACT); }

    std::string Out(const std::string& name) const { return m_out.File(name); }
    std::vector<std::string> OutFiles() const {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(m_out.Path())) {
            names.push_back(item.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    // The box names the entry and the reason; one entry alone gets OK, a run of many
    // Skip / Skip All / Cancel.
    void ExpectFailedToExtract(size_t index, const std::string& what = "") const {
        ASSERT_LT(index, ordered.messages.size());
        const platform::MessageRequest& box = ordered.messages[index];
        EXPECT_EQ(box.text.rfind("Failed to extract file " + what, 0), 0u) << box.text;
        EXPECT_EQ(box.icon, MessageIcon::Exclamation);
    }

    TempDir m_out;
};

// Files larger than the limit cannot be written while this lives, as on a full disk;
// the process is not killed for trying.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        signal(SIGXFSZ, m_previousHandler);
    }

private:
    rlimit m_previous{};
    sighandler_t m_previousHandler;
};

TEST_F(ExtractTest, DisabledUntilAnArchiveWithEntriesIsOpen) {
    OpenArchive("empty.lgp", LgpWriter());
    EXPECT_FALSE(Frame()->IsCommandEnabled(ID_ITEM_EXTRACT));
    OpenPlainArchive();
    EXPECT_TRUE(Frame()->IsCommandEnabled(ID_ITEM_EXTRACT));
}

TEST_F(ExtractTest, SingleFieldEntryAsksBeforeTheDialogAndWritesDecompressedOnYes) {
    OpenFieldArchive();
    Select({0}, 0);
    ordered.messageAnswers.push_back(MessageAnswer::Yes);
    ordered.saveAnswers.push_back(Out("md1stin"));
    const QString paneBefore = PaneText(0);
    Extract();

    EXPECT_EQ(ordered.order,
              (std::vector<std::string>{"message:Decompress compressed files?", "save"}));
    const platform::MessageRequest& question = ordered.messages.at(0);
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.icon, MessageIcon::Question);
    const platform::SaveFileRequest& save = ordered.saveRequests.at(0);
    EXPECT_EQ(save.fileName, "md1stin");
    EXPECT_EQ(save.defaultExtension, "");
    EXPECT_EQ(save.filter, "All files (*.*)|*.*||");
    EXPECT_EQ(save.initialDir, theApp.m_szInitialDir);
    EXPECT_TRUE(save.overwritePrompt);

    EXPECT_EQ(ReadFile(Out("md1stin")), fieldA);
    EXPECT_EQ(PaneText(0), paneBefore);  // the single path leaves the status bar alone
}

TEST_F(ExtractTest, SingleFieldEntryWritesTheStoredBytesOnNo) {
    OpenFieldArchive();
    Select({2}, 2);
    ordered.messageAnswers.push_back(MessageAnswer::No);
    ordered.saveAnswers.push_back(Out("stored"));
    Extract();
    EXPECT_EQ(ReadFile(Out("stored")), storedB);
}

TEST_F(ExtractTest, SinglePlainEntryProposesItsNameAndReplacesAnExistingFile) {
    OpenPlainArchive();
    Select({1}, 1);
    m_out.Write("beta.tex", Bytes(10000, 'x'));
    ordered.saveAnswers.push_back(Out("beta.tex"));
    Extract();

    EXPECT_EQ(ordered.order, (std::vector<std::string>{"save"}));  // no question
    EXPECT_EQ(ordered.saveRequests.at(0).fileName, "beta.tex");
    EXPECT_EQ(ordered.saveRequests.at(0).defaultExtension, "tex");
    EXPECT_EQ(ReadFile(Out("beta.tex")), plain[1]);
    EXPECT_EQ(OutFiles(), (std::vector<std::string>{"beta.tex"}));  // no temporary left

    Select({2}, 2);  // an empty entry is an empty file, not a failed read
    ordered.saveAnswers.push_back(Out("gamma"));
    Extract();
    ASSERT_TRUE(fs::exists(Out("gamma")));
    EXPECT_EQ(fs::file_size(Out("gamma")), 0u);
}

TEST_F(ExtractTest, CancelledDialogsEndQuietly) {
    OpenFieldArchive();
    const QString paneBefore = PaneText(0);
    Select({0}, 0);
    ordered.messageAnswers.push_back(MessageAnswer::Yes);
    ordered.saveAnswers.push_back(std::nullopt);
    Extract();
    Select({0, 2}, 0);
    ordered.folderAnswers.push_back(std::nullopt);
    Extract();

    EXPECT_EQ(ordered.order,
              (std::vector<std::string>{"message:Decompress compressed files?", "save", "folder"}));
    EXPECT_TRUE(OutFiles().empty());
    EXPECT_EQ(PaneText(0), paneBefore);
}

TEST_F(ExtractTest, OneEntryIsTheMarkedRowEvenWhenItIsNotSelected) {
    OpenPlainArchive();
    Select({}, 0);
    ordered.saveAnswers.push_back(Out("first"));
    Extract();
    EXPECT_EQ(ReadFile(Out("first")), plain[0]);

    // A single selected row decides over the mark elsewhere (left by a Ctrl+click that
    // deselected it).
    Select({2}, 1);
    ordered.saveAnswers.push_back(Out("second"));
    Extract();
    EXPECT_EQ(ReadFile(Out("second")), plain[2]);
}

TEST_F(ExtractTest, OneSelectedRowWithoutAMarkIsTheEntry) {
    OpenPlainArchive();
    List().SelectRows({1});
    List().selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    ASSERT_EQ(List().GetSelectionMark(), -1);
    ordered.saveAnswers.push_back(Out("picked"));
    Extract();
    EXPECT_EQ(ordered.saveRequests.at(0).fileName, "beta.tex");
    EXPECT_EQ(ReadFile(Out("picked")), plain[1]);
}

TEST_F(ExtractTest, NoSelectionAndNoMarkDoesNothing) {
    OpenFieldArchive();
    ASSERT_EQ(List().GetSelectionMark(), -1);
    ASSERT_EQ(List().GetSelectedCount(), 0);
    const QString paneBefore = PaneText(0);
    Extract();
    EXPECT_TRUE(ordered.order.empty());
    EXPECT_EQ(PaneText(0), paneBefore);
}

TEST_F(ExtractTest, SingleTargetThatCannotBeCreatedIsReportedAndTouchesNothing) {
    OpenPlainArchive();
    Select({0}, 0);
    // A regular file where the folder should be, then a folder where the file should
    // be: neither can be overridden, not even by root.
    m_out.Write("notafolder", Bytes{'k', 'e', 'e', 'p'});
    fs::create_directory(Out("taken"));
    m_out.Write("taken/inside", Bytes{'i'});
    ordered.saveAnswers.push_back(Out("notafolder") + "/alpha.txt");
    ordered.saveAnswers.push_back(Out("taken"));
    Extract();
    Extract();

    ASSERT_EQ(ordered.messages.size(), 2u);
    ExpectFailedToExtract(0);
    ExpectFailedToExtract(1);
    EXPECT_TRUE(ordered.fileErrors.empty());
    EXPECT_EQ(ReadFile(Out("notafolder")), (Bytes{'k', 'e', 'e', 'p'}));
    EXPECT_TRUE(fs::is_directory(Out("taken")));
    EXPECT_EQ(ReadFile(Out("taken/inside")), Bytes{'i'});
    EXPECT_EQ(OutFiles(), (std::vector<std::string>{"notafolder", "taken"}));
}

TEST_F(ExtractTest, SingleWriteErrorIsReportedWithTheFileAndKeepsTheOldFile) {
    OpenPlainArchive();
    Select({1}, 1);
    m_out.Write("beta.tex", Bytes{'o', 'l', 'd'});
    ordered.saveAnswers.push_back(Out("beta.tex"));
    {
        FileSizeLimit limit(1000);  // beta.tex holds 3,000 bytes
        Extract();
    }
    ASSERT_EQ(ordered.messages.size(), 1u);
    ExpectFailedToExtract(0, "beta.tex: cannot write " + Out("beta.tex") + ": ");
    EXPECT_EQ(ReadFile(Out("beta.tex")), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(OutFiles(), (std::vector<std::string>{"beta.tex"}));
}

TEST_F(ExtractTest, DialogsStartWhereTheLastExtractionWent) {
    OpenPlainArchive();
    const std::string archiveFolder = theApp.m_szInitialDir;
    TempDir other;
    Select({0}, 0);
    ordered.saveAnswers.push_back(Out("alpha.txt"));
    Extract();
    Select({0, 1}, 0);
    ordered.folderAnswers.push_back(other.Path());
    Extract();
    Select({1}, 1);
    Extract();  // the save dialog cancelled
    ASSERT_EQ(ordered.saveRequests.size(), 2u);
    ASSERT_EQ(ordered.folderRequests.size(), 1u);
    EXPECT_EQ(ordered.saveRequests[0].initialDir, archiveFolder);
    EXPECT_EQ(ordered.folderRequests[0].initialDir, m_out.Path() + "/");
    EXPECT_EQ(ordered.saveRequests[1].initialDir, other.Path());
}

TEST_F(ExtractTest, ManyPlainEntriesGoIntoTheFolderWithoutAQuestion) {
    OpenPlainArchive();
    Select({0, 1, 2}, 2);
    ordered.folderAnswers.push_back(m_out.Path());
    PaneTexts pane(Frame()->m_wndStatusBar.GetPane(0));
    Extract();

    EXPECT_EQ(ordered.order, (std::vector<std::string>{"folder"}));
    EXPECT_EQ(ordered.folderRequests.at(0).title,
              "Please specify where to place the extracted files.");
    EXPECT_EQ(OutFiles(), (std::vector<std::string>{"alpha.txt", "beta.tex", "gamma"}));
    EXPECT_EQ(ReadFile(Out("alpha.txt")), plain[0]);
    EXPECT_EQ(ReadFile(Out("beta.tex")), plain[1]);
    EXPECT_EQ(ReadFile(Out("gamma")), plain[2]);
    // Painted as the eye can follow, not for every entry.
    EXPECT_EQ(pane.texts.front(), "Extracting alpha.txt...");
    EXPECT_EQ(pane.texts.back(), "Successfully extracted 3 files.");
}

TEST_F(ExtractTest, ManyFieldEntriesAskOnceAtTheFirstFieldAndKeepTheAnswer) {
    for (MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
        SCOPED_TRACE(answer == MessageAnswer::Yes ? "Yes" : "No");
        OpenFieldArchive();
        Select({0, 1, 2}, 0);
        TempDir out;
        ordered.folderAnswers.push_back(out.Path() + "/");  // already ends in a separator
        ordered.messageAnswers.push_back(answer);
        Extract();

        EXPECT_EQ(ordered.order,
                  (std::vector<std::string>{"folder", "message:Decompress compressed files?"}));
        EXPECT_EQ(ordered.paneAtMessage.at(0), "Extracting md1stin...");
        const bool yes = answer == MessageAnswer::Yes;
        EXPECT_EQ(ReadFile(out.File("md1stin")), yes ? fieldA : storedA);
        EXPECT_EQ(ReadFile(out.File("md1_1")), yes ? fieldB : storedB);
        EXPECT_EQ(ReadFile(out.File("room.tex")), texture);  // not a field: always as stored
        EXPECT_EQ(PaneText(0), "Successfully extracted 3 files.");
    }
}

TEST_F(ExtractTest, QuestionWaitsForTheFirstFieldEntry) {
    OpenFieldArchive();
    Select({1, 2}, 1);  // room.tex first, then md1_1
    ordered.folderAnswers.push_back(m_out.Path());
    ordered.messageAnswers.push_back(MessageAnswer::Yes);
    Extract();
    ASSERT_EQ(ordered.paneAtMessage.size(), 1u);
    EXPECT_EQ(ordered.paneAtMessage[0], "Extracting md1_1...");
    EXPECT_EQ(ReadFile(Out("md1_1")), fieldB);
}

TEST_F(ExtractTest, ManyEntriesReplaceExistingFilesWhenToldAndASecondNamesakeIsReported) {
    LgpWriter writer;
    writer.Add("same.bin", Bytes{1}).Add("other", Bytes{2}).Add("same.bin", Bytes{3, 3});
    OpenArchive("twins.lgp", writer);
    m_out.Write("other", Bytes(50, 9));
    Select({0, 1, 2}, 0);
    ordered.folderAnswers.push_back(m_out.Path());
    ordered.messageAnswers.push_back(MessageAnswer::Replace);
    Extract();
    ASSERT_EQ(ordered.messages.size(), 2u);  // replace "other"?, then the namesake
    EXPECT_EQ(ordered.messages[0].buttons, MessageButtons::ReplaceSkipAllCancel);
    ExpectFailedToExtract(1, "same.bin: another entry of this run was written to that file.");
    EXPECT_EQ(ordered.messages[1].buttons, MessageButtons::SkipSkipAllCancel);
    EXPECT_EQ(ReadFile(Out("same.bin")), Bytes{1});
    EXPECT_EQ(ReadFile(Out("other")), Bytes{2});
    EXPECT_EQ(OutFiles(), (std::vector<std::string>{"other", "same.bin"}));
}

TEST_F(ExtractTest, AFileThatCannotBeCreatedIsReportedAndTheRestAreWritten) {
    LgpWriter writer;
    for (const char* name : {"e1", "e2", "e3", "e4", "e5"}) {
        writer.AddText(name, name);
    }
    OpenArchive("five.lgp", writer);
    fs::create_directory(Out("e3"));  // a folder in the way of one file
    Select({0, 1, 2, 3, 4}, 0);
    ordered.folderAnswers.push_back(m_out.Path());
    Extract();

    ASSERT_EQ(ordered.messages.size(), 1u);
    ExpectFailedToExtract(0, "e3: cannot write " + Out("e3"));
    EXPECT_TRUE(fs::is_directory(Out("e3")));
    for (const char* name : {"e1", "e2", "e4", "e5"}) {
        EXPECT_EQ(ReadFile(Out(name)), Bytes(name, name + 2)) << name;
    }
    EXPECT_EQ(PaneText(0), "Extracted 4 of 5 files; 1 failed.");
    EXPECT_EQ(OutFiles().size(), 5u);  // no temporaries left
}

TEST_F(ExtractTest, WriteErrorCancelledEndsTheRunAndKeepsTheOldFile) {
    LgpWriter writer;
    writer.Add("small", Bytes(10, 1)).Add("large", Bytes(5000, 2)).Add("after", Bytes(10, 3));
    OpenArchive("disk.lgp", writer);
    m_out.Write("large", Bytes{'o', 'l', 'd'});
    Select({0, 1, 2}, 0);
    ordered.folderAnswers.push_back(m_out.Path());
    ordered.messageAnswers = {MessageAnswer::Replace, MessageAnswer::Cancel};
    {
        FileSizeLimit limit(1000);
        Extract();
    }
    ASSERT_EQ(ordered.messages.size(), 2u);
    ExpectFailedToExtract(1, "large: cannot write " + Out("large"));
    EXPECT_EQ(ReadFile(Out("small")), Bytes(10, 1));
    EXPECT_EQ(ReadFile(Out("large")), (Bytes{'o', 'l', 'd'}));
    EXPECT_FALSE(fs::exists(Out("after")));
    EXPECT_EQ(PaneText(0), "Extraction cancelled after 1 of 3 files; 1 failed.");
    EXPECT_EQ(OutFiles(), (std::vector<std::string>{"large", "small"}));
}

TEST_F(ExtractTest, UnsafeNamesAreRefusedAndNothingLandsOutsideTheFolder) {
    LgpWriter writer;
    writer.AddText("../escape", "bad")
        .AddText("..", "bad")
        .AddText(".", "bad")
        .AddText("sub/x", "bad")
        .AddText("empty-name", "bad")
        .AddText("fine.txt", "good");
    writer.SetRawName(4, Bytes(20, 0));
    OpenArchive("hostile.lgp", writer);
    const std::string inner = Out("inner");
    fs::create_directory(inner);
    Select({0, 1, 2, 3, 4, 5}, 0);
    ordered.folderAnswers.push_back(inner);
    Extract();

    ASSERT_EQ(ordered.messages.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        ExpectFailedToExtract(i);
    }
    EXPECT_EQ(ReadFile(inner + "/fine.txt"), (Bytes{'g', 'o', 'o', 'd'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(inner), fs::directory_iterator()), 1);
    EXPECT_EQ(OutFiles(), (std::vector<std::string>{"inner"}));
    EXPECT_EQ(PaneText(0), "Extracted 1 of 6 files; 5 failed.");

    // One unsafe entry alone: refused before anything is asked.
    Select({0}, 0);
    ordered.Forget();
    Extract();
    EXPECT_EQ(ordered.order,
              (std::vector<std::string>{
                  "message:Failed to extract file ../escape: not a plain file name."}));
    EXPECT_TRUE(ordered.saveRequests.empty());
}

TEST_F(ExtractTest, TheOpenArchiveIsNeverReplacedByOneOfItsEntries) {
    // Extracted beside itself, an entry named as the archive would replace the file that
    // the later entries are still to be read from.
    LgpWriter writer;
    writer.AddText("a.txt", "first").AddText("pack.lgp", "X").AddText("b.txt", "last");
    OpenArchive("pack.lgp", writer);
    const Bytes archiveBytes = ReadFile(archivePath);
    const std::string folder = fs::path(archivePath).parent_path().string();

    Select({0, 1, 2}, 0);
    ordered.folderAnswers.push_back(folder);
    Extract();
    ASSERT_EQ(ordered.messages.size(), 1u);
    ExpectFailedToExtract(0, "pack.lgp: that file is the archive being read.");
    EXPECT_EQ(ordered.paneAtMessage[0], "Extracting pack.lgp...");
    EXPECT_EQ(ReadFile(archivePath), archiveBytes);
    EXPECT_EQ(ReadFile(folder + "/a.txt"), (Bytes{'f', 'i', 'r', 's', 't'}));
    EXPECT_EQ(ReadFile(folder + "/b.txt"), (Bytes{'l', 'a', 's', 't'}));

    // Nor through the save dialog, under another spelling of its path.
    ordered.Forget();
    Select({1}, 1);
    ordered.saveAnswers.push_back(folder + "/./pack.lgp");
    Extract();
    ASSERT_EQ(ordered.messages.size(), 1u);
    ExpectFailedToExtract(0);
    EXPECT_EQ(ReadFile(archivePath), archiveBytes);
}

TEST_F(ExtractTest, NamesPastAsciiAreWrittenAsTheIndexShowsThem) {
    LgpWriter writer;
    writer.AddText("first", "one").AddText("second", "two");
    writer.SetRawName(0, Bytes{'c', 'a', 'f', 0xE9, '.', 't', 'x', 't', 0});
    writer.SetRawName(1, Bytes{0xC4, 'r', 'a', '.', 0xE4, 0});
    OpenArchive("accents.lgp", writer);
    ASSERT_EQ(List().GetModel()->Row(0).name, QStringLiteral("caf\u00E9.txt"));
    const std::string cafe = "caf\xC3\xA9.txt";  // in UTF-8, as paths are
    const std::string ara = "\xC3\x84ra.\xC3\xA4";

    Select({0, 1}, 0);
    ordered.folderAnswers.push_back(m_out.Path());
    Extract();
    EXPECT_EQ(OutFiles(), (std::vector<std::string>{cafe, ara}));
    EXPECT_EQ(ReadFile(Out(cafe)), (Bytes{'o', 'n', 'e'}));

    Select({1}, 1);
    ordered.saveAnswers.push_back(Out("chosen"));
    Extract();
    ASSERT_EQ(ordered.saveRequests.size(), 1u);
    EXPECT_EQ(ordered.saveRequests[0].fileName, ara);
    EXPECT_EQ(ordered.saveRequests[0].defaultExtension, "\xC3\xA4");
    EXPECT_EQ(ReadFile(Out("chosen")), (Bytes{'t', 'w', 'o'}));
}

TEST_F(ExtractTest, EntriesTheArchiveHoldsOnlyInPartAreFailuresNotShortFiles) {
    // Cut inside the second entry's data: its end and the third entry's header and data
    // are missing.
    LgpWriter writer;
    writer.Add("md1stin", LzssCompressEntry(FieldFile(0x001F)))
        .Add("cut.tex", Bytes(100, 7))
        .Add("md1_1", LzssCompressEntry(FieldFile(0x7C00)));
    const Bytes whole = writer.Build();
    archivePath = m_dir.Write("flevel.lgp", Truncated(whole, writer.DataOffset(1) + 24 + 50));
    ordered.openAnswers.push_back(archivePath);
    Frame()->SendCommand(ID_FILE_OPEN);
    ASSERT_EQ(theArchive.GetArchivePath(), archivePath);
    ordered.Forget();
    m_out.Write("cut.tex", Bytes{'o', 'l', 'd'});

    for (MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
        ordered.Forget();
        fs::remove(Out("md1stin"));  // or the second round asks whether to replace it
        Select({0, 1, 2}, 0);
        ordered.folderAnswers.push_back(m_out.Path());
        ordered.messageAnswers.push_back(answer);
        Extract();
        ASSERT_EQ(ordered.messages.size(), 3u);  // the question, then two failures
        ExpectFailedToExtract(1);
        ExpectFailedToExtract(2);
        EXPECT_EQ(ordered.paneAtMessage[1], "Extracting cut.tex...");
        EXPECT_EQ(ordered.paneAtMessage[2], "Extracting md1_1...");
        EXPECT_EQ(OutFiles(), (std::vector<std::string>{"cut.tex", "md1stin"}));
        EXPECT_EQ(ReadFile(Out("cut.tex")), (Bytes{'o', 'l', 'd'}));
    }

    // One at a time: told before the save dialog.
    for (int row : {1, 2}) {
        ordered.Forget();
        Select({row}, row);
        ordered.messageAnswers.push_back(MessageAnswer::Yes);
        ordered.saveAnswers.push_back(Out("single"));
        Extract();
        EXPECT_TRUE(ordered.saveRequests.empty());
        EXPECT_FALSE(fs::exists(Out("single")));
    }
}

TEST_F(ExtractTest, ArchiveGoneSinceItWasOpenedIsAFailureNotAnEmptyFile) {
    OpenFieldArchive();
    m_out.Write("room.tex", Bytes{'k', 'e', 'e', 'p'});
    fs::remove(archivePath);

    Select({1}, 1);
    ordered.saveAnswers.push_back(Out("room.tex"));
    Extract();
    EXPECT_TRUE(ordered.saveRequests.empty());  // told before choosing a target
    ASSERT_EQ(ordered.messages.size(), 1u);
    ExpectFailedToExtract(0, "room.tex: the archive changed on disk since it was opened.");
    EXPECT_EQ(ReadFile(Out("room.tex")), (Bytes{'k', 'e', 'e', 'p'}));

    ordered.Forget();
    Select({0, 1, 2}, 0);
    ordered.folderAnswers.push_back(m_out.Path());
    ordered.messageAnswers.push_back(MessageAnswer::Yes);
    Extract();
    // One message, and the run stops.
    EXPECT_EQ(ordered.order,
              (std::vector<std::string>{"folder", "message:Decompress compressed files?",
                                        "message:The archive changed on disk since it was "
                                        "opened; the extraction stopped."}));
    EXPECT_EQ(OutFiles(), (std::vector<std::string>{"room.tex"}));
    EXPECT_EQ(ReadFile(Out("room.tex")), (Bytes{'k', 'e', 'e', 'p'}));
    EXPECT_EQ(PaneText(0), "Extracted 0 of 3 files; 3 failed.");
}

// The archive is replaced while the user picks where its entries go: nothing is written.
TEST_F(ExtractTest, ArchiveReplacedWhileTheDialogIsOpenWritesNothing) {
    for (bool many : {false, true}) {
        SCOPED_TRACE(many);
        OpenPlainArchive();
        m_out.Write("alpha.txt", Bytes{'k', 'e', 'e', 'p'});
        ordered.whileDialogOpen = [this] {
            const std::string other = m_dir.Write("other.lgp", ReadFile(archivePath));
            fs::rename(other, archivePath);
        };
        Select(many ? std::vector<int>{0, 1, 2} : std::vector<int>{0}, 0);
        (many ? ordered.folderAnswers : ordered.saveAnswers)
            .push_back(many ? m_out.Path() : Out("alpha.txt"));
        Extract();
        ASSERT_EQ(ordered.messages.size(), 1u);
        if (many) {
            EXPECT_EQ(ordered.messages[0].text,
                      "The archive changed on disk since it was opened; the extraction stopped.");
        } else {
            ExpectFailedToExtract(0, "alpha.txt: the archive changed on disk since it was opened.");
        }
        EXPECT_EQ(OutFiles(), std::vector<std::string>{"alpha.txt"});
        EXPECT_EQ(ReadFile(Out("alpha.txt")), (Bytes{'k', 'e', 'e', 'p'}));
        ordered.Forget();
        ordered.whileDialogOpen = nullptr;
    }
}

}  // namespace
}  // namespace lumo::test
