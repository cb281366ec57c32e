// SPDX-License-Identifier: MIT
// The archive as it will be saved, read as an entry source: kept entries read from the
// file under their old ids, added and replaced ones from their own bytes.
#include <gtest/gtest.h>

#include "archive/lgp_snapshot.h"
#include "edit/edited_source.h"
#include "tests/support/lgp_writer.h"

using lumo::test::Bytes;
using lumo::test::LgpWriter;
using lumo::test::TempDir;

namespace {

std::string Text(const IEntrySource& source, EntryId id) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(source.Read(id, false, &bytes).Whole());
    return std::string(bytes.begin(), bytes.end());
}

TEST(EditedSource, ShowsEveryChangeUnderStableIds) {
    TempDir dir;
    const std::string path =
        dir.Write("a.lgp", LgpWriter().AddText("one.txt", "1").AddText("two.txt", "22").Build());
    CLgpArchive archive;
    archive.Load(path.c_str());
    const EntrySourcePtr base = archive.Snapshot();
    ArchiveEdits edits(*base->Catalogue());
    ASSERT_EQ(edits.Remove(0), "");
    ASSERT_EQ(edits.Add("new.txt", "", MemorySource({'n', 'e', 'w'})), "");
    ASSERT_EQ(edits.Replace(0, MemorySource({'r'})), "");
    const EditedSource source(base, edits.Entries());

    ASSERT_EQ(source.Count(), 2u);
    const EntryId two = source.IdAt(0);
    const EntryId added = source.IdAt(1);
    EXPECT_EQ(two, EntryId{1});
    EXPECT_EQ(added, EntryId{kFirstAddedEntryId});
    EXPECT_EQ(source.Find("NEW.TXT"), added);
    EXPECT_FALSE(source.Find("one.txt").Valid());
    EXPECT_EQ(Text(source, two), "r");
    EXPECT_EQ(source.Size(two), 1u);
    EXPECT_EQ(Text(source, added), "new");
    EXPECT_EQ(source.Extension(added), "txt");
    EXPECT_EQ(source.State(two), EntryState::Changed);
    EXPECT_EQ(source.State(added), EntryState::Added);
    EXPECT_EQ(source.Catalogue(), nullptr);
    EXPECT_EQ(source.ArchivePath(), base->ArchivePath());
}

// What shows the archive follows an added entry by its id, whatever is added or
// removed before it and through undo.
TEST(EditedSource, AddedEntriesKeepTheirIdsThroughOtherChanges) {
    const CLgpArchive none;
    ArchiveEdits edits(none);
    // Finding entries never reaches the base.
    const auto source = [&edits] { return EditedSource(nullptr, edits.Entries()); };
    ASSERT_EQ(edits.Add("aa.txt", "", MemorySource({'a'})), "");
    ASSERT_EQ(edits.Add("bb.txt", "", MemorySource({'b'})), "");
    const EntryId bb = source().Find("bb.txt");
    ASSERT_EQ(edits.Remove(0), "");
    EXPECT_EQ(source().Find("bb.txt"), bb);
    EXPECT_FALSE(source().Contains(EntryId{kFirstAddedEntryId}));
    ASSERT_TRUE(edits.Undo());
    EXPECT_EQ(source().Find("bb.txt"), bb);
    EXPECT_EQ(source().PositionOf(bb), 1u);
}

TEST(EditedSource, KeptEntriesReadFromTheArchiveFile) {
    TempDir dir;
    const std::string path = dir.Write("a.lgp", LgpWriter().AddText("one.txt", "first").Build());
    CLgpArchive archive;
    archive.Load(path.c_str());
    const EntrySourcePtr base = archive.Snapshot();
    const EditedSource source(base, ArchiveEdits(*base->Catalogue()).Entries());
    EXPECT_EQ(Text(source, source.IdAt(0)), "first");
    EXPECT_EQ(source.State(source.IdAt(0)), EntryState::Saved);
    EXPECT_TRUE(source.Check(source.IdAt(0), false).Whole());
    std::vector<uint8_t> none;
    EXPECT_EQ(source.Read(EntryId{7}, false, &none).problem, EntryProblem::CannotRead);
}

}  // namespace

// Added and renamed entries are typed as Load will type them once saved: by extension,
// else by the archive (field entries only in the field archive).
TEST(EditedSource, AddedAndRenamedEntriesTakeTheTypeOfTheirNames) {
    const struct {
        const char* archive;
        const char* added;
        uint8_t type;
    } cases[] = {
        {"char.lgp", "sky.TEX", LGP_TYPE_TEX},   {"char.lgp", "blob", LGP_TYPE_OTHER},
        {"flevel.lgp", "md1_1", LGP_TYPE_FIELD}, {"FLEVEL.LGP", "sky.tex", LGP_TYPE_TEX},
        {"char.lgp", "aaaa.hrc", LGP_TYPE_HRC},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = dir.Write(c.archive, LgpWriter().AddText("one.txt", "1").Build());
        CLgpArchive archive;
        ASSERT_EQ(archive.Load(path.c_str()), 1) << c.archive;
        const EntrySourcePtr base = archive.Snapshot();
        ArchiveEdits edits(*base->Catalogue());
        ASSERT_EQ(edits.Add(c.added, "", MemorySource({'x'})), "");
        ASSERT_EQ(edits.Rename(0, "r" + std::string(c.added), ""), "");
        const EditedSource source(base, edits.Entries());
        EXPECT_EQ(source.Type(source.IdAt(1)), c.type) << c.archive << ' ' << c.added;
        EXPECT_EQ(source.Type(source.IdAt(0)), c.type) << c.archive << " renamed";
    }
}
