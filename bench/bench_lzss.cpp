// Decode throughput of the LZSS decoder on field-like data, against a plain 4,096-byte
// ring-buffer decoder as the baseline. The "vs_ring" counter is the baseline's time over
// ours: above 1 means we are faster.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <random>

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

struct Fixture {
    Bytes raw = FieldLikeData();
    Bytes stream = lumo::test::LzssCompress(raw);
    uint32_t Length() const { return static_cast<uint32_t>(stream.size()); }
};

const Fixture& Data() {
    static const Fixture fixture;
    return fixture;
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

double RingNanoseconds() {
    static const double nanoseconds = [] {
        const Fixture& data = Data();
        Bytes out(data.raw.size());
        auto decode = [&] {
            benchmark::DoNotOptimize(
                RingBufferDecode(data.stream.data(), data.stream.size(), out.data()));
            benchmark::ClobberMemory();
        };
        NanosecondsPerDecode(decode, 20);  // warm up
        return NanosecondsPerDecode(decode, 200);
    }();
    return nanoseconds;
}

void SetThroughput(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Data().raw.size()));
    state.SetLabel(std::to_string(Data().stream.size()) + " -> " +
                   std::to_string(Data().raw.size()) + " bytes");
}

void BM_RingBufferBaseline(benchmark::State& state) {
    const Fixture& data = Data();
    Bytes out(data.raw.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            RingBufferDecode(data.stream.data(), data.stream.size(), out.data()));
        benchmark::ClobberMemory();
    }
    if (std::memcmp(out.data(), data.raw.data(), out.size()) != 0) {
        state.SkipWithError("baseline decoded wrongly");
    }
    SetThroughput(state);
}

void BM_LzssDecode(benchmark::State& state) {
    const Fixture& data = Data();
    Bytes out(data.raw.size());
    auto decode = [&] {
        benchmark::DoNotOptimize(LzssDecode(data.stream.data(), data.Length(), out.data(),
                                            static_cast<uint32_t>(out.size())));
        benchmark::ClobberMemory();
    };
    double ours = 0;
    int64_t rounds = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        decode();
        ours += std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start)
                    .count();
        ++rounds;
    }
    if (out != data.raw) {
        state.SkipWithError("decoded wrongly");
    }
    state.counters["vs_ring"] = RingNanoseconds() / (ours / static_cast<double>(rounds));
    SetThroughput(state);
}

void BM_LzssDecodedSize(benchmark::State& state) {
    const Fixture& data = Data();
    for (auto _ : state) {
        benchmark::DoNotOptimize(LzssDecodedSize(data.stream.data(), data.Length()));
    }
    SetThroughput(state);
}

BENCHMARK(BM_RingBufferBaseline);
BENCHMARK(BM_LzssDecode);
BENCHMARK(BM_LzssDecodedSize);

}  // namespace

BENCHMARK_MAIN();
