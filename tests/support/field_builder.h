// SPDX-License-Identifier: MIT
#pragma once
// Builds field files (the decompressed bytes of a field archive entry) the way real ones
// look: a 9-section table (more on request) whose sections other than the palette and
// background carry filler of their own, a palette section, and a background section
// with both tile lists and whole 256x256 texture pages. The bytes the renderer must not
// read (gaps in the background header, unused tile fields) are filled with non-zero
// junk, so a renderer that reads the wrong offset shows it.
//
// Tests place tiles, texels and colours; FieldLayout tells where each part landed so a
// test can corrupt exactly that part, and the Field* functions below make the usual
// hostile variants.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumo::test {

using Bytes = std::vector<uint8_t>;

struct FieldTileSpec {
    int16_t dstX = 0;  // relative to the image centre (W / 2, H / 2)
    int16_t dstY = 0;
    int16_t srcX = 0;  // top-left texel in the page
    int16_t srcY = 0;
    int16_t palette = 0;
    int16_t page = 0;
    uint16_t skip = 0;  // non-zero: the tile is not drawn
};

// Byte offsets from the start of the built file.
struct FieldLayout {
    size_t size = 0;
    std::vector<size_t> sections;  // each section's table offset (its 4-byte size field)
    size_t paletteData = 0;        // section 3's data
    size_t background = 0;         // section 8's data
    uint16_t count1 = 0;
    size_t tiles1 = 0;
    size_t count2 = 0;  // N2, the second list's count
    size_t tiles2 = 0;
    size_t textures = 0;  // texture area: page 0's 6-byte header

    size_t ColourOffset(int palette, int index) const;
    size_t TexelOffset(int page, int x, int y) const;
    size_t TileOffset(int list, int index) const;  // list 1 or 2
};

class FieldBuilder {
public:
    FieldBuilder(uint16_t width, uint16_t height);

    // The count stored at offset 2. 9..16 writes that many sections; any other value is
    // stored as given over a 9-section table, for hostile files.
    FieldBuilder& SetSectionCount(int32_t count);
    // At least this many palettes / pages are written; both also grow to cover every
    // colour, texel and tile placed.
    FieldBuilder& SetPaletteCount(int count);
    FieldBuilder& SetPageCount(int count);

    FieldBuilder& SetColour(int palette, int index, uint16_t colour);
    FieldBuilder& SetTexel(int page, int x, int y, uint8_t index);
    FieldBuilder& FillTexels(int page, int x, int y, int width, int height, uint8_t index);
    // Lays the 16x16 square at (x, y) of the page out from a row-major 256-byte pattern.
    FieldBuilder& SetSquare(int page, int x, int y, const uint8_t* indices);

    FieldBuilder& AddTile(int list, const FieldTileSpec& tile);  // list 1 or 2

    Bytes Build(FieldLayout* layout = nullptr) const;
    FieldLayout Layout() const;

private:
    int PaletteCount() const;
    int PageCount() const;

    uint16_t width_;
    uint16_t height_;
    int32_t sectionCount_ = 9;
    int paletteCount_ = 1;
    int pageCount_ = 1;
    std::vector<std::vector<uint16_t>> palettes_;
    std::vector<Bytes> pages_;
    std::vector<FieldTileSpec> tiles_[2];
};

// Little-endian stores into a built file.
void PutU16(Bytes& bytes, size_t pos, uint16_t value);
void PutU32(Bytes& bytes, size_t pos, uint32_t value);

// Hostile variants of a built file.
Bytes FieldWithSectionCount(Bytes file, int32_t count);
Bytes FieldWithSectionOffset(Bytes file, int section, uint32_t offset);
Bytes FieldTruncated(Bytes file, size_t size);

}  // namespace lumo::test
