// SPDX-License-Identifier: MIT
// Sorting the index: the five sort commands, heading clicks, and what opening keeps.
#include <QHeaderView>
#include <QTest>

#include "tests/commands/open_fixture.h"

namespace lumo::test {
namespace {

class SortTest : public IndexCommandTest {
protected:
    // Names, extensions and sizes chosen so that every order differs from the others;
    // "BA.p" and "ba.P" differ only in letter case.
    void OpenSample() {
        LgpWriter writer;
        writer
            .Add("b_map.tex", Bytes(300, 0))  // 0
            .Add("BA.p", Bytes(20, 0))        // 1
            .Add("field", Bytes(4000, 0))     // 2: no extension
            .Add("ab.Tex", Bytes(1, 0))       // 3
            .Add("ba.P", Bytes(50, 0));       // 4
        Open("sample.lgp", writer);
    }
    void ClickHeading(int column) {
        QHeaderView* header = List().header();
        const QPoint centre(
            header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    }
    void Sort(int command) { ASSERT_TRUE(Frame()->SendCommand(command)); }
    std::pair<int, bool> State() const { return {Bar().m_nSortMode, Bar().m_bSortReverse}; }

    // Keys in list order, in lower case: rows with equal keys may come in either order.
    QStringList LowerNames() const { return Names().join('|').toLower().split('|'); }
    QStringList LowerExtensions() const {
        QStringList keys;
        for (int entry : ItemData()) {
            keys << QString(theArchive.GetEntryExtension(static_cast<uint16_t>(entry))).toLower();
        }
        return keys;
    }
};

// '_' sorts before letters.
const QStringList kByName{"ab.tex", "b_map.tex", "ba.p", "ba.p", "field"};
const QStringList kByNameDesc{"field", "ba.p", "ba.p", "b_map.tex", "ab.tex"};
const std::vector<int> kBySize{3, 1, 4, 0, 2};
const std::vector<int> kBySizeDesc{2, 0, 4, 1, 3};

TEST_F(SortTest, EachCommandSetsItsModeAndReverseAloneTurnsTheOrderRound) {
    OpenSample();
    Sort(ID_SORT_NAME);
    EXPECT_EQ(LowerNames(), kByName);
    EXPECT_EQ(State(), std::make_pair(1, false));

    Sort(ID_SORT_SIZE);
    EXPECT_EQ(ItemData(), kBySize);

    // By extension text, not type code: the entry without one comes first ascending and
    // last descending.
    Sort(ID_SORT_TYPE);
    EXPECT_EQ(LowerExtensions(), (QStringList{"", "p", "p", "tex", "tex"}));
    Sort(ID_SORT_REVERSE);
    EXPECT_EQ(LowerExtensions(), (QStringList{"tex", "tex", "p", "p", ""}));
    EXPECT_EQ(State(), std::make_pair(2, true));

    // A mode command keeps the reverse flag.
    Sort(ID_SORT_NAME);
    EXPECT_EQ(LowerNames(), kByNameDesc);
    EXPECT_EQ(State(), std::make_pair(1, true));
    Sort(ID_SORT_SIZE);
    EXPECT_EQ(ItemData(), kBySizeDesc);

    Sort(ID_SORT_ORIGINAL);
    EXPECT_EQ(ItemData(), (std::vector<int>{4, 3, 2, 1, 0}));
    Sort(ID_SORT_REVERSE);
    EXPECT_EQ(ItemData(), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(State(), std::make_pair(0, false));
}

TEST_F(SortTest, HeadingClicksToggleOnlyOnTheCurrentMode) {
    OpenSample();
    ClickHeading(0);
    EXPECT_EQ(LowerNames(), kByName);
    ClickHeading(0);
    EXPECT_EQ(LowerNames(), kByNameDesc);
    EXPECT_EQ(State(), std::make_pair(1, true));
    ClickHeading(0);
    EXPECT_EQ(LowerNames(), kByName);
    EXPECT_EQ(State(), std::make_pair(1, false));

    ClickHeading(0);  // name, reversed
    ClickHeading(1);  // another mode: ascending again
    EXPECT_EQ(ItemData(), kBySize);
    EXPECT_EQ(State(), std::make_pair(3, false));
    ClickHeading(1);
    EXPECT_EQ(State(), std::make_pair(3, true));
    EXPECT_EQ(ItemData(), kBySizeDesc);
}

TEST_F(SortTest, SelectedEntriesStaySelectedWhenTheRowsMove) {
    OpenSample();
    List().SelectRows({1, 2});  // BA.p and field
    List().SetSelectionMark(2);
    Sort(ID_SORT_NAME);
    std::vector<int> selected;
    for (int row : List().GetSelectedRows()) {
        selected.push_back(List().GetItemData(row));
    }
    EXPECT_EQ(selected, (std::vector<int>{1, 2}));
    EXPECT_EQ(List().GetItemData(List().GetSelectionMark()), 2);
}

// Opening keeps the stored state without applying it; the next command applies it.
TEST_F(SortTest, AnotherArchiveComesInArchiveOrderUnderTheStoredState) {
    OpenSample();
    Sort(ID_SORT_SIZE);
    Sort(ID_SORT_REVERSE);
    Open("next.lgp", Named({"c", "a", "b"}));
    EXPECT_EQ(ItemData(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(State(), std::make_pair(3, true));
    EXPECT_FALSE(List().header()->isSortIndicatorShown());  // the rows are not by size
    Sort(ID_SORT_NAME);
    EXPECT_EQ(Names(), (QStringList{"c", "b", "a"}));
    EXPECT_TRUE(List().header()->isSortIndicatorShown());
}

TEST_F(SortTest, EmptyListAndNoArchive) {
    // No archive yet: the commands only change the state.
    Sort(ID_SORT_NAME);
    Sort(ID_SORT_REVERSE);
    EXPECT_EQ(State(), std::make_pair(1, true));
    Open("empty.lgp", LgpWriter());
    for (int command : {ID_SORT_ORIGINAL, ID_SORT_TYPE, ID_SORT_SIZE, ID_SORT_REVERSE}) {
        Sort(command);
    }
    EXPECT_EQ(List().GetItemCount(), 0);
}

// Sizes 2 GiB or more apart compare by their wrapped 32-bit difference, which is no
// consistent order; sorting by them still keeps every row exactly once.
TEST_F(SortTest, HugeSizesGiveTheWrappedOrderAndLoseNoRow) {
    LgpWriter writer;
    writer.Add("one", Bytes(1, 0)).Add("ten", Bytes(10, 0)).Add("huge", Bytes(2, 0));
    writer.SetSizeField(2, 3000000000u);
    Open("huge.lgp", writer);
    ASSERT_EQ(theArchive.GetEntrySize(2), 3000000000u);
    Sort(ID_SORT_SIZE);
    // 3,000,000,000 - 1 is negative as a 32-bit number: the huge entry goes first.
    EXPECT_EQ(ItemData(), (std::vector<int>{2, 0, 1}));

    LgpWriter mixed;
    const uint32_t sizes[] = {0u, 0x7fffffffu, 0x80000000u, 0xffffffffu, 5u, 0x40000000u};
    for (int i = 0; i < 600; ++i) {
        mixed.Add("e" + std::to_string(i), Bytes(1, 0));
    }
    for (int i = 0; i < 600; ++i) {
        mixed.SetSizeField(static_cast<size_t>(i), sizes[(i * 7) % 6] + static_cast<uint32_t>(i));
    }
    Open("mixed.lgp", mixed);
    for (int command : {ID_SORT_SIZE, ID_SORT_REVERSE}) {
        Sort(command);
        std::vector<int> data = ItemData();
        std::sort(data.begin(), data.end());
        for (int i = 0; i < 600; ++i) {
            ASSERT_EQ(data[static_cast<size_t>(i)], i);
        }
    }
}

}  // namespace
}  // namespace lumo::test
