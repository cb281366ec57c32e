// SPDX-License-Identifier: MIT
// Writes the seed inputs of the model decoders' fuzz target into DIR: each file of the
// demo figure behind the byte that picks its decoder (0 mesh, 1 skeleton, 2 resource,
// 3 animation).
//
//   lumo_make_model_seeds fuzz/seeds/fuzz_models
#include <algorithm>
#include <exception>
#include <filesystem>
#include <iostream>

#include "tests/support/lgp_writer.h"
#include "tests/support/model_builder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " OUTPUT-DIR\n";
        return 2;
    }
    using namespace lumo::test;
    try {
        const std::filesystem::path dir = argv[1];
        std::filesystem::create_directories(dir);
        for (const auto& [name, bytes] : DemoModelEntries(1, 3)) {
            const std::string extension = name.substr(name.rfind('.'));
            const uint8_t kind = extension == ".p"     ? 0
                                 : extension == ".hrc" ? 1
                                 : extension == ".rsd" ? 2
                                 : extension == ".a"   ? 3
                                                       : 255;
            if (kind != 255) {
                Bytes seed(bytes.size() + 1, kind);
                std::copy(bytes.begin(), bytes.end(), seed.begin() + 1);
                WriteFile((dir / name).string(), seed);
            }
        }
    } catch (const std::exception& e) {
        std::cerr << argv[0] << ": " << e.what() << '\n';
        return 1;
    }
    return 0;
}
