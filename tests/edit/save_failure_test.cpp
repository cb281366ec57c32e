// SPDX-License-Identifier: MIT
// Save's failures: whatever goes wrong, the old archive stays exactly as it was, nothing
// is left aside, and the message says which file and why.
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "edit/lgp_changes.h"
#include "edit/lgp_save.h"
#include "tests/support/lgp_writer.h"

namespace fs = std::filesystem;
using lumo::test::Bytes;
using lumo::test::LgpWriter;
using lumo::test::ReadFile;
using lumo::test::TempDir;
using lumo::test::WriteFile;

namespace {

size_t FilesIn(const std::string& folder) {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// A small file system of its own at `dir`, for a full disk or a read-only folder; only
// root may mount one, so the tests that need it skip elsewhere.
class Mount {
public:
    Mount(const std::string& dir, const char* options) : m_dir(dir) {
        m_ok = geteuid() == 0 && mount("tmpfs", dir.c_str(), "tmpfs", 0, options) == 0;
    }
    ~Mount() {
        if (m_ok) {
            umount(m_dir.c_str());
        }
    }
    bool Ok() const { return m_ok; }
    bool MakeReadOnly() {
        return mount("tmpfs", m_dir.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    std::string m_dir;
    bool m_ok = false;
};

Bytes Sample() {
    return LgpWriter().AddText("aa.p", "one").AddText("bb.p", std::string(50000, 'b')).Build();
}

}  // namespace

TEST(SaveFailureTest, EachFailureLeavesTheArchiveAsItWasAndNothingAside) {
    enum class Cause { ArchiveRewritten, SourceChanged, SourceGone, DiskFull, ReadOnly };
    const struct {
        Cause cause;
        const char* says;
    } cases[] = {
        {Cause::ArchiveRewritten, "changed on disk since it was opened"},
        {Cause::SourceChanged, "src.bin: the file changed since it was added"},
        {Cause::SourceGone, "src.bin: the file is gone"},
        {Cause::DiskFull, "No space left on device"},
        {Cause::ReadOnly, "Read-only file system"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        TempDir top;
        const std::string folder = top.File("fs");
        fs::create_directory(folder);
        Mount mount(folder, "size=128k");
        if (!mount.Ok()) {
            GTEST_SKIP() << "needs root to mount a small file system";
        }
        const std::string path = folder + "/a.lgp";
        WriteFile(path, Sample());
        const std::string source =
            top.Write("src.bin", Bytes(c.cause == Cause::DiskFull ? 90000 : 10, 7));
        CLgpArchive archive;
        ASSERT_EQ(archive.Load(path.c_str()), 2);
        ArchiveEdits edits(archive);
        std::string error;
        ASSERT_EQ(edits.Add("cc.p", "", HostFileSource(source, &error)), "");
        Bytes before = ReadFile(path);
        switch (c.cause) {
            case Cause::ArchiveRewritten:
                before[before.size() - 1] ^= 1;  // same size, other bytes, a new time
                usleep(10000);
                WriteFile(path, before);
                break;
            case Cause::SourceChanged:
                usleep(10000);
                WriteFile(source, Bytes(11, 8));
                break;
            case Cause::SourceGone:
                fs::remove(source);
                break;
            case Cause::DiskFull:
                break;
            case Cause::ReadOnly:
                ASSERT_TRUE(mount.MakeReadOnly());
                break;
        }
        const SaveResult saved = SaveArchive(archive, edits.ForWriter(), path);
        EXPECT_FALSE(saved.Ok());
        EXPECT_NE(saved.error.find(c.says), std::string::npos) << saved.error;
        EXPECT_EQ(ReadFile(path), before);
        EXPECT_EQ(FilesIn(folder), 1u);
    }
}

TEST(SaveFailureTest, ASaveKeepsTheArchivesPermissionBits) {
    TempDir dir;
    const std::string path = dir.Write("a.lgp", Sample());
    chmod(path.c_str(), 0640);
    CLgpArchive archive;
    archive.Load(path.c_str());
    ArchiveEdits edits(archive);
    ASSERT_EQ(edits.Remove(0), "");
    ASSERT_TRUE(SaveArchive(archive, edits.ForWriter(), path).Ok());
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(FilesIn(dir.Path()), 1u);
}

TEST(SaveFailureTest, ACancelledSaveWritesNothing) {
    TempDir dir;
    const std::string path = dir.Write("a.lgp", Sample());
    CLgpArchive archive;
    archive.Load(path.c_str());
    ArchiveEdits edits(archive);
    ASSERT_EQ(edits.Remove(0), "");
    SaveOptions options;
    options.progress = [](uint64_t, uint64_t) { return false; };
    const SaveResult saved = SaveArchive(archive, edits.ForWriter(), path, options);
    EXPECT_TRUE(saved.cancelled);
    EXPECT_EQ(ReadFile(path), Sample());
    EXPECT_EQ(FilesIn(dir.Path()), 1u);
}

TEST(SaveFailureTest, ASaveThroughALinkReplacesTheFileItNamesAndKeepsTheLink) {
    TempDir dir;
    const std::string real = dir.Write("real.lgp", Sample());
    const std::string link = dir.File("link.lgp");
    fs::create_symlink(real, link);
    CLgpArchive archive;
    archive.Load(link.c_str());
    ArchiveEdits edits(archive);
    ASSERT_EQ(edits.Remove(0), "");
    ASSERT_TRUE(SaveArchive(archive, edits.ForWriter(), link).Ok());
    EXPECT_TRUE(fs::is_symlink(link));
    CLgpArchive saved;
    EXPECT_EQ(saved.Load(real.c_str()), 1);
}
