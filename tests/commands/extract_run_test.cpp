// Extract of many entries: failures asked about once each unless the user says otherwise,
// progress with Cancel, and the final status.
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
        {MessageAnswer::Cancel, 1, 0, "Extracted 0 of 42 files; 1 failed."},
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
    EXPECT_EQ(PaneText(0), "Extracted 2 of 5 files; 0 failed.");
}

}  // namespace
}  // namespace lumo::test
