// SPDX-License-Identifier: MIT
// lumo-cli's usage, list and info, and what it says about files it cannot use.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include <cstdlib>

#include "tests/cli/run_cli.h"
#include "tests/support/lgp_writer.h"

using lumo::test::Bytes;
using lumo::test::LgpWriter;
using lumo::test::RawName;
using lumo::test::TempDir;

namespace {

// The arguments that run `command` on `archive`; extract writes into `outDir`.
std::vector<std::string> ArgsFor(const std::string& command, const std::string& archive,
                                 const std::string& outDir) {
    if (command == "extract") {
        return {command, archive, "-o", outDir};
    }
    return {command, archive};
}

}  // namespace

TEST(CliUsage, BadUsageExitsTwoAndHelpExitsZero) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"frobnicate", "a.lgp"},
             {"list"},
             {"list", "a.lgp", "extra"},
             {"list", "--decompress", "a.lgp"},
             {"extract", "a.lgp", "-o"},
             {"render", "a.lgp", "x"},
             {"render", "a.lgp", "-o", "x.png"},
             {"render", "a.lgp", "x", "y", "-o", "x.png"},
         }) {
        CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, 2) << ::testing::PrintToString(args);
        EXPECT_TRUE(Contains(r.err, "lumo-cli: ")) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    CliResult help = RunCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(Contains(help.out, "lumo-cli extract ARCHIVE"));
    EXPECT_EQ(RunCli({"extract", "missing.lgp", "-h"}).exitCode, 0);
}

TEST(CliList, PrintsOneTabSeparatedLinePerEntryInArchiveOrder) {
    TempDir dir;
    LgpWriter writer;
    writer.AddText("zeta.tex", "12345")
        .Add("big.mid", Bytes(5000, 7))
        .AddText("noext", "")
        .AddText("two.p.x", "ab")
        .AddText("a", "q");
    writer.SetRawName(4, RawName("tab\there\nx.a"));
    const std::string archive = dir.Write("demo.lgp", writer.Build());

    CliResult r = RunCli({"list", archive});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(r.out), (std::vector<std::string>{
                                "0\tzeta.tex\ttex\t5\t1",
                                "1\tbig.mid\tmid\t5000\t5",
                                "2\tnoext\t\t0\t0",
                                "3\ttwo.p.x\tp.x\t2\t0",
                                "4\ttab\\x09here\\x0Ax.a\ta\t1\t7",
                            }));
}

TEST(CliList, FieldArchiveEntriesGetTypeThreeAndAnEmptyArchiveListsNothing) {
    TempDir dir;
    const std::string field =
        dir.Write("FLEVEL.LGP", LgpWriter().AddText("md1stin", "x").AddText("a.TEX", "y").Build());
    EXPECT_EQ(RunCli({"list", field}).out, "0\tmd1stin\t\t1\t3\n1\ta.TEX\tTEX\t1\t1\n");

    const std::string empty = dir.Write("empty.lgp", LgpWriter().Build());
    CliResult r = RunCli({"list", empty});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST(CliInfo, GivesPathLengthAndCount) {
    TempDir dir;
    const Bytes bytes = LgpWriter().AddText("a.txt", "hello").AddText("b.txt", "x").Build();
    const std::string archive = dir.Write("demo.lgp", bytes);
    CliResult r = RunCli({"info", archive});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    char size[16];
    snprintf(size, sizeof size, "%zu", bytes.size());
    EXPECT_TRUE(Contains(r.out, "path:\t" + archive + "\n")) << r.out;
    EXPECT_TRUE(Contains(r.out, "length:\t" + std::string(size) + " (")) << r.out;
    EXPECT_TRUE(Contains(r.out, "entries:\t2\n")) << r.out;
}

TEST(CliHostileFiles, UnusableFilesAreNamedWithTheProblem) {
    TempDir dir;
    const std::string missing = dir.File("missing.lgp");
    const std::string wrongCase =
        dir.Write("case.lgp", LgpWriter().SetSignature("SquareSoft").AddText("a", "b").Build());
    const std::string tiny = dir.Write("tiny.lgp", Bytes{0, 0, 'S', 'Q'});
    const std::string shortToc = dir.Write(
        "toc.lgp", lumo::test::Truncated(LgpWriter().AddText("a", "b").AddText("c", "d").Build(),
                                         LgpWriter::TocEnd(2) - 1));
    struct Case {
        std::string path, problem;
    };
    std::vector<Case> cases = {
        Case{missing, "cannot open file: No such file"}, Case{wrongCase, "not an LGP archive"},
        Case{tiny, "not an LGP archive"}, Case{shortToc, "cut short"}, Case{dir.Path(), "folder"}};
#ifndef _WIN32
    const std::string pipe = dir.File("pipe.lgp");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    cases.push_back(Case{pipe, "cannot open file: not a regular file"});
#endif
    for (const Case& c : cases) {
        for (const char* command : {"list", "info", "extract"}) {
            CliResult r = RunCli(ArgsFor(command, c.path, dir.File("out")));
            EXPECT_EQ(r.exitCode, 1) << command << " " << c.path;
            EXPECT_TRUE(Contains(r.err, c.path + ": ")) << r.err;
            EXPECT_TRUE(Contains(r.err, c.problem)) << r.err;
        }
    }
}

// Truncating a real archive anywhere must never crash the tool: each run ends
// with 0 or 1, and a failure says why.
TEST(CliHostileFiles, EveryTruncationEndsInACleanResult) {
    TempDir dir;
    LgpWriter writer;
    writer.AddText("a.txt", "hello").Add("b.tex", Bytes(40, 1));
    const Bytes full = writer.Build();
    // Cuts in the header, in and at the end of the table of contents, and in and around
    // both data blocks; the tables between them are never read.
    std::vector<size_t> lengths = {
        0, 1, 2, 11, 12, 13, 15, 16, 17, 35, 42, 43, 44, 69, 70, 71, full.size() - 1, full.size()};
    for (uint32_t data : {writer.DataOffset(0), writer.DataOffset(1)}) {
        for (uint32_t at : {0, 1, 20, 23, 24, 25, 28}) {
            lengths.push_back(data + at);
        }
    }
    for (size_t length : lengths) {
        const std::string path = dir.Write("cut.lgp", lumo::test::Truncated(full, length));
        // extract reads everything list does, and every entry's bytes on top.
        CliResult r = RunCli(ArgsFor("extract", path, dir.File("out")));
        ASSERT_TRUE(r.exitCode == 0 || r.exitCode == 1)
            << "cut at " << length << ": exit " << r.exitCode << "\n"
            << r.err;
        if (r.exitCode == 1) {
            EXPECT_TRUE(Contains(r.err, "lumo-cli: ")) << r.err;
        }
    }
}

// A listing that cannot be written is a failure that says so, for every command that
// prints one; a script must never take a lost listing for an empty one.
TEST(CliOutput, AnUnwritableStandardOutputFailsWithAMessage) {
#ifdef _WIN32
    GTEST_SKIP() << "needs a device that is always full";
#else
    TempDir dir;
    const std::string archive =
        dir.Write("demo.lgp", LgpWriter().AddText("a.txt", "hello").Build());
    for (const char* command : {"list", "info", "extract", "--help"}) {
        SCOPED_TRACE(command);
        const std::string err = dir.File("err");
        std::string line = std::string(LUMO_CLI_PATH) + " " + command;
        if (std::string(command) != "--help") {
            line += " '" + archive + "'";
        }
        if (std::string(command) == "extract") {
            line += " -o '" + dir.File("out") + "'";
        }
        const int status = std::system((line + " > /dev/full 2> '" + err + "'").c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1);
        const Bytes message = lumo::test::ReadFile(err);
        EXPECT_TRUE(
            Contains(std::string(message.begin(), message.end()), "standard output: write error"));
    }
#endif
}
