// SPDX-License-Identifier: MIT
// The music, camera and tutorial viewers on the offscreen platform, with no audio
// device: what they show, seeking, Export audio with its progress and Cancel, and the
// entries they cannot read.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "app/main_frame.h"
#include "res/resource.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/music_builder.h"
#include "tests/support/qt/shell_test_support.h"
#include "viewers/camera_viewer.h"
#include "viewers/hex_viewer.h"
#include "viewers/music_player.h"
#include "viewers/music_viewer.h"
#include "viewers/tutorial_viewer.h"
#include "viewers/viewer_table.h"

namespace lumo::test {
namespace {

// Strings on a violin and a drum track; two beats at 120 a minute, two at 60: 3 s.
Bytes Duet() {
    MidiTrackWriter strings;
    strings.Name("Strings").Tempo(0, 500000).Tempo(960, 1000000).Program(0, 0, 40);
    strings.Note(0, 0, 67, 960).End();
    MidiTrackWriter drums;
    drums.Name("Drums").Note(0, 9, 36, 480).End();
    return BuildMidi({strings, drums});
}

class MusicViewersTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        CMusicPlayer::PretendNoAudioDevice(true);
    }
    void TearDown() override {
        CMusicPlayer::PretendNoAudioDevice(false);
        ShellTest::TearDown();
    }
    template <class T>
    T* Open(const char* className, const char* title, const Bytes& bytes) {
        auto* viewer = qobject_cast<T*>(Frame()->CreateNewChild(className));
        EXPECT_NE(viewer, nullptr);
        viewer->setWindowTitle(title);
        viewer->LoadEntryData(bytes.data(), static_cast<uint32_t>(bytes.size()));
        Settle();
        return viewer;
    }
    TempDir m_dir;
};

TEST_F(MusicViewersTest, EachEntryTypeOpensInTheViewerThatFitsIt) {
    const std::pair<uint8_t, const char*> cases[] = {
        {5, "CMusicViewer"}, {2, "CCameraViewer"}, {8, "CTutorialViewer"}, {3, "CEditorText"}};
    for (const auto& [type, className] : cases) {
        EXPECT_STREQ(ViewerFor(type).className, className) << int{type};
    }
}

TEST_F(MusicViewersTest, MusicShowsTitleLengthAndTracksAndSaysThereIsNoDevice) {
    auto* viewer = Open<CMusicViewer>("CMusicViewer", "duet.mid", Duet());
    ASSERT_NE(viewer->GetPlayer(), nullptr);
    QTreeWidget* tracks = viewer->GetTrackList();
    ASSERT_EQ(tracks->topLevelItemCount(), 2);
    EXPECT_EQ(tracks->topLevelItem(0)->text(1), "Strings");
    EXPECT_EQ(tracks->topLevelItem(0)->text(2), "Violin");
    EXPECT_EQ(tracks->topLevelItem(1)->text(2), "Percussion");
    EXPECT_TRUE(viewer->findChild<QLabel*>()->text().contains("0:03"));
    EXPECT_TRUE(viewer->GetNotice().contains("no audio device"))
        << viewer->GetNotice().toStdString();
    EXPECT_FALSE(viewer->GetPlayButton()->isEnabled());
    QTest::keyClick(viewer->GetClientWidget(), Qt::Key_Space);
    EXPECT_FALSE(viewer->GetPlayer()->IsPlaying());
    // Seeking still moves the position the next Play would start from.
    viewer->GetPlayer()->Seek(1.5);
    EXPECT_DOUBLE_EQ(viewer->GetPlayer()->Position(), 1.5);
    viewer->GetPlayer()->Seek(99);
    EXPECT_DOUBLE_EQ(viewer->GetPlayer()->Position(), 3.0);
}

TEST_F(MusicViewersTest, ExportAudioWritesTheWavAndCancelLeavesNothing) {
    auto* viewer = Open<CMusicViewer>("CMusicViewer", "duet.mid", Duet());
    const std::string wav = m_dir.File("duet.wav");
    prompts.saveAnswers.push_back(wav);
    Frame()->SendCommand(ID_FILE_EXPORT_AUDIO);
    const Bytes file = ReadFile(wav);
    ASSERT_GT(file.size(), 44u);
    const uint32_t data =
        file[40] | (file[41] << 8) | (file[42] << 16) | (uint32_t{file[43]} << 24);
    EXPECT_GE(data / 4.0 / 44100, 3.0 - 0.03);
    EXPECT_EQ(prompts.saveRequests.back().fileName, "duet.wav");
    ASSERT_EQ(prompts.progressRequests.size(), 1u);

    const std::string cancelled = m_dir.File("cancelled.wav");
    prompts.saveAnswers.push_back(cancelled);
    prompts.cancelProgressAt = 10;  // a second into the music
    Frame()->SendCommand(ID_FILE_EXPORT_AUDIO);
    EXPECT_FALSE(std::filesystem::exists(cancelled));
    EXPECT_TRUE(prompts.messages.empty());

    // The archive the entry came from is never the target, whatever it is called.
    const std::string archive =
        m_dir.Write("midi.wav", LgpWriter().Add("duet.mid", Duet()).Build());
    viewer->SetSourceFile(IdentifyFile(archive));
    prompts.cancelProgressAt.reset();
    prompts.saveAnswers.push_back(archive);
    Frame()->SendCommand(ID_FILE_EXPORT_AUDIO);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].text.find("archive being read"), std::string::npos)
        << prompts.messages[0].text;
    EXPECT_EQ(ReadFile(archive), LgpWriter().Add("duet.mid", Duet()).Build());
}

TEST_F(MusicViewersTest, AnUnreadableSequenceShowsItsBytesAndTheReason) {
    auto* viewer = Open<CMusicViewer>("CMusicViewer", "bad.mid",
                                      BuildMidi({MidiTrackWriter().End()}, {1, 480, 3}));
    EXPECT_EQ(viewer->GetPlayer(), nullptr);
    EXPECT_TRUE(viewer->GetNotice().contains("track count")) << viewer->GetNotice().toStdString();
    EXPECT_NE(viewer->findChild<CHexView*>(), nullptr);
    EXPECT_FALSE(Frame()->SendCommand(ID_FILE_EXPORT_AUDIO));
}

TEST_F(MusicViewersTest, CameraShowsItsFramesOrSaysWhyNot) {
    auto* viewer = Open<CCameraViewer>("CCameraViewer", "a.cam", BuildCameraTrack(5));
    ASSERT_NE(viewer->GetTable(), nullptr);
    QAbstractItemModel* model = viewer->GetTable()->model();
    EXPECT_EQ(model->rowCount(), 5);
    EXPECT_EQ(model->columnCount(), 10);
    EXPECT_EQ(model->index(4, 9).data().toInt(), 49);
    Bytes odd = BuildCameraTrack(2);
    odd.resize(odd.size() - 3);
    auto* bad = Open<CCameraViewer>("CCameraViewer", "b.cam", odd);
    EXPECT_EQ(bad->GetTable(), nullptr);
    EXPECT_TRUE(bad->GetNotice().contains("not a whole number")) << bad->GetNotice().toStdString();
    EXPECT_NE(bad->findChild<CHexView*>(), nullptr);
}

TEST_F(MusicViewersTest, TutorialListsItsTextAndMarksARunsBytes) {
    auto* viewer = Open<CTutorialViewer>("CTutorialViewer", "a.tut",
                                         BuildTutorial({"Press OK.", "Choose Item."}));
    QListWidget* runs = viewer->GetRuns();
    ASSERT_EQ(runs->count(), 2);
    EXPECT_TRUE(runs->item(1)->text().endsWith("Choose Item."))
        << runs->item(1)->text().toStdString();
    runs->setCurrentRow(1);
    EXPECT_EQ(viewer->GetHex()->MarkStart(), viewer->GetTutorial().runs[1].offset);
    EXPECT_EQ(viewer->GetHex()->MarkLength(), 13u);  // the text and its end byte
}

}  // namespace
}  // namespace lumo::test
