// SPDX-License-Identifier: MIT
#pragma once
// What a music entry holds, read from its Standard MIDI File bytes without playing it:
// format, tracks, time division, the tempo map, each track's name and instruments, and
// how long the sequence lasts in ticks and in seconds. Qt-free.
//
// Every byte is untrusted. ReadMidi never reads outside the span it is given; a file it
// cannot read gives a MidiError and nothing else. What it refuses:
//  - no "MThd" chunk at the start, or a header length other than 6;
//  - a format other than 0 (one track) or 1 (tracks played together), or format 0
//    with more than one track;
//  - a division of 0 ticks (a sequence that would never advance);
//  - a chunk whose length runs past the end of the entry (a cut header included);
//  - a track count in the header that differs from the "MTrk" chunks present;
//  - inside a track: a delta time longer than 4 bytes, an event cut short by the end
//    of its chunk, a data byte (below 0x80) before any status byte of the track (there
//    is no running status to repeat), a data byte of 0x80 or more, or a status byte
//    that belongs to a live MIDI stream and not to a file (0xF1-0xFE).
// Running status carries over meta and system exclusive events: writers that rely on
// it exist, and a synthesizer reading the same bytes treats them the same way.
// Chunks other than "MTrk" are skipped, as files may carry their own. A track without
// an end-of-track event ends with its chunk; events after one are ignored.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class MidiError {
    None,
    NoHeader,              // does not start with "MThd"
    HeaderLength,          // header length is not 6
    UnknownFormat,         // format is not 0 or 1, or format 0 has several tracks
    ZeroDivision,          // 0 ticks per quarter note, or an SMPTE rate of 0
    ChunkPastEnd,          // a chunk (or its header) runs past the end of the entry
    TrackCountMismatch,    // the header's track count differs from the MTrk chunks
    RunningStatusAtStart,  // a data byte before any status byte in a track
    BadEvent,              // an event cut short, a bad data or status byte, a long delta
};

// The reason, as the viewers and lumo-cli show it.
const char* DescribeMidiError(MidiError error);

struct MidiTempo {
    uint64_t tick = 0;
    uint32_t microsPerQuarter = 500000;  // 120 beats per minute until the first change
};

struct MidiProgram {
    uint64_t tick = 0;
    uint8_t channel = 0;  // 0-15; 9 is General MIDI's percussion channel
    uint8_t program = 0;  // 0-127
};

struct MidiTrack {
    std::string name;                   // its first track name meta event (0x03), or ""
    std::vector<MidiProgram> programs;  // program changes in order, repeats dropped
    std::vector<uint8_t> channels;      // channels its notes play on, ascending
    uint64_t lengthTicks = 0;           // tick of its last event
    uint32_t noteCount = 0;             // note-ons with a velocity above 0
};

struct MidiInfo {
    uint16_t format = 0;
    uint16_t trackCount = 0;
    uint16_t division = 0;  // as stored: ticks per quarter note, or SMPTE when bit 15 set
    std::vector<MidiTrack> tracks;
    std::vector<MidiTempo> tempos;  // every tempo change of every track, by tick
    uint64_t lengthTicks = 0;       // the longest track
    double lengthSeconds = 0;       // lengthTicks through the tempo map

    bool IsSmpte() const { return (division & 0x8000) != 0; }
    // "480 ticks per quarter note", "25 frames/s x 40 ticks".
    std::string DescribeDivision() const;
    // Where `tick` falls in seconds, with every tempo change before it applied.
    double SecondsAt(uint64_t tick) const;
    // The tick that falls at `seconds` (the inverse of SecondsAt, rounded down).
    uint64_t TickAt(double seconds) const;
};

MidiError ReadMidi(const uint8_t* data, size_t size, MidiInfo& out);

// General MIDI's name of a program (0-127), "Percussion" on channel 9.
const char* GeneralMidiInstrument(uint8_t channel, uint8_t program);

// "3:07" for a length in seconds, rounded to the nearest second.
std::string FormatMinutesSeconds(double seconds);
