// SPDX-License-Identifier: MIT
// Sorting the index: by the catalogue while the archive is as saved, by keys taken from
// the entry source while changes wait, and the heading's arrow that shows the order.
#include <QHeaderView>

#include "archive/lgp_archive.h"
#include "indexbar/index_bar.h"
#include "indexbar/index_sort.h"

void CIndexBar::SortList() {
    if (m_wndList == nullptr) {
        return;
    }
    if (m_pCatalogue != nullptr) {
        const IndexComparator compare = ComparatorFor(m_nSortMode, m_bSortReverse);
        if (compare == nullptr) {
            return;
        }
        const CLgpArchive& catalogue = *m_pCatalogue;
        const std::vector<uint64_t> prefixes = SortPrefixes(catalogue, m_nSortMode, m_bSortReverse);
        m_wndList->SortItems(
            [compare, &catalogue](uint16_t a, uint16_t b) { return compare(a, b, catalogue); },
            prefixes.empty() ? nullptr : &prefixes);
    } else if (m_source) {
        const KeyComparator compare = KeyComparatorFor(m_nSortMode, m_bSortReverse);
        if (compare == nullptr) {
            return;
        }
        const SortKeys keys(*m_source);
        const std::vector<uint64_t> prefixes =
            SortPrefixes(keys, m_source->Count(), m_nSortMode, m_bSortReverse);
        m_wndList->SortItems(
            [compare, &keys](uint16_t a, uint16_t b) { return compare(a, b, keys); },
            prefixes.empty() ? nullptr : &prefixes);
    } else {
        return;
    }
    m_bListSorted = true;
    ShowSortArrow();
}

// The heading of the sort key shows the direction; sorted by archive order or by type,
// no heading is the key and none shows an arrow.
void CIndexBar::ShowSortArrow() {
    QHeaderView* header = m_wndList->header();
    int column = -1;
    if (m_nSortMode == SORTMODE_NAME) {
        column = IndexListModel::NameColumn;
    } else if (m_nSortMode == SORTMODE_SIZE) {
        column = IndexListModel::SizeColumn;
    }
    header->setSortIndicatorShown(column >= 0);
    header->setSortIndicator(column, m_bSortReverse ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void CIndexBar::OnHeaderItemClick(int column) {
    int target = -1;
    if (column == IndexListModel::NameColumn) {
        target = SORTMODE_NAME;
    } else if (column == IndexListModel::SizeColumn) {
        target = SORTMODE_SIZE;
    }
    if (target >= 0) {
        m_bSortReverse = (m_nSortMode == target) ? !m_bSortReverse : false;
        m_nSortMode = target;
    }
    SortList();
}
