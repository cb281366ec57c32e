// SPDX-License-Identifier: MIT
// Writes the seed inputs of the field renderer's fuzz target into DIR. Each seed is a
// small field file cut right after the last texel its tiles read, so the seeds stay a
// few kilobytes although a texture page alone is 64 KiB.
//
//   lumo_make_field_seeds fuzz/seeds/fuzz_field_render
#include <algorithm>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "tests/support/field_builder.h"
#include "tests/support/lgp_writer.h"

namespace {

using namespace lumo::test;

FieldTileSpec Tile(int dstX, int dstY, int srcX, int srcY, int palette = 0, uint16_t skip = 0) {
    FieldTileSpec tile;
    tile.dstX = static_cast<int16_t>(dstX);
    tile.dstY = static_cast<int16_t>(dstY);
    tile.srcX = static_cast<int16_t>(srcX);
    tile.srcY = static_cast<int16_t>(srcY);
    tile.palette = static_cast<int16_t>(palette);
    tile.skip = skip;
    return tile;
}

FieldBuilder Painted(uint16_t width, uint16_t height) {
    FieldBuilder field(width, height);
    for (int p = 0; p < 2; ++p) {
        for (int i = 1; i < 8; ++i) {
            field.SetColour(p, i, static_cast<uint16_t>(i * 0x0421 + p * 0x1F));
        }
    }
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 64; ++x) {
            field.SetTexel(0, x, y, static_cast<uint8_t>((x + y) % 9 < 2 ? 0 : (x / 8 + y) % 8));
        }
    }
    return field;
}

// The built file, cut `spare` bytes after the last texel a drawn tile reads.
Bytes CutAfterTexels(const FieldBuilder& field, const std::vector<FieldTileSpec>& tiles,
                     long spare = 0) {
    FieldLayout layout;
    const Bytes file = field.Build(&layout);
    size_t end = layout.textures;
    for (const FieldTileSpec& tile : tiles) {
        if (tile.skip == 0) {
            end =
                std::max(end, layout.TexelOffset(tile.page, tile.srcX, tile.srcY) + 15 * 256 + 16);
        }
    }
    return FieldTruncated(file, static_cast<size_t>(static_cast<long>(end) + spare));
}

Bytes WithTiles(FieldBuilder field, const std::vector<FieldTileSpec>& list1,
                const std::vector<FieldTileSpec>& list2, long spare = 0) {
    for (const FieldTileSpec& tile : list1) {
        field.AddTile(1, tile);
    }
    for (const FieldTileSpec& tile : list2) {
        field.AddTile(2, tile);
    }
    std::vector<FieldTileSpec> all = list1;
    all.insert(all.end(), list2.begin(), list2.end());
    return CutAfterTexels(field, all, spare);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " OUTPUT-DIR\n";
        return 2;
    }
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        auto write = [&dir](const std::string& name, const Bytes& bytes) {
            WriteFile((dir / name).string(), bytes);
        };
        write("one-tile", WithTiles(Painted(16, 16), {Tile(-8, -8, 0, 0)}, {}));
        write("two-lists",
              WithTiles(Painted(48, 32),
                        {Tile(-24, -16, 0, 0), Tile(-8, -16, 16, 0, 1), Tile(8, 0, 32, 0, 0, 1)},
                        {Tile(-16, -8, 48, 0, 1), Tile(0, 0, 16, 0)}));
        write("sixteen-sections-odd-size",
              WithTiles(Painted(33, 17).SetSectionCount(16), {Tile(-16, -8, 0, 0)},
                        {Tile(10, 4, 16, 0), Tile(-30, -20, 32, 0)}));
        write("past-column-255", WithTiles(Painted(32, 32), {Tile(-16, -16, 250, 0)}, {}));
        write("texels-cut-short", WithTiles(Painted(16, 16), {Tile(-8, -8, 16, 0)}, {}, -1));
        write("empty-lists", WithTiles(FieldBuilder(64, 48), {}, {}));
    } catch (const std::exception& error) {
        std::cerr << argv[0] << ": " << error.what() << "\n";
        return 1;
    }
    return 0;
}
