// SPDX-License-Identifier: MIT
// lumo-cli's scripting options: patterns, --stdout, -q, -v, --version, --json, --long,
// the failing list of an archive cut short, render --all, and the help's examples.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/cli/json_reader.h"
#include "tests/cli/run_cli.h"
#include "tests/support/field_builder.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/lzss_encoder.h"

namespace fs = std::filesystem;
using lumo::test::Bytes;
using lumo::test::LgpWriter;
using lumo::test::RawName;
using lumo::test::TempDir;

namespace {

// The names of the files an extract run reports, without the folder.
std::vector<std::string> Written(const CliResult& r) {
    std::vector<std::string> names;
    for (const std::string& line : Lines(r.out)) {
        const size_t tab = line.find('\t');
        const size_t slash = line.find_last_of("/\\", tab);
        names.push_back(line.substr(slash + 1, tab - slash - 1));
    }
    return names;
}

Bytes Field(uint16_t width) {
    lumo::test::FieldBuilder field(width, 16);
    field.AddTile(1, {0, 0, 0, 0, 0, 0, 0});
    return lumo::test::LzssCompressEntry(field.Build());
}

}  // namespace

TEST(CliPatterns, SelectEntriesByDisplayedNameIgnoringCase) {
    TempDir dir;
    LgpWriter writer;
    writer.AddText("one.tex", "1").AddText("two.TEX", "2").AddText("abc.txt", "3");
    writer.AddText("a[1].p", "4").AddText("tab", "5").AddText("bz.p", "6");
    writer.SetRawName(4, RawName("t\tb.a"));
    const std::string archive = dir.Write("demo.lgp", writer.Build());
    struct Case {
        std::vector<std::string> entries;
        std::vector<std::string> written;
    };
    for (const Case& c : std::vector<Case>{
             {{"*.tex"}, {"one.tex", "two.TEX"}},
             {{"?b?.TXT", "#0"}, {"abc.txt", "one.tex"}},
             {{"[a-b]*"}, {"abc.txt", "a[1].p", "bz.p"}},
             {{"[!a-b]*.p*"}, {}},
             {{"a[1].p"}, {"a[1].p"}},          // the name itself before any pattern
             {{"TE"}, {"one.tex", "two.TEX"}},  // no wildcard: the names that contain it
             {{"a\\[*"}, {"a[1].p"}},
         }) {
        CliResult r = RunCli(
            c.entries.size() == 1
                ? std::vector<std::string>{"extract", archive, c.entries[0], "-o", dir.File("out")}
                : std::vector<std::string>{"extract", archive, c.entries[0], c.entries[1], "-o",
                                           dir.File("out")});
        EXPECT_EQ(Written(r), c.written) << c.entries[0] << "\n" << r.err;
    }
    // Shown as t\x09b.a; the pattern's "\\" stands for one backslash.
    EXPECT_EQ(RunCli({"extract", archive, "-O", "T\\\\x09*"}).out, "5");
    CliResult none = RunCli({"extract", archive, "*.mid", "one.tex", "-o", dir.File("out")});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(Contains(none.err, "no entry matches *.mid")) << none.err;
    EXPECT_EQ(Written(none), std::vector<std::string>{"one.tex"});
    EXPECT_EQ(RunCli({"extract", archive, "*.mid", "-o", dir.File("unused")}).exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("unused")));  // no empty folder left
}

TEST(CliExtractOptions, StdoutCarriesOnlyTheBytesAndQuietWritesNoLines) {
    TempDir dir;
    const Bytes binary = {0, '\n', '\r', '\n', 255, 26};
    const std::string archive =
        dir.Write("demo.lgp", LgpWriter().Add("b.bin", binary).AddText("a.txt", "line\n").Build());
    CliResult r = RunCli({"extract", archive, "-O", "b.bin", "*.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, std::string(binary.begin(), binary.end()) + "line\n");
    EXPECT_EQ(RunCli({"extract", archive, "-o", "-", "b.bin"}).out,
              std::string(binary.begin(), binary.end()));
    EXPECT_EQ(RunCli({"extract", archive, "--stdout", "-o", dir.File("x")}).exitCode, 2);

    r = RunCli({"extract", archive, "-q", "-v", "-o", dir.File("quiet")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");  // -v shows progress on a terminal only
    EXPECT_EQ(lumo::test::ReadFile(dir.File("quiet") + "/b.bin"), binary);

    CliResult version = RunCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "lumo-cli " LUMO_VERSION "\n");
}

TEST(CliJson, ListAndInfoParseBackWithEveryField) {
    TempDir dir;
    LgpWriter writer;
    writer.Add("md1", Field(16)).AddText("q\"\\.tex", "xy");
    writer.SetRawName(1, RawName("q\"\\\x01\xe9.tex"));
    const Bytes bytes = writer.Build();
    const std::string archive = dir.Write("flevel.lgp", bytes);

    CliResult r = RunCli({"list", "--json", "--long", archive});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::unique_ptr<JsonValue> list = ParseJson(r.out);
    ASSERT_TRUE(list) << r.out;
    EXPECT_EQ((*list)["archive"].text, archive);
    const JsonValue& field = (*list)["entries"][0];
    EXPECT_EQ(field["name"].text, "md1");
    EXPECT_EQ(field["type"].number, 3);
    EXPECT_EQ(field["offset"].number, writer.DataOffset(0));
    EXPECT_EQ(field["streamLength"].number, field["size"].number - 4);
    EXPECT_GT(field["decodedSize"].number, field["size"].number);
    const JsonValue& odd = (*list)["entries"][1];
    EXPECT_EQ(odd["name"].text, "q\"\\\x01\xc3\xa9.tex");  // a lone byte read as Latin-1
    EXPECT_EQ(odd["extension"].text, "tex");
    EXPECT_EQ(odd["size"].number, 2);
    EXPECT_EQ(odd["streamLength"].kind, JsonValue::Null);
    EXPECT_TRUE(odd["whole"].boolean);

    // A stream whose length runs past its entry: listed, then named as extract would.
    Bytes lying = Field(16);
    lying[2] = 0x01;  // 64 KiB more than it has
    TempDir other;
    const std::string bad = other.Write("flevel.lgp", LgpWriter().Add("md2", lying).Build());
    r = RunCli({"list", "--long", bad});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Lines(r.out).size(), 1u);
    EXPECT_TRUE(Contains(r.err, "its compressed length runs past the end of the entry")) << r.err;
    EXPECT_EQ(RunCli({"list", bad}).exitCode, 0);  // stored bytes all there

    r = RunCli({"info", archive, "--json"});
    std::unique_ptr<JsonValue> info = ParseJson(r.out);
    ASSERT_TRUE(info) << r.out;
    EXPECT_EQ((*info)["archive"].text, archive);
    EXPECT_EQ((*info)["length"].number, bytes.size());
    EXPECT_EQ((*info)["entryCount"].number, 2);
}

// Named in the entry check's words, the ones extract and verify use.
TEST(CliList, AnEntryNotWholeIsListedThenNamedAndFails) {
    TempDir dir;
    LgpWriter writer;
    writer.AddText("a.txt", "hello").AddText("b.txt", "world");
    const Bytes full = writer.Build();
    LgpWriter pastEnd = writer;
    pastEnd.SetOffset(1, 0x7FFFFFF0);
    struct Case {
        Bytes file;
        std::string problem;
    };
    for (const Case& c : {Case{lumo::test::Truncated(full, writer.DataOffset(1) + 26), "cut short"},
                          Case{pastEnd.Build(), "its data lies past the end of the archive"}}) {
        const std::string archive = dir.Write("cut.lgp", c.file);
        CliResult r = RunCli({"list", archive});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(Lines(r.out).size(), 2u);
        EXPECT_TRUE(Contains(r.err, "entry #1 (b.txt): " + c.problem)) << r.err;
        r = RunCli({"list", "--json", archive});
        EXPECT_EQ(r.exitCode, 1);
        std::unique_ptr<JsonValue> list = ParseJson(r.out);
        ASSERT_TRUE(list) << r.out;
        EXPECT_FALSE((*list)["entries"][1]["whole"].boolean);
    }
}

TEST(CliRenderAll, RendersEveryFieldAndGoesOnPastFailures) {
    TempDir dir;
    const std::string archive =
        dir.Write("flevel.lgp", LgpWriter()
                                    .Add("first", Field(16))
                                    .Add("broken", lumo::test::LzssCompressEntry(Bytes(9, 1)))
                                    .Add("second", Field(32))
                                    .Build());
    const std::string out = dir.File("pngs");
    CliResult r = RunCli({"render", archive, "--all", "-o", out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Written(r), (std::vector<std::string>{"first.png", "second.png"}));
    EXPECT_TRUE(Contains(r.err, "entry #1 (broken)")) << r.err;
    EXPECT_TRUE(fs::exists(out + "/second.png"));
    EXPECT_EQ(RunCli({"render", archive, "--all", "first", "-o", out}).exitCode, 2);
}

// Names that differ only in letter case are one file where the host's names ignore case.
TEST(CliRenderAll, NamesThatAreOneFileOnTheHostCollide) {
    TempDir dir;
    const std::string archive = dir.Write(
        "flevel.lgp", LgpWriter().Add("Cloud", Field(16)).Add("CLOUD", Field(32)).Build());
    CliResult r = RunCli({"render", archive, "--all", "-o", dir.File("pngs")});
#ifdef _WIN32
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Written(r), std::vector<std::string>{"Cloud.png"});
    EXPECT_TRUE(Contains(r.err, "entry #1 (CLOUD): another entry of that name")) << r.err;
#else
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Written(r).size(), 2u);
#endif
}

// The man page carries the help's text: every example there is one here.
TEST(CliHelp, EverySubcommandHasAnExampleThatTheManPageShows) {
    const std::string help = RunCli({"--help"}).out;
    std::ifstream in(LUMO_SOURCE_DIR "/docs/lumo-cli.1");
    std::stringstream man;
    man << in.rdbuf();
    for (const char* command : {"list", "info", "extract", "render", "verify", "export", "create",
                                "add", "remove", "rename", "diff"}) {
        const size_t at = help.find(std::string("Example: lumo-cli ") + command);
        ASSERT_NE(at, std::string::npos) << command;
        std::string example = help.substr(at + 9, help.find('\n', at) - at - 9);
        for (size_t i = 0; (i = example.find('-', i)) != std::string::npos; i += 2) {
            example.insert(i, "\\");  // roff writes a hyphen as \-
        }
        EXPECT_TRUE(Contains(man.str(), example)) << example;
    }
}
