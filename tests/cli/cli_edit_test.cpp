// SPDX-License-Identifier: MIT
// lumo-cli create, add, remove, rename and diff: round trips through extract, the field
// archive's compression, dry runs, refusals that leave the archive as it was.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/lgp_archive.h"
#include "tests/cli/run_cli.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/lzss_encoder.h"

namespace fs = std::filesystem;
using lumo::test::Bytes;
using lumo::test::ReadFile;
using lumo::test::TempDir;

namespace {

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A folder like an extracted archive: names of every kind, one shared in two folders.
std::string SourceFolder(const TempDir& dir) {
    const std::string src = dir.File("src");
    fs::create_directories(src + "/fire");
    fs::create_directories(src + "/ice");
    dir.Write("src/aaaa.hrc", Text("HRC"));
    dir.Write("src/_under.bin", Text("BIN"));
    dir.Write("src/-dash.p", Text("DASH"));
    dir.Write("src/9lives.a", Text("NINE"));
    dir.Write("src/Z.txt", Text("ZED"));
    dir.Write("src/fire/ball.p", Text("P-1"));
    dir.Write("src/ice/ball.p", Text("P-2"));
    return src;
}

// `lumo-cli create ARCHIVE FILE OPTIONS... --force -q`, and the stored bytes of the one
// entry it made.
Bytes CreateAndReadStored(const std::string& archive, const std::string& file,
                          const std::vector<std::string>& options) {
    std::vector<std::string> args = {"create", archive, file, "--force", "-q"};
    args.insert(args.end(), options.begin(), options.end());
    EXPECT_EQ(RunCli(args).exitCode, 0);
    CLgpArchive loaded;
    EXPECT_EQ(loaded.Load(archive.c_str()), 1);
    unsigned char* stored = nullptr;
    const uint32_t n = loaded.ReadEntry(0, &stored);
    const Bytes bytes(stored, stored + n);
    std::free(stored);
    return bytes;
}

// What stored bytes hold: themselves, or when compressed what their stream decodes to
// (nothing when they are too short to hold one).
Bytes Held(const Bytes& stored, bool compressed) {
    if (!compressed) {
        return stored;
    }
    return stored.size() < 4 ? Bytes{}
                             : lumo::test::RingDecode(stored.data() + 4, stored.size() - 4);
}

}  // namespace

TEST(CliEditTest, ExtractThenCreateGivesTheSameArchiveByteForByte) {
    TempDir dir;
    const std::string first = dir.File("first.lgp");
    CliResult r = RunCli({"create", first, SourceFolder(dir), "-q"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(RunCli({"verify", first}).exitCode, 0);
    ASSERT_EQ(RunCli({"extract", first, "-o", dir.File("out"), "-q"}).exitCode, 0);
    EXPECT_EQ(ReadFile(dir.File("out/ice/ball.p")), Text("P-2"));
    r = RunCli({"create", dir.File("second.lgp"), dir.File("out"), "-q"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(dir.File("second.lgp")), ReadFile(first));
    EXPECT_EQ(RunCli({"diff", first, dir.File("second.lgp")}).exitCode, 0);
}

TEST(CliEditTest, WritingCommandsChangeWhatTheySayAndDryRunsNothing) {
    TempDir dir;
    const std::string archive = dir.File("a.lgp");
    ASSERT_EQ(RunCli({"create", archive, SourceFolder(dir)}).exitCode, 0);
    const std::string file = dir.Write("new.p", Text("NEW"));
    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* says;
    } cases[] = {
        {{"create", archive, file}, 1, "already exists"},
        {{"add", archive, file, "--as", "aaaa.hrc"}, 0, "replace\taaaa.hrc\t\t3"},
        {{"add", archive, file, "--folder", "fire", "--as", "ball.p"}, 0, "replace\tball.p\tfire"},
        {{"add", archive, file}, 0, "add\tnew.p\t\t3"},
        {{"add", archive, file, "--as", ".bad"}, 1, "look the name up"},
        {{"remove", archive, "nothing*"}, 1, "nothing*"},
        {{"remove", archive, "*.p"}, 0, "remove\tnew.p"},
        {{"rename", archive, "Z.txt", "_Z.txt"}, 0, "rename\tZ.txt\t\t_Z.txt"},
        {{"rename", archive, "aaaa.hrc", "9lives.a"}, 1, "another entry has that name"},
        {{"create", archive, file, "--force"}, 0, "add\tnew.p"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[2]);
        const Bytes before = ReadFile(archive);
        std::vector<std::string> dry = c.args;
        dry.push_back("-n");
        CliResult r = RunCli(dry);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        EXPECT_EQ(ReadFile(archive), before);
        r = RunCli(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        EXPECT_TRUE(Contains(r.out + r.err, c.says)) << r.out << r.err;
        if (c.exitCode != 0) {
            EXPECT_EQ(ReadFile(archive), before);
        } else {
            EXPECT_EQ(RunCli({"verify", archive}).exitCode, 0);
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 3);
    }
}

TEST(CliEditTest, FieldArchivesCompressWhatIsAddedUnlessToldOtherwise) {
    TempDir dir;
    Bytes raw;
    for (int i = 0; i < 5000; ++i) {
        raw.push_back(static_cast<uint8_t>(i % 37 < 20 ? 0 : i % 7));
    }
    const std::string plain = dir.Write("plain.dat", raw);
    const std::string whole = dir.Write("whole.dat", lumo::test::LzssCompressEntry(raw));
    const struct {
        std::vector<std::string> options;
        std::string file;
        bool compressed;  // what the archive holds is a stream of the file's bytes
    } cases[] = {
        {{}, plain, true},
        {{"--stored"}, plain, false},
        {{}, whole, false},  // already a stream: kept as it is
        {{"--compress"}, whole, true},
    };
    for (const auto& c : cases) {
        const Bytes bytes = CreateAndReadStored(dir.File("flevel.lgp"), c.file, c.options);
        const Bytes& given = ReadFile(c.file);
        EXPECT_EQ(Held(bytes, c.compressed), given);
        if (c.compressed && c.file == plain) {
            EXPECT_LT(bytes.size(), given.size());
        }
    }
}

// Only names the field archive reads as fields are compressed, as the desktop's Insert
// does: a .txt or .tex there is read as it is stored.
TEST(CliEditTest, OnlyFieldNamesAreCompressedInTheFieldArchive) {
    TempDir dir;
    const Bytes raw(3000, 7);
    const Bytes stream = lumo::test::LzssCompressEntry(raw);
    const struct {
        const char* name;
        bool whole;  // the file already is a whole compressed entry
        const char* option;
        bool compressed;
    } cases[] = {
        {"md1stin", false, "", true},
        {"md1stin", true, "", false},
        {"md1stin", false, "--stored", false},
        {"md1stin", true, "--compress", true},
        {"notes.txt", false, "", false},
        {"notes.txt", false, "--compress", false},
        {"notes.txt", true, "", false},
        {"image.tex", false, "", false},
        {"image.tex", true, "--compress", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.option + (c.whole ? " whole" : ""));
        const Bytes& given = c.whole ? stream : raw;
        const std::string file = dir.Write(c.name, given);
        std::vector<std::string> options;
        if (*c.option != '\0') {
            options.push_back(c.option);
        }
        const Bytes bytes = CreateAndReadStored(dir.File("flevel.lgp"), file, options);
        EXPECT_EQ(Held(bytes, c.compressed), given);
    }
}

TEST(CliEditTest, DiffTellsWhatChangedAndExitsByIt) {
    TempDir dir;
    const std::string a = dir.File("a.lgp");
    const std::string b = dir.File("b.lgp");
    ASSERT_EQ(RunCli({"create", a, SourceFolder(dir)}).exitCode, 0);
    ASSERT_EQ(RunCli({"create", b, SourceFolder(dir)}).exitCode, 0);
    EXPECT_EQ(RunCli({"diff", a, b}).exitCode, 0);
    RunCli({"remove", b, "Z.txt"});
    RunCli({"add", b, dir.Write("x", Text("other")), "--as", "aaaa.hrc"});
    RunCli({"add", b, dir.Write("y", Text("y")), "--as", "yy.p"});
    CliResult r = RunCli({"diff", a, b});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.out, "only in A\tZ.txt")) << r.out;
    EXPECT_TRUE(Contains(r.out, "only in B\tyy.p")) << r.out;
    EXPECT_TRUE(Contains(r.out, "changed\taaaa.hrc\t\t3 ")) << r.out;
    r = RunCli({"diff", a, b, "--json"});
    EXPECT_TRUE(Contains(r.out, "\"onlyInA\":[{\"name\":\"Z.txt\"")) << r.out;
    EXPECT_EQ(RunCli({"diff", a, dir.File("missing.lgp")}).exitCode, 2);
}

// Entries of one slot apart in the table of contents: verify names the one the game will
// not find, a re-save says so too and lays the archive out so the game finds it.
TEST(CliEditTest, AReSaveNamesWhatTheGameCannotFindAndMendsIt) {
    TempDir dir;
    const std::string archive = dir.Write("a.lgp", lumo::test::LgpWriter()
                                                       .AddText("ab.p", "1")
                                                       .AddText("cd.p", "2")
                                                       .AddText("ab.q", "3")
                                                       .Build());
    CliResult r = RunCli({"verify", archive});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.out,
                         "2\tab.q\tthe game will not find `ab.q`: slot 2 says records 0-1, "
                         "`ab.q` is record 2"))
        << r.out;
    r = RunCli({"add", archive, dir.Write("x.p", Text("x"))});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.err, "as it is: the game will not find `ab.q`")) << r.err;
    EXPECT_EQ(RunCli({"verify", archive}).exitCode, 0);
}
