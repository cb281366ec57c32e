// SPDX-License-Identifier: MIT
#include "tests/support/demo/texture_art.h"

#include <cmath>
#include <cstdlib>

namespace lumo::test {

Bytes RingTexture(uint32_t side, uint32_t palettes) {
    TextureBuilder b = TextureBuilder::Paletted(side, side, palettes, 256);
    for (uint32_t p = 0; p < palettes; ++p) {
        for (uint32_t i = 1; i < 256; ++i) {
            const uint8_t v = static_cast<uint8_t>(i);
            const Bgra colours[] = {{uint8_t(v / 4), uint8_t(v / 2), v, 0},
                                    {v, uint8_t(v / 2), uint8_t(v / 4), 0},
                                    {uint8_t(v / 3), v, uint8_t(v / 3), 0}};
            b.SetColour(p, i, colours[p % 3]);
        }
    }
    const double c = (side - 1) / 2.0;
    for (uint32_t y = 0; y < side; ++y) {
        for (uint32_t x = 0; x < side; ++x) {
            const double r = std::hypot(x - c, y - c) / c;
            const double ring = 1.0 - std::abs(r - 0.65) * 4;
            b.SetPixel(x, y, ring > 0 ? 1 + static_cast<uint32_t>(ring * 254) : 0);
        }
    }
    return b.SetColourKey(true).Build();
}

Bytes SkyTexture(uint32_t width, uint32_t height) {
    TextureBuilder b = TextureBuilder::Direct(width, height, 2, {0x7C00, 0x03E0, 0x001F, 0x8000},
                                              {10, 5, 0, 15}, {31, 31, 31, 1});
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t t = y * 31 / (height ? height : 1);
            const uint32_t alpha = (y / 8) % 4 == 3 && (x / 8) % 2 == 0 ? 0 : 1;
            b.SetPixel(x, y, (alpha << 15) | ((t / 2) << 10) | ((10 + t / 2) << 5) | 31);
        }
    }
    return b.Build();
}

Bytes TileTexture(uint32_t side) {
    TextureBuilder b = TextureBuilder::Direct(side, side, 4, {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
                                              {16, 8, 0, 24}, {255, 255, 255, 255});
    for (uint32_t y = 0; y < side; ++y) {
        for (uint32_t x = 0; x < side; ++x) {
            const bool dark = ((x / 8) + (y / 8)) % 2 == 0;
            const uint32_t edge = std::min(std::min(x, y), std::min(side - 1 - x, side - 1 - y));
            const uint32_t alpha = std::min<uint32_t>(255, edge * 48);
            const uint32_t rgb = dark ? 0x704020 : 0xD0A060;
            b.SetPixel(x, y, (alpha << 24) | rgb);
        }
    }
    return b.Build();
}

}  // namespace lumo::test
