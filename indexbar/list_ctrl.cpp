// SPDX-License-Identifier: MIT
#include "indexbar/list_ctrl.h"

#include <QByteArray>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDrag>
#include <QFocusEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <algorithm>

CListCtrl::CListCtrl(QWidget* parent)
    : QTreeView(parent), m_model(new IndexListModel(this)), m_nameEditor(new CNameEditor(this)) {
    setModel(m_model);
    setItemDelegateForColumn(IndexListModel::NameColumn, m_nameEditor);
    // After the view's own handling, so the editor is gone before a rename refills the list.
    connect(m_nameEditor, &QAbstractItemDelegate::closeEditor, this,
            [this] { m_nameEditor->Finish(); });
    // A flat report list: no tree decoration, one line per row, whole rows selected and
    // several at once with Shift and Ctrl.
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(14, 14));
    // The program sorts the rows itself when a heading is clicked.
    setSortingEnabled(false);
    header()->setSortIndicatorShown(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
}

void CListCtrl::DeleteAllItems() {
    m_model->Clear();
    // The rows that come next are in archive order, whatever sort is stored: no heading
    // may claim otherwise until the next sort.
    header()->setSortIndicatorShown(false);
}

void CListCtrl::AppendRows(std::vector<IndexRow> rows) {
    m_model->AppendRows(std::move(rows));
}

int CListCtrl::GetItemCount() const {
    return m_model->rowCount();
}

int CListCtrl::GetItemData(int row) const {
    return m_model->ItemData(row);
}

// One flag per row, so overlapping selection ranges never count a row twice.
static std::vector<char> SelectedFlags(const QItemSelection& selection, int rowCount) {
    std::vector<char> flags(static_cast<size_t>(rowCount), 0);
    for (const QItemSelectionRange& range : selection) {
        const int top = std::max(range.top(), 0);
        const int bottom = std::min(range.bottom(), rowCount - 1);
        for (int row = top; row <= bottom; ++row) {
            flags[static_cast<size_t>(row)] = 1;
        }
    }
    return flags;
}

int CListCtrl::GetSelectedCount() const {
    const std::vector<char> flags = SelectedFlags(selectionModel()->selection(), GetItemCount());
    return static_cast<int>(std::count(flags.begin(), flags.end(), 1));
}

std::vector<int> CListCtrl::GetSelectedRows() const {
    const std::vector<char> flags = SelectedFlags(selectionModel()->selection(), GetItemCount());
    std::vector<int> rows;
    for (size_t row = 0; row < flags.size(); ++row) {
        if (flags[row]) {
            rows.push_back(static_cast<int>(row));
        }
    }
    return rows;
}

int CListCtrl::GetSelectionMark() const {
    const QModelIndex current = selectionModel()->currentIndex();
    return current.isValid() && !m_bFocusOnly ? current.row() : -1;
}

void CListCtrl::FocusFirstRow() {
    if (GetItemCount() == 0) {
        return;
    }
    m_bPlacingFocus = true;
    selectionModel()->setCurrentIndex(m_model->index(0, 0), QItemSelectionModel::NoUpdate);
    m_bPlacingFocus = false;
    m_bFocusOnly = true;
}

void CListCtrl::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    if (!m_bPlacingFocus) {
        m_bFocusOnly = false;
    }
}

void CListCtrl::SetSelectionMark(int row) {
    m_bFocusOnly = false;
    selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
}

void CListCtrl::SelectRows(const std::vector<int>& rows) {
    std::vector<int> valid;
    for (int row : rows) {
        if (row >= 0 && row < GetItemCount()) {
            valid.push_back(row);
        }
    }
    std::sort(valid.begin(), valid.end());
    valid.erase(std::unique(valid.begin(), valid.end()), valid.end());

    // Runs of consecutive rows become one range each.
    QItemSelection selection;
    const int lastColumn = IndexListModel::ColumnCount - 1;
    for (size_t i = 0; i < valid.size();) {
        size_t end = i + 1;
        while (end < valid.size() && valid[end] == valid[end - 1] + 1) {
            ++end;
        }
        selection.append(QItemSelectionRange(m_model->index(valid[i], 0),
                                             m_model->index(valid[end - 1], lastColumn)));
        i = end;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

QPoint CListCtrl::GetItemPosition(int row) const {
    if (row < 0 || row >= GetItemCount()) {
        return {};
    }
    return visualRect(m_model->index(row, 0)).topLeft();
}

void CListCtrl::SortItems(const EntryComparator& compare, const std::vector<uint64_t>* prefixes) {
    m_model->SortRows(compare, prefixes);
}

std::vector<uint16_t> CListCtrl::SelectedEntries() const {
    std::vector<uint16_t> entries;
    for (int row : GetSelectedRows()) {
        const int item = GetItemData(row);
        if (item >= 0) {
            entries.push_back(static_cast<uint16_t>(item));
        }
    }
    return entries;
}

int CListCtrl::MarkedEntry() const {
    return GetItemData(GetSelectionMark());
}

void CListCtrl::SetFilterText(const QString& text) {
    const std::vector<uint16_t> selected = SelectedEntries();
    const int marked = MarkedEntry();
    m_model->SetFilter(NameFilter(text));
    SelectEntries(selected, marked, false);
}

void CListCtrl::SelectEntries(const std::vector<uint16_t>& entries, int marked, bool reveal) {
    std::vector<int> rowOfEntry(65536, -1);
    for (int row = 0; row < GetItemCount(); ++row) {
        rowOfEntry[static_cast<size_t>(GetItemData(row))] = row;
    }
    std::vector<int> rows;
    for (uint16_t entry : entries) {
        if (rowOfEntry[entry] >= 0) {
            rows.push_back(rowOfEntry[entry]);
        }
    }
    SelectRows(rows);
    if (marked >= 0 && marked < 65536 && rowOfEntry[static_cast<size_t>(marked)] >= 0) {
        const int row = rowOfEntry[static_cast<size_t>(marked)];
        SetSelectionMark(row);
        if (reveal) {
            scrollTo(m_model->index(row, 0));
        }
    }
}

bool CListCtrl::EditName(int row, NameEdit edit) {
    if (row < 0 || row >= GetItemCount()) {
        return false;
    }
    const QModelIndex index = m_model->index(row, IndexListModel::NameColumn);
    scrollTo(index);
    m_nameEditor->Begin(std::move(edit));
    return QTreeView::edit(index, QAbstractItemView::AllEditTriggers, nullptr);
}

// A double-click anywhere in the list counts, on a row or not; whoever listens decides
// by the selection.
void CListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        emit activateRequested();
    }
}

void CListCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit activateRequested();
        return;
    }
    const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
    if (event->key() == Qt::Key_Menu || shiftF10) {
        event->accept();
        emit keyboardMenuRequested();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void CListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    if (event->reason() == QContextMenuEvent::Keyboard) {
        emit keyboardMenuRequested();
        return;
    }
    emit rightClicked(event->globalPos());
}

void CListCtrl::SetDragFileProvider(DragFileProvider provider) {
    m_dragFiles = std::move(provider);
    setDragEnabled(static_cast<bool>(m_dragFiles));
    setDragDropMode(m_dragFiles ? QAbstractItemView::DragOnly : QAbstractItemView::NoDragDrop);
}

QMimeData* CListCtrl::MakeDragData() {
    const std::vector<uint16_t> entries = SelectedEntries();
    if (!m_dragFiles || entries.empty()) {
        return nullptr;
    }
    const QList<QUrl> files = m_dragFiles(entries);
    if (files.isEmpty()) {
        return nullptr;
    }
    auto* data = new QMimeData;
    data->setUrls(files);
    data->setData(QLatin1String(kRowsMimeType),
                  QByteArray::number(QCoreApplication::applicationPid()));
    return data;
}

bool CListCtrl::CarriesOwnRows(const QMimeData* data) {
    return data != nullptr && data->hasFormat(QLatin1String(kRowsMimeType)) &&
           data->data(QLatin1String(kRowsMimeType)) ==
               QByteArray::number(QCoreApplication::applicationPid());
}

// The files are written before the drag starts: a file manager copies them from where
// they are when they are dropped.
void CListCtrl::startDrag(Qt::DropActions) {
    QMimeData* data = MakeDragData();
    if (data == nullptr) {
        return;
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction, Qt::CopyAction);
    emit dragEnded();
}

QPoint CListCtrl::FocusedRowCorner() const {
    const QModelIndex current = selectionModel()->currentIndex();
    const QPoint corner = current.isValid() ? visualRect(current).topLeft() : QPoint();
    return viewport()->mapToGlobal(corner);
}

// The view would make the first row current when it takes the focus with none, and the
// current row is the selection mark, which Extract falls back on when nothing is
// selected. Only a click or a key press marks a row.
void CListCtrl::focusInEvent(QFocusEvent* event) {
    const bool hadMark = selectionModel()->currentIndex().isValid();
    QTreeView::focusInEvent(event);
    if (!hadMark && selectionModel()->currentIndex().isValid()) {
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
}
