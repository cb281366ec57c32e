// SPDX-License-Identifier: MIT
// Extract-all of an archive of 65,535 entries with lumo-cli against `tar -x` of the same
// files, each side on a file system made anew for its run (a small ext4 image,
// loop-mounted), in rounds that take turns at going first. Printed: the medians, the
// ratio against `tar -x` alone and against `tar -x` followed by `sync` (tar promises no
// durability; lumo-cli does), and the sync calls per 100 files of the engine.
//
// A fresh file system per run matters: for minutes after a large delete, ext4 steps
// around every recently freed inode when it creates a file, and a side running after the
// other's clean-up would measure that. Mounting needs root; without it the runs go to
// plain folders and the figures are marked unreliable. The images live in the system's
// temporary folder, or LUMO_BENCH_DIR.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "bench/fresh_volume.h"
#include "extract/extract_engine.h"
#include "tests/support/lgp_writer.h"

namespace {

namespace fs = std::filesystem;
using lumo::bench::FreshVolume;
using lumo::bench::Run;
using lumo::test::Bytes;
using lumo::test::LgpWriter;

constexpr int kEntries = 65535;
constexpr int kRounds = 5;

// A POSIX tar (ustar) holding files of the current folder, built in memory.
class TarWriter {
public:
    void Add(const std::string& name, const Bytes& data) {
        char header[512] = {};
        std::snprintf(header, 100, "%s", name.c_str());
        std::snprintf(header + 100, 8, "%07o", 0644);
        std::snprintf(header + 108, 8, "%07o", 0);
        std::snprintf(header + 116, 8, "%07o", 0);
        std::snprintf(header + 124, 12, "%011zo", data.size());
        std::snprintf(header + 136, 12, "%011o", 0);
        header[156] = '0';
        std::memcpy(header + 257, "ustar", 6);
        std::memcpy(header + 263, "00", 2);
        std::memset(header + 148, ' ', 8);
        unsigned sum = 0;
        for (unsigned char c : header) {
            sum += c;
        }
        std::snprintf(header + 148, 8, "%06o", sum);
        m_bytes.insert(m_bytes.end(), header, header + 512);
        m_bytes.insert(m_bytes.end(), data.begin(), data.end());
        m_bytes.resize((m_bytes.size() + 511) / 512 * 512, 0);
    }
    Bytes Finish() {
        m_bytes.resize(m_bytes.size() + 1024, 0);
        return m_bytes;
    }

private:
    Bytes m_bytes;
};

struct Fixture {
    fs::path root;
    std::string archive;
    std::string tarball;
};

// The archive and a tarball of the same files, made once.
const Fixture& Files() {
    static Fixture fixture = [] {
        Fixture f;
        const char* where = std::getenv("LUMO_BENCH_DIR");
        f.root = fs::path(where ? where : fs::temp_directory_path().string()) /
                 ("lumo-bench-extract-" + std::to_string(::getpid()));
        fs::create_directories(f.root);
        std::mt19937 random(7);
        LgpWriter writer;
        TarWriter tar;
        for (int i = 0; i < kEntries; ++i) {
            const std::string name = "f" + std::to_string(i) + ".p";
            Bytes data(random() % 2048, static_cast<uint8_t>(i));
            writer.Add(name, data);
            tar.Add(name, data);
        }
        f.archive = (f.root / "all.lgp").string();
        lumo::test::WriteFile(f.archive, writer.Build());
        f.tarball = (f.root / "all.tar").string();
        lumo::test::WriteFile(f.tarball, tar.Finish());
        return f;
    }();
    return fixture;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

struct TarTimes {
    double extract = -1;
    double withSync = -1;
};

TarTimes TimeTar(const Fixture& f, const fs::path& out) {
    TarTimes times;
    const auto start = std::chrono::steady_clock::now();
    if (Run("tar -xf '" + f.tarball + "' -C '" + out.string() + "'") != 0) {
        return times;
    }
    times.extract = Seconds(start);
    Run("sync -f '" + out.string() + "'");
    times.withSync = Seconds(start);
    return times;
}

double TimeLumoCli(const Fixture& f, const fs::path& out) {
    const auto start = std::chrono::steady_clock::now();
    const bool ok =
        Run("'" LUMO_CLI_PATH "' extract -q '" + f.archive + "' -o '" + out.string() + "'") == 0;
    return ok ? Seconds(start) : -1;
}

// The engine's sync calls for the whole run, in the program itself.
unsigned EngineSyncs(const CLgpArchive& archive, const fs::path& out) {
    std::vector<uint16_t> all(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        all[i] = static_cast<uint16_t>(i);
    }
    extract::Options options;
    options.folder = out.string();
    return extract::ExtractEntries(archive, extract::JobsForEntries(all), options).syncCalls;
}

void BM_ExtractAllVersusTar(benchmark::State& state) {
    const Fixture& f = Files();
    CLgpArchive archive;
    if (archive.Load(f.archive.c_str()) != kEntries) {
        state.SkipWithError("cannot make the test files");
        return;
    }
    std::vector<double> tarTimes;
    std::vector<double> tarSyncTimes;
    std::vector<double> lumoTimes;
    bool mounted = true;
    for (auto _ : state) {
        const int round = static_cast<int>(tarTimes.size());
        TarTimes tar;
        double lumo = 0;
        for (int side = 0; side < 2; ++side) {
            FreshVolume volume(f.root /
                               ("round" + std::to_string(round) + "-" + std::to_string(side)));
            mounted = mounted && volume.Mounted();
            if ((side == 0) == (round % 2 == 0)) {
                tar = TimeTar(f, volume.Folder());
            } else {
                lumo = TimeLumoCli(f, volume.Folder());
            }
        }
        if (tar.extract < 0 || lumo < 0) {
            state.SkipWithError(tar.extract < 0 ? "tar failed" : "lumo-cli extract failed");
            break;
        }
        tarTimes.push_back(tar.extract);
        tarSyncTimes.push_back(tar.withSync);
        lumoTimes.push_back(lumo);
        state.SetIterationTime(lumo);
    }
    unsigned syncs = 0;
    {
        FreshVolume volume(f.root / "syncs");
        syncs = EngineSyncs(archive, volume.Folder());
    }
    const double tar = Median(tarTimes);
    const double tarSync = Median(tarSyncTimes);
    const double lumo = Median(lumoTimes);
    state.counters["tar_median_s"] = tar;
    state.counters["tar_sync_median_s"] = tarSync;
    state.counters["lumo_median_s"] = lumo;
    state.counters["ratio_vs_tar"] = tar > 0 ? lumo / tar : 0;
    state.counters["ratio_vs_tar_sync"] = tarSync > 0 ? lumo / tarSync : 0;
    state.counters["syncs_per_100_files"] = 100.0 * syncs / kEntries;
    for (size_t i = 0; i < tarTimes.size(); ++i) {
        std::fprintf(stderr, "round %zu (%s first): tar %.2f s, tar+sync %.2f s, lumo-cli %.2f s\n",
                     i + 1, i % 2 == 0 ? "tar" : "lumo-cli", tarTimes[i], tarSyncTimes[i],
                     lumoTimes[i]);
    }
    if (!mounted) {
        std::fprintf(stderr,
                     "UNRELIABLE: no fresh file system could be mounted (needs root and "
                     "mkfs.ext4); the runs went to folders on the disk\n");
    }
}

BENCHMARK(BM_ExtractAllVersusTar)
    ->UseManualTime()
    ->Iterations(kRounds)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Files written and synced are slow to delete on some disks; said so, not hidden.
    std::printf("removing the benchmark's files from %s\n", Files().root.c_str());
    fs::remove_all(Files().root);
    return 0;
}
