// SPDX-License-Identifier: MIT
#pragma once
// The rows of the archive index, held in one vector so that filling, clearing and
// re-ordering tens of thousands of rows costs one model signal, not one per row.
#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "archive/entry_source.h"
#include "indexbar/name_filter.h"

struct IndexRow {
    uint16_t entryIndex = 0;  // position of the entry in the archive: the row's item data
    QString name;             // column 0
    uint32_t size = 0;        // column 1, formatted when shown (few rows ever are)
    uint8_t typeCode = 0;     // entry type code: index of the row's icon
    // Against the archive's file: a changed row's name shows in italics, an added one's
    // in bold, each with a tool tip saying so.
    EntryState state = EntryState::Saved;

    QString SizeText() const;
};

// Returns < 0 when entry a goes first, 0 when their keys are equal, > 0 when b goes first.
using EntryComparator = std::function<int(uint16_t a, uint16_t b)>;

class IndexListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn = 0, SizeColumn = 1, ColumnCount = 2 };

    explicit IndexListModel(QObject* parent = nullptr);

    // Icons by type code; a code without an icon shows none.
    void SetIcons(std::vector<QIcon> icons);

    // Rows are the ones the filter lets through, in sort order; the others are kept and
    // come back when the filter changes. Rows appended while a filter is set are
    // filtered as they come.
    void AppendRows(std::vector<IndexRow> rows);
    void Clear();
    const IndexRow& Row(int row) const { return m_rows[AllRow(row)]; }
    // Entry index of a row, or -1 when there is no such row.
    int ItemData(int row) const;
    // Re-orders every row at once; selection and current row follow their rows.
    // `prefixes`, when given, holds for each entry index a key that orders entries as
    // `compare` does whenever two keys differ; only equal keys ask `compare`, which must
    // then be a strict weak ordering (the text orders are; the size orders are not).
    void SortRows(const EntryComparator& compare, const std::vector<uint64_t>* prefixes = nullptr);
    // Shows only the rows whose names the filter matches (all of them for an empty one).
    // The view sees the old rows removed and the new ones inserted, one batch each.
    void SetFilter(const NameFilter& filter);
    const NameFilter& Filter() const { return m_filter; }
    // Rows the archive has, shown or not.
    int TotalCount() const { return static_cast<int>(m_rows.size()); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    size_t AllRow(int row) const {
        return m_filtered ? static_cast<size_t>(m_shown[static_cast<size_t>(row)])
                          : static_cast<size_t>(row);
    }
    std::vector<int> ShownRows() const;  // from m_passes

    std::vector<IndexRow> m_rows;  // every row, in sort order
    NameFilter m_filter;
    bool m_filtered = false;     // m_shown is in use
    std::vector<char> m_passes;  // per row of m_rows: the filter lets it through
    std::vector<int> m_shown;    // the rows shown: positions in m_rows, in order
    std::vector<QIcon> m_icons;
};
