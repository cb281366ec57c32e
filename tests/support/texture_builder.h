// SPDX-License-Identifier: MIT
#pragma once
// Builds texture files (".tex") the way the format note lays them out: a 236-byte header,
// the palettes (blue, green, red, unused), the pixels, then the key bytes. Header bytes
// the decoder must not read are filled with non-zero junk, so reading the wrong offset
// shows. Set() overwrites any header field afterwards, for hostile files.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumo::test {

using Bytes = std::vector<uint8_t>;

struct Bgra {
    uint8_t b, g, r, a;
};

class TextureBuilder {
public:
    // Paletted, 1 byte per pixel: P palettes of C colours (N = P x C stored).
    static TextureBuilder Paletted(uint32_t width, uint32_t height, uint32_t palettes,
                                   uint32_t colours);
    // Direct colour, `bytesPerPixel` bytes per pixel; masks, shifts and maxima per
    // channel (red, green, blue, alpha).
    static TextureBuilder Direct(uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                                 const uint32_t (&masks)[4], const uint32_t (&shifts)[4],
                                 const uint32_t (&maxima)[4]);

    TextureBuilder& SetColour(uint32_t palette, uint32_t index, Bgra colour);
    // Paletted: the index byte; direct: the B-byte value.
    TextureBuilder& SetPixel(uint32_t x, uint32_t y, uint32_t value);
    TextureBuilder& SetColourKey(bool on);
    // Writes the key-array flag and one key byte per palette.
    TextureBuilder& SetKeyBytes(const Bytes& keys);
    // Overwrites the 32-bit header field at `offset` when built.
    TextureBuilder& Set(size_t offset, uint32_t value);

    Bytes Build() const;

private:
    TextureBuilder() = default;

    uint32_t width_ = 0, height_ = 0, bytesPerPixel_ = 1;
    bool paletted_ = true;
    uint32_t palettes_ = 0, colours_ = 0;
    uint32_t masks_[4] = {}, shifts_[4] = {}, maxima_[4] = {};
    bool colourKey_ = false;
    bool keyArray_ = false;
    Bytes keys_;
    std::vector<Bgra> palette_;
    std::vector<uint32_t> pixels_;
    std::vector<std::pair<size_t, uint32_t>> overrides_;
};

// Header field offsets the tests corrupt.
constexpr size_t kTexPaletteCount = 0x30;
constexpr size_t kTexColours = 0x34;
constexpr size_t kTexWidth = 0x3C;
constexpr size_t kTexHeight = 0x40;
constexpr size_t kTexPaletted = 0x4C;
constexpr size_t kTexPaletteSize = 0x58;
constexpr size_t kTexBytesPerPixel = 0x68;
constexpr size_t kTexShifts = 0x8C;

}  // namespace lumo::test
