// SPDX-License-Identifier: MIT
// Rendering a large field background: 1,024 x 1,024 pixels from 4,000 tiles spread over
// two lists, eight palettes and four texture pages, with some transparent texels.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "formats/field_renderer.h"
#include "tests/support/field_builder.h"

namespace {

using lumo::test::Bytes;
using lumo::test::FieldBuilder;
using lumo::test::FieldTileSpec;

constexpr int kSide = 1024;
constexpr int kTiles = 4000;
constexpr int kFirstList = 3000;
constexpr int kPages = 4;
constexpr int kPalettes = 8;

Bytes LargeField() {
    FieldBuilder field(kSide, kSide);
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    for (int p = 0; p < kPalettes; ++p) {
        for (int i = 1; i < 256; ++i) {
            field.SetColour(p, i, static_cast<uint16_t>(next() & 0x7FFF));
        }
    }
    for (int page = 0; page < kPages; ++page) {
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                const uint32_t r = next();
                field.SetTexel(page, x, y, r % 10 == 0 ? 0 : static_cast<uint8_t>(r));
            }
        }
    }
    const int perRow = kSide / 16;
    for (int t = 0; t < kTiles; ++t) {
        FieldTileSpec tile;
        const int cell = t < kFirstList ? t : static_cast<int>(next() % (perRow * perRow));
        tile.dstX = static_cast<int16_t>((cell % perRow) * 16 - kSide / 2);
        tile.dstY = static_cast<int16_t>((cell / perRow) * 16 - kSide / 2);
        tile.srcX = static_cast<int16_t>((next() % 16) * 16);
        tile.srcY = static_cast<int16_t>((next() % 16) * 16);
        tile.palette = static_cast<int16_t>(next() % kPalettes);
        tile.page = static_cast<int16_t>(next() % kPages);
        field.AddTile(t < kFirstList ? 1 : 2, tile);
    }
    return field.Build();
}

void BM_RenderField1024From4000Tiles(benchmark::State& state) {
    const Bytes file = LargeField();
    FieldImage image;
    for (auto _ : state) {
        const FieldError error = RenderFieldBackground(file.data(), file.size(), image);
        if (error != FieldError::None) {
            state.SkipWithError(DescribeFieldError(error));
            break;
        }
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.counters["tiles"] = kTiles;
    state.SetItemsProcessed(state.iterations() * kTiles);
}
BENCHMARK(BM_RenderField1024From4000Tiles)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
