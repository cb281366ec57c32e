// SPDX-License-Identifier: MIT
#include "archive/entry_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/lgp_writer.h"
#include "tests/support/lzss_encoder.h"

using lumo::test::Bytes;
using lumo::test::LgpWriter;
using lumo::test::LzssCompressEntry;
using lumo::test::LzssEntry;
using lumo::test::LzssStreamWriter;

namespace {

// A field archive holding one entry of each kind the rule tells apart; the last entry
// loses its final byte to the end of the file.
class EntryCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        Bytes raw(3000);
        for (size_t i = 0; i < raw.size(); ++i) {
            raw[i] = static_cast<uint8_t>(i * i >> 5);
        }
        Bytes lying = LzssCompressEntry(raw);
        lying[0] = static_cast<uint8_t>(lying[0] + 1);  // one byte more than the entry holds
        LzssStreamWriter cut;
        cut.Literals({1, 2, 3}).Reference(3, 6);
        LgpWriter writer;
        writer.Add("whole", LzssCompressEntry(raw))
            .Add("lying", lying)
            .Add("tiny", {1, 2})
            .Add("cut", LzssEntry(cut.StreamCutInsideLastReference()))
            .Add("plain.tex", lying)
            .Add("nowhere", {1})
            .Add("last", LzssCompressEntry(raw))
            .SetOffset(5, 0x7FFFFFF0)
            .SetBareLayout(true);
        Bytes file = writer.Build();
        path = dir.Write("flevel.lgp", lumo::test::Truncated(file, file.size() - 1));
        ASSERT_EQ(archive.Load(path.c_str()), 7);
        rawSize = raw.size();
    }

    lumo::test::TempDir dir;
    std::string path;
    CLgpArchive archive;
    size_t rawSize = 0;
};

TEST_F(EntryCheckTest, EachKindOfDamageHasItsReason) {
    const struct {
        uint16_t index;
        bool decompress;
        EntryProblem expected;
    } kCases[] = {
        {0, true, EntryProblem::None},
        {0, false, EntryProblem::None},
        {1, true, EntryProblem::StreamPastEntry},
        {1, false, EntryProblem::None},  // stored bytes are all there
        {2, true, EntryProblem::StreamLengthMissing},
        {3, true, EntryProblem::StreamCutShort},
        {4, true, EntryProblem::None},  // not compressed: written as stored
        {5, false, EntryProblem::HeaderMissing},
        {6, false, EntryProblem::CutShort},
        {6, true, EntryProblem::CutShort},
        {7, false, EntryProblem::CannotRead},  // no such entry
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::to_string(c.index) + (c.decompress ? " decompressed" : " stored"));
        EXPECT_EQ(CheckEntry(archive, c.index, c.decompress).problem, c.expected);
    }
}

TEST_F(EntryCheckTest, ReportsWhatTheFileHolds) {
    const EntryCheck whole = CheckEntry(archive, 0, true);
    EXPECT_TRUE(whole.Whole());
    EXPECT_EQ(whole.decodedSize, rawSize);
    EXPECT_EQ(whole.streamLength + 4, archive.GetEntrySize(0));
    EXPECT_EQ(CheckEntry(archive, 6, false).storedBytes, archive.GetEntrySize(6) - 1);
}

TEST_F(EntryCheckTest, AnArchiveReplacedOrGoneHasChanged) {
    lumo::test::WriteFile(path, {1, 2, 3});
    EXPECT_EQ(CheckEntry(archive, 0, false).problem, EntryProblem::ArchiveChanged);
    std::remove(path.c_str());
    EXPECT_EQ(CheckEntry(archive, 0, false).problem, EntryProblem::ArchiveChanged);
    EXPECT_STREQ(DescribeEntryProblem(EntryProblem::CutShort), "cut short");
}

}  // namespace
