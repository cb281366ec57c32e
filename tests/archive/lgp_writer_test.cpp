// SPDX-License-Identifier: MIT
// The archive writer: the layout byte for byte, the lookup table for every kind of name,
// shared names in folders, the largest archive, and every refusal.
#include "archive/lgp_writer.h"

#include <gtest/gtest.h>

#include "archive/lgp_soundness.h"
#include "tests/support/lgp_writer.h"

using lumo::test::Bytes;
using lumo::test::TempDir;

namespace {

WriterEntry Entry(const std::string& name, const std::string& folder, const std::string& text) {
    WriterEntry entry;
    entry.name = name;
    entry.folder = folder;
    entry.source = MemorySource(Bytes(text.begin(), text.end()));
    return entry;
}

std::string Write(const std::vector<WriterEntry>& entries, Bytes* out) {
    LgpPlan plan;
    std::string why = PlanArchive(entries, &plan);
    MemorySink sink;
    if (why.empty()) {
        why = WriteArchive(entries, plan, sink, {});
    }
    *out = sink.bytes;
    return why;
}

void Put(Bytes& out, const std::string& text, size_t field) {
    Bytes bytes(text.begin(), text.end());
    bytes.resize(field, 0);
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void Put(Bytes& out, std::initializer_list<uint8_t> bytes) {
    out.insert(out.end(), bytes);
}

// Loads `bytes` and returns the faults the sound-archive check finds, one a line.
std::string LoadAndCheck(const Bytes& bytes, CLgpArchive& archive, TempDir& dir) {
    archive.Load(dir.Write("x.lgp", bytes).c_str());
    EXPECT_EQ(archive.GetLastLoadStatus(), LgpLoadStatus::Ok);
    std::string faults;
    for (const SoundFault& fault : CheckSoundArchive(archive)) {
        faults += fault.problem + "\n";
    }
    return faults;
}

}  // namespace

TEST(LgpWriterTest, LaysOutTheWorkedExampleByteForByte) {
    Bytes expected = {0, 0, 'S', 'Q', 'U', 'A', 'R', 'E', 'S', 'O', 'F', 'T', 4, 0, 0, 0};
    Put(expected, "aaaa.hrc", 20), Put(expected, {0x94, 0x0F, 0, 0, 0x0E, 0, 0});
    Put(expected, "a_x.tex", 20), Put(expected, {0xAF, 0x0F, 0, 0, 0x0E, 0, 0});
    Put(expected, "ball.p", 20), Put(expected, {0xCA, 0x0F, 0, 0, 0x0E, 1, 0});
    Put(expected, "ball.p", 20), Put(expected, {0xE5, 0x0F, 0, 0, 0x0E, 1, 0});
    Bytes lookup(3600, 0);
    for (auto [offset, first, count] : {std::array<int, 3>{128, 1, 1}, {168, 2, 1}, {248, 3, 2}}) {
        lookup[offset - 124] = static_cast<uint8_t>(first);
        lookup[offset - 124 + 2] = static_cast<uint8_t>(count);
    }
    expected.insert(expected.end(), lookup.begin(), lookup.end());
    Put(expected, {1, 0, 2, 0});
    Put(expected, "fire", 128), Put(expected, {2, 0});
    Put(expected, "ice", 128), Put(expected, {3, 0});
    for (auto [name, bytes] :
         {std::pair{"aaaa.hrc", "HRC"}, {"a_x.tex", "TEX"}, {"ball.p", "P-1"}, {"ball.p", "P-2"}}) {
        Put(expected, name, 20), Put(expected, {3, 0, 0, 0}), Put(expected, bytes, 3);
    }
    Put(expected, "FINAL FANTASY7", 14);
    ASSERT_EQ(expected.size(), 4110u);

    Bytes written;  // given in no particular order
    ASSERT_EQ(Write({Entry("ball.p", "ice", "P-2"), Entry("a_x.tex", "", "TEX"),
                     Entry("ball.p", "fire", "P-1"), Entry("aaaa.hrc", "", "HRC")},
                    &written),
              "");
    EXPECT_EQ(written, expected);
}

// Each name lands in the slot the game hashes it to, and the archive reads back sound
// with the name's own bytes.
TEST(LgpWriterTest, FindsEveryKindOfNameThroughTheLookupTable) {
    const struct {
        const char* name;
        int slot;
    } cases[] = {
        {"_a.p", 10 * 30 + 0 + 1}, {"-a.p", 11 * 30 + 0 + 1}, {"k_.p", 10 * 30 + 10 + 1},
        {"9z.p", 9 * 30 + 25 + 1}, {"Ab.P", 0 * 30 + 1 + 1},  {"a.p", 0 * 30 + 0},
        {"z.", 25 * 30 + 0},       {"AB", 0 * 30 + 1 + 1},    {"0-", 0 * 30 + 11 + 1},
        {"ab.p", 0 * 30 + 1 + 1},
    };
    std::vector<WriterEntry> entries;
    for (const auto& c : cases) {
        entries.push_back(Entry(c.name, "", c.name));
    }
    Bytes bytes;
    ASSERT_EQ(Write(entries, &bytes), "");
    TempDir dir;
    CLgpArchive archive;
    EXPECT_EQ(LoadAndCheck(bytes, archive, dir), "");
    for (const auto& c : cases) {
        const LgpSlotRecord& run = archive.GetTables().lookup[static_cast<size_t>(c.slot)];
        bool found = false;
        for (uint32_t i = run.first; run.first != 0 && i < uint32_t{run.first} + run.count; ++i) {
            found =
                found || std::string(archive.GetEntryName(static_cast<uint16_t>(i - 1))) == c.name;
        }
        EXPECT_TRUE(found) << c.name << " not in slot " << c.slot;
    }
}

TEST(LgpWriterTest, KeepsFoldersOnlyForSharedNames) {
    Bytes bytes;
    ASSERT_EQ(
        Write({Entry("a.p", "x/y", "1"), Entry("a.p", "x", "2"), Entry("b.p", "z", "3")}, &bytes),
        "");
    TempDir dir;
    CLgpArchive archive;
    EXPECT_EQ(LoadAndCheck(bytes, archive, dir), "");
    EXPECT_STREQ(archive.GetEntryFolder(0), "x");
    EXPECT_STREQ(archive.GetEntryFolder(1), "x/y");
    EXPECT_STREQ(archive.GetEntryFolder(2), "");
}

TEST(LgpWriterTest, NewEntriesJoinTheEndOfTheirSlotsRun) {
    std::vector<WriterEntry> entries = {Entry("zz.p", "", "1"), Entry("ab.p", "", "2"),
                                        Entry("b.p", "", "3")};
    for (WriterEntry& entry : entries) {
        entry.keepPlace = true;  // a kept order that meets the rule stays, unsorted
    }
    entries.push_back(Entry("aa.p", "", "4"));  // slot 1: before every run of a higher slot
    entries.push_back(Entry("zz.q", "", "5"));
    LgpPlan plan;
    ASSERT_EQ(PlanArchive(entries, &plan), "");
    EXPECT_EQ(plan.order, (std::vector<size_t>{3, 0, 4, 1, 2}));
}

TEST(LgpWriterTest, WritesTheLargestArchiveTheLookupWordsCanCount) {
    std::vector<WriterEntry> entries(lgp::kMaxEntries);
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i].name = "n" + std::to_string(i * 7919 % 65535) + ".p";
        entries[i].source = MemorySource({});
    }
    Bytes bytes;
    ASSERT_EQ(Write(entries, &bytes), "");
    TempDir dir;
    CLgpArchive archive;
    EXPECT_EQ(LoadAndCheck(bytes, archive, dir), "");
    EXPECT_EQ(archive.GetEntryCount(), 65535);
    entries.push_back(Entry("one.more", "", ""));
    EXPECT_NE(Write(entries, &bytes).find("at most 65535"), std::string::npos);
}

TEST(LgpWriterTest, RefusesWhatTheGameCannotUseAndWritesNothing) {
    const struct {
        std::vector<WriterEntry> entries;
        const char* rule;
    } cases[] = {
        {{Entry("", "", "")}, "empty"},
        {{Entry("abcdefghijklmno.tex", "", "")}, ""},  // 19 characters: accepted
        {{Entry("abcdefghijklmnop.tex", "", "")}, "longer than 19"},
        {{Entry(".ab", "", "")}, "look the name up"},
        {{Entry("a", "", "")}, "look the name up"},
        {{Entry("a!b", "", "")}, "look the name up"},
        {{Entry("ab/c", "", "")}, "not plain"},
        {{Entry("ab\\c", "", "")}, "not plain"},
        {{Entry("ab\tc", "", "")}, "not plain"},
        {{Entry("ab.p", "f", ""), Entry("ab.p", "f", "")}, "same name and folder"},
        {{Entry("ab.p", "", ""), Entry("ab.p", "", "")}, "same name and folder"},
        {{Entry("ab.p", std::string(128, 'f'), "")}, "longer than 127"},
        {{Entry("ab.p", "a/../b", "")}, "'..'"},
        {{Entry("ab.p", "/a", "")}, "empty, '.' or '..' level"},
    };
    for (const auto& c : cases) {
        Bytes bytes;
        const std::string why = Write(c.entries, &bytes);
        if (*c.rule == '\0') {
            EXPECT_EQ(why, "");
            continue;
        }
        EXPECT_NE(why.find(c.rule), std::string::npos) << why;
        EXPECT_NE(why.find("entry `" + c.entries.front().name), std::string::npos) << why;
        EXPECT_TRUE(bytes.empty());
    }
    std::vector<WriterEntry> huge = {Entry("ab.p", "", ""), Entry("ac.p", "", "")};
    huge[0].source.size = huge[1].source.size = uint64_t{1} << 31;  // never read: refused first
    Bytes bytes;
    EXPECT_NE(Write(huge, &bytes).find("4 GiB"), std::string::npos);
}
