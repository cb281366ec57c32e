// SPDX-License-Identifier: MIT
#pragma once
// A minimal PNG encoder: 8-bit RGB or RGBA, no interlace, every row with filter 0.
#include <cstdint>
#include <vector>

// Encodes `height` rows of `width` RGB triples (top row first, no padding). Returns an
// empty vector when the size is not 1..2^31-1 in each direction or compression fails.
std::vector<uint8_t> EncodePngRgb(const uint8_t* rgb, uint32_t width, uint32_t height);
// The same for RGBA quadruples (colour type 6, 8 bits a channel).
std::vector<uint8_t> EncodePngRgba(const uint8_t* rgba, uint32_t width, uint32_t height);
