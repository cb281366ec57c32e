// Extract-all of an archive of 65,535 entries against `tar -x` of the same files, in the
// same run, on the same file system: the ratio and the sync calls per 100 files are
// printed as counters. The folder is the system's temporary folder, or LUMO_BENCH_DIR.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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
        fs::create_directories(f.root / "source");
        std::mt19937 random(7);
        LgpWriter writer;
        for (int i = 0; i < kEntries; ++i) {
            const std::string name = "f" + std::to_string(i) + ".p";
            Bytes data(random() % 2048, static_cast<uint8_t>(i));
            writer.Add(name, data);
            lumo::test::WriteFile((f.root / "source" / name).string(), data);
        }
        f.archive = (f.root / "all.lgp").string();
        lumo::test::WriteFile(f.archive, writer.Build());
        f.tarball = (f.root / "all.tar").string();
        const std::string make =
            "tar -cf '" + f.tarball + "' -C '" + (f.root / "source").string() + "' .";
        if (std::system(make.c_str()) != 0) {
            f.tarball.clear();
        }
        fs::remove_all(f.root / "source");
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

void BM_ExtractAllVersusTar(benchmark::State& state) {
    const Fixture& f = Files();
    CLgpArchive archive;
    if (f.tarball.empty() || archive.Load(f.archive.c_str()) != kEntries) {
        state.SkipWithError("cannot make the test files");
        return;
    }
    std::vector<uint16_t> all(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        all[i] = static_cast<uint16_t>(i);
    }
    int run = 0;
    for (auto _ : state) {
        const fs::path tarOut = f.root / ("tar" + std::to_string(run));
        const fs::path lumoOut = f.root / ("lumo" + std::to_string(run++));
        fs::create_directories(tarOut);
        fs::create_directories(lumoOut);
        SettleDisk(f.root);
        auto start = std::chrono::steady_clock::now();
        const std::string untar = "tar -xf '" + f.tarball + "' -C '" + tarOut.string() + "'";
        if (std::system(untar.c_str()) != 0) {
            state.SkipWithError("tar failed");
            break;
        }
        const double tar = Seconds(start);

        extract::Options options;
        options.folder = lumoOut.string();
        SettleDisk(f.root);
        start = std::chrono::steady_clock::now();
        const extract::Summary summary =
            extract::ExtractEntries(archive, extract::JobsForEntries(all), options);
        const double lumo = Seconds(start);
        state.SetIterationTime(lumo);
        state.counters["tar_s"] = tar;
        state.counters["lumo_s"] = lumo;
        state.counters["ratio"] = lumo / tar;
        state.counters["syncs"] = summary.syncCalls;
        state.counters["syncs_per_100_files"] = 100.0 * summary.syncCalls / kEntries;
        if (!summary.AllWritten()) {
            state.SkipWithError("not every entry was written");
        }
    }
}

BENCHMARK(BM_ExtractAllVersusTar)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

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
