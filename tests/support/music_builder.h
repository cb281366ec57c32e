// SPDX-License-Identifier: MIT
#pragma once
// Writes the entries of the music, movie and menu archives for tests the way real ones
// look: Standard MIDI Files (big-endian header and track chunks), camera tracks of
// 40-byte frames, and tutorials whose text is in the game's own encoding.
#include <cstdint>
#include <string>
#include <vector>

namespace lumo::test {

using Bytes = std::vector<uint8_t>;

// A MIDI variable-length quantity.
Bytes MidiVarLen(uint32_t value);

// One MTrk chunk's events; each call appends one event after `delta` ticks.
class MidiTrackWriter {
public:
    MidiTrackWriter& Name(const std::string& name);
    MidiTrackWriter& Tempo(uint32_t delta, uint32_t microsPerQuarter);
    MidiTrackWriter& Program(uint32_t delta, uint8_t channel, uint8_t program);
    MidiTrackWriter& NoteOn(uint32_t delta, uint8_t channel, uint8_t key, uint8_t velocity);
    MidiTrackWriter& NoteOff(uint32_t delta, uint8_t channel, uint8_t key);
    // A note-on and its note-off `length` ticks later.
    MidiTrackWriter& Note(uint32_t delta, uint8_t channel, uint8_t key, uint32_t length);
    // Any bytes after the delta: running status, cut events, bad status bytes.
    MidiTrackWriter& Raw(uint32_t delta, const Bytes& bytes);
    MidiTrackWriter& End(uint32_t delta = 0);

    const Bytes& Events() const { return m_events; }

private:
    Bytes m_events;
};

struct MidiFileOptions {
    uint16_t format = 1;
    uint16_t division = 480;
    int claimedTracks = -1;        // the header's track count; -1: the tracks given
    uint32_t headerLength = 6;     // the MThd length field
    int64_t lastChunkLength = -1;  // the last chunk's length field; -1: its real length
};

Bytes BuildMidi(const std::vector<MidiTrackWriter>& tracks, const MidiFileOptions& options = {});

// A format-1 sequence of `seconds` at 120 beats per minute (480 ticks a beat) with
// `channels` tracks, each playing a note every beat on a channel and instrument of
// its own: the benchmark's and the player tests' music.
Bytes BuildSong(int seconds, int channels);

// `frames` camera frames of ten values, value v of frame f being f * 10 + v (so a test
// can tell them apart); with `countHeader` a u32 frame count leads.
Bytes BuildCameraTrack(size_t frames, bool countHeader = false);

// Text in the game's encoding: ' '..'~' as 0x00..0x5E, then the closing 0xFF.
Bytes EncodeGameText(const std::string& text);

// A tutorial: a few command bytes around each text's encoded string.
Bytes BuildTutorial(const std::vector<std::string>& texts);

}  // namespace lumo::test
