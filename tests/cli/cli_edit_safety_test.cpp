// SPDX-License-Identifier: MIT
// lumo-cli add killed in the middle of its save: the archive is the old one, whole, and
// nothing is left beside it.
#include <gtest/gtest.h>

#include <filesystem>

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

TEST(CliEditSafety, AKilledAddLeavesTheOldArchiveAndNoTemporary) {
    TempDir dir;
    const std::string folder = dir.File("archive");
    fs::create_directory(folder);
    const Bytes old = LgpWriter().AddText("aa.p", "old").Build();
    const std::string archive = dir.Write("archive/a.lgp", old);
    const std::string big = dir.File("big.bin");
    {
        // Large enough that the save takes a while: written, synced and read back.
        const int fd = open(big.c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_EQ(ftruncate(fd, 256 << 20), 0);
        close(fd);
    }
    std::string program = LUMO_CLI_PATH, command = "add", q = "-q";
    std::string archiveArg = archive, bigArg = big;
    char* argv[] = {program.data(), command.data(), archiveArg.data(),
                    bigArg.data(),  q.data(),       nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
    // Killed once it holds the new archive aside beside the old one.
    bool ended = false;
    for (int wait = 0; wait < 20000 && !ended && FilesOpenIn(pid, folder) < 2; ++wait) {
        usleep(500);
        ended = waitpid(pid, nullptr, WNOHANG) == pid;
    }
    ASSERT_FALSE(ended) << "the save ended before it could be killed";
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    EXPECT_EQ(ReadFile(archive), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

}  // namespace
