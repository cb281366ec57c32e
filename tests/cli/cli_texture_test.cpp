// SPDX-License-Identifier: MIT
// lumo-cli render of textures, info of entries, and verify.
#include <gtest/gtest.h>
#include <zlib.h>

#include "formats/texture.h"
#include "tests/cli/run_cli.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/texture_builder.h"

using lumo::test::Bgra;
using lumo::test::Bytes;
using lumo::test::LgpWriter;
using lumo::test::ReadFile;
using lumo::test::TempDir;
using lumo::test::TextureBuilder;

namespace {

uint32_t BigEndian32(const Bytes& b, size_t at) {
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
           b[at + 3];
}

// The RGBA rows of a PNG as the encoder writes it: 8-bit RGBA, filter 0 on every row.
Bytes PngRgba(const Bytes& file, uint32_t* width, uint32_t* height) {
    Bytes idat;
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t length = BigEndian32(file, at);
        const std::string type(file.begin() + at + 4, file.begin() + at + 8);
        if (type == "IHDR") {
            *width = BigEndian32(file, at + 8);
            *height = BigEndian32(file, at + 12);
            EXPECT_EQ(file[at + 16], 8);  // bit depth
            EXPECT_EQ(file[at + 17], 6);  // RGBA
        } else if (type == "IDAT") {
            idat.insert(idat.end(), file.begin() + at + 8, file.begin() + at + 8 + length);
        }
        at += 12 + length;
    }
    const size_t row = size_t{*width} * 4 + 1;
    Bytes rows(row * *height);
    uLongf size = rows.size();
    EXPECT_EQ(uncompress(rows.data(), &size, idat.data(), idat.size()), Z_OK);
    Bytes rgba;
    for (uint32_t y = 0; y < *height; ++y) {
        rgba.insert(rgba.end(), rows.begin() + y * row + 1, rows.begin() + (y + 1) * row);
    }
    return rgba;
}

class CliTextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        TextureBuilder b = TextureBuilder::Paletted(3, 2, 2, 4);
        for (uint32_t i = 0; i < 4; ++i) {
            b.SetColour(0, i, Bgra{uint8_t(i), uint8_t(10 * i), uint8_t(100 + i), 0});
            b.SetColour(1, i, Bgra{uint8_t(200 + i), 0, 0, 0});
            b.SetPixel(i % 3, i / 3, i);
        }
        m_texture = b.SetColourKey(true).Build();
        m_archive = m_dir.Write(
            "demo.lgp",
            LgpWriter()
                .Add("sky.tex", m_texture)
                .Add("bad.tex", TextureBuilder::Paletted(2, 1, 1, 1).SetPixel(1, 0, 4).Build())
                .AddText("notes.txt", "hello\n")
                .Build());
    }
    Bytes Decoded(uint32_t palette) const {
        TextureImage image;
        EXPECT_EQ(DecodeTexture(m_texture.data(), m_texture.size(), palette, image),
                  TextureError::None);
        return image.rgba;
    }
    TempDir m_dir;
    Bytes m_texture;
    std::string m_archive;
};

}  // namespace

TEST_F(CliTextureTest, RawAndPngHoldTheDecodedPixelsOfTheChosenPalette) {
    CliResult r = RunCli(
        {"render", m_archive, "sky.tex", "--raw", m_dir.File("0.raw"), "-o", m_dir.File("0.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(m_dir.File("0.raw")), Decoded(0));
    uint32_t width = 0, height = 0;
    EXPECT_EQ(PngRgba(ReadFile(m_dir.File("0.png")), &width, &height), Decoded(0));
    EXPECT_EQ(width, 3u);
    EXPECT_EQ(height, 2u);
    EXPECT_EQ(Decoded(0)[3], 0);  // the keyed index 0 is transparent

    r = RunCli({"render", m_archive, "#0", "--palette", "1", "--raw", m_dir.File("1.raw")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(m_dir.File("1.raw")), Decoded(1));
}

TEST_F(CliTextureTest, RenderRefusalsSayWhy) {
    const struct {
        std::vector<std::string> args;
        int exit;
        std::string problem;
    } cases[] = {
        {{"--palette", "2"}, 1, "no such palette"},
        {{"--palette", "x"}, 2, "--palette needs a palette number"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"render", m_archive, "sky.tex", "--raw", m_dir.File("r")};
        args.insert(args.end(), c.args.begin(), c.args.end());
        CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, c.exit);
        EXPECT_NE(r.err.find(c.problem), std::string::npos) << r.err;
    }
    CliResult r = RunCli({"render", m_archive, "bad.tex", "--raw", m_dir.File("r")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("palette entry that is not stored"), std::string::npos) << r.err;
}

TEST_F(CliTextureTest, InfoPrintsEachEntrysPropertiesAsKeyTabValue) {
    CliResult r = RunCli({"info", m_archive, "sky.tex", "#2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    const std::vector<std::string> wanted = {"name\tsky.tex",
                                             "type\ttexture (1)",
                                             "width x height\t3 x 2",
                                             "palettes\t2 of 4 colours",
                                             "",
                                             "name\tnotes.txt"};
    for (const std::string& line : wanted) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    }
}

TEST_F(CliTextureTest, VerifyWarnsOfEntriesThatDoNotDecodeAndFailsOnlyWhenStrict) {
    CliResult r = RunCli({"verify", m_archive});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(r.out),
              (std::vector<std::string>{"1\tbad.tex\twarning: texture: a pixel names a palette "
                                        "entry that is not stored"}));
    EXPECT_EQ(RunCli({"verify", "--strict", m_archive}).exitCode, 1);
    // Damage fails without --strict, and is listed first.
    LgpWriter writer;
    writer.Add("bad.tex", Bytes{1, 2, 3, 4}).Add("cut", Bytes(90, 1));
    const Bytes bytes = writer.Build();
    r = RunCli({"verify", m_dir.Write("cut.lgp", lumo::test::Truncated(
                                                     bytes, writer.DataOffset(1) + 24 + 50))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Lines(r.out).at(0).substr(0, 6), "1\tcut\t") << r.out;
    EXPECT_EQ(RunCli({"verify", m_dir.Write("none.lgp", Bytes{'x'})}).exitCode, 2);
    const std::string whole =
        m_dir.Write("whole.lgp", LgpWriter().Add("sky.tex", m_texture).Build());
    r = RunCli({"verify", whole});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
}
