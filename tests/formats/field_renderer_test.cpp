// SPDX-License-Identifier: MIT
#include "formats/field_renderer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

#include "tests/support/field_builder.h"

namespace {

using namespace lumo::test;

constexpr uint16_t kRed = 0x001F;  // field palette layout: red in the low bits
constexpr uint16_t kGreen = 0x03E0;
constexpr uint16_t kBlue = 0x7C00;
constexpr uint16_t kRedPixel = 0x7C00;  // image layout: red in the high bits
constexpr uint16_t kGreenPixel = 0x03E0;
constexpr uint16_t kBluePixel = 0x001F;

FieldError RenderInto(const Bytes& file, FieldImage& image) {
    return RenderFieldBackground(file.data(), file.size(), image);
}

FieldImage Render(const Bytes& file) {
    FieldImage image;
    const FieldError error = RenderInto(file, image);
    EXPECT_EQ(error, FieldError::None) << DescribeFieldError(error);
    return image;
}

// The renderer must refuse the file and leave no image behind, even one from before.
void ExpectRefused(const Bytes& file, FieldError expected) {
    FieldImage image;
    image.width = 3;
    image.height = 3;
    image.pixels.assign(12, 7);
    EXPECT_EQ(RenderInto(file, image), expected) << DescribeFieldError(expected);
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_TRUE(image.pixels.empty());
}

// Page 0's square at (0, 0) filled with `index`; palette 0 maps 1 to red, 2 to green,
// 3 to blue.
FieldBuilder SolidField(uint16_t width, uint16_t height) {
    FieldBuilder field(width, height);
    field.SetColour(0, 1, kRed).SetColour(0, 2, kGreen).SetColour(0, 3, kBlue);
    field.FillTexels(0, 0, 0, 16, 16, 1);
    field.FillTexels(0, 16, 0, 16, 16, 2);
    field.FillTexels(0, 32, 0, 16, 16, 3);
    return field;
}

FieldTileSpec TileAt(int x, int y, int16_t srcX = 0) {
    FieldTileSpec tile;
    tile.dstX = static_cast<int16_t>(x);
    tile.dstY = static_cast<int16_t>(y);
    tile.srcX = srcX;
    return tile;
}

int CountPixels(const FieldImage& image, uint16_t value) {
    int count = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            count += image.PixelAt(x, y) == value;
        }
    }
    return count;
}

TEST(FieldRenderer, EmptyListsGiveBlackImageWithPaddedRows) {
    const FieldImage image = Render(FieldBuilder(7, 5).Build());
    EXPECT_EQ(image.width, 7);
    EXPECT_EQ(image.height, 5);
    EXPECT_EQ(image.strideBytes, 16u);
    ASSERT_EQ(image.pixels.size(), 5u * 8u);
    EXPECT_EQ(CountPixels(image, 0), 35);

    EXPECT_EQ(Render(FieldBuilder(8, 2).Build()).strideBytes, 16u);
    EXPECT_EQ(Render(FieldBuilder(1, 1).Build()).strideBytes, 4u);
}

TEST(FieldRenderer, ZeroWidthOrHeightGivesEmptyImageWithoutError) {
    FieldBuilder narrow = SolidField(0, 16);
    narrow.AddTile(1, TileAt(0, 0));
    const FieldImage image = Render(narrow.Build());
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 16);
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_TRUE(Render(SolidField(16, 0).AddTile(1, TileAt(0, 0)).Build()).pixels.empty());
}

TEST(FieldRenderer, ConvertsColoursAndTreatsOnlyIndexZeroAsTransparent) {
    const uint16_t colours[] = {0x001F, 0x7C00, 0x03E0, 0x8000, 0x1234, 0x0000, 0xFFFF};
    const uint16_t expected[] = {0x7C00, 0x001F, 0x03E0, 0x0000, 0x5224, 0x0000, 0x7FFF};
    FieldBuilder field(16, 16);
    field.FillTexels(0, 0, 16, 16, 16, 9);  // white underlay
    field.SetColour(0, 9, 0x7FFF);
    for (int i = 0; i < 7; ++i) {
        field.SetColour(1, i + 1, colours[i]);
        field.SetTexel(0, i, 0, static_cast<uint8_t>(i + 1));
    }
    FieldTileSpec under = TileAt(-8, -8);
    under.srcY = 16;
    FieldTileSpec over = TileAt(-8, -8);
    over.palette = 1;
    const FieldImage image = Render(field.AddTile(1, under).AddTile(2, over).Build());
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(image.PixelAt(i, 0), expected[i]) << "colour " << i;
    }
    // Index 0 shows the first list's pixel; a colour of 0 or 0x8000 is drawn black.
    EXPECT_EQ(image.PixelAt(7, 0), 0x7FFF);
    EXPECT_EQ(image.PixelAt(0, 1), 0x7FFF);
    EXPECT_EQ(ConvertFieldColour(0x8000), 0);
}

TEST(FieldRenderer, ListOrderAndSkipFlag) {
    FieldBuilder field = SolidField(64, 32);
    field.SetTexel(0, 16 + 5, 5, 0);  // a hole in the green square
    FieldTileSpec skipped = TileAt(-16, -16, 16);
    skipped.skip = 0x8000;
    FieldTileSpec skippedToo = TileAt(0, 0, 0);
    skippedToo.skip = 1;
    // The second list is drawn after the first whatever order the tiles were added in.
    field.AddTile(2, TileAt(-32, -16, 16));  // green over ...
    field.AddTile(1, TileAt(-32, -16, 0));   // ... red
    field.AddTile(1, TileAt(-16, -16, 0));   // red, then in the same list
    field.AddTile(1, TileAt(-16, -16, 32));  // blue covers it
    field.AddTile(2, skipped).AddTile(2, skippedToo);
    const FieldImage image = Render(field.Build());

    EXPECT_EQ(image.PixelAt(0, 0), kGreenPixel);
    EXPECT_EQ(image.PixelAt(5, 5), kRedPixel);  // through the hole to the first list
    EXPECT_EQ(image.PixelAt(16, 0), kBluePixel);
    EXPECT_EQ(image.PixelAt(31, 15), kBluePixel);
    EXPECT_EQ(CountPixels(image, kGreenPixel), 255);
    EXPECT_EQ(CountPixels(image, kBluePixel), 256);
    EXPECT_EQ(CountPixels(image, kRedPixel), 1);
}

TEST(FieldRenderer, SkippedTileIsNotReadAtAll) {
    FieldBuilder field = SolidField(32, 32);
    FieldTileSpec wild = TileAt(1000, -1000);
    wild.skip = 1;
    FieldLayout at;
    Bytes file = field.AddTile(1, wild).AddTile(2, TileAt(0, 0)).Build(&at);
    PutU16(file, at.TileOffset(1, 0) + 32, 30000);   // page
    PutU16(file, at.TileOffset(1, 0) + 22, 0x8000);  // palette
    const FieldImage image = Render(file);
    EXPECT_EQ(CountPixels(image, kRedPixel), 256);
}

TEST(FieldRenderer, DestinationIsRelativeToRoundedDownCentre) {
    // 33 x 17: the centre is (16, 8).
    FieldBuilder field = SolidField(33, 17);
    field.AddTile(1, TileAt(-16, -8, 0)).AddTile(1, TileAt(0, 0, 16));
    const FieldImage image = Render(field.Build());
    EXPECT_EQ(image.PixelAt(0, 0), kRedPixel);
    EXPECT_EQ(image.PixelAt(15, 7), kRedPixel);
    EXPECT_EQ(image.PixelAt(16, 8), kGreenPixel);
    EXPECT_EQ(image.PixelAt(31, 16), kGreenPixel);  // clipped at the bottom
    EXPECT_EQ(image.PixelAt(32, 16), 0);
    EXPECT_EQ(image.PixelAt(15, 8), kRedPixel);
    EXPECT_EQ(image.PixelAt(16, 7), 0);
    EXPECT_EQ(CountPixels(image, kRedPixel), 256);
    EXPECT_EQ(CountPixels(image, kGreenPixel), 16 * 9);
}

TEST(FieldRenderer, TilesAtTheFourCorners) {
    FieldBuilder field = SolidField(48, 32);
    field.AddTile(1, TileAt(-24, -16, 0));
    field.AddTile(1, TileAt(8, -16, 16));
    field.AddTile(2, TileAt(-24, 0, 32));
    field.AddTile(2, TileAt(8, 0, 0));
    const FieldImage image = Render(field.Build());
    EXPECT_EQ(image.PixelAt(0, 0), kRedPixel);
    EXPECT_EQ(image.PixelAt(47, 0), kGreenPixel);
    EXPECT_EQ(image.PixelAt(32, 15), kGreenPixel);
    EXPECT_EQ(image.PixelAt(0, 31), kBluePixel);
    EXPECT_EQ(image.PixelAt(47, 31), kRedPixel);
    EXPECT_EQ(image.PixelAt(16, 16), 0);
    EXPECT_EQ(CountPixels(image, 0), 48 * 32 - 4 * 256);
}

TEST(FieldRenderer, DropsPixelsOutsideTheImage) {
    FieldBuilder field = SolidField(20, 20);  // centre (10, 10)
    field.AddTile(1, TileAt(-18, -18));       // 8 x 8 visible at the top-left
    field.AddTile(1, TileAt(2, 2, 16));       // 8 x 8 at the bottom-right
    field.AddTile(1, TileAt(-22, 0, 32));     // 4 columns at the left edge
    field.AddTile(1, TileAt(-26, -10));       // wholly left of the image
    field.AddTile(1, TileAt(10, -10));        // wholly right of it
    field.AddTile(1, TileAt(0, 10));          // wholly below it
    field.AddTile(1, TileAt(-32768, 32767));  // far away
    const FieldImage image = Render(field.Build());
    EXPECT_EQ(CountPixels(image, kRedPixel), 64);
    EXPECT_EQ(CountPixels(image, kGreenPixel), 64);
    EXPECT_EQ(CountPixels(image, kBluePixel), 4 * 10);
    EXPECT_EQ(image.PixelAt(7, 7), kRedPixel);
    EXPECT_EQ(image.PixelAt(12, 12), kGreenPixel);
    EXPECT_EQ(image.PixelAt(3, 19), kBluePixel);

    // A tile clipped at the right edge leaves the row padding alone.
    const FieldImage odd = Render(SolidField(17, 16).AddTile(1, TileAt(0, -8)).Build());
    ASSERT_EQ(odd.strideBytes, 36u);
    EXPECT_EQ(CountPixels(odd, kRedPixel), 9 * 16);
    for (int y = 0; y < 16; ++y) {
        EXPECT_EQ(odd.pixels[y * 18 + 17], 0) << "row " << y;
    }
}

TEST(FieldRenderer, SourceSquarePastColumn255RunsIntoTheNextRow) {
    FieldBuilder field(16, 16);
    field.SetColour(0, 1, kRed).SetColour(0, 2, kGreen);
    field.FillTexels(0, 250, 0, 6, 1, 1);  // columns 250..255 of row 0
    field.FillTexels(0, 0, 1, 10, 1, 2);   // then row 1 from column 0
    FieldTileSpec tile = TileAt(-8, -8, 250);
    const FieldImage image = Render(field.AddTile(1, tile).Build());
    EXPECT_EQ(image.PixelAt(0, 0), kRedPixel);
    EXPECT_EQ(image.PixelAt(5, 0), kRedPixel);
    EXPECT_EQ(image.PixelAt(6, 0), kGreenPixel);
    EXPECT_EQ(image.PixelAt(15, 0), kGreenPixel);
}

TEST(FieldRenderer, SelectsPageAndPalettePerTile) {
    FieldBuilder field(32, 16);
    field.SetColour(2, 7, 0x1234).SetColour(0, 7, kRed);
    field.FillTexels(1, 32, 48, 16, 16, 7);
    FieldTileSpec tile = TileAt(-16, -8, 32);
    tile.srcY = 48;
    tile.page = 1;
    tile.palette = 2;
    FieldTileSpec plain = TileAt(0, -8, 32);
    plain.srcY = 48;
    plain.page = 1;
    const FieldImage image = Render(field.AddTile(1, tile).AddTile(1, plain).Build());
    EXPECT_EQ(image.PixelAt(0, 0), 0x5224);
    EXPECT_EQ(image.PixelAt(31, 15), kRedPixel);
}

TEST(FieldRenderer, WideAndTallBackgroundsRender) {
    FieldBuilder wide = SolidField(40000, 16);
    wide.AddTile(1, TileAt(19984, -8));  // the rightmost 16 columns
    const FieldImage image = Render(wide.Build());
    EXPECT_EQ(image.width, 40000);
    EXPECT_EQ(image.PixelAt(39999, 15), kRedPixel);
    EXPECT_EQ(image.PixelAt(39983, 15), 0);

    const FieldImage tall = Render(SolidField(16, 65535).AddTile(1, TileAt(-8, 32752)).Build());
    EXPECT_EQ(tall.PixelAt(15, 65534), kRedPixel);
}

TEST(FieldRenderer, RefusesMoreThan16MebiPixels) {
    ExpectRefused(FieldBuilder(4097, 4096).Build(), FieldError::TooLarge);
    ExpectRefused(FieldBuilder(65535, 65535).Build(), FieldError::TooLarge);
    EXPECT_EQ(Render(FieldBuilder(4096, 4096).Build()).pixels.size(), 4096u * 4096u);
}

// Pixels no tile reaches are zero, also in an image that held a drawn one before: its
// storage is never reused uncleared.
TEST(FieldRenderer, PixelsNoTileReachesAreZeroEvenInAReusedImage) {
    FieldImage image;
    ASSERT_EQ(RenderInto(SolidField(16, 1).AddTile(1, TileAt(-8, -8)).Build(), image),
              FieldError::None);
    ASSERT_EQ(image.PixelAt(0, 0), kRedPixel);
    ASSERT_EQ(RenderInto(FieldBuilder(16, 16).Build(), image), FieldError::None);
    EXPECT_EQ(std::count(image.pixels.begin(), image.pixels.end(), 0), 16 * 16);
}

TEST(FieldRenderer, RefusesNullAndEmptyInput) {
    FieldImage image;
    EXPECT_EQ(RenderFieldBackground(nullptr, 0, image), FieldError::Empty);
    EXPECT_EQ(RenderFieldBackground(nullptr, 100, image), FieldError::Empty);
    const uint8_t byte = 0;
    EXPECT_EQ(RenderFieldBackground(&byte, 0, image), FieldError::Empty);
}

TEST(FieldRenderer, RefusesSectionCountsOutside9To16) {
    const Bytes file = SolidField(16, 16).AddTile(1, TileAt(0, 0)).Build();
    for (int32_t count : {0, 1, 8, 17, -1, INT32_MIN, INT32_MAX}) {
        SCOPED_TRACE(count);
        ExpectRefused(FieldWithSectionCount(file, count), FieldError::SectionCount);
    }
    ExpectRefused(FieldTruncated(file, 5), FieldError::SectionCount);
    EXPECT_EQ(Render(SolidField(16, 16).SetSectionCount(16).Build()).width, 16);
}

TEST(FieldRenderer, RefusesSectionTableOrSectionsOutsideTheFile) {
    FieldLayout layout;
    const Bytes file = SolidField(16, 16).SetSectionCount(16).Build(&layout);
    ExpectRefused(FieldTruncated(file, 6 + 4 * 16 - 1), FieldError::SectionRange);
    const uint32_t size = static_cast<uint32_t>(file.size());
    // Every section the count names, drawn from or not.
    for (int section : {0, 3, 8, 15}) {
        SCOPED_TRACE(section);
        ExpectRefused(FieldWithSectionOffset(file, section, size), FieldError::SectionRange);
        ExpectRefused(FieldWithSectionOffset(file, section, size - 3), FieldError::SectionRange);
        ExpectRefused(FieldWithSectionOffset(file, section, 0xFFFFFFFF), FieldError::SectionRange);
        ExpectRefused(FieldWithSectionOffset(file, section, 0xFFFFFFFC), FieldError::SectionRange);
    }
    // A section ending the file with only its size field is still inside.
    EXPECT_EQ(Render(FieldWithSectionOffset(file, 15, size - 4)).width, 16);
    // Offsets past the count are not part of the table.
    Bytes pastCount = FieldWithSectionCount(FieldWithSectionOffset(file, 15, 0xFFFFFFFF), 9);
    EXPECT_EQ(Render(pastCount).width, 16);
}

TEST(FieldRenderer, RefusesBackgroundSectionCutShort) {
    FieldBuilder field = SolidField(32, 32);
    field.AddTile(1, TileAt(0, 0)).AddTile(1, TileAt(-16, 0)).AddTile(2, TileAt(0, -16));
    FieldLayout at;
    const Bytes file = field.Build(&at);
    const size_t cuts[] = {at.background,       at.background + 45, at.background + 49,
                           at.tiles1 + 52 + 51, at.count2 + 1,      at.tiles2 + 51};
    for (size_t cut : cuts) {
        SCOPED_TRACE(cut);
        ExpectRefused(FieldTruncated(file, cut), FieldError::BackgroundRange);
    }
    Bytes manyTiles = file;
    PutU16(manyTiles, at.background + 44, 0xFFFF);
    ExpectRefused(manyTiles, FieldError::BackgroundRange);
    Bytes manySecond = file;
    PutU16(manySecond, at.count2, 2000);
    ExpectRefused(manySecond, FieldError::BackgroundRange);
}

TEST(FieldRenderer, RefusesTexelsPastTheEnd) {
    FieldBuilder field = SolidField(32, 32);
    field.AddTile(1, TileAt(0, 0, 32));  // last texel read: column 47, row 15 of page 0
    FieldLayout at;
    const Bytes file = field.Build(&at);
    const size_t end = at.TexelOffset(0, 47, 15) + 1;
    EXPECT_EQ(CountPixels(Render(FieldTruncated(file, end)), kBluePixel), 256);
    ExpectRefused(FieldTruncated(file, end - 1), FieldError::TexelRange);
    // Texels are checked even when the tile lands wholly outside the image.
    FieldTileSpec far = TileAt(500, 500);
    far.page = 3;
    FieldLayout offAt;
    const Bytes offImage = SolidField(32, 32).AddTile(2, far).Build(&offAt);
    ExpectRefused(FieldTruncated(offImage, offAt.TexelOffset(3, 15, 15)), FieldError::TexelRange);

    for (int16_t page : {int16_t{1}, int16_t{32767}, int16_t{-1}, int16_t{-32768}}) {
        SCOPED_TRACE(page);
        Bytes hostile = file;
        PutU16(hostile, at.TileOffset(1, 0) + 32, static_cast<uint16_t>(page));
        ExpectRefused(hostile, FieldError::TexelRange);
    }
    Bytes farSource = file;
    PutU16(farSource, at.TileOffset(1, 0) + 12, 0x7FFF);
    ExpectRefused(farSource, FieldError::TexelRange);
}

// Squares of page 0 filled with one index each, at columns 16 * (1 + k).
struct IndexSquares {
    FieldLayout at;
    Bytes file;
};

IndexSquares FieldOfIndexSquares(const std::vector<uint8_t>& indices) {
    FieldBuilder field(16, 16);
    for (size_t k = 0; k < indices.size(); ++k) {
        field.FillTexels(0, 16 * static_cast<int>(k + 1), 0, 16, 16, indices[k]);
    }
    IndexSquares result;
    result.file = field.AddTile(1, TileAt(-8, -8)).Build(&result.at);
    return result;
}

// Points the one tile at square k with the given palette.
Bytes WithSquareAndPalette(Bytes file, const FieldLayout& at, int k, int16_t palette) {
    PutU16(file, at.TileOffset(1, 0) + 10, static_cast<uint16_t>(16 * (k + 1)));
    PutU16(file, at.TileOffset(1, 0) + 22, static_cast<uint16_t>(palette));
    return file;
}

uint16_t StoredColour(const Bytes& file, size_t pos) {
    return static_cast<uint16_t>(file.at(pos) | (file.at(pos + 1) << 8));
}

TEST(FieldRenderer, ColoursMustLieInsideTheFile) {
    // Palette -1 starts before the file's first byte: its colours from `first` on lie
    // inside the file and are read as they stand; lower ones are refused.
    const size_t base = FieldBuilder(16, 16).Layout().ColourOffset(0, 0);
    ASSERT_LT(base, 500u);
    const uint8_t first = static_cast<uint8_t>((512 - base + 1) / 2);
    const IndexSquares low = FieldOfIndexSquares({first, uint8_t(first - 1), 1, 255});
    const size_t firstPos = base - 512 + 2 * first;
    EXPECT_EQ(Render(WithSquareAndPalette(low.file, low.at, 0, -1)).PixelAt(0, 0),
              ConvertFieldColour(StoredColour(low.file, firstPos)));
    ExpectRefused(WithSquareAndPalette(low.file, low.at, 1, -1), FieldError::SectionRange);
    ExpectRefused(WithSquareAndPalette(low.file, low.at, 2, -1), FieldError::SectionRange);
    ExpectRefused(WithSquareAndPalette(low.file, low.at, 2, 0x7FFF), FieldError::SectionRange);

    // A palette that runs past the file's end: cut the file so colour 100 of it is the
    // last whole colour inside. The texels read lie far before the cut.
    const IndexSquares high = FieldOfIndexSquares({100, 101, 0});
    const int16_t palette = static_cast<int16_t>((high.file.size() - base - 202) / 512);
    const Bytes cut = FieldTruncated(high.file, high.at.ColourOffset(palette, 101));
    ASSERT_GT(cut.size(), high.at.TexelOffset(0, 63, 15));
    EXPECT_EQ(Render(WithSquareAndPalette(cut, high.at, 0, palette)).PixelAt(15, 15),
              ConvertFieldColour(StoredColour(cut, high.at.ColourOffset(palette, 100))));
    ExpectRefused(WithSquareAndPalette(cut, high.at, 1, palette), FieldError::SectionRange);
    // A tile of index 0 alone reads no colour, so any palette number will do.
    EXPECT_EQ(Render(WithSquareAndPalette(cut, high.at, 2, 0x7FFF)).PixelAt(0, 0), 0);
}

TEST(FieldRenderer, DescribesEveryError) {
    for (FieldError error :
         {FieldError::Empty, FieldError::SectionCount, FieldError::SectionRange,
          FieldError::BackgroundRange, FieldError::TexelRange, FieldError::TooLarge}) {
        EXPECT_STRNE(DescribeFieldError(error), DescribeFieldError(FieldError::None));
    }
}

}  // namespace
