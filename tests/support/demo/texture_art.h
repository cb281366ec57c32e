// SPDX-License-Identifier: MIT
#pragma once
// Textures painted by the texture builder for the demo archives and the fuzz seeds: one
// of each layout a game archive holds.
#include <string>
#include <vector>

#include "tests/support/texture_builder.h"

namespace lumo::test {

// A paletted texture with `palettes` palettes of 256 colours and the colour key on:
// a ring on a transparent ground, each palette another hue.
Bytes RingTexture(uint32_t side, uint32_t palettes);
// 16-bit direct colour (1-5-5-5): a sky gradient with a half-transparent band.
Bytes SkyTexture(uint32_t width, uint32_t height);
// 32-bit direct colour (8-8-8-8): a checkered tile with soft alpha edges.
Bytes TileTexture(uint32_t side);

}  // namespace lumo::test
