// SPDX-License-Identifier: MIT
// Writes the demo archives a new user can open: DIR/demo.lgp, a small archive with one
// entry of every kind the index knows, and DIR/flevel.lgp, a field archive whose
// compressed fields show painted backgrounds.
#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "tests/support/demo/field_scenes.h"
#include "tests/support/demo/texture_art.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/lzss_encoder.h"
#include "tests/support/model_builder.h"
#include "tests/support/music_builder.h"

namespace {

using lumo::test::Bytes;

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
    lgp.Add("theme.mid", lumo::test::BuildSong(12, 4));
    lgp.Add("intro.tut",
            lumo::test::BuildTutorial({"Press the button to go on.", "This is the menu."}));
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
