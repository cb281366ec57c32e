// SPDX-License-Identifier: MIT
#include "extract/extract_engine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "extract/durable_batch.h"
#include "platform/file_output.h"
#include "platform/temporary_place.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/lzss_encoder.h"

using lumo::test::Bytes;
using lumo::test::LgpWriter;
using lumo::test::ReadFile;

namespace {

namespace fs = std::filesystem;

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

class ExtractEngineTest : public ::testing::Test {
protected:
    // Writes the archive into the test folder and loads it.
    void Load(const LgpWriter& writer, const std::string& name = "data.lgp", size_t cut = 0) {
        Bytes file = writer.Build();
        archivePath = dir.Write(name, lumo::test::Truncated(file, file.size() - cut));
        ASSERT_NE(archive.Load(archivePath.c_str()), 0);
    }

    extract::Summary Run(const std::vector<uint16_t>& entries = {}) {
        std::vector<uint16_t> all = entries;
        for (uint16_t i = 0; entries.empty() && i < archive.GetEntryCount(); ++i) {
            all.push_back(i);
        }
        options.folder = dir.Path();
        options.report = [this](const extract::EntryResult& r) { results.push_back(r); };
        return extract::ExtractEntries(archive, extract::JobsForEntries(all), options);
    }

    // Names in the folder other than the archive.
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(dir.Path())) {
            if (item.path().filename() != fs::path(archivePath).filename()) {
                names.push_back(item.path().filename().string());
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    lumo::test::TempDir dir;
    std::string archivePath;
    CLgpArchive archive;
    extract::Options options;
    std::vector<extract::EntryResult> results;
};

TEST_F(ExtractEngineTest, WritesEveryEntryUnderItsHostNameWithFewSyncs) {
    LgpWriter writer;
    for (int i = 0; i < 300; ++i) {
        writer.AddText("e" + std::to_string(i) + ".txt", "entry " + std::to_string(i));
    }
    writer.AddText("caf\xE9.txt", "latin");
    Load(writer);
    const extract::Summary summary = Run();
    EXPECT_TRUE(summary.AllWritten());
    EXPECT_EQ(ReadFile(dir.File("e299.txt")), Text("entry 299"));
    EXPECT_TRUE(fs::exists(fs::u8path(dir.File("caf\xC3\xA9.txt"))));
#ifdef _WIN32
    EXPECT_LE(summary.syncCalls, 301u);  // no whole-volume sync without admin rights
#else
    EXPECT_LE(summary.syncCalls, 301u * 2 / 100);
#endif
    EXPECT_EQ(Listing().size(), 301u);  // and no temporaries
}

#ifndef _WIN32
// Each batch holds as many files as all before it, within the first and the largest
// size: one file system sync and one folder sync per batch.
TEST_F(ExtractEngineTest, BatchesGrowFromTheFirstSizeToTheLargest) {
    struct Case {
        int files;
        size_t first, largest;
        unsigned batches;
    };
    for (const Case& c : {Case{100, 1, 8, 16}, Case{10, 4, 4, 3}, Case{7, 2, 100, 3}}) {
        SCOPED_TRACE(c.files);
        LgpWriter writer;
        for (int i = 0; i < c.files; ++i) {
            writer.AddText(std::to_string(c.files) + "_" + std::to_string(i), "x");
        }
        Load(writer, std::to_string(c.files) + ".lgp");
        options.firstBatchFiles = c.first;
        options.batchFiles = c.largest;
        const extract::Summary summary = Run();
        EXPECT_TRUE(summary.AllWritten());
        EXPECT_EQ(summary.syncCalls, 2 * c.batches);
    }
}
#endif

// Cases where the entry or its target must not be written, each with its reason.
TEST_F(ExtractEngineTest, RefusesWhatWouldLoseOrFakeData) {
    LgpWriter writer;
    writer.AddText("data.lgp", "would replace the archive")
        .AddText("twin", "first")
        .AddText("twin", "second")
        .AddText("data.lgp", "a namesake of a refused entry is no collision")
        .AddText("..", "outside")
        .AddText("cut", "cut short")
        .SetBareLayout(true);
    Load(writer, "data.lgp", 1);
    dir.Write("cut", Text("good old copy"));
    const extract::Summary summary = Run();
    EXPECT_EQ(summary.written, 1u);
    const struct {
        size_t row;
        extract::Outcome outcome;
        RunReason code;  // beside the text, for a front end to translate
        const char* reason;
    } kExpected[] = {
        {0, extract::Outcome::Refused, RunReason::TargetIsArchive,
         "that file is the archive being read"},
        {1, extract::Outcome::Written, RunReason::None, ""},
        {2, extract::Outcome::Refused, RunReason::SameTargetInRun,
         "another entry of this run was written to that file"},
        {3, extract::Outcome::Refused, RunReason::TargetIsArchive,
         "that file is the archive being read"},
        {4, extract::Outcome::Refused, RunReason::NotPlainName, "not a plain file name"},
        {5, extract::Outcome::Refused, RunReason::CutShort, "cut short"},
    };
    ASSERT_EQ(results.size(), 6u);
    for (const auto& e : kExpected) {
        SCOPED_TRACE(e.row);
        EXPECT_EQ(results[e.row].outcome, e.outcome);
        EXPECT_EQ(results[e.row].code, e.code);
        EXPECT_EQ(results[e.row].reason, e.reason);
    }
    EXPECT_EQ(ReadFile(dir.File("cut")), Text("good old copy"));
    EXPECT_EQ(ReadFile(dir.File("twin")), Text("first"));
    EXPECT_EQ(archive.Load(archivePath.c_str()), 6);  // still the archive
}

// The Windows rule, forced: names that differ only in letter case are one file.
TEST_F(ExtractEngineTest, NamesThatDifferInCaseOnlyCollideWhereNamesIgnoreCase) {
    LgpWriter writer;
    writer.AddText("Cloud", "1").AddText("CLOUD", "2").AddText("caf\xE9", "3");
    writer.AddText("CAF\xC9", "4").AddText("cafe", "5");
    Load(writer);
    options.namesIgnoreCase = true;
    EXPECT_EQ(Run().written, 3u);
    ASSERT_EQ(results.size(), 5u);
    for (size_t refused : {1, 3}) {
        EXPECT_EQ(results[refused].reason, "another entry of this run was written to that file");
    }
    EXPECT_EQ(ReadFile(dir.File("Cloud")), Text("1"));
}

// A write-protected file in the way stays, with the reason, unless the run may replace it.
TEST_F(ExtractEngineTest, WriteProtectedFilesStayUnlessAllowed) {
    LgpWriter writer;
    writer.AddText("locked", "new");
    Load(writer);
    dir.Write("locked", Text("old"));
    fs::permissions(dir.File("locked"), fs::perms::owner_read);
    options.replaceWriteProtected = false;
    EXPECT_EQ(Run().refused, 1u);
    EXPECT_EQ(results[0].reason, "the file there is write-protected; not replaced");
    EXPECT_EQ(ReadFile(dir.File("locked")), Text("old"));
#ifndef _WIN32  // Windows replaces no read-only file
    options.replaceWriteProtected = true;
    EXPECT_TRUE(Run().AllWritten());
    EXPECT_EQ(ReadFile(dir.File("locked")), Text("new"));
#endif
}

TEST_F(ExtractEngineTest, DecompressedEntriesMustBeWhole) {
    Bytes lying = lumo::test::LzssCompressEntry(Text("field data field data"));
    lying[0] = 0x7F;
    LgpWriter writer;
    writer.Add("md1_1", lying).Add("md1_2", lumo::test::LzssCompressEntry(Text("good field")));
    Load(writer, "flevel.lgp");
    options.decompress = true;
    const extract::Summary summary = Run();
    EXPECT_EQ(summary.refused, 1u);
    EXPECT_EQ(results[0].reason, "its compressed length runs past the end of the entry");
    EXPECT_EQ(ReadFile(dir.File("md1_2")), Text("good field"));
    EXPECT_FALSE(fs::exists(dir.File("md1_1")));
}

TEST_F(ExtractEngineTest, PartialWritesWhatIsThereButNeverOverAFile) {
    LgpWriter writer;
    writer.AddText("x", "0123456789").SetBareLayout(true);
    Load(writer, "a.lgp", 5);
    dir.Write("x", Text("keep"));
    options.partial = true;
    EXPECT_EQ(Run().refused, 1u);
    EXPECT_EQ(results[0].reason, "cut short; not written over the existing file");
    EXPECT_EQ(ReadFile(dir.File("x")), Text("keep"));
    fs::remove(dir.File("x"));
    EXPECT_EQ(Run().partial, 1u);
    EXPECT_EQ(ReadFile(dir.File("x")), Text("01234"));
}

TEST_F(ExtractEngineTest, AnArchiveChangedOnDiskWritesNothing) {
    LgpWriter writer;
    writer.AddText("a.txt", "alpha").AddText("b.txt", "bravo");
    Load(writer);
    Bytes other = writer.Build();
    other.back() ^= 1;
    const std::string replacement = dir.Write("other.lgp", other);
    fs::rename(replacement, archivePath);
    const extract::Summary summary = Run();
    EXPECT_TRUE(summary.archiveChanged);
    EXPECT_EQ(summary.written, 0u);
    EXPECT_EQ(results.at(0).reason, "the archive changed on disk since it was opened");
    EXPECT_TRUE(Listing().empty());
}

#ifndef _WIN32  // permission bits and process ids are POSIX matters
TEST_F(ExtractEngineTest, ReplacingKeepsPermissionBitsAndNamedTemporariesGo) {
    LgpWriter writer;
    writer.AddText("secret", "new");
    Load(writer);
    dir.Write("secret", Text("old"));
    ASSERT_EQ(chmod(dir.File("secret").c_str(), 0600), 0);
    for (bool anonymous : {true, false}) {
        options.anonymousTemporaries = anonymous;
        EXPECT_TRUE(Run().AllWritten());
        struct stat info;
        ASSERT_EQ(stat(dir.File("secret").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        EXPECT_EQ(Listing(), std::vector<std::string>{"secret"});
    }
}

// The run looks at the folder once; a file put at a target after that is looked at when
// the batch (one file each here, so placing overlaps writing) meets it.
TEST_F(ExtractEngineTest, FilesAppearingDuringTheRunAreLookedAtWhenMet) {
    LgpWriter writer;
    writer.AddText("plain", "new").AddText("twin", "new").AddText("cut", "cut short");
    writer.SetBareLayout(true);
    Load(writer, "data.lgp", 1);
    options.partial = true;
    options.batchFiles = 1;
    for (bool anonymous : {true, false}) {
        SCOPED_TRACE(anonymous);
        options.anonymousTemporaries = anonymous;
        for (const char* name : {"plain", "twin", "cut"}) {
            fs::remove(dir.File(name));
        }
        options.run.progress = [&](size_t done, size_t, EntryId) {
            if (done == 0) {
                dir.Write("plain", Text("old"));
                chmod(dir.File("plain").c_str(), 0600);
                fs::create_hard_link(archivePath, dir.File("twin"));
                dir.Write("cut", Text("keep"));
            }
            return true;
        };
        results.clear();
        EXPECT_EQ(Run().written, 1u);
        ASSERT_EQ(results.size(), 3u);
        EXPECT_EQ(results[1].reason, "that file is the archive being read");
        EXPECT_EQ(results[2].outcome, extract::Outcome::Failed);
        struct stat info;
        ASSERT_EQ(stat(dir.File("plain").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
        EXPECT_EQ(ReadFile(dir.File("plain")), Text("new"));
        EXPECT_EQ(ReadFile(dir.File("cut")), Text("keep"));
        EXPECT_EQ(archive.Load(archivePath.c_str()), 3);
    }
}

// Only a private place a writer that is gone left is swept; a name that looks like a
// temporary, an archive's entry among them, is somebody's file.
TEST_F(ExtractEngineTest, OnlyAbandonedPrivatePlacesAreSwept) {
    pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    const std::string lookalike = ".keep.lumo-" + std::to_string(child) + "-7";
    LgpWriter writer;
    writer.AddText(lookalike, "an entry").AddText("replaced", "new");
    Load(writer);
    dir.Write("replaced", Text("old"));
    options.anonymousTemporaries = false;
    // A killed run: its place is left with a temporary in it, and a file a user put there.
    const std::string left = fs::path(dir.Path()).append(".lumo-temporary-0123456789abcdef");
    {
        auto abandoned = TemporaryPlace::In(dir.Path());
        ASSERT_TRUE(abandoned->Ready());
        fs::rename(abandoned->Path(), left);
    }
    ASSERT_TRUE(fs::exists(left));  // the rename left nothing for it to remove
    ASSERT_EQ(system(("echo x > " + left + "/4711; echo mine > " + left + "/notes").c_str()), 0);
    EXPECT_TRUE(Run().AllWritten());
    EXPECT_TRUE(Run().AllWritten());  // and again, over the entry written the first time
    EXPECT_EQ(ReadFile(dir.File(lookalike)), Text("an entry"));
    EXPECT_FALSE(fs::exists(left + "/4711"));
    EXPECT_EQ(ReadFile(left + "/notes"), Text("mine\n"));
}
#endif

TEST_F(ExtractEngineTest, DecisionsAndProgressStopTheRun) {
    LgpWriter writer;
    writer.AddText("..", "x").AddText("..", "y").AddText("a", "a").AddText("b", "b");
    Load(writer);
    int asked = 0;
    options.run.decide = [&](const RunFailure&) {
        ++asked;
        return extract::Decision::SkipAll;
    };
    EXPECT_EQ(Run().written, 2u);
    EXPECT_EQ(asked, 1);
    options.run.decide = [&](const RunFailure&) { return extract::Decision::Cancel; };
    fs::remove(dir.File("a"));
    extract::Summary summary = Run();
    EXPECT_TRUE(summary.cancelled);
    EXPECT_FALSE(fs::exists(dir.File("a")));
    options.run.decide = nullptr;
    options.run.progress = [](size_t done, size_t, EntryId) { return done < 3; };
    summary = Run();
    EXPECT_TRUE(summary.cancelled);
    EXPECT_EQ(summary.written, 1u);  // "a"; then cancelled before "b"
}

}  // namespace

namespace {

// Whether a folder takes two names differing only in letter case for one file.
bool IgnoresCase(const std::string& folder) {
    const fs::path probe = fs::path(folder) / "case-probe";
    lumo::test::WriteFile(probe.string(), Text("x"));
    const bool ignores = fs::exists(fs::path(folder) / "CASE-PROBE");
    fs::remove(probe);
    return ignores;
}

}  // namespace

// Names differing only in case are two entries: both land in a folder that tells them
// apart; in one that ignores case (any folder on Windows, a FAT image where one can be
// mounted) the later is refused, never written over the earlier.
TEST_F(ExtractEngineTest, NamesDifferingInCaseNeverReplaceEachOther) {
    Load(LgpWriter().AddText("ab.tex", "lower").AddText("AB.TEX", "upper"));
    std::vector<std::string> folders = {dir.Path()};
#ifndef _WIN32
    const std::string image = dir.File("fat.img"), fat = dir.File("fat");
    fs::create_directory(fat);
    const std::string mount = "truncate -s 4M '" + image + "' && mkfs.vfat '" + image +
                              "' >/dev/null 2>&1 && mount -o loop '" + image + "' '" + fat +
                              "' 2>/dev/null";
    if (geteuid() == 0 && std::system(mount.c_str()) == 0) {
        folders.push_back(fat);
    }
#endif
    for (const std::string& folder : folders) {
        const bool ignoresCase = IgnoresCase(folder);
        results.clear();
        options.folder = folder;
        options.report = [this](const extract::EntryResult& r) { results.push_back(r); };
        const extract::Summary summary =
            extract::ExtractEntries(archive, extract::JobsForEntries({0, 1}), options);
        EXPECT_EQ(ReadFile(JoinPath(folder, "ab.tex")), Text("lower")) << folder;
        EXPECT_EQ(results.size(), 2u) << folder;
        if (results.size() != 2) {
            continue;  // the image is unmounted below either way
        }
        if (ignoresCase) {
            EXPECT_EQ(summary.written, 1u) << folder;
            EXPECT_EQ(results[1].outcome, extract::Outcome::Refused) << folder;
            EXPECT_EQ(results[1].code, RunReason::SameTargetInRun) << folder;
        } else {
            EXPECT_EQ(summary.written, 2u) << folder;
            EXPECT_EQ(ReadFile(JoinPath(folder, "AB.TEX")), Text("upper")) << folder;
        }
    }
#ifndef _WIN32
    if (folders.size() > 1) {
        EXPECT_EQ(std::system(("umount '" + fat + "'").c_str()), 0);
    }
#endif
}
