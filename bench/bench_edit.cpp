// SPDX-License-Identifier: MIT
// Writing archives, each against the simple way of doing the same, as ratios:
//  - the LZSS encoder (optimal parse) against a plain greedy longest-match encoder
//    written here: MB/s and compressed size, on the demo fields and on 4 MiB of text-like
//    and of image-like bytes;
//  - lumo-cli create from a folder of 65,535 small files against tar -c of that folder;
//  - lumo-cli add replacing one entry of a 64 MiB archive (a whole save: written aside,
//    synced, read back, checked, renamed) against cp of the archive followed by sync.
// The file runs go to an ext4 image made anew and loop-mounted for each run (root and
// mkfs.ext4 needed; said so otherwise), in rounds taking turns at going first; the
// medians are printed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "archive/lzss.h"
#include "archive/lzss_encoder.h"
#include "bench/fresh_volume.h"
#include "tests/support/demo/field_scenes.h"
#include "tests/support/lgp_writer.h"

namespace fs = std::filesystem;
using lumo::bench::FreshVolume;
using lumo::bench::Run;
using lumo::test::Bytes;

namespace {

// The plain way: at each position the longest match among recent ones with the same
// three bytes, taken at once.
Bytes GreedyEncode(const Bytes& in) {
    Bytes out;
    std::vector<int> head(1 << 15, -1);
    std::vector<int> previous(in.size(), -1);
    size_t flag = 0;
    int items = 8;
    const auto hash = [&in](size_t i) {
        return ((in[i] << 10) ^ (in[i + 1] << 5) ^ in[i + 2]) & 0x7FFF;
    };
    const auto insert = [&](size_t i) {
        if (i + 3 <= in.size()) {
            previous[i] = head[hash(i)];
            head[hash(i)] = static_cast<int>(i);
        }
    };
    for (size_t i = 0; i < in.size();) {
        size_t bestLength = 0, bestAt = 0;
        if (i + 3 <= in.size()) {
            int tries = 96;
            for (int j = head[hash(i)]; j >= 0 && i - j < 4096 && tries-- > 0; j = previous[j]) {
                size_t n = 0;
                while (n < 18 && i + n < in.size() && in[j + n] == in[i + n]) {
                    ++n;
                }
                if (n > bestLength) {
                    bestLength = n, bestAt = static_cast<size_t>(j);
                }
            }
        }
        if (items == 8) {
            flag = out.size(), items = 0;
            out.push_back(0);
        }
        ++items;
        if (bestLength >= 3) {
            const uint32_t ring = static_cast<uint32_t>(bestAt + 0xFEE) & 0xFFF;
            out.push_back(static_cast<uint8_t>(ring));
            out.push_back(static_cast<uint8_t>((ring >> 8) << 4 | (bestLength - 3)));
        } else {
            out[flag] |= static_cast<uint8_t>(1u << (items - 1));
            out.push_back(in[i]);
            bestLength = 1;
        }
        for (size_t k = 0; k < bestLength; ++k) {
            insert(i + k);
        }
        i += bestLength;
    }
    return out;
}

Bytes TextLike(size_t size) {
    static const char* kWords[] = {"the ",     "field ", "of ",   "cloud ",  "and ", "sword ",
                                   "materia ", "party ", "menu ", "battle ", "\n"};
    std::mt19937 random(3);
    Bytes out;
    while (out.size() < size) {
        const char* word = kWords[random() % 11];
        out.insert(out.end(), word, word + std::char_traits<char>::length(word));
    }
    out.resize(size);
    return out;
}

Bytes ImageLike(size_t size) {
    std::mt19937 random(4);
    Bytes out(size);
    for (size_t i = 0; i < size; ++i) {
        const size_t x = i % 1024, y = i / 1024;
        out[i] = static_cast<uint8_t>((x / 16 + y / 16) % 8 * 24 +
                                      (random() % 8 == 0 ? random() % 4 : 0));
    }
    return out;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void BM_EncoderVersusGreedy(benchmark::State& state) {
    std::vector<std::pair<std::string, Bytes>> inputs;
    for (const auto& field : lumo::test::DemoFields()) {
        inputs.push_back({"field " + field.name, field.file});
    }
    inputs.push_back({"text-like", TextLike(4 << 20)});
    inputs.push_back({"image-like", ImageLike(4 << 20)});
    for (auto _ : state) {
        for (const auto& [name, input] : inputs) {
            std::vector<double> ours, greedy;
            size_t ourSize = 0, greedySize = 0;
            for (int round = 0; round < 3; ++round) {
                auto start = std::chrono::steady_clock::now();
                ourSize = LzssEncode(input.data(), input.size()).size();
                ours.push_back(Seconds(start));
                start = std::chrono::steady_clock::now();
                greedySize = GreedyEncode(input).size();
                greedy.push_back(Seconds(start));
            }
            const double mb = input.size() / 1e6;
            std::printf(
                "%-22s %9zu bytes: ours %9zu (%5.1f MB/s), greedy %9zu (%5.1f MB/s); "
                "size ratio %.3f, time ratio %.2f\n",
                name.c_str(), input.size(), ourSize, mb / Median(ours), greedySize,
                mb / Median(greedy), double(ourSize) / greedySize, Median(ours) / Median(greedy));
        }
    }
}
BENCHMARK(BM_EncoderVersusGreedy)->Iterations(1)->Unit(benchmark::kSecond);

fs::path Root() {
    static const fs::path root = [] {
        fs::path path = fs::temp_directory_path() / ("lumo-bench-edit-" + std::to_string(getpid()));
        fs::create_directories(path);
        return path;
    }();
    return root;
}

// Times `ours` and `theirs` (shell commands, given the fresh folder) in rounds that
// take turns at going first, and prints the medians and their ratio.
void Compare(const char* what, const std::function<std::string(const fs::path&)>& ours,
             const std::function<std::string(const fs::path&)>& theirs, int rounds) {
    std::vector<double> a, b;
    bool mounted = true;
    for (int round = 0; round < rounds; ++round) {
        for (int side = 0; side < 2; ++side) {
            const bool oursNow = (side == 0) == (round % 2 == 0);
            FreshVolume volume(Root() / ("v" + std::to_string(round) + std::to_string(side)));
            mounted = mounted && volume.Mounted();
            const fs::path folder = Root() / ("v" + std::to_string(round) + std::to_string(side));
            const std::string command = oursNow ? ours(folder) : theirs(folder);
            const auto start = std::chrono::steady_clock::now();
            if (Run(command) != 0) {
                std::printf("%s: failed: %s\n", what, command.c_str());
                return;
            }
            (oursNow ? a : b).push_back(Seconds(start));
        }
    }
    std::printf("%s: lumo-cli median %.3f s, the plain way %.3f s, ratio %.2f%s\n", what, Median(a),
                Median(b), Median(a) / Median(b),
                mounted ? "" : " (UNRELIABLE: no fresh file system could be mounted)");
}

void BM_CreateVersusTar(benchmark::State& state) {
    const fs::path source = Root() / "small";
    fs::create_directories(source);
    for (int i = 0; i < 65535; ++i) {
        lumo::test::WriteFile((source / ("f" + std::to_string(i) + ".p")).string(),
                              Bytes(64 + i % 512, static_cast<uint8_t>(i)));
    }
    Run("sync");
    for (auto _ : state) {
        Compare(
            "create from 65,535 small files vs tar -c + sync",
            [&](const fs::path& out) {
                return "'" LUMO_CLI_PATH "' create -q '" + (out / "a.lgp").string() + "' '" +
                       source.string() + "'";
            },
            [&](const fs::path& out) {
                return "tar -cf '" + (out / "a.tar").string() + "' -C '" + source.string() +
                       "' . && sync -f '" + out.string() + "'";
            },
            3);
    }
    fs::remove_all(source);
}
BENCHMARK(BM_CreateVersusTar)->Iterations(1)->Unit(benchmark::kSecond);

void BM_SaveOneReplacedVersusCopy(benchmark::State& state) {
    lumo::test::LgpWriter writer;
    for (int i = 0; i < 64; ++i) {
        writer.Add("e" + std::to_string(i) + ".bin", Bytes(1 << 20, static_cast<uint8_t>(i)));
    }
    const Bytes archive = writer.Build();
    const std::string replacement = (Root() / "one.bin").string();
    lumo::test::WriteFile(replacement, Bytes(1 << 20, 0xAB));
    // The plain way is judged as cp to a new file. A save replaces a file, though, and
    // freeing the old one costs time of its own; cp over an existing copy pays that too,
    // so it is printed as well, the like-for-like figure.
    for (auto _ : state) {
        const auto prepare = [&](const fs::path& out, bool copyThere) {
            lumo::test::WriteFile((out / "a.lgp").string(), archive);
            if (copyThere) {
                lumo::test::WriteFile((out / "b.lgp").string(), archive);
            }
            Run("sync");
        };
        const auto save = [&](const fs::path& out) {
            prepare(out, false);
            return "'" LUMO_CLI_PATH "' add -q '" + (out / "a.lgp").string() + "' '" + replacement +
                   "' --as e7.bin";
        };
        const auto copy = [&](const fs::path& out, bool over) {
            prepare(out, over);
            return "cp '" + (out / "a.lgp").string() + "' '" + (out / "b.lgp").string() +
                   "' && sync -f '" + out.string() + "'";
        };
        Compare(
            "save after replacing one entry of a 64 MiB archive vs cp + sync", save,
            [&](const fs::path& out) { return copy(out, false); }, 5);
        Compare(
            "the same vs cp over an existing copy + sync", save,
            [&](const fs::path& out) { return copy(out, true); }, 5);
    }
}
BENCHMARK(BM_SaveOneReplacedVersusCopy)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
