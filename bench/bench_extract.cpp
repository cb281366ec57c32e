// Extract-all of an archive of 65,535 entries against `tar -x` of the same files, on the
// same file system, in rounds that take turns at going first; the medians, their ratio
// and the sync calls per 100 files are printed as counters. The folder is the system's
// temporary folder, or LUMO_BENCH_DIR.
//
// Both inputs are made in memory: writing 65,535 files only to delete them again would
// leave that many recently freed inodes, which ext4 steps around one by one when it next
// allocates, and whichever side ran first would pay for it.
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

#include "extract/extract_engine.h"
#include "tests/support/lgp_writer.h"

namespace {

namespace fs = std::filesystem;
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

// Writes out what earlier steps left dirty, so that neither side pays for the other.
void SettleDisk(const fs::path& root) {
    const std::string sync = "sync -f '" + root.string() + "'";
    if (std::system(sync.c_str()) != 0) {
        std::fprintf(stderr, "sync failed\n");
    }
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double TimeTar(const Fixture& f, const fs::path& out) {
    const auto start = std::chrono::steady_clock::now();
    const std::string untar = "tar -xf '" + f.tarball + "' -C '" + out.string() + "'";
    return std::system(untar.c_str()) == 0 ? Seconds(start) : -1;
}

double TimeLumo(const CLgpArchive& archive, const fs::path& out, unsigned* syncs) {
    std::vector<uint16_t> all(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        all[i] = static_cast<uint16_t>(i);
    }
    extract::Options options;
    options.folder = out.string();
    const auto start = std::chrono::steady_clock::now();
    const extract::Summary summary =
        extract::ExtractEntries(archive, extract::JobsForEntries(all), options);
    const double seconds = Seconds(start);
    *syncs = summary.syncCalls;
    return summary.AllWritten() ? seconds : -1;
}

void BM_ExtractAllVersusTar(benchmark::State& state) {
    const Fixture& f = Files();
    CLgpArchive archive;
    if (archive.Load(f.archive.c_str()) != kEntries) {
        state.SkipWithError("cannot make the test files");
        return;
    }
    std::vector<double> tarTimes;
    std::vector<double> lumoTimes;
    unsigned syncs = 0;
    for (auto _ : state) {
        const int round = static_cast<int>(tarTimes.size());
        const fs::path tarOut = f.root / ("tar" + std::to_string(round));
        const fs::path lumoOut = f.root / ("lumo" + std::to_string(round));
        fs::create_directories(tarOut);
        fs::create_directories(lumoOut);
        double tar = 0;
        double lumo = 0;
        for (int side = 0; side < 2; ++side) {
            SettleDisk(f.root);
            if ((side == 0) == (round % 2 == 0)) {
                tar = TimeTar(f, tarOut);
            } else {
                lumo = TimeLumo(archive, lumoOut, &syncs);
            }
        }
        if (tar < 0 || lumo < 0) {
            state.SkipWithError(tar < 0 ? "tar failed" : "not every entry was written");
            break;
        }
        tarTimes.push_back(tar);
        lumoTimes.push_back(lumo);
        state.SetIterationTime(lumo);
    }
    const double tar = Median(tarTimes);
    const double lumo = Median(lumoTimes);
    state.counters["tar_median_s"] = tar;
    state.counters["lumo_median_s"] = lumo;
    state.counters["ratio"] = tar > 0 ? lumo / tar : 0;
    state.counters["syncs"] = syncs;
    state.counters["syncs_per_100_files"] = 100.0 * syncs / kEntries;
    for (size_t i = 0; i < tarTimes.size(); ++i) {
        std::fprintf(stderr, "round %zu (%s first): tar %.2f s, lumo %.2f s, ratio %.2f\n", i + 1,
                     i % 2 == 0 ? "tar" : "lumo", tarTimes[i], lumoTimes[i],
                     lumoTimes[i] / tarTimes[i]);
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
