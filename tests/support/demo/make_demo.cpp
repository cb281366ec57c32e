// Writes the demo archives a new user can open: DIR/demo.lgp, a small archive with one
// entry of every kind the index knows, and DIR/flevel.lgp, a field archive whose
// compressed fields show painted backgrounds.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "tests/support/demo/field_scenes.h"
#include "tests/support/demo/texture_art.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/lzss_encoder.h"
#include "tests/support/music_builder.h"

namespace {

using lumo::test::Bytes;

void Append16(Bytes& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Append32(Bytes& out, uint32_t v) {
    Append16(out, static_cast<uint16_t>(v));
    Append16(out, static_cast<uint16_t>(v >> 16));
}

void AppendFloat(Bytes& out, float f) {
    uint32_t bits = 0;
    static_assert(sizeof bits == sizeof f);
    std::memcpy(&bits, &f, sizeof bits);
    Append32(out, bits);
}

// A little polygon model: vertex count, triangle count, vertices, triangles.
Bytes Model(int rings) {
    Bytes out;
    const int vertices = rings * 8;
    Append32(out, static_cast<uint32_t>(vertices));
    Append32(out, static_cast<uint32_t>((rings - 1) * 16));
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < 8; ++s) {
            const double a = s * 0.785398;
            AppendFloat(out, static_cast<float>(std::cos(a) * (r + 1)));
            AppendFloat(out, static_cast<float>(r * 0.5));
            AppendFloat(out, static_cast<float>(std::sin(a) * (r + 1)));
        }
    }
    for (int r = 0; r + 1 < rings; ++r) {
        for (int s = 0; s < 8; ++s) {
            const int a = r * 8 + s, b = r * 8 + (s + 1) % 8;
            for (int v : {a, b, a + 8, b, b + 8, a + 8}) {
                Append16(out, static_cast<uint16_t>(v));
            }
        }
    }
    return out;
}

// Animation: frame count, bone count, then per frame a root offset and bone rotations.
Bytes Animation(int frames, int bones) {
    Bytes out;
    Append32(out, 1);
    Append32(out, static_cast<uint32_t>(frames));
    Append32(out, static_cast<uint32_t>(bones));
    for (int f = 0; f < frames; ++f) {
        for (int i = 0; i < 3 + bones * 3; ++i) {
            AppendFloat(out, static_cast<float>(std::sin(f * 0.2 + i) * 45.0));
        }
    }
    return out;
}

Bytes Noise(size_t size, uint32_t seed) {
    Bytes out(size);
    for (uint8_t& b : out) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(seed >> 24);
    }
    return out;
}

Bytes DemoArchive() {
    lumo::test::LgpWriter lgp;
    lgp.AddText("readme.txt",
                "Demo archive for Lumo.\n"
                "Every entry kind the index knows is here once: textures, cameras,\n"
                "models, music, text, animations, tutorials and skeletons, plus files\n"
                "of no known kind. Open flevel.lgp next to it to see field backgrounds.\n");
    lgp.Add("title.tex", lumo::test::RingTexture(64, 3));
    lgp.Add("field.cam", lumo::test::BuildCameraTrack(60));
    lgp.Add("cloud.p", Model(12));
    lgp.Add("theme.mid", lumo::test::BuildSong(12, 4));
    lgp.Add("walk.a", Animation(40, 18));
    lgp.Add("intro.tut",
            lumo::test::BuildTutorial({"Press the button to go on.", "This is the menu."}));
    lgp.AddText("cloud.hrc",
                "skeleton cloud\nbones 3\n\nhip root 0.0\nchest hip 0.42\nhead chest 0.18\n");
    lgp.AddText("license", "The demo entries were made by Lumo's own test builders.\n");
    lgp.Add("empty.txt", Bytes());
    lgp.Add("world.map", Noise(180 * 1024, 7));
    lgp.Add("a_twenty_char_name.p", Model(3));
    lgp.Add("backdrop.tex", lumo::test::SkyTexture(128, 96));
    lgp.Add("floor.tex", lumo::test::TileTexture(32));
    return lgp.Build();
}

Bytes FieldArchive() {
    lumo::test::LgpWriter lgp;
    for (const lumo::test::DemoField& field : lumo::test::DemoFields()) {
        lgp.Add(field.name, lumo::test::LzssCompressEntry(field.file));
    }
    lgp.Add("fieldsky.tex", lumo::test::SkyTexture(64, 48));
    lgp.Add("help.tut", lumo::test::BuildTutorial({"Walk with the arrow keys."}));
    return lgp.Build();
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
        lumo::test::WriteFile((dir / "demo.lgp").string(), DemoArchive());
        lumo::test::WriteFile((dir / "flevel.lgp").string(), FieldArchive());
    } catch (const std::exception& error) {
        std::cerr << argv[0] << ": " << error.what() << "\n";
        return 1;
    }
    return 0;
}
