// SPDX-License-Identifier: MIT
// lumo-cli render: raw pixels and PNG of a small field, and the refusals.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>

#include "formats/field_renderer.h"
#include "tests/cli/run_cli.h"
#include "tests/support/field_builder.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/lzss_encoder.h"

namespace fs = std::filesystem;
using lumo::test::Bytes;
using lumo::test::FieldBuilder;
using lumo::test::LgpWriter;
using lumo::test::ReadFile;
using lumo::test::TempDir;

namespace {

constexpr int kWidth = 40;   // not a multiple of two pixels' worth of 4 bytes: the
constexpr int kHeight = 18;  // image rows are padded, the raw output must not be

// Field colours keep red in bits 0-4 and blue in bits 10-14.
constexpr uint16_t kRed31 = 0x001F;
constexpr uint16_t kGreen16Blue1 = (16 << 5) | (1 << 10);
constexpr uint16_t kRed1Green31Blue31 = 1 | (31 << 5) | (31 << 10);

Bytes SmallField() {
    FieldBuilder field(kWidth, kHeight);
    field.SetColour(0, 1, kRed31)
        .SetColour(0, 2, kGreen16Blue1)
        .SetColour(0, 3, kRed1Green31Blue31);
    uint8_t square[256];
    for (int i = 0; i < 256; ++i) {
        square[i] = static_cast<uint8_t>((i % 16 + i / 16) % 4);
    }
    field.SetSquare(0, 0, 0, square);
    // One tile at the top-left corner, one hanging over the bottom-right corner.
    field.AddTile(1, {-kWidth / 2, -kHeight / 2, 0, 0, 0, 0, 0});
    field.AddTile(2, {kWidth / 2 - 8, kHeight / 2 - 8, 0, 0, 0, 0, 0});
    return field.Build();
}

struct Png {
    uint32_t width = 0, height = 0;
    Bytes rgb;  // decoded rows without filter bytes
};

uint32_t BigEndian32(const Bytes& b, size_t at) {
    return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
           b[at + 3];
}

// Reads back what the encoder writes: 8-bit RGB, filter 0 on every row, valid CRCs.
Png DecodePng(const Bytes& file) {
    Png png;
    const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(file.size() > 8 && std::equal(signature.begin(), signature.end(), file.begin()));
    Bytes idat;
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t length = BigEndian32(file, at);
        const std::string type(file.begin() + at + 4, file.begin() + at + 8);
        const uint8_t* data = file.data() + at + 8;
        EXPECT_EQ(crc32(0, file.data() + at + 4, length + 4), BigEndian32(file, at + 8 + length));
        if (type == "IHDR") {
            png.width = BigEndian32(file, at + 8);
            png.height = BigEndian32(file, at + 12);
            EXPECT_EQ(Bytes(data + 8, data + 13), (Bytes{8, 2, 0, 0, 0}));
        } else if (type == "IDAT") {
            idat.insert(idat.end(), data, data + length);
        }
        at += 12 + length;
    }
    Bytes rows((png.width * 3 + 1) * png.height);
    uLongf size = rows.size();
    EXPECT_EQ(uncompress(rows.data(), &size, idat.data(), idat.size()), Z_OK);
    EXPECT_EQ(size, rows.size());
    for (uint32_t y = 0; y < png.height; ++y) {
        const uint8_t* row = rows.data() + y * (png.width * 3 + 1);
        EXPECT_EQ(row[0], 0);
        png.rgb.insert(png.rgb.end(), row + 1, row + 1 + png.width * 3);
    }
    return png;
}

uint16_t RawPixel(const Bytes& raw, int x, int y) {
    const size_t at = (size_t{static_cast<size_t>(y)} * kWidth + x) * 2;
    return static_cast<uint16_t>(raw[at] | (raw[at + 1] << 8));
}

class CliRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_field = SmallField();
        m_archive = m_dir.Write("flevel.lgp",
                                LgpWriter()
                                    .Add("md1stin", lumo::test::LzssCompressEntry(m_field))
                                    .Add("bad", lumo::test::LzssCompressEntry(
                                                    lumo::test::FieldWithSectionCount(m_field, 5)))
                                    .AddText("a.tex", "not a field")
                                    .AddText("notes.txt", "nor a texture")
                                    .Build());
    }
    TempDir m_dir;
    Bytes m_field;
    std::string m_archive;
};

}  // namespace

TEST_F(CliRenderTest, RawOutputIsTheRenderedImageWithoutRowPadding) {
    CliResult r = RunCli({"render", m_archive, "md1stin", "--raw", m_dir.File("bg.raw")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Bytes raw = ReadFile(m_dir.File("bg.raw"));
    ASSERT_EQ(raw.size(), size_t{kWidth} * kHeight * 2);

    FieldImage image;
    ASSERT_EQ(RenderFieldBackground(m_field.data(), m_field.size(), image), FieldError::None);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            ASSERT_EQ(RawPixel(raw, x, y), image.PixelAt(x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(RawPixel(raw, 1, 0), 0x7C00);                                  // red in bits 10-14
    EXPECT_EQ(RawPixel(raw, 2, 0), (1 << 0) | (16 << 5));                    // blue in bits 0-4
    EXPECT_EQ(RawPixel(raw, kWidth - 1, kHeight - 1), RawPixel(raw, 7, 7));  // second tile
}

TEST_F(CliRenderTest, PngHoldsTheSamePixelsExpandedToEightBits) {
    CliResult r = RunCli(
        {"render", m_archive, "#0", "-o", m_dir.File("bg.png"), "--raw", m_dir.File("bg.raw")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Png png = DecodePng(ReadFile(m_dir.File("bg.png")));
    ASSERT_EQ(png.width, uint32_t{kWidth});
    ASSERT_EQ(png.height, uint32_t{kHeight});
    const Bytes raw = ReadFile(m_dir.File("bg.raw"));
    auto expand = [](unsigned v) { return static_cast<uint8_t>((v << 3) | (v >> 2)); };
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const uint16_t p = RawPixel(raw, x, y);
            const uint8_t* rgb = png.rgb.data() + (y * kWidth + x) * 3;
            ASSERT_EQ(rgb[0], expand((p >> 10) & 31)) << x << "," << y;
            ASSERT_EQ(rgb[1], expand((p >> 5) & 31));
            ASSERT_EQ(rgb[2], expand(p & 31));
        }
    }
    const uint8_t* red = png.rgb.data() + 1 * 3;
    EXPECT_EQ(Bytes(red, red + 3), (Bytes{255, 0, 0}));
    const uint8_t* green = png.rgb.data() + 2 * 3;
    EXPECT_EQ(Bytes(green, green + 3), (Bytes{0, 132, 8}));
    const uint8_t* white = png.rgb.data() + 3 * 3;
    EXPECT_EQ(Bytes(white, white + 3), (Bytes{8, 255, 255}));
}

TEST_F(CliRenderTest, EntriesThatAreNotRenderableFailWithoutTouchingTheOutput) {
    lumo::test::WriteFile(m_dir.File("keep.png"), Bytes{'o', 'l', 'd'});
    struct Case {
        std::string entry, problem;
    };
    for (const Case& c : {Case{"a.tex", "cannot render the texture: the texture is shorter"},
                          Case{"notes.txt", "not a field, music or texture entry (type code 6"},
                          Case{"bad", "cannot render the background"},
                          Case{"nothing", "no entry named nothing"}, Case{"#9", "no entry #9"}}) {
        CliResult r = RunCli({"render", m_archive, c.entry, "-o", m_dir.File("keep.png")});
        EXPECT_EQ(r.exitCode, 1) << c.entry;
        EXPECT_NE(r.err.find(m_archive + ": "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.problem), std::string::npos) << r.err;
        EXPECT_EQ(ReadFile(m_dir.File("keep.png")), (Bytes{'o', 'l', 'd'}));
    }
    CliResult r = RunCli({"render", m_dir.File("missing.lgp"), "x", "--raw", m_dir.File("r")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot open"), std::string::npos) << r.err;
}

// An entry whose stream length runs past the entry is refused as extract refuses it, for
// one entry and for --all; --partial renders what the entry holds and still fails.
TEST_F(CliRenderTest, AnEntryThatIsNotWholeIsRefusedUnlessPartial) {
    Bytes runs = lumo::test::LzssCompressEntry(m_field);
    runs[1] = static_cast<uint8_t>(runs[1] + 1);  // the length now reaches the next entry
    fs::create_directory(m_dir.File("sub"));
    const std::string archive = m_dir.Write(
        "sub/flevel.lgp",
        LgpWriter().Add("runs", runs).Add("next", lumo::test::LzssCompressEntry(m_field)).Build());
    const std::string reason =
        "entry #0 (runs): its compressed length runs past the end of "
        "the entry";
    struct Case {
        std::vector<std::string> args;
        std::string output, message;
    };
    const std::string png = m_dir.File("runs.png");
    const std::string folder = m_dir.File("all");
    for (const Case& c :
         {Case{{"runs", "-o", png}, png, "; not rendered"},
          Case{{"--all", "-o", folder}, folder + "/runs.png", "; not rendered"},
          Case{{"runs", "-o", png, "--partial"}, png, "; rendered as far as it goes"},
          Case{{"--all", "-o", folder, "--partial"},
               folder + "/runs.png",
               "; rendered as far as it goes"}}) {
        std::vector<std::string> args = {"render", archive};
        args.insert(args.end(), c.args.begin(), c.args.end());
        fs::remove(c.output);
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, 1) << c.args.back();
        EXPECT_NE(r.err.find(reason + c.message), std::string::npos) << r.err;
        const bool partial = c.args.back() == "--partial";
        ASSERT_EQ(fs::exists(c.output), partial) << c.output;
        if (partial) {
            EXPECT_EQ(DecodePng(ReadFile(c.output)).width, uint32_t{kWidth});
        }
    }
}

TEST_F(CliRenderTest, AnUnwritableOutputIsReported) {
    CliResult r =
        RunCli({"render", m_archive, "md1stin", "-o", m_dir.File("no/such/folder/x.png")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no/such/folder/x.png"), std::string::npos) << r.err;
}

TEST_F(CliRenderTest, TheArchiveItselfIsNeverReplacedByTheOutput) {
    const Bytes before = ReadFile(m_archive);
    fs::create_hard_link(m_archive, m_dir.File("alias.lgp"));
    for (const char* option : {"-o", "--raw"}) {
        CliResult r = RunCli({"render", m_archive, "md1stin", option, m_dir.File("alias.lgp")});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("is the archive being read"), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadFile(m_archive), before);
}

TEST_F(CliRenderTest, OutputMustNameAPngFile) {
    const struct {
        std::string path;
        const char* problem;
    } kCases[] = {
        {m_dir.Path() + "/", "is a folder"},
        {m_dir.Path(), "is a folder"},
        {m_dir.File("bg.jpg"), "the name must end in one of them"},
    };
    for (const auto& c : kCases) {
        CliResult r = RunCli({"render", m_archive, "md1stin", "-o", c.path});
        EXPECT_EQ(r.exitCode, 1) << c.path;
        EXPECT_NE(r.err.find(c.problem), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(m_dir.File("bg.jpg")));
}

// "-" is standard output for each output option; the raw bytes there are the file's.
TEST_F(CliRenderTest, DashWritesEachOutputToStandardOutput) {
    ASSERT_EQ(RunCli({"render", m_archive, "md1stin", "--raw", m_dir.File("bg.raw")}).exitCode, 0);
    const Bytes raw = ReadFile(m_dir.File("bg.raw"));
    CliResult r = RunCli({"render", m_archive, "md1stin", "--raw", "-"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, std::string(raw.begin(), raw.end()));
    r = RunCli({"render", m_archive, "md1stin", "-o", "-"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.substr(1, 3), "PNG");
    EXPECT_EQ(RunCli({"render", m_archive, "md1stin", "-o", "-", "--raw", "-"}).exitCode, 2);
    EXPECT_EQ(RunCli({"render", m_archive, "--all", "-o", "-"}).exitCode, 2);
}
