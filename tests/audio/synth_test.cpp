// SPDX-License-Identifier: MIT
// Rendering through the synthesizer with Debian's SoundFont, and the files it is
// written to: the audio lasts as long as the sequence (plus the release tail), notes
// sound, a sequence of note-offs only is silence of the right length.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "audio/audio_file.h"
#include "audio/midi_reader.h"
#include "audio/synth.h"
#include "environment/sound_font.h"
#include "tests/support/music_builder.h"

using lumo::test::BuildMidi;
using lumo::test::Bytes;
using lumo::test::MidiTrackWriter;

namespace {

struct Rendered {
    double seconds = 0;
    int peak = 0;
};

Rendered Render(const Bytes& file) {
    std::string error;
    const std::string font = FindSoundFont("", &error);
    EXPECT_FALSE(font.empty()) << error;
    std::vector<int16_t> pcm;
    EXPECT_TRUE(RenderMidi(file.data(), file.size(), font, {}, pcm, &error)) << error;
    Rendered r;
    r.seconds = static_cast<double>(pcm.size()) / kSynthChannels / kSynthSampleRate;
    for (int16_t s : pcm) {
        r.peak = std::max(r.peak, std::abs(int{s}));
    }
    return r;
}

}  // namespace

TEST(SynthRender, AudioLastsTheSequencePlusItsTailAndSoundsOnlyWithNotes) {
    if (!SynthAvailable()) {
        GTEST_SKIP() << "this build has no synthesizer";
    }
    struct Case {
        const char* what;
        Bytes file;
        double seconds;  // the sequence's length
        bool sounds;
    };
    // 1.5 s at 120 beats a minute, then 1 s at 60: 2.5 s.
    const Case cases[] = {
        {"notes with a tempo change",
         BuildMidi(
             {MidiTrackWriter().Tempo(0, 500000).Tempo(1440, 1000000).End(480),
              MidiTrackWriter().Program(0, 0, 0).Note(0, 0, 60, 1440).Note(0, 0, 67, 480).End()}),
         2.5, true},
        {"note-offs only",
         BuildMidi({MidiTrackWriter()
                        .NoteOff(0, 0, 60)
                        .NoteOff(960, 0, 62)
                        .NoteOff(960, 0, 64)
                        .End(960)}),
         3.0, false},
    };
    for (const Case& c : cases) {
        const Rendered r = Render(c.file);
        EXPECT_GE(r.seconds, c.seconds - 0.03) << c.what;
        EXPECT_LE(r.seconds, c.seconds + (c.sounds ? kMaxReleaseSeconds : 0.03) + 0.03) << c.what;
        if (c.sounds) {
            EXPECT_GT(r.peak, 300) << c.what;
        } else {
            EXPECT_EQ(r.peak, 0) << c.what;
        }
    }
}

TEST(SynthRender, RefusesWhatTheReaderRefusesAndAMissingSoundFont) {
    if (!SynthAvailable()) {
        GTEST_SKIP() << "this build has no synthesizer";
    }
    std::string error;
    std::vector<int16_t> pcm;
    const Bytes bad = BuildMidi({MidiTrackWriter().Raw(0, {0x3C, 0x40}).End()});
    EXPECT_FALSE(RenderMidi(bad.data(), bad.size(), FindSoundFont("", nullptr), {}, pcm, &error));
    EXPECT_EQ(error, DescribeMidiError(MidiError::RunningStatusAtStart));
    const Bytes good = BuildMidi({MidiTrackWriter().Note(0, 0, 60, 10).End()});
    EXPECT_FALSE(RenderMidi(good.data(), good.size(), "/nonexistent.sf2", {}, pcm, &error));
    EXPECT_NE(error.find("SoundFont"), std::string::npos);
    lumo::test::MidiFileOptions smpte;
    smpte.division = 0xE728;
    const Bytes frames = BuildMidi({MidiTrackWriter().Note(0, 0, 60, 2000).End()}, smpte);
    EXPECT_FALSE(
        RenderMidi(frames.data(), frames.size(), FindSoundFont("", nullptr), {}, pcm, &error));
    EXPECT_NE(error.find("SMPTE"), std::string::npos) << error;
    // 2^28 ticks at 480 a beat and 16.8 s a beat: over a hundred days.
    const Bytes endless = BuildMidi({MidiTrackWriter().Tempo(0, 0xFFFFFF).End(0x0FFFFFFF)});
    EXPECT_FALSE(
        RenderMidi(endless.data(), endless.size(), FindSoundFont("", nullptr), {}, pcm, &error));
    EXPECT_NE(error.find("longer than"), std::string::npos) << error;
}

TEST(SynthRender, CancelStopsAndSaysSo) {
    if (!SynthAvailable()) {
        GTEST_SKIP() << "this build has no synthesizer";
    }
    const Bytes song = lumo::test::BuildSong(30, 2);
    std::vector<int16_t> pcm;
    std::string error;
    int calls = 0;
    EXPECT_FALSE(RenderMidi(
        song.data(), song.size(), FindSoundFont("", nullptr),
        [&](double, double) { return ++calls < 3; }, pcm, &error));
    EXPECT_EQ(error, "cancelled");
    EXPECT_TRUE(pcm.empty());
}

TEST(AudioFile, WavHeaderDescribesTheSamplesAndTheNameChoosesTheKind) {
    const int16_t samples[] = {1, -1, 300, -300};
    std::vector<uint8_t> wav;
    ASSERT_TRUE(EncodeAudio(AudioFileKind::Wav, samples, 2, 2, 44100, wav, nullptr));
    ASSERT_EQ(wav.size(), 44u + 8);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(wav[4], 44 + 8 - 8);
    EXPECT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data");
    EXPECT_EQ(wav[22], 2);  // channels
    EXPECT_EQ(wav[24] | (wav[25] << 8), 44100 & 0xFFFF);
    EXPECT_EQ(wav[46], 0xFF);  // -1, little-endian
    AudioFileKind kind;
    EXPECT_TRUE(AudioFileKindFor("a/b.WAV", kind, nullptr));
    EXPECT_EQ(kind, AudioFileKind::Wav);
    EXPECT_FALSE(AudioFileKindFor("b.mp3", kind, nullptr));
    EXPECT_FALSE(AudioFileKindFor("wav", kind, nullptr));
    if (FlacAvailable()) {
        std::vector<uint8_t> flac;
        ASSERT_TRUE(AudioFileKindFor("x.flac", kind, nullptr));
        ASSERT_TRUE(EncodeAudio(kind, samples, 2, 2, 44100, flac, nullptr));
        EXPECT_EQ(std::string(flac.begin(), flac.begin() + 4), "fLaC");
    }
}
