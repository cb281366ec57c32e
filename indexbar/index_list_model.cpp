#include "indexbar/index_list_model.h"

#include "indexbar/index_sort.h"

#include <algorithm>

IndexListModel::IndexListModel(QObject* parent) : QAbstractTableModel(parent) {}

void IndexListModel::SetIcons(std::vector<QIcon> icons) {
    m_icons = std::move(icons);
    if (!m_rows.empty()) {
        emit dataChanged(index(0, NameColumn), index(rowCount() - 1, NameColumn),
                         {Qt::DecorationRole});
    }
}

// Rows are added and removed with one insert or remove notification for the whole batch
// rather than a model reset: a reset would also reset the header's column widths.
void IndexListModel::AppendRows(std::vector<IndexRow> rows) {
    if (rows.empty()) {
        return;
    }
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    if (m_rows.empty()) {
        m_rows = std::move(rows);
    } else {
        m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()),
                      std::make_move_iterator(rows.end()));
    }
    endInsertRows();
}

void IndexListModel::Clear() {
    if (m_rows.empty()) {
        return;
    }
    beginRemoveRows(QModelIndex(), 0, rowCount() - 1);
    m_rows.clear();
    endRemoveRows();
}

int IndexListModel::ItemData(int row) const {
    if (row < 0 || row >= rowCount()) {
        return -1;
    }
    return m_rows[static_cast<size_t>(row)].entryIndex;
}

// Sorts a permutation once and moves every row into place in one pass, so the view sees
// a single layout change and selected rows stay selected wherever they land.
void IndexListModel::SortRows(const EntryComparator& compare) {
    if (m_rows.size() < 2) {
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    // The entry index travels with the row number, so comparing never has to reach into
    // the rows themselves.
    struct Key {
        uint16_t entry;
        int row;
    };
    std::vector<Key> keys(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) {
        keys[i] = {m_rows[i].entryIndex, static_cast<int>(i)};
    }
    // Not std::sort: the size comparators are not always a strict weak ordering.
    SortPermutation(
        keys, [&compare](const Key& a, const Key& b) { return compare(a.entry, b.entry) < 0; });
    std::vector<int> order(keys.size());  // order[new row] = old row
    for (size_t i = 0; i < keys.size(); ++i) {
        order[i] = keys[i].row;
    }

    std::vector<int> newRowOf(m_rows.size());
    std::vector<IndexRow> sorted;
    sorted.reserve(m_rows.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newRowOf[static_cast<size_t>(order[i])] = static_cast<int>(i);
        sorted.push_back(std::move(m_rows[static_cast<size_t>(order[i])]));
    }
    m_rows.swap(sorted);

    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& old : from) {
        to.append(index(newRowOf[static_cast<size_t>(old.row())], old.column()));
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int IndexListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int IndexListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant IndexListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const IndexRow& row = m_rows[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return index.column() == NameColumn ? row.name : row.sizeText;
        case Qt::DecorationRole:
            if (index.column() == NameColumn && row.typeCode < m_icons.size()) {
                return m_icons[row.typeCode];
            }
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() == SizeColumn) {
                return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            }
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::UserRole:
            return row.entryIndex;
        default:
            return {};
    }
}

QVariant IndexListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return section == NameColumn ? tr("Name") : tr("Size");
    }
    if (role == Qt::TextAlignmentRole) {
        if (section == SizeColumn) {
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        }
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

Qt::ItemFlags IndexListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}
