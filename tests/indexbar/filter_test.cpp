// SPDX-License-Identifier: MIT
// The index narrowed by the find field: which rows show, and that the selection, the
// mark and sorting speak in entries whatever rows are shown.
#include <gtest/gtest.h>

#include <QMimeData>
#include <QStringList>
#include <memory>

#include "indexbar/list_ctrl.h"

namespace {

class FilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Entries 0..5 in archive order.
        std::vector<IndexRow> rows;
        const char* names[] = {"alpha.tex", "beta.p", "ALPHA2.tex", "gamma", "delta.tex", "eta"};
        for (uint16_t i = 0; i < 6; ++i) {
            rows.push_back({i, QString::fromLatin1(names[i]), i, 0});
        }
        list.AppendRows(std::move(rows));
    }
    std::vector<int> Shown() const {
        std::vector<int> entries;
        for (int row = 0; row < list.GetItemCount(); ++row) {
            entries.push_back(list.GetItemData(row));
        }
        return entries;
    }
    CListCtrl list;
};

TEST_F(FilterTest, ShowsMatchingEntriesAndKeepsTheSelectionOfThoseStillShown) {
    list.SelectRows({0, 3, 4});
    list.SetSelectionMark(4);
    list.SetFilterText("TEX");
    EXPECT_EQ(Shown(), (std::vector<int>{0, 2, 4}));
    EXPECT_EQ(list.GetTotalCount(), 6);
    // Entry 3 is hidden, so no longer selected: commands act on what is shown.
    EXPECT_EQ(list.SelectedEntries(), (std::vector<uint16_t>{0, 4}));
    EXPECT_EQ(list.GetSelectedRows(), (std::vector<int>{0, 2}));
    EXPECT_EQ(list.MarkedEntry(), 4);

    list.SetFilterText("*a*a*");
    EXPECT_EQ(Shown(), (std::vector<int>{0, 2, 3}));
    EXPECT_EQ(list.SelectedEntries(), (std::vector<uint16_t>{0}));
    EXPECT_EQ(list.MarkedEntry(), -1);

    list.SetFilterText("nothing like it");
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_TRUE(list.SelectedEntries().empty());

    list.SetFilterText("");
    EXPECT_EQ(Shown(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST_F(FilterTest, SortingAndNewRowsRespectTheFilter) {
    list.SetFilterText("ta");  // beta.p, delta.tex, eta
    list.SelectRows({1});      // delta.tex
    list.SortItems([](uint16_t a, uint16_t b) { return int(b) - int(a); });
    EXPECT_EQ(Shown(), (std::vector<int>{5, 4, 1}));
    EXPECT_EQ(list.SelectedEntries(), (std::vector<uint16_t>{4}));

    // Hidden rows were sorted too: they come back in the new order.
    list.SetFilterText("");
    EXPECT_EQ(Shown(), (std::vector<int>{5, 4, 3, 2, 1, 0}));

    list.SetFilterText("zeta");
    list.AppendRows({{6, "zeta", 6, 0}, {7, "theta", 7, 0}});
    EXPECT_EQ(Shown(), (std::vector<int>{6}));
    EXPECT_EQ(list.GetTotalCount(), 8);
    list.DeleteAllItems();
    EXPECT_EQ(list.GetTotalCount(), 0);
}

// Dragging rows out hands the selected entries, whatever rows are shown, to whoever
// writes their files; the drag carries what it gives.
TEST_F(FilterTest, DragCarriesTheFilesOfTheSelectedEntries) {
    EXPECT_EQ(list.MakeDragData(), nullptr);  // no one to write the files
    std::vector<uint16_t> asked;
    list.SetDragFileProvider([&asked](const std::vector<uint16_t>& entries) {
        asked = entries;
        QList<QUrl> files;
        for (uint16_t entry : entries) {
            files << QUrl::fromLocalFile(QStringLiteral("/tmp/x/%1").arg(entry));
        }
        return files;
    });
    EXPECT_TRUE(list.dragEnabled());
    EXPECT_EQ(list.MakeDragData(), nullptr);  // nothing selected
    list.SetFilterText("tex");
    list.SelectRows({1, 2});
    std::unique_ptr<QMimeData> data(list.MakeDragData());
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(asked, (std::vector<uint16_t>{2, 4}));
    EXPECT_EQ(data->urls(),
              (QList<QUrl>{QUrl::fromLocalFile("/tmp/x/2"), QUrl::fromLocalFile("/tmp/x/4")}));
    list.SetDragFileProvider([](const std::vector<uint16_t>&) { return QList<QUrl>(); });
    EXPECT_EQ(list.MakeDragData(), nullptr);  // every entry refused: no drag
}

}  // namespace
