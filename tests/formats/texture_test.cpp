// SPDX-License-Identifier: MIT
// Texture decoding on textures the builder writes: every header case and each refusal.
#include <gtest/gtest.h>

#include "formats/texture.h"
#include "tests/support/texture_builder.h"

using lumo::test::Bgra;
using lumo::test::Bytes;
using lumo::test::TextureBuilder;
namespace t = lumo::test;

namespace {

using Rgba = std::array<uint8_t, 4>;

Rgba PixelOf(const TextureImage& image, uint32_t x, uint32_t y) {
    const uint8_t* p = image.rgba.data() + 4 * (size_t{y} * image.width + x);
    return {p[0], p[1], p[2], p[3]};
}

TextureImage Decode(const Bytes& file, uint32_t palette = 0) {
    TextureImage image;
    EXPECT_EQ(DecodeTexture(file.data(), file.size(), palette, image), TextureError::None);
    return image;
}

// Two palettes of four colours; pixel (x, 0) holds index x.
TextureBuilder TwoPalettes() {
    TextureBuilder b = TextureBuilder::Paletted(4, 1, 2, 4);
    for (uint32_t i = 0; i < 4; ++i) {
        b.SetPixel(i, 0, i);
        b.SetColour(0, i, Bgra{uint8_t(10 + i), uint8_t(20 + i), uint8_t(30 + i), 0});
        b.SetColour(1, i, Bgra{uint8_t(110 + i), uint8_t(120 + i), uint8_t(130 + i), 9});
    }
    return b;
}

}  // namespace

TEST(TextureDecode, PalettedGivesTheChosenPalettesColoursOpaqueAndTopRowFirst) {
    TextureBuilder b = TwoPalettes();
    const Bytes file = b.Build();
    const TextureImage first = Decode(file, 0);
    ASSERT_EQ(first.width, 4u);
    ASSERT_EQ(first.height, 1u);
    EXPECT_EQ(PixelOf(first, 2, 0), (Rgba{32, 22, 12, 255}));
    const TextureImage second = Decode(file, 1);
    EXPECT_EQ(PixelOf(second, 0, 0), (Rgba{130, 120, 110, 255}));
    EXPECT_EQ(PixelOf(second, 3, 0), (Rgba{133, 123, 113, 255}));

    TextureBuilder tall = TextureBuilder::Paletted(1, 2, 1, 2);
    tall.SetColour(0, 1, Bgra{0, 0, 200, 0}).SetPixel(0, 1, 1);
    const TextureImage column = Decode(tall.Build());
    EXPECT_EQ(PixelOf(column, 0, 0), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(PixelOf(column, 0, 1), (Rgba{200, 0, 0, 255}));
}

TEST(TextureDecode, ColourKeyMakesIndexZeroTransparentWherePaletteKeyAllows) {
    struct Case {
        bool key;
        Bytes keyBytes;  // empty: no key array
        uint32_t palette;
        uint8_t alpha;
    };
    const Case cases[] = {
        {false, {}, 0, 255},  {true, {}, 0, 0},       {true, {}, 1, 0},
        {true, {1, 0}, 0, 0}, {true, {1, 0}, 1, 255}, {false, {1, 1}, 0, 255},
    };
    for (const Case& c : cases) {
        TextureBuilder b = TwoPalettes();
        b.SetColourKey(c.key);
        if (!c.keyBytes.empty()) {
            b.SetKeyBytes(c.keyBytes);
        }
        const TextureImage image = Decode(b.Build(), c.palette);
        const uint8_t base = c.palette == 0 ? 10 : 110;
        EXPECT_EQ(PixelOf(image, 0, 0),
                  (Rgba{uint8_t(base + 20), uint8_t(base + 10), base, c.alpha}))
            << "key " << c.key << " palette " << c.palette;
        EXPECT_EQ(PixelOf(image, 1, 0)[3], 255);
    }
}

TEST(TextureDecode, DirectColourScalesEachChannelByItsMaximum) {
    struct Case {
        const char* name;
        uint32_t bytes;
        uint32_t masks[4], shifts[4], maxima[4];
        bool key;
        uint32_t value;
        Rgba expected;
    };
    const Case cases[] = {
        // 5-6-5: red 16 of 31 rounds to 132, green 63 to 255, no alpha channel: opaque.
        {"565",
         2,
         {0xF800, 0x07E0, 0x001F, 0},
         {11, 5, 0, 0},
         {31, 63, 31, 0},
         false,
         (16u << 11) | (63u << 5) | 1u,
         {132, 255, 8, 255}},
        // 1-5-5-5 with an alpha bit.
        {"1555",
         2,
         {0x7C00, 0x03E0, 0x001F, 0x8000},
         {10, 5, 0, 15},
         {31, 31, 31, 1},
         false,
         0x8000u | (31u << 10),
         {255, 0, 0, 255}},
        {"1555 clear",
         2,
         {0x7C00, 0x03E0, 0x001F, 0x8000},
         {10, 5, 0, 15},
         {31, 31, 31, 1},
         false,
         31u,
         {0, 0, 255, 0}},
        // 24-bit, blue in the low byte.
        {"888",
         3,
         {0xFF0000, 0xFF00, 0xFF, 0},
         {16, 8, 0, 0},
         {255, 255, 255, 0},
         false,
         0x123456u,
         {0x12, 0x34, 0x56, 255}},
        {"8888",
         4,
         {0xFF0000, 0xFF00, 0xFF, 0xFF000000},
         {16, 8, 0, 24},
         {255, 255, 255, 255},
         false,
         0x80123456u,
         {0x12, 0x34, 0x56, 0x80}},
        // A colour channel without a maximum is 0; a masked value above it clamps to 255.
        {"absent and clamped",
         2,
         {0xFF00, 0, 0x00FF, 0},
         {8, 0, 0, 0},
         {15, 0, 31, 0},
         false,
         0x4020u,
         {255, 0, 255, 255}},
        // The colour key makes only the value 0 transparent.
        {"key zero",
         2,
         {0xF800, 0x07E0, 0x001F, 0},
         {11, 5, 0, 0},
         {31, 63, 31, 0},
         true,
         0u,
         {0, 0, 0, 0}},
        {"key other",
         2,
         {0xF800, 0x07E0, 0x001F, 0},
         {11, 5, 0, 0},
         {31, 63, 31, 0},
         true,
         1u,
         {0, 0, 8, 255}},
    };
    for (const Case& c : cases) {
        TextureBuilder b = TextureBuilder::Direct(2, 1, c.bytes, c.masks, c.shifts, c.maxima);
        b.SetColourKey(c.key).SetPixel(1, 0, c.value);
        const TextureImage image = Decode(b.Build());
        EXPECT_EQ(PixelOf(image, 1, 0), c.expected) << c.name;
    }
}

TEST(TextureDecode, EmptyImageAndTrailingBytesAreAccepted) {
    Bytes empty = TextureBuilder::Paletted(0, 7, 1, 1).Build();
    TextureImage image = Decode(empty);
    EXPECT_EQ(image.height, 7u);
    EXPECT_TRUE(image.rgba.empty());

    Bytes trailing = TwoPalettes().Build();
    trailing.insert(trailing.end(), 100, 0xEE);
    EXPECT_EQ(PixelOf(Decode(trailing), 1, 0), (Rgba{31, 21, 11, 255}));
}

TEST(TextureDecode, RefusesEachUnreadableTextureSayingWhich) {
    const uint32_t m[4] = {0xF800, 0x07E0, 0x001F, 0};
    const uint32_t s[4] = {11, 5, 0, 0};
    const uint32_t x[4] = {31, 63, 31, 0};
    const Bytes paletted = TwoPalettes().Build();
    const Bytes direct = TextureBuilder::Direct(2, 2, 2, m, s, x).Build();
    const auto with = [](TextureBuilder b, size_t offset, uint32_t value) {
        return b.Set(offset, value).Build();
    };
    struct Case {
        const char* name;
        Bytes file;
        uint32_t palette;
        TextureError error;
    };
    TextureBuilder bigIndex = TwoPalettes();
    bigIndex.SetPixel(3, 0, 8);  // palette 0 holds 8 entries counting both; 8 is past them
    TextureBuilder keyed = TwoPalettes();
    keyed.SetKeyBytes({1, 1});
    const Case cases[] = {
        {"short header", Bytes(paletted.begin(), paletted.begin() + 235), 0,
         TextureError::TooShort},
        {"wide", with(TwoPalettes(), t::kTexWidth, 65536), 0, TextureError::TooLarge},
        {"tall", with(TwoPalettes(), t::kTexHeight, 65536), 0, TextureError::TooLarge},
        {"area", with(TextureBuilder::Paletted(4097, 1, 1, 1), t::kTexHeight, 4097), 0,
         TextureError::TooLarge},
        {"paletted B 2", with(TwoPalettes(), t::kTexBytesPerPixel, 2), 0,
         TextureError::PaletteBytesPerPixel},
        {"no palettes", with(TwoPalettes(), t::kTexPaletteCount, 0), 0, TextureError::NoPalettes},
        {"no colours", with(TwoPalettes(), t::kTexColours, 0), 0, TextureError::NoColours},
        {"palette 2 of 2", paletted, 2, TextureError::NoSuchPalette},
        {"direct palette 1", direct, 1, TextureError::NoSuchPalette},
        {"direct B 1", with(TextureBuilder::Direct(2, 2, 2, m, s, x), t::kTexBytesPerPixel, 1), 0,
         TextureError::DirectBytesPerPixel},
        {"direct B 5", with(TextureBuilder::Direct(2, 2, 2, m, s, x), t::kTexBytesPerPixel, 5), 0,
         TextureError::DirectBytesPerPixel},
        {"alpha shift 32", with(TextureBuilder::Direct(2, 2, 2, m, s, x), t::kTexShifts + 12, 32),
         0, TextureError::ShiftTooLarge},
        {"palette past end", with(TwoPalettes(), t::kTexPaletteSize, 0x40000000), 0,
         TextureError::PaletteCutShort},
        {"pixels past end", Bytes(paletted.begin(), paletted.end() - 1), 0,
         TextureError::PixelsCutShort},
        {"direct pixels past end", Bytes(direct.begin(), direct.end() - 1), 0,
         TextureError::PixelsCutShort},
        {"keys past end",
         [&] {
             Bytes b = keyed.Build();
             b.pop_back();
             return b;
         }(),
         0, TextureError::KeysCutShort},
        {"index past palette", bigIndex.Build(), 0, TextureError::PaletteIndexTooLarge},
        {"index past palette 1", with(TwoPalettes(), t::kTexColours, 5), 1,
         TextureError::PaletteIndexTooLarge},
    };
    for (const Case& c : cases) {
        TextureImage image;
        image.width = 5;
        EXPECT_EQ(DecodeTexture(c.file.data(), c.file.size(), c.palette, image), c.error) << c.name;
        EXPECT_TRUE(image.rgba.empty() && image.width == 0) << c.name;
        EXPECT_STRNE(DescribeTextureError(c.error), DescribeTextureError(TextureError::None));
    }
}

TEST(TextureCheck, JudgesEveryPaletteNotOnlyTheFirst) {
    const Bytes whole = TwoPalettes().Build();
    EXPECT_EQ(CheckTexture(whole.data(), whole.size()), TextureError::None);
    // Five colours a palette over eight stored: palette 0 decodes, palette 1 runs out.
    TextureBuilder b = TwoPalettes();
    const Bytes lastMissing = b.Set(t::kTexColours, 5).Build();
    TextureImage image;
    EXPECT_EQ(DecodeTexture(lastMissing.data(), lastMissing.size(), 0, image), TextureError::None);
    EXPECT_EQ(CheckTexture(lastMissing.data(), lastMissing.size()),
              TextureError::PaletteIndexTooLarge);
}
