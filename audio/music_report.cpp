// SPDX-License-Identifier: MIT
#include "audio/music_report.h"

#include <cstdio>
#include <string>

#include "archive/lgp_archive.h"
#include "audio/midi_reader.h"

namespace {

std::string Problem(const uint8_t* data, size_t size) {
    MidiInfo info;
    const MidiError error = ReadMidi(data, size, info);
    return error == MidiError::None ? "" : std::string("music: ") + DescribeMidiError(error);
}

}  // namespace

void AddMusicProperties(const uint8_t* data, size_t size, PropertyList& out) {
    MidiInfo info;
    const MidiError error = ReadMidi(data, size, info);
    if (error != MidiError::None) {
        out.emplace_back("music", std::string("unreadable: ") + DescribeMidiError(error));
        return;
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", info.lengthSeconds);
    out.emplace_back("length", FormatMinutesSeconds(info.lengthSeconds));
    out.emplace_back("seconds", seconds);
    out.emplace_back("ticks", std::to_string(info.lengthTicks));
    out.emplace_back("tracks", std::to_string(info.trackCount));
    out.emplace_back("format", std::to_string(info.format));
    out.emplace_back("division", info.DescribeDivision());
    out.emplace_back("tempo changes", std::to_string(info.tempos.size()));
}

void RegisterMusicEntries() {
    RegisterEntryKindDecoder({LGP_TYPE_MID, AddMusicProperties, Problem});
}
