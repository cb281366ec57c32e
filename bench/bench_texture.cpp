// SPDX-License-Identifier: MIT
// Decoding textures to RGBA: a 1,024 x 1,024 paletted texture of 256 colours, and the
// same size in 16-bit direct colour, both with the colour key on.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "formats/texture.h"
#include "tests/support/texture_builder.h"

namespace {

using lumo::test::Bgra;
using lumo::test::Bytes;
using lumo::test::TextureBuilder;

constexpr uint32_t kSide = 1024;

Bytes Paletted() {
    TextureBuilder b = TextureBuilder::Paletted(kSide, kSide, 4, 256);
    uint32_t seed = 99;
    for (uint32_t p = 0; p < 4; ++p) {
        for (uint32_t i = 0; i < 256; ++i) {
            b.SetColour(p, i, Bgra{uint8_t(i), uint8_t(i * 3), uint8_t(p * 60), 0});
        }
    }
    for (uint32_t y = 0; y < kSide; ++y) {
        for (uint32_t x = 0; x < kSide; ++x) {
            seed = seed * 1664525u + 1013904223u;
            b.SetPixel(x, y, seed >> 24);
        }
    }
    return b.SetColourKey(true).Build();
}

Bytes Direct() {
    TextureBuilder b = TextureBuilder::Direct(kSide, kSide, 2, {0x7C00, 0x03E0, 0x001F, 0x8000},
                                              {10, 5, 0, 15}, {31, 31, 31, 1});
    for (uint32_t y = 0; y < kSide; ++y) {
        for (uint32_t x = 0; x < kSide; ++x) {
            b.SetPixel(x, y, (x * 31 + y * 7) & 0xFFFF);
        }
    }
    return b.SetColourKey(true).Build();
}

void Run(benchmark::State& state, const Bytes& file) {
    TextureImage image;
    for (auto _ : state) {
        const TextureError error = DecodeTexture(file.data(), file.size(), 0, image);
        if (error != TextureError::None) {
            state.SkipWithError(DescribeTextureError(error));
            break;
        }
        benchmark::DoNotOptimize(image.rgba.data());
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

void BM_DecodePalettedTexture1024(benchmark::State& state) {
    Run(state, Paletted());
}
BENCHMARK(BM_DecodePalettedTexture1024)->Unit(benchmark::kMillisecond);

void BM_DecodeDirect16Texture1024(benchmark::State& state) {
    Run(state, Direct());
}
BENCHMARK(BM_DecodeDirect16Texture1024)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
