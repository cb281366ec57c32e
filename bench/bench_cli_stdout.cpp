// SPDX-License-Identifier: MIT
// The whole process as a user gets it: `lumo-cli extract flevel.lgp ENTRY --decompress
// --stdout` of a 48 MiB literal-heavy field against the plain ring decoder program on
// the same stream, both writing to a file, in rounds that take turns at going first.
// Printed: the medians, their ratio (lumo-cli's time over the decoder's) and each side's
// peak memory.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/support/lgp_writer.h"
#include "tests/support/lzss_encoder.h"

namespace {

namespace fs = std::filesystem;
using lumo::test::Bytes;

struct Fixture {
    fs::path root;
    std::string archive;
    std::string stream;
};

// About one reference in eight items, as in text-like entries.
Bytes LiteralHeavyStream(uint32_t size) {
    std::mt19937 random(3);
    lumo::test::LzssStreamWriter writer;
    while (writer.DecodedLength() < size) {
        if (random() % 8 != 0 || writer.DecodedLength() < 64) {
            writer.Literal(static_cast<uint8_t>('a' + random() % 26));
        } else {
            writer.Reference(static_cast<int>(1 + random() % 60), 3 + random() % 16);
        }
    }
    return writer.Stream();
}

const Fixture& Files() {
    static const Fixture fixture = [] {
        Fixture f;
        f.root = fs::temp_directory_path() / ("lumo-bench-stdout-" + std::to_string(getpid()));
        fs::create_directories(f.root);
        const Bytes stream = LiteralHeavyStream(48u << 20);
        f.archive = (f.root / "flevel.lgp").string();
        lumo::test::WriteFile(
            f.archive,
            lumo::test::LgpWriter().Add("md1stin", lumo::test::LzssEntry(stream)).Build());
        f.stream = (f.root / "md1stin.lzss").string();
        lumo::test::WriteFile(f.stream, stream);
        return f;
    }();
    return fixture;
}

struct Run {
    double seconds = -1;
    long peakKiB = 0;
};

// Runs a program with its standard output going to `out`; its time and peak memory.
Run Time(const std::vector<std::string>& args, const std::string& out) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 1);
        std::vector<char*> argv;
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    Run run;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        run.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.peakKiB = usage.ru_maxrss;
    }
    return run;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void BM_StdoutDecompressVersusRingDecoder(benchmark::State& state) {
    const Fixture& f = Files();
    const std::string out = (f.root / "out").string();
    std::vector<double> lumo;
    std::vector<double> ring;
    Run lumoRun;
    Run ringRun;
    for (auto _ : state) {
        for (int side = 0; side < 2; ++side) {
            if ((side == 0) == (lumo.size() % 2 == 0)) {
                lumoRun = Time(
                    {LUMO_CLI_PATH, "extract", f.archive, "md1stin", "--decompress", "--stdout"},
                    out);
            } else {
                ringRun = Time({RING_DECODER_PATH, f.stream}, out);
            }
        }
        if (lumoRun.seconds < 0 || ringRun.seconds < 0) {
            state.SkipWithError("a program failed");
            return;
        }
        lumo.push_back(lumoRun.seconds);
        ring.push_back(ringRun.seconds);
        state.SetIterationTime(lumoRun.seconds);
    }
    state.counters["lumo_median_s"] = Median(lumo);
    state.counters["ring_median_s"] = Median(ring);
    state.counters["ratio"] = Median(lumo) / Median(ring);
    state.counters["lumo_peak_MiB"] = lumoRun.peakKiB / 1024.0;
    state.counters["ring_peak_MiB"] = ringRun.peakKiB / 1024.0;
}

BENCHMARK(BM_StdoutDecompressVersusRingDecoder)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(Files().root);
    return 0;
}
