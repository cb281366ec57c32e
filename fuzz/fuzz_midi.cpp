// SPDX-License-Identifier: MIT
// Reads arbitrary bytes as a MIDI file. The reader must refuse or read, never read
// outside the input; what it reads must hold together: no more tracks than the header
// claims, no track longer than the sequence, the tempo map in tick order, and ticks
// and seconds that map onto each other without going backwards.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "audio/midi_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MidiInfo info;
    if (ReadMidi(data, size, info) != MidiError::None) {
        return 0;
    }
    if (info.tracks.size() != info.trackCount || info.division == 0) {
        abort();
    }
    for (const MidiTrack& track : info.tracks) {
        if (track.lengthTicks > info.lengthTicks) {
            abort();
        }
        for (const MidiProgram& p : track.programs) {
            if (p.channel > 15 || p.program > 127 ||
                GeneralMidiInstrument(p.channel, p.program) == nullptr) {
                abort();
            }
        }
    }
    for (size_t i = 1; i < info.tempos.size(); ++i) {
        if (info.tempos[i].tick < info.tempos[i - 1].tick) {
            abort();
        }
    }
    const double half = info.SecondsAt(info.lengthTicks / 2);
    if (!(half >= 0) || half > info.lengthSeconds || info.TickAt(half) > info.lengthTicks) {
        abort();
    }
    FormatMinutesSeconds(info.lengthSeconds);
    info.DescribeDivision();
    return 0;
}
