// SPDX-License-Identifier: MIT
#pragma once
// Plays a MIDI sequence through FluidSynth into 16-bit stereo PCM, offline: no audio
// driver, the player is driven by the samples asked for, so a sequence renders as fast
// as the CPU allows and the same bytes always give the same samples. The desktop
// player pulls blocks from a MidiSynth as its audio device wants them; lumo-cli and
// File > Export audio render the whole sequence with RenderMidi.
//
// FluidSynth reads the sequence itself; the caller checks it with ReadMidi first, so
// a file the reader refuses is never handed over. Qt-free.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

constexpr int kSynthSampleRate = 44100;
constexpr int kSynthChannels = 2;
// After the last event, notes still sounding die away for at most this long; the tail
// stops earlier once a block is silent.
constexpr double kMaxReleaseSeconds = 3.0;

// False when this build has no synthesizer (a host without FluidSynth), or its library
// cannot be loaded.
bool SynthAvailable();

class MidiSynth {
public:
    // Loads `soundFont` and the sequence; null with `error` when either fails, and for
    // sequences timed in SMPTE frames, which FluidSynth does not play.
    static std::unique_ptr<MidiSynth> Open(const uint8_t* midi, size_t size,
                                           const std::string& soundFont, std::string* error);
    virtual ~MidiSynth() = default;

    // Writes up to `frames` interleaved stereo frames to `out` and returns how many;
    // fewer than asked (0 at last) once the sequence and its release tail are over.
    virtual size_t Render(int16_t* out, size_t frames) = 0;
    // Goes on from `tick`, with every sounding note cut; after the end, starts again.
    virtual void Seek(uint64_t tick) = 0;
    // The frames rendered since the start or the last Seek's point.
    virtual uint64_t FramesRendered() const = 0;
    virtual bool Finished() const = 0;
};

// The longest sequence RenderMidi renders: 20 minutes, about 200 MB of samples.
constexpr double kMaxRenderSeconds = 20 * 60;

// The whole sequence with its tail, interleaved stereo. `progress` (may be empty) is
// told (seconds done, seconds in all) and may return false to stop: false with
// `error` "cancelled". False with `error` when the synthesizer cannot start or the
// sequence lasts longer than kMaxRenderSeconds.
bool RenderMidi(const uint8_t* midi, size_t size, const std::string& soundFont,
                const std::function<bool(double, double)>& progress, std::vector<int16_t>& pcm,
                std::string* error);
