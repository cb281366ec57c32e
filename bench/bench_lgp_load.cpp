// SPDX-License-Identifier: MIT
// Opening an archive of 65,535 entries, the most a count can name (its count field's
// upper bytes set, as some writers leave them). The argument is the average entry size
// in bytes: small entries put the data headers close together, larger ones spread them
// over the file.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>

#include "archive/lgp_archive.h"
#include "tests/support/lgp_writer.h"

namespace {

using lumo::test::Bytes;
using lumo::test::LgpWriter;
using lumo::test::TempDir;

const std::string& ArchivePath(int averageSize) {
    static TempDir dir;
    static std::map<int, std::string> paths;
    auto found = paths.find(averageSize);
    if (found != paths.end()) {
        return found->second;
    }
    std::mt19937 random(static_cast<unsigned>(averageSize));
    LgpWriter writer;
    for (int i = 0; i < 65535; ++i) {
        size_t size = averageSize == 0 ? 0 : random() % (2 * static_cast<unsigned>(averageSize));
        writer.Add("entry" + std::to_string(i) + ".p", Bytes(size, static_cast<uint8_t>(i)));
    }
    writer.SetCountUpperBytes(0x0001);
    std::string name = "many-" + std::to_string(averageSize) + ".lgp";
    return paths[averageSize] = dir.Write(name, writer.Build());
}

void BM_LoadMaxEntries(benchmark::State& state) {
    const std::string& path = ArchivePath(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CLgpArchive archive;
        if (archive.Load(path.c_str()) != 65535) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(archive.GetEntrySize(65534));
    }
}

BENCHMARK(BM_LoadMaxEntries)->Arg(0)->Arg(256)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
