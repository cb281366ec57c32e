// SPDX-License-Identifier: MIT
// The edit list and Save: round trips of random archives, byte-identical saves, undo and
// redo.
#include <gtest/gtest.h>

#include <random>

#include "archive/lgp_soundness.h"
#include "edit/lgp_changes.h"
#include "edit/lgp_save.h"
#include "tests/support/lgp_writer.h"

using lumo::test::Bytes;
using lumo::test::LgpWriter;
using lumo::test::ReadFile;
using lumo::test::TempDir;

namespace {

struct Seen {
    std::string name, folder;
    Bytes bytes;
    bool operator<(const Seen& o) const {
        return std::tie(name, folder, bytes) < std::tie(o.name, o.folder, o.bytes);
    }
    bool operator==(const Seen& o) const {
        return std::tie(name, folder, bytes) == std::tie(o.name, o.folder, o.bytes);
    }
};

// Every entry of the archive at `path`, in no particular order.
std::vector<Seen> EntriesOf(const std::string& path) {
    CLgpArchive archive;
    archive.Load(path.c_str());
    std::vector<Seen> seen;
    for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
        unsigned char* raw = nullptr;
        const uint32_t n = archive.ReadEntry(i, &raw);
        seen.push_back({archive.GetEntryName(i), archive.GetEntryFolder(i), Bytes(raw, raw + n)});
        std::free(raw);
    }
    std::sort(seen.begin(), seen.end());
    return seen;
}

std::string Save(const CLgpArchive& archive, const ArchiveEdits& edits, const std::string& to) {
    const SaveResult saved = SaveArchive(archive, edits.ForWriter(), to);
    return saved.ok ? "" : saved.error;
}

EntrySource Text(const std::string& text) {
    return MemorySource(Bytes(text.begin(), text.end()));
}

}  // namespace

// Archives in any order, with names of every kind, re-save to the same entries, in a
// layout the game can use.
TEST(SaveTest, RandomArchivesSaveToTheSameEntriesAndSound) {
    std::mt19937 random(7);
    const std::string first = "abz_-09AZ";
    for (int round = 0; round < 20; ++round) {
        LgpWriter writer;
        const int count = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            std::string name = {first[random() % first.size()], first[random() % first.size()]};
            name += random() % 2 ? ".p" : std::to_string(i);
            writer.Add(name + std::to_string(i), Bytes(random() % 300, static_cast<uint8_t>(i)));
        }
        TempDir dir;
        const std::string path = dir.Write("a.lgp", writer.Build());
        CLgpArchive archive;
        ASSERT_EQ(archive.Load(path.c_str()), count);
        ArchiveEdits edits(archive);
        ASSERT_EQ(Save(archive, edits, dir.File("b.lgp")), "");
        EXPECT_EQ(EntriesOf(dir.File("b.lgp")), EntriesOf(path));
        CLgpArchive saved;
        saved.Load(dir.File("b.lgp").c_str());
        EXPECT_TRUE(CheckSoundArchive(saved).empty());
        // Saved again, the writer's own layout comes back byte for byte, with nothing
        // changed or with an entry added and removed again.
        ArchiveEdits again(saved);
        ASSERT_EQ(Save(saved, again, dir.File("c.lgp")), "");
        EXPECT_EQ(ReadFile(dir.File("c.lgp")), ReadFile(dir.File("b.lgp")));
        ASSERT_EQ(again.Add("zz.new", "", Text("x")), "");
        ASSERT_EQ(again.Remove(again.Entries().size() - 1), "");
        ASSERT_EQ(Save(saved, again, dir.File("d.lgp")), "");
        EXPECT_EQ(ReadFile(dir.File("d.lgp")), ReadFile(dir.File("b.lgp")));
    }
}

TEST(SaveTest, EveryChangeUndoesAndRedoes) {
    TempDir dir;
    const std::string path =
        dir.Write("a.lgp", LgpWriter().AddText("aa.p", "1").AddText("bb.p", "2").Build());
    CLgpArchive archive;
    archive.Load(path.c_str());
    ArchiveEdits edits(archive);
    const struct {
        std::function<std::string()> change;
        std::vector<Seen> after;
    } steps[] = {
        {[&] { return edits.Add("cc.p", "", Text("3")); },
         {{"aa.p", "", {'1'}}, {"bb.p", "", {'2'}}, {"cc.p", "", {'3'}}}},
        {[&] { return edits.Add("aa.p", "", Text("9")); },  // same name: replaces
         {{"aa.p", "", {'9'}}, {"bb.p", "", {'2'}}, {"cc.p", "", {'3'}}}},
        {[&] { return edits.Rename(1, "aa.p", "x"); },  // a shared name takes a folder
         {{"aa.p", "", {'9'}}, {"aa.p", "x", {'2'}}, {"cc.p", "", {'3'}}}},
        {[&] { return edits.Remove(0); }, {{"aa.p", "", {'2'}}, {"cc.p", "", {'3'}}}},
    };
    std::vector<std::vector<Seen>> states = {EntriesOf(path)};
    for (const auto& step : steps) {
        ASSERT_EQ(step.change(), "");
        states.push_back(step.after);
    }
    EXPECT_EQ(archive.ArchiveChangedOnDisk(), false);  // nothing written until Save
    for (size_t undo = states.size() - 1; undo-- > 0;) {
        ASSERT_TRUE(edits.Undo());
        ASSERT_EQ(Save(archive, edits, dir.File("u.lgp")), "");
        EXPECT_EQ(EntriesOf(dir.File("u.lgp")), states[undo]) << "after undo to " << undo;
    }
    EXPECT_FALSE(edits.Undo());
    while (edits.Redo()) {
    }
    ASSERT_EQ(Save(archive, edits, path), "");
    EXPECT_EQ(EntriesOf(path), states.back());
}

TEST(SaveTest, ChangesThatBreakTheRulesAreRefusedAndChangeNothing) {
    TempDir dir;
    const std::string path =
        dir.Write("a.lgp", LgpWriter().AddText("aa.p", "1").AddText("bb.p", "2").Build());
    CLgpArchive archive;
    archive.Load(path.c_str());
    ArchiveEdits edits(archive);
    EXPECT_NE(edits.Rename(0, "bb.p", ""), "");
    EXPECT_NE(edits.Rename(0, ".x", ""), "");
    EXPECT_NE(edits.Add("a/b", "", Text("")), "");
    EXPECT_NE(edits.Add("ok.p", "../up", Text("")), "");
    EXPECT_FALSE(edits.CanUndo());
}

TEST(SaveTest, ABatchOfChangesUndoesAsOne) {
    const CLgpArchive none;
    ArchiveEdits edits(none);
    edits.BeginBatch();
    for (const char* name : {"aa.p", "bb.p", "cc.p"}) {
        ASSERT_EQ(edits.Add(name, "", Text(name)), "");
    }
    ASSERT_EQ(edits.RemoveAll({0, 2}), "");
    edits.EndBatch();
    EXPECT_EQ(edits.PendingChanges(), 1u);
    ASSERT_TRUE(edits.Undo());
    EXPECT_TRUE(edits.Entries().empty());
    ASSERT_TRUE(edits.Redo());
    ASSERT_EQ(edits.Entries().size(), 1u);
    EXPECT_EQ(edits.Entries()[0].entry.name, "bb.p");
}

// A save copies runs of unchanged entries, with the headers between them, in one call;
// whatever breaks a run, the file holds exactly what the writer lays out.
TEST(SaveTest, CopiedRunsOfEntriesGiveTheWritersBytes) {
    using Change = std::function<std::string(ArchiveEdits&, size_t big)>;
    const struct {
        const char* what;
        size_t big;  // bytes of each large entry; the others hold 1,000
        Change change;
    } cases[] = {
        {"no change", 100 << 10, [](ArchiveEdits&, size_t) { return std::string(); }},
        {"a rename", 100 << 10, [](ArchiveEdits& e, size_t) { return e.Rename(2, "r.bin", ""); }},
        {"a replacement of the same size", 100 << 10,
         [](ArchiveEdits& e, size_t big) {
             return e.Add("a2.bin", "", MemorySource(Bytes(big, 0xEE)));
         }},
        {"a removal", 100 << 10, [](ArchiveEdits& e, size_t) { return e.Remove(1); }},
        {"an addition", 100 << 10,
         [](ArchiveEdits& e, size_t) { return e.Add("n.p", "", Text("n")); }},
        {"runs longer than one copy", 12 << 20,
         [](ArchiveEdits&, size_t) { return std::string(); }},
    };
    for (const auto& c : cases) {
        LgpWriter writer;
        for (int i = 0; i < 6; ++i) {
            writer.Add("a" + std::to_string(i) + ".bin",
                       Bytes(i % 2 ? 1000 : c.big, static_cast<uint8_t>(i + 1)));
        }
        TempDir dir;
        const std::string path = dir.Write("a.lgp", writer.Build());
        CLgpArchive archive;
        archive.Load(path.c_str());
        ArchiveEdits edits(archive);
        ASSERT_EQ(c.change(edits, c.big), "") << c.what;
        MemorySink expected;
        {
            const std::vector<WriterEntry> entries = edits.ForWriter();
            LgpPlan plan;
            ASSERT_EQ(PlanArchive(entries, &plan), "");
            const ReadOnlyFile file(path);
            WriteOptions options;
            options.archive = &file;
            ASSERT_EQ(WriteArchive(entries, plan, expected, options), "");
        }
        ASSERT_EQ(Save(archive, edits, path), "") << c.what;
        EXPECT_EQ(ReadFile(path), expected.bytes) << c.what;
    }
}
