// SPDX-License-Identifier: MIT
// Rendering a whole sequence, for lumo-cli and File > Export audio.
#include <algorithm>

#include "audio/midi_reader.h"
#include "audio/synth.h"

bool RenderMidi(const uint8_t* midi, size_t size, const std::string& soundFont,
                const std::function<bool(double, double)>& progress, std::vector<int16_t>& pcm,
                std::string* error) {
    pcm.clear();
    MidiInfo info;
    ReadMidi(midi, size, info);  // MidiSynth::Open refuses it when this fails
    // The whole sequence is held in memory, so one that claims to last for hours (a
    // huge delta time, a crawling tempo) is refused rather than rendered.
    if (info.lengthSeconds > kMaxRenderSeconds) {
        if (error) {
            *error = "the sequence lasts " + FormatMinutesSeconds(info.lengthSeconds) +
                     ", longer than the " + FormatMinutesSeconds(kMaxRenderSeconds) +
                     " that is rendered";
        }
        return false;
    }
    std::unique_ptr<MidiSynth> synth = MidiSynth::Open(midi, size, soundFont, error);
    if (!synth) {
        return false;
    }
    const double total = info.lengthSeconds + kMaxReleaseSeconds;
    pcm.reserve(static_cast<size_t>(total * kSynthSampleRate) * kSynthChannels);
    constexpr size_t kChunk = kSynthSampleRate / 10;  // a tenth of a second
    // However the synthesizer reads the sequence, the rendering ends a second after the
    // length the reader found and its tail.
    const auto most = static_cast<size_t>((total + 1) * kSynthSampleRate) * kSynthChannels;
    while (!synth->Finished() && pcm.size() < most) {
        if (progress &&
            !progress(static_cast<double>(synth->FramesRendered()) / kSynthSampleRate, total)) {
            if (error) {
                *error = "cancelled";
            }
            pcm.clear();
            return false;
        }
        const size_t at = pcm.size();
        pcm.resize(at + kChunk * kSynthChannels);
        const size_t frames = synth->Render(pcm.data() + at, kChunk);
        pcm.resize(at + frames * kSynthChannels);
    }
    if (progress) {
        progress(total, total);
    }
    return true;
}
