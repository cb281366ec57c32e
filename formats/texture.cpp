// SPDX-License-Identifier: MIT
#include "formats/texture.h"

#include <algorithm>
#include <cstring>

#include "platform/byte_cursor.h"

namespace {

constexpr uint32_t kMaxSide = 65535;
constexpr uint64_t kMaxPixels = 16777216;

void ReadFour(const uint8_t* data, size_t offset, uint32_t (&out)[4]) {
    for (int c = 0; c < 4; ++c) {
        out[c] = LoadLe32(data + offset + 4 * c);
    }
}

// Where each part lies, in 64-bit arithmetic so hostile counts cannot wrap.
struct Layout {
    uint64_t palette = kTextureHeaderSize;
    uint64_t paletteBytes = 0;
    uint64_t pixels = 0;
    uint64_t pixelBytes = 0;
    uint64_t keys = 0;
    uint64_t keyBytes = 0;
};

Layout LayOut(const TextureHeader& h) {
    Layout l;
    l.paletteBytes = h.IsPaletted() ? uint64_t{h.paletteSize} * 4 : 0;
    l.pixels = l.palette + l.paletteBytes;
    l.pixelBytes = uint64_t{h.width} * h.height * h.bytesPerPixel;
    l.keys = l.pixels + l.pixelBytes;
    l.keyBytes = h.keyArray != 0 ? h.paletteCount : 0;
    return l;
}

// The checks that need only the header and the data's length.
TextureError CheckLayout(const TextureHeader& h, size_t size, uint32_t palette) {
    if (h.width > kMaxSide || h.height > kMaxSide || uint64_t{h.width} * h.height > kMaxPixels) {
        return TextureError::TooLarge;
    }
    if (h.IsPaletted()) {
        if (h.bytesPerPixel != 1) {
            return TextureError::PaletteBytesPerPixel;
        }
        if (h.paletteCount == 0) {
            return TextureError::NoPalettes;
        }
        if (h.coloursPerPalette == 0) {
            return TextureError::NoColours;
        }
        if (palette >= h.paletteCount) {
            return TextureError::NoSuchPalette;
        }
    } else {
        if (h.bytesPerPixel < 2 || h.bytesPerPixel > 4) {
            return TextureError::DirectBytesPerPixel;
        }
        if (std::any_of(std::begin(h.shifts), std::end(h.shifts),
                        [](uint32_t s) { return s >= 32; })) {
            return TextureError::ShiftTooLarge;
        }
        if (palette != 0) {
            return TextureError::NoSuchPalette;
        }
    }
    const Layout l = LayOut(h);
    if (l.paletteBytes > size - l.palette) {
        return TextureError::PaletteCutShort;
    }
    if (l.pixelBytes > size - l.pixels) {
        return TextureError::PixelsCutShort;
    }
    if (l.keyBytes > size - l.keys) {
        return TextureError::KeysCutShort;
    }
    return TextureError::None;
}

// The largest index any pixel holds (0 for an empty image).
uint8_t LargestIndex(const uint8_t* pixels, size_t count) {
    uint8_t largest = 0;
    for (size_t i = 0; i < count; ++i) {
        largest = std::max(largest, pixels[i]);
    }
    return largest;
}

bool KeyApplies(const TextureHeader& h, const uint8_t* data, const Layout& l, uint32_t palette) {
    if (h.colourKey == 0) {
        return false;
    }
    return h.keyArray == 0 || data[l.keys + palette] != 0;
}

TextureError DecodePaletted(const TextureHeader& h, const uint8_t* data, const Layout& l,
                            uint32_t palette, uint8_t* out) {
    const uint8_t* pixels = data + l.pixels;
    const size_t count = size_t{h.width} * h.height;
    // One look-up table of the palette's 256 possible colours; entries the file does
    // not store are refused before any pixel is written, so the loop has no tests.
    const uint64_t first = uint64_t{palette} * h.coloursPerPalette;
    if (first + LargestIndex(pixels, count) >= h.paletteSize) {
        return TextureError::PaletteIndexTooLarge;
    }
    uint8_t table[256][4] = {};
    const uint64_t stored = std::min<uint64_t>(256, h.paletteSize - first);
    for (uint64_t i = 0; i < stored; ++i) {
        const uint8_t* entry = data + l.palette + 4 * (first + i);
        table[i][0] = entry[2];
        table[i][1] = entry[1];
        table[i][2] = entry[0];
        table[i][3] = 255;
    }
    if (KeyApplies(h, data, l, palette)) {
        table[0][3] = 0;
    }
    for (size_t i = 0; i < count; ++i) {
        std::memcpy(out + 4 * i, table[pixels[i]], 4);
    }
    return TextureError::None;
}

uint8_t Scale(uint64_t x, uint32_t maximum) {
    return static_cast<uint8_t>(std::min<uint64_t>(255, (x * 255 + maximum / 2) / maximum));
}

// One channel's 8-bit values for every x its mask and shift can give, when that range
// is small (it is for every real layout): four divisions per pixel cost ten times the
// rest of the decoding.
class Channel {
public:
    Channel(const TextureHeader& h, int c) : mask_(h.masks[c]), shift_(h.shifts[c]) {
        maximum_ = h.maxima[c];
        const uint64_t valueBits = 8 * uint64_t{h.bytesPerPixel};
        const uint64_t largest = (mask_ & ((uint64_t{1} << valueBits) - 1)) >> shift_;
        if (maximum_ == 0) {
            absent_ = c == kAlpha ? 255 : 0;
        } else if (largest < kTableLimit) {
            table_.resize(largest + 1);
            for (uint64_t x = 0; x <= largest; ++x) {
                table_[x] = Scale(x, maximum_);
            }
        }
    }
    uint8_t operator()(uint32_t v) const {
        if (maximum_ == 0) {
            return absent_;
        }
        const uint32_t x = (v & mask_) >> shift_;
        return table_.empty() ? Scale(x, maximum_) : table_[x];
    }

private:
    static constexpr uint64_t kTableLimit = 1 << 16;
    uint32_t mask_, shift_, maximum_;
    uint8_t absent_ = 0;
    std::vector<uint8_t> table_;
};

void DecodeDirect(const TextureHeader& h, const uint8_t* data, const Layout& l, uint8_t* out) {
    const uint8_t* pixels = data + l.pixels;
    const size_t count = size_t{h.width} * h.height;
    const uint32_t b = h.bytesPerPixel;
    const Channel channels[4] = {{h, kRed}, {h, kGreen}, {h, kBlue}, {h, kAlpha}};
    for (size_t i = 0; i < count; ++i) {
        uint32_t v = 0;
        for (uint32_t k = 0; k < b; ++k) {
            v |= uint32_t{pixels[b * i + k]} << (8 * k);
        }
        uint8_t* px = out + 4 * i;
        for (int c = 0; c < 4; ++c) {
            px[c] = channels[c](v);
        }
        if (h.colourKey != 0 && v == 0) {
            px[kAlpha] = 0;
        }
    }
}

}  // namespace

const char* DescribeTextureError(TextureError error) {
    switch (error) {
        case TextureError::None:
            return "no error";
        case TextureError::TooShort:
            return "the texture is shorter than its 236-byte header";
        case TextureError::TooLarge:
            return "the texture is larger than 65,535 pixels a side or 16,777,216 pixels";
        case TextureError::PaletteBytesPerPixel:
            return "a paletted texture must have 1 byte per pixel";
        case TextureError::NoPalettes:
            return "the paletted texture has no palettes";
        case TextureError::NoColours:
            return "the paletted texture's palettes have no colours";
        case TextureError::NoSuchPalette:
            return "the texture has no such palette";
        case TextureError::DirectBytesPerPixel:
            return "a direct-colour texture must have 2, 3 or 4 bytes per pixel";
        case TextureError::ShiftTooLarge:
            return "a colour channel's shift is 32 or more";
        case TextureError::PaletteCutShort:
            return "the palette runs past the end of the data";
        case TextureError::PixelsCutShort:
            return "the pixels run past the end of the data";
        case TextureError::KeysCutShort:
            return "the colour-key bytes run past the end of the data";
        case TextureError::PaletteIndexTooLarge:
            return "a pixel names a palette entry that is not stored";
    }
    return "unknown texture error";
}

TextureError ReadTextureHeader(const uint8_t* data, size_t size, TextureHeader& h) {
    h = TextureHeader();
    if (data == nullptr || size < kTextureHeaderSize) {
        return TextureError::TooShort;
    }
    h.version = LoadLe32(data + 0x00);
    h.colourKey = LoadLe32(data + 0x08);
    h.paletteCount = LoadLe32(data + 0x30);
    h.coloursPerPalette = LoadLe32(data + 0x34);
    h.bitDepth = LoadLe32(data + 0x38);
    h.width = LoadLe32(data + 0x3C);
    h.height = LoadLe32(data + 0x40);
    h.paletted = LoadLe32(data + 0x4C);
    h.paletteSize = LoadLe32(data + 0x58);
    h.bytesPerPixel = LoadLe32(data + 0x68);
    ReadFour(data, 0x6C, h.bits);
    ReadFour(data, 0x7C, h.masks);
    ReadFour(data, 0x8C, h.shifts);
    ReadFour(data, 0xAC, h.maxima);
    h.keyArray = LoadLe32(data + 0xBC);
    return TextureError::None;
}

TextureError DecodeTexture(const uint8_t* data, size_t size, uint32_t palette, TextureImage& out) {
    // The pixel block's memory is kept for the next decode: a viewer switching palettes
    // should not pay for a fresh 64 MiB allocation each time.
    out.width = out.height = 0;
    out.rgba.clear();
    TextureHeader h;
    TextureError error = ReadTextureHeader(data, size, h);
    if (error == TextureError::None) {
        error = CheckLayout(h, size, palette);
    }
    if (error != TextureError::None) {
        return error;
    }
    const Layout l = LayOut(h);
    out.rgba.resize(size_t{h.width} * h.height * 4);
    if (h.IsPaletted()) {
        error = DecodePaletted(h, data, l, palette, out.rgba.data());
    } else {
        DecodeDirect(h, data, l, out.rgba.data());
    }
    if (error != TextureError::None) {
        out.rgba.clear();
        return error;
    }
    out.width = h.width;
    out.height = h.height;
    return error;
}

TextureError CheckTexture(const uint8_t* data, size_t size) {
    TextureHeader h;
    TextureError error = ReadTextureHeader(data, size, h);
    if (error == TextureError::None) {
        error = CheckLayout(h, size, 0);
    }
    if (error != TextureError::None || !h.IsPaletted()) {
        return error;
    }
    // The last palette reaches furthest into the stored entries.
    const Layout l = LayOut(h);
    const uint64_t last = uint64_t{h.paletteCount - 1} * h.coloursPerPalette;
    if (last + LargestIndex(data + l.pixels, size_t{h.width} * h.height) >= h.paletteSize) {
        return TextureError::PaletteIndexTooLarge;
    }
    return TextureError::None;
}
