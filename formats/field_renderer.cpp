// SPDX-License-Identifier: MIT
#include "formats/field_renderer.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "platform/byte_cursor.h"

namespace {

// Layout of the parts of a field file the renderer reads. Offsets inside the background
// section are from the start of its data (4 bytes past its table offset).
constexpr int kPaletteSection = 3;
constexpr int kBackgroundSection = 8;
constexpr int kMinSections = 9;
constexpr int kMaxSections = 16;
constexpr int64_t kSectionTable = 6;
constexpr int64_t kPaletteHeader = 12;
constexpr int64_t kPaletteBytes = 512;
constexpr int64_t kTileBytes = 52;
constexpr int64_t kTiles1 = 50;
constexpr int64_t kCount2 = 57;    // plus 52 * N1
constexpr int64_t kTiles2 = 77;    // plus 52 * N1
constexpr int64_t kTextures = 88;  // plus 52 * (N1 + N2)
constexpr int64_t kPageBytes = 65542;
constexpr int64_t kPageHeader = 6;
constexpr int64_t kTexelRow = 256;
constexpr int kTileSide = 16;
constexpr int64_t kTileSpan = (kTileSide - 1) * kTexelRow + kTileSide;  // bytes a tile touches
constexpr uint64_t kMaxPixels = 16777216;

// Positions are kept as signed 64-bit offsets from the start of the file, so that sums
// of hostile 16- and 32-bit fields can neither wrap nor point outside the buffer unseen.
class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(static_cast<int64_t>(size)) {}

    bool Holds(int64_t pos, int64_t count) const {
        return pos >= 0 && count >= 0 && pos <= size_ && count <= size_ - pos;
    }
    uint16_t U16(int64_t pos) const { return LoadLe16(data_ + pos); }
    int16_t S16(int64_t pos) const { return static_cast<int16_t>(U16(pos)); }
    uint32_t U32(int64_t pos) const { return LoadLe32(data_ + pos); }
    const uint8_t* At(int64_t pos) const { return data_ + pos; }
    int64_t Size() const { return size_; }

private:
    const uint8_t* data_;
    int64_t size_;
};

struct Tile {
    int16_t dstX, dstY, srcX, srcY, palette, page;
    uint16_t skip;
};

Tile ReadTile(const Bytes& bytes, int64_t pos) {
    Tile tile;
    tile.dstX = bytes.S16(pos + 2);
    tile.dstY = bytes.S16(pos + 4);
    tile.srcX = bytes.S16(pos + 10);
    tile.srcY = bytes.S16(pos + 12);
    tile.palette = bytes.S16(pos + 22);
    tile.page = bytes.S16(pos + 32);
    tile.skip = bytes.U16(pos + 34);
    return tile;
}

struct Background {
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t count1 = 0;
    uint16_t count2 = 0;
    int64_t tiles1 = 0;
    int64_t tiles2 = 0;
    int64_t textures = 0;
    int64_t palettes = 0;
};

// The data of section `index`: 4 bytes past its table offset, where its size field
// stands. The table itself has been checked by the caller.
int64_t SectionData(const Bytes& bytes, int index) {
    return int64_t{bytes.U32(kSectionTable + 4 * index)} + 4;
}

// A field file names every one of its sections by an offset into itself, and each
// section starts with its 4-byte size; a table that points any section outside the
// file is no field file, even where the section is one the renderer never draws from.
bool SectionsInside(const Bytes& bytes, int count) {
    for (int k = 0; k < count; ++k) {
        if (!bytes.Holds(SectionData(bytes, k) - 4, 4)) {
            return false;
        }
    }
    return true;
}

FieldError ReadSections(const Bytes& bytes, int64_t& palette, int64_t& background) {
    if (!bytes.Holds(2, 4)) {
        return FieldError::SectionCount;
    }
    const int32_t count = static_cast<int32_t>(bytes.U32(2));
    if (count < kMinSections || count > kMaxSections) {
        return FieldError::SectionCount;
    }
    if (!bytes.Holds(kSectionTable, 4 * int64_t{count}) || !SectionsInside(bytes, count)) {
        return FieldError::SectionRange;
    }
    palette = SectionData(bytes, kPaletteSection);
    background = SectionData(bytes, kBackgroundSection);
    return FieldError::None;
}

FieldError ReadBackground(const Bytes& bytes, int64_t section, Background& bg) {
    if (!bytes.Holds(section, kTiles1)) {
        return FieldError::BackgroundRange;
    }
    bg.width = bytes.U16(section + 40);
    bg.height = bytes.U16(section + 42);
    bg.count1 = bytes.U16(section + 44);
    const int64_t list1 = kTileBytes * bg.count1;
    bg.tiles1 = section + kTiles1;
    if (!bytes.Holds(bg.tiles1, list1) || !bytes.Holds(section + kCount2 + list1, 2)) {
        return FieldError::BackgroundRange;
    }
    bg.count2 = bytes.U16(section + kCount2 + list1);
    bg.tiles2 = section + kTiles2 + list1;
    if (!bytes.Holds(bg.tiles2, kTileBytes * bg.count2)) {
        return FieldError::BackgroundRange;
    }
    bg.textures = section + kTextures + kTileBytes * (bg.count1 + bg.count2);
    if (uint64_t{bg.width} * bg.height > kMaxPixels) {
        return FieldError::TooLarge;
    }
    return FieldError::None;
}

// One palette converted to the image's pixel layout. Colours that lie outside the file
// are left out: `first`..`last` is the run of indices (1..255) that can be read, empty
// when first > last. Index 0 is never looked up, since it means transparent.
struct Palette {
    std::array<uint16_t, 256> colours{};
    int first = 1;
    int last = 255;
};

// Converted palettes, built the first time a tile asks for one: the conversion is paid
// once per palette instead of once per texel. Palettes with no colour inside the file
// are not kept, so a hostile file naming thousands of them costs no memory.
class PaletteCache {
public:
    PaletteCache(const Bytes& bytes, int64_t base) : bytes_(bytes), base_(base) {}

    const Palette& Get(int16_t number) {
        if (last_ != nullptr && lastNumber_ == number) {
            return *last_;
        }
        auto found = cache_.find(number);
        if (found == cache_.end()) {
            Palette palette = Convert(number);
            if (palette.first > palette.last) {
                return unreadable_;
            }
            found = cache_.emplace(number, palette).first;
        }
        lastNumber_ = number;
        last_ = &found->second;
        return *last_;
    }

private:
    Palette Convert(int16_t number) const {
        Palette palette;
        // Colour i lies at start + 2i; the readable ones form one run.
        const int64_t start = base_ + kPaletteBytes * number;
        const int64_t room = bytes_.Size() - 2 - start;
        palette.first = static_cast<int>(std::max<int64_t>(1, start < 0 ? (1 - start) / 2 : 1));
        palette.last = static_cast<int>(room < 0 ? 0 : std::min<int64_t>(255, room / 2));
        for (int i = palette.first; i <= palette.last; ++i) {
            palette.colours[i] = ConvertFieldColour(bytes_.U16(start + 2 * i));
        }
        return palette;
    }

    const Bytes& bytes_;
    int64_t base_;
    std::unordered_map<int16_t, Palette> cache_;
    int16_t lastNumber_ = 0;
    const Palette* last_ = nullptr;
    const Palette unreadable_{{}, 256, 0};
};

// True when every non-zero index among the tile's 256 texels names a readable colour.
// The whole tile is judged, whether or not all of it lands in the image, so that a
// file is accepted or refused the same way whatever the background's size.
bool ColoursReadable(const uint8_t* texels, const Palette& palette) {
    if (palette.first == 1 && palette.last == 255) {
        return true;
    }
    for (int row = 0; row < kTileSide; ++row) {
        for (int col = 0; col < kTileSide; ++col) {
            const int index = texels[row * kTexelRow + col];
            if (index != 0 && (index < palette.first || index > palette.last)) {
                return false;
            }
        }
    }
    return true;
}

class TileDrawer {
public:
    TileDrawer(const Bytes& bytes, const Background& bg, FieldImage& image)
        : bytes_(bytes), bg_(bg), image_(image), palettes_(bytes, bg.palettes) {}

    FieldError DrawList(int64_t start, uint16_t count) {
        for (int64_t i = 0; i < count; ++i) {
            const FieldError error = Draw(ReadTile(bytes_, start + kTileBytes * i));
            if (error != FieldError::None) {
                return error;
            }
        }
        return FieldError::None;
    }

private:
    FieldError Draw(const Tile& tile) {
        if (tile.skip != 0) {
            return FieldError::None;
        }
        // Pages and source squares are addressed linearly: a square past column 255
        // runs on into the bytes that follow, and only the file's end bounds it.
        const int64_t first =
            bg_.textures + kPageBytes * tile.page + kPageHeader + kTexelRow * tile.srcY + tile.srcX;
        if (!bytes_.Holds(first, kTileSpan)) {
            return FieldError::TexelRange;
        }
        const uint8_t* texels = bytes_.At(first);
        const Palette& palette = palettes_.Get(tile.palette);
        if (!ColoursReadable(texels, palette)) {
            return FieldError::SectionRange;
        }
        Blit(texels, palette.colours.data(), tile.dstX + bg_.width / 2, tile.dstY + bg_.height / 2);
        return FieldError::None;
    }

    // Copies the part of the 16x16 square that lies inside the image; the clip is
    // worked out once per tile so the texel loop itself has no bounds tests.
    void Blit(const uint8_t* texels, const uint16_t* colours, int x0, int y0) {
        const int rowBegin = std::max(0, -y0);
        const int rowEnd = std::min(kTileSide, int{bg_.height} - y0);
        const int colBegin = std::max(0, -x0);
        const int colEnd = std::min(kTileSide, int{bg_.width} - x0);
        const size_t pitch = image_.strideBytes / 2;
        for (int row = rowBegin; row < rowEnd; ++row) {
            const uint8_t* src = texels + row * kTexelRow;
            uint16_t* line = image_.pixels.data() + (y0 + row) * pitch;
            for (int col = colBegin; col < colEnd; ++col) {
                // Masks instead of a branch: transparent texels are scattered, and a
                // mispredicted branch costs more than the store. colours[0] is 0.
                const uint8_t index = src[col];
                const int keep = -static_cast<int>(index == 0);
                line[x0 + col] = static_cast<uint16_t>((line[x0 + col] & keep) | colours[index]);
            }
        }
    }

    const Bytes& bytes_;
    const Background& bg_;
    FieldImage& image_;
    PaletteCache palettes_;
};

FieldError Render(const Bytes& bytes, FieldImage& out) {
    int64_t paletteSection = 0;
    int64_t backgroundSection = 0;
    FieldError error = ReadSections(bytes, paletteSection, backgroundSection);
    if (error != FieldError::None) {
        return error;
    }
    Background bg;
    error = ReadBackground(bytes, backgroundSection, bg);
    if (error != FieldError::None) {
        return error;
    }
    bg.palettes = paletteSection + kPaletteHeader;

    out.width = bg.width;
    out.height = bg.height;
    out.strideBytes = (size_t{bg.width} * 2 + 3) & ~size_t{3};
    out.pixels = PixelBuffer(bg.height * (out.strideBytes / 2));

    TileDrawer drawer(bytes, bg, out);
    error = drawer.DrawList(bg.tiles1, bg.count1);
    if (error == FieldError::None) {
        error = drawer.DrawList(bg.tiles2, bg.count2);
    }
    return error;
}

}  // namespace

const char* DescribeFieldError(FieldError error) {
    switch (error) {
        case FieldError::None:
            return "no error";
        case FieldError::Empty:
            return "the field file is empty";
        case FieldError::SectionCount:
            return "the field file's section count is not between 9 and 16";
        case FieldError::SectionRange:
            return "a section of the field file lies outside the file";
        case FieldError::BackgroundRange:
            return "the background section runs past the end of the file";
        case FieldError::TexelRange:
            return "a tile reads texels past the end of the file";
        case FieldError::TooLarge:
            return "the background is larger than 16,777,216 pixels";
    }
    return "unknown field error";
}

FieldError RenderFieldBackground(const uint8_t* data, size_t size, FieldImage& out) {
    out = FieldImage();
    if (data == nullptr || size == 0) {
        return FieldError::Empty;
    }
    const FieldError error = Render(Bytes(data, size), out);
    if (error != FieldError::None) {
        out = FieldImage();
    }
    return error;
}
