// SPDX-License-Identifier: MIT
// lumo-cli extract: the bytes written, the selection, and what it refuses.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/run_cli.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/lzss_encoder.h"

namespace fs = std::filesystem;
using lumo::test::Bytes;
using lumo::test::LgpWriter;
using lumo::test::RawName;
using lumo::test::ReadFile;
using lumo::test::TempDir;

namespace {

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// Field-like content: runs, repeats and noise, so the compressor emits every kind of item.
Bytes FieldLikeBytes(size_t size, unsigned seed) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = (i % 300 < 100) ? 0
                                   : (i % 7 < 3 ? static_cast<uint8_t>(i / 64)
                                                : static_cast<uint8_t>(seed >> 24));
    }
    return bytes;
}

}  // namespace

TEST(CliExtract, WritesEntriesChosenByNameOrIndexIntoANewFolder) {
    TempDir dir;
    const std::string archive = dir.Write("demo.lgp", LgpWriter()
                                                          .AddText("one.txt", "first")
                                                          .Add("two.tex", Bytes{0, 1, 2, 255})
                                                          .AddText("three.p", "third")
                                                          .AddText("Empty.a", "")
                                                          .Build());
    const std::string out = dir.File("made/here");
    CliResult r = RunCli({"extract", archive, "-o", out, "#1", "three.p", "empty.A", "#1"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(out + "/two.tex"), (Bytes{0, 1, 2, 255}));
    EXPECT_EQ(ReadFile(out + "/three.p"), Text("third"));
    EXPECT_TRUE(fs::exists(out + "/Empty.a"));  // matched ignoring case, written as stored
    EXPECT_EQ(fs::file_size(out + "/Empty.a"), 0u);
    EXPECT_FALSE(fs::exists(out + "/one.txt"));
    EXPECT_EQ(Lines(r.out).size(), 3u);  // #1 asked twice, written once
}

TEST(CliExtract, DefaultsToEveryEntryInTheCurrentFolder) {
    TempDir dir;
    const std::string archive =
        dir.Write("demo.lgp", LgpWriter().AddText("a.txt", "A").AddText("b.txt", "BB").Build());
    fs::create_directory(dir.File("cwd"));
    CliResult r = RunCli({"extract", archive}, dir.File("cwd"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(dir.File("cwd/a.txt")), Text("A"));
    EXPECT_EQ(ReadFile(dir.File("cwd/b.txt")), Text("BB"));
}

TEST(CliExtract, DecompressReproducesEveryOriginalByteOfFieldEntries) {
    TempDir dir;
    const Bytes field1 = FieldLikeBytes(70000, 1);
    const Bytes field2 = FieldLikeBytes(5000, 2);
    const Bytes texture = Text("a texture, stored as it is");
    const Bytes stored1 = lumo::test::LzssCompressEntry(field1);
    const std::string archive =
        dir.Write("flevel.lgp", LgpWriter()
                                    .Add("md1stin", stored1)
                                    .Add("md1_1", lumo::test::LzssCompressEntry(field2))
                                    .Add("x.tex", texture)
                                    .Add("empty", lumo::test::LzssCompressEntry({}))
                                    .Build());
    CliResult r = RunCli({"extract", archive, "-o", dir.File("decoded"), "--decompress"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(dir.File("decoded/md1stin")), field1);
    EXPECT_EQ(ReadFile(dir.File("decoded/md1_1")), field2);
    EXPECT_EQ(ReadFile(dir.File("decoded/x.tex")), texture);  // type 1: never decoded
    EXPECT_EQ(ReadFile(dir.File("decoded/empty")), Bytes{});

    r = RunCli({"extract", archive, "-o", dir.File("stored"), "md1stin"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(dir.File("stored/md1stin")), stored1);
}

TEST(CliExtract, UnsafeNamesAreRefusedWhileTheOtherEntriesGoOn) {
    TempDir dir;
    fs::create_directory(dir.File("out"));
    LgpWriter writer;
    const std::vector<std::string> unsafe = {"../evil", ".", "..", "a/b", "", "..\\x", "/tmp/abs"};
    writer.AddText("good1.txt", "1");
    for (size_t i = 0; i < unsafe.size(); ++i) {
        writer.AddText("placeholder", "bad");
        writer.SetRawName(i + 1, RawName(unsafe[i]));
    }
    writer.AddText("good2.txt", "2");
    const std::string archive = dir.Write("demo.lgp", writer.Build());

    CliResult r = RunCli({"extract", archive, "-o", dir.File("out")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(ReadFile(dir.File("out/good1.txt")), Text("1"));
    EXPECT_EQ(ReadFile(dir.File("out/good2.txt")), Text("2"));
    EXPECT_EQ(Lines(r.err).size(), unsafe.size()) << r.err;
    for (size_t i = 0; i < unsafe.size(); ++i) {
        EXPECT_TRUE(Contains(r.err, "entry #" + std::to_string(i + 1) + " (")) << r.err;
    }
    EXPECT_TRUE(Contains(r.err, "not a plain file name"));
    EXPECT_FALSE(fs::exists(dir.File("evil")));
    EXPECT_FALSE(fs::exists(dir.File("out/a")));
    // Only the two good files (and nothing temporary) in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("out")), fs::directory_iterator()), 2);
}

TEST(CliExtract, NamesWithLineBreaksAreWrittenButListedEscaped) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows allows no control characters in file names";
#endif
    TempDir dir;
    LgpWriter writer;
    writer.AddText("placeholder", "odd").AddText("b.txt", "B");
    writer.SetRawName(0, RawName("a\nb.txt\t9"));
    const std::string archive = dir.Write("demo.lgp", writer.Build());

    // The user's own folder is shown as given, a backslash in it too.
    CliResult r = RunCli({"extract", archive, "-o", dir.File("o\\ut")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(dir.File("o\\ut/a\nb.txt\t9")), Text("odd"));
    EXPECT_EQ(Lines(r.out), (std::vector<std::string>{dir.File("o\\ut/a\\x0Ab.txt\\x099") + "\t3",
                                                      dir.File("o\\ut/b.txt") + "\t1"}));
}

TEST(CliExtract, UnknownEntriesFailButTheKnownOnesAreWritten) {
    TempDir dir;
    const std::string archive =
        dir.Write("demo.lgp", LgpWriter().AddText("a.txt", "A").AddText("b.txt", "B").Build());
    CliResult r =
        RunCli({"extract", archive, "-o", dir.File("out"), "nope.txt", "#2", "#x", "b.txt"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, archive + ": no entry named nope.txt")) << r.err;
    EXPECT_TRUE(Contains(r.err, "no entry #2 (the archive has 2 entries)")) << r.err;
    EXPECT_TRUE(Contains(r.err, "no entry named #x")) << r.err;
    EXPECT_EQ(ReadFile(dir.File("out/b.txt")), Text("B"));
    EXPECT_FALSE(fs::exists(dir.File("out/a.txt")));
}

TEST(CliExtract, AFailedWriteKeepsWhatWasThereAndTheRunGoesOn) {
    TempDir dir;
    fs::create_directories(dir.File("out/a.txt"));  // a folder where the file would go
    const std::string archive =
        dir.Write("demo.lgp", LgpWriter().AddText("a.txt", "A").AddText("b.txt", "B").Build());
    CliResult r = RunCli({"extract", archive, "-o", dir.File("out")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "cannot write " + dir.File("out"))) << r.err;
    EXPECT_TRUE(Contains(r.err, "a.txt: ")) << r.err;
    EXPECT_TRUE(fs::is_directory(dir.File("out/a.txt")));
    EXPECT_EQ(ReadFile(dir.File("out/b.txt")), Text("B"));
}

TEST(CliExtract, ASecondEntryOfTheSameNameDoesNotOverwriteTheFirst) {
    TempDir dir;
    const std::string archive = dir.Write(
        "demo.lgp", LgpWriter().AddText("same.txt", "first").AddText("same.txt", "second").Build());
    CliResult r = RunCli({"extract", archive, "-o", dir.File("out")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "entry #1 (same.txt)")) << r.err;
    EXPECT_EQ(ReadFile(dir.File("out/same.txt")), Text("first"));

    r = RunCli({"extract", archive, "-o", dir.File("other"), "#1"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(dir.File("other/same.txt")), Text("second"));
}

TEST(CliExtract, EntriesCutShortAreRefusedOrWithPartialWrittenAsFarAsTheyGo) {
    TempDir dir;
    LgpWriter writer;
    writer.AddText("whole.txt", "whole").AddText("cut.txt", "0123456789");
    writer.SetSizeField(1, 1000000);
    writer.SetBareLayout(true);
    const std::string archive = dir.Write("demo.lgp", writer.Build());
    fs::create_directory(dir.File("out"));
    dir.Write("out/cut.txt", Text("the good copy"));
    CliResult r = RunCli({"extract", archive, "-o", dir.File("out")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err,
                         "entry #1 (cut.txt): cut short (the archive holds 10 of its "
                         "1000000 bytes); not written"))
        << r.err;
    EXPECT_EQ(ReadFile(dir.File("out/whole.txt")), Text("whole"));
    EXPECT_EQ(ReadFile(dir.File("out/cut.txt")), Text("the good copy"));

    r = RunCli({"extract", archive, "-o", dir.File("out"), "--partial"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(ReadFile(dir.File("out/cut.txt")), Text("the good copy"));
    r = RunCli({"extract", archive, "-o", dir.File("new"), "--partial"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "written as far as it goes")) << r.err;
    EXPECT_EQ(ReadFile(dir.File("new/cut.txt")), Text("0123456789"));
    // The same rule for standard output.
    r = RunCli({"extract", archive, "cut.txt", "--stdout"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    r = RunCli({"extract", archive, "cut.txt", "--stdout", "--partial"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "0123456789");

    LgpWriter pastEnd;
    pastEnd.AddText("gone.txt", "x").SetOffset(0, 0x7FFFFFF0);
    const std::string far = dir.Write("far.lgp", pastEnd.Build());
    r = RunCli({"extract", far, "-o", dir.File("far")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "entry #0 (gone.txt): its data lies past the end")) << r.err;
    EXPECT_FALSE(fs::exists(dir.File("far/gone.txt")));
}

TEST(CliExtract, MalformedStreamsDecodeToADefinedResult) {
    TempDir dir;
    lumo::test::LzssStreamWriter stream;
    stream.Literals(Text("abc")).Reference(3, 9);
    const Bytes cut = lumo::test::LzssEntry(stream.StreamCutInsideLastReference());
    Bytes longLength = lumo::test::LzssEntry(stream.Stream());
    longLength[2] = 0x7F;  // L far beyond the end of the file
    LgpWriter writer;
    // Bare, so nothing follows the last entry's stream in the file.
    writer.Add("cut", cut).Add("long", longLength).SetBareLayout(true);
    const std::string archive = dir.Write("flevel.lgp", writer.Build());
    // Neither stream is whole: each is refused, or with --partial decoded as far as the
    // entry holds it.
    const struct {
        const char* entry;
        const char* reason;
        Bytes partial;
    } kCases[] = {
        {"cut", "entry #0 (cut): its compressed data ends inside an item", Text("abc")},
        {"long", "entry #1 (long): its compressed length runs past the end of the entry",
         Text("abcabcabcabc")},
    };
    for (const auto& c : kCases) {
        CliResult r = RunCli({"extract", archive, "-o", dir.File("out"), "--decompress", c.entry});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(Contains(r.err, c.reason)) << r.err;
        EXPECT_FALSE(fs::exists(dir.File(std::string("out/") + c.entry)));
        r = RunCli(
            {"extract", archive, "-o", dir.File("part"), "--decompress", "--partial", c.entry});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(ReadFile(dir.File(std::string("part/") + c.entry)), c.partial);
    }
}
