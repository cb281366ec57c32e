// SPDX-License-Identifier: MIT
// The MIDI reader on sequences the builder writes: lengths worked out by hand, what
// a track list shows, and every refusal with its reason.
#include <gtest/gtest.h>

#include "audio/midi_reader.h"
#include "tests/support/music_builder.h"

using lumo::test::BuildMidi;
using lumo::test::Bytes;
using lumo::test::MidiFileOptions;
using lumo::test::MidiTrackWriter;

namespace {

MidiError Read(const Bytes& file, MidiInfo& info) {
    return ReadMidi(file.data(), file.size(), info);
}

}  // namespace

TEST(MidiLength, TempoChangesAreAppliedWhereTheyFall) {
    struct Case {
        const char* what;
        std::vector<MidiTrackWriter> tracks;
        uint16_t division;
        uint64_t ticks;
        double seconds;
    };
    std::vector<Case> cases;
    // No tempo: 120 beats a minute. 960 ticks at 480 a beat = 2 beats = 1 s.
    cases.push_back(
        {"default tempo", {MidiTrackWriter().Note(0, 0, 60, 960).End()}, 480, 960, 1.0});
    // 2 beats at 0.5 s, then 2 beats at 0.25 s, then 1 beat at 1 s: 1 + 0.5 + 1 = 2.5 s.
    cases.push_back(
        {"changes in the tempo track",
         {MidiTrackWriter().Tempo(0, 500000).Tempo(960, 250000).Tempo(960, 1000000).End(480),
          MidiTrackWriter().Note(0, 0, 60, 2400).End()},
         480,
         2400,
         2.5});
    // A change in a later track counts for all: 96 ticks at 0.5 s a beat of 96 = 0.5 s,
    // then 192 ticks at 1.5 s a beat = 3 s.
    cases.push_back(
        {"change in another track",
         {MidiTrackWriter().End(), MidiTrackWriter().Tempo(96, 1500000).Note(0, 0, 60, 192).End()},
         96,
         288,
         3.5});
    // SMPTE: -25 frames a second, 40 ticks a frame = 1000 ticks a second; tempo ignored.
    cases.push_back({"SMPTE division",
                     {MidiTrackWriter().Tempo(0, 250000).Note(0, 0, 60, 2500).End()},
                     0xE728,
                     2500,
                     2.5});
    for (Case& c : cases) {
        MidiFileOptions options;
        options.division = c.division;
        MidiInfo info;
        ASSERT_EQ(Read(BuildMidi(c.tracks, options), info), MidiError::None) << c.what;
        EXPECT_EQ(info.lengthTicks, c.ticks) << c.what;
        EXPECT_NEAR(info.lengthSeconds, c.seconds, 1e-9) << c.what;
        EXPECT_NEAR(info.SecondsAt(info.TickAt(c.seconds / 3)), c.seconds / 3, 0.02)
            << c.what;  // within a tick
    }
}

TEST(MidiTracks, NamesInstrumentsAndChannelsAsTheTrackListShowsThem) {
    MidiTrackWriter drums;
    drums.Name("Drums").Program(0, 9, 0).NoteOn(0, 9, 36, 90).Raw(0, {0x26, 0x64}).End();
    MidiTrackWriter strings;
    strings.Name("Strings").Program(0, 2, 48).Program(0, 2, 48).Program(10, 3, 40).End();
    MidiInfo info;
    ASSERT_EQ(Read(BuildMidi({drums, strings}), info), MidiError::None);
    ASSERT_EQ(info.tracks.size(), 2u);
    EXPECT_EQ(info.tracks[0].name, "Drums");
    EXPECT_EQ(info.tracks[0].noteCount, 2u);  // the second by running status
    EXPECT_EQ(info.tracks[0].channels, std::vector<uint8_t>{9});
    ASSERT_EQ(info.tracks[1].programs.size(), 2u);  // the repeat dropped
    EXPECT_STREQ(GeneralMidiInstrument(2, info.tracks[1].programs[0].program), "String Ensemble 1");
    EXPECT_STREQ(GeneralMidiInstrument(3, info.tracks[1].programs[1].program), "Violin");
    EXPECT_STREQ(GeneralMidiInstrument(9, 0), "Percussion");
    EXPECT_EQ(info.DescribeDivision(), "480 ticks per quarter note");
}

TEST(MidiTracks, OtherChunksAreSkippedAndEventsAfterTheEndIgnored) {
    Bytes file = BuildMidi({MidiTrackWriter().Note(0, 0, 60, 100).End().Raw(5000, {0xF8})});
    file.insert(file.begin() + 14, {'X', 'y', 'z', 'w', 0, 0, 0, 2, 0xAA, 0xBB});
    MidiInfo info;
    ASSERT_EQ(Read(file, info), MidiError::None);
    EXPECT_EQ(info.lengthTicks, 100u);
}

TEST(MidiRefusal, HostileFilesGiveTheReason) {
    struct Case {
        const char* what;
        Bytes file;
        MidiError error;
    };
    const std::vector<MidiTrackWriter> one = {MidiTrackWriter().Note(0, 0, 60, 10).End()};
    const std::vector<MidiTrackWriter> two = {MidiTrackWriter().End(), MidiTrackWriter().End()};
    auto with = [](std::vector<MidiTrackWriter> tracks, auto change) {
        MidiFileOptions o;
        change(o);
        return BuildMidi(tracks, o);
    };
    Bytes cutHeader = BuildMidi(one);
    cutHeader.resize(11);
    Bytes cutChunkHeader = BuildMidi(one);
    cutChunkHeader.resize(18);
    const std::vector<Case> cases = {
        {"no MThd", Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 6}, MidiError::NoHeader},
        {"empty", Bytes{}, MidiError::NoHeader},
        {"header length 7", with(one, [](auto& o) { o.headerLength = 7; }),
         MidiError::HeaderLength},
        {"header cut short", cutHeader, MidiError::ChunkPastEnd},
        {"chunk header cut short", cutChunkHeader, MidiError::ChunkPastEnd},
        {"chunk length past the end", with(one, [](auto& o) { o.lastChunkLength = 0xFFFFFFF0; }),
         MidiError::ChunkPastEnd},
        {"count claims more", with(two, [](auto& o) { o.claimedTracks = 3; }),
         MidiError::TrackCountMismatch},
        {"count claims fewer", with(two, [](auto& o) { o.claimedTracks = 1; }),
         MidiError::TrackCountMismatch},
        {"running status at a track's start",
         BuildMidi({MidiTrackWriter().Raw(0, {0x3C, 0x40}).End()}),
         MidiError::RunningStatusAtStart},
        {"division 0", with(one, [](auto& o) { o.division = 0; }), MidiError::ZeroDivision},
        {"SMPTE with 0 ticks a frame", with(one, [](auto& o) { o.division = 0xE700; }),
         MidiError::ZeroDivision},
        {"format 2", with(one, [](auto& o) { o.format = 2; }), MidiError::UnknownFormat},
        {"format 0 with two tracks", with(two, [](auto& o) { o.format = 0; }),
         MidiError::UnknownFormat},
        {"note cut by the chunk's end", BuildMidi({MidiTrackWriter().Raw(0, {0x90, 0x3C})}),
         MidiError::BadEvent},
        {"data byte of 0x80 or more", BuildMidi({MidiTrackWriter().Raw(0, {0x90, 0x3C, 0x90})}),
         MidiError::BadEvent},
        {"live-stream status byte", BuildMidi({MidiTrackWriter().Raw(0, {0xF8}).End()}),
         MidiError::BadEvent},
        {"delta of five bytes",
         BuildMidi({MidiTrackWriter().Raw(0x10000000, {0x90, 0x3C, 0x40}).End()}),
         MidiError::BadEvent},
        {"meta longer than its chunk",
         BuildMidi({MidiTrackWriter().Raw(0, {0xFF, 0x03, 0x7F, 'a'})}), MidiError::BadEvent},
    };
    for (const Case& c : cases) {
        MidiInfo info;
        EXPECT_EQ(Read(c.file, info), c.error)
            << c.what << ": " << DescribeMidiError(Read(c.file, info));
    }
}

TEST(MidiText, LengthsShowAsMinutesAndSeconds) {
    const std::pair<double, const char*> cases[] = {{0, "0:00"},   {59.4, "0:59"}, {59.6, "1:00"},
                                                    {187, "3:07"}, {-5, "0:00"},   {3600, "60:00"}};
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(FormatMinutesSeconds(seconds), text) << seconds;
    }
}
