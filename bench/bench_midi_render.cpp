// SPDX-License-Identifier: MIT
// Rendering music to PCM: a 3-minute sequence on 16 channels, a note a beat on each,
// played through the synthesizer offline with Debian's SoundFont. The "x_real_time"
// counter is the audio's length over the wall-clock time it took: how many times faster
// than playing it is; "x_real_time_cpu" the same over the process's CPU time, which a
// machine busy with other work does not inflate. The SoundFont is loaded inside the
// timing, as every render pays it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

#include "audio/synth.h"
#include "environment/sound_font.h"
#include "tests/support/music_builder.h"

namespace {

void BM_RenderThreeMinutesSixteenChannels(benchmark::State& state) {
    const lumo::test::Bytes song = lumo::test::BuildSong(180, 16);
    const std::string font = FindSoundFont("", nullptr);
    if (font.empty()) {
        state.SkipWithError("no SoundFont installed");
        return;
    }
    double audio = 0;
    double wall = 0;
    double cpu = 0;
    for (auto _ : state) {
        std::vector<int16_t> pcm;
        const std::clock_t cpuStart = std::clock();
        const auto start = std::chrono::steady_clock::now();
        if (!RenderMidi(song.data(), song.size(), font, {}, pcm, nullptr)) {
            state.SkipWithError("the sequence did not render");
            return;
        }
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu += static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        audio += static_cast<double>(pcm.size()) / kSynthChannels / kSynthSampleRate;
        benchmark::DoNotOptimize(pcm.data());
    }
    state.counters["audio_s"] = audio / static_cast<double>(state.iterations());
    state.counters["x_real_time"] = audio / wall;
    state.counters["x_real_time_cpu"] = audio / cpu;
}
BENCHMARK(BM_RenderThreeMinutesSixteenChannels)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
