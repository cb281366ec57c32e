// SPDX-License-Identifier: MIT
// MidiSynth on FluidSynth: a synthesizer and a MIDI file player driven by sample
// timing, read out in float and turned into 16-bit samples here, so silence is exact
// zeros (FluidSynth's own 16-bit output adds dither noise).
#include <dlfcn.h>
#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <mutex>

#include "audio/midi_reader.h"
#include "audio/synth.h"

namespace {

constexpr size_t kBlock = 1024;

// FluidSynth and what it brings (sound servers, GLib) take longer to load than most of
// this program's runs take: it is loaded on first use, not at every start.
#define LUMO_FLUID_CALLS(X)          \
    X(delete_fluid_player)           \
    X(delete_fluid_settings)         \
    X(delete_fluid_synth)            \
    X(fluid_player_add_mem)          \
    X(fluid_player_get_current_tick) \
    X(fluid_player_get_status)       \
    X(fluid_player_play)             \
    X(fluid_player_seek)             \
    X(fluid_set_log_function)        \
    X(fluid_settings_setint)         \
    X(fluid_settings_setnum)         \
    X(fluid_settings_setstr)         \
    X(fluid_synth_all_sounds_off)    \
    X(fluid_synth_sfload)            \
    X(fluid_synth_write_float)       \
    X(new_fluid_player)              \
    X(new_fluid_settings)            \
    X(new_fluid_synth)

struct FluidCalls {
#define LUMO_FLUID_FIELD(name) decltype(&::name) name = nullptr;
    LUMO_FLUID_CALLS(LUMO_FLUID_FIELD)
#undef LUMO_FLUID_FIELD
    bool loaded = false;
};

FluidCalls LoadFluid() {
    FluidCalls calls;
    void* library = dlopen(LUMO_FLUIDSYNTH_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return calls;
    }
    calls.loaded = true;
#define LUMO_FLUID_LOAD(name)                                                   \
    calls.name = reinterpret_cast<decltype(calls.name)>(dlsym(library, #name)); \
    calls.loaded = calls.loaded && calls.name != nullptr;
    LUMO_FLUID_CALLS(LUMO_FLUID_LOAD)
#undef LUMO_FLUID_LOAD
    return calls;  // the library stays loaded for the rest of the run
}

const FluidCalls& Fluid() {
    static const FluidCalls calls = LoadFluid();
    return calls;
}

void QuietLogs() {
    static std::once_flag once;
    std::call_once(once, [] {
        // The reasons reach the user through our own messages; FluidSynth's would
        // only repeat them on standard error.
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
            Fluid().fluid_set_log_function(level, nullptr, nullptr);
        }
    });
}

int16_t ToSample(float v) {
    const float scaled = std::round(std::clamp(v, -1.0f, 1.0f) * 32767.0f);
    return static_cast<int16_t>(scaled);
}

class FluidMidiSynth final : public MidiSynth {
public:
    ~FluidMidiSynth() override {
        if (m_player) {
            Fluid().delete_fluid_player(m_player);
        }
        if (m_synth) {
            Fluid().delete_fluid_synth(m_synth);
        }
        if (m_settings) {
            Fluid().delete_fluid_settings(m_settings);
        }
    }

    bool Start(const uint8_t* midi, size_t size, uint64_t endTick, const std::string& soundFont,
               std::string* error) {
        m_midi.assign(midi, midi + size);
        m_endTick = endTick;
        m_settings = Fluid().new_fluid_settings();
        if (m_settings == nullptr) {
            return Fail("cannot start the synthesizer", error);
        }
        Fluid().fluid_settings_setnum(m_settings, "synth.sample-rate", kSynthSampleRate);
        Fluid().fluid_settings_setstr(m_settings, "player.timing-source", "sample");
        Fluid().fluid_settings_setint(m_settings, "synth.lock-memory", 0);
        m_synth = Fluid().new_fluid_synth(m_settings);
        if (m_synth == nullptr) {
            return Fail("cannot start the synthesizer", error);
        }
        if (Fluid().fluid_synth_sfload(m_synth, soundFont.c_str(), 1) == FLUID_FAILED) {
            return Fail("cannot load the SoundFont " + soundFont, error);
        }
        return NewPlayer() || Fail("the synthesizer cannot play this sequence", error);
    }

    size_t Render(int16_t* out, size_t frames) override {
        size_t done = 0;
        while (done < frames && !m_finished) {
            const size_t n = std::min(kBlock, frames - done);
            Fluid().fluid_synth_write_float(m_synth, static_cast<int>(n), m_left, 0, 1, m_right, 0,
                                            1);
            bool silent = true;
            for (size_t i = 0; i < n; ++i) {
                const int16_t l = ToSample(m_left[i]);
                const int16_t r = ToSample(m_right[i]);
                out[2 * (done + i)] = l;
                out[2 * (done + i) + 1] = r;
                silent = silent && l == 0 && r == 0;
            }
            done += n;
            m_frames += n;
            Advance(n, silent);
        }
        return done;
    }

    void Seek(uint64_t tick) override {
        Fluid().fluid_synth_all_sounds_off(m_synth, -1);
        m_tailFrames = 0;
        m_frames = 0;
        if (!m_player || m_finished ||
            Fluid().fluid_player_get_status(m_player) != FLUID_PLAYER_PLAYING) {
            if (m_player) {
                Fluid().delete_fluid_player(m_player);
            }
            m_player = nullptr;
            if (!NewPlayer()) {
                m_finished = true;  // nothing more will play
                return;
            }
        }
        Fluid().fluid_player_seek(m_player, static_cast<int>(std::min<uint64_t>(tick, INT32_MAX)));
        m_finished = false;
    }

    uint64_t FramesRendered() const override { return m_frames; }
    bool Finished() const override { return m_finished; }

private:
    static bool Fail(const std::string& reason, std::string* error) {
        if (error) {
            *error = reason;
        }
        return false;
    }

    bool NewPlayer() {
        m_player = Fluid().new_fluid_player(m_synth);
        return m_player != nullptr &&
               Fluid().fluid_player_add_mem(m_player, m_midi.data(), m_midi.size()) == FLUID_OK &&
               Fluid().fluid_player_play(m_player) == FLUID_OK;
    }

    // Once the last event has played the tail runs until a block is silent or the
    // longest release has passed. The player's own end comes two seconds later (it lets
    // notes ring out by a fixed time), so the sequence's length decides instead.
    void Advance(size_t frames, bool silent) {
        if (Fluid().fluid_player_get_status(m_player) == FLUID_PLAYER_PLAYING &&
            static_cast<uint64_t>(std::max(0, Fluid().fluid_player_get_current_tick(m_player))) <
                m_endTick) {
            return;
        }
        m_tailFrames += frames;
        if (silent || m_tailFrames >= kMaxReleaseSeconds * kSynthSampleRate) {
            m_finished = true;
        }
    }

    std::vector<uint8_t> m_midi;
    uint64_t m_endTick = 0;
    fluid_settings_t* m_settings = nullptr;
    fluid_synth_t* m_synth = nullptr;
    fluid_player_t* m_player = nullptr;
    float m_left[kBlock];
    float m_right[kBlock];
    uint64_t m_frames = 0;
    uint64_t m_tailFrames = 0;
    bool m_finished = false;
};

}  // namespace

bool SynthAvailable() {
    return Fluid().loaded;
}

std::unique_ptr<MidiSynth> MidiSynth::Open(const uint8_t* midi, size_t size,
                                           const std::string& soundFont, std::string* error) {
    if (!Fluid().loaded) {
        if (error) {
            *error = "the synthesizer (FluidSynth) cannot be loaded";
        }
        return nullptr;
    }
    QuietLogs();
    MidiInfo info;
    const MidiError problem = ReadMidi(midi, size, info);
    if (problem != MidiError::None) {
        if (error) {
            *error = DescribeMidiError(problem);
        }
        return nullptr;
    }
    // FluidSynth's player reads SMPTE time as no time at all and plays nothing; saying
    // so beats handing back silence as if it were the music.
    if (info.IsSmpte()) {
        if (error) {
            *error =
                "the synthesizer plays only sequences timed in ticks per quarter note, "
                "not SMPTE frames";
        }
        return nullptr;
    }
    auto synth = std::make_unique<FluidMidiSynth>();
    if (!synth->Start(midi, size, info.lengthTicks, soundFont, error)) {
        return nullptr;
    }
    return synth;
}
