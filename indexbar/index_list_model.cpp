// SPDX-License-Identifier: MIT
#include "indexbar/index_list_model.h"

#include "environment/game_environment.h"
#include "indexbar/index_sort.h"

#include <QFont>
#include <algorithm>

namespace {

QVariant StateFont(EntryState state) {
    if (state == EntryState::Saved) {
        return {};
    }
    QFont font;
    font.setItalic(state == EntryState::Changed);
    font.setBold(state == EntryState::Added);
    return font;
}

}  // namespace

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
    const size_t firstNew = m_rows.size();
    int added = static_cast<int>(rows.size());
    std::vector<int> newShown;
    if (m_filtered) {
        for (size_t i = 0; i < rows.size(); ++i) {
            const bool passes = m_filter.Matches(rows[i].name);
            m_passes.push_back(passes);
            if (passes) {
                newShown.push_back(static_cast<int>(firstNew + i));
            }
        }
        added = static_cast<int>(newShown.size());
    }
    if (added == 0) {
        m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()),
                      std::make_move_iterator(rows.end()));
        return;
    }
    beginInsertRows(QModelIndex(), first, first + added - 1);
    if (m_rows.empty()) {
        m_rows = std::move(rows);
    } else {
        m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()),
                      std::make_move_iterator(rows.end()));
    }
    m_shown.insert(m_shown.end(), newShown.begin(), newShown.end());
    endInsertRows();
}

void IndexListModel::Clear() {
    if (m_rows.empty()) {
        return;
    }
    if (rowCount() == 0) {
        m_rows.clear();
        m_passes.clear();
        return;
    }
    beginRemoveRows(QModelIndex(), 0, rowCount() - 1);
    m_rows.clear();
    m_passes.clear();
    m_shown.clear();
    endRemoveRows();
}

void IndexListModel::SetFilter(const NameFilter& filter) {
    if (rowCount() != 0) {
        beginRemoveRows(QModelIndex(), 0, rowCount() - 1);
        m_filtered = true;  // with no row listed as shown: nothing is
        m_shown.clear();
        endRemoveRows();
    }
    m_filter = filter;
    const bool filtered = !filter.IsEmpty();
    m_passes.assign(filtered ? m_rows.size() : 0, 0);
    for (size_t i = 0; i < m_passes.size(); ++i) {
        m_passes[i] = m_filter.Matches(m_rows[i].name);
    }
    std::vector<int> shown = ShownRows();
    const int count = filtered ? static_cast<int>(shown.size()) : TotalCount();
    if (count != 0) {
        beginInsertRows(QModelIndex(), 0, count - 1);
    }
    m_filtered = filtered;
    m_shown = std::move(shown);
    if (count != 0) {
        endInsertRows();
    }
}

std::vector<int> IndexListModel::ShownRows() const {
    std::vector<int> shown;
    for (size_t i = 0; i < m_passes.size(); ++i) {
        if (m_passes[i]) {
            shown.push_back(static_cast<int>(i));
        }
    }
    return shown;
}

int IndexListModel::ItemData(int row) const {
    if (row < 0 || row >= rowCount()) {
        return -1;
    }
    return Row(row).entryIndex;
}

// Sorts a permutation once and moves every row into place in one pass, so the view sees
// a single layout change and selected rows stay selected wherever they land.
void IndexListModel::SortRows(const EntryComparator& compare,
                              const std::vector<uint64_t>* prefixes) {
    if (m_rows.size() < 2) {
        return;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    // The entry index travels with the row number, so comparing never has to reach into
    // the rows themselves.
    struct Key {
        uint64_t prefix;
        uint16_t entry;
        int row;
    };
    std::vector<Key> keys(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const uint16_t entry = m_rows[i].entryIndex;
        const bool known = prefixes != nullptr && entry < prefixes->size();
        keys[i] = {known ? (*prefixes)[entry] : 0, entry, static_cast<int>(i)};
    }
    const auto before = [&compare](const Key& a, const Key& b) {
        if (a.prefix != b.prefix) {
            return a.prefix < b.prefix;
        }
        return compare(a.entry, b.entry) < 0;
    };
    // Orders given with keys are text orders, strict weak orderings, which the library's
    // sort takes; the size orders are not always one, and only SortPermutation copes.
    if (prefixes != nullptr) {
        std::stable_sort(keys.begin(), keys.end(), before);
    } else {
        SortPermutation(keys, before);
    }
    std::vector<int> order(keys.size());  // order[new row] = old row
    for (size_t i = 0; i < keys.size(); ++i) {
        order[i] = keys[i].row;
    }

    std::vector<int> newRowOf(m_rows.size());
    std::vector<IndexRow> sorted;
    sorted.reserve(m_rows.size());
    std::vector<char> passes(m_passes.size());
    for (size_t i = 0; i < order.size(); ++i) {
        const auto old = static_cast<size_t>(order[i]);
        newRowOf[old] = static_cast<int>(i);
        sorted.push_back(std::move(m_rows[old]));
        if (m_filtered) {
            passes[i] = m_passes[old];
        }
    }
    // Shown rows are numbered among the shown ones: map old shown row -> row of m_rows
    // -> its new place -> new shown row.
    std::vector<int> oldShown = m_shown;
    m_rows.swap(sorted);
    m_passes.swap(passes);
    std::vector<int> shownRowOf;
    if (m_filtered) {
        m_shown = ShownRows();
        shownRowOf.assign(m_rows.size(), -1);
        for (size_t i = 0; i < m_shown.size(); ++i) {
            shownRowOf[static_cast<size_t>(m_shown[i])] = static_cast<int>(i);
        }
    }
    auto newViewRow = [&](int viewRow) {
        if (!m_filtered) {
            return newRowOf[static_cast<size_t>(viewRow)];
        }
        const int moved = newRowOf[static_cast<size_t>(oldShown[static_cast<size_t>(viewRow)])];
        return shownRowOf[static_cast<size_t>(moved)];
    };

    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& old : from) {
        to.append(index(newViewRow(old.row()), old.column()));
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int IndexListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return static_cast<int>(m_filtered ? m_shown.size() : m_rows.size());
}

int IndexListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString IndexRow::SizeText() const {
    char text[16];
    return QString::fromLatin1(CGameEnvironment::FormatSizeShort(text, size));
}

QVariant IndexListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const IndexRow& row = Row(index.row());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return index.column() == NameColumn ? row.name : row.SizeText();
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
        case Qt::FontRole:
            return index.column() == NameColumn ? StateFont(row.state) : QVariant();
        case Qt::ToolTipRole:
            if (row.state == EntryState::Changed) {
                return tr("changed");
            }
            return row.state == EntryState::Added ? tr("added") : QVariant();
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
    // Rows can be dragged out when the list has a provider of their files. Names are
    // edited only when the list asks for it (Rename), never by a click.
    const Qt::ItemFlags editable =
        index.column() == NameColumn ? Qt::ItemIsEditable : Qt::ItemFlags();
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren |
           Qt::ItemIsDragEnabled | editable;
}
