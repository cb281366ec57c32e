// SPDX-License-Identifier: MIT
// Extract of many entries: failures asked about once each unless the user says otherwise,
// progress with Cancel, and the final status.
#include <QElapsedTimer>
#include <filesystem>

#include "app/lumo_app.h"
#include "tests/commands/extract_fixture.h"

namespace fs = std::filesystem;

namespace lumo::test {
namespace {

using platform::MessageAnswer;

class ExtractRunTest : public ArchiveCommandTest {
protected:
    // `bad` entries named ".." (refused), then `good` plain ones; all of them selected.
    void OpenAndSelect(int bad, int good) {
        LgpWriter writer;
        for (int i = 0; i < bad; ++i) {
            writer.AddText("..", "bad");
        }
        for (int i = 0; i < good; ++i) {
            writer.AddText("g" + std::to_string(i), "good");
        }
        OpenArchive("run.lgp", writer);
        std::vector<int> rows;
        for (int i = 0; i < bad + good; ++i) {
            rows.push_back(i);
        }
        Select(rows, 0);
        ordered.folderAnswers.push_back(m_out.Path());
    }

    size_t OutCount() const {
        return static_cast<size_t>(
            std::distance(fs::directory_iterator(m_out.Path()), fs::directory_iterator()));
    }

    TempDir m_out;
};

TEST_F(ExtractRunTest, AnswersToAFailureDecideWhatFollows) {
    const struct {
        MessageAnswer answer;
        size_t boxes;
        size_t written;
        const char* status;
    } kCases[] = {
        {MessageAnswer::Skip, 40, 2, "Extracted 2 of 42 files; 40 failed."},
        {MessageAnswer::SkipAll, 1, 2, "Extracted 2 of 42 files; 40 failed."},
        {MessageAnswer::Cancel, 1, 0, "Extraction cancelled after 0 of 42 files; 1 failed."},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        fs::remove_all(m_out.Path());
        fs::create_directory(m_out.Path());
        OpenAndSelect(40, 2);
        for (int i = 0; i < 40; ++i) {
            ordered.messageAnswers.push_back(c.answer);
        }
        Frame()->SendCommand(ID_ITEM_EXTRACT);
        EXPECT_EQ(ordered.messages.size(), c.boxes);
        EXPECT_EQ(ordered.messages.at(0).text, "Failed to extract file ..: not a plain file name.");
        EXPECT_EQ(OutCount(), c.written);
        EXPECT_EQ(PaneText(0), c.status);
        ordered.messageAnswers.clear();
    }
}

TEST_F(ExtractRunTest, CancelInTheProgressStopsWithNothingHalfWritten) {
    OpenAndSelect(0, 5);
    ordered.cancelProgressAt = 2;
    Frame()->SendCommand(ID_ITEM_EXTRACT);
    ASSERT_EQ(ordered.progressRequests.size(), 1u);
    EXPECT_EQ(ordered.progressRequests[0].total, 5u);
    EXPECT_EQ(ordered.progressTexts.front(), "Extracting g0...");
    EXPECT_EQ(OutCount(), 2u);  // g0, g1, and no temporary
    EXPECT_EQ(ReadFile(m_out.File("g1")), (Bytes{'g', 'o', 'o', 'd'}));
    EXPECT_EQ(PaneText(0), "Extraction cancelled after 2 of 5 files; 0 failed.");
}

TEST_F(ExtractRunTest, FilesInTheFolderAreReplacedOnlyWhenTheUserSaysSo) {
    const Bytes old{'o', 'l', 'd'};
    const Bytes good{'g', 'o', 'o', 'd'};
    using A = MessageAnswer;
    const struct {
        std::vector<A> answers;
        size_t questions;
        std::vector<bool> replaced;  // g0..g3
        const char* status;
    } kCases[] = {
        {{A::Replace, A::Skip, A::Replace, A::Skip},
         4,
         {true, false, true, false},
         "Extracted 2 of 4 files; 0 failed. 2 existing files kept."},
        {{A::ReplaceAll}, 1, {true, true, true, true}, "Successfully extracted 4 files."},
        {{A::Skip, A::SkipAll},
         2,
         {false, false, false, false},
         "Extracted 0 of 4 files; 0 failed. 4 existing files kept."},
        {{A::Replace, A::Cancel},
         2,
         {true, false, false, false},
         "Extraction cancelled after 1 of 4 files; 0 failed. 1 existing file kept."},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.status);
        fs::remove_all(m_out.Path());
        fs::create_directory(m_out.Path());
        for (int i = 0; i < 4; ++i) {
            WriteFile(m_out.File("g" + std::to_string(i)), old);
        }
        OpenAndSelect(0, 4);
        ordered.messageAnswers.assign(c.answers.begin(), c.answers.end());
        Frame()->SendCommand(ID_ITEM_EXTRACT);
        ASSERT_EQ(ordered.messages.size(), c.questions);
        EXPECT_EQ(ordered.messages[0].text,
                  "The file " + m_out.File("g0") + " exists already. Replace it?");
        EXPECT_EQ(ordered.messages[0].buttons, platform::MessageButtons::ReplaceSkipAllCancel);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(ReadFile(m_out.File("g" + std::to_string(i))), c.replaced[i] ? good : old)
                << i;
        }
        EXPECT_EQ(OutCount(), 4u);
        EXPECT_EQ(PaneText(0), c.status);
    }
}

TEST_F(ExtractRunTest, ProgressTextsComeAtMostThirtyTimesASecond) {
    OpenAndSelect(0, 2000);
    QElapsedTimer clock;
    clock.start();
    Frame()->SendCommand(ID_ITEM_EXTRACT);
    ASSERT_EQ(PaneText(0), "Successfully extracted 2000 files.");
    EXPECT_LE(ordered.progressTexts.size(), 2 + static_cast<size_t>(clock.elapsed() / 30));
    EXPECT_EQ(ordered.progressTexts.front(), "Extracting g0...");
}

}  // namespace
}  // namespace lumo::test
