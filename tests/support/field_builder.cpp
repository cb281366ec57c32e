// SPDX-License-Identifier: MIT
#include "tests/support/field_builder.h"

#include <algorithm>
#include <cstring>

namespace lumo::test {
namespace {

constexpr size_t kPageBytes = 65542;
constexpr size_t kPageTexels = 65536;
constexpr size_t kTileBytes = 52;
constexpr size_t kPaletteHeader = 12;
constexpr size_t kPaletteBytes = 512;
constexpr int kPaletteSection = 3;
constexpr int kBackgroundSection = 8;

// Deterministic non-zero junk for the bytes nobody should read.
void PutJunk(Bytes& bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        bytes.push_back(static_cast<uint8_t>(0x80 | ((bytes.size() * 37 + 11) & 0x7F)));
    }
}

void AppendU16(Bytes& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void AppendU32(Bytes& bytes, uint32_t value) {
    AppendU16(bytes, static_cast<uint16_t>(value));
    AppendU16(bytes, static_cast<uint16_t>(value >> 16));
}

// Sections the renderer never interprets still look like something: a size and a
// recognisable pattern of a length of their own.
Bytes FillerSection(int index) {
    Bytes data;
    AppendU16(data, static_cast<uint16_t>(0x0502 + index));
    for (int i = 0; i < 24 + 13 * index; ++i) {
        data.push_back(static_cast<uint8_t>(index * 16 + i));
    }
    return data;
}

void AppendTile(Bytes& bytes, const FieldTileSpec& tile) {
    const size_t start = bytes.size();
    PutJunk(bytes, kTileBytes);
    PutU16(bytes, start + 2, static_cast<uint16_t>(tile.dstX));
    PutU16(bytes, start + 4, static_cast<uint16_t>(tile.dstY));
    PutU16(bytes, start + 10, static_cast<uint16_t>(tile.srcX));
    PutU16(bytes, start + 12, static_cast<uint16_t>(tile.srcY));
    PutU16(bytes, start + 22, static_cast<uint16_t>(tile.palette));
    PutU16(bytes, start + 32, static_cast<uint16_t>(tile.page));
    PutU16(bytes, start + 34, tile.skip);
}

}  // namespace

size_t FieldLayout::ColourOffset(int palette, int index) const {
    return paletteData + kPaletteHeader + kPaletteBytes * palette + 2 * index;
}

size_t FieldLayout::TexelOffset(int page, int x, int y) const {
    return textures + kPageBytes * page + 6 + 256 * y + x;
}

size_t FieldLayout::TileOffset(int list, int index) const {
    return (list == 1 ? tiles1 : tiles2) + kTileBytes * index;
}

FieldBuilder::FieldBuilder(uint16_t width, uint16_t height) : width_(width), height_(height) {}

FieldBuilder& FieldBuilder::SetSectionCount(int32_t count) {
    sectionCount_ = count;
    return *this;
}

FieldBuilder& FieldBuilder::SetPaletteCount(int count) {
    paletteCount_ = count;
    return *this;
}

FieldBuilder& FieldBuilder::SetPageCount(int count) {
    pageCount_ = count;
    return *this;
}

FieldBuilder& FieldBuilder::SetColour(int palette, int index, uint16_t colour) {
    if (palettes_.size() <= static_cast<size_t>(palette)) {
        palettes_.resize(palette + 1, std::vector<uint16_t>(256, 0));
    }
    palettes_[palette][index] = colour;
    return *this;
}

FieldBuilder& FieldBuilder::SetTexel(int page, int x, int y, uint8_t index) {
    if (pages_.size() <= static_cast<size_t>(page)) {
        pages_.resize(page + 1, Bytes(kPageTexels, 0));
    }
    pages_[page][256 * y + x] = index;
    return *this;
}

FieldBuilder& FieldBuilder::FillTexels(int page, int x, int y, int width, int height,
                                       uint8_t index) {
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            SetTexel(page, x + col, y + row, index);
        }
    }
    return *this;
}

FieldBuilder& FieldBuilder::SetSquare(int page, int x, int y, const uint8_t* indices) {
    for (int i = 0; i < 256; ++i) {
        SetTexel(page, x + i % 16, y + i / 16, indices[i]);
    }
    return *this;
}

FieldBuilder& FieldBuilder::AddTile(int list, const FieldTileSpec& tile) {
    tiles_[list == 1 ? 0 : 1].push_back(tile);
    return *this;
}

int FieldBuilder::PaletteCount() const {
    int count = std::max(paletteCount_, static_cast<int>(palettes_.size()));
    for (const auto& list : tiles_) {
        for (const FieldTileSpec& tile : list) {
            count = std::max(count, tile.palette + 1);
        }
    }
    return count;
}

int FieldBuilder::PageCount() const {
    int count = std::max(pageCount_, static_cast<int>(pages_.size()));
    for (const auto& list : tiles_) {
        for (const FieldTileSpec& tile : list) {
            count = std::max(count, tile.page + 1);
        }
    }
    return count;
}

Bytes FieldBuilder::Build(FieldLayout* layout) const {
    FieldLayout where;
    const int sections = sectionCount_ >= 9 && sectionCount_ <= 16 ? sectionCount_ : 9;
    Bytes bytes;
    AppendU16(bytes, 0);
    AppendU32(bytes, static_cast<uint32_t>(sectionCount_));
    const size_t table = bytes.size();
    bytes.resize(table + 4 * sections, 0);

    for (int k = 0; k < sections; ++k) {
        where.sections.push_back(bytes.size());
        PutU32(bytes, table + 4 * k, static_cast<uint32_t>(bytes.size()));
        const size_t sizeField = bytes.size();
        AppendU32(bytes, 0);
        if (k == kPaletteSection) {
            where.paletteData = bytes.size();
            const int count = PaletteCount();
            AppendU32(bytes, static_cast<uint32_t>(kPaletteHeader + kPaletteBytes * count));
            AppendU16(bytes, 0);
            AppendU16(bytes, 480);
            AppendU16(bytes, 256);
            AppendU16(bytes, static_cast<uint16_t>(count));
            for (int p = 0; p < count; ++p) {
                for (int i = 0; i < 256; ++i) {
                    const bool set = static_cast<size_t>(p) < palettes_.size();
                    AppendU16(bytes, set ? palettes_[p][i] : 0);
                }
            }
        } else if (k == kBackgroundSection) {
            where.background = bytes.size();
            PutJunk(bytes, 40);
            AppendU16(bytes, width_);
            AppendU16(bytes, height_);
            where.count1 = static_cast<uint16_t>(tiles_[0].size());
            AppendU16(bytes, where.count1);
            PutJunk(bytes, 4);
            where.tiles1 = bytes.size();
            for (const FieldTileSpec& tile : tiles_[0]) {
                AppendTile(bytes, tile);
            }
            PutJunk(bytes, 7);
            where.count2 = bytes.size();
            AppendU16(bytes, static_cast<uint16_t>(tiles_[1].size()));
            PutJunk(bytes, 18);
            where.tiles2 = bytes.size();
            for (const FieldTileSpec& tile : tiles_[1]) {
                AppendTile(bytes, tile);
            }
            PutJunk(bytes, 11);
            where.textures = bytes.size();
            const Bytes blank(kPageTexels, 0);
            for (int q = 0; q < PageCount(); ++q) {
                AppendU16(bytes, 1);  // page in use
                AppendU16(bytes, 0);
                AppendU16(bytes, 1);  // 8-bit indices
                const auto& texels = static_cast<size_t>(q) < pages_.size() ? pages_[q] : blank;
                bytes.insert(bytes.end(), texels.begin(), texels.end());
            }
        } else {
            const Bytes data = FillerSection(k);
            bytes.insert(bytes.end(), data.begin(), data.end());
        }
        PutU32(bytes, sizeField, static_cast<uint32_t>(bytes.size() - sizeField - 4));
    }
    where.size = bytes.size();
    if (layout != nullptr) {
        *layout = where;
    }
    return bytes;
}

FieldLayout FieldBuilder::Layout() const {
    FieldLayout layout;
    Build(&layout);
    return layout;
}

void PutU16(Bytes& bytes, size_t pos, uint16_t value) {
    bytes.at(pos) = static_cast<uint8_t>(value);
    bytes.at(pos + 1) = static_cast<uint8_t>(value >> 8);
}

void PutU32(Bytes& bytes, size_t pos, uint32_t value) {
    PutU16(bytes, pos, static_cast<uint16_t>(value));
    PutU16(bytes, pos + 2, static_cast<uint16_t>(value >> 16));
}

Bytes FieldWithSectionCount(Bytes file, int32_t count) {
    PutU32(file, 2, static_cast<uint32_t>(count));
    return file;
}

Bytes FieldWithSectionOffset(Bytes file, int section, uint32_t offset) {
    PutU32(file, 6 + 4 * static_cast<size_t>(section), offset);
    return file;
}

Bytes FieldTruncated(Bytes file, size_t size) {
    file.resize(std::min(size, file.size()));
    return file;
}

}  // namespace lumo::test
