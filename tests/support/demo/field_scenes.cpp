// SPDX-License-Identifier: MIT
#include "tests/support/demo/field_scenes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>

namespace lumo::test {
namespace {

using Square = std::array<uint8_t, 256>;

// Field palette colour from 5-bit channels: red low, blue high.
uint16_t Colour(int r, int g, int b) {
    auto clamp = [](int v) { return std::clamp(v, 0, 31); };
    return static_cast<uint16_t>(clamp(r) | (clamp(g) << 5) | (clamp(b) << 10));
}

// Fills indices first..last of a palette with a ramp between two colours.
void Ramp(FieldBuilder& field, int palette, int first, int last, std::array<int, 3> from,
          std::array<int, 3> to) {
    for (int i = first; i <= last; ++i) {
        const double t = last == first ? 0.0 : double(i - first) / (last - first);
        auto mix = [&](int c) { return int(std::lround(from[c] + (to[c] - from[c]) * t)); };
        field.SetColour(palette, i, Colour(mix(0), mix(1), mix(2)));
    }
}

// 4x4 ordered dither, so gradients band softly and still repeat every 16 pixels.
double Dither(int x, int y) {
    static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    return (kBayer[y & 3][x & 3] + 0.5) / 16.0;
}

// Repeats every 16 pixels, so textured ground still shares texture squares.
int Grain(int x, int y) {
    const unsigned h = static_cast<unsigned>((x & 15) * 73856093u ^ (y & 15) * 19349663u);
    return static_cast<int>((h >> 7) % 4);
}

// One picture layer: a palette index per pixel (0 = nothing) drawn with one palette.
struct Layer {
    Layer(int w, int h, int16_t pal) : width(w), height(h), palette(pal), index(w * h, 0) {}

    void Set(int x, int y, int value) {
        if (x >= 0 && y >= 0 && x < width && y < height) {
            index[y * width + x] = static_cast<uint8_t>(value);
        }
    }
    void Rect(int x, int y, int w, int h, int value) {
        for (int row = y; row < y + h; ++row) {
            for (int col = x; col < x + w; ++col) {
                Set(col, row, value);
            }
        }
    }
    void Disc(int cx, int cy, int r, const std::function<int(int, int, double)>& paint) {
        for (int y = cy - r; y <= cy + r; ++y) {
            for (int x = cx - r; x <= cx + r; ++x) {
                const double d = std::hypot(x - cx, y - cy) / r;
                if (d <= 1.0) {
                    Set(x, y, paint(x, y, d));
                }
            }
        }
    }

    int width;
    int height;
    int16_t palette;
    std::vector<uint8_t> index;
};

// Hands out 16x16 squares of texture pages, one per distinct tile picture.
class Atlas {
public:
    explicit Atlas(FieldBuilder& field) : field_(field) {}

    FieldTileSpec Place(const Square& square) {
        auto found = slots_.find(square);
        if (found == slots_.end()) {
            const int slot = static_cast<int>(slots_.size());
            FieldTileSpec where;
            where.page = static_cast<int16_t>(slot / 256);
            where.srcX = static_cast<int16_t>((slot % 16) * 16);
            where.srcY = static_cast<int16_t>((slot / 16 % 16) * 16);
            field_.SetSquare(where.page, where.srcX, where.srcY, square.data());
            found = slots_.emplace(square, where).first;
        }
        return found->second;
    }

private:
    FieldBuilder& field_;
    std::map<Square, FieldTileSpec> slots_;
};

// Cuts a layer into tiles on the 16-pixel grid and adds the non-empty ones to a list.
void AddLayer(FieldBuilder& field, Atlas& atlas, const Layer& layer, int list, uint16_t skip = 0) {
    for (int cy = 0; cy * 16 < layer.height; ++cy) {
        for (int cx = 0; cx * 16 < layer.width; ++cx) {
            Square square{};
            bool any = false;
            for (int i = 0; i < 256; ++i) {
                const int x = cx * 16 + i % 16;
                const int y = cy * 16 + i / 16;
                if (x < layer.width && y < layer.height) {
                    square[i] = layer.index[y * layer.width + x];
                    any = any || square[i] != 0;
                }
            }
            if (!any) {
                continue;
            }
            FieldTileSpec tile = atlas.Place(square);
            tile.dstX = static_cast<int16_t>(cx * 16 - layer.width / 2);
            tile.dstY = static_cast<int16_t>(cy * 16 - layer.height / 2);
            tile.palette = layer.palette;
            tile.skip = skip;
            field.AddTile(list, tile);
        }
    }
}

// Palette 0 of every scene: sky 1-64, ground 65-96, path 97-112, water 113-128,
// hills 129-144. Palette 1: the house. Palette 2: trees and the sun or moon.
struct Sky {
    std::array<int, 3> top, horizon;
};

void LandscapePalette(FieldBuilder& field, const Sky& sky, std::array<int, 3> grass,
                      std::array<int, 3> water, std::array<int, 3> hills) {
    Ramp(field, 0, 1, 64, sky.top, sky.horizon);
    Ramp(field, 0, 65, 96, grass, {grass[0] / 3, grass[1] / 2, grass[2] / 3});
    Ramp(field, 0, 97, 112, {22, 17, 10}, {13, 9, 5});
    Ramp(field, 0, 113, 128, water, {water[0] / 3, water[1] / 3, water[2] / 2});
    Ramp(field, 0, 129, 144, hills, {hills[0] / 2, hills[1] / 2, hills[2] / 2});
}

void HousePalette(FieldBuilder& field, int light) {
    Ramp(field, 1, 1, 8, {28 * light / 4, 26 * light / 4, 20 * light / 4}, {18, 16, 12});
    Ramp(field, 1, 9, 16, {26 * light / 4, 8, 6}, {12, 3, 3});  // roof
    Ramp(field, 1, 17, 20, {12, 7, 3}, {7, 4, 2});              // door
    Ramp(field, 1, 21, 24, {6, 10, 16}, {3, 5, 10});            // dark window
    Ramp(field, 1, 25, 28, {31, 29, 14}, {31, 22, 6});          // lit window
    field.SetColour(1, 29, Colour(3, 2, 2));                    // outline
}

void NaturePalette(FieldBuilder& field, std::array<int, 3> disc) {
    Ramp(field, 2, 1, 6, {12, 8, 4}, {6, 4, 2});   // trunk
    Ramp(field, 2, 7, 22, {6, 20, 6}, {1, 8, 2});  // leaves
    Ramp(field, 2, 23, 30, disc, {31, 31, 24});    // sun or moon, edge to centre
    field.SetColour(2, 31, Colour(31, 31, 31));    // stars
}

void PaintSky(Layer& land, int horizon) {
    for (int y = 0; y < horizon; ++y) {
        for (int x = 0; x < land.width; ++x) {
            const double t = double(y) / std::max(1, horizon - 1) * 63.0;
            land.Set(x, y, 1 + std::min(63, int(t + Dither(x, y))));
        }
    }
}

// Ground below a wavy line; returns the line's height per column.
std::vector<int> PaintGround(Layer& land, int base, double wave, int indexFirst) {
    std::vector<int> line(land.width);
    for (int x = 0; x < land.width; ++x) {
        line[x] = base + int(wave * std::sin(x / 37.0) + wave / 2 * std::sin(x / 13.0 + 1));
        for (int y = line[x]; y < land.height; ++y) {
            const double depth = double(y - line[x]) / std::max(1, land.height - line[x]);
            land.Set(x, y,
                     indexFirst + std::min(27, int(depth * 24 + Dither(x, y) * 2)) + Grain(x, y));
        }
    }
    return line;
}

void PaintHouse(Layer& house, int x, int ground, int w, int h, bool lit) {
    const int top = ground - h;
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const bool edge = row == 0 || col == 0 || col == w - 1;
            house.Set(x + col, top + row, edge ? 29 : 1 + (row * 7 / h + (col % 8 == 0)));
        }
    }
    const int roof = w / 2 + 6;
    for (int row = 0; row < roof; ++row) {
        const int half = row + 2;
        for (int col = -half; col <= half; ++col) {
            const bool edge = col == -half || col == half;
            house.Set(x + w / 2 + col, top - roof + row, edge ? 29 : 9 + (row * 7 / roof));
        }
    }
    house.Rect(x + w / 2 - 6, ground - 24, 12, 24, 17);
    house.Rect(x + w / 2 - 5, ground - 23, 10, 23, 18);
    const int window = lit ? 25 : 21;
    house.Rect(x + 6, top + 10, 12, 10, 29);
    house.Rect(x + 7, top + 11, 10, 8, window);
    house.Rect(x + w - 18, top + 10, 12, 10, 29);
    house.Rect(x + w - 17, top + 11, 10, 8, window + 1);
}

void PaintTree(Layer& nature, int x, int ground, int size) {
    nature.Rect(x - size / 8, ground - size, size / 4, size, 2);
    nature.Rect(x - size / 8, ground - size, 2, size, 4);
    nature.Disc(x, ground - size, size / 2, [](int px, int py, double d) {
        return 7 + std::min(15, int(d * 12 + Grain(px, py) * 1.5));
    });
}

void PaintDisc(Layer& nature, int cx, int cy, int r) {
    nature.Disc(cx, cy, r, [](int, int, double d) { return 30 - std::min(7, int(d * 8)); });
}

DemoField HillHouse() {
    const int w = 320, h = 240;
    FieldBuilder field(w, h);
    LandscapePalette(field, {{6, 12, 26}, {22, 26, 31}}, {12, 24, 8}, {8, 16, 26}, {14, 16, 20});
    HousePalette(field, 4);
    NaturePalette(field, {31, 24, 4});
    Atlas atlas(field);

    Layer land(w, h, 0);
    PaintSky(land, 170);
    const std::vector<int> ground = PaintGround(land, 160, 8.0, 65);
    for (int y = ground[150]; y < h; ++y) {
        land.Rect(150 + (y - ground[150]) / 4, y, 14 + (y - ground[150]) / 3, 1, 100 + Grain(0, y));
    }
    Layer sun(w, h, 2);
    PaintDisc(sun, 258, 44, 22);
    Layer house(w, h, 1);
    PaintHouse(house, 112, ground[150] + 6, 92, 58, false);
    Layer trees(w, h, 2);
    PaintTree(trees, 56, ground[56] + 4, 60);
    PaintTree(trees, 262, ground[262] + 6, 44);

    AddLayer(field, atlas, land, 1);
    AddLayer(field, atlas, sun, 1);  // later in the list: covers the sky
    AddLayer(field, atlas, house, 2);
    AddLayer(field, atlas, trees, 2);
    return {"hillhouse", field.Build()};
}

DemoField DuskLake() {
    const int w = 480, h = 360;
    FieldBuilder field(w, h);
    LandscapePalette(field, {{10, 6, 16}, {31, 18, 8}}, {8, 14, 6}, {20, 12, 14}, {9, 7, 14});
    HousePalette(field, 3);
    NaturePalette(field, {31, 14, 4});
    Atlas atlas(field);

    Layer sky(w, h, 0);
    PaintSky(sky, 200);
    Layer sun(w, h, 2);
    PaintDisc(sun, 392, 170, 26);
    // Hills, lake and shore: transparent above the hills, so the sun sets behind them.
    Layer land(w, h, 0);
    for (int x = 0; x < w; ++x) {
        const int peak = 150 + int(30 * std::sin(x / 53.0) + 16 * std::sin(x / 21.0 + 2));
        for (int y = peak; y < 200; ++y) {
            land.Set(x, y, 129 + std::min(15, (y - peak) / 4 + Grain(x, y)));
        }
    }
    for (int y = 200; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            land.Set(x, y, 113 + std::min(15, (y - 200) / 6 + ((x / 16 + y / 3) % 5 == 0)));
        }
    }
    PaintGround(land, 280, 5.0, 65);
    Layer house(w, h, 1);
    PaintHouse(house, 330, 292, 76, 50, true);
    Layer trees(w, h, 2);
    PaintTree(trees, 80, 300, 90);
    PaintTree(trees, 170, 296, 64);
    PaintTree(trees, 440, 310, 70);

    AddLayer(field, atlas, sky, 1);
    AddLayer(field, atlas, sun, 1);
    AddLayer(field, atlas, land, 1);
    AddLayer(field, atlas, trees, 2);
    AddLayer(field, atlas, house, 2);
    return {"dusklake", field.Build()};
}

DemoField NightYard() {
    const int w = 336, h = 200;
    FieldBuilder field(w, h);
    LandscapePalette(field, {{1, 1, 6}, {6, 7, 16}}, {3, 8, 5}, {4, 6, 12}, {5, 5, 9});
    HousePalette(field, 2);
    NaturePalette(field, {20, 22, 26});
    Atlas atlas(field);

    Layer land(w, h, 0);
    PaintSky(land, 150);
    const std::vector<int> ground = PaintGround(land, 140, 4.0, 65);
    Layer sky(w, h, 2);
    for (int i = 0; i < 60; ++i) {
        sky.Set((i * 97 + 13) % w, (i * 53 + 7) % 110, 31);
    }
    PaintDisc(sky, 60, 40, 16);
    Layer dark(w, h, 1);
    PaintHouse(dark, 150, ground[190] + 4, 84, 54, false);
    Layer lit(w, h, 1);
    PaintHouse(lit, 150, ground[190] + 4, 84, 54, true);
    Layer trees(w, h, 2);
    PaintTree(trees, 290, ground[290] + 4, 50);

    AddLayer(field, atlas, land, 1);
    AddLayer(field, atlas, sky, 1);
    AddLayer(field, atlas, dark, 2);
    AddLayer(field, atlas, lit, 2, 1);  // the lights-on state, not shown
    AddLayer(field, atlas, trees, 2);
    return {"nightyard", field.Build()};
}

}  // namespace

std::vector<DemoField> DemoFields() {
    return {HillHouse(), DuskLake(), NightYard()};
}

}  // namespace lumo::test
