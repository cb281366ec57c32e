// SPDX-License-Identifier: MIT
// Writes the seed inputs of the texture decoder's fuzz target into DIR: small textures
// of each layout, and two that are refused, so the fuzzer starts on both sides.
//
//   lumo_make_texture_seeds fuzz/seeds/fuzz_texture
#include <exception>
#include <filesystem>
#include <iostream>

#include "tests/support/demo/texture_art.h"
#include "tests/support/lgp_writer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " OUTPUT-DIR\n";
        return 2;
    }
    using namespace lumo::test;
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        const auto write = [&dir](const char* name, const Bytes& bytes) {
            WriteFile((dir / name).string(), bytes);
        };
        write("paletted-keyed", RingTexture(8, 2));
        write("direct-1555", SkyTexture(8, 4));
        write("direct-8888", TileTexture(4));
        Bytes keys =
            TextureBuilder::Paletted(3, 2, 2, 4).SetKeyBytes({0, 1}).SetColourKey(true).Build();
        write("key-bytes", keys);
        write("pixels-cut-short", Truncated(RingTexture(8, 1), 236 + 1024 + 20));
        write("index-past-palette", TextureBuilder::Paletted(2, 2, 1, 1).SetPixel(1, 1, 3).Build());
    } catch (const std::exception& error) {
        std::cerr << argv[0] << ": " << error.what() << "\n";
        return 1;
    }
    return 0;
}
