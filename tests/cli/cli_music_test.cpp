// SPDX-License-Identifier: MIT
// lumo-cli render and info of music entries: a WAV as long as the sequence, every music
// entry with --all, the properties in text and JSON, and refusals that say why.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/json_reader.h"
#include "tests/cli/run_cli.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/music_builder.h"

using lumo::test::BuildMidi;
using lumo::test::LgpWriter;
using lumo::test::MidiTrackWriter;
using lumo::test::ReadFile;
using lumo::test::TempDir;

namespace {

class CliMusicTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Two beats at 120 a minute, then two at 60: 3 s.
        m_archive = m_dir.Write(
            "midi.lgp", LgpWriter()
                            .Add("tune.mid", BuildMidi({MidiTrackWriter()
                                                            .Tempo(0, 500000)
                                                            .Tempo(960, 1000000)
                                                            .Note(0, 0, 64, 960)
                                                            .End()}))
                            .Add("lying.mid", BuildMidi({MidiTrackWriter().End()}, {1, 480, 2}))
                            .AddText("notes.txt", "hello\n")
                            .Add("path.cam", lumo::test::BuildCameraTrack(4))
                            .Build());
    }
    TempDir m_dir;
    std::string m_archive;
};

uint32_t Le32(const lumo::test::Bytes& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t{b[at + 3]} << 24);
}

}  // namespace

TEST_F(CliMusicTest, RenderWritesAWavAsLongAsTheSequenceAndAllWritesEachTune) {
#ifdef _WIN32
    GTEST_SKIP() << "the Windows build has no synthesizer";
#endif
    CliResult r = RunCli({"render", m_archive, "tune.mid", "-o", m_dir.File("tune.wav")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const lumo::test::Bytes wav = ReadFile(m_dir.File("tune.wav"));
    ASSERT_GT(wav.size(), 44u);
    EXPECT_EQ(Le32(wav, 24), 44100u);
    const double seconds = Le32(wav, 40) / 4.0 / 44100;
    EXPECT_GE(seconds, 3.0 - 0.03);
    EXPECT_LE(seconds, 3.0 + 3.0 + 0.05);

    r = RunCli({"render", m_archive, "--all", "-o", m_dir.File("all")});
    EXPECT_EQ(r.exitCode, 1) << "the lying entry fails";
    EXPECT_TRUE(Contains(r.err, "lying.mid")) << r.err;
    EXPECT_TRUE(Contains(r.err, "track count")) << r.err;
    EXPECT_EQ(ReadFile(m_dir.File("all/tune.mid.wav")), wav);
}

TEST_F(CliMusicTest, InfoGivesLengthTracksFormatAndDivisionAlsoAsJson) {
    CliResult r = RunCli({"info", m_archive, "tune.mid", "lying.mid", "path.cam", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::unique_ptr<JsonValue> info = ParseJson(r.out);
    ASSERT_TRUE(info) << r.out;
    EXPECT_EQ((*info)[size_t{0}]["length"].text, "0:03");
    EXPECT_EQ((*info)[size_t{0}]["seconds"].text, "3.000");
    EXPECT_EQ((*info)[size_t{0}]["tracks"].text, "1");
    EXPECT_EQ((*info)[size_t{0}]["division"].text, "480 ticks per quarter note");
    EXPECT_TRUE(Contains((*info)[size_t{1}]["music"].text, "track count")) << r.out;
    EXPECT_EQ((*info)[size_t{2}]["frames"].text, "4");
    r = RunCli({"verify", "--strict", m_archive});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.out, "lying.mid")) << r.out;
}

TEST_F(CliMusicTest, RefusalsSayWhy) {
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"render", m_archive, "tune.mid", "-o", m_dir.File("t.mp3")}, ".wav"},
        {{"render", m_archive, "tune.mid", "--raw", m_dir.File("t.raw")}, "no raw form"},
        {{"render", m_archive, "tune.mid", "-o", m_dir.File("t.wav"), "--soundfont",
          m_dir.File("none.sf2")},
         "none.sf2"},
        {{"render", m_archive, "notes.txt", "-o", m_dir.File("t.wav"), "--soundfont", "x.sf2"},
         "not a field, music or texture entry"},
    };
    for (const auto& c : cases) {
        CliResult r = RunCli(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.says;
        EXPECT_TRUE(Contains(r.err, c.says)) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("t.wav")));
}
