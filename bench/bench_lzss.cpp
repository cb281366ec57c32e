// SPDX-License-Identifier: MIT
// Decode throughput of the LZSS decoder on field-like data, against a plain 4,096-byte
// ring-buffer decoder as the baseline. The "vs_ring" counter is the baseline's time over
// ours: above 1 means we are faster.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <vector>

#include "archive/lzss.h"
#include "tests/support/lzss_encoder.h"

namespace {

using lumo::test::Bytes;

// A decoded field file in miniature: a script-like prefix of mixed bytes, 16-bit palette
// gradients, tile records with counting coordinates, and texture pages whose texels come
// from a few repeated tiles with some dithering.
Bytes FieldLikeData() {
    std::mt19937 random(7);
    Bytes out;
    for (int i = 0; i < 20000; ++i) {
        out.push_back(static_cast<uint8_t>(random() % 4 == 0 ? random() : i % 64));
    }
    for (int palette = 0; palette < 16; ++palette) {
        for (int colour = 0; colour < 256; ++colour) {
            uint16_t value =
                static_cast<uint16_t>((colour / 8) | ((palette * 2) << 5) | (colour / 16) << 10);
            out.push_back(static_cast<uint8_t>(value));
            out.push_back(static_cast<uint8_t>(value >> 8));
        }
    }
    for (int tile = 0; tile < 4000; ++tile) {
        uint8_t record[52] = {};
        int x = (tile % 40) * 16;
        int y = (tile / 40) * 16;
        record[0] = static_cast<uint8_t>(x);
        record[1] = static_cast<uint8_t>(x >> 8);
        record[2] = static_cast<uint8_t>(y);
        record[3] = static_cast<uint8_t>(y >> 8);
        record[8] = static_cast<uint8_t>((tile * 16) % 256);
        record[10] = static_cast<uint8_t>(random() % 8);
        record[14] = static_cast<uint8_t>(tile % 12);
        out.insert(out.end(), record, record + sizeof record);
    }
    uint8_t tiles[8][256];
    for (auto& tile : tiles) {
        uint8_t base = static_cast<uint8_t>(random());
        for (int i = 0; i < 256; ++i) {
            tile[i] = static_cast<uint8_t>(base + (i / 16) / 2 + (i % 16) / 4);
        }
    }
    for (int page = 0; page < 10; ++page) {
        for (int row = 0; row < 256; ++row) {
            for (int column = 0; column < 256; ++column) {
                const uint8_t* tile = tiles[(row / 16 * 7 + column / 16 * 3 + page) % 8];
                uint8_t texel = tile[(row % 16) * 16 + column % 16];
                if (random() % 5 == 0) {
                    texel = static_cast<uint8_t>(texel + random() % 3);
                }
                out.push_back(texel);
            }
        }
    }
    return out;
}

// The textbook decoder: every byte goes through the ring and out.
size_t RingBufferDecode(const uint8_t* src, size_t len, uint8_t* dst) {
    uint8_t ring[4096];
    std::memset(ring, 0, sizeof ring);
    unsigned r = 0xFEE;
    unsigned flags = 0;
    size_t in = 0;
    size_t out = 0;
    while (in < len) {
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            flags = src[in++] | 0xFF00u;
            if (in >= len) {
                break;
            }
        }
        if (flags & 1) {
            uint8_t c = src[in++];
            dst[out++] = c;
            ring[r] = c;
            r = (r + 1) & 0xFFF;
        } else {
            if (len - in < 2) {
                break;
            }
            unsigned offset = src[in] | ((src[in + 1] & 0xF0u) << 4);
            unsigned length = (src[in + 1] & 0x0Fu) + 3;
            in += 2;
            for (unsigned k = 0; k < length; ++k) {
                uint8_t c = ring[(offset + k) & 0xFFF];
                dst[out++] = c;
                ring[r] = c;
                r = (r + 1) & 0xFFF;
            }
        }
    }
    return out;
}

// Streams made item by item, so that the mix of literals and references is exactly
// what each case names: one reference in eight items (text-like entries), and seven in
// eight (image-like entries full of repeats), at random places in the groups, about 8 MiB
// of output each.
Bytes MadeStream(int referencesPerGroup, uint32_t seed) {
    std::mt19937 random(seed);
    lumo::test::LzssStreamWriter writer;
    while (writer.DecodedLength() < (8u << 20)) {
        for (int item = 0; item < 8; ++item) {
            uint32_t written = writer.DecodedLength();
            if (static_cast<int>(random() % 8) >= referencesPerGroup || written < 32) {
                writer.Literal(static_cast<uint8_t>(random()));
                continue;
            }
            // Mostly near references, as real data has them, some runs, some far ones.
            uint32_t reach = std::min<uint32_t>(written, random() % 4 == 0 ? 4095 : 64);
            writer.Reference(static_cast<int>(1 + random() % reach), 3 + random() % 16);
        }
    }
    return writer.Stream();
}

struct Fixture {
    Bytes stream;
    Bytes raw;
    uint32_t Length() const { return static_cast<uint32_t>(stream.size()); }
};

enum Kind { kFieldLike, kLiteralHeavy, kMatchHeavy, kKinds };

const Fixture& Data(int kind) {
    static const Fixture fixtures[kKinds] = {
        [] {
            Fixture f{{}, FieldLikeData()};
            f.stream = lumo::test::LzssCompress(f.raw);
            return f;
        }(),
        [] {
            Fixture f{MadeStream(1, 3), {}};
            f.raw = lumo::test::RingDecode(f.stream);
            return f;
        }(),
        [] {
            Fixture f{MadeStream(7, 5), {}};
            f.raw = lumo::test::RingDecode(f.stream);
            return f;
        }(),
    };
    return fixtures[kind];
}

template <typename Decode>
double NanosecondsPerDecode(Decode decode, int rounds) {
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
        decode();
    }
    std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / rounds;
}

// The baseline's time per decode of a kind, measured once and kept: the median of five
// runs, so that one slow moment on a busy machine does not make the ratio.
double RingNanoseconds(int kind) {
    static double nanoseconds[kKinds] = {};
    if (nanoseconds[kind] == 0) {
        const Fixture& data = Data(kind);
        Bytes out(data.raw.size() + 64);
        auto decode = [&] {
            benchmark::DoNotOptimize(
                RingBufferDecode(data.stream.data(), data.stream.size(), out.data()));
            benchmark::ClobberMemory();
        };
        NanosecondsPerDecode(decode, 2);  // warm up
        std::vector<double> runs;
        for (int i = 0; i < 5; ++i) {
            runs.push_back(NanosecondsPerDecode(decode, 4));
        }
        std::sort(runs.begin(), runs.end());
        nanoseconds[kind] = runs[2];
    }
    return nanoseconds[kind];
}

void SetThroughput(benchmark::State& state, const Fixture& data) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.raw.size()));
    state.SetLabel(std::to_string(data.stream.size()) + " -> " + std::to_string(data.raw.size()) +
                   " bytes");
}

void BM_RingBufferBaseline(benchmark::State& state) {
    const Fixture& data = Data(static_cast<int>(state.range(0)));
    Bytes out(data.raw.size() + 64);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            RingBufferDecode(data.stream.data(), data.stream.size(), out.data()));
        benchmark::ClobberMemory();
    }
    if (std::memcmp(out.data(), data.raw.data(), data.raw.size()) != 0) {
        state.SkipWithError("baseline decoded wrongly");
    }
    SetThroughput(state, data);
}

// "vs_ring" is the baseline's time over ours, from the medians of interleaved runs.
void BM_LzssDecode(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const Fixture& data = Data(kind);
    Bytes out(data.raw.size());
    std::vector<double> runs;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(LzssDecode(data.stream.data(), data.Length(), out.data(),
                                            static_cast<uint32_t>(out.size())));
        benchmark::ClobberMemory();
        runs.push_back(
            std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
                .count());
    }
    if (out != data.raw) {
        state.SkipWithError("decoded wrongly");
    }
    std::sort(runs.begin(), runs.end());
    state.counters["vs_ring"] = RingNanoseconds(kind) / runs[runs.size() / 2];
    SetThroughput(state, data);
}

void BM_LzssDecodedSize(benchmark::State& state) {
    const Fixture& data = Data(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(LzssDecodedSize(data.stream.data(), data.Length()));
    }
    SetThroughput(state, data);
}

// Arguments: 0 field-like data through the test compressor, 1 literal-heavy, 2 match-heavy.
BENCHMARK(BM_RingBufferBaseline)->DenseRange(0, 2);
BENCHMARK(BM_LzssDecode)->DenseRange(0, 2);
BENCHMARK(BM_LzssDecodedSize)->DenseRange(0, 2);

}  // namespace

BENCHMARK_MAIN();
