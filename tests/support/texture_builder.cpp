// SPDX-License-Identifier: MIT
#include "tests/support/texture_builder.h"

namespace lumo::test {

namespace {

void Put32(Bytes& out, size_t pos, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out[pos + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

uint32_t BitCount(uint32_t maximum) {
    uint32_t bits = 0;
    while (maximum >> bits) {
        ++bits;
    }
    return bits;
}

}  // namespace

TextureBuilder TextureBuilder::Paletted(uint32_t width, uint32_t height, uint32_t palettes,
                                        uint32_t colours) {
    TextureBuilder t;
    t.width_ = width;
    t.height_ = height;
    t.palettes_ = palettes;
    t.colours_ = colours;
    t.palette_.assign(size_t{palettes} * colours, Bgra{0, 0, 0, 0x7F});
    t.pixels_.assign(size_t{width} * height, 0);
    return t;
}

TextureBuilder TextureBuilder::Direct(uint32_t width, uint32_t height, uint32_t bytesPerPixel,
                                      const uint32_t (&masks)[4], const uint32_t (&shifts)[4],
                                      const uint32_t (&maxima)[4]) {
    TextureBuilder t;
    t.width_ = width;
    t.height_ = height;
    t.paletted_ = false;
    t.bytesPerPixel_ = bytesPerPixel;
    for (int c = 0; c < 4; ++c) {
        t.masks_[c] = masks[c];
        t.shifts_[c] = shifts[c];
        t.maxima_[c] = maxima[c];
    }
    t.pixels_.assign(size_t{width} * height, 0);
    return t;
}

TextureBuilder& TextureBuilder::SetColour(uint32_t palette, uint32_t index, Bgra colour) {
    palette_.at(size_t{palette} * colours_ + index) = colour;
    return *this;
}

TextureBuilder& TextureBuilder::SetPixel(uint32_t x, uint32_t y, uint32_t value) {
    pixels_.at(size_t{y} * width_ + x) = value;
    return *this;
}

TextureBuilder& TextureBuilder::SetColourKey(bool on) {
    colourKey_ = on;
    return *this;
}

TextureBuilder& TextureBuilder::SetKeyBytes(const Bytes& keys) {
    keyArray_ = true;
    keys_ = keys;
    return *this;
}

TextureBuilder& TextureBuilder::Set(size_t offset, uint32_t value) {
    overrides_.emplace_back(offset, value);
    return *this;
}

Bytes TextureBuilder::Build() const {
    Bytes out(236);
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<uint8_t>(0xA5 ^ i);  // junk where nothing is read
    }
    const uint32_t depth = paletted_ ? 8 : bytesPerPixel_ * 8;
    Put32(out, 0x00, 1);
    Put32(out, 0x08, colourKey_ ? 1 : 0);
    Put32(out, 0x30, paletted_ ? palettes_ : 0);
    Put32(out, 0x34, paletted_ ? colours_ : 0);
    Put32(out, 0x38, depth);
    Put32(out, 0x3C, width_);
    Put32(out, 0x40, height_);
    Put32(out, 0x4C, paletted_ ? 1 : 0);
    Put32(out, 0x58, static_cast<uint32_t>(palette_.size()));
    Put32(out, 0x68, bytesPerPixel_);
    for (int c = 0; c < 4; ++c) {
        Put32(out, 0x6C + 4 * c, BitCount(maxima_[c]));
        Put32(out, 0x7C + 4 * c, masks_[c]);
        Put32(out, 0x8C + 4 * c, shifts_[c]);
        Put32(out, 0xAC + 4 * c, maxima_[c]);
    }
    Put32(out, 0xBC, keyArray_ ? 1 : 0);
    for (const auto& [offset, value] : overrides_) {
        Put32(out, offset, value);
    }
    for (const Bgra& c : palette_) {
        out.insert(out.end(), {c.b, c.g, c.r, c.a});
    }
    for (uint32_t v : pixels_) {
        for (uint32_t k = 0; k < bytesPerPixel_; ++k) {
            out.push_back(static_cast<uint8_t>(v >> (8 * k)));
        }
    }
    out.insert(out.end(), keys_.begin(), keys_.end());
    return out;
}

}  // namespace lumo::test
