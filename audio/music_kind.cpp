// SPDX-License-Identifier: MIT
#include "audio/music_kind.h"

#include <cstdio>
#include <string>

#include "archive/lgp_archive.h"
#include "audio/audio_file.h"
#include "audio/midi_reader.h"
#include "audio/synth.h"
#include "environment/sound_font.h"

namespace {

std::string MusicCheck(const uint8_t* data, size_t size) {
    MidiInfo info;
    const MidiError error = ReadMidi(data, size, info);
    return error == MidiError::None ? "" : std::string("music: ") + DescribeMidiError(error);
}

std::string Render(const uint8_t* data, size_t size, const OutputOptions& options,
                   AudioFileKind kind, std::vector<uint8_t>* out) {
    std::string error;
    const std::string font = FindSoundFont(options.soundFont, &error);
    if (font.empty()) {
        return error;
    }
    std::vector<int16_t> pcm;
    if (!RenderMidi(data, size, font, {}, pcm, &error)) {
        return "cannot render the music: " + error;
    }
    const size_t frames = pcm.size() / kSynthChannels;
    return EncodeAudio(kind, pcm.data(), frames, kSynthChannels, kSynthSampleRate, *out, &error)
               ? ""
               : error;
}

std::string MusicWav(const uint8_t* data, size_t size, const OutputOptions& options,
                     std::vector<uint8_t>* out) {
    return Render(data, size, options, AudioFileKind::Wav, out);
}

std::string MusicFlac(const uint8_t* data, size_t size, const OutputOptions& options,
                      std::vector<uint8_t>* out) {
    return Render(data, size, options, AudioFileKind::Flac, out);
}

}  // namespace

void MusicProperties(const uint8_t* data, size_t size, PropertyList* out) {
    MidiInfo info;
    const MidiError error = ReadMidi(data, size, info);
    if (error != MidiError::None) {
        out->emplace_back("music", std::string("unreadable: ") + DescribeMidiError(error));
        return;
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", info.lengthSeconds);
    out->emplace_back("length", FormatMinutesSeconds(info.lengthSeconds));
    out->emplace_back("seconds", seconds);
    out->emplace_back("ticks", std::to_string(info.lengthTicks));
    out->emplace_back("tracks", std::to_string(info.trackCount));
    out->emplace_back("format", std::to_string(info.format));
    out->emplace_back("division", info.DescribeDivision());
    out->emplace_back("tempo changes", std::to_string(info.tempos.size()));
}

void RegisterMusicKind() {
    EntryKind music{LGP_TYPE_MID, "music", "music", MusicProperties, MusicCheck, {}, true, false};
    music.outputs.push_back({"wav", ".wav", MusicWav});
    if (FlacAvailable()) {
        music.outputs.push_back({"flac", ".flac", MusicFlac});
    }
    RegisterEntryKind(music);
}
