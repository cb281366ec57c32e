// SPDX-License-Identifier: MIT
// ^C during lumo-cli runs that write: what is listed is on disk whole, nothing else is
// left, and the exit status says which signal stopped the run.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

#include <fcntl.h>
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

// lumo-cli with its standard output on a pipe (returned in `out`), its errors in a file.
pid_t Start(std::vector<std::string> args, const std::string& errPath, int* out) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    args.insert(args.begin(), LUMO_CLI_PATH);
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    *out = pipeEnds[0];
    return pid;
}

// Reads the pipe to its end; `atFirstLine` runs once the first line has come.
std::string ReadAll(int fd, const std::function<void()>& atFirstLine) {
    std::string text;
    bool told = false;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) {
        text.append(buffer, static_cast<size_t>(n));
        if (!told && text.find('\n') != std::string::npos) {
            told = true;
            atFirstLine();
        }
    }
    close(fd);
    return text;
}

// A folder for thousands of small files: in memory where the host has a place for it,
// since creating and removing them on a busy disk takes many seconds.
class FastFolder {
public:
    explicit FastFolder(const TempDir& fallback) {
        m_path = fs::is_directory("/dev/shm") ? "/dev/shm/lumo-test-" + std::to_string(getpid())
                                              : fallback.File("fast");
    }
    ~FastFolder() { fs::remove_all(m_path); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

int ExitStatus(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
    const FastFolder fast(dir);
    const std::string& out = fast.Path();
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        fs::remove_all(out);
        int pipe = -1;
        const pid_t pid = Start({"extract", archive, "-o", out}, dir.File("err"), &pipe);
        ASSERT_GT(pid, 0);
        const std::string listed = ReadAll(pipe, [&] { kill(pid, signal); });
        EXPECT_EQ(ExitStatus(pid), 128 + signal);

        std::set<std::string> names;
        for (const std::string& line : Lines(listed)) {
            const std::string path = line.substr(0, line.find('\t'));
            const std::string name = fs::path(path).filename().string();
            names.insert(name);
            EXPECT_EQ(ReadFile(path), data.at(std::stoul(name.substr(13)))) << name;
        }
        EXPECT_GT(names.size(), 0u);
        EXPECT_LT(names.size(), size_t{kEntries});  // the run was cut short
        std::set<std::string> present;
        for (const auto& item : fs::directory_iterator(out)) {
            present.insert(item.path().filename().string());
        }
        EXPECT_EQ(present, names);
        const Bytes errBytes = ReadFile(dir.File("err"));
        const std::string err(errBytes.begin(), errBytes.end());
        EXPECT_TRUE(Contains(err, "interrupted; " + std::to_string(names.size()) + " of " +
                                      std::to_string(kEntries) + " files written"))
            << err;
    }
}

TEST(CliInterrupt, AnInterruptedSaveLeavesTheOldArchive) {
    TempDir dir;
    const Bytes old = LgpWriter().AddText("a.txt", "kept").Build();
    fs::create_directory(dir.File("out"));
    const std::string archive = dir.Write("out/a.lgp", old);
    const std::string big = dir.Write("big.bin", Bytes(size_t{48} << 20, 0x5A));
    int pipe = -1;
    const pid_t pid = Start({"add", archive, big}, dir.File("err"), &pipe);
    ASSERT_GT(pid, 0);
    // Signalled once the new archive is being written aside, beside the old one open.
    bool ended = false;
    for (int wait = 0; wait < 4000 && !ended && FilesOpenIn(pid, dir.File("out")) < 2; ++wait) {
        usleep(1000);
        ended = waitpid(pid, nullptr, WNOHANG) == pid;
    }
    ASSERT_FALSE(ended) << "the run ended before it could be interrupted";
    kill(pid, SIGINT);
    ReadAll(pipe, [] {});
    EXPECT_EQ(ExitStatus(pid), 130);
    EXPECT_EQ(ReadFile(archive), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("out")), fs::directory_iterator()), 1);
}

}  // namespace
