// SPDX-License-Identifier: MIT
// Orderings of the index rows over a catalogue read from a real archive file.
#include <gtest/gtest.h>

#include "archive/lgp_archive.h"
#include "indexbar/index_list_model.h"
#include "indexbar/index_sort.h"
#include "tests/support/lgp_writer.h"

namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

TEST(CompareNoCase, FoldsOnlyAsciiLettersAndPutsPunctuationBeforeThem) {
    EXPECT_EQ(CompareNoCase("FLEVEL.LGP", "flevel.lgp"), 0);
    EXPECT_LT(CompareNoCase("a_b", "aab"), 0);  // '_' lies between 'Z' and 'a'
    EXPECT_LT(CompareNoCase("a[", "Ab"), 0);
    EXPECT_LT(CompareNoCase("", "a"), 0);
    EXPECT_LT(CompareNoCase("abc", "abcd"), 0);
    EXPECT_GT(CompareNoCase("\xe9", "z"), 0);  // bytes above 127 compare unsigned
}

// Keys that differ must order as the full comparison does, either way round.
TEST(FoldedPrefix, DifferingKeysOrderAsTheTextsDo) {
    const char* texts[] = {"",         "a",         "A_",       "a_b",     "aab",
                           "abcdefgh", "ABCDEFGHI", "abcdefgi", "md1stin", "MD1STIN2",
                           "\xe9",     "z",         "a[",       "Ab"};
    for (const char* a : texts) {
        for (const char* b : texts) {
            for (bool reverse : {false, true}) {
                const uint64_t ka = FoldedPrefix(a, reverse), kb = FoldedPrefix(b, reverse);
                if (ka != kb) {
                    const int want = reverse ? -CompareNoCase(a, b) : CompareNoCase(a, b);
                    EXPECT_EQ(ka < kb, want < 0) << a << " / " << b << " reverse " << reverse;
                }
            }
        }
    }
}

class SortTest : public ::testing::Test {
protected:
    void SetUp() override {
        lumo::test::LgpWriter writer;
        writer
            .AddText("md1stin", "12345")   // 0: no extension
            .AddText("Chocobo.TEX", "1")   // 1
            .AddText("chocobo.tex", "12")  // 2: same name as 1 but for case
            .AddText("aaab.p", "123")      // 3
            .AddText("huge.p", "1234")     // 4: size field made huge below
            .SetSizeField(4, 3000000000u);
        path = dir.Write("sort.lgp", writer.Build());
        ASSERT_EQ(archive.Load(path.c_str()), 5);
    }
    lumo::test::TempDir dir;
    std::string path;
    CLgpArchive archive;
};

TEST_F(SortTest, NameAndTypeCompareWithoutRegardToCase) {
    EXPECT_EQ(CompareByName(1, 2, archive), 0);
    EXPECT_LT(CompareByName(3, 1, archive), 0);
    EXPECT_GT(CompareByNameDesc(3, 1, archive), 0);
    EXPECT_EQ(CompareByType(1, 2, archive), 0);
    // Entries without an extension come first ascending, last descending.
    for (uint16_t other : {1, 3}) {
        EXPECT_LT(CompareByType(0, other, archive), 0);
        EXPECT_GT(CompareByTypeDesc(0, other, archive), 0);
    }
}

TEST_F(SortTest, IndexAndSizeOrders) {
    EXPECT_LT(CompareByIndex(0, 4, archive), 0);
    EXPECT_GT(CompareByIndexDesc(0, 4, archive), 0);
    EXPECT_LT(CompareBySize(1, 2, archive), 0);
    EXPECT_EQ(CompareBySize(2, 2, archive), 0);
}

// Sizes far apart make the size orders inconsistent; sorting by them must still keep every
// row exactly once.
TEST_F(SortTest, SortingByHugeSizesKeepsEveryRow) {
    ASSERT_EQ(archive.GetEntrySize(4), 3000000000u);
    IndexListModel model;
    std::vector<IndexRow> rows;
    for (int repeat = 0; repeat < 50; ++repeat) {
        for (uint16_t i = 0; i < 5; ++i) {
            rows.push_back({i, archive.GetEntryName(i), 0, 0});
        }
    }
    model.AppendRows(rows);
    for (bool reverse : {false, true}) {
        const IndexComparator compare = ComparatorFor(SORTMODE_SIZE, reverse);
        model.SortRows([&](uint16_t a, uint16_t b) { return compare(a, b, archive); });
        std::vector<int> count(5, 0);
        for (int row = 0; row < model.rowCount(); ++row) {
            ++count[static_cast<size_t>(model.ItemData(row))];
        }
        EXPECT_EQ(count, std::vector<int>(5, 50));
    }
}

TEST_F(SortTest, EveryComparatorIsAntisymmetric) {
    for (int mode = 0; mode < 4; ++mode) {
        for (bool reverse : {false, true}) {
            const IndexComparator compare = ComparatorFor(mode, reverse);
            ASSERT_NE(compare, nullptr);
            for (uint16_t a = 0; a < 5; ++a) {
                for (uint16_t b = 0; b < 5; ++b) {
                    EXPECT_EQ(Sign(compare(a, b, archive)), -Sign(compare(b, a, archive)));
                }
            }
        }
    }
    EXPECT_EQ(ComparatorFor(-1, false), nullptr);
    EXPECT_EQ(ComparatorFor(4, true), nullptr);
}

}  // namespace
