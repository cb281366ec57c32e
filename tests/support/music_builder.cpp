// SPDX-License-Identifier: MIT
#include "tests/support/music_builder.h"

namespace lumo::test {

namespace {

void AppendBe(Bytes& out, uint32_t v, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(v >> shift));
    }
}

void AppendLe32(Bytes& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(v >> shift));
    }
}

}  // namespace

Bytes MidiVarLen(uint32_t value) {
    Bytes out{static_cast<uint8_t>(value & 0x7F)};
    while ((value >>= 7) != 0) {
        out.insert(out.begin(), static_cast<uint8_t>(0x80 | (value & 0x7F)));
    }
    return out;
}

MidiTrackWriter& MidiTrackWriter::Raw(uint32_t delta, const Bytes& bytes) {
    const Bytes d = MidiVarLen(delta);
    m_events.insert(m_events.end(), d.begin(), d.end());
    m_events.insert(m_events.end(), bytes.begin(), bytes.end());
    return *this;
}

MidiTrackWriter& MidiTrackWriter::Name(const std::string& name) {
    Bytes meta{0xFF, 0x03};
    const Bytes length = MidiVarLen(static_cast<uint32_t>(name.size()));
    meta.insert(meta.end(), length.begin(), length.end());
    meta.insert(meta.end(), name.begin(), name.end());
    return Raw(0, meta);
}

MidiTrackWriter& MidiTrackWriter::Tempo(uint32_t delta, uint32_t micros) {
    Bytes meta{0xFF, 0x51, 0x03};
    AppendBe(meta, micros, 3);
    return Raw(delta, meta);
}

MidiTrackWriter& MidiTrackWriter::Program(uint32_t delta, uint8_t channel, uint8_t program) {
    return Raw(delta, {static_cast<uint8_t>(0xC0 | channel), program});
}

MidiTrackWriter& MidiTrackWriter::NoteOn(uint32_t delta, uint8_t channel, uint8_t key,
                                         uint8_t velocity) {
    return Raw(delta, {static_cast<uint8_t>(0x90 | channel), key, velocity});
}

MidiTrackWriter& MidiTrackWriter::NoteOff(uint32_t delta, uint8_t channel, uint8_t key) {
    return Raw(delta, {static_cast<uint8_t>(0x80 | channel), key, 0x40});
}

MidiTrackWriter& MidiTrackWriter::Note(uint32_t delta, uint8_t channel, uint8_t key,
                                       uint32_t length) {
    return NoteOn(delta, channel, key, 100).NoteOff(length, channel, key);
}

MidiTrackWriter& MidiTrackWriter::End(uint32_t delta) {
    return Raw(delta, {0xFF, 0x2F, 0x00});
}

Bytes BuildMidi(const std::vector<MidiTrackWriter>& tracks, const MidiFileOptions& options) {
    Bytes out{'M', 'T', 'h', 'd'};
    AppendBe(out, options.headerLength, 4);
    AppendBe(out, options.format, 2);
    const int claimed =
        options.claimedTracks >= 0 ? options.claimedTracks : static_cast<int>(tracks.size());
    AppendBe(out, static_cast<uint32_t>(claimed), 2);
    AppendBe(out, options.division, 2);
    for (size_t i = 0; i < tracks.size(); ++i) {
        const Bytes& events = tracks[i].Events();
        const bool last = i + 1 == tracks.size();
        const uint32_t length = last && options.lastChunkLength >= 0
                                    ? static_cast<uint32_t>(options.lastChunkLength)
                                    : static_cast<uint32_t>(events.size());
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        AppendBe(out, length, 4);
        out.insert(out.end(), events.begin(), events.end());
    }
    return out;
}

Bytes BuildSong(int seconds, int channels) {
    std::vector<MidiTrackWriter> tracks(1);
    tracks[0].Name("Song").Tempo(0, 500000).End(static_cast<uint32_t>(seconds) * 960);
    for (int c = 0; c < channels; ++c) {
        const auto channel = static_cast<uint8_t>(c);
        MidiTrackWriter& track = tracks.emplace_back();
        track.Name("Part " + std::to_string(c + 1))
            .Program(0, channel, static_cast<uint8_t>(c * 8));
        for (int beat = 0; beat < seconds * 2; ++beat) {
            const auto key = static_cast<uint8_t>(48 + (beat * 7 + c * 5) % 36);
            track.Note(beat == 0 ? 0 : 120, channel, key, 360);
        }
        track.End();
    }
    return BuildMidi(tracks);
}

Bytes BuildCameraTrack(size_t frames, bool countHeader) {
    Bytes out;
    if (countHeader) {
        AppendLe32(out, static_cast<uint32_t>(frames));
    }
    for (size_t f = 0; f < frames; ++f) {
        for (uint32_t v = 0; v < 10; ++v) {
            AppendLe32(out, static_cast<uint32_t>(f * 10 + v));
        }
    }
    return out;
}

Bytes EncodeGameText(const std::string& text) {
    Bytes out;
    for (char c : text) {
        out.push_back(static_cast<uint8_t>(static_cast<uint8_t>(c) - 0x20));
    }
    out.push_back(0xFF);
    return out;
}

Bytes BuildTutorial(const std::vector<std::string>& texts) {
    Bytes out;
    for (const std::string& text : texts) {
        // A cursor move and a window command, as the menu byte code might hold them.
        out.insert(out.end(), {0x81, 0x02, 0x90, 0x10, 0x20, 0xA0});
        const Bytes encoded = EncodeGameText(text);
        out.insert(out.end(), encoded.begin(), encoded.end());
    }
    out.push_back(0xC0);
    return out;
}

}  // namespace lumo::test
