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
#include "tests/support/model_builder.h"

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

// Camera frames: a rotation of 16-bit fixed-point values, a position, a zoom.
Bytes Camera(int frames) {
    Bytes out;
    for (int f = 0; f < frames; ++f) {
        const double a = f * 0.05;
        for (double v :
             {std::cos(a), 0.0, -std::sin(a), 0.0, 1.0, 0.0, std::sin(a), 0.0, std::cos(a)}) {
            Append16(out, static_cast<uint16_t>(static_cast<int16_t>(v * 4096)));
        }
        Append16(out, 0);
        for (int p : {f * 3, -200, 1500 - f}) {
            Append32(out, static_cast<uint32_t>(p));
        }
        Append32(out, 512);
    }
    return out;
}

// A standard MIDI file playing a short rising phrase.
Bytes Midi() {
    Bytes track;
    const uint8_t notes[] = {60, 64, 67, 72, 67, 64, 60};
    for (uint8_t note : notes) {
        for (uint8_t b : {uint8_t(0x00), uint8_t(0x90), note, uint8_t(0x60), uint8_t(0x60),
                          uint8_t(0x80), note, uint8_t(0x40)}) {
            track.push_back(b);
        }
    }
    for (uint8_t b : {0x00, 0xFF, 0x2F, 0x00}) {
        track.push_back(b);
    }
    Bytes out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(track.size() >> shift));
    }
    out.insert(out.end(), track.begin(), track.end());
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
    lgp.Add("field.cam", Camera(60));
    lgp.Add("theme.mid", Midi());
    lgp.AddText("intro.tut", "WINDOW 0 16 16 240 64\nTEXT Press the button to go on.\nWAIT\n");
    // A small animated, textured figure: open demo.hrc to see it move.
    for (const auto& [name, bytes] : lumo::test::DemoModelEntries(2, 30)) {
        lgp.Add(name, bytes);
    }
    lgp.AddText("license", "The demo entries were made by Lumo's own test builders.\n");
    lgp.Add("empty.txt", Bytes());
    lgp.Add("world.map", Noise(180 * 1024, 7));
    lgp.Add("a_twenty_char_name.p",
            lumo::test::PBuilder()
                .AddGroup(lumo::test::BoxGroup({0, 0, 0}, {1, 1, 1}, {90, 200, 90, 255}, false))
                .Build());
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
    lgp.AddText("help.tut", "WINDOW 0 8 8 200 40\nTEXT Walk with the arrow keys.\nWAIT\n");
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
