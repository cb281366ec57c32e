// SPDX-License-Identifier: MIT
#include "audio/midi_reader.h"

#include <algorithm>
#include <cmath>

#include "platform/byte_cursor.h"

namespace {

constexpr uint8_t kMetaTrackName = 0x03;
constexpr uint8_t kMetaEndOfTrack = 0x2F;
constexpr uint8_t kMetaTempo = 0x51;

bool IdIs(const uint8_t* id, const char* name) {
    return id != nullptr && std::equal(id, id + 4, name);
}

// A variable-length quantity: 7 bits a byte, high bit set on all but the last, at most
// four bytes (28 bits). False when it is longer or cut short.
bool ReadVarLen(ByteCursor& in, uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (!in.Has(1)) {
            return false;
        }
        const uint8_t byte = in.U8();
        value = (value << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0) {
            return true;
        }
    }
    return false;
}

// Data bytes of a channel message: two, except program change and channel pressure.
int DataBytes(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

class TrackReader {
public:
    TrackReader(const uint8_t* data, size_t size, MidiTrack& track, std::vector<MidiTempo>& tempos)
        : m_in(data, size), m_track(track), m_tempos(tempos) {}

    MidiError Read() {
        uint64_t tick = 0;
        while (m_in.Remaining() > 0) {
            uint32_t delta = 0;
            if (!ReadVarLen(m_in, delta) || !m_in.Has(1)) {
                return MidiError::BadEvent;
            }
            tick += delta;
            m_track.lengthTicks = tick;
            uint8_t status = m_in.U8();
            const bool ended = status == 0xFF && m_in.Has(1) && PeekIs(kMetaEndOfTrack);
            MidiError error = Event(status, tick);
            if (error != MidiError::None || ended) {
                return error;
            }
        }
        return MidiError::None;
    }

private:
    bool PeekIs(uint8_t type) {
        ByteCursor peek = m_in;
        return peek.U8() == type;
    }

    MidiError Event(uint8_t status, uint64_t tick) {
        if (status == 0xFF) {
            return Meta(tick);
        }
        if (status == 0xF0 || status == 0xF7) {
            uint32_t length = 0;
            return ReadVarLen(m_in, length) && m_in.Skip(length) ? MidiError::None
                                                                 : MidiError::BadEvent;
        }
        if (status >= 0xF0) {
            return MidiError::BadEvent;
        }
        uint8_t data[2] = {0, 0};
        int have = 0;
        if (status < 0x80) {
            if (m_running == 0) {
                return MidiError::RunningStatusAtStart;
            }
            data[have++] = status;
            status = m_running;
        }
        m_running = status;
        for (; have < DataBytes(status); ++have) {
            if (!m_in.Has(1)) {
                return MidiError::BadEvent;
            }
            data[have] = m_in.U8();
            if (data[have] >= 0x80) {
                return MidiError::BadEvent;
            }
        }
        Channel(status, data, tick);
        return MidiError::None;
    }

    void Channel(uint8_t status, const uint8_t* data, uint64_t tick) {
        const uint8_t channel = status & 0x0F;
        const uint8_t kind = status & 0xF0;
        if (kind == 0x90 && data[1] > 0) {
            ++m_track.noteCount;
            auto& channels = m_track.channels;
            auto at = std::lower_bound(channels.begin(), channels.end(), channel);
            if (at == channels.end() || *at != channel) {
                channels.insert(at, channel);
            }
        } else if (kind == 0xC0) {
            auto& programs = m_track.programs;
            const bool repeat = std::any_of(programs.begin(), programs.end(), [&](auto& p) {
                return p.channel == channel && p.program == data[0];
            });
            if (!repeat) {
                programs.push_back({tick, channel, data[0]});
            }
        }
    }

    MidiError Meta(uint64_t tick) {
        const uint8_t type = m_in.U8();
        uint32_t length = 0;
        if (!m_in.Ok() || !ReadVarLen(m_in, length) || !m_in.Has(length)) {
            return MidiError::BadEvent;
        }
        const uint8_t* body = m_in.Take(length);
        if (type == kMetaTrackName && m_track.name.empty()) {
            m_track.name.assign(reinterpret_cast<const char*>(body), length);
        } else if (type == kMetaTempo && length == 3) {
            const uint32_t micros = (uint32_t{body[0]} << 16) | (uint32_t{body[1]} << 8) | body[2];
            // A tempo of 0 would make every later tick take no time; it is kept out
            // of the map, as a synthesizer cannot play it either.
            if (micros > 0) {
                m_tempos.push_back({tick, micros});
            }
        }
        return MidiError::None;
    }

    ByteCursor m_in;
    MidiTrack& m_track;
    std::vector<MidiTempo>& m_tempos;
    uint8_t m_running = 0;
};

MidiError ReadHeader(ByteCursor& in, MidiInfo& out) {
    if (!IdIs(in.Take(4), "MThd")) {
        return MidiError::NoHeader;
    }
    const uint32_t length = in.U32Be();
    if (!in.Ok()) {
        return MidiError::ChunkPastEnd;
    }
    if (length != 6) {
        return MidiError::HeaderLength;
    }
    out.format = in.U16Be();
    out.trackCount = in.U16Be();
    out.division = in.U16Be();
    if (!in.Ok()) {
        return MidiError::ChunkPastEnd;
    }
    if (out.format > 1 || (out.format == 0 && out.trackCount > 1)) {
        return MidiError::UnknownFormat;
    }
    const bool smpte = (out.division & 0x8000) != 0;
    const bool zero =
        smpte ? (out.division >> 8) == 0x80 || (out.division & 0xFF) == 0 : out.division == 0;
    return zero ? MidiError::ZeroDivision : MidiError::None;
}

// The SMPTE frame rate of a division: its high byte is the negative rate; -29 stands
// for 29.97 frames a second.
double SmpteTicksPerSecond(uint16_t division) {
    const int rate = -static_cast<int8_t>(division >> 8);
    const double fps = rate == 29 ? 30000.0 / 1001.0 : rate;
    return fps * (division & 0xFF);
}

}  // namespace

const char* DescribeMidiError(MidiError error) {
    switch (error) {
        case MidiError::None:
            return "readable";
        case MidiError::NoHeader:
            return "not a MIDI file: it does not start with MThd";
        case MidiError::HeaderLength:
            return "the MIDI header's length is not 6";
        case MidiError::UnknownFormat:
            return "not a MIDI format that can be played (0 with one track, or 1)";
        case MidiError::ZeroDivision:
            return "the time division is 0, so the sequence never advances";
        case MidiError::ChunkPastEnd:
            return "a chunk runs past the end of the entry";
        case MidiError::TrackCountMismatch:
            return "the header's track count differs from the tracks present";
        case MidiError::RunningStatusAtStart:
            return "a track starts with running status (a data byte before any status)";
        case MidiError::BadEvent:
            return "a track holds an event that is cut short or malformed";
    }
    return "unreadable";
}

MidiError ReadMidi(const uint8_t* data, size_t size, MidiInfo& out) {
    out = MidiInfo{};
    ByteCursor in(data, size);
    if (MidiError error = ReadHeader(in, out); error != MidiError::None) {
        return error;
    }
    size_t found = 0;
    while (in.Remaining() > 0) {
        const uint8_t* id = in.Take(4);
        const uint32_t length = in.U32Be();
        if (!in.Ok() || !in.Has(length)) {
            return MidiError::ChunkPastEnd;
        }
        const uint8_t* body = in.Take(length);
        if (!IdIs(id, "MTrk")) {
            continue;
        }
        ++found;
        // The count is checked before each track is kept, so a header that lies
        // cannot make the reader keep more tracks than it claims.
        if (found > out.trackCount) {
            return MidiError::TrackCountMismatch;
        }
        MidiTrack& track = out.tracks.emplace_back();
        MidiError error = TrackReader(body, length, track, out.tempos).Read();
        if (error != MidiError::None) {
            return error;
        }
        out.lengthTicks = std::max(out.lengthTicks, track.lengthTicks);
    }
    if (found != out.trackCount) {
        return MidiError::TrackCountMismatch;
    }
    std::stable_sort(out.tempos.begin(), out.tempos.end(),
                     [](const MidiTempo& a, const MidiTempo& b) { return a.tick < b.tick; });
    out.lengthSeconds = out.SecondsAt(out.lengthTicks);
    return MidiError::None;
}

std::string MidiInfo::DescribeDivision() const {
    if (IsSmpte()) {
        const int rate = -static_cast<int8_t>(division >> 8);
        return (rate == 29 ? std::string("29.97") : std::to_string(rate)) + " frames/s x " +
               std::to_string(division & 0xFF) + " ticks";
    }
    return std::to_string(division) + " ticks per quarter note";
}

double MidiInfo::SecondsAt(uint64_t tick) const {
    if (IsSmpte()) {
        return static_cast<double>(tick) / SmpteTicksPerSecond(division);
    }
    double seconds = 0;
    uint64_t at = 0;
    uint32_t micros = MidiTempo{}.microsPerQuarter;
    for (const MidiTempo& change : tempos) {
        if (change.tick >= tick) {
            break;
        }
        seconds += static_cast<double>(change.tick - at) * micros / (1e6 * division);
        at = change.tick;
        micros = change.microsPerQuarter;
    }
    return seconds + static_cast<double>(tick - at) * micros / (1e6 * division);
}

uint64_t MidiInfo::TickAt(double seconds) const {
    if (!(seconds > 0)) {
        return 0;
    }
    if (IsSmpte()) {
        return static_cast<uint64_t>(seconds * SmpteTicksPerSecond(division));
    }
    double elapsed = 0;
    uint64_t at = 0;
    uint32_t micros = MidiTempo{}.microsPerQuarter;
    for (const MidiTempo& change : tempos) {
        const double span = static_cast<double>(change.tick - at) * micros / (1e6 * division);
        if (elapsed + span > seconds) {
            break;
        }
        elapsed += span;
        at = change.tick;
        micros = change.microsPerQuarter;
    }
    const double ticks = (seconds - elapsed) * 1e6 * division / micros;
    return at + static_cast<uint64_t>(std::min(ticks, 1e18));
}

std::string FormatMinutesSeconds(double seconds) {
    const auto total = static_cast<uint64_t>(std::llround(std::max(0.0, std::min(seconds, 1e12))));
    const uint64_t s = total % 60;
    return std::to_string(total / 60) + (s < 10 ? ":0" : ":") + std::to_string(s);
}
