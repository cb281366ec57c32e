// SPDX-License-Identifier: MIT
// Writes the seed inputs of the fuzz targets with the test builders. Build it from the
// repository root with the two builder sources (tests/support/lgp_writer.cpp and
// tests/support/lzss_encoder.cpp, include path ".") and run it with "fuzz/seeds".
#include <string>

#include "tests/support/lgp_writer.h"
#include "tests/support/lzss_encoder.h"

using namespace lumo::test;

namespace {

Bytes Pattern(size_t size) {
    Bytes out(size);
    for (size_t i = 0; i < size; ++i) {
        out[i] = static_cast<uint8_t>((i / 16) % 5 == 0 ? 0 : (i * 7) % 13);
    }
    return out;
}

// The fuzz target names its file like the field archive when the first byte is odd.
Bytes AsField(Bytes archive) {
    archive[0] = 1;
    return archive;
}

}  // namespace

int main(int argc, char** argv) {
    std::string root = argc > 1 ? argv[1] : "fuzz/seeds";
    std::string lgp = root + "/fuzz_lgp_load/";
    std::string lzss = root + "/fuzz_lzss/";

    LgpWriter generic;
    generic.Add("a.tex", Pattern(40)).Add("b", {1, 2, 3}).Add("twenty_characters.p", {});
    WriteFile(lgp + "generic.lgp", generic.Build());
    generic.SetBareLayout(true);
    WriteFile(lgp + "bare.lgp", generic.Build());
    WriteFile(lgp + "cut.lgp", Truncated(generic.Build(), LgpWriter::TocEnd(3) + 30));

    LgpWriter field;
    field.Add("md1_1", LzssCompressEntry(Pattern(600))).Add("md1_2", LzssCompressEntry({}));
    field.Add("md1.tex", {9, 9});
    WriteFile(lgp + "field.lgp", AsField(field.Build()));

    LgpWriter hostile;
    hostile.Add("x", {1}).Add("y", {2}).SetOffset(0, 0xFFFFFFF0).SetSizeField(1, 0x7FFFFFFF);
    hostile.SetCountUpperBytes(0xFFFF).SetBareLayout(true);
    WriteFile(lgp + "hostile.lgp", hostile.Build());

    WriteFile(lzss + "field.bin", LzssCompress(Pattern(3000)));
    WriteFile(lzss + "run.bin", {0x01, 0x41, 0xEE, 0xF2});
    WriteFile(lzss + "zeros.bin", {0x00, 0x00, 0x00});
    LzssStreamWriter odd;
    odd.Literals(Pattern(20)).ZeroDistanceReference(7).Reference(4095, 18).Reference(2, 9);
    WriteFile(lzss + "odd.bin", odd.StreamCutInsideLastReference());
    return 0;
}
