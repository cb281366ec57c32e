// SPDX-License-Identifier: MIT
// The entry list and its row model: bulk filling, item data, icons, the selection as the
// archive commands read it, and re-ordering.
#include <gtest/gtest.h>

#include <QFont>
#include <QIcon>
#include <QPixmap>

#include "indexbar/entry_type_icons.h"
#include "indexbar/list_ctrl.h"

namespace {

constexpr int kMaxEntries = 65535;

std::vector<IndexRow> MakeRows(int count) {
    std::vector<IndexRow> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        rows.push_back({static_cast<uint16_t>(i), QStringLiteral("entry%1.tex").arg(i),
                        static_cast<uint32_t>(i), static_cast<uint8_t>(i % 10)});
    }
    return rows;
}

class ListTest : public ::testing::Test {
protected:
    void SetUp() override { list.GetModel()->SetIcons(LoadEntryTypeIcons()); }
    QModelIndex Index(int row, int column) { return list.GetModel()->index(row, column); }
    CListCtrl list;
};

TEST_F(ListTest, HoldsAFullArchiveOfRowsWithTextsDataAndIcons) {
    list.AppendRows(MakeRows(kMaxEntries));
    ASSERT_EQ(list.GetItemCount(), kMaxEntries);
    for (int row : {0, 1, 9, 10, 40000, kMaxEntries - 1}) {
        EXPECT_EQ(list.GetItemData(row), row);
        EXPECT_EQ(Index(row, 0).data().toString(), QStringLiteral("entry%1.tex").arg(row));
        // Sizes are shown in their short form: bytes below a kilobyte, whole kB above.
        const QString size = row < 1024 ? QString::number(row) : QString("%1 kB").arg(row >> 10);
        EXPECT_EQ(Index(row, 1).data().toString(), size);
        EXPECT_FALSE(Index(row, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
        EXPECT_FALSE(Index(row, 1).data(Qt::DecorationRole).isValid());
    }
    EXPECT_EQ(list.GetItemData(-1), -1);
    EXPECT_EQ(list.GetItemData(kMaxEntries), -1);
    EXPECT_EQ(Index(0, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
              Qt::AlignRight);
}

TEST_F(ListTest, ChangedAndAddedRowsAreMarkedInTheNameColumn) {
    const struct {
        EntryState state;
        bool italic;
        bool bold;
        const char* tip;
    } cases[] = {
        {EntryState::Saved, false, false, ""},
        {EntryState::Changed, true, false, "changed"},
        {EntryState::Added, false, true, "added"},
    };
    std::vector<IndexRow> rows = MakeRows(3);
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].state = cases[i].state;
    }
    list.AppendRows(rows);
    for (int row = 0; row < 3; ++row) {
        const auto& c = cases[row];
        const QFont font = Index(row, 0).data(Qt::FontRole).value<QFont>();
        EXPECT_EQ(font.italic(), c.italic) << row;
        EXPECT_EQ(font.bold(), c.bold) << row;
        EXPECT_EQ(Index(row, 0).data(Qt::ToolTipRole).toString(), c.tip) << row;
        EXPECT_FALSE(Index(row, 1).data(Qt::FontRole).isValid()) << row;
    }
}

TEST_F(ListTest, TypeCodeWithoutAnIconShowsNone) {
    list.AppendRows({{0, "odd", 1, 200}, {1, "plain", 1, 9}});
    EXPECT_FALSE(Index(0, 0).data(Qt::DecorationRole).isValid());
    EXPECT_TRUE(Index(1, 0).data(Qt::DecorationRole).isValid());
}

TEST_F(ListTest, DeletingAllItemsBeforeRefillingNeverAccumulatesRows) {
    list.AppendRows(MakeRows(100));
    list.SelectRows({3, 4});
    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetSelectedCount(), 0);
    list.AppendRows(MakeRows(7));
    EXPECT_EQ(list.GetItemCount(), 7);
    EXPECT_EQ(list.GetItemData(6), 6);
    EXPECT_EQ(list.GetSelectedCount(), 0);
}

TEST_F(ListTest, SelectionIsReportedTopToBottomWithoutDuplicates) {
    list.AppendRows(MakeRows(20));
    EXPECT_EQ(list.GetSelectedCount(), 0);
    EXPECT_EQ(list.GetSelectionMark(), -1);

    list.SelectRows({12, 3, 4, 3, 5, -1, 20, 19});
    EXPECT_EQ(list.GetSelectedCount(), 5);
    EXPECT_EQ(list.GetSelectedRows(), (std::vector<int>{3, 4, 5, 12, 19}));

    list.SetSelectionMark(12);
    EXPECT_EQ(list.GetSelectionMark(), 12);
    EXPECT_EQ(list.GetSelectedCount(), 5);  // moving the mark keeps the selection

    list.SelectRows({});
    EXPECT_EQ(list.GetSelectedCount(), 0);
}

TEST_F(ListTest, ReorderingMovesRowsWithTheirDataAndKeepsTheSelectionOnThem) {
    list.AppendRows(MakeRows(kMaxEntries));
    list.SelectRows({0, 1, 70});
    list.SetSelectionMark(70);

    list.SortItems([](uint16_t a, uint16_t b) { return int(b) - int(a); });

    EXPECT_EQ(list.GetItemData(0), kMaxEntries - 1);
    EXPECT_EQ(list.GetItemData(kMaxEntries - 1), 0);
    EXPECT_EQ(Index(kMaxEntries - 1, 0).data().toString(), QStringLiteral("entry0.tex"));
    std::vector<int> selectedEntries;
    for (int row : list.GetSelectedRows()) {
        selectedEntries.push_back(list.GetItemData(row));
    }
    EXPECT_EQ(selectedEntries, (std::vector<int>{70, 1, 0}));
    EXPECT_EQ(list.GetItemData(list.GetSelectionMark()), 70);
}

TEST_F(ListTest, EqualKeysKeepTheirOrder) {
    list.AppendRows(MakeRows(10));
    list.SortItems([](uint16_t a, uint16_t b) { return int(a % 2) - int(b % 2); });
    std::vector<int> entries;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        entries.push_back(list.GetItemData(row));
    }
    EXPECT_EQ(entries, (std::vector<int>{0, 2, 4, 6, 8, 1, 3, 5, 7, 9}));
}

TEST(EntryTypeIcons, StripHoldsElevenPagesWithMagentaTransparent) {
    const QImage strip = LoadEntryTypeStrip();
    ASSERT_EQ(strip.size(), QSize(154, 14));
    const std::vector<QImage> icons = SplitEntryTypeStrip(strip);
    ASSERT_EQ(icons.size(), 11u);
    for (const QImage& icon : icons) {
        EXPECT_EQ(icon.size(), QSize(14, 14));
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);             // left of the page
        EXPECT_EQ(qAlpha(icon.pixel(13, 0)), 0);            // cut off by the folded corner
        EXPECT_EQ(icon.pixel(10, 6), qRgb(255, 255, 255));  // the page itself
        EXPECT_EQ(qAlpha(icon.pixel(1, 13)), 255);
    }
    // Plain pages are alike; the emblems tell the others apart.
    EXPECT_EQ(icons[0], icons[9]);
    EXPECT_EQ(icons[0], icons[10]);
    for (int n = 1; n <= 8; ++n) {
        EXPECT_NE(icons[0], icons[static_cast<size_t>(n)]) << n;
    }
    EXPECT_EQ(icons[3].pixel(2, 9), qRgb(0, 0, 255));    // sea of the globe
    EXPECT_EQ(icons[8].pixel(4, 8), qRgb(255, 255, 0));  // glow of the bulb
}

// 150 % and 200 % screens get pictures drawn at their size, transparent where the 1x
// picture is.
TEST(EntryTypeIcons, APictureForEveryScale) {
    const std::vector<QIcon> icons = LoadEntryTypeIcons();
    ASSERT_EQ(icons.size(), 11u);
    for (const QIcon& icon : icons) {
        EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{14, 14}, {21, 21}, {28, 28}}));
        const QImage twice = icon.pixmap(QSize(28, 28)).toImage();
        EXPECT_EQ(qAlpha(twice.pixel(0, 0)), 0);
        EXPECT_EQ(twice.pixel(20, 12), qRgb(255, 255, 255));
    }
}

TEST(EntryTypeIcons, StripOfTheWrongSizeGivesNoIcons) {
    EXPECT_TRUE(SplitEntryTypeStrip(QImage()).empty());
    EXPECT_TRUE(SplitEntryTypeStrip(QImage(140, 14, QImage::Format_ARGB32)).empty());
}

}  // namespace
