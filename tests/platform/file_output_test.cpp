// SPDX-License-Identifier: MIT
#include "platform/file_output.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>
#else
#include <process.h>  // getpid
#endif

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

size_t CountFiles(const fs::path& folder) {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class FileOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("lumo-fileout-" + std::to_string(getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

}  // namespace

TEST(PlainFileName, AcceptsOrdinaryNamesIncludingDotsInside) {
    std::vector<std::string> names = {"a.tex", "md1stin", "..a", " x", "name with space", "#1"};
#ifndef _WIN32
    names.push_back("a..");  // Windows would drop the dots and write "a"
#endif
    for (const std::string& name : names) {
        EXPECT_TRUE(IsPlainFileName(name)) << name;
    }
}

TEST(PlainFileName, RefusesNamesThatReachOutsideTheFolder) {
    for (std::string name : {"", ".", "..", "a/b", "/etc/passwd", "../x", "a\\b", "..\\x", "x/"}) {
        EXPECT_FALSE(IsPlainFileName(name)) << name;
    }
    EXPECT_FALSE(IsPlainFileName(std::string("a\0b", 3)));
}

// Windows drops trailing dots and spaces and treats device names as devices in every
// folder, so such names would write another file than the one named, or none.
TEST(PlainFileName, WindowsRulesRefuseNamesWindowsWouldChange) {
    for (const char* name : {"a.tex", "md1stin", "..a", "con1", "console.txt", "com10", "lpt",
                             "conin", "COM\xC2\xB4", "LPT\xC2\xB9\xC2\xB9"}) {
        EXPECT_TRUE(IsPlainWindowsFileName(name)) << name;
    }
    for (const char* name :
         {"..",      "a/b",        "a\\b",     "c:x",  "a.",     "a..",   "... ",      ".. ",
          "x ",      "a?b",        "a*",       "<a>",  "a|b",    "\"q\"", "tab\there", "CON",
          "nul.txt", "Aux.tar.gz", "nul .txt", "com1", "LPT9.p", "prn"}) {
        EXPECT_FALSE(IsPlainWindowsFileName(name)) << name;
    }
    // The console's own devices, and COM and LPT with a superscript digit (in UTF-8).
    for (const char* name :
         {"CONIN$", "conout$.txt", "COM\xC2\xB9", "lpt\xC2\xB2.p", "Com\xC2\xB3 .x"}) {
        EXPECT_FALSE(IsPlainWindowsFileName(name)) << name;
    }
}

TEST(JoinPath, AddsOneSeparatorOnly) {
#ifdef _WIN32
    EXPECT_EQ(JoinPath("\\\\?\\C:\\dir", "x"), "\\\\?\\C:\\dir\\x");
#else
    EXPECT_EQ(JoinPath("dir", "x"), "dir/x");
#endif
    EXPECT_EQ(JoinPath("dir/", "x"), "dir/x");
    EXPECT_EQ(JoinPath("/", "x"), "/x");
    EXPECT_EQ(JoinPath("", "x"), "x");
}

TEST(PathParts, SplitAtTheHostsSeparators) {
    struct Case {
        const char* path;
        size_t folderLength;
    };
#ifdef _WIN32
    const Case cases[] = {{"x.lgp", 0},   {"d/x.lgp", 2},      {"d\\e/x", 4},
                          {"C:x.lgp", 2}, {"C:\\d\\x.lgp", 5}, {"d/x:s", 2}};
#else
    const Case cases[] = {{"x.lgp", 0}, {"/x.lgp", 1}, {"d/e/x", 4},
                          {"C:x", 0},   {"d\\x", 0},   {"a:b/c:d", 4}};
#endif
    for (const Case& c : cases) {
        EXPECT_EQ(FolderPartLength(c.path), c.folderLength) << c.path;
        EXPECT_EQ(FileNamePart(c.path), std::string_view(c.path).substr(c.folderLength)) << c.path;
    }
}

TEST_F(FileOutputTest, WritesExactBytesAndReplacesAnExistingFile) {
    const fs::path target = m_dir / "out.bin";
    WriteFile(target, "old contents that are longer");
    const std::string bytes("new\0bytes\xff", 10);
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(target.string(), bytes.data(), bytes.size(), &error)) << error;
    EXPECT_EQ(ReadFile(target), bytes);
    EXPECT_EQ(CountFiles(m_dir), 1u);  // no temporary left behind

    ASSERT_TRUE(WriteFileAtomically(target.string(), nullptr, 0, &error)) << error;
    EXPECT_EQ(fs::file_size(target), 0u);
}

// The temporary's name must not break the name limit where the target's name fits it.
TEST_F(FileOutputTest, TargetNamesNearTheLimitCanBeWritten) {
    const fs::path target = m_dir / std::string(250, 'n');
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(target.string(), "x", 1, &error)) << error;
    EXPECT_EQ(ReadFile(target), "x");
}

TEST_F(FileOutputTest, MissingFolderFailsWithAReasonAndCreatesNothing) {
    const fs::path target = m_dir / "nowhere" / "out.bin";
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(target.string(), "x", 1, &error));
    EXPECT_NE(error.find(target.string()), std::string::npos) << error;
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
    EXPECT_EQ(CountFiles(m_dir), 0u);
    EXPECT_FALSE(WriteFileAtomically(target.string(), "x", 1, nullptr));
}

// A path in a message is escaped like every name: a line break in it cannot split the line.
TEST_F(FileOutputTest, AFailureNamesThePathEscaped) {
    std::string error;
    EXPECT_FALSE(WriteFileAtomically((m_dir / "no\nwhere" / "x").string(), "x", 1, &error));
    EXPECT_NE(error.find("no\\x0Awhere"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
}

TEST_F(FileOutputTest, TargetThatIsAFolderIsLeftAloneAndTheTemporaryRemoved) {
    const fs::path target = m_dir / "taken";
    fs::create_directory(target);
    WriteFile(target / "inside", "keep");
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(target.string(), "x", 1, &error));
    EXPECT_NE(error.find(target.string()), std::string::npos) << error;
    EXPECT_EQ(ReadFile(target / "inside"), "keep");
    EXPECT_EQ(CountFiles(m_dir), 1u);
}

// A write that fails half-way (here: the file size limit) must not touch the old file.
TEST_F(FileOutputTest, FailedWriteKeepsTheOldFileAndRemovesTheTemporary) {
#ifdef _WIN32
    GTEST_SKIP() << "needs a file size limit";
#else
    const fs::path target = m_dir / "field.dat";
    WriteFile(target, "old");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 1000;
    auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string big(5000, 'z');
    std::string error;
    const bool ok = WriteFileAtomically(target.string(), big.data(), big.size(), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(ok);
    EXPECT_NE(error.find("File too large"), std::string::npos) << error;
    EXPECT_EQ(ReadFile(target), "old");
    EXPECT_EQ(CountFiles(m_dir), 1u);
#endif
}
