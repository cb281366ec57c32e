// SPDX-License-Identifier: MIT
// The atomic file against what can be in the way, failing disks and a killed writer.
#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_output.h"
#include "platform/temporary_place.h"

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("lumo-atomic-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        umount(m_dir.c_str());
        fs::remove_all(m_dir);
    }
    std::string Path(const std::string& name) const { return (m_dir / name).string(); }
    void Put(const std::string& name, const std::string& text, mode_t mode) const {
        std::ofstream(Path(name), std::ios::binary) << text;
        chmod(Path(name).c_str(), mode);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(m_dir)) {
            names.push_back(item.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    // A small file system of its own at the test folder (root only).
    bool Mount(const char* options) {
        return mount("tmpfs", m_dir.c_str(), "tmpfs", 0, options) == 0;
    }
    fs::path m_dir;
};

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info.st_mode;
}

// What each kind of file in the way becomes, written with the anonymous file and with
// the named fallback alike.
TEST_F(AtomicFileTest, WhatIsInTheWayIsReplacedOnlyAsTheRulesSay) {
    const mode_t saved = umask(022);
    const mode_t umasked = 0644;
    for (bool anonymous : {true, false}) {
        SCOPED_TRACE(anonymous);
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        Put("elsewhere", "setuid program", 04755);
        Put("setuid", "old", 06755);
        Put("readonly", "old", 0444);
        Put("archive", "archive", 0644);
        fs::create_symlink(Path("elsewhere"), Path("link"));
        PlaceRules rules;
        rules.protect = IdentifyFile(Path("archive"));
        rules.replaceWriteProtected = false;
        const struct {
            const char* name;
            bool ok;
            mode_t mode;           // of the path afterwards
            const char* contents;  // afterwards
        } kCases[] = {
            {"new", true, S_IFREG | umasked, "x"},
            {"setuid", true, S_IFREG | 0755, "x"},   // bits kept, set-ID bits not
            {"link", true, S_IFREG | umasked, "x"},  // the link replaced, not followed
            {"readonly", false, S_IFREG | 0444, "old"},
            {"archive", false, S_IFREG | 0644, "archive"},
        };
        for (const auto& c : kCases) {
            SCOPED_TRACE(c.name);
            AtomicFileOptions options;
            options.rules = rules;
            options.anonymous = anonymous;
            AtomicFile file;
            ASSERT_TRUE(file.Begin(Path(c.name), options));
            ASSERT_TRUE(file.Write("x", 1));
            EXPECT_EQ(file.Place(), c.ok) << file.Result().message;
            EXPECT_EQ(ModeOf(Path(c.name)), c.mode);
            EXPECT_EQ(Read(Path(c.name)), c.contents);
        }
        EXPECT_EQ(Read(Path("elsewhere")), "setuid program");
        EXPECT_EQ(Names().size(), 6u);  // no temporary, no private place
    }
    umask(saved);
}

// An output that is a stream is written into, never through a temporary and never
// replaced by a regular file; as a target of an atomic file it is refused.
TEST_F(AtomicFileTest, StreamsAreWrittenAsTheyAre) {
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    const int reader = open(Path("fifo").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(WriteOutputFile(Path("fifo"), "png", 3).Ok());
    char got[4] = {};
    EXPECT_EQ(read(reader, got, sizeof got), 3);
    close(reader);
    EXPECT_TRUE(WriteOutputFile("/dev/null", "x", 1).Ok());
    EXPECT_TRUE(S_ISCHR(ModeOf("/dev/null")));
    const AtomicWriteResult refused = WriteFileAtomicallyDetailed(Path("fifo"), "x", 1);
    EXPECT_EQ(refused.reason, kTargetNotAFile);
    EXPECT_TRUE(S_ISFIFO(ModeOf(Path("fifo"))));
    EXPECT_EQ(Names(), std::vector<std::string>{"fifo"});
}

TEST_F(AtomicFileTest, PiecesAreCheckedBeforeTheyArePlaced) {
    Put("saved", "old", 0644);
    for (bool accept : {false, true}) {
        AtomicFileOptions options;
        options.check = [accept](const ReadOnlyFile& written) {
            char bytes[8] = {};
            const uint64_t got = written.ReadAt(0, bytes, sizeof bytes);
            EXPECT_EQ(std::string(bytes, got), "one two");
            return accept ? std::string() : std::string("does not read back");
        };
        AtomicFile file;
        ASSERT_TRUE(file.Begin(Path("saved"), options));
        ASSERT_TRUE(file.Write("one ", 4) && file.Write("two", 3));
        EXPECT_EQ(file.Place(), accept);
        EXPECT_EQ(Read(Path("saved")), accept ? "one two" : "old");
        EXPECT_EQ(Names(), std::vector<std::string>{"saved"});
    }
}

// A full disk and a read-only file system fail with the system's reason, the old file
// untouched and nothing left behind.
TEST_F(AtomicFileTest, FullAndReadOnlyDisksLeaveTheOldFile) {
    if (!Mount("size=64k")) {
        GTEST_SKIP() << "needs to mount a tmpfs (root)";
    }
    Put("field.png", "old", 0644);
    const std::string big(1 << 20, 'z');
    for (bool anonymous : {true, false}) {
        AtomicFileOptions options;
        options.anonymous = anonymous;
        AtomicFile file;
        ASSERT_TRUE(file.Begin(Path("field.png"), options));
        EXPECT_FALSE(file.Write(big.data(), big.size()));
        EXPECT_EQ(file.Result().systemError, ENOSPC);
        EXPECT_EQ(Names(), std::vector<std::string>{"field.png"});
    }
    ASSERT_EQ(mount("tmpfs", m_dir.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
    const AtomicWriteResult result = WriteFileAtomicallyDetailed(Path("field.png"), "x", 1);
    EXPECT_EQ(result.failedStep, AtomicWriteStep::Create);
    EXPECT_EQ(result.systemError, EROFS);
    EXPECT_EQ(Read(Path("field.png")), "old");
}

// A writer killed before placing leaves its private place; only once its lock is free is
// it swept, and then only what it named.
TEST_F(AtomicFileTest, AKilledWritersPlaceIsSweptAndNothingElse) {
    Put(".keep.lumo-31999-7", "looks like a temporary", 0644);
    const pid_t child = fork();
    if (child == 0) {
        AtomicFileOptions options;
        options.anonymous = false;
        AtomicFile file;
        file.Begin(Path("out"), options);
        file.Write("half", 4);
        _exit(0);  // as a kill would: nothing is cleaned up
    }
    int status = 0;
    waitpid(child, &status, 0);
    auto live = TemporaryPlace::In(m_dir.string());
    ASSERT_TRUE(live->Ready());
    EXPECT_EQ(Names().size(), 3u);
    EXPECT_EQ(SweepAbandonedTemporaries(m_dir.string()), 1u);
    EXPECT_EQ(Names().size(), 2u);  // the live place stays
    live.reset();
    EXPECT_EQ(Names(), std::vector<std::string>{".keep.lumo-31999-7"});
}

}  // namespace
