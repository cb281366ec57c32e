// SPDX-License-Identifier: MIT
// lumo-cli extract: the archive itself, names as list shows them, and a killed run.
#include <gtest/gtest.h>

#include <filesystem>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/cli/process.h"
#include "tests/cli/run_cli.h"
#include "tests/support/lgp_writer.h"

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

TEST(CliExtractSafety, TheArchiveItselfIsRefusedAndTheOthersGoOn) {
    TempDir dir;
    const Bytes file =
        LgpWriter().AddText("demo.lgp", "not the archive").AddText("b.txt", "B").Build();
    const std::string archive = dir.Write("demo.lgp", file);
    CliResult r = RunCli({"extract", archive, "-o", dir.Path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("entry #0 (demo.lgp): that file is the archive being read"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(ReadFile(archive), file);
    EXPECT_EQ(ReadFile(dir.File("b.txt")), Text("B"));
}

TEST(CliExtractSafety, EntriesAreChosenByTheNameListShowsEscapedOrNot) {
    TempDir dir;
    LgpWriter writer;
    writer.AddText("p1", "latin").AddText("p2", "control");
    writer.SetRawName(0, RawName("caf\xE9.txt")).SetRawName(1, RawName("a\nb"));
    const std::string archive = dir.Write("demo.lgp", writer.Build());
    for (const char* wanted : {"caf\xC3\xA9.txt", "CAF\xC3\xA9.TXT", "a\\x0Ab", "a\nb"}) {
        SCOPED_TRACE(wanted);
        const std::string out = dir.File("out");
        fs::remove_all(out);
        CliResult r = RunCli({"extract", archive, "-o", out, wanted});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
    }
    EXPECT_EQ(ReadFile(dir.File("out/a\nb")), Text("control"));
    RunCli({"extract", archive, "-o", dir.File("all")});
    EXPECT_EQ(ReadFile(dir.File("all/caf\xC3\xA9.txt")), Text("latin"));  // UTF-8 on disk
}

// Name bytes map to text one way (Latin-1) for list, JSON, matching and the files written,
// even where the bytes would also read as other UTF-8 text.
TEST(CliExtractSafety, ANameIsTheSameTextInEveryCommand) {
    TempDir dir;
    LgpWriter writer;
    writer.AddText("p1", "utf8-looking").AddText("p2", "latin");
    writer.SetRawName(0, RawName("\xC3\xA9.txt")).SetRawName(1, RawName("\xE9.txt"));
    const std::string archive = dir.Write("demo.lgp", writer.Build());
    const std::string looking = "\xC3\x83\xC2\xA9.txt", latin = "\xC3\xA9.txt";

    CliResult r = RunCli({"list", archive});
    EXPECT_EQ(r.out, "0\t" + looking + "\ttxt\t12\t6\n1\t" + latin + "\ttxt\t5\t6\n");
    r = RunCli({"list", "--json", archive});
    EXPECT_TRUE(Contains(r.out, "\"name\":\"" + looking + "\"")) << r.out;
    EXPECT_TRUE(Contains(r.out, "\"name\":\"" + latin + "\"")) << r.out;
    for (const char* wanted : {"\xC3\xA9.txt", "*\xC3\xA9*"}) {
        const std::string out = dir.File("one");
        fs::remove_all(out);
        r = RunCli({"extract", archive, "-o", out, wanted});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 1);
        EXPECT_EQ(ReadFile(out + "/" + latin), Text("latin")) << wanted;
    }
}

// One escaping for names and paths in messages: C0 and C1 controls never reach the
// terminal raw.
TEST(CliExtractSafety, MessagesEscapeNamesAndPaths) {
    TempDir dir;
    LgpWriter writer;
    writer.AddText("x", "0123456789").SetRawName(0, RawName("n\x85\x1B[2J"));
    const Bytes file = writer.Build();
    const std::string archive = dir.Write("cut.lgp", lumo::test::Truncated(file, file.size() - 20));
    CliResult r = RunCli({"list", archive});
    EXPECT_TRUE(Contains(r.err, "entry #0 (n\\x85\\x1B[2J): cut short")) << r.err;
    r = RunCli({"list", dir.File("no\nsuch\xC2\x9B.lgp")});
    EXPECT_TRUE(Contains(r.err, "no\\x0Asuch\\x9B.lgp: cannot open file")) << r.err;
    for (const CliResult& run : {RunCli({"list", archive}), r}) {
        EXPECT_EQ(run.err.find_first_of("\x1B\n"), run.err.size() - 1) << run.err;
    }
}

// What is in the way of an entry, and what extract makes of it without --force.
TEST(CliExtractSafety, WhatIsInTheWayIsReplacedOnlyWhenItMayBe) {
    TempDir dir;
    LgpWriter writer;
    for (const char* name : {"readonly", "link", "folder", "fifo", ".keep.lumo-31999-7"}) {
        writer.AddText(name, "new");
    }
    const std::string archive = dir.Write("a.lgp", writer.Build());
    const std::string out = dir.File("out");
    fs::create_directory(out);
    dir.Write("out/readonly", Text("old"));
    chmod(dir.File("out/readonly").c_str(), 0444);
    dir.Write("setuid", Text("elsewhere"));
    chmod(dir.File("setuid").c_str(), 04755);
    fs::create_symlink(dir.File("setuid"), out + "/link");
    fs::create_directory(out + "/folder");
    mkfifo((out + "/fifo").c_str(), 0600);
    const mode_t mask = umask(022);
    CliResult r = RunCli({"extract", archive, "-o", out, "-q"});
    umask(mask);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err,
                         "entry #0 (readonly): the file there is write-protected; "
                         "not replaced (--force replaces it)"))
        << r.err;
    struct stat info {};
    ASSERT_EQ(lstat((out + "/link").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode, S_IFREG | 0644u);  // a new file of its own, no set-ID bit
    EXPECT_EQ(ReadFile(dir.File("setuid")), Text("elsewhere"));
    EXPECT_TRUE(fs::is_directory(out + "/folder"));
    EXPECT_TRUE(fs::is_fifo(out + "/fifo"));
    EXPECT_EQ(ReadFile(dir.File("out/readonly")), Text("old"));
    // The entry named like a temporary is a file like any other, and survives the next run.
    EXPECT_EQ(RunCli({"extract", archive, "-o", out, "--force", "-q", "readonly"}).exitCode, 0);
    EXPECT_EQ(ReadFile(dir.File("out/readonly")), Text("new"));
    EXPECT_EQ(ReadFile(out + "/.keep.lumo-31999-7"), Text("new"));
}

// Killed at any moment, a run leaves each file as it was or whole, and nothing else.
TEST(CliExtractSafety, AKilledRunLeavesNoTemporaryAndNoHalfFile) {
    TempDir dir;
    LgpWriter writer;
    std::vector<Bytes> data;
    for (int i = 0; i < 600; ++i) {
        data.push_back(Bytes(512 + i, static_cast<uint8_t>(i)));
        writer.Add("e" + std::to_string(i), data.back());
    }
    const std::string archive = dir.Write("big.lgp", writer.Build());
    const std::string out = dir.File("out");
    fs::create_directory(out);
    dir.Write("out/e0", Text("old"));

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::string program = LUMO_CLI_PATH, command = "extract", o = "-o";
    std::string archiveArg = archive, outArg = out;
    char* argv[] = {program.data(), command.data(), archiveArg.data(),
                    o.data(),       outArg.data(),  nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    // Killed once it holds files written aside and not yet in place.
    bool ended = false;
    for (int wait = 0; wait < 2000 && !ended && FilesOpenIn(pid, out) < 20; ++wait) {
        usleep(5000);
        ended = waitpid(pid, nullptr, WNOHANG) == pid;
    }
    ASSERT_FALSE(ended) << "the run ended before it could be killed";
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);

    for (const auto& item : fs::directory_iterator(out)) {
        const std::string name = item.path().filename().string();
        if (name.rfind(".lumo-temporary-", 0) == 0) {
            continue;  // the run's private place, which the next run sweeps
        }
        ASSERT_EQ(name[0], 'e') << name;
        const Bytes now = ReadFile(item.path().string());
        if (!(name == "e0" && now == Text("old"))) {
            EXPECT_EQ(now, data[std::stoul(name.substr(1))]) << name;
        }
    }
    CliResult r = RunCli({"extract", archive, "-o", out});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 600);
}

}  // namespace
