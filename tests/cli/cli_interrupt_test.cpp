// SPDX-License-Identifier: MIT
// ^C during lumo-cli runs that write: what is listed is on disk whole, nothing else is
// left, and the exit status says which signal stopped the run.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/cli/process.h"
#include "tests/cli/run_cli.h"
#include "tests/support/lgp_writer.h"

namespace fs = std::filesystem;
using lumo::test::Bytes;
using lumo::test::LgpWriter;
using lumo::test::ReadFile;
using lumo::test::TempDir;

namespace {

struct Signalled {
    int status = -1;
    std::string printed;  // standard output and error, as they came
};

// Runs lumo-cli with its output on a pipe, read to its end; `signal` goes to it once the
// first line has come, or once `ready` says so.
Signalled RunSignalled(std::vector<std::string> args, int signal,
                       const std::function<bool(pid_t)>& ready = nullptr) {
    int ends[2];
    Signalled run;
    if (pipe(ends) != 0) {
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 2);
    args.insert(args.begin(), LUMO_CLI_PATH);
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const bool started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (!started || pid <= 0) {  // never kill(-1, ...): that reaches every process
        close(ends[0]);
        return run;
    }
    for (int wait = 0; ready && wait < 4000 && !ready(pid); ++wait) {
        usleep(1000);
    }
    bool told = ready && kill(pid, signal) == 0;
    char buffer[4096];
    for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;) {
        run.printed.append(buffer, static_cast<size_t>(n));
        if (!told && run.printed.find('\n') != std::string::npos) {
            told = kill(pid, signal) == 0;
        }
    }
    close(ends[0]);
    int status = 0;
    if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
    }
    return run;
}

TEST(CliInterrupt, ExtractListsEveryFilePlacedAndNothingElseIsLeft) {
    // The first lines come once the first batch of files is in place, more of them than
    // the pipe holds: the run waits on the pipe until the signal has come.
    constexpr int kEntries = 5000;
    TempDir dir;
    LgpWriter writer;
    std::vector<Bytes> data;
    for (int i = 0; i < kEntries; ++i) {
        data.push_back(Bytes(16 + i % 64, static_cast<uint8_t>(i)));
        writer.Add("entry_number_" + std::to_string(i), data.back());
    }
    const std::string archive = dir.Write("big.lgp", writer.Build());
    // Thousands of files are made and removed in moments in memory, not on a busy disk.
    const std::string out = fs::is_directory("/dev/shm")
                                ? "/dev/shm/lumo-test-" + std::to_string(getpid())
                                : dir.File("out");
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        fs::remove_all(out);
        const Signalled run = RunSignalled({"extract", archive, "-o", out}, signal);
        EXPECT_EQ(run.status, 128 + signal);
        std::set<std::string> listed, present;
        for (const std::string& line : Lines(run.printed)) {
            if (line.find('\t') != std::string::npos) {
                const std::string name = fs::path(line.substr(0, line.find('\t'))).filename();
                listed.insert(name);
                EXPECT_EQ(ReadFile(out + "/" + name), data.at(std::stoul(name.substr(13))));
            }
        }
        for (const auto& item : fs::directory_iterator(out)) {
            present.insert(item.path().filename().string());
        }
        EXPECT_EQ(present, listed);
        EXPECT_GT(listed.size(), 0u);
        EXPECT_LT(listed.size(), size_t{kEntries});  // the run was cut short
        EXPECT_TRUE(Contains(run.printed, "interrupted; " + std::to_string(listed.size()) +
                                              " of 5000 files written"));
    }
    fs::remove_all(out);
}

TEST(CliInterrupt, AnInterruptedSaveLeavesTheOldArchive) {
    TempDir dir;
    const Bytes old = LgpWriter().AddText("a.txt", "kept").Build();
    fs::create_directory(dir.File("out"));
    const std::string archive = dir.Write("out/a.lgp", old);
    const std::string big = dir.Write("big.bin", Bytes(size_t{48} << 20, 0x5A));
    // Signalled once the new archive is being written aside, beside the old one open.
    const Signalled run = RunSignalled({"add", archive, big}, SIGINT, [&](pid_t pid) {
        return FilesOpenIn(pid, dir.File("out")) >= 2;
    });
    EXPECT_EQ(run.status, 130) << run.printed;
    EXPECT_EQ(ReadFile(archive), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("out")), fs::directory_iterator()), 1);
}

}  // namespace
