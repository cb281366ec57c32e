// SPDX-License-Identifier: MIT
#pragma once
// Decodes the game's textures (".tex" entries) to 8-bit RGBA. Qt-free: the texture
// viewer, lumo-cli, Properties, Verify and the benchmarks share it.
//
// Every byte is untrusted: nothing is read outside [data, data + size), nothing is
// written outside the output, and a texture that cannot be decoded is refused with an
// error that says why. Only the header fields below are ever read.
#include <cstddef>
#include <cstdint>
#include <vector>

enum class TextureError {
    None,
    TooShort,              // fewer than 236 bytes: no whole header
    TooLarge,              // W or H above 65,535, or W x H above 16,777,216
    PaletteBytesPerPixel,  // paletted, but not 1 byte per pixel
    NoPalettes,            // paletted with a palette count of 0
    NoColours,             // paletted with 0 colours per palette
    NoSuchPalette,         // the chosen palette is not stored
    DirectBytesPerPixel,   // direct colour with other than 2, 3 or 4 bytes per pixel
    ShiftTooLarge,         // direct colour with a channel shift of 32 or more
    PaletteCutShort,       // the palette runs past the end of the data
    PixelsCutShort,        // the pixels run past the end of the data
    KeysCutShort,          // the colour-key bytes run past the end of the data
    PaletteIndexTooLarge,  // a pixel names a palette entry past the stored ones
};

// Says which rule refused the texture, e.g. "the pixels run past the end of the data".
const char* DescribeTextureError(TextureError error);

// Channels in the order the header stores them.
enum TextureChannel { kRed = 0, kGreen = 1, kBlue = 2, kAlpha = 3 };

// The header fields this program reads, as stored.
struct TextureHeader {
    uint32_t version = 0;
    uint32_t colourKey = 0;  // non-zero: stored value 0 is transparent
    uint32_t paletteCount = 0;
    uint32_t coloursPerPalette = 0;
    uint32_t bitDepth = 0;  // informational only
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t paletted = 0;
    uint32_t paletteSize = 0;  // 4-byte palette entries stored
    uint32_t bytesPerPixel = 0;
    uint32_t bits[4] = {};
    uint32_t masks[4] = {};
    uint32_t shifts[4] = {};
    uint32_t maxima[4] = {};
    uint32_t keyArray = 0;  // non-zero: one key byte per palette follows the pixels

    bool IsPaletted() const { return paletted != 0; }
};

constexpr size_t kTextureHeaderSize = 236;

// Reads the header; TooShort when the data cannot hold it. Nothing else is checked.
TextureError ReadTextureHeader(const uint8_t* data, size_t size, TextureHeader& header);

// Width x height pixels of 4 bytes each, R, G, B, A, top row first, no padding.
struct TextureImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgba;
};

// Decodes with palette `palette` (paletted textures; a direct-colour texture has none,
// so only 0 is accepted for it). On error `out` is left empty. A W or H of 0 is a valid
// empty image. Bytes after the last part are ignored.
TextureError DecodeTexture(const uint8_t* data, size_t size, uint32_t palette, TextureImage& out);

// Whether every palette of the texture decodes (a direct-colour texture: whether it
// decodes at all), without building an image: what an integrity check wants.
TextureError CheckTexture(const uint8_t* data, size_t size);
